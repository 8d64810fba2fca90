// TCustomDBGrid: the editing flow. When the editor may open and what it is
// filled with, whether the cell may be modified, writing the cell, cancelling,
// leaving the grid, deleting a record and copying from the row above.

#include "grid/TCustomDBGrid.h"

#include "data/TDataSet.h"
#include "data/TField.h"
#include "grid/GridSettings.h"
#include "grid/TGridDataLink.h"
#include "grid/TInplaceEdit.h"
#include "platform/CodePage.h"
#include "platform/Dialogs.h"

#include <QApplication>
#include <QPointer>
#include <QWidget>

bool TCustomDBGrid::CanEditShow() const {
    return TCustomGrid::CanEditShow() && FDataLink->Active() && !FSearching && FLayoutLock == 0 &&
           SelectedColumn() != nullptr;
}

bool TCustomDBGrid::CellModified() const {
    return FDataLink->Modified();
}

bool TCustomDBGrid::CanEditModify() {
    if (FReadOnly || !FDataLink->Active() || FDataLink->ReadOnly()) return false;
    const TDBGridColumn* column = SelectedColumn();
    if (!column || column->ReadOnly()) return false;
    TField* field = column->Field();
    if (!field || !field->CanModify()) return false;
    TDataSet* ds = FDataLink->DataSet();
    if (!FAllowedOperations.contains(alopUpdate) && ds->State() != dsInsert) return false;
    if (ds->IsEmpty() && ds->State() != dsInsert && !FAllowedOperations.contains(alopInsert) &&
        !FAllowedOperations.contains(alopAppend))
        return false;
    // Edit state for the record (on an empty dataset a new record) before
    // the flag: the notifications of Edit clear it.
    if (!FDataLink->Edit()) return false;
    FDataLink->SetModified();
    return true;
}

std::string TCustomDBGrid::GetEditText(int col, int row) {
    FEditorRecord = FDataLink->Active() ? FDataLink->DataSet()->Bookmark() : TBookmark();
    const TField* field = SelectedField();
    return field ? field->EditText() : std::string();
}

void TCustomDBGrid::SetEditText(int col, int row, const std::string& text) {
    FEditText = text;
}

bool TCustomDBGrid::CanEditAcceptChar(char ch) {
    const TField* field = SelectedField();
    if (!field) return true;
    const std::string utf8 = Win1252ToUtf8(std::string(1, ch));
    const QString s = QString::fromStdString(utf8);
    return s.isEmpty() || field->IsValidChar(s.at(0).unicode());
}

bool TCustomDBGrid::EditorKeyForGrid(uint16_t key, TShiftState shift) const {
    const TShiftState mods = shift & (ssShift | ssCtrl | ssAlt);
    const TDBGridSettings& settings = DBGridSettings();
    if (settings.CopyFromAboveKey.Matches(key, shift) ||
        settings.FindDialogKey.Matches(key, shift) || settings.IncSearchKey.Matches(key, shift))
        return true;
    switch (key) {
    case VK_RETURN:
        return FOptionSets.Has(dghEnterAsTab);
    case VK_INSERT:
        return mods == 0;
    case VK_DELETE:
        return mods == ssCtrl;
    default:
        return TCustomGrid::EditorKeyForGrid(key, shift);
    }
}

// The edit text goes to the field when the cell was modified; the record is
// not posted. A text the field does not take raises, and the cell stays
// modified with it.
void TCustomDBGrid::updateData() {
    if (!FDataLink->Modified()) return;
    if (TField* field = SelectedField()) field->SetEditText(FEditText);
    FDataLink->ResetModified();
}

void TCustomDBGrid::refreshEditorFromField() {
    if (!EditorShowing()) {
        InvalidateEditor();
        return;
    }
    const TField* field = SelectedField();
    const std::string text = field ? field->EditText() : std::string();
    if (text != InplaceEditor()->Text()) InvalidateEditor();
}

// Esc: the first undoes the typing in the cell, the second the record.
void TCustomDBGrid::cancelEditing() {
    if (FDataLink->Modified()) {
        FDataLink->ResetModified();
        InvalidateEditor();
    } else {
        FDataLink->DataSet()->Cancel();
    }
    HideEditor();
    CancelMode();
}

void TCustomDBGrid::DoExit() {
    TCustomGrid::DoExit();
    if (FDataLink->Active()) {
        TDataSet* ds = FDataLink->DataSet();
        try {
            if (FOptionSets.Has(dgCancelOnExit) && ds->State() == dsInsert && !ds->Modified() &&
                !FDataLink->Modified()) {
                ds->Cancel();
            } else if (Showing()) {
                // A grid hidden with its panel leaves the text for the
                // dataset to ask for when it posts.
                updateData();
            }
        } catch (...) {
            // The error is shown with the grid holding the focus again.
            if (CanFocus()) SetFocus();
            throw;
        }
    }
    HideEditor();
}

void TCustomDBGrid::deleteRecord() {
    TDataSet* ds = FDataLink->DataSet();
    if (FReadOnly || ds->IsEmpty() || !ds->CanModify() || !FAllowedOperations.contains(alopDelete))
        return;
    if (FOptionSets.Has(dgConfirmDelete)) {
        QPointer<QWidget> focused = QApplication::focusWidget();
        const int answer = MessageDlg("Delete record?", mtConfirmation, mbOK | mbCancel, 0);
        if (focused) focused->setFocus(Qt::OtherFocusReason);
        if (answer != mrOk) return;
    }
    ds->Delete();
}

void TCustomDBGrid::copyFromRowAbove() {
    if (!FDataLink->Active() || FDataLink->ActiveRecord() == 0) return;
    TField* field = SelectedField();
    if (!field || !CanEditModify()) return;
    const int current = FDataLink->ActiveRecord();
    FDataLink->SetActiveRecord(current - 1);
    const Variant above = field->AsVariant();
    FDataLink->SetActiveRecord(current);
    field->SetAsVariant(above);
    ShowEditor();
    if (EditorShowing()) {
        InvalidateEditor();
        InplaceEditor()->SelectAll();
    }
}
