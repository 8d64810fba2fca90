#include "grid/TPopupMonthCalendar.h"

#include "platform/Dialogs.h"
#include "platform/widgets/Canvas3D.h"
#include "platform/widgets/TDateTimePicker.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCalendarWidget>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QWheelEvent>

#include <algorithm>
#include <climits>

// The row under the day table that makes today the date.
class TodayLink : public QWidget {
public:
    explicit TodayLink(QWidget* parent) : QWidget(parent) { setFocusPolicy(Qt::NoFocus); }

    QString text() const {
        return QStringLiteral("Today: ") + QString::fromStdString(DateToStr(Date()));
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        QFont bold = font();
        bold.setBold(true);
        painter.setFont(bold);
        painter.setPen(palette().color(QPalette::Text));
        painter.drawText(rect().adjusted(6, 0, -2, 0), Qt::AlignLeft | Qt::AlignVCenter, text());
    }
};

namespace {

// The object names Qt gives the parts of its calendar's title.
struct TitlePart {
    TMonthCalHit Hit;
    const char* Name;
};
constexpr TitlePart kTitleParts[] = {
    {mchTitlePrev, "qt_calendar_prevmonth"},  {mchTitleNext, "qt_calendar_nextmonth"},
    {mchTitleMonth, "qt_calendar_monthbutton"}, {mchTitleYear, "qt_calendar_yearbutton"},
    {mchTitleYear, "qt_calendar_yearedit"},
};

int overlap(const QRect& a, const QRect& b) {
    const QRect i = a.intersected(b);
    return i.isEmpty() ? 0 : i.width() * i.height();
}

int distance(const QRect& r, QPoint p) {
    const int dx = std::max({r.left() - p.x(), 0, p.x() - r.right()});
    const int dy = std::max({r.top() - p.y(), 0, p.y() - r.bottom()});
    return dx + dy;
}

} // namespace

bool AcceptsOnRelease(TMonthCalHit hit, TCalendarView viewAtPress) {
    if (viewAtPress != cvMonth) return false;
    switch (hit) {
    case mchCalendarDate:
    case mchCalendarDatePrev:
    case mchCalendarDateNext:
    case mchCalendarBack:
    case mchWeekNumber:
    case mchTitleMonth:
    case mchTodayLink:
        return true;
    default:
        return false;
    }
}

TRect DropDownBounds(const TRect& editor, int width, int height, const TRect& workArea) {
    const int roomBelow = workArea.Bottom - editor.Bottom;
    const int roomAbove = editor.Top - workArea.Top;
    const bool fitsBelow = height <= roomBelow;
    const bool fitsAbove = height <= roomAbove;
    const bool above = !fitsBelow && (fitsAbove || roomAbove > roomBelow);
    const int h = std::max(0, std::min(height, above ? roomAbove : roomBelow));
    const int top = above ? editor.Top - h : editor.Bottom;
    const int w = std::min(width, workArea.Width());
    int left = editor.Left;
    if (left + w > workArea.Right) left = workArea.Right - w;
    if (left < workArea.Left) left = workArea.Left;
    return Bounds(left, top, w, h);
}

TRect NearestWorkArea(const TRect& area) {
    const QRect r(area.Left, area.Top, area.Width(), area.Height());
    QScreen* best = nullptr;
    int bestOverlap = 0;
    int bestDistance = INT_MAX;
    for (QScreen* screen : QGuiApplication::screens()) {
        const QRect g = screen->geometry();
        const int o = overlap(g, r);
        const int d = distance(g, r.center());
        if (o > bestOverlap || (bestOverlap == 0 && o == 0 && d < bestDistance)) {
            best = screen;
            bestOverlap = o;
            bestDistance = d;
        }
    }
    if (!best) best = QGuiApplication::primaryScreen();
    if (!best) return area;
    const QRect w = best->availableGeometry();
    return Bounds(w.x(), w.y(), w.width(), w.height());
}

