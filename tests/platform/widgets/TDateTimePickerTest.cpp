// Dates typed into the date picker as a user types them: the day's two
// digits selected, then day, month and year. The date is the one typed
// whenever it exists, whatever the field showed while typing; a date that
// cannot exist beeps, and the field keeps the date it had.

#include "GuiTestHelpers.h"
#include "TestForm.h"

#include "platform/Exceptions.h"

#include <QDateEdit>
#include <QLineEdit>

using guitest::PressKey;

namespace {

struct Ymd {
    int Year, Month, Day;
};

class DatePicker : public ::testing::Test {
protected:
    void SetUp() override {
        form = std::make_unique<TTestForm>();
        form->Show();
        guitest::ShowActive(form->Widget());
        picker = form->Date;
        picker->OnChange = [this](TObject*) { ++changes; };
    }
    void TearDown() override { form.reset(); }

    // Shows date with a time of day, focuses the field and selects the day.
    void showAndSelectDay(Ymd date) {
        picker->SetDateTime(TDateTime(EncodeDate(date.Year, date.Month, date.Day).Val() + 0.25));
        picker->SetFocus();
        ASSERT_TRUE(picker->Focused());
        PressKey(Qt::Key_Home);
        PressKey(Qt::Key_Right, Qt::ShiftModifier);
        PressKey(Qt::Key_Right, Qt::ShiftModifier);
        changes = 0;
    }
    void type(const char* keys) {
        for (const char* k = keys; *k; ++k)
            PressKey(*k);
    }
    std::string shown() const {
        return static_cast<QDateEdit*>(picker->Widget())->text().toStdString();
    }
    std::string lineText() const {
        return picker->Widget()->findChild<QLineEdit*>()->text().toStdString();
    }

    // Two-digit years and the clock's day are read around this "today".
    TFixedClock today{TDateTime(EncodeDate(2026, 11, 15).Val() + 0.5)};
    guitest::DialogAndSettings env;
    std::unique_ptr<TTestForm> form;
    TDateTimePicker* picker = nullptr;
    int changes = 0;
};

} // namespace

