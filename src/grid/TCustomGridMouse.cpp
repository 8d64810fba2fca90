// TCustomGrid: the mouse. One state (TGridState) with what it keeps: a
// press starts sizing or moving a column on a title or tracking on a data
// cell, moves follow the state, a release applies and ends it, and
// CancelMode ends it without applying. Coordinates are the client area's.

#include "grid/TCustomGrid.h"

#include "grid/TGridMoveLine.h"
#include "grid/TInplaceEdit.h"

#include <QApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <QWidget>

#include <algorithm>
#include <cstdlib>

namespace {

// Window timers do not fire faster than this, whatever they are set to.
constexpr int kShortestTimerInterval = 10;

// The auto-scroll's pace for a pointer d pixels outside the data area:
// records per tick and milliseconds to the next tick.
int rowsPerTick(int d) {
    return std::min(d / 6, 8);
}
int tickInterval(int d) {
    return std::max(0, 200 - 15 * d);
}

Qt::KeyboardModifiers qtModifiers(TShiftState shift) {
    Qt::KeyboardModifiers m;
    if (shift & ssShift) m |= Qt::ShiftModifier;
    if (shift & ssCtrl) m |= Qt::ControlModifier;
    if (shift & ssAlt) m |= Qt::AltModifier;
    return m;
}

} // namespace

// ---- hit test ---------------------------------------------------------------

int TCustomGrid::sizingColumnAt(int x) const {
    // The sizing zone of a boundary is its line, 3 pixels left of it and 4
    // right of it; it belongs to the column left of the line.
    for (int c = FGeometry.FixedCols(); c < FGeometry.ColCount(); ++c) {
        const int left = FGeometry.ColLeft(c);
        if (left < 0) continue;
        const int line = left + FGeometry.ColWidth(c);
        if (x >= line - 3 && x <= line + FGeometry.VertLineWidth() - 1 + 4) return c;
    }
    return -1;
}

TGridState TCustomGrid::GridStateAt(int x, int y) const {
    const int row = FGeometry.RowAt(y);
    if (row >= 0 && row < FGeometry.FixedRows() && FGridOptions.contains(goColSizing) &&
        sizingColumnAt(x) >= 0)
        return gsColSizing;
    const int col = FGeometry.ColumnAt(x);
    if (row < 0 || col < 0) return gsNormal;
    if (row >= FGeometry.FixedRows()) return col >= FGeometry.FixedCols() ? gsTracking : gsNormal;
    if (col >= FGeometry.FixedCols() && FGridOptions.contains(goColMoving)) return gsColMoving;
    return gsNormal;
}

TRect TCustomGrid::DataArea() const {
    return Rect(FGeometry.FixedWidth(), FGeometry.FixedHeight(),
                std::min(FGeometry.GridRight(), FGeometry.ClientWidth()),
                std::min(FGeometry.GridBottom(), FGeometry.ClientHeight()));
}

// ---- press, move, release ---------------------------------------------------

bool TCustomGrid::HoldsFocus() const {
    return Focused() || (FInplaceEdit && FInplaceEdit->Focused());
}

bool TCustomGrid::TakeFocus() {
    if (HoldsFocus()) return true;
    if (!CanFocus()) return false;
    SetFocus();
    // The control that had the focus may have kept it (its exit failed).
    return HoldsFocus();
}

void TCustomGrid::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    // A press handed to the editor's control that it did not take comes
    // back up here: it has been dealt with.
    if (FMouse.HandingOn) return;
    if (!TakeFocus()) return;
    // A double click only raises OnDblClick, which came first: the first
    // click of the pair did the work.
    if (shift & ssDouble) return;
    if (FMouse.State != gsNormal) CancelMode();
    if (button == mbLeft || button == mbRight) {
        const int row = FGeometry.RowAt(y);
        const int col = FGeometry.ColumnAt(x);
        if (row >= 0 && row < FGeometry.FixedRows()) {
            pressTitle(button, col, x, y);
        } else if (row >= 0 && col >= 0) {
            DataCellPressed(button, shift, col, row, x, y);
        }
    }
    TCustomControl::MouseDown(button, shift, x, y);
}

void TCustomGrid::pressTitle(TMouseButton button, int col, int x, int y) {
    const TGridState state = GridStateAt(x, y);
    if (state != gsColSizing && state != gsColMoving) return;
    // A right press on a title drags as a left one where columns move.
    if (button == mbRight && !FGridOptions.contains(goColMoving)) return;
    TitleDragStarting();
    if (state == gsColSizing)
        beginSizing(x);
    else
        beginMoving(col, x);
}

