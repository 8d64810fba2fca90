// TDBGrid: painting. The visible cells come from the geometry owner and are
// drawn one by one, fixed cells first; then the area beyond the cells, the
// grid lines and the focus rectangle.

#include "grid/TDBGrid.h"

#include "grid/TGridDataLink.h"
#include "grid/TIndicatorImages.h"
#include "platform/widgets/Canvas3D.h"

#include <QPainter>
#include <QPolygon>
#include <QScrollBar>

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

void TDBGrid::Paint(QPainter& canvas) {
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

    const TCurrentCellLook look = CurrentLook();
    const int lastCol = FGeometry.LastVisibleCol(client.Width());
    const int lastRow = FGeometry.LastVisibleRow(client.Height());
    // Fixed cells first, then the data area.
    for (int pass = 0; pass < 2; ++pass) {
        const bool fixedPass = pass == 0;
        for (int row = 0; row <= lastRow; ++row) {
            for (int col = 0; col <= lastCol; ++col) {
                const bool fixed = col < FIndicatorOffset || row < FTitleOffset;
                if (fixed != fixedPass) continue;
                const TRect rect = FGeometry.CellRect(col, row);
                if (rect.Width() <= 0 || !intersects(rect, area)) continue;
                drawCell(canvas, col, row, rect, look);
            }
        }
    }

    // Right of the last column and below the last row: the grid's colour.
    const int right = FGeometry.GridRight(client.Width());
    const int bottom = FGeometry.GridBottom(client.Height());
    FillRect(canvas, Rect(right, 0, client.Width(), client.Height()), Color());
    FillRect(canvas, Rect(0, bottom, right, client.Height()), Color());

    drawLines(canvas, client);
    if (look.FocusRect) {
        const TRect current = FGeometry.CellRect(FCol, Row());
        if (current.Width() > 0) drawFocusRect(canvas, current);
    }
    canvas.restore();
}

