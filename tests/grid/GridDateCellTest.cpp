// The drop-down month calendar of a date cell, on the real grid over the
// company database: the day it opens on, the keys while it is open, the
// drop-down button and the calendar under the mouse, where it goes on the
// screen, and what accepting and cancelling leave in the field and the grid.

#include "GridKeyTestHelpers.h"

#include "data/TClientDataSet.h"
#include "grid/TDBGridInplaceEdit.h"
#include "grid/TEditButtonControl.h"
#include "grid/TPopupMonthCalendar.h"
#include "platform/DateUtils.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCalendarWidget>
#include <QLineEdit>
#include <QPainter>
#include <QScreen>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

namespace {

using namespace gridtest;

// The day the tests run on, far from any date the rows hold.
TDateTime today() {
    return EncodeDate(2025, 6, 18);
}

TDBGridInplaceEdit* editorOf(TDBGrid* grid) {
    return static_cast<TDBGridInplaceEdit*>(grid->InplaceEditor());
}

std::string dateText(TDateTime d) {
    return DateToStr(d);
}

Key AltKey(int qtKey) {
    return {qtKey, Qt::AltModifier};
}

// Record 1: F.Desde 01/01/2024, F.Hasta 31/03/2024. Record 4 has no F.Hasta.
std::vector<std::string> rowsWithANullDate() {
    std::vector<std::string> rows = AdjustmentTableRows(3);
    rows.push_back("4, '2024-01-04', null, 4, 0.8");
    return rows;
}

// A point of the calendar's day table, on the screen, for a day of the page
// shown: the first cell whose day number is day, looking from the given row.
QPoint dayCell(TPopupMonthCalendar* calendar, int day, int fromRow = 1) {
    QAbstractItemView* table = calendar->DayTable();
    for (int row = fromRow; row < table->model()->rowCount(); ++row)
        for (int col = 1; col < table->model()->columnCount(); ++col) {
            const QModelIndex index = table->model()->index(row, col);
            if (index.data().toInt() == day)
                return table->viewport()->mapToGlobal(table->visualRect(index).center());
        }
    ADD_FAILURE() << "no cell for day " << day;
    return {};
}

// A click of the left button at a point of the screen, on the window there:
// the calendar's when it covers the point.
void clickAt(TPopupMonthCalendar* calendar, QPoint global, QWidget* elsewhere = nullptr) {
    QWidget* target = elsewhere ? elsewhere : calendar->childAt(calendar->mapFromGlobal(global));
    ASSERT_NE(target, nullptr);
    QTest::mouseClick(target, Qt::LeftButton, Qt::NoModifier, target->mapFromGlobal(global));
    QApplication::processEvents();
}

void clickButton(TDBGridInplaceEdit* editor) {
    QTest::mouseClick(editor->Buttons(0)->Widget(), Qt::LeftButton);
    QApplication::processEvents();
}

class DateCellTest : public ::testing::Test {
protected:
    DateCellTest() : FDay(today()) {}

    // The form shown, the editor open on record rec's cell of column col,
    // the caret at the end of its text.
    TDBGridInplaceEdit* edit(GridDatabaseForm& f, int rec, int col) {
        f.Show();
        f.Data->SetRecNo(rec);
        f.Grid->SetSelectedIndex(col);
        Press(K(Qt::Key_F2));
        TDBGridInplaceEdit* editor = editorOf(f.Grid);
        EXPECT_TRUE(editor && f.Grid->EditorShowing());
        return editor;
    }

