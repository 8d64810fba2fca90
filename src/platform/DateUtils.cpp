#include "platform/DateUtils.h"

#include "platform/Exceptions.h"
#include "platform/SysUtils.h"

#include <cmath>
#include <ctime>
#include <sys/time.h>

TFormatSettings FormatSettings;

TFormatSettings DefaultFormatSettings() { return TFormatSettings{}; }

double TDateTime::TimePart() const { return std::fabs(Value - static_cast<int>(Value)); }

bool IsLeapYear(int year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

int DaysInMonth(int year, int month) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month == 2 && IsLeapYear(year)) return 29;
    return days[month - 1];
}

// Days from 0001-01-01 to the date, as a proleptic Gregorian count.
static long daysFromCivil(int y, int m, int d) {
    y -= m <= 2;
    const long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long>(doe) - 719468; // days since 1970-01-01
}

static void civilFromDays(long z, int& y, int& m, int& d) {
    z += 719468;
    const long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long yy = static_cast<long>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(yy + (m <= 2));
}

// 1899-12-30 is 25569 days before 1970-01-01.
static constexpr long kUnixEpochSerial = 25569;

bool TryEncodeDate(int year, int month, int day, TDateTime& result) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 ||
        day > DaysInMonth(year, month))
        return false;
    result = TDateTime(static_cast<double>(daysFromCivil(year, month, day) + kUnixEpochSerial));
    return true;
}

TDateTime EncodeDate(int year, int month, int day) {
    TDateTime r;
    if (!TryEncodeDate(year, month, day, r)) throw EConvertError("Invalid argument to date encode");
    return r;
}

TDateTime EncodeTime(int hour, int min, int sec, int msec) {
    if (hour < 0 || hour > 23 || min < 0 || min > 59 || sec < 0 || sec > 59 || msec < 0 ||
        msec > 999)
        throw EConvertError("Invalid argument to time encode");
    return TDateTime((hour * 3600000.0 + min * 60000.0 + sec * 1000.0 + msec) / 86400000.0);
}

void DecodeDate(TDateTime dt, int& year, int& month, int& day) {
    civilFromDays(static_cast<long>(std::floor(dt.Value)) - kUnixEpochSerial, year, month, day);
}

void DecodeTime(TDateTime dt, int& hour, int& min, int& sec, int& msec) {
    double frac = std::fabs(dt.Value - std::trunc(dt.Value));
    long ms = std::lround(frac * 86400000.0);
    if (ms >= 86400000) ms = 86399999;
    hour = static_cast<int>(ms / 3600000);
    min = static_cast<int>(ms / 60000 % 60);
    sec = static_cast<int>(ms / 1000 % 60);
    msec = static_cast<int>(ms % 1000);
}

namespace {
// Constant-initialised, so that a guard made before main (a test program's)
// finds them ready.
bool clockFixed = false;
TDateTime fixedNow;
} // namespace

TFixedClock::TFixedClock(TDateTime now) : FHadPrevious(clockFixed), FPrevious(fixedNow) {
    clockFixed = true;
    fixedNow = now;
}

TFixedClock::~TFixedClock() {
    clockFixed = FHadPrevious;
    fixedNow = FPrevious;
}

TDateTime Now() {
    if (clockFixed) return fixedNow;
    timeval tv{};
    gettimeofday(&tv, nullptr);
    std::tm local{};
    time_t secs = tv.tv_sec;
    localtime_r(&secs, &local);
    TDateTime d = EncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
    TDateTime t = EncodeTime(local.tm_hour, local.tm_min, std::min(local.tm_sec, 59),
                             static_cast<int>(tv.tv_usec / 1000));
    return TDateTime(d.Value + t.Value);
}

TDateTime Date() { return TDateTime(std::floor(Now().Value)); }

TDateTime Time() {
    TDateTime n = Now();
    return TDateTime(n.Value - std::floor(n.Value));
}

static void appendNumber(std::string& out, int value, int width) {
    std::string digits = std::to_string(value);
    if (static_cast<int>(digits.size()) < width) out.append(width - digits.size(), '0');
    out += digits;
}

std::string FormatDateTime(std::string_view format, TDateTime dt, const TFormatSettings& settings) {
    int year, month, day, hour, min, sec, msec;
    DecodeDate(dt, year, month, day);
    DecodeTime(dt, hour, min, sec, msec);
    std::string out;
    size_t i = 0;
    auto run = [&](char letter) {
        size_t n = 0;
        while (i + n < format.size() && std::tolower(format[i + n]) == letter) ++n;
        return n;
    };
    while (i < format.size()) {
        char c = format[i];
        char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        size_t n;
        switch (lower) {
        case 'd':
            n = run('d');
            appendNumber(out, day, n >= 2 ? 2 : 1);
            i += n;
            break;
        case 'm':
            n = run('m');
            appendNumber(out, month, n >= 2 ? 2 : 1);
            i += n;
            break;
        case 'y':
            n = run('y');
            if (n <= 2) appendNumber(out, year % 100, 2);
            else appendNumber(out, year, 4);
            i += n;
            break;
        case 'h':
            n = run('h');
            appendNumber(out, hour, n >= 2 ? 2 : 1);
            i += n;
            break;
        case 'n':
            n = run('n');
            appendNumber(out, min, n >= 2 ? 2 : 1);
            i += n;
            break;
        case 's':
            n = run('s');
            appendNumber(out, sec, n >= 2 ? 2 : 1);
            i += n;
            break;
        case '/':
            out += settings.DateSeparator;
            ++i;
            break;
        case ':':
            out += settings.TimeSeparator;
            ++i;
            break;
        case '\'':
        case '"': {
            size_t end = format.find(c, i + 1);
            if (end == std::string_view::npos) end = format.size();
            out.append(format.substr(i + 1, end - i - 1));
            i = end + 1;
            break;
        }
        default:
            out += c;
            ++i;
        }
    }
    return out;
}

