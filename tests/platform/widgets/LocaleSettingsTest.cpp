// Regional settings filled from a locale.

#include "platform/widgets/LocaleSettings.h"

#include <gtest/gtest.h>

TEST(LocaleSettings, FromLocalesWithFourDigitYearsAnd24Hours) {
    struct Case {
        const char* Locale;
        const char* ShortDate;
        char DateSeparator;
        const char* LongTime;
        char TimeSeparator;
        char Decimal;
        char Thousand;
        const char* March1;
    };
    const Case cases[] = {
        {"C", "dd/mm/yyyy", '/', "hh:nn:ss", ':', ',', '.', "01/03/2016"},
        {"es_ES", "d/m/yyyy", '/', "h:nn:ss", ':', ',', '.', "1/3/2016"},
        {"en_US", "m/d/yyyy", '/', "h:nn:ss", ':', '.', ',', "3/1/2016"},
        {"de_DE", "dd/mm/yyyy", '.', "hh:nn:ss", ':', ',', '.', "01.03.2016"},
        {"en_GB", "dd/mm/yyyy", '/', "hh:nn:ss", ':', '.', ',', "01/03/2016"},
        // A group separator outside ASCII becomes a blank.
        {"fi_FI", "d/m/yyyy", '.', "h:nn:ss", '.', ',', ' ', "1.3.2016"},
        {"fr_FR", "dd/mm/yyyy", '/', "hh:nn:ss", ':', ',', ' ', "01/03/2016"},
        // A blank after another separator, and a blank that separates two
        // fields after another separator did, each end a field.
        {"hr_HR", "dd/mm/yyyy", '.', "hh:nn:ss", ':', ',', '.', "01.03.2016"},
        {"kkj_CM", "dd/mm/yyyy", '/', "hh:nn:ss", ':', ',', '.', "01/03/2016"},
        // Separators that are not ASCII keep the defaults.
        {"ja_JP", "yyyy/mm/dd", '/', "hh:nn:ss", ':', '.', ',', "2016/03/01"},
    };
    for (const Case& c : cases) {
        TFormatSettings s = FormatSettingsFromLocale(QLocale(QString::fromLatin1(c.Locale)));
        EXPECT_EQ(s.ShortDateFormat, c.ShortDate) << c.Locale;
        EXPECT_EQ(s.DateSeparator, c.DateSeparator) << c.Locale;
        EXPECT_EQ(s.LongTimeFormat, c.LongTime) << c.Locale;
        EXPECT_EQ(s.TimeSeparator, c.TimeSeparator) << c.Locale;
        EXPECT_EQ(s.DecimalSeparator, c.Decimal) << c.Locale;
        EXPECT_EQ(s.ThousandSeparator, c.Thousand) << c.Locale;
        EXPECT_EQ(DateToStr(EncodeDate(2016, 3, 1), s), c.March1) << c.Locale;
    }
}

TEST(LocaleSettings, TheCLocaleGivesTheDefaults) {
    TFormatSettings s = FormatSettingsFromLocale(QLocale::c());
    TFormatSettings d = DefaultFormatSettings();
    EXPECT_EQ(s.ShortDateFormat, "dd/mm/yyyy");
    EXPECT_EQ(s.LongTimeFormat, "hh:nn:ss");
    EXPECT_EQ(s.DateSeparator, '/');
    EXPECT_EQ(s.TimeSeparator, ':');
    EXPECT_EQ(s.DecimalSeparator, ',');
    EXPECT_EQ(s.ShortDateFormat, d.ShortDateFormat);
    EXPECT_EQ(s.ThousandSeparator, d.ThousandSeparator);
    EXPECT_EQ(TimeToStr(EncodeTime(6, 44, 23, 0), s), "06:44:23");
}
