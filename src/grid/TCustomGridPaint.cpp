// TCustomGrid: painting. The visible cells come from the geometry and are
// drawn one by one through DrawCell, fixed cells first; then the area beyond
// the cells, the grid lines and the focus rectangle.

#include "grid/TCustomGrid.h"

#include "grid/TInplaceEdit.h"
#include "platform/widgets/Canvas3D.h"
#include "platform/widgets/TForm.h"

#include <QPainter>
#include <QPolygon>
#include <QWidget>

#include <algorithm>

namespace {

bool intersects(const TRect& a, const TRect& b) {
    return a.Left < b.Right && b.Left < a.Right && a.Top < b.Bottom && b.Top < a.Bottom;
}

TRect intersection(const TRect& a, const TRect& b) {
    return Rect(std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
                std::min(a.Bottom, b.Bottom));
}

} // namespace

TGridDrawState TCustomGrid::CellState(int col, int row) const {
    const bool fixed = col < FGeometry.FixedCols() || row < FGeometry.FixedRows();
    return CellDrawState(fixed, col == Col() && row == Row(), IsActiveControl());
}

TCurrentCellLook TCustomGrid::CurrentLook() const {
    const TForm* form = ParentForm();
    const bool activeControl = form && form->ActiveControl() == this;
    return CurrentCellLook(Widget()->hasFocus(), activeControl, EditorShowing(), false, false);
}

void TCustomGrid::Paint(QPainter& canvas) {
    if (PaintSuspended()) {
        FPaintRect = {};
        return;
    }
    paintBorder(canvas);
    const TPoint origin = ClientOrigin();
    const TRect client = ClientRect();
    TRect area = FPaintRect.Width() > 0 ? FPaintRect : Rect(0, 0, Width(), Height());
    area = intersection(Rect(area.Left - origin.X, area.Top - origin.Y, area.Right - origin.X,
                             area.Bottom - origin.Y),
                        client);
    FPaintRect = {};
    if (area.Width() <= 0 || area.Height() <= 0) return;

    canvas.save();
    canvas.translate(origin.X, origin.Y);
    canvas.setClipRect(0, 0, client.Width(), client.Height());

    FPaintLook = CurrentLook();
    const int lastCol = FGeometry.LastVisibleCol();
    const int lastRow = FGeometry.LastVisibleRow();
    for (int pass = 0; pass < 2; ++pass) {
        const bool fixedPass = pass == 0;
        for (int row = 0; row <= lastRow; ++row) {
            for (int col = 0; col <= lastCol; ++col) {
                const bool fixed = col < FGeometry.FixedCols() || row < FGeometry.FixedRows();
                if (fixed != fixedPass) continue;
                const TRect rect = FGeometry.CellRect(col, row);
                if (rect.Width() <= 0 || !intersects(rect, area)) continue;
                DrawCell(canvas, col, row, rect, CellState(col, row));
            }
        }
    }

    // Right of the last column and below the last row: the grid's colour.
    const int right = FGeometry.GridRight();
    const int bottom = FGeometry.GridBottom();
    FillRect(canvas, Rect(right, 0, client.Width(), client.Height()), Color());
    FillRect(canvas, Rect(0, bottom, right, client.Height()), Color());

    drawLines(canvas);
    if (FPaintLook.FocusRect) {
        const TRect current = FGeometry.CellRect(Col(), Row());
        if (current.Width() > 0) drawFocusRect(canvas, current);
    }
    drawSizingLine(canvas);
    canvas.restore();
}

void TCustomGrid::paintBorder(QPainter& canvas) const {
    if (FBorderStyle == bsSingle) {
        // The sunken client edge.
        TRect r = Rect(0, 0, Width(), Height());
        Frame3D(canvas, r, clBtnShadow, clBtnHighlight, 1);
        Frame3D(canvas, r, cl3DDkShadow, cl3DLight, 1);
    }
    if (!FVertScrollBar->isHidden() && !FHorzScrollBar->isHidden()) {
        const int border = borderWidth();
        const int bar = SystemScrollBarWidth();
        FillRect(canvas,
                 Rect(Width() - border - bar, Height() - border - bar, Width() - border,
                      Height() - border),
                 clBtnFace);
    }
}