std::string DateToStr(TDateTime dt, const TFormatSettings& settings) {
    return FormatDateTime(settings.ShortDateFormat, dt, settings);
}

std::string TimeToStr(TDateTime dt, const TFormatSettings& settings) {
    return FormatDateTime(settings.LongTimeFormat, dt, settings);
}

int ExpandTwoDigitYear(int year) {
    int y, m, d;
    DecodeDate(Date(), y, m, d);
    year += y - y % 100;
    if (year > y + 50)
        year -= 100;
    else if (year <= y - 50)
        year += 100;
    return year;
}

bool TryStrToDate(std::string_view text, TDateTime& result, const TFormatSettings& settings) {
    // Order of day, month and year as their letters first appear in the format.
    char order[3];
    int found = 0;
    for (char c : settings.ShortDateFormat) {
        char l = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if ((l == 'd' || l == 'm' || l == 'y') && found < 3) {
            bool seen = false;
            for (int k = 0; k < found; ++k) seen = seen || order[k] == l;
            if (!seen) order[found++] = l;
        }
    }
    if (found != 3) {
        order[0] = 'd';
        order[1] = 'm';
        order[2] = 'y';
    }
    std::string s = Trim(text);
    int parts[3] = {0, 0, 0};
    int digits[3] = {0, 0, 0};
    int count = 0;
    size_t i = 0;
    while (count < 3) {
        size_t start = i;
        long value = 0;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9') {
            value = value * 10 + (s[i] - '0');
            if (value > 99999) return false;
            ++i;
        }
        if (i == start) return false;
        parts[count] = static_cast<int>(value);
        digits[count] = static_cast<int>(i - start);
        ++count;
        if (i == s.size()) break;
        if (s[i] != settings.DateSeparator) return false;
        ++i;
        if (count == 3) return false; // text after the year
    }
    if (i != s.size()) return false;
    int day = 0, month = 0, year = 0, yearDigits = 0;
    if (count == 2) {
        // Day and month only: the current year.
        int y, m, d;
        DecodeDate(Date(), y, m, d);
        int k = 0;
        for (char part : order) {
            if (part == 'y') continue;
            if (part == 'd') day = parts[k];
            else month = parts[k];
            ++k;
        }
        year = y;
        yearDigits = 4;
    } else if (count == 3) {
        for (int k = 0; k < 3; ++k) {
            if (order[k] == 'd') day = parts[k];
            else if (order[k] == 'm') month = parts[k];
            else {
                year = parts[k];
                yearDigits = digits[k];
            }
        }
    } else {
        return false;
    }
    if (yearDigits <= 2) year = ExpandTwoDigitYear(year);
    return TryEncodeDate(year, month, day, result);
}

TDateTime StrToDate(std::string_view s, const TFormatSettings& settings) {
    TDateTime r;
    if (!TryStrToDate(s, r, settings)) throw EConvertError(Format("'%s' is not a valid date", {s}));
    return r;
}

bool TryStrToTime(std::string_view s, TDateTime& result, const TFormatSettings& settings) {
    int parts[3] = {0, 0, 0};
    int count = 0;
    size_t i = 0;
    const std::string t = Trim(s);
    while (i < t.size()) {
        if (count == 3) return false;
        const size_t start = i;
        int v = 0;
        while (i < t.size() && t[i] >= '0' && t[i] <= '9') {
            v = v * 10 + (t[i] - '0');
            if (v > 9999) return false;
            ++i;
        }
        if (i == start) return false;
        parts[count++] = v;
        if (i < t.size()) {
            if (t[i] != settings.TimeSeparator && t[i] != ':') return false;
            ++i;
            if (i == t.size()) return false;
        }
    }
    if (count == 0 || parts[0] > 23 || parts[1] > 59 || parts[2] > 59) return false;
    result = EncodeTime(parts[0], parts[1], parts[2], 0);
    return true;
}

bool TryStrToDateTime(std::string_view s, TDateTime& result, const TFormatSettings& settings) {
    const std::string t = Trim(s);
    if (TryStrToDate(t, result, settings)) return true;
    const size_t blank = t.find(' ');
    if (blank == std::string::npos) return false;
    TDateTime day, time;
    if (!TryStrToDate(t.substr(0, blank), day, settings) ||
        !TryStrToTime(t.substr(blank + 1), time, settings))
        return false;
    result = TDateTime(day.Val() + (day.Val() < 0 ? -time.Val() : time.Val()));
    return true;
}