TPopupMonthCalendar::TPopupMonthCalendar(QWidget* owner)
    // A window of the tooltip kind is never activated, on any platform:
    // the window it drops down from stays the active one.
    : QWidget(owner ? owner->window() : nullptr,
              Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus |
                  Qt::X11BypassWindowManagerHint | Qt::NoDropShadowWindowHint),
      FCalendar(new QCalendarWidget(this)), FTodayLink(new TodayLink(this)) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    // The hit areas rely on a weekday header row and a week-number column.
    FCalendar->setHorizontalHeaderFormat(QCalendarWidget::ShortDayNames);
    FCalendar->setVerticalHeaderFormat(QCalendarWidget::ISOWeekNumbers);
    FCalendar->setNavigationBarVisible(true);
    FDayTable = FCalendar->findChild<QAbstractItemView*>();
    Q_ASSERT(FDayTable && "Qt's calendar shows its days in an item view");
    // The editor keeps the keyboard: no part of the calendar takes it, not
    // even on a click.
    FCalendar->setFocusPolicy(Qt::NoFocus);
    for (QWidget* part : FCalendar->findChildren<QWidget*>())
        part->setFocusPolicy(Qt::NoFocus);
    SetLook(TFont(), clWindow);
}

TPopupMonthCalendar::~TPopupMonthCalendar() {
    qApp->removeEventFilter(this);
}

TDateTime TPopupMonthCalendar::Date() const {
    return TDateTimePicker::FromQDate(FCalendar->selectedDate());
}

void TPopupMonthCalendar::SetDate(TDateTime value) {
    const QDate date = TDateTimePicker::ToQDate(value);
    FCalendar->setSelectedDate(date);
    FCalendar->setCurrentPage(FCalendar->selectedDate().year(), FCalendar->selectedDate().month());
}

void TPopupMonthCalendar::SetLook(const TFont& font, TColor color) {
    QPalette p = ClassicPalette();
    p.setColor(QPalette::Base, ToQColor(color));
    p.setColor(QPalette::Window, ToQColor(color));
    p.setColor(QPalette::Text, ToQColor(font.Color()));
    p.setColor(QPalette::WindowText, ToQColor(font.Color()));
    setPalette(p);
    setFont(ToQFont(font));
    FCalendar->setFont(ToQFont(font));
    FTodayLink->setFont(ToQFont(font));
}

QWidget* TPopupMonthCalendar::TodayLinkWidget() const {
    return FTodayLink;
}

QWidget* TPopupMonthCalendar::TitleButton(TMonthCalHit hit) const {
    for (const TitlePart& part : kTitleParts)
        if (part.Hit == hit) return FCalendar->findChild<QWidget*>(QLatin1String(part.Name));
    return nullptr;
}

QSize TPopupMonthCalendar::MinimumMonthSize() const {
    const QSize month = FCalendar->sizeHint().expandedTo(FCalendar->minimumSizeHint());
    const int link = QFontMetrics(FTodayLink->font()).height() + 6;
    return {month.width(), month.height() + link};
}

void TPopupMonthCalendar::resizeEvent(QResizeEvent*) {
    const QRect inner = rect().adjusted(FrameWidth, FrameWidth, -FrameWidth, -FrameWidth);
    // A height cut to the screen's room is taken off the month, not the link.
    const int link = std::min(QFontMetrics(FTodayLink->font()).height() + 6, inner.height());
    FCalendar->setGeometry(inner.x(), inner.y(), inner.width(), inner.height() - link);
    FTodayLink->setGeometry(inner.x(), inner.y() + inner.height() - link, inner.width(), link);
}

void TPopupMonthCalendar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    TRect r = Bounds(0, 0, width(), height());
    FillRect(painter, r, clBtnFace);
    // A raised double edge.
    Frame3D(painter, r, cl3DLight, cl3DDkShadow, 1);
    Frame3D(painter, r, clBtnHighlight, clBtnShadow, 1);
    painter.fillRect(QRect(r.Left, r.Top, r.Width(), r.Height()), palette().color(QPalette::Base));
}

