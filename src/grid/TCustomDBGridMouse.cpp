// TCustomDBGrid: the mouse over records. A press on a data cell, tracking
// the pointer through records and columns, the auto-scroll's ticks, a sized
// or moved column kept in Columns, and the wheel.

#include "grid/TCustomDBGrid.h"

#include "data/TDataSet.h"
#include "grid/TDBGridInplaceEdit.h"
#include "grid/TGridDataLink.h"

#include <algorithm>
#include <cstdlib>

void TCustomDBGrid::DataCellPressed(TMouseButton button, TShiftState shift, int col, int row,
                                    int x, int y) {
    if (!FDataLink->Active()) return;
    const bool wasCurrent = col == Col() && row == Row();
    // The typing goes to the field before anything moves; a text the field
    // does not take stops the press here.
    updateData();
    HideEditor();
    moveToRow(row);
    // The indicator column only chooses the record.
    if (col < FIndicatorOffset) return;
    const int index = col - FIndicatorOffset;
    changeColumn(index, index >= SelectedIndex() ? 1 : -1);
    BeginTracking(x, y);
    if (button != mbLeft) return;
    const bool strip = inEditButtonStrip(col, x);
    if (!wasCurrent && !strip) return;
    ShowEditor();
    if (!strip || HandPressToEditor(x, y, shift) || !EditorShowing()) return;
    // An editor with no button of its own in the strip drops its list down
    // for the press all the same.
    static_cast<TDBGridInplaceEdit*>(InplaceEditor())->DropDown();
}

// The record shown in a data row becomes current. Moving off an untouched
// new record cancels it, which takes its row away and brings the rows after
// it up: the record pressed is then found again by its number, not by the
// distance between the rows.
void TCustomDBGrid::moveToRow(int row) {
    const int distance = row - Row();
    if (distance == 0) return;
    TDataSet* ds = FDataLink->DataSet();
    const int record = row - FTitleOffset;
    if (ds->State() == dsInsert && !ds->Modified() && !FDataLink->Modified() &&
        record < FDataLink->RecordCount()) {
        const int current = FDataLink->ActiveRecord();
        FDataLink->SetActiveRecord(record);
        const int target = ds->RecNo();
        FDataLink->SetActiveRecord(current);
        if (target > 0) {
            ds->Cancel();
            moveBy(target - ds->RecNo());
            return;
        }
    }
    moveBy(distance);
}

// The rightmost strip of the cell, as wide as a system scroll bar, where
// the editor of a column with a button (a date column's drop-down) has it.
bool TCustomDBGrid::inEditButtonStrip(int col, int x) const {
    const int index = col - FIndicatorOffset;
    if (index < 0 || index >= FColumns->Count()) return false;
    if (TDBGridInplaceEdit::EditStyleOf(*FColumns->Items(index)) == esSimple) return false;
    const int left = Geometry().ColLeft(col);
    if (left < 0) return false;
    // The editor is cut where the client area ends, and its button with it.
    const int right = std::min(left + Geometry().ColWidth(col), Geometry().ClientWidth());
    return x >= right - SystemScrollBarWidth() && x < right;
}

void TCustomDBGrid::TitleDragStarting() {
    updateData();
}

void TCustomDBGrid::TrackCell(int col, int row) {
    if (!FDataLink->Active()) return;
    moveToRow(row);
    const int index = col - FIndicatorOffset;
    if (index != SelectedIndex()) changeColumn(index, index > SelectedIndex() ? 1 : -1);
}

void TCustomDBGrid::AutoScroll(int rows, int colStep) {
    if (!FDataLink->Active()) return;
    moveBy(rows);
    TCustomGrid::AutoScroll(rows, colStep);
}

void TCustomDBGrid::ColumnSized(int col, int width) {
    const int index = col - FIndicatorOffset;
    if (index < 0 || index >= FColumns->Count()) return;
    // The cell grid first, then the column, which keeps the width through
    // later layouts.
    geometry().SetColWidth(col, width);
    FColumns->Items(index)->SetWidth(width);
}

void TCustomDBGrid::ColumnMoved(int from, int to) {
    const int fromIndex = from - FIndicatorOffset;
    const int toIndex = to - FIndicatorOffset;
    if (fromIndex < 0 || fromIndex >= FColumns->Count()) return;
    FColumns->Items(fromIndex)->SetIndex(toIndex);
    if (OnColumnMoved) OnColumnMoved(this, fromIndex, toIndex);
}

bool TCustomDBGrid::DoMouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos) {
    // An open drop-down of the editor takes the wheel when it wants it.
    if (OfferWheelToEditor(shift, wheelDelta, mousePos)) return true;
    if (!FDataLink->Active()) return false;
    // A fine-grained wheel sends parts of a notch: they add up.
    FWheelDelta += wheelDelta;
    const int notches = FWheelDelta / 120;
    FWheelDelta -= notches * 120;
    // Away from the user is up: one record back per notch.
    for (int i = 0; i < std::abs(notches); ++i)
        moveBy(notches > 0 ? -1 : 1);
    return true;
}