TEST_F(DatePicker, TypedDigitsGiveExactlyTheDateTypedOrKeepTheDateItHad) {
    struct Case {
        const char* Name;
        Ymd Shown;
        const char* Keys;
        Ymd Expected;
        int Beeps;
    };
    const Case cases[] = {
        {"31 typed over a 30-day month", {2026, 11, 15}, "31032016", {2016, 3, 31}, 0},
        {"31 typed over February", {2027, 2, 10}, "31032016", {2016, 3, 31}, 0},
        {"30 typed over February", {2026, 2, 10}, "30042016", {2016, 4, 30}, 0},
        {"31 of a 31-day month over a 31-day month", {2026, 1, 31}, "31122015", {2015, 12, 31}, 0},
        {"the first of a month", {2026, 11, 15}, "01032016", {2016, 3, 1}, 0},
        {"29/02 of a leap year over a common one", {2026, 11, 15}, "29022016", {2016, 2, 29}, 0},
        {"29/02 of a leap year over 29/02", {2028, 2, 29}, "29022024", {2024, 2, 29}, 0},
        {"29 February of a leap century", {2026, 11, 15}, "29022000", {2000, 2, 29}, 0},
        {"the same date as shown", {2016, 3, 31}, "31032016", {2016, 3, 31}, 0},
        {"a day first digit 4 fills the day", {2026, 11, 15}, "4032016", {2016, 3, 4}, 0},
        {"a month first digit 2 fills the month", {2026, 11, 15}, "1522016", {2016, 2, 15}, 0},
        {"the separator ends a section", {2026, 11, 15}, "1/3/2016", {2016, 3, 1}, 0},
        // Dates that cannot exist: one beep, the date shown before stays.
        {"29 February of a common year", {2026, 11, 15}, "29022027", {2026, 11, 15}, 1},
        {"29/02 of a common year over 29/02", {2028, 2, 29}, "29022027", {2028, 2, 29}, 1},
        {"29 February of a common century", {2026, 11, 15}, "29021900", {2026, 11, 15}, 1},
        {"31 February", {2026, 3, 15}, "31022016", {2026, 3, 15}, 1},
        {"30 February over a leap year", {2016, 1, 20}, "30022016", {2016, 1, 20}, 1},
        {"31 of a 30-day month", {2026, 3, 31}, "31042016", {2026, 3, 31}, 1},
        {"month 13", {2026, 11, 15}, "01132016", {2026, 11, 15}, 1},
        {"day 00", {2026, 11, 15}, "00032016", {2026, 11, 15}, 1},
        {"a year before the field's first", {2026, 11, 15}, "01030016", {2026, 11, 15}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        showAndSelectDay(c.Shown);
        env.Dialogs.Clear();
        type(c.Keys);
        const TDateTime expected = EncodeDate(c.Expected.Year, c.Expected.Month, c.Expected.Day);
        EXPECT_EQ(DateToStr(picker->Date()), DateToStr(expected));
        EXPECT_EQ(shown(), DateToStr(expected)) << "the field shows its date";
        EXPECT_DOUBLE_EQ(picker->DateTime().TimePart(), 0.25) << "the time of day stays";
        EXPECT_EQ(env.Dialogs.BeepCount(), c.Beeps);
        const bool moved =
            expected.Val() != EncodeDate(c.Shown.Year, c.Shown.Month, c.Shown.Day).Val();
        EXPECT_EQ(changes, moved ? 1 : 0) << "one change for the whole date, none for its parts";
    }
}

TEST_F(DatePicker, ATwoDigitYearIsReadAroundToday) {
    FormatSettings.ShortDateFormat = "dd/mm/yy";
    form = std::make_unique<TTestForm>();
    form->Show();
    guitest::ShowActive(form->Widget());
    picker = form->Date;
    struct Case {
        const char* Keys;
        Ymd Expected;
    };
    for (const Case& c : {Case{"310316", {2016, 3, 31}}, Case{"290280", {1980, 2, 29}}}) {
        SCOPED_TRACE(c.Keys);
        showAndSelectDay({2026, 11, 15});
        type(c.Keys);
        EXPECT_EQ(picker->Date(), EncodeDate(c.Expected.Year, c.Expected.Month, c.Expected.Day));
        EXPECT_EQ(env.Dialogs.BeepCount(), 0);
    }
}

TEST_F(DatePicker, ADayWaitingForItsMonthShowsAsTyped) {
    showAndSelectDay({2026, 11, 15});
    type("31");
    EXPECT_EQ(lineText(), "31/11/2026") << "the digits typed, not a day November has";
    EXPECT_EQ(picker->Widget()->findChild<QLineEdit*>()->selectedText().toStdString(), "11")
        << "the month is next";
    EXPECT_EQ(changes, 0);
    type("03");
    EXPECT_EQ(lineText(), "31/03/2026");
    EXPECT_EQ(changes, 0) << "a date half typed is not the field's value";
    type("2016");
    EXPECT_EQ(shown(), "31/03/2016");
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(env.Dialogs.BeepCount(), 0);
}

TEST_F(DatePicker, LeavingTheFieldEndsTheTyping) {
    struct Case {
        const char* Name;
        const char* Keys;
        Ymd Expected;
        int Beeps;
    };
    const Case cases[] = {
        {"day and month that exist in the shown year", "3103", {2026, 3, 31}, 0},
        {"a day only", "07", {2026, 11, 7}, 0},
        {"a day its month lacks", "31", {2026, 11, 15}, 1},
        {"29 February of the shown common year", "2902", {2026, 11, 15}, 1},
        {"a two-digit year", "31031", {2001, 3, 31}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        showAndSelectDay({2026, 11, 15});
        env.Dialogs.Clear();
        type(c.Keys);
        form->E4->SetFocus();
        ASSERT_TRUE(form->E4->Focused());
        EXPECT_EQ(picker->Date(), EncodeDate(c.Expected.Year, c.Expected.Month, c.Expected.Day));
        EXPECT_EQ(shown(), DateToStr(picker->Date()));
        EXPECT_EQ(env.Dialogs.BeepCount(), c.Beeps);
    }
}

TEST_F(DatePicker, AnotherKeyEndsTheTypingBeforeItActs) {
    showAndSelectDay({2026, 11, 15});
    type("31");
    PressKey(Qt::Key_Up);
    EXPECT_EQ(env.Dialogs.BeepCount(), 1);
    EXPECT_EQ(picker->Date(), EncodeDate(2026, 11, 16)) << "Up steps the day the field kept";
}

// F2 read by the window's key preview before the field sees the key: the
// date read is the one typed, or an error when none can come of the digits;
// never the date shown before the typing.
TEST_F(DatePicker, ReadingTheDateWhileDigitsWaitEndsTheTyping) {
    showAndSelectDay({2026, 11, 15});
    type("3103");
    EXPECT_EQ(picker->Date(), EncodeDate(2026, 3, 31));
    EXPECT_EQ(shown(), "31/03/2026");
    EXPECT_EQ(changes, 1);

    showAndSelectDay({2026, 11, 15});
    type("2902");
    try {
        picker->Date();
        ADD_FAILURE() << "no error for 29/02/2026";
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "'29/02/2026' is not a valid date");
    }
    EXPECT_EQ(picker->Date(), EncodeDate(2026, 11, 15));
    EXPECT_EQ(shown(), "15/11/2026");
    EXPECT_EQ(changes, 0);
}

TEST_F(DatePicker, ADateSetByTheProgramReplacesTheTyping) {
    showAndSelectDay({2026, 11, 15});
    type("31");
    picker->SetDate(EncodeDate(2016, 3, 1));
    EXPECT_EQ(shown(), "01/03/2016");
    EXPECT_EQ(picker->Date(), EncodeDate(2016, 3, 1));
    form->E4->SetFocus();
    EXPECT_EQ(env.Dialogs.BeepCount(), 0);
}
