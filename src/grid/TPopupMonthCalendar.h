#pragma once
// TPopupMonthCalendar: the month calendar that drops down under a date
// cell's editor. A window of its own above the grid's window that never
// takes the keyboard focus: the editor keeps it while the calendar is open,
// and hands it the keys that move the selected day (PassKey). Inside a
// raised double edge of FrameWidth pixels it shows Qt's calendar widget for
// one month (title with the previous and next buttons, month and year,
// weekday header, week numbers, days with the neighbouring months' days
// greyed) and a today link below it.
//
// Hit areas (HitTest). Qt's calendar has no hit test of its own; the areas
// come from its parts' geometry: a cell of its day table is a day (of the
// month shown, of the one before or after), its first column the week
// numbers, its first row the weekday header; table space without a cell,
// and calendar space outside the title and the table, is the background;
// the title's buttons are the previous and next buttons, the month and the
// year, the rest of the title its background. The link row under the table
// is the today link; the frame is nowhere.
//
// Mouse. A release inside closes the calendar accepting its date when the
// press began in the month view and the release is on a day (a greyed day
// too, which is then the date), the background, a week number, the title's
// month or the today link (which makes today the date); anywhere else it
// stays open, and the previous and next buttons turn the month as Qt's
// calendar does. The title's month and year open no menu and no year field
// here, so the calendar is always in its month view. A press outside the
// calendar, anywhere in the program, closes it without accepting and goes
// no further; a press on a control that takes the focus on a click moves
// the focus there first, which closes the calendar as the editor loses it,
// and that control gets its click. A wheel notch over it moves the date a day (down: forward).
// Enter and Esc, should the calendar itself ever hold the focus, close it
// accepting and cancelling; losing that focus closes it, cancelling, once
// the current event is done.
//
// The calendar closes through OnCloseUp, which its owner (the editor)
// assigns: the owner hides it. The drop-down button hands over a press it
// holds with the Hand... functions.

#include "platform/DateUtils.h"
#include "platform/widgets/TColor.h"
#include "platform/widgets/TFont.h"
#include "platform/widgets/TRect.h"

#include <QPointer>
#include <QWidget>

#include <functional>

class QAbstractItemView;
class QCalendarWidget;
class QMouseEvent;
class TodayLink;

enum TMonthCalHit {
    mchNowhere,
    mchCalendarDate,     // a day of the month shown
    mchCalendarDatePrev, // a greyed day of the month before
    mchCalendarDateNext, // a greyed day of the month after
    mchCalendarBack,
    mchWeekNumber,
    mchDayHeader,
    mchTitleBack,
    mchTitleMonth,
    mchTitleYear,
    mchTitlePrev,
    mchTitleNext,
    mchTodayLink,
};

enum TCalendarView { cvMonth, cvYear, cvDecade, cvCentury };

// A release on hit closes the calendar accepting its date.
bool AcceptsOnRelease(TMonthCalHit hit, TCalendarView viewAtPress);

// Where a drop-down of size width x height goes for an editor at editor
// (screen coordinates) inside workArea: below the editor, or above it when
// it does not fit below but fits above, or fits neither way and there is
// more room above; its height cut to the room when it still does not fit;
// its left edge at the editor's, narrowed to the work area's width and
// moved to stay inside it.
TRect DropDownBounds(const TRect& editor, int width, int height, const TRect& workArea);

// The work area of the monitor nearest to a rectangle of the screen.
TRect NearestWorkArea(const TRect& area);

class TPopupMonthCalendar : public QWidget {
public:
    static constexpr int FrameWidth = 2;

    // owner: a widget of the window the calendar drops down from.
    explicit TPopupMonthCalendar(QWidget* owner);
    ~TPopupMonthCalendar() override;

    // The selected day, without time.
    TDateTime Date() const;
    void SetDate(TDateTime value);
    // The font and the background of the calendar's body.
    void SetLook(const TFont& font, TColor color);
    // Large enough for one month with its today link, frame excluded.
    QSize MinimumMonthSize() const;

    TMonthCalHit HitTest(QPoint local) const;
    // This calendar has no year, decade or century view.
    TCalendarView CurrentView() const { return cvMonth; }

    // Shows the calendar at bounds (screen coordinates) without activating
    // it or taking the focus; Close hides it.
    void Popup(const TRect& bounds);
    void Close();

    // A key of the editor's while the calendar is open: the arrows, Page Up
    // and Page Down, Home and End move the selection as in the calendar
    // itself (Left/Right a day, Up/Down a week, Page Up/Down a month, Home
    // and End to the month's first and last day).
    void PassKey(int qtKey, Qt::KeyboardModifiers modifiers);

    // A press held by the drop-down button, dragged over the calendar: the
    // calendar takes it there (a press at that point), follows it and ends
    // it as if the press had been its own.
    void HandOverPress(QPoint global);
    void HandOverMove(QPoint global);
    void HandOverRelease(QPoint global);
    bool ContainsGlobal(QPoint global) const;

    // The parts, for whoever must point at them.
    QCalendarWidget* Calendar() const { return FCalendar; }
    QAbstractItemView* DayTable() const { return FDayTable; }
    QWidget* TodayLinkWidget() const;
    QWidget* TitleButton(TMonthCalHit hit) const;

    std::function<void(bool accept)> OnCloseUp;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool filterOwnMouse(QWidget* target, QMouseEvent* event);
    bool filterOutsidePress(QObject* watched, QEvent* event);
    void releaseAt(QPoint local);
    // Qt's calendar selects a day on the release of a press on it: a click
    // on the day under local, delivered to the table past this filter.
    void clickDay(QPoint local);
    void closeUp(bool accept);
    void moveDays(int days);
    void watchParts();

    QCalendarWidget* FCalendar;
    QAbstractItemView* FDayTable;
    TodayLink* FTodayLink;
    TCalendarView FViewAtPress = cvMonth;
    bool FDelivering = false;
    bool FHandedOver = false;
    int FWheelRest = 0;
};