bool TPopupMonthCalendar::ContainsGlobal(QPoint global) const {
    return isVisible() && rect().contains(mapFromGlobal(global));
}

void TPopupMonthCalendar::Popup(const TRect& bounds) {
    setGeometry(bounds.Left, bounds.Top, bounds.Width(), bounds.Height());
    FViewAtPress = cvMonth;
    FHandedOver = false;
    FWheelRest = 0;
    // Presses anywhere in the program are the calendar's while it is open.
    qApp->installEventFilter(this);
    show();
}

void TPopupMonthCalendar::Close() {
    qApp->removeEventFilter(this);
    FHandedOver = false;
    hide();
}

void TPopupMonthCalendar::closeUp(bool accept) {
    if (!isVisible()) return;
    HandleExceptions([&] {
        if (OnCloseUp)
            OnCloseUp(accept);
        else
            Close();
    });
}

void TPopupMonthCalendar::PassKey(int qtKey, Qt::KeyboardModifiers modifiers) {
    QKeyEvent press(QEvent::KeyPress, qtKey, modifiers);
    QCoreApplication::sendEvent(FDayTable, &press);
}

void TPopupMonthCalendar::moveDays(int days) {
    SetDate(TDateTime(Date().Val() + days));
}

TMonthCalHit TPopupMonthCalendar::HitTest(QPoint local) const {
    if (!rect().contains(local)) return mchNowhere;
    if (FTodayLink->geometry().contains(local)) return mchTodayLink;
    if (!FCalendar->geometry().contains(local)) return mchNowhere;
    if (auto* title = FCalendar->findChild<QWidget*>(QStringLiteral("qt_calendar_navigationbar"));
        title && title->isVisible() && title->rect().contains(title->mapFrom(this, local))) {
        for (const TitlePart& part : kTitleParts) {
            const QWidget* w = FCalendar->findChild<QWidget*>(QLatin1String(part.Name));
            if (w && w->isVisible() && w->rect().contains(w->mapFrom(this, local))) return part.Hit;
        }
        return mchTitleBack;
    }
    const QWidget* viewport = FDayTable->viewport();
    const QPoint v = viewport->mapFrom(this, local);
    if (!viewport->rect().contains(v)) return mchCalendarBack;
    const QModelIndex index = FDayTable->indexAt(v);
    if (!index.isValid()) return mchCalendarBack;
    if (index.row() == 0) return mchDayHeader;
    if (index.column() == 0) return mchWeekNumber;
    // Six weeks are shown: a late day in the first week is the month
    // before's, an early one in the last two weeks the month after's.
    const int day = index.data().toInt();
    if (index.row() == 1 && day > 7) return mchCalendarDatePrev;
    if (index.row() >= 5 && day < 15) return mchCalendarDateNext;
    return mchCalendarDate;
}

