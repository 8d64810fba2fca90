// TDBGrid: the layout. Fonts are measured, columns bound to their fields and
// sizes computed here, and only when the layout is recomputed; resizing
// recomputes the visible rows and the scroll bars.

#include "grid/TDBGrid.h"

#include "data/TDataSet.h"
#include "grid/TGridDataLink.h"

#include <QApplication>
#include <QScrollBar>
#include <QStyle>

#include <algorithm>

namespace {

// The text every row height is measured with.
const QString kMeasureText = QStringLiteral("Wg");

constexpr int kIndicatorWidth = 11;

} // namespace

int TDBGrid::SystemScrollBarWidth() {
    return QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent);
}

int TDBGrid::borderWidth() const {
    return FBorderStyle == bsSingle ? 2 : 0;
}

TRect TDBGrid::ClientRect() const {
    const int border = borderWidth();
    const int bar = SystemScrollBarWidth();
    const int width = Width() - 2 * border - (FVertScrollBar->isHidden() ? 0 : bar);
    const int height = Height() - 2 * border - (FHorzScrollBar->isHidden() ? 0 : bar);
    return Rect(0, 0, std::max(0, width), std::max(0, height));
}

TPoint TDBGrid::ClientOrigin() const {
    return {borderWidth(), borderWidth()};
}

void TDBGrid::computeLayout() {
    FGridOptions = GridOptionsOf(FOptionSets);
    // The current column is kept as a column, whatever comes before it.
    const int selected = FCol - FIndicatorOffset;
    FIndicatorOffset = FOptionSets.Has(dgIndicator) ? 1 : 0;
    FTitleOffset = FOptionSets.Has(dgTitles) ? 1 : 0;
    const bool vertLines =
        FGridOptions.contains(goVertLine) || FGridOptions.contains(goFixedVertLine);
    const bool horzLines =
        FGridOptions.contains(goHorzLine) || FGridOptions.contains(goFixedHorzLine);
    FGeometry.SetLineWidths(vertLines ? 1 : 0, horzLines ? 1 : 0);

    bindColumns();
    measureFonts();

    FGeometry.SetColCount(FIndicatorOffset + FColumns->Count());
    FGeometry.SetFixedCols(FIndicatorOffset);
    if (FIndicatorOffset > 0) FGeometry.SetColWidth(0, kIndicatorWidth);
    for (int i = 0; i < FColumns->Count(); ++i) {
        const TDBGridColumn* column = FColumns->Items(i);
        FGeometry.SetColWidth(i + FIndicatorOffset, column->Visible() ? column->Width() : 0);
    }
    FCol = FColumns->Count() == 0 ? FIndicatorOffset
                                  : std::clamp(selected + FIndicatorOffset, FIndicatorOffset,
                                               FGeometry.ColCount() - 1);
    FShownFont = Font();

    updateRowCount();
    FShownCurrentRow = Row();
    invalidateGrid();
}

void TDBGrid::bindColumns() {
    TDataSet* dataSet = FDataLink->DataSet();
    // Fields a dataset made for itself at its open are freed when it closes,
    // after the links are told: a closed dataset lends only persistent ones.
    const bool lookUp = dataSet && (FDataLink->Active() || !dataSet->DefaultFields());
    for (int i = 0; i < FColumns->Count(); ++i) {
        TDBGridColumn* column = FColumns->Items(i);
        TField* field = nullptr;
        if (lookUp && !column->FieldName().empty()) field = dataSet->FindField(column->FieldName());
        column->bindField(field);
    }
}

void TDBGrid::measureFonts() {
    const QFontMetrics gridMetrics(ToQFont(Font()));
    const int rowLine = FOptionSets.Has(dgRowLines) ? FGeometry.HorzLineWidth() : 0;
    FGeometry.SetDefaultRowHeight(gridMetrics.height() + (FFlat ? 1 : 3) + rowLine);

    const int titleExtra = FFlat ? 2 : 4;
    int titleHeight = 0;
    FColumnFonts.clear();
    FColumnFonts.reserve(FColumns->Count());
    for (int i = 0; i < FColumns->Count(); ++i) {
        const TDBGridColumn* column = FColumns->Items(i);
        QFont cell = ToQFont(column->Font());
        QFont title = ToQFont(column->Title().Font());
        const QFontMetrics titleMetrics(title);
        titleHeight = std::max(titleHeight, titleMetrics.height() + titleExtra);
        FColumnFonts.push_back(TColumnFonts{cell, QFontMetrics(cell), title, titleMetrics});
    }
    if (FColumns->Count() == 0)
        titleHeight = QFontMetrics(ToQFont(FTitleFont)).height() + titleExtra;
    FGeometry.SetFixedRowHeight(titleHeight);
}

