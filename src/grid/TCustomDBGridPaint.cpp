// TCustomDBGrid: painting one cell: titles, the indicator and data cells,
// and the incremental search's highlighted start of the current cell's text.

#include "grid/TCustomDBGrid.h"

#include "grid/GridSettings.h"
#include "grid/TGridDataLink.h"
#include "grid/TIndicatorImages.h"
#include "platform/widgets/Canvas3D.h"

#include <QPainter>
#include <QWidget>

#include <algorithm>

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

void TCustomDBGrid::DrawCell(QPainter& canvas, int col, int row, const TRect& rect,
                             TGridDrawState state) {
    const int index = col - FIndicatorOffset;
    if (index >= 0 && (index >= FColumns->Count() || index >= int(FColumnFonts.size()))) {
        // Columns changed inside BeginUpdate/EndUpdate and not laid out yet.
        FillRect(canvas, rect, Color());
        return;
    }
    switch (GetCellType(col, row)) {
    case ctIndicatorTitle:
        drawFixedCell(canvas, rect, FixedColor());
        break;
    case ctTitle:
        drawTitleCell(canvas, col, rect);
        break;
    case ctIndicator:
        drawIndicatorCell(canvas, row, rect);
        break;
    case ctData:
        drawDataCell(canvas, col, row, rect, PaintLook().Highlight && (state & gdCurrent));
        break;
    }
}

void TCustomDBGrid::drawFixedCell(QPainter& canvas, const TRect& rect, TColor color) const {
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

void TCustomDBGrid::drawTitleCell(QPainter& canvas, int col, const TRect& rect) {
    const int index = col - FIndicatorOffset;
    const TDBGridColumn* column = FColumns->Items(index);
    const TColumnTitle& title = column->Title();
    drawFixedCell(canvas, rect, title.Color());
    if (!FDefaultDrawing) return;
    const QString caption = QString::fromStdString(title.Caption());
    if (caption.isEmpty()) return;
    const TColumnFonts& fonts = FColumnFonts[index];
    const int x =
        CellTextLeft(title.Alignment(), rect, fonts.TitleMetrics.horizontalAdvance(caption));
    drawCellText(canvas, rect, x, CellTextTop(rect), caption, fonts.Title, fonts.TitleMetrics,
                 title.Font().Color());
}

void TCustomDBGrid::drawIndicatorCell(QPainter& canvas, int row, const TRect& rect) {
    drawFixedCell(canvas, rect, FixedColor());
    const int image = IndicatorImageOfRow(row);
    if (image < 0) return;
    // Centred in the rightmost 11 pixels, one pixel right of the centre.
    constexpr int zone = 11;
    const int x = rect.Right - zone + (zone - TIndicatorImages::Width) / 2 + 1;
    const int y = rect.Top + (rect.Height() - TIndicatorImages::Height) / 2;
    TIndicatorImages::Shared().Draw(canvas, x, y, image);
}

void TCustomDBGrid::drawDataCell(QPainter& canvas, int col, int row, const TRect& rect,
                                 bool highlight) {
    const int index = col - FIndicatorOffset;
    const TDBGridColumn* column = FColumns->Items(index);
    if (!FDataLink->Active()) {
        FillRect(canvas, rect, column->Color());
        return;
    }
    FillRect(canvas, rect, highlight ? clHighlight : column->Color());
    if (!FDefaultDrawing) return;
    const std::string cellText = CellText(col, row);
    const QString text = QString::fromStdString(cellText);
    if (text.isEmpty()) return;
    const TColumnFonts& fonts = FColumnFonts[index];
    const int x =
        CellTextLeft(column->Alignment(), rect, fonts.CellMetrics.horizontalAdvance(text));
    drawCellText(canvas, rect, x, CellTextTop(rect), text, fonts.Cell, fonts.CellMetrics,
                 highlight ? clHighlightText : column->Font().Color());
    if (FSearching && col == Col() && row == Row() && Widget()->hasFocus())
        drawSearchText(canvas, rect, x, fonts, cellText);
}

void TCustomDBGrid::drawSearchText(QPainter& canvas, const TRect& rect, int textLeft,
                                   const TColumnFonts& fonts, const std::string& cellText) {
    // The part of the cell's own text the search has found, so that the
    // letter case is the data's: as many characters as the search text has.
    const QString found =
        QString::fromStdString(cellText).left(QString::fromStdString(FSearchText).size());
    if (found.isEmpty()) return;
    const TDBGridSettings& settings = DBGridSettings();
    const int top = CellTextTop(rect);
    const int width = fonts.CellMetrics.horizontalAdvance(found);
    TRect back = Bounds(textLeft, top, width, fonts.CellMetrics.height());
    back.Left = std::max(back.Left, rect.Left);
    back.Right = std::min(back.Right, rect.Right);
    back.Bottom = std::min(back.Bottom, rect.Bottom);
    FillRect(canvas, back, settings.IncSearchBackColor);
    drawCellText(canvas, rect, textLeft, top, found, fonts.Cell, fonts.CellMetrics,
                 settings.IncSearchTextColor);
}