void TCustomGrid::drawLines(QPainter& canvas) const {
    const TGridGeometry& g = FGeometry;
    const int vline = g.VertLineWidth();
    const int hline = g.HorzLineWidth();
    const int lastCol = g.LastVisibleCol();
    const int lastRow = g.LastVisibleRow();
    if (lastCol < 0 || lastRow < 0) return;
    const int clientHeight = g.ClientHeight();
    const int right = g.GridRight();
    const int rowsBottom = g.GridBottom();
    const int fixedWidth = g.FixedWidth();
    const int fixedHeight = g.FixedHeight();
    const int vertBottom = FGridOptions.contains(goExtendVertLines) ? clientHeight : rowsBottom;
    const TColor dataColor = DataLineColor(Color());

    // Data lines first: where a fixed line crosses one, the fixed line wins.
    if (vline > 0 && FGridOptions.contains(goVertLine)) {
        for (int col = g.LeftCol(); col <= lastCol; ++col) {
            const TRect cell = g.CellRect(col, 0);
            if (cell.Width() <= 0) continue;
            FillRect(canvas, Rect(cell.Right, fixedHeight, cell.Right + vline, vertBottom),
                     dataColor);
        }
    }
    if (hline > 0 && FGridOptions.contains(goHorzLine)) {
        for (int row = g.FixedRows(); row <= lastRow; ++row) {
            const int y = g.RowTop(row) + g.RowHeight(row);
            FillRect(canvas, Rect(fixedWidth, y, right, y + hline), dataColor);
        }
    }
    // Lines bordering the title and indicator cells.
    if (vline > 0 && FGridOptions.contains(goFixedVertLine)) {
        for (int col = 0; col <= lastCol; ++col) {
            const TRect cell = g.CellRect(col, 0);
            if (cell.Width() <= 0) continue;
            const int bottom = col < g.FixedCols() ? vertBottom : fixedHeight;
            FillRect(canvas, Rect(cell.Right, 0, cell.Right + vline, bottom), FixedLineColor);
        }
    }
    if (hline > 0 && FGridOptions.contains(goFixedHorzLine)) {
        for (int row = 0; row < g.FixedRows(); ++row) {
            const int y = g.RowTop(row) + g.RowHeight(row);
            FillRect(canvas, Rect(0, y, right, y + hline), FixedLineColor);
        }
        if (fixedWidth > 0) {
            for (int row = g.FixedRows(); row <= lastRow; ++row) {
                const int y = g.RowTop(row) + g.RowHeight(row);
                FillRect(canvas, Rect(0, y, fixedWidth, y + hline), FixedLineColor);
            }
        }
    }
}

void TCustomGrid::drawFocusRect(QPainter& canvas, const TRect& rect) const {
    // Every other pixel of the rectangle's edge, inverted.
    QPolygon dots;
    for (int x = rect.Left; x < rect.Right; ++x) {
        if ((x - rect.Left) % 2 == 0) dots << QPoint(x, rect.Top);
        if ((x - rect.Left + rect.Height() - 1) % 2 == 0) dots << QPoint(x, rect.Bottom - 1);
    }
    for (int y = rect.Top + 1; y < rect.Bottom - 1; ++y) {
        if ((y - rect.Top) % 2 == 0) dots << QPoint(rect.Left, y);
        if ((y - rect.Top + rect.Width() - 1) % 2 == 0) dots << QPoint(rect.Right - 1, y);
    }
    canvas.save();
    canvas.setRenderHint(QPainter::Antialiasing, false);
    canvas.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    canvas.setPen(QPen(Qt::white, 0));
    canvas.drawPoints(dots);
    canvas.restore();
}
