// TCustomGrid: the client area and the scroll bars, repainting parts of the
// grid, and moving the painted rows when the data behind them scrolls.

#include "grid/TCustomGrid.h"

#include "platform/Dialogs.h"

#include <QWidget>

#include <algorithm>
#include <cstdlib>

void TCustomGrid::UpdateClientArea() {
    // The scroll bars decide the client area, which decides what fits: the
    // vertical bar by what the subclass shows, the horizontal one by whether
    // the columns fit beside it.
    const int border = borderWidth();
    const int bar = SystemScrollBarWidth();
    FVertScrollBar->setVisible(FVertScrollBar->Wanted(VertScrollWanted()));
    const int width = Width() - 2 * border - (FVertScrollBar->isHidden() ? 0 : bar);
    FGeometry.SetClientSize(width, FGeometry.ClientHeight());
    FHorzScrollBar->setVisible(FHorzScrollBar->Wanted(!FGeometry.ColumnsFit(width)));
    const int height = Height() - 2 * border - (FHorzScrollBar->isHidden() ? 0 : bar);
    FGeometry.SetClientSize(width, height);
    UpdateVertScrollBar();
    UpdateHorzScrollBar();
    placeScrollBars();
}

void TCustomGrid::UpdateHorzScrollBar() {
    if (FHorzScrollBar->isHidden()) return;
    const QSignalBlocker block(FHorzScrollBar);
    FHorzScrollBar->setRange(0, FGeometry.ColumnsFit() ? 0 : TGridGeometry::HorzScrollRange);
    FHorzScrollBar->setSingleStep(1);
    FHorzScrollBar->setPageStep(1);
    FHorzScrollBar->setValue(FGeometry.HorzScrollPosition());
}

void TCustomGrid::placeScrollBars() {
    const int border = borderWidth();
    const int bar = SystemScrollBarWidth();
    const bool vert = !FVertScrollBar->isHidden();
    const bool horz = !FHorzScrollBar->isHidden();
    const int height = Height() - 2 * border - (horz ? bar : 0);
    const int width = Width() - 2 * border - (vert ? bar : 0);
    FVertScrollBar->setGeometry(Width() - border - bar, border, bar, std::max(0, height));
    FHorzScrollBar->setGeometry(border, Height() - border - bar, std::max(0, width), bar);
}

// A scroll bar's actions become the scroll messages of the grid: dragging
// the thumb is thumb tracking (Qt reports the drag only while the bar tracks),
// a position set any other way the thumb position.
void TCustomGrid::scrollBarAction(QScrollBar* bar, int action) {
    switch (action) {
    case QAbstractSlider::SliderSingleStepSub:
        return scrollMessage(bar, SB_LINEUP, 0);
    case QAbstractSlider::SliderSingleStepAdd:
        return scrollMessage(bar, SB_LINEDOWN, 0);
    case QAbstractSlider::SliderPageStepSub:
        return scrollMessage(bar, SB_PAGEUP, 0);
    case QAbstractSlider::SliderPageStepAdd:
        return scrollMessage(bar, SB_PAGEDOWN, 0);
    case QAbstractSlider::SliderToMinimum:
        return scrollMessage(bar, SB_TOP, 0);
    case QAbstractSlider::SliderToMaximum:
        return scrollMessage(bar, SB_BOTTOM, 0);
    case QAbstractSlider::SliderMove:
        return scrollMessage(bar, bar->isSliderDown() ? SB_THUMBTRACK : SB_THUMBPOSITION,
                             bar->sliderPosition());
    default:
        return;
    }
}

void TCustomGrid::scrollMessage(QScrollBar* bar, unsigned code, int pos) {
    HandleExceptions(
        [&] { Perform(bar == FVertScrollBar ? WM_VSCROLL : WM_HSCROLL, code, pos); });
}

