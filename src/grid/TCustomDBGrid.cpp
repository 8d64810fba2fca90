// TCustomDBGrid: construction, settings, the current cell, the cell rules as
// this grid applies them, and how the grid follows its data link.

#include "grid/TCustomDBGrid.h"

#include "data/TDataSet.h"
#include "data/TDataSource.h"
#include "data/TField.h"
#include "grid/TDBGridCenter.h"
#include "grid/TDBGridInplaceEdit.h"
#include "grid/TGridDataLink.h"
#include "platform/widgets/TForm.h"

#include <QTimerEvent>
#include <QWidget>

#include <algorithm>
#include <cstdlib>

TCustomDBGrid::TCustomDBGrid(TComponent* owner)
    : TCustomGrid(owner), FDataLink(std::make_unique<TGridDataLink>(*this)),
      FColumns(std::make_unique<TDBGridColumns>(*this)) {
    BeginLayout();
    SetColor(clWindow);
    SetBounds(0, 0, 320, 120);
    EndLayout();
}

TCustomDBGrid::~TCustomDBGrid() {
    // The link goes first, while the grid it reports to is whole.
    FDataLink.reset();
}

// ---- settings ---------------------------------------------------------------

TDataSource* TCustomDBGrid::DataSource() const {
    return FDataLink->DataSource();
}

void TCustomDBGrid::SetDataSource(TDataSource* value) {
    if (value == DataSource()) return;
    // Attaching to an open dataset reports the link active, which asks for
    // a layout too: one is made.
    BeginLayout();
    FDataLink->SetDataSource(value);
    EndLayout();
}

void TCustomDBGrid::SetOptions(TDBGridOptions value) {
    FOptionSets.SetOptions(std::move(value));
    LayoutChanged();
}

void TCustomDBGrid::SetOptionsEx(TDBGridOptionsEx value) {
    FOptionSets.SetOptionsEx(std::move(value));
    LayoutChanged();
}

void TCustomDBGrid::SetIndicatorOptions(TIndicatorOptions value) {
    FOptionSets.SetIndicatorOptions(std::move(value));
    LayoutChanged();
}

void TCustomDBGrid::SetFlat(bool value) {
    if (value == FFlat) return;
    FFlat = value;
    LayoutChanged();
}

void TCustomDBGrid::SetTitleFont(const TFont& value) {
    FTitleFont = value;
    LayoutChanged();
}

void TCustomDBGrid::SetDefaultDrawing(bool value) {
    FDefaultDrawing = value;
    invalidateGrid();
}

void TCustomDBGrid::SetRowHeight(int value) {
    FRowHeight = std::max(0, value);
    LayoutChanged();
}

void TCustomDBGrid::SetRowLines(int value) {
    FRowLines = std::max(0, value);
    LayoutChanged();
}

void TCustomDBGrid::SetTitleHeight(int value) {
    FTitleHeight = std::max(0, value);
    LayoutChanged();
}

void TCustomDBGrid::SetTitleLines(int value) {
    FTitleLines = std::max(0, value);
    LayoutChanged();
}

void TCustomDBGrid::applyFont() {
    TCustomGrid::applyFont();
    if (Font() == FShownFont) return;
    // A font that comes from the parent reaches the titles as well.
    if (ParentFont()) FTitleFont = Font();
    LayoutChanged();
}

void TCustomDBGrid::applyColor() {
    TCustomGrid::applyColor();
    invalidateGrid();
}

void TCustomDBGrid::Notification(TComponent* component, bool removing) {
    TCustomGrid::Notification(component, removing);
    if (!removing) return;
    for (int i = 0; i < FColumns->Count(); ++i) {
        TDBGridColumn* column = FColumns->Items(i);
        if (column->Field() == component) column->bindField(nullptr);
    }
}

TInplaceEdit* TCustomDBGrid::CreateEditor() {
    return new TDBGridInplaceEdit(*this);
}

// ---- the current cell -------------------------------------------------------

int TCustomDBGrid::Row() const {
    return FTitleOffset + (FDataLink->Active() ? FDataLink->ActiveRecord() : 0);
}

void TCustomDBGrid::SetSelectedIndex(int value) {
    changeColumn(value, value >= SelectedIndex() ? 1 : -1);
}

TDBGridColumn* TCustomDBGrid::SelectedColumn() const {
    const int index = SelectedIndex();
    return index >= 0 && index < FColumns->Count() ? FColumns->Items(index) : nullptr;
}

TField* TCustomDBGrid::SelectedField() const {
    const TDBGridColumn* column = SelectedColumn();
    return column ? column->Field() : nullptr;
}

// ---- cells ------------------------------------------------------------------

TGridCellType TCustomDBGrid::GetCellType(int col, int row) const {
    return CellTypeAt(col, row, FIndicatorOffset, FTitleOffset, RowCount());
}

TCurrentCellLook TCustomDBGrid::CurrentLook() const {
    const TForm* form = ParentForm();
    const bool activeControl = form && form->ActiveControl() == this;
    return CurrentCellLook(Widget()->hasFocus(), activeControl, EditorShowing(),
                           FOptionSets.Has(dghHighlightFocus),
                           FOptionSets.Has(dgAlwaysShowSelection));
}