void TCustomGrid::MouseMove(TShiftState shift, int x, int y) {
    if (FMouse.PressTarget) {
        const Qt::MouseButtons held = (shift & ssLeft ? Qt::LeftButton : Qt::NoButton) |
                                      (shift & ssRight ? Qt::RightButton : Qt::NoButton);
        handOn(QEvent::MouseMove, x, y, Qt::NoButton, held, shift);
    }
    // A drag whose release went elsewhere ends at the next move.
    if (FMouse.State != gsNormal && !(shift & (ssLeft | ssRight))) CancelMode();
    switch (FMouse.State) {
    case gsColSizing:
        moveSizingLine(x);
        break;
    case gsColMoving:
        dragColumnTo(x, true);
        break;
    case gsTracking:
        trackTo(x, y);
        break;
    case gsNormal:
        if (!FMouse.PressTarget) updateCursor(x, y);
        break;
    }
    TCustomControl::MouseMove(shift, x, y);
}

void TCustomGrid::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (FMouse.PressTarget) {
        const Qt::MouseButton released = button == mbRight ? Qt::RightButton : Qt::LeftButton;
        handOn(QEvent::MouseButtonRelease, x, y, released, Qt::NoButton, shift);
        FMouse.PressTarget = nullptr;
    }
    switch (FMouse.State) {
    case gsColSizing:
        endSizing(x);
        break;
    case gsColMoving:
        endMoving(x);
        break;
    case gsTracking:
        stopAutoScroll();
        FMouse.State = gsNormal;
        break;
    case gsNormal:
        break;
    }
    updateCursor(x, y);
    TCustomControl::MouseUp(button, shift, x, y);
}

void TCustomGrid::CancelMode() {
    switch (FMouse.State) {
    case gsColSizing:
        invalidateSizingLine(FMouse.SizingPos);
        break;
    case gsColMoving:
        TGridMoveLine::Shared().hide();
        break;
    case gsTracking:
        // Without a release to come the timer would scroll on for ever.
        stopAutoScroll();
        break;
    case gsNormal:
        break;
    }
    FMouse.State = gsNormal;
}

void TCustomGrid::updateCursor(int x, int y) {
    if (GridStateAt(x, y) == gsColSizing)
        Widget()->setCursor(Qt::SplitHCursor);
    else
        Widget()->unsetCursor();
}

// ---- column sizing ----------------------------------------------------------

int TCustomGrid::SizingLinePos() const {
    return FMouse.State == gsColSizing ? FMouse.SizingPos : -1;
}

void TCustomGrid::beginSizing(int x) {
    const int col = sizingColumnAt(x);
    if (col < 0) return;
    const int boundary = FGeometry.ColLeft(col) + FGeometry.ColWidth(col);
    FMouse.State = gsColSizing;
    FMouse.SizingCol = col;
    // The line keeps the pointer's distance from the boundary, so it starts
    // on the boundary itself.
    FMouse.SizingOffset = boundary - x;
    FMouse.SizingPos = boundary;
    invalidateSizingLine(boundary);
    Widget()->setCursor(Qt::SplitHCursor);
}

void TCustomGrid::moveSizingLine(int x) {
    const int pos = x + FMouse.SizingOffset;
    if (pos == FMouse.SizingPos) return;
    invalidateSizingLine(FMouse.SizingPos);
    FMouse.SizingPos = pos;
    invalidateSizingLine(pos);
}

void TCustomGrid::endSizing(int x) {
    moveSizingLine(x);
    invalidateSizingLine(FMouse.SizingPos);
    FMouse.State = gsNormal;
    const int col = FMouse.SizingCol;
    const int left = FGeometry.ColLeft(col);
    if (left < 0) return;
    const int width = FMouse.SizingPos - left;
    // A boundary taken to the column's left edge or beyond leaves it be.
    if (width <= 1) return;
    ColumnSized(col, width);
}

// The line is inverted over what is painted under it, so repainting its
// strip draws it or, once the state has ended, takes it away.
void TCustomGrid::invalidateSizingLine(int pos) {
    const TPoint o = ClientOrigin();
    const int width = std::max(1, FGeometry.VertLineWidth());
    Widget()->update(QRect(o.X + pos, o.Y, width, FGeometry.ClientHeight())
                         .intersected(QRect(o.X, o.Y, FGeometry.ClientWidth(),
                                            FGeometry.ClientHeight())));
}