void TCustomGrid::HorzScrollMessage(unsigned code, int pos) {
    TGridGeometry::TScrollAction what;
    switch (code) {
    case SB_LINELEFT:
        what = TGridGeometry::saLineLeft;
        break;
    case SB_LINERIGHT:
        what = TGridGeometry::saLineRight;
        break;
    case SB_PAGELEFT:
        what = TGridGeometry::saPageLeft;
        break;
    case SB_PAGERIGHT:
        what = TGridGeometry::saPageRight;
        break;
    case SB_LEFT:
        what = TGridGeometry::saFirst;
        break;
    case SB_RIGHT:
        what = TGridGeometry::saLast;
        break;
    case SB_THUMBTRACK:
        if (!FHorzScrollBar->Tracking()) return;
        what = TGridGeometry::saThumb;
        break;
    case SB_THUMBPOSITION:
        what = TGridGeometry::saThumb;
        break;
    default:
        return;
    }
    scrollColumnsTo(FGeometry.LeftColAfter(what, pos));
}

// Scrolling shows other columns; the current column stays what it was.
void TCustomGrid::scrollColumnsTo(int leftCol) {
    if (leftCol != FGeometry.LeftCol()) {
        FGeometry.SetLeftCol(leftCol);
        // The current cell may have gone out of view, or come back.
        UpdateEditorPlace();
        invalidateGrid();
    }
    UpdateHorzScrollBar();
}

// ---- repainting parts ---------------------------------------------------------

QRegion TCustomGrid::rowRegion(int row) const {
    if (row < 0 || row >= RowCount()) return {};
    const TPoint origin = ClientOrigin();
    const int top = FGeometry.RowTop(row);
    const int height = FGeometry.RowHeight(row) + FGeometry.HorzLineWidth();
    return QRegion(QRect(origin.X, origin.Y + top, FGeometry.ClientWidth(), height))
        .intersected(QRect(origin.X, origin.Y, FGeometry.ClientWidth(), FGeometry.ClientHeight()));
}

QRegion TCustomGrid::cellRegion(int col, int row) const {
    const TRect cell = FGeometry.CellRect(col, row);
    if (cell.Width() <= 0) return {};
    const TPoint origin = ClientOrigin();
    return QRegion(QRect(origin.X + cell.Left, origin.Y + cell.Top,
                         cell.Width() + FGeometry.VertLineWidth(),
                         cell.Height() + FGeometry.HorzLineWidth()))
        .intersected(QRect(origin.X, origin.Y, FGeometry.ClientWidth(), FGeometry.ClientHeight()));
}

void TCustomGrid::invalidateCell(int col, int row) {
    Widget()->update(cellRegion(col, row));
}

void TCustomGrid::invalidateRow(int row) {
    Widget()->update(rowRegion(row));
}

void TCustomGrid::invalidateGrid() {
    Widget()->update();
}

void TCustomGrid::paintNow(const QRegion& region) {
    if (region.isEmpty()) return;
    if (Widget()->isVisible())
        Widget()->repaint(region);
    else
        Widget()->update(region);
}

QRegion TCustomGrid::scrollDataRows(int distance) {
    if (distance == 0) return {};
    const TPoint origin = ClientOrigin();
    const int pitch = FGeometry.RowPitch();
    const int top = FGeometry.RowTop(FGeometry.FixedRows());
    const int height =
        std::min(FGeometry.VisibleDataRows() * pitch, FGeometry.ClientHeight() - top);
    if (height <= 0) return {};
    const QRect rows(origin.X, origin.Y + top, FGeometry.ClientWidth(), height);
    // A window scroll moves pixels, not the child widgets over them: an open
    // editor goes first.
    HideEditor();
    Widget()->scroll(0, -distance * pitch, rows);
    // The rows the scroll uncovered: at the bottom going down, at the top
    // going up.
    const int uncovered = std::min(height, std::abs(distance) * pitch);
    if (distance > 0)
        return QRegion(QRect(rows.left(), rows.bottom() + 1 - uncovered, rows.width(), uncovered));
    return QRegion(QRect(rows.left(), rows.top(), rows.width(), uncovered));
}
