// TCustomDBGrid: the keyboard. KeyDown runs the steps in their order and the
// key table; the moves between records and columns follow the rules of the
// data grid (appending at the end, cancelling an untouched new record).

#include "grid/TCustomDBGrid.h"

#include "data/TDataSet.h"
#include "data/TField.h"
#include "grid/GridSettings.h"
#include "grid/TGridDataLink.h"
#include "grid/TInplaceEdit.h"
#include "platform/CodePage.h"

#include <QClipboard>
#include <QGuiApplication>

namespace {

constexpr TShiftState kModifiers = ssShift | ssCtrl | ssAlt;

} // namespace

void TCustomDBGrid::KeyDown(uint16_t& key, TShiftState shift) {
    TCustomGrid::KeyDown(key, shift);
    if (key == 0) return;
    // This edition has no right-to-left layout, so Left and Right keep their
    // meaning.
    if (!FDataLink->Active()) return;
    const TDBGridSettings& settings = DBGridSettings();
    const TShiftState mods = shift & kModifiers;

    if (settings.CopyFromAboveKey.Matches(key, shift)) copyFromRowAbove();

    const bool searchKey = settings.IncSearchKey.Matches(key, shift);
    const bool findKey = settings.FindDialogKey.Matches(key, shift);
    // The key that opened the dialog is spent: handed on after the modal
    // dialog has closed, it would start a search.
    if (FSearching && (searchKey || findKey)) {
        StopIncSearch();
        if (findKey && FOptionSets.Has(dghDialogFind)) {
            key = 0;
            ExecuteFindDialog("");
        }
    } else if (searchKey && FOptionSets.Has(dghIncSearch)) {
        StartIncSearch(-1);
    } else if (findKey && FOptionSets.Has(dghDialogFind)) {
        // From the open editor the dialog starts with the text selected there.
        key = 0;
        ExecuteFindDialog(EditorShowing() ? InplaceEditor()->SelText() : std::string());
    }

    if (FSearching) {
        if (mods == 0 && (key == VK_RETURN || key == VK_ESCAPE || key == VK_F2))
            StopIncSearch();
        else if (mods == 0 && key == VK_BACK)
            searchBackspace();
        else if (settings.SearchNextKey.Matches(key, shift))
            searchNext(ltdDown);
        else if (settings.SearchPriorKey.Matches(key, shift))
            searchNext(ltdUp);
    }

    keyTable(key, shift);
}

void TCustomDBGrid::keyTable(uint16_t key, TShiftState shift) {
    if (shift & ssCtrl) {
        ctrlKey(key, shift);
        return;
    }
    const bool shifted = shift & ssShift;
    switch (key) {
    case VK_TAB:
        if (shift & ssAlt) return;
        shifted ? previousColumn() : nextColumn();
        break;
    case VK_RETURN:
        if (!FOptionSets.Has(dghEnterAsTab)) return;
        shifted ? previousColumn() : nextColumn();
        break;
    case VK_ESCAPE:
        cancelEditing();
        break;
    case VK_PRIOR:
        moveBy(-VisibleRowCount());
        break;
    case VK_NEXT:
        moveBy(VisibleRowCount());
        break;
    case VK_HOME:
    case VK_END: {
        const bool home = key == VK_HOME;
        const int first = visibleColumnFrom(-1, 1);
        const int last = visibleColumnFrom(FColumns->Count(), -1);
        if (first >= 0 && first == last) {
            // A single column: the first and the last record instead.
            home ? FDataLink->DataSet()->First() : FDataLink->DataSet()->Last();
        } else {
            changeColumn(home ? first : last, home ? 1 : -1);
        }
        break;
    }
    case VK_LEFT: {
        const int target = visibleColumnFrom(SelectedIndex(), -1);
        changeColumn(target >= 0 ? target : SelectedIndex(), -1);
        break;
    }
    case VK_RIGHT: {
        const int target = visibleColumnFrom(SelectedIndex(), 1);
        changeColumn(target >= 0 ? target : SelectedIndex(), 1);
        break;
    }
    case VK_UP:
        rowUp();
        break;
    case VK_DOWN:
        rowDown();
        break;
    case VK_INSERT:
        if (!shifted)
            insertRecord();
        else if (FSearching)
            addClipboardToSearch();
        break;
    case VK_F2:
        if (shift & kModifiers) return;
        ShowEditor();
        if (EditorShowing()) InplaceEditor()->Deselect();
        break;
    default:
        break;
    }
}

void TCustomDBGrid::ctrlKey(uint16_t key, TShiftState shift) {
    if (shift & ssAlt) return;
    TDataSet* ds = FDataLink->DataSet();
    switch (key) {
    case VK_PRIOR:
    case VK_UP:
        moveBy(-FDataLink->ActiveRecord());
        break;
    case VK_NEXT:
    case VK_DOWN:
        moveBy(FDataLink->RecordCount() - FDataLink->ActiveRecord() - 1);
        break;
    case VK_HOME:
        ds->First();
        break;
    case VK_END:
        ds->Last();
        break;
    case VK_LEFT:
        changeColumn(visibleColumnFrom(-1, 1), 1);
        break;
    case VK_RIGHT:
        changeColumn(visibleColumnFrom(FColumns->Count(), -1), -1);
        break;
    case VK_DELETE:
        deleteRecord();
        break;
    case 'V':
        if (FSearching)
            addClipboardToSearch();
        else
            editAction(geaPaste);
        break;
    case 'C':
    case VK_INSERT:
        editAction(geaCopy);
        break;
    case 'X':
        editAction(geaCut);
        break;
    default:
        break;
    }
}

