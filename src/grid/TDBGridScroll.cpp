// TDBGrid: repainting parts of the grid, moving the painted rows when the
// dataset scrolls, and the scroll bars' actions.

#include "grid/TDBGrid.h"

#include "data/TDataSet.h"
#include "grid/TGridDataLink.h"
#include "platform/Dialogs.h"

#include <QScrollBar>
#include <QWidget>

#include <algorithm>
#include <cstdlib>

QRegion TDBGrid::rowRegion(int row) const {
    if (row < 0 || row >= RowCount()) return {};
    const TPoint origin = ClientOrigin();
    const TRect client = ClientRect();
    const int top = FGeometry.RowTop(row);
    const int height = FGeometry.RowHeight(row) + FGeometry.HorzLineWidth();
    return QRegion(QRect(origin.X, origin.Y + top, client.Width(), height))
        .intersected(QRect(origin.X, origin.Y, client.Width(), client.Height()));
}

QRegion TDBGrid::cellRegion(int col, int row) const {
    const TRect cell = FGeometry.CellRect(col, row);
    if (cell.Width() <= 0) return {};
    const TPoint origin = ClientOrigin();
    const TRect client = ClientRect();
    return QRegion(QRect(origin.X + cell.Left, origin.Y + cell.Top,
                         cell.Width() + FGeometry.VertLineWidth(),
                         cell.Height() + FGeometry.HorzLineWidth()))
        .intersected(QRect(origin.X, origin.Y, client.Width(), client.Height()));
}

void TDBGrid::invalidateCell(int col, int row) {
    Widget()->update(cellRegion(col, row));
}

void TDBGrid::invalidateRow(int row) {
    Widget()->update(rowRegion(row));
}

void TDBGrid::invalidateGrid() {
    Widget()->update();
}

void TDBGrid::paintNow(const QRegion& region) {
    if (region.isEmpty()) return;
    if (Widget()->isVisible())
        Widget()->repaint(region);
    else
        Widget()->update(region);
}

QRegion TDBGrid::scrollDataRows(int distance) {
    if (distance == 0) return {};
    const TPoint origin = ClientOrigin();
    const TRect client = ClientRect();
    const int pitch = FGeometry.RowPitch();
    const int top = FGeometry.RowTop(FTitleOffset);
    const int height = std::min(FVisibleRowCount * pitch, client.Height() - top);
    if (height <= 0) return {};
    const QRect rows(origin.X, origin.Y + top, client.Width(), height);
    Widget()->scroll(0, -distance * pitch, rows);
    // The rows the scroll uncovered: at the bottom going down, at the top
    // going up.
    const int uncovered = std::min(height, std::abs(distance) * pitch);
    if (distance > 0)
        return QRegion(QRect(rows.left(), rows.bottom() + 1 - uncovered, rows.width(), uncovered));
    return QRegion(QRect(rows.left(), rows.top(), rows.width(), uncovered));
}

void TDBGrid::scrollBarAction(QScrollBar* bar, int action) {
    HandleExceptions([&] {
        if (CanFocus() && !Focused()) SetFocus();
        if (bar == FVertScrollBar) {
            TDataSet* dataSet = FDataLink->DataSet();
            if (!FDataLink->Active()) return;
            switch (action) {
            case QAbstractSlider::SliderSingleStepSub:
                // The record above the first visible row becomes current.
                FDataLink->MoveBy(-(FDataLink->ActiveRecord() + 1));
                break;
            case QAbstractSlider::SliderSingleStepAdd:
                // The record below the last visible row becomes current.
                FDataLink->MoveBy(FDataLink->RecordCount() - FDataLink->ActiveRecord());
                break;
            case QAbstractSlider::SliderPageStepSub:
                FDataLink->MoveBy(-FVisibleRowCount);
                break;
            case QAbstractSlider::SliderPageStepAdd:
                FDataLink->MoveBy(FVisibleRowCount);
                break;
            case QAbstractSlider::SliderToMinimum:
                dataSet->First();
                break;
            case QAbstractSlider::SliderToMaximum:
                dataSet->Last();
                break;
            case QAbstractSlider::SliderMove:
                FDataLink->MoveBy(bar->sliderPosition() - dataSet->RecNo());
                break;
            default:
                break;
            }
            if (FDataLink->Active() && dataSet->State() != dsInsert)
                bar->setSliderPosition(std::max(1, dataSet->RecNo()));
            return;
        }
        const int fixed = FGeometry.FixedCols();
        const int maxLeft = FGeometry.MaxLeftCol(ClientRect().Width());
        int left = FGeometry.LeftCol();
        const int shown = std::max(1, FGeometry.LastVisibleCol(ClientRect().Width()) - left);
        switch (action) {
        case QAbstractSlider::SliderSingleStepSub:
            --left;
            break;
        case QAbstractSlider::SliderSingleStepAdd:
            ++left;
            break;
        case QAbstractSlider::SliderPageStepSub:
            left -= shown;
            break;
        case QAbstractSlider::SliderPageStepAdd:
            left += shown;
            break;
        case QAbstractSlider::SliderToMinimum:
            left = fixed;
            break;
        case QAbstractSlider::SliderToMaximum:
            left = maxLeft;
            break;
        case QAbstractSlider::SliderMove:
            left = fixed + (bar->sliderPosition() * (maxLeft - fixed) + 63) / 127;
            break;
        default:
            break;
        }
        // Hidden columns are never the first one shown.
        left = std::clamp(left, fixed, maxLeft);
        while (left < maxLeft && FGeometry.ColWidth(left) <= 0)
            ++left;
        if (left != FGeometry.LeftCol()) {
            FGeometry.SetLeftCol(left);
            invalidateGrid();
        }
        bar->setSliderPosition(maxLeft > fixed ? (left - fixed) * 127 / (maxLeft - fixed) : 0);
    });
}