bool TDBGrid::vertScrollBarWanted() const {
    if (!FDataLink->Active()) return false;
    // The page covers the whole range while the dataset holds one record or
    // none.
    return FDataLink->DataSet()->RecordCount() > 1;
}

void TDBGrid::updateRowCount() {
    if (FLayoutLock > 0) return;
    // The scroll bars decide the client area, which decides the rows that
    // fit: the vertical bar by the records, the horizontal one by whether
    // the columns fit beside it.
    FVertScrollBar->setVisible(vertScrollBarWanted());
    const int clientWidth = ClientRect().Width();
    FGeometry.SetLeftCol(std::min(FGeometry.LeftCol(), FGeometry.MaxLeftCol(clientWidth)));
    FHorzScrollBar->setVisible(!FGeometry.ColumnsFit(clientWidth));

    FVisibleRowCount = FGeometry.VisibleDataRows(ClientRect().Height());
    FDataLink->SetBufferCount(FVisibleRowCount);
    const int records = FDataLink->Active() ? FDataLink->RecordCount() : 0;
    FGeometry.SetRowCount(FTitleOffset + std::max(1, records));
    FGeometry.SetFixedRows(FTitleOffset);
    updateScrollBars();
    placeScrollBars();
}

void TDBGrid::updateScrollBars() {
    if (!FVertScrollBar->isHidden()) {
        const TDataSet* dataSet = FDataLink->DataSet();
        const QSignalBlocker block(FVertScrollBar);
        FVertScrollBar->setRange(1, std::max(1, dataSet->RecordCount()));
        FVertScrollBar->setPageStep(FVisibleRowCount);
        FVertScrollBar->setSingleStep(1);
        // While inserting, the new record has no number: the bar stays.
        if (dataSet->State() != dsInsert) FVertScrollBar->setValue(std::max(1, dataSet->RecNo()));
    }
    if (!FHorzScrollBar->isHidden()) {
        const QSignalBlocker block(FHorzScrollBar);
        const int fixed = FGeometry.FixedCols();
        const int maxLeft = FGeometry.MaxLeftCol(ClientRect().Width());
        FHorzScrollBar->setRange(0, 127);
        FHorzScrollBar->setSingleStep(1);
        FHorzScrollBar->setPageStep(1);
        FHorzScrollBar->setValue(
            maxLeft > fixed ? (FGeometry.LeftCol() - fixed) * 127 / (maxLeft - fixed) : 0);
    }
}

void TDBGrid::placeScrollBars() {
    const int border = borderWidth();
    const int bar = SystemScrollBarWidth();
    const bool vert = !FVertScrollBar->isHidden();
    const bool horz = !FHorzScrollBar->isHidden();
    const int height = Height() - 2 * border - (horz ? bar : 0);
    const int width = Width() - 2 * border - (vert ? bar : 0);
    FVertScrollBar->setGeometry(Width() - border - bar, border, bar, std::max(0, height));
    FHorzScrollBar->setGeometry(border, Height() - border - bar, std::max(0, width), bar);
}

void TDBGrid::ChangeScale(int M, int D) {
    if (M == D || D == 0) return;
    BeginLayout();
    // A title font that follows the parent's is scaled with it.
    if (!ParentFont()) FTitleFont.SetSize(MulDiv(FTitleFont.Size(), M, D));
    for (int i = 0; i < FColumns->Count(); ++i) {
        TDBGridColumn* column = FColumns->Items(i);
        if (column->WidthStored()) column->SetWidth(MulDiv(column->Width(), M, D));
    }
    TCustomControl::ChangeScale(M, D);
    EndLayout();
}

void TDBGrid::boundsChanged(bool resized) {
    TCustomControl::boundsChanged(resized);
    if (!resized) return;
    updateRowCount();
    invalidateGrid();
}