void TDBGrid::paintBorder(QPainter& canvas) const {
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

void TDBGrid::drawCell(QPainter& canvas, int col, int row, const TRect& rect,
                       const TCurrentCellLook& look) {
    const int index = col - FIndicatorOffset;
    if (index >= 0 && (index >= FColumns->Count() || index >= int(FColumnFonts.size()))) {
        // Columns changed inside BeginUpdate/EndUpdate and not laid out yet.
        FillRect(canvas, rect, Color());
        return;
    }
    switch (GetCellType(col, row)) {
    case ctIndicatorTitle:
        drawFixedCell(canvas, rect, FFixedColor);
        break;
    case ctTitle:
        drawTitleCell(canvas, col, rect);
        break;
    case ctIndicator:
        drawIndicatorCell(canvas, row, rect);
        break;
    case ctData:
        drawDataCell(canvas, col, row, rect, look.Highlight && col == FCol && row == Row());
        break;
    }
}

void TDBGrid::drawFixedCell(QPainter& canvas, const TRect& rect, TColor color) const {
    if (!FOptionSets.Has(dghFixed3D) || FFlat) {
        FillRect(canvas, rect, color);
        return;
    }
    TRect inner = rect;
    InflateRect(inner, -1, -1);
    FillRect(canvas, inner, color);
    TRect frame = rect;
    Frame3D(canvas, frame, clBtnHighlight, clBtnShadow, 1);
}

namespace {

// Draws one line of text with its top at y, clipped to the cell.
void drawCellText(QPainter& canvas, const TRect& cell, int x, int y, const QString& text,
                  const QFont& font, const QFontMetrics& metrics, TColor color) {
    const int width = metrics.horizontalAdvance(text);
    const bool fits = x >= cell.Left && x + width <= cell.Right && y >= cell.Top &&
                      y + metrics.height() <= cell.Bottom;
    if (!fits) {
        canvas.save();
        canvas.setClipRect(cell.Left, cell.Top, cell.Width(), cell.Height(), Qt::IntersectClip);
    }
    canvas.setFont(font);
    canvas.setPen(ToQColor(color));
    canvas.drawText(x, y + metrics.ascent(), text);
    if (!fits) canvas.restore();
}

} // namespace

void TDBGrid::drawTitleCell(QPainter& canvas, int col, const TRect& rect) {
    const int index = col - FIndicatorOffset;
    const TDBGridColumn* column = FColumns->Items(index);
    const TColumnTitle& title = column->Title();
    drawFixedCell(canvas, rect, title.Color());
    const QString caption = QString::fromStdString(title.Caption());
    if (caption.isEmpty()) return;
    const TColumnFonts& fonts = FColumnFonts[index];
    const int x =
        CellTextLeft(title.Alignment(), rect, fonts.TitleMetrics.horizontalAdvance(caption));
    drawCellText(canvas, rect, x, CellTextTop(rect), caption, fonts.Title, fonts.TitleMetrics,
                 title.Font().Color());
}

void TDBGrid::drawIndicatorCell(QPainter& canvas, int row, const TRect& rect) {
    drawFixedCell(canvas, rect, FFixedColor);
    const int image = IndicatorImageOfRow(row);
    if (image < 0) return;
    // Centred in the rightmost 11 pixels, one pixel right of the centre.
    constexpr int zone = 11;
    const int x = rect.Right - zone + (zone - TIndicatorImages::Width) / 2 + 1;
    const int y = rect.Top + (rect.Height() - TIndicatorImages::Height) / 2;
    TIndicatorImages::Shared().Draw(canvas, x, y, image);
}

void TDBGrid::drawDataCell(QPainter& canvas, int col, int row, const TRect& rect, bool highlight) {
    const int index = col - FIndicatorOffset;
    const TDBGridColumn* column = FColumns->Items(index);
    if (!FDataLink->Active()) {
        FillRect(canvas, rect, column->Color());
        return;
    }
    FillRect(canvas, rect, highlight ? clHighlight : column->Color());
    const QString text = QString::fromStdString(CellText(col, row));
    if (text.isEmpty()) return;
    const TColumnFonts& fonts = FColumnFonts[index];
    const int x =
        CellTextLeft(column->Alignment(), rect, fonts.CellMetrics.horizontalAdvance(text));
    drawCellText(canvas, rect, x, CellTextTop(rect), text, fonts.Cell, fonts.CellMetrics,
                 highlight ? clHighlightText : column->Font().Color());
}

void TDBGrid::drawLines(QPainter& canvas, const TRect& client) const {
    const int vline = FGeometry.VertLineWidth();
    const int hline = FGeometry.HorzLineWidth();
    const int lastCol = FGeometry.LastVisibleCol(client.Width());
    const int lastRow = FGeometry.LastVisibleRow(client.Height());
    if (lastCol < 0 || lastRow < 0) return;
    const int right = FGeometry.GridRight(client.Width());
    const int rowsBottom = FGeometry.GridBottom(client.Height());
    const int fixedWidth = FGeometry.FixedWidth();
    const int fixedHeight = FGeometry.FixedHeight();
    const int vertBottom = FGridOptions.contains(goExtendVertLines) ? client.Height() : rowsBottom;
    const TColor dataColor = DataLineColor(Color());

    // Data lines first: where a fixed line crosses one, the fixed line wins.
    if (vline > 0 && FGridOptions.contains(goVertLine)) {
        for (int col = FGeometry.LeftCol(); col <= lastCol; ++col) {
            const TRect cell = FGeometry.CellRect(col, 0);
            if (cell.Width() <= 0) continue;
            FillRect(canvas, Rect(cell.Right, fixedHeight, cell.Right + vline, vertBottom),
                     dataColor);
        }
    }
    if (hline > 0 && FGridOptions.contains(goHorzLine)) {
        for (int row = FTitleOffset; row <= lastRow; ++row) {
            const int y = FGeometry.RowTop(row) + FGeometry.RowHeight(row);
            FillRect(canvas, Rect(fixedWidth, y, right, y + hline), dataColor);
        }
    }
    // Lines bordering the title and indicator cells.
    if (vline > 0 && FGridOptions.contains(goFixedVertLine)) {
        for (int col = 0; col <= lastCol; ++col) {
            const TRect cell = FGeometry.CellRect(col, 0);
            if (cell.Width() <= 0) continue;
            const int bottom = col < FGeometry.FixedCols() ? vertBottom : fixedHeight;
            FillRect(canvas, Rect(cell.Right, 0, cell.Right + vline, bottom), FixedLineColor);
        }
    }
    if (hline > 0 && FGridOptions.contains(goFixedHorzLine)) {
        for (int row = 0; row < FTitleOffset; ++row) {
            const int y = FGeometry.RowTop(row) + FGeometry.RowHeight(row);
            FillRect(canvas, Rect(0, y, right, y + hline), FixedLineColor);
        }
        if (fixedWidth > 0) {
            for (int row = FTitleOffset; row <= lastRow; ++row) {
                const int y = FGeometry.RowTop(row) + FGeometry.RowHeight(row);
                FillRect(canvas, Rect(0, y, fixedWidth, y + hline), FixedLineColor);
            }
        }
    }
}

void TDBGrid::drawFocusRect(QPainter& canvas, const TRect& rect) const {
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