std::string TCustomDBGrid::CellText(int col, int row) const {
    if (col < FIndicatorOffset || row < FTitleOffset || !FDataLink->Active()) return {};
    const int index = col - FIndicatorOffset;
    if (index >= FColumns->Count()) return {};
    const int record = row - FTitleOffset;
    if (record >= FDataLink->RecordCount()) return {};
    // The fields read the link's active record: make it this row's for the
    // time of the read, and nothing else in between.
    const int saved = FDataLink->ActiveRecord();
    FDataLink->SetActiveRecord(record);
    struct Restore {
        TGridDataLink& link;
        int record;
        ~Restore() { link.SetActiveRecord(record); }
    } restore{*FDataLink, saved};
    return FColumns->Items(index)->DisplayText();
}

int TCustomDBGrid::IndicatorImageOfRow(int row) const {
    if (!FDataLink->Active() || row - FTitleOffset != FDataLink->ActiveRecord()) return -1;
    return IndicatorImageFor(FDataLink->DataSet()->State(), FSearching);
}

// ---- layout requests --------------------------------------------------------

void TCustomDBGrid::LayoutChanged() {
    BeginLayout();
    EndLayout();
}

void TCustomDBGrid::BeginLayout() {
    ++FLayoutLock;
}

void TCustomDBGrid::EndLayout() {
    if (--FLayoutLock > 0) return;
    if (layoutDeferred()) {
        FLayoutWanted = true;
        return;
    }
    computeLayout();
}

void TCustomDBGrid::Loaded() {
    TCustomGrid::Loaded();
    // Everything the form description set is in place: one layout for all.
    FLayoutWanted = false;
    if (FLayoutLock == 0) computeLayout();
}

void TCustomDBGrid::columnsChanged() {
    LayoutChanged();
}

// ---- following the data link ------------------------------------------------

void TCustomDBGrid::dataChangedFromOutside() {
    if (!FOwnSearch) StopIncSearch();
}

void TCustomDBGrid::linkActiveChanged() {
    if (!FDataLink->Active()) {
        HideEditor();
        StopIncSearch();
    }
    InvalidateEditor();
    LayoutChanged();
    if (GridOptions().contains(goAlwaysShowEditor)) ShowEditor();
}

void TCustomDBGrid::linkDataSetChanged() {
    dataChangedFromOutside();
    updateRowCount();
    FShownCurrentRow = Row();
    if (EditorShowing() && !FDataLink->Modified() &&
        FDataLink->DataSet()->Bookmark() != FEditorRecord) {
        // Another record is current: as after a scroll.
        HideEditor();
        InvalidateEditor();
    } else if (EditorShowing()) {
        // The current row may stand elsewhere now.
        UpdateEditorPlace();
        if (!FDataLink->Modified()) refreshEditorFromField();
    } else {
        InvalidateEditor();
    }
    invalidateGrid();
}

void TCustomDBGrid::linkDataSetScrolled(int distance) {
    dataChangedFromOutside();
    // Another record is current: the editor closes and is filled afresh
    // when it opens again.
    HideEditor();
    InvalidateEditor();
    const int oldRow = FShownCurrentRow;
    FShownCurrentRow = Row();
    QRegion dirty;
    if (std::abs(distance) > VisibleRowCount()) {
        dirty = QRegion(Widget()->rect());
    } else {
        dirty = scrollDataRows(distance);
        // The old current row has moved with the rows.
        dirty += rowRegion(oldRow - distance);
        dirty += rowRegion(FShownCurrentRow);
    }
    UpdateVertScrollBar();
    paintNow(dirty);
}

void TCustomDBGrid::linkRecordChanged(TField* field) {
    dataChangedFromOutside();
    bool shown = false;
    for (int i = 0; field && i < FColumns->Count(); ++i)
        shown = shown || FColumns->Items(i)->Field() == field;
    if (shown)
        invalidateRow(Row());
    else
        invalidateGrid();
    // A change that did not come from writing the cell: the typing in the
    // editor no longer stands for the record.
    FDataLink->ResetModified();
    if (!field || field == SelectedField()) refreshEditorFromField();
}

void TCustomDBGrid::linkEditingChanged() {
    dataChangedFromOutside();
    if (!FDataLink->Editing()) FDataLink->ResetModified();
    if (FIndicatorOffset > 0) invalidateCell(0, Row());
}

void TCustomDBGrid::linkLayoutChanged() {
    LayoutChanged();
}

void TCustomDBGrid::linkUpdateData() {
    updateData();
}

// ---- events -----------------------------------------------------------------

bool TCustomDBGrid::widgetEvent(QEvent* event) {
    if (event->type() == QEvent::Timer &&
        static_cast<QTimerEvent*>(event)->timerId() == FSearchTimer.timerId()) {
        // A search under way looks into the event queue, where the time-out
        // may come; the search restarts the timer when it is done.
        if (FLocating == 0) StopIncSearch();
        return true;
    }
    return TCustomGrid::widgetEvent(event);
}