void TCustomGrid::drawSizingLine(QPainter& canvas) const {
    if (FMouse.State != gsColSizing) return;
    const int width = std::max(1, FGeometry.VertLineWidth());
    canvas.save();
    canvas.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    canvas.fillRect(QRect(FMouse.SizingPos, 0, width, FGeometry.ClientHeight()), Qt::white);
    canvas.restore();
}

// ---- column moving ----------------------------------------------------------

void TCustomGrid::beginMoving(int col, int x) {
    FMouse.State = gsColMoving;
    FMouse.MoveOrigin = col;
    FMouse.MoveTarget = col;
    FMouse.MoveAfter = false;
    dragColumnTo(x, false);
}

void TCustomGrid::dragColumnTo(int x, bool mayScroll) {
    const TRect area = DataArea();
    // Past the scrollable columns the view moves one column that way.
    if (mayScroll && (x < area.Left || x >= FGeometry.ClientWidth())) {
        const auto action = x < area.Left ? TGridGeometry::saLineLeft : TGridGeometry::saLineRight;
        scrollColumnsTo(FGeometry.LeftColAfter(action));
    }
    if (area.Right <= area.Left) return;
    const int at = std::clamp(x, area.Left, area.Right - 1);
    const int col = FGeometry.ColumnAt(at);
    if (col < FGeometry.FixedCols()) return;
    FMouse.MoveTarget = col;
    FMouse.MoveAfter = at - FGeometry.ColLeft(col) >= FGeometry.ColWidth(col) / 2;
    showMoveMarker();
}

void TCustomGrid::showMoveMarker() const {
    const int target = FMouse.MoveTarget;
    const int left = FGeometry.ColLeft(target);
    if (left < 0) return;
    // On the target's left edge (the line before it) or on its right edge.
    const int boundary = FMouse.MoveAfter ? left + FGeometry.ColWidth(target) : left - 1;
    const TPoint o = ClientOrigin();
    const QPoint at = Widget()->mapToGlobal(QPoint(o.X + boundary, o.Y));
    TGridMoveLine::Shared().ShowAt(at.x(), at.y(), FGeometry.GridBottom());
}

void TCustomGrid::endMoving(int x) {
    dragColumnTo(x, false);
    TGridMoveLine::Shared().hide();
    FMouse.State = gsNormal;
    const int from = FMouse.MoveOrigin;
    int to = FMouse.MoveTarget;
    if (to == from) return;
    // The column lands where the marker stood: before the target or after it.
    if (to > from && !FMouse.MoveAfter) --to;
    if (to < from && FMouse.MoveAfter) ++to;
    if (to != from) ColumnMoved(from, to);
}

// ---- tracking ---------------------------------------------------------------

void TCustomGrid::BeginTracking(int x, int y) {
    FMouse.State = gsTracking;
    FMouse.TrackPos = {x, y};
}

void TCustomGrid::trackTo(int x, int y) {
    FMouse.TrackPos = {x, y};
    const TRect area = DataArea();
    if (area.Right > area.Left && area.Bottom > area.Top) {
        const int col = FGeometry.ColumnAt(std::clamp(x, area.Left, area.Right - 1));
        const int row = FGeometry.RowAt(std::clamp(y, area.Top, area.Bottom - 1));
        if (col >= FGeometry.FixedCols() && row >= FGeometry.FixedRows()) TrackCell(col, row);
    }
    // The move may have ended the state (an error shown, the focus gone).
    if (FMouse.State == gsTracking) updateAutoScroll();
}

int TCustomGrid::overshoot(TPoint p, int& dx, int& dy) const {
    const TRect a = DataArea();
    const int ox = p.X < a.Left ? a.Left - p.X : p.X >= a.Right ? p.X - (a.Right - 1) : 0;
    const int oy = p.Y < a.Top ? a.Top - p.Y : p.Y >= a.Bottom ? p.Y - (a.Bottom - 1) : 0;
    dx = ox == 0 ? 0 : p.X < a.Left ? -1 : 1;
    dy = oy == 0 ? 0 : p.Y < a.Top ? -1 : 1;
    return std::max(ox, oy);
}