    TFixedClock FDay;
};

TEST_F(DateCellTest, TheCalendarOpensOnTheTextOnTodayOrOnTheFieldsDate) {
    struct Case {
        const char* Name;
        int Record;
        std::vector<Key> Typing; // after F2, before Alt+Down
        TDateTime Opens;
    };
    const std::vector<Case> cases = {
        {"the cell's date", 1, {}, EncodeDate(2024, 3, 31)},
        {"a typed date", 1, std::vector{Ctrl(Qt::Key_A)} + Typed("5/6/2024"), EncodeDate(2024, 6, 5)},
        {"a typed date with a time", 1, std::vector{Ctrl(Qt::Key_A)} + Typed("7/8/2024 10:30"),
         EncodeDate(2024, 8, 7)},
        {"an empty cell opens on today", 1, {Ctrl(Qt::Key_A), K(Qt::Key_Delete)}, today()},
        {"a null field opens on today", 4, {}, today()},
        {"a text that is no date: the field's date", 1, std::vector{Ctrl(Qt::Key_A)} + Typed("31/02/2024"),
         EncodeDate(2024, 3, 31)},
        {"a text that is no date on a null field: today", 4, Typed("abc"), today()},
    };
    for (const Case& c : cases) {
        GridDatabaseForm f(rowsWithANullDate());
        TDBGridInplaceEdit* editor = edit(f, c.Record, 1);
        Press(c.Typing);
        const std::string typed = editor->Text();
        Press(AltKey(Qt::Key_Down));
        TPopupMonthCalendar* calendar = editor->Calendar();
        ASSERT_NE(calendar, nullptr) << c.Name;
        EXPECT_TRUE(calendar->isVisible()) << c.Name;
        EXPECT_EQ(dateText(calendar->Date()), dateText(c.Opens)) << c.Name;
        int year, month, day;
        DecodeDate(c.Opens, year, month, day);
        EXPECT_EQ(calendar->Calendar()->monthShown(), month) << c.Name;
        // Shown without taking the keyboard from the editor.
        EXPECT_EQ(QApplication::focusWidget(), editor->LineEdit()) << c.Name;
        EXPECT_TRUE(editor->ListVisible() && editor->DroppedDown()) << c.Name;
        EXPECT_EQ(editor->ActiveList(), eddMonthCalendar) << c.Name;
        EXPECT_TRUE(editor->Buttons(0)->Pressed()) << c.Name;
        // Opening changes neither the text nor the record.
        EXPECT_EQ(editor->Text(), typed) << c.Name;
        EXPECT_TRUE(f.Env.Dialogs.Entries().empty()) << c.Name;
    }
}

TEST_F(DateCellTest, KeysWhileTheCalendarIsOpen) {
    struct Case {
        const char* Name;
        std::vector<Key> Keys; // after F2 and Alt+Down on F.Hasta 31/03/2024
        bool Open;
        std::string CalendarDay; // while open
        GridState After;
        std::string FecFin; // the field afterwards
    };
    const std::vector<Case> cases = {
        {"Right a day", {K(Qt::Key_Right)}, true, "01/04/2024",
         {dsBrowse, 1, 1, "31/03/2024", iiArrow}, "31/03/2024"},
        {"Left and Up", {K(Qt::Key_Left), K(Qt::Key_Up)}, true, "23/03/2024",
         {dsBrowse, 1, 1, "31/03/2024", iiArrow}, "31/03/2024"},
        {"Page Up a month", {K(Qt::Key_PageUp)}, true, "29/02/2024",
         {dsBrowse, 1, 1, "31/03/2024", iiArrow}, "31/03/2024"},
        {"Page Down a month", {K(Qt::Key_PageDown), K(Qt::Key_Down)}, true, "07/05/2024",
         {dsBrowse, 1, 1, "31/03/2024", iiArrow}, "31/03/2024"},
        {"Ctrl+Home the month's first day", {Ctrl(Qt::Key_Home)}, true, "01/03/2024",
         {dsBrowse, 1, 1, "31/03/2024", iiArrow}, "31/03/2024"},
        {"Ctrl+End the month's last day", {Ctrl(Qt::Key_Home), Ctrl(Qt::Key_End)}, true,
         "31/03/2024", {dsBrowse, 1, 1, "31/03/2024", iiArrow}, "31/03/2024"},
        {"% and ' move a day and type nothing",
         {Key{Qt::Key_Percent, Qt::ShiftModifier, "%"}, Key{Qt::Key_Percent, Qt::ShiftModifier, "%"},
          Key{Qt::Key_Apostrophe, Qt::NoModifier, "'"}},
         true, "30/03/2024", {dsBrowse, 1, 1, "31/03/2024", iiArrow}, "31/03/2024"},
        {"Home without Ctrl goes to the text", std::vector{K(Qt::Key_Home)} + Typed("0"), true,
         "31/03/2024", {dsEdit, 1, 1, "031/03/2024", iiEdit}, "31/03/2024"},
        {"typing goes on in the text", Typed("1"), true, "31/03/2024",
         {dsEdit, 1, 1, "31/03/20241", iiEdit}, "31/03/2024"},
        {"F4 does nothing", {K(Qt::Key_F4)}, true, "31/03/2024",
         {dsBrowse, 1, 1, "31/03/2024", iiArrow}, "31/03/2024"},
        {"Enter writes the day and stays", {K(Qt::Key_Right), K(Qt::Key_Return)}, false, "",
         {dsEdit, 1, 1, "01/04/2024", iiEdit}, "01/04/2024"},
        {"a second Enter moves on", {K(Qt::Key_Right), K(Qt::Key_Return), K(Qt::Key_Return)},
         false, "", {dsEdit, 1, 2, "1", iiEdit}, "01/04/2024"},
        {"Alt+Down accepts", {K(Qt::Key_Left), AltKey(Qt::Key_Down)}, false, "",
         {dsEdit, 1, 1, "30/03/2024", iiEdit}, "30/03/2024"},
        {"Alt+Up accepts", {K(Qt::Key_PageUp), AltKey(Qt::Key_Up)}, false, "",
         {dsEdit, 1, 1, "29/02/2024", iiEdit}, "29/02/2024"},
        {"Esc closes only the calendar", {K(Qt::Key_Right), K(Qt::Key_Escape)}, false, "",
         {dsBrowse, 1, 1, "31/03/2024", iiArrow}, "31/03/2024"},
        {"Esc keeps a typed text", Typed("9") + std::vector{K(Qt::Key_Escape)}, false, "",
         {dsEdit, 1, 1, "31/03/20249", iiEdit}, "31/03/2024"},
        {"Ctrl+Enter opens it again", {K(Qt::Key_Escape), Ctrl(Qt::Key_Return)}, true,
         "31/03/2024", {dsBrowse, 1, 1, "31/03/2024", iiArrow}, "31/03/2024"},
        {"Alt+Up opens it again", {K(Qt::Key_Escape), AltKey(Qt::Key_Up), K(Qt::Key_Down)}, true,
         "07/04/2024", {dsBrowse, 1, 1, "31/03/2024", iiArrow}, "31/03/2024"},
    };
    for (const Case& c : cases) {
        GridDatabaseForm f(AdjustmentTableRows(3));
        bool formKeyDown = false;
        f.Form->SetKeyPreview(true);
        f.Form->OnKeyDown = [&](TObject*, uint16_t& key, TShiftState) {
            if (key == VK_RETURN || key == VK_ESCAPE) formKeyDown = true;
        };
        TDBGridInplaceEdit* editor = edit(f, 1, 1);
        Press(AltKey(Qt::Key_Down));
        ASSERT_TRUE(editor->ListVisible()) << c.Name;
        Press(c.Keys);
        TPopupMonthCalendar* calendar = editor->Calendar();
        EXPECT_EQ(calendar->isVisible(), c.Open) << c.Name;
        EXPECT_EQ(editor->ListVisible(), c.Open) << c.Name;
        EXPECT_EQ(editor->Buttons(0)->Pressed(), c.Open) << c.Name;
        if (c.Open) EXPECT_EQ(dateText(calendar->Date()), c.CalendarDay) << c.Name;
        EXPECT_EQ(StateOf(f.Grid), c.After) << c.Name;
        EXPECT_EQ(f.Fields.FecFin->AsString(), c.FecFin) << c.Name;
        // The window kept its focus and saw no key the calendar took.
        EXPECT_TRUE(f.Form->Widget()->isVisible()) << c.Name;
        EXPECT_EQ(f.Grid->EditorShowing(), c.After.Column == 1) << c.Name;
        if (std::string(c.Name) != "a second Enter moves on")
            EXPECT_FALSE(formKeyDown) << c.Name;
        EXPECT_EQ(f.Env.Dialogs.BeepCount(), 0) << c.Name;
    }
}

TEST_F(DateCellTest, AcceptedDaysAreStoredAndTheEditorShowsThemAtTheEnd) {
    GridDatabaseForm f(AdjustmentTableRows(3));
    TDBGridInplaceEdit* editor = edit(f, 2, 0);
    Press(AltKey(Qt::Key_Down));
    Press({K(Qt::Key_PageDown), K(Qt::Key_Right), K(Qt::Key_Return)});
    EXPECT_EQ(editor->Text(), "03/02/2024");
    EXPECT_EQ(editor->LineEdit()->cursorPosition(), 10);
    EXPECT_FALSE(editor->LineEdit()->hasSelectedText());
    // Down posts; the provider writes the row back to the database.
    Press(K(Qt::Key_Down));
    EXPECT_EQ(f.Data->State(), dsBrowse);
    ASSERT_EQ(f.Data->ApplyUpdates(0), 0);
    EXPECT_EQ(f.Stored()[1], "2|2024-02-03|2024-03-31|2|0.8");
}

TEST_F(DateCellTest, InAReadOnlyGridTheCalendarShowsTheDayButWritesNothing) {
    GridDatabaseForm f(AdjustmentTableRows(3));
    f.Grid->SetReadOnly(true);
    TDBGridInplaceEdit* editor = edit(f, 1, 1);
    Press(AltKey(Qt::Key_Down));
    ASSERT_TRUE(editor->ListVisible());
    EXPECT_EQ(dateText(editor->Calendar()->Date()), "31/03/2024");
    Press({K(Qt::Key_Right), K(Qt::Key_Return)});
    EXPECT_FALSE(editor->ListVisible());
    EXPECT_EQ(f.Data->State(), dsBrowse);
    EXPECT_EQ(f.Fields.FecFin->AsString(), "31/03/2024");
    EXPECT_EQ(editor->Text(), "31/03/2024");
    EXPECT_TRUE(f.Env.Dialogs.Boxes().empty());
}

TEST_F(DateCellTest, TheDropDownButtonUnderTheMouse) {
    // Two clicks: open, then closed with nothing changed.
    {
        GridDatabaseForm f(AdjustmentTableRows(3));
        TDBGridInplaceEdit* editor = edit(f, 1, 1);
        clickButton(editor);
        ASSERT_TRUE(editor->ListVisible());
        EXPECT_TRUE(editor->Calendar()->isVisible());
        EXPECT_TRUE(editor->Buttons(0)->Pressed());
        Press(K(Qt::Key_Right)); // the calendar moves to 01/04/2024
        clickButton(editor);
        EXPECT_FALSE(editor->ListVisible());
        EXPECT_FALSE(editor->Calendar()->isVisible());
        EXPECT_FALSE(editor->Buttons(0)->Pressed());
        EXPECT_EQ(StateOf(f.Grid), (GridState{dsBrowse, 1, 1, "31/03/2024", iiArrow}));
    }
    // The next-month button keeps it open; a greyed day of the month after
    // is picked.
    {
        GridDatabaseForm f(AdjustmentTableRows(3));
        TDBGridInplaceEdit* editor = edit(f, 1, 1);
        clickButton(editor);
        TPopupMonthCalendar* calendar = editor->Calendar();
        QWidget* next = calendar->TitleButton(mchTitleNext);
        ASSERT_NE(next, nullptr);
        clickAt(calendar, next->mapToGlobal(next->rect().center()));
        ASSERT_TRUE(calendar->isVisible());
        EXPECT_EQ(calendar->Calendar()->monthShown(), 4);
        // The weekday header keeps it open too.
        const QPoint header = calendar->DayTable()->viewport()->mapToGlobal(
            calendar->DayTable()->visualRect(calendar->DayTable()->model()->index(0, 3)).center());
        EXPECT_EQ(calendar->HitTest(calendar->mapFromGlobal(header)), mchDayHeader);
        clickAt(calendar, header);
        ASSERT_TRUE(calendar->isVisible());
        // The last weeks start with May's first days, shown greyed.
        const QPoint may2 = dayCell(calendar, 2, 5);
        EXPECT_EQ(calendar->HitTest(calendar->mapFromGlobal(may2)), mchCalendarDateNext);
        clickAt(calendar, may2);
        EXPECT_FALSE(calendar->isVisible());
        EXPECT_FALSE(editor->ListVisible());
        EXPECT_EQ(f.Fields.FecFin->AsString(), "02/05/2024");
        EXPECT_EQ(StateOf(f.Grid), (GridState{dsEdit, 1, 1, "02/05/2024", iiEdit}));
    }
    // The previous-month button, then the today link.
    {
        GridDatabaseForm f(AdjustmentTableRows(3));
        TDBGridInplaceEdit* editor = edit(f, 1, 0);
        clickButton(editor);
        TPopupMonthCalendar* calendar = editor->Calendar();
        QWidget* prev = calendar->TitleButton(mchTitlePrev);
        clickAt(calendar, prev->mapToGlobal(prev->rect().center()));
        ASSERT_TRUE(calendar->isVisible());
        EXPECT_EQ(calendar->Calendar()->monthShown(), 12);
        QWidget* link = calendar->TodayLinkWidget();
        clickAt(calendar, link->mapToGlobal(link->rect().center()));
        EXPECT_FALSE(calendar->isVisible());
        EXPECT_EQ(f.Fields.FecIni->AsString(), dateText(today()));
    }
    // A press on another control closes it without accepting; that control
    // takes the focus and its click.
    {
        GridDatabaseForm f(AdjustmentTableRows(3));
        TDBGridInplaceEdit* editor = edit(f, 1, 1);
        clickButton(editor);
        Press(K(Qt::Key_Right));
        clickAt(editor->Calendar(), f.Other->Widget()->mapToGlobal(QPoint(5, 5)), f.Other->Widget());
        EXPECT_FALSE(editor->Calendar()->isVisible());
        EXPECT_FALSE(editor->ListVisible());
        EXPECT_EQ(f.Fields.FecFin->AsString(), "31/03/2024");
        EXPECT_TRUE(f.Other->Focused());
    }
}

TEST_F(DateCellTest, APressOnTheButtonDraggedIntoTheCalendarPicksTheDayReleasedOn) {
    GridDatabaseForm f(AdjustmentTableRows(3));
    TDBGridInplaceEdit* editor = edit(f, 1, 1);
    QWidget* button = editor->Buttons(0)->Widget();
    QTest::mousePress(button, Qt::LeftButton, Qt::NoModifier, button->rect().center());
    QApplication::processEvents();
    TPopupMonthCalendar* calendar = editor->Calendar();
    ASSERT_TRUE(calendar && calendar->isVisible());
    // The button holds the mouse: the drag reaches it, over the calendar.
    const QPoint day12 = dayCell(calendar, 12);
    QTest::mouseMove(button, button->mapFromGlobal(day12));
    QApplication::processEvents();
    EXPECT_TRUE(calendar->isVisible());
    QTest::mouseRelease(button, Qt::LeftButton, Qt::NoModifier, button->mapFromGlobal(day12));
    QApplication::processEvents();
    EXPECT_FALSE(calendar->isVisible());
    EXPECT_EQ(f.Fields.FecFin->AsString(), "12/03/2024");
    EXPECT_FALSE(editor->Buttons(0)->ShowsPressed());
}

TEST_F(DateCellTest, TheWheelMovesTheCalendarsDayAndTurnsNothingElse) {
    GridDatabaseForm f(AdjustmentTableRows(3));
    TDBGridInplaceEdit* editor = edit(f, 2, 1);
    Press(AltKey(Qt::Key_Down));
    TPopupMonthCalendar* calendar = editor->Calendar();
    auto wheel = [](QWidget* target, int delta) {
        const QPointF at = target->rect().center();
        QWheelEvent event(at, target->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(target, &event);
    };
    wheel(calendar->DayTable()->viewport(), -120);
    EXPECT_EQ(dateText(calendar->Date()), "01/04/2024");
    wheel(calendar->DayTable()->viewport(), 240);
    EXPECT_EQ(dateText(calendar->Date()), "30/03/2024");
    // Over the editor (or the grid) the wheel would move the record.
    wheel(editor->LineEdit(), -120);
    wheel(f.Grid->Widget(), -120);
    EXPECT_TRUE(calendar->isVisible());
    EXPECT_EQ(f.Data->RecNo(), 2);
}

TEST_F(DateCellTest, LosingTheFocusOrHidingTheEditorClosesWithoutAChoice) {
    {
        GridDatabaseForm f(AdjustmentTableRows(3));
        TDBGridInplaceEdit* editor = edit(f, 1, 1);
        Press(AltKey(Qt::Key_Down));
        Press(K(Qt::Key_Right));
        f.Other->SetFocus();
        QApplication::processEvents();
        EXPECT_FALSE(editor->Calendar()->isVisible());
        EXPECT_FALSE(editor->ListVisible());
        EXPECT_EQ(f.Fields.FecFin->AsString(), "31/03/2024");
        EXPECT_TRUE(f.Other->Focused());
    }
    {
        GridDatabaseForm f(AdjustmentTableRows(3));
        TDBGridInplaceEdit* editor = edit(f, 1, 1);
        Press(AltKey(Qt::Key_Down));
        // Another record under the open calendar.
        f.Data->SetRecNo(2);
        QApplication::processEvents();
        EXPECT_FALSE(editor->Calendar()->isVisible());
        EXPECT_EQ(f.Fields.FecFin->AsString(), "31/03/2024");
    }
}

// The window and the calendar as the screen shows them, for a person to
// look at.
QImage screenShot(QWidget* window, TPopupMonthCalendar* calendar) {
    const QRect area = window->frameGeometry().united(calendar->geometry());
    QImage image(area.size(), QImage::Format_RGB32);
    image.fill(Qt::darkGray);
    QPainter painter(&image);
    painter.drawPixmap(window->geometry().topLeft() - area.topLeft(), window->grab());
    painter.drawPixmap(calendar->geometry().topLeft() - area.topLeft(), calendar->grab());
    return image;
}

TEST_F(DateCellTest, TheCalendarOpensBelowTheCellOrAboveNearTheBottomOfTheScreen) {
    for (const bool nearBottom : {false, true}) {
        GridDatabaseForm f(AdjustmentTableRows(3));
        QWidget* window = f.Form->Widget();
        const QRect work = window->screen()->availableGeometry();
        // Near the bottom, the grid's first rows are the screen's last.
        window->move(work.left() + 20, nearBottom ? work.bottom() - 80 : work.top() + 20);
        TDBGridInplaceEdit* editor = edit(f, 1, 1);
        Press(AltKey(Qt::Key_Down));
        TPopupMonthCalendar* calendar = editor->Calendar();
        ASSERT_TRUE(calendar->isVisible());
        const QRect cell(editor->LineEdit()->mapToGlobal(QPoint(0, 0)),
                         editor->LineEdit()->size());
        const QRect shown = calendar->geometry();
        EXPECT_EQ(shown.left(), cell.left());
        if (nearBottom)
            EXPECT_EQ(shown.bottom() + 1, cell.top());
        else
            EXPECT_EQ(shown.top(), cell.bottom() + 1);
        EXPECT_TRUE(work.contains(shown));
        // One month with its today link fits whole, inside the double frame.
        const int frame = 2 * TPopupMonthCalendar::FrameWidth;
        EXPECT_EQ(shown.size(), calendar->MinimumMonthSize() + QSize(frame, frame));
        // The frame is no part to click.
        EXPECT_EQ(calendar->HitTest(QPoint(0, 0)), mchNowhere);
        GridForm::Save(screenShot(window, calendar),
                       nearBottom ? "calendar-above-cell" : "calendar-below-cell");
    }
}

TEST(PopupMonthCalendarTest, HitAreasAndTheAreasThatAccept) {
    TFixedClock day(today());
    QWidget owner;
    TPopupMonthCalendar calendar(&owner);
    calendar.SetDate(EncodeDate(2024, 5, 15));
    const int frame = 2 * TPopupMonthCalendar::FrameWidth;
    const QSize size = calendar.MinimumMonthSize() + QSize(frame, frame);
    calendar.Popup(Bounds(100, 100, size.width(), size.height()));
    QApplication::processEvents();
    QAbstractItemView* table = calendar.DayTable();
    auto cell = [&](int row, int col) {
        const QRect r = table->visualRect(table->model()->index(row, col));
        return table->viewport()->mapTo(&calendar, r.center());
    };
    auto centre = [&](QWidget* w) { return w->mapTo(&calendar, w->rect().center()); };
    struct Case {
        const char* Name;
        QPoint At;
        TMonthCalHit Hit;
        bool Accepts;
    };
    // May 2024 starts on a Wednesday: the first week shows April's last
    // days, the last weeks June's first.
    const Case cases[] = {
        {"a day of the month", calendar.mapFromGlobal(dayCell(&calendar, 15)), mchCalendarDate,
         true},
        {"a greyed day before", cell(1, 1), mchCalendarDatePrev, true},
        {"a greyed day after", cell(6, 7), mchCalendarDateNext, true},
        {"a week number", cell(3, 0), mchWeekNumber, true},
        {"the weekday header", cell(0, 4), mchDayHeader, false},
        {"the previous button", centre(calendar.TitleButton(mchTitlePrev)), mchTitlePrev, false},
        {"the next button", centre(calendar.TitleButton(mchTitleNext)), mchTitleNext, false},
        {"the month", centre(calendar.TitleButton(mchTitleMonth)), mchTitleMonth, true},
        {"the year", centre(calendar.TitleButton(mchTitleYear)), mchTitleYear, false},
        {"the today link", centre(calendar.TodayLinkWidget()), mchTodayLink, true},
        {"the frame", QPoint(1, 1), mchNowhere, false},
        {"outside", QPoint(-5, 10), mchNowhere, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(calendar.HitTest(c.At), c.Hit) << c.Name;
        EXPECT_EQ(AcceptsOnRelease(c.Hit, cvMonth), c.Accepts) << c.Name;
        EXPECT_FALSE(AcceptsOnRelease(c.Hit, cvYear)) << c.Name;
    }
    EXPECT_EQ(AcceptsOnRelease(mchCalendarBack, cvMonth), true);
    EXPECT_EQ(AcceptsOnRelease(mchTitleBack, cvMonth), false);
    EXPECT_EQ(calendar.CurrentView(), cvMonth);

    // A release on a greyed day picks that day.
    bool accepted = false;
    calendar.OnCloseUp = [&](bool accept) {
        accepted = accept;
        calendar.Close();
    };
    QTest::mouseClick(table->viewport(), Qt::LeftButton, Qt::NoModifier,
                      table->viewport()->mapFrom(&calendar, cell(1, 1)));
    EXPECT_TRUE(accepted);
    EXPECT_FALSE(calendar.isVisible());
    int y, m, d;
    DecodeDate(calendar.Date(), y, m, d);
    EXPECT_EQ(m, 4);
}

} // namespace