void TPopupMonthCalendar::clickDay(QPoint local) {
    QWidget* viewport = FDayTable->viewport();
    const QPointF at = viewport->mapFrom(this, local);
    const QPointF global = viewport->mapToGlobal(at);
    FDelivering = true;
    QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(viewport, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(viewport, &release);
    FDelivering = false;
}

// The end of a press the calendar holds, at a point of its own: closes it
// accepting on an accepting area, else hands the release to the part under
// it (original, or one made for a handed-over press).
void TPopupMonthCalendar::releaseAt(QPoint local) {
    const TMonthCalHit hit = HitTest(local);
    if (AcceptsOnRelease(hit, FViewAtPress)) {
        if (hit == mchCalendarDate || hit == mchCalendarDatePrev || hit == mchCalendarDateNext)
            clickDay(local);
        else if (hit == mchTodayLink)
            SetDate(::Date());
        closeUp(true);
        return;
    }
    if (hit == mchTitleMonth || hit == mchTitleYear) return;
    QWidget* target = childAt(local);
    if (!target) return;
    const QPointF at = target->mapFrom(this, local);
    QMouseEvent release(QEvent::MouseButtonRelease, at, target->mapToGlobal(at), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    FDelivering = true;
    QCoreApplication::sendEvent(target, &release);
    FDelivering = false;
}

void TPopupMonthCalendar::HandOverPress(QPoint global) {
    FHandedOver = true;
    FViewAtPress = CurrentView();
    const QPoint local = mapFromGlobal(global);
    const TMonthCalHit hit = HitTest(local);
    QWidget* target = childAt(local);
    if (!target || hit == mchTitleMonth || hit == mchTitleYear) return;
    const QPointF at = target->mapFrom(this, local);
    QMouseEvent press(QEvent::MouseButtonPress, at, QPointF(global), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    FDelivering = true;
    QCoreApplication::sendEvent(target, &press);
    FDelivering = false;
}

void TPopupMonthCalendar::HandOverMove(QPoint global) {
    if (!FHandedOver) return;
    QWidget* viewport = FDayTable->viewport();
    const QPointF at = viewport->mapFromGlobal(QPointF(global));
    QMouseEvent move(QEvent::MouseMove, at, QPointF(global), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    FDelivering = true;
    QCoreApplication::sendEvent(viewport, &move);
    FDelivering = false;
}

void TPopupMonthCalendar::HandOverRelease(QPoint global) {
    if (!FHandedOver) return;
    FHandedOver = false;
    const QPoint local = mapFromGlobal(global);
    // Released outside: nowhere, and the calendar stays open.
    if (rect().contains(local)) releaseAt(local);
}

bool TPopupMonthCalendar::filterOwnMouse(QWidget* target, QMouseEvent* event) {
    const QPoint local = mapFromGlobal(event->globalPosition().toPoint());
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        FViewAtPress = CurrentView();
        const TMonthCalHit hit = HitTest(local);
        // The title's month and year open no menu and no year field.
        return hit == mchTitleMonth || hit == mchTitleYear;
    }
    case QEvent::MouseButtonRelease:
        if (event->button() != Qt::LeftButton) return false;
        releaseAt(local);
        return true;
    default:
        return false;
    }
}

bool TPopupMonthCalendar::filterOutsidePress(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::NonClientAreaMouseButtonPress:
        if (!watched->isWidgetType()) return false;
        closeUp(false);
        return true;
    case QEvent::Wheel:
        // The wheel turns nothing under an open calendar.
        return watched->isWidgetType();
    default:
        return false;
    }
}

bool TPopupMonthCalendar::eventFilter(QObject* watched, QEvent* event) {
    if (FDelivering || !isVisible()) return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    const bool own = widget && (widget == this || isAncestorOf(widget));
    if (!own) return filterOutsidePress(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease:
        return filterOwnMouse(widget, static_cast<QMouseEvent*>(event));
    case QEvent::Wheel: {
        FWheelRest += static_cast<QWheelEvent*>(event)->angleDelta().y();
        const int notches = FWheelRest / 120;
        FWheelRest -= notches * 120;
        if (notches != 0) moveDays(-notches);
        return true;
    }
    case QEvent::KeyPress: {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape) {
            closeUp(key != Qt::Key_Escape);
            return true;
        }
        return false;
    }
    case QEvent::FocusOut: {
        QWidget* now = QApplication::focusWidget();
        if (now && (now == this || isAncestorOf(now))) return false;
        QPointer<TPopupMonthCalendar> alive(this);
        QMetaObject::invokeMethod(
            this, [alive] { if (alive) alive->closeUp(false); }, Qt::QueuedConnection);
        return false;
    }
    default:
        return false;
    }
}
