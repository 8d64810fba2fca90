#include "platform/widgets/LocaleSettings.h"

#include <string>

namespace {

// Qt's date letters to the suite's: d and dd stay, M and MM become m and mm,
// any year becomes yyyy; names of days and months (ddd, MMM...) are not in
// the suite's short formats and are replaced by numbers. The first character
// between fields is the separator, written "/" in the format, and every gap
// between two fields gets one.
std::string shortDateFormat(const QString& qt, char& separator) {
    std::string out;
    separator = 0;
    int fields = 0;
    for (qsizetype i = 0; i < qt.size();) {
        QChar c = qt[i];
        qsizetype n = 1;
        while (i + n < qt.size() && qt[i + n] == c)
            ++n;
        if (c == QLatin1Char('d')) {
            out += n >= 2 ? "dd" : "d";
            ++fields;
        } else if (c == QLatin1Char('M')) {
            out += n >= 2 ? "mm" : "m";
            ++fields;
        } else if (c == QLatin1Char('y')) {
            out += "yyyy";
            ++fields;
        } else if (c == QLatin1Char('\'')) {
            // Quoted text (such as a trailing "г.") is not part of a short
            // date here.
            qsizetype end = qt.indexOf(QLatin1Char('\''), i + 1);
            n = (end < 0 ? qt.size() : end + 1) - i;
        } else if (fields > 0 && fields < 3 && c.unicode() < 0x80) {
            // Every run of characters between two fields is one separator,
            // whether or not a blank follows the first ("d. M. yyyy") or
            // stands alone after another ("dd/MM yyyy").
            if (!separator) separator = static_cast<char>(c.unicode());
            if (out.back() != '/') out += '/';
        }
        i += n;
    }
    if (fields != 3) return {};
    return out;
}

// Qt's time letters to the suite's 24-hour format with seconds.
std::string longTimeFormat(const QString& qt, char& separator) {
    std::string out;
    separator = 0;
    bool seconds = false;
    for (qsizetype i = 0; i < qt.size();) {
        QChar c = qt[i];
        qsizetype n = 1;
        while (i + n < qt.size() && qt[i + n] == c)
            ++n;
        if (c == QLatin1Char('h') || c == QLatin1Char('H')) {
            out += n >= 2 ? "hh" : "h";
        } else if (c == QLatin1Char('m')) {
            out += n >= 2 ? "nn" : "n";
        } else if (c == QLatin1Char('s')) {
            out += n >= 2 ? "ss" : "s";
            seconds = true;
        } else if ((c == QLatin1Char(':') || c == QLatin1Char('.')) && !out.empty()) {
            if (!separator) separator = static_cast<char>(c.unicode());
            out += ':';
        }
        i += n;
    }
    while (!out.empty() && out.back() == ':')
        out.pop_back();
    if (out.empty()) return {};
    if (!seconds) out += ":ss";
    return out;
}

char asciiOr(QString s, char fallback) {
    if (s.size() == 1 && s[0].unicode() < 0x80) return static_cast<char>(s[0].unicode());
    return fallback;
}

} // namespace

TFormatSettings FormatSettingsFromLocale(const QLocale& locale) {
    TFormatSettings settings = DefaultFormatSettings();
    if (locale.language() == QLocale::C) return settings;

    char dateSeparator = 0;
    std::string date = shortDateFormat(locale.dateFormat(QLocale::ShortFormat), dateSeparator);
    if (!date.empty() && dateSeparator) {
        settings.ShortDateFormat = date;
        settings.DateSeparator = dateSeparator;
    }
    char timeSeparator = 0;
    std::string time = longTimeFormat(locale.timeFormat(QLocale::LongFormat), timeSeparator);
    if (!time.empty() && timeSeparator) {
        settings.LongTimeFormat = time;
        settings.TimeSeparator = timeSeparator;
    }
    settings.DecimalSeparator = asciiOr(locale.decimalPoint(), settings.DecimalSeparator);
    // Group separators outside ASCII (the narrow blank of French) become a
    // plain blank; one equal to the decimal separator would make numbers
    // ambiguous.
    char group = asciiOr(locale.groupSeparator(), ' ');
    settings.ThousandSeparator = group == settings.DecimalSeparator ? ' ' : group;
    return settings;
}