// The grid's character handling, for characters typed into the grid and
// into its editor alike.
void TCustomDBGrid::KeyPress(char& key) {
    TCustomGrid::KeyPress(key);
    if (key == 0 || !FDataLink->Active()) return;
    const unsigned char ch = static_cast<unsigned char>(key);
    if (FSearching) {
        // Typed text goes to the search, never to a cell.
        if (ch >= 32 && FDataLink->DataSet()->State() == dsBrowse)
            addSearchText(Win1252ToUtf8(std::string(1, key)));
        key = 0;
        return;
    }
    // Enter moves like Tab, and the editor drops both.
    if (ch == '\r' && FOptionSets.Has(dghEnterAsTab)) key = '\t';
    if (EditorShowing() || !(ch == 8 || ch >= 32)) return;
    if (ch >= 32 && FOptionSets.Has(dghIncSearch) && FOptionSets.Has(dghPreferIncSearch) &&
        FDataLink->DataSet()->State() == dsBrowse) {
        StartIncSearch(DBGridSettings().IncSearchTimeOut);
        addSearchText(Win1252ToUtf8(std::string(1, key)));
        key = 0;
        return;
    }
    const char typed = key;
    key = 0;
    ShowEditor();
    if (EditorShowing()) InplaceEditor()->TypeChar(typed);
}

// ---- rows ---------------------------------------------------------------------

int TCustomDBGrid::moveBy(int distance) {
    return distance == 0 ? 0 : FDataLink->MoveBy(distance);
}

void TCustomDBGrid::rowDown() {
    TDataSet* ds = FDataLink->DataSet();
    if (ds->State() == dsInsert && !ds->Modified() && !FDataLink->Modified()) {
        // The untouched new record at the end stays; one elsewhere goes.
        if (ds->Eof()) return;
        ds->Cancel();
    } else {
        moveBy(1);
    }
    if (ds->Eof() && ds->CanModify() && !FReadOnly && FOptionSets.Has(dgEditing) &&
        FAllowedOperations.contains(alopAppend))
        ds->Append();
}

void TCustomDBGrid::rowUp() {
    TDataSet* ds = FDataLink->DataSet();
    if (ds->State() == dsInsert && ds->Eof() && !ds->Modified() && !FDataLink->Modified())
        ds->Cancel();
    else
        moveBy(-1);
}

void TCustomDBGrid::insertRecord() {
    TDataSet* ds = FDataLink->DataSet();
    if (!ds->CanModify() || FReadOnly || !FOptionSets.Has(dgEditing)) return;
    if (FAllowedOperations.contains(alopInsert))
        ds->Insert();
    else if (FAllowedOperations.contains(alopAppend))
        ds->Append();
}

// ---- columns ------------------------------------------------------------------

int TCustomDBGrid::visibleColumnFrom(int index, int step) const {
    for (int i = index + step; i >= 0 && i < FColumns->Count(); i += step)
        if (FColumns->Items(i)->Visible()) return i;
    return -1;
}

void TCustomDBGrid::nextColumn() {
    const int next = visibleColumnFrom(SelectedIndex(), 1);
    if (next >= 0) {
        changeColumn(next, 1);
        return;
    }
    rowDown();
    // The column changes even when the row did not.
    changeColumn(visibleColumnFrom(-1, 1), 1);
}

void TCustomDBGrid::previousColumn() {
    const int previous = visibleColumnFrom(SelectedIndex(), -1);
    if (previous >= 0) {
        changeColumn(previous, -1);
        return;
    }
    rowUp();
    changeColumn(visibleColumnFrom(FColumns->Count(), -1), -1);
}

void TCustomDBGrid::changeColumn(int index, int direction) {
    if (FDataLink->Modified()) updateData();
    const int count = FColumns->Count();
    if (count == 0) return;
    index = std::clamp(index, 0, count - 1);
    const int step = direction < 0 ? -1 : 1;
    while (index >= 0 && index < count && !FColumns->Items(index)->Visible())
        index += step;
    if (index < 0 || index >= count) return;
    if (index != SelectedIndex()) {
        const int before = SelectedIndex();
        if (OnColExit) {
            OnColExit(this);
            if (SelectedIndex() != before) return;
        }
        if (!GridOptions().contains(goAlwaysShowEditor)) HideEditor();
        SetCurrentCol(index + FIndicatorOffset);
        if (GridOptions().contains(goAlwaysShowEditor)) ShowEditor();
        if (OnColEnter) OnColEnter(this);
    }
    if (!FOwnSearch) StopIncSearch();
}

// ---- the clipboard ----------------------------------------------------------------

void TCustomDBGrid::editAction(TDBGridEditAction action) {
    if (!FEditActions.contains(action)) return;
    TField* field = SelectedField();
    if (!field) return;
    QClipboard* clipboard = QGuiApplication::clipboard();
    switch (action) {
    case geaCopy:
        clipboard->setText(QString::fromStdString(field->DisplayText()));
        break;
    case geaCut:
        clipboard->setText(QString::fromStdString(field->DisplayText()));
        if (CanEditModify()) {
            field->Clear();
            FDataLink->ResetModified();
        }
        break;
    case geaPaste:
        if (CanEditModify()) {
            field->SetEditText(clipboard->text().toStdString());
            FDataLink->ResetModified();
        }
        break;
    default:
        break;
    }
}
