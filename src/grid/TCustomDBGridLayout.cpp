// TCustomDBGrid: the layout. Fonts are measured, columns bound to their
// fields and sizes computed here, and only when the layout is recomputed;
// resizing recomputes the visible rows and the scroll bars (the vertical one
// in TCustomDBGridScroll.cpp); a column's width or place changes only the
// geometry.

#include "grid/TCustomDBGrid.h"

#include "data/TDataSet.h"
#include "grid/TGridDataLink.h"
#include "platform/widgets/TForm.h"

#include <algorithm>

namespace {

constexpr int kIndicatorWidth = 11;

} // namespace

bool TCustomDBGrid::layoutDeferred() const {
    // While the form that owns the grid is being read, its settings arrive
    // one by one: the layout waits for Loaded.
    const auto* form = dynamic_cast<const TForm*>(Owner());
    return form && form->Loading();
}

void TCustomDBGrid::computeLayout() {
    ++FLayoutCount;
    SetGridOptions(GridOptionsOf(FOptionSets));
    TGridGeometry& g = geometry();
    // The current column is kept as a column, whatever comes before it.
    const int selected = Col() - FIndicatorOffset;
    FIndicatorOffset = FOptionSets.Has(dgIndicator) ? 1 : 0;
    FTitleOffset = FOptionSets.Has(dgTitles) ? 1 : 0;
    const bool vertLines =
        GridOptions().contains(goVertLine) || GridOptions().contains(goFixedVertLine);
    const bool horzLines =
        GridOptions().contains(goHorzLine) || GridOptions().contains(goFixedHorzLine);
    g.SetLineWidths(vertLines ? 1 : 0, horzLines ? 1 : 0);

    bindColumns();
    measureFonts();

    g.SetColCount(FIndicatorOffset + FColumns->Count());
    g.SetFixedCols(FIndicatorOffset);
    if (FIndicatorOffset > 0) g.SetColWidth(0, kIndicatorWidth);
    for (int i = 0; i < FColumns->Count(); ++i) {
        const TDBGridColumn* column = FColumns->Items(i);
        g.SetColWidth(i + FIndicatorOffset, column->Visible() ? column->Width() : 0);
    }
    g.SetCol(FColumns->Count() == 0 ? FIndicatorOffset : selected + FIndicatorOffset);
    FShownFont = Font();

    updateRowCount();
    FShownCurrentRow = Row();
    UpdateEditorPlace();
    invalidateGrid();
}

void TCustomDBGrid::bindColumns() {
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

void TCustomDBGrid::measureFonts() {
    TGridGeometry& g = geometry();
    const QFontMetrics gridMetrics(ToQFont(Font()));
    const int rowLine = FOptionSets.Has(dgRowLines) ? g.HorzLineWidth() : 0;
    const int lines = std::max(1, FRowLines);
    const int rowHeight =
        FRowHeight > 0 ? FRowHeight : gridMetrics.height() * lines + (FFlat ? 1 : 3) + rowLine;
    g.SetDefaultRowHeight(rowHeight);

    const int titleExtra = FFlat ? 2 : 4;
    const int titleLines = std::max(1, FTitleLines);
    int titleHeight = 0;
    FColumnFonts.clear();
    FColumnFonts.reserve(FColumns->Count());
    for (int i = 0; i < FColumns->Count(); ++i) {
        const TDBGridColumn* column = FColumns->Items(i);
        QFont cell = ToQFont(column->Font());
        QFont title = ToQFont(column->Title().Font());
        const QFontMetrics titleMetrics(title);
        titleHeight = std::max(titleHeight, titleMetrics.height() * titleLines + titleExtra);
        FColumnFonts.push_back(TColumnFonts{cell, QFontMetrics(cell), title, titleMetrics});
    }
    if (FColumns->Count() == 0)
        titleHeight = QFontMetrics(ToQFont(FTitleFont)).height() * titleLines + titleExtra;
    g.SetFixedRowHeight(FTitleHeight > 0 ? FTitleHeight : titleHeight);
}

void TCustomDBGrid::updateRowCount() {
    if (FLayoutLock > 0 || layoutDeferred()) return;
    TGridGeometry& g = geometry();
    UpdateClientArea();
    FDataLink->SetBufferCount(g.VisibleDataRows());
    const int records = FDataLink->Active() ? FDataLink->RecordCount() : 0;
    g.SetRowCount(FTitleOffset + std::max(1, records));
    g.SetFixedRows(FTitleOffset);
    UpdateVertScrollBar();
}

void TCustomDBGrid::columnWidthChanged(int index) {
    if (FLayoutLock > 0 || layoutDeferred()) return;
    TGridGeometry& g = geometry();
    const int col = index + FIndicatorOffset;
    if (col >= g.ColCount()) return LayoutChanged();
    const TDBGridColumn* column = FColumns->Items(index);
    g.SetColWidth(col, column->Visible() ? column->Width() : 0);
    UpdateClientArea();
    FDataLink->SetBufferCount(g.VisibleDataRows());
    g.MakeColVisible(Col());
    UpdateEditorPlace();
    invalidateGrid();
}

void TCustomDBGrid::columnMoved(int from, int to) {
    if (FLayoutLock > 0 || layoutDeferred() ||
        static_cast<int>(FColumnFonts.size()) != FColumns->Count())
        return LayoutChanged();
    TGridGeometry& g = geometry();
    // The current column stays the same column wherever it goes.
    const int selected = SelectedIndex();
    int newSelected = selected;
    if (selected == from)
        newSelected = to;
    else if (from < selected && to >= selected)
        --newSelected;
    else if (from > selected && to <= selected)
        ++newSelected;
    g.MoveColumn(from + FIndicatorOffset, to + FIndicatorOffset);
    auto fonts = std::move(FColumnFonts[static_cast<size_t>(from)]);
    FColumnFonts.erase(FColumnFonts.begin() + from);
    FColumnFonts.insert(FColumnFonts.begin() + to, std::move(fonts));
    g.SetCol(newSelected + FIndicatorOffset);
    UpdateClientArea();
    UpdateEditorPlace();
    invalidateGrid();
}

void TCustomDBGrid::ChangeScale(int M, int D) {
    if (M == D || D == 0) return;
    BeginLayout();
    // A title font that follows the parent's is scaled with it.
    if (!ParentFont()) FTitleFont.SetSize(MulDiv(FTitleFont.Size(), M, D));
    for (int i = 0; i < FColumns->Count(); ++i) {
        TDBGridColumn* column = FColumns->Items(i);
        if (column->WidthStored()) column->SetWidth(MulDiv(column->Width(), M, D));
    }
    TCustomGrid::ChangeScale(M, D);
    EndLayout();
}