void TCustomGrid::updateAutoScroll() {
    int dx = 0;
    int dy = 0;
    const int d = overshoot(FMouse.TrackPos, dx, dy);
    if (d <= 0) {
        stopAutoScroll();
        return;
    }
    const int interval = tickInterval(d);
    if (interval == FMouse.AutoScrollInterval && FMouse.AutoScrollTimer.isActive()) return;
    FMouse.AutoScrollInterval = interval;
    FMouse.AutoScrollTimer.start(std::max(interval, kShortestTimerInterval), Widget());
}

void TCustomGrid::stopAutoScroll() {
    FMouse.AutoScrollTimer.stop();
    FMouse.AutoScrollInterval = -1;
}

void TCustomGrid::autoScrollTick() {
    int dx = 0;
    int dy = 0;
    const int d = FMouse.State == gsTracking ? overshoot(FMouse.TrackPos, dx, dy) : 0;
    if (d <= 0) {
        stopAutoScroll();
        return;
    }
    try {
        AutoScroll(dy * rowsPerTick(d), dx);
    } catch (...) {
        // The error is shown once, not at every tick.
        CancelMode();
        throw;
    }
    if (FMouse.State == gsTracking) updateAutoScroll();
}

void TCustomGrid::AutoScroll(int rows, int colStep) {
    if (colStep == 0) return;
    scrollColumnsTo(FGeometry.LeftColAfter(colStep < 0 ? TGridGeometry::saLineLeft
                                                       : TGridGeometry::saLineRight));
    int col = Col() + colStep;
    while (col >= FGeometry.FixedCols() && col < FGeometry.ColCount() &&
           FGeometry.ColWidth(col) <= 0)
        col += colStep;
    if (col >= FGeometry.FixedCols() && col < FGeometry.ColCount()) TrackCell(col, Row());
}

// ---- handing the mouse to the editor ----------------------------------------

bool TCustomGrid::HandPressToEditor(int x, int y, TShiftState shift) {
    if (!EditorShowing()) return false;
    const TPoint o = ClientOrigin();
    QWidget* editor = FInplaceEdit->Widget();
    QWidget* target = Widget()->childAt(QPoint(x + o.X, y + o.Y));
    // The editor itself, or its text, is no control of the strip.
    if (!target || target == editor || !editor->isAncestorOf(target) ||
        target == static_cast<QWidget*>(FInplaceEdit->LineEdit()))
        return false;
    // The control under the pointer takes the mouse: the grid no longer
    // tracks it.
    if (FMouse.State == gsTracking) {
        stopAutoScroll();
        FMouse.State = gsNormal;
    }
    FMouse.PressTarget = target;
    handOn(QEvent::MouseButtonPress, x, y, Qt::LeftButton, Qt::LeftButton, shift);
    return true;
}

void TCustomGrid::handOn(QEvent::Type type, int x, int y, Qt::MouseButton button,
                         Qt::MouseButtons buttons, TShiftState shift) {
    QWidget* target = FMouse.PressTarget;
    if (!target) return;
    const TPoint o = ClientOrigin();
    const QPoint local = target->mapFrom(Widget(), QPoint(x + o.X, y + o.Y));
    QMouseEvent event(type, local, target->mapToGlobal(local), button, buttons,
                      qtModifiers(shift));
    FMouse.HandingOn = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{FMouse.HandingOn};
    QApplication::sendEvent(target, &event);
}

bool TCustomGrid::OfferWheelToEditor(TShiftState shift, int wheelDelta, TPoint mousePos) {
    if (!EditorShowing() || FMouse.HandingOn) return false;
    QWidget* editor = FInplaceEdit->Widget();
    const TPoint o = ClientOrigin();
    const QPoint at(mousePos.X + o.X, mousePos.Y + o.Y);
    // A turn over the editor was the editor's first already.
    if (QWidget* under = Widget()->childAt(at); under == editor || editor->isAncestorOf(under))
        return false;
    const QPoint local = editor->mapFrom(Widget(), at);
    QWheelEvent event(local, editor->mapToGlobal(local), QPoint(), QPoint(0, wheelDelta),
                      QApplication::mouseButtons(), qtModifiers(shift), Qt::NoScrollPhase, false);
    // Taken unless the editor ignores it, as widgets that do not scroll do.
    FMouse.HandingOn = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{FMouse.HandingOn};
    QApplication::sendEvent(editor, &event);
    return event.isAccepted();
}
