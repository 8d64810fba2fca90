#include "platform/DateUtils.h"
#include "platform/Exceptions.h"

#include <gtest/gtest.h>

class DateUtilsTest : public ::testing::Test {
protected:
    void SetUp() override { FormatSettings = DefaultFormatSettings(); }
    void TearDown() override { FormatSettings = DefaultFormatSettings(); }
};

TEST_F(DateUtilsTest, SerialsCountFromThe30thOfDecember1899) {
    EXPECT_EQ(EncodeDate(1899, 12, 30).Value, 0);
    EXPECT_EQ(EncodeDate(2003, 1, 20).Value, 37641);
    EXPECT_EQ(EncodeDate(2016, 3, 1).Value, 42430);
    int y, m, d;
    DecodeDate(TDateTime(37641.280825), y, m, d);
    EXPECT_EQ(y * 10000 + m * 100 + d, 20030120);
    int h, n, s, ms;
    DecodeTime(TDateTime(37641.280825), h, n, s, ms);
    EXPECT_EQ(h * 10000 + n * 100 + s, 64423);
}

TEST_F(DateUtilsTest, FormatsWithTheSettings) {
    TDateTime dt(EncodeDate(2016, 3, 1).Value + EncodeTime(10, 42, 7, 0).Value);
    EXPECT_EQ(DateToStr(dt), "01/03/2016");
    EXPECT_EQ(TimeToStr(dt), "10:42:07");
    TFormatSettings us;
    us.ShortDateFormat = "m/d/yyyy";
    us.DateSeparator = '-';
    EXPECT_EQ(DateToStr(dt, us), "3-1-2016");
    TFormatSettings iso;
    iso.ShortDateFormat = "yyyy/mm/dd";
    iso.DateSeparator = '-';
    EXPECT_EQ(DateToStr(dt, iso), "2016-03-01");
}

TEST_F(DateUtilsTest, StrToDateReadsTheShortDateOrder) {
    EXPECT_EQ(StrToDate("31/03/2016"), EncodeDate(2016, 3, 31));
    EXPECT_EQ(StrToDate("1/3/2016"), EncodeDate(2016, 3, 1));
    const char* bad[] = {"", "31/02/2016", "2016-03-01", "01/03/2016x", "a/b/c", "1/2/3/4", "32/01/2016"};
    for (const char* s : bad) {
        try {
            StrToDate(s);
            ADD_FAILURE() << s;
        } catch (const EConvertError& e) {
            EXPECT_EQ(std::string(e.what()), std::string("'") + s + "' is not a valid date");
        }
    }
}

TEST_F(DateUtilsTest, DatesWithATimeAreReadAsShown) {
    struct Case {
        const char* Text;
        bool Valid;
        double Value; // when valid
    };
    const double march31 = EncodeDate(2016, 3, 31).Value;
    const double halfPastTen = EncodeTime(10, 30, 0, 0).Value;
    const Case cases[] = {
        {"31/03/2016", true, march31},
        {" 31/03/2016 ", true, march31},
        {"31/03/2016 10:30", true, march31 + halfPastTen},
        {"31/03/2016 10:30:00", true, march31 + halfPastTen},
        {"31/03/2016 10", true, march31 + EncodeTime(10, 0, 0, 0).Value},
        {"31/03/2016 24:00", false, 0},
        {"31/03/2016 10:60", false, 0},
        {"31/03/2016 10:", false, 0},
        {"31/03/2016 x", false, 0},
        {"31/02/2016 10:30", false, 0},
        {"10:30", false, 0},
        {"", false, 0},
    };
    for (const Case& c : cases) {
        TDateTime d;
        EXPECT_EQ(TryStrToDateTime(c.Text, d), c.Valid) << c.Text;
        if (c.Valid) EXPECT_DOUBLE_EQ(d.Value, c.Value) << c.Text;
    }
    // Before the epoch the time counts away from zero, as the day does.
    TDateTime old;
    ASSERT_TRUE(TryStrToDateTime("01/01/1899 12:00", old));
    EXPECT_DOUBLE_EQ(old.Value, EncodeDate(1899, 1, 1).Value - 0.5);
    TDateTime t;
    EXPECT_TRUE(TryStrToTime("23:59:59", t));
    EXPECT_FALSE(TryStrToTime("1:2:3:4", t));
}

TEST_F(DateUtilsTest, TodayHasNoTime) {
    TDateTime today = Date();
    EXPECT_EQ(today.Value, static_cast<double>(today.DatePart()));
    EXPECT_LT(Time().Value, 1.0);
}

TEST_F(DateUtilsTest, AFixedClockIsTodayUntilItGoesAndGuardsNest) {
    const TDateTime november(EncodeDate(2026, 11, 15).Val() + 0.75);
    const TDateTime leapDay = EncodeDate(2028, 2, 29);
    {
        TFixedClock outer(november);
        EXPECT_EQ(Now(), november);
        EXPECT_EQ(Date(), EncodeDate(2026, 11, 15));
        EXPECT_DOUBLE_EQ(Time().Val(), 0.75);
        {
            TFixedClock inner(leapDay);
            EXPECT_EQ(Date(), leapDay);
            EXPECT_EQ(Time().Val(), 0);
        }
        EXPECT_EQ(Now(), november) << "the inner guard gives back the outer clock";
    }
    // The system's clock again: no longer the fixed moment.
    EXPECT_NE(Now(), november);
}

TEST_F(DateUtilsTest, TwoDigitYearsAreReadAroundToday) {
    struct Case {
        int Today;
        int Typed;
        int Year;
    };
    const Case cases[] = {{2026, 16, 2016}, {2026, 76, 2076}, {2026, 77, 1977}, {2026, 0, 2000},
                          {2060, 9, 2109},  {2060, 11, 2011}, {2001, 51, 2051}, {2001, 52, 1952}};
    for (const Case& c : cases) {
        TFixedClock clock(EncodeDate(c.Today, 6, 1));
        EXPECT_EQ(ExpandTwoDigitYear(c.Typed), c.Year) << c.Today << " " << c.Typed;
        EXPECT_EQ(StrToDate("01/03/" + std::to_string(c.Typed)), EncodeDate(c.Year, 3, 1))
            << c.Today << " " << c.Typed;
    }
}
