#include "platform/DateTyping.h"

#include <cassert>
#include <cctype>

namespace {

char lowered(char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

bool isSectionLetter(char l) {
    return l == 'd' || l == 'm' || l == 'y';
}

TDateTyping::TSection sectionOf(char l) {
    return l == 'd' ? TDateTyping::dsDay : l == 'm' ? TDateTyping::dsMonth : TDateTyping::dsYear;
}

// The length of the run of letter l that starts at i.
size_t runAt(const std::string& format, size_t i, char l) {
    size_t n = 1;
    while (i + n < format.size() && lowered(format[i + n]) == l)
        ++n;
    return n;
}

} // namespace

TDateTyping::TDateTyping(TDateTime shown, TSection at, const TFormatSettings& settings,
                         TDateTime first, TDateTime last)
    : FSettings(settings), FFirst(first), FLast(last) {
    // Sections in the order their letters first appear, as StrToDate reads them.
    const std::string& f = settings.ShortDateFormat;
    int found = 0;
    bool yearSeen = false;
    for (size_t i = 0; i < f.size();) {
        const char l = lowered(f[i]);
        if (!isSectionLetter(l)) {
            ++i;
            continue;
        }
        const size_t n = runAt(f, i, l);
        bool seen = false;
        for (int k = 0; k < found; ++k)
            seen = seen || FOrder[k] == sectionOf(l);
        if (!seen && found < 3) FOrder[found++] = sectionOf(l);
        if (l == 'y' && !yearSeen) FTwoDigitYear = n <= 2;
        yearSeen = yearSeen || l == 'y';
        i += n;
    }
    if (found != 3) {
        FOrder[0] = dsDay;
        FOrder[1] = dsMonth;
        FOrder[2] = dsYear;
    }
    DecodeDate(shown, FValue[dsYear], FValue[dsMonth], FValue[dsDay]);
    FPosition = 0;
    while (FPosition < 2 && FOrder[FPosition] != at)
        ++FPosition;
}

int TDateTyping::width(TSection section) const {
    if (section != dsYear) return 2;
    return FTwoDigitYear ? 2 : 4;
}

TDateTyping::TOutcome TDateTyping::Type(char digit) {
    assert(!Done() && digit >= '0' && digit <= '9');
    const TSection s = FOrder[FPosition];
    FDigits += digit;
    const int value = std::stoi(FDigits);
    FValue[s] = value;
    // A first digit that no second one could extend fills the section alone.
    const bool full = static_cast<int>(FDigits.size()) >= width(s) ||
                      (s == dsDay && value * 10 > 31) || (s == dsMonth && value * 10 > 12);
    if (!full) return toWaiting;
    endSection();
    return judge();
}

TDateTyping::TOutcome TDateTyping::EndSection() {
    // After a section that filled itself the cursor has moved on already.
    if (FDigits.empty()) return toWaiting;
    endSection();
    return judge();
}

TDateTyping::TOutcome TDateTyping::Finish() {
    if (!Done()) endSection();
    FPosition = 3;
    return judge();
}

void TDateTyping::endSection() {
    const TSection s = FOrder[FPosition];
    if (!FDigits.empty()) {
        int value = std::stoi(FDigits);
        if (s == dsYear && FDigits.size() <= 2) value = ExpandTwoDigitYear(value);
        FValue[s] = value;
        FDigits.clear();
    }
    ++FPosition;
}

bool TDateTyping::exists(int day, int month, int year) const {
    TDateTime d;
    return TryEncodeDate(year, month, day, d) && d >= FFirst && d <= FLast;
}

TDateTyping::TOutcome TDateTyping::judge() {
    // Judged once, when the entry ends: a day may wait for its month and
    // year, and the digits after an impossible section still belong to this
    // entry rather than starting another one over the field's date.
    if (!Done()) return toWaiting;
    if (!exists(FValue[dsDay], FValue[dsMonth], FValue[dsYear])) return toImpossible;
    FResult = EncodeDate(FValue[dsYear], FValue[dsMonth], FValue[dsDay]);
    return toDate;
}

std::string TDateTyping::textOf(TSection section, int letters) const {
    int value = FValue[section];
    int pad = letters >= 2 ? 2 : 1;
    if (section == dsYear) {
        if (letters <= 2) value %= 100;
        pad = letters <= 2 ? 2 : 4;
    }
    std::string digits = std::to_string(value < 0 ? -value : value);
    if (static_cast<int>(digits.size()) < pad) digits.insert(0, pad - digits.size(), '0');
    return digits;
}

// Writes the sections in the short date format, noting where each stands.
std::string TDateTyping::layout(TSpan spans[3]) const {
    std::string out;
    const std::string& f = FSettings.ShortDateFormat;
    for (size_t i = 0; i < f.size();) {
        const char c = f[i];
        const char l = lowered(c);
        if (isSectionLetter(l)) {
            const size_t n = runAt(f, i, l);
            const TSection s = sectionOf(l);
            const std::string text = textOf(s, static_cast<int>(n));
            if (spans[s].Length == 0)
                spans[s] = TSpan{static_cast<int>(out.size()), static_cast<int>(text.size())};
            out += text;
            i += n;
        } else if (c == '/') {
            out += FSettings.DateSeparator;
            ++i;
        } else if (c == '\'' || c == '"') {
            size_t end = f.find(c, i + 1);
            if (end == std::string::npos) end = f.size();
            out.append(f, i + 1, end - i - 1);
            i = end + 1;
        } else {
            out += c;
            ++i;
        }
    }
    return out;
}

std::string TDateTyping::Text() const {
    TSpan spans[3];
    return layout(spans);
}

TDateTyping::TSpan TDateTyping::SpanOf(TSection section) const {
    TSpan spans[3];
    layout(spans);
    return spans[section];
}
