#include "grid/TDBGridFindDlg.h"

#include "data/TDataSet.h"
#include "grid/TCustomDBGrid.h"
#include "grid/TDBGridCenter.h"
#include "grid/TDBGridColumn.h"
#include "grid/TDBGridColumns.h"
#include "grid/TGridDataLink.h"
#include "platform/Classes.h"
#include "platform/Dialogs.h"
#include "platform/Exceptions.h"
#include "platform/widgets/TApplication.h"
#include "platform/widgets/TButton.h"
#include "platform/widgets/TDBCheckBox.h"
#include "platform/widgets/TDBComboBox.h"
#include "platform/widgets/TLabel.h"

#include <QGuiApplication>
#include <QString>

#include <algorithm>

namespace {

TDBGridFindDlg* gDialog = nullptr;

const char* const kAll = "<All>";

// The items of the pick-only lists, in the order their index means.
const char* const kMatchTypes[] = {"From any part of field", "Whole field", "From beging of field"};
const char* const kDirections[] = {"Up", "Down", "All"};
const char* const kTreeRanges[] = {"In all nodes", "In expanded nodes", "In current level",
                                   "In current node"};

template <size_t N> TStringList lines(const char* const (&items)[N]) {
    TStringList list;
    for (const char* item : items)
        list.Add(item);
    return list;
}

template <class T>
T* create(TDBGridFindDlg* form, const char* name, int left, int top, int width, int height) {
    T* c = new T(form);
    c->SetName(name);
    c->SetParent(form);
    c->SetBounds(left, top, width, height);
    return c;
}

TLabel* label(TDBGridFindDlg* form, const char* name, int top, const char* caption) {
    TLabel* l = create<TLabel>(form, name, 10, top, 0, 0);
    l->SetCaption(caption);
    return l;
}

// A pick-only list: its key items are its items.
void pickOnly(TDBComboBox* box, const TStrings& items, const char* text) {
    box->SetItems(items);
    box->SetKeyItems(items);
    box->SetText(text);
}

} // namespace

TDBGridFindDlg::TDBGridFindDlg(TComponent* owner) : TForm(owner) {
    CreateComponents();
    DoCreate();
}

TDBGridFindDlg::~TDBGridFindDlg() {
    if (gDialog == this) gDialog = nullptr;
}

void TDBGridFindDlg::CreateComponents() {
    BeginLoad();
    SetName("DBGridFindDlg");
    SetCaption("Find text");
    SetBorderStyle(bsDialog);
    SetClientWidth(505);
    SetClientHeight(150);
    SetPosition(poScreenCenter);
    TFont font;
    font.SetHeight(-10);
    SetFont(font);
    SetKeyPreview(true);
    OnKeyDown = [this](TObject* s, uint16_t& k, TShiftState sh) { FormKeyDown(s, k, sh); };
    OnKeyPress = [this](TObject* s, char& k) { FormKeyPress(s, k); };
    auto searchChanged = [this](TObject* s) { SearchChanged(s); };

    cbText = create<TDBComboBox>(this, "cbText", 88, 9, 316, 21);
    cbText->SetDropDownRows(17);
    cbText->SetDropDownSizable(true);
    cbText->SetTabOrder(0);
    cbText->OnChange = searchChanged;

    cbFindIn = create<TDBComboBox>(this, "cbFindIn", 88, 32, 192, 21);
    cbFindIn->SetDropDownRows(17);
    cbFindIn->SetDropDownSizable(true);
    cbFindIn->SetTabOrder(1);
    cbFindIn->OnChange = searchChanged;

    cbMatchinType = create<TDBComboBox>(this, "cbMatchinType", 88, 55, 144, 21);
    pickOnly(cbMatchinType, lines(kMatchTypes), "From any part of field");
    cbMatchinType->SetTabOrder(2);

    cbFindDirection = create<TDBComboBox>(this, "cbFindDirection", 88, 79, 144, 21);
    pickOnly(cbFindDirection, lines(kDirections), "All");
    cbFindDirection->SetTabOrder(3);
    cbFindDirection->OnChange = searchChanged;

    cbCharCase = create<TDBCheckBox>(this, "cbCharCase", 88, 105, 144, 14);
    cbCharCase->SetCaption("Match &Case");
    cbCharCase->SetChecked(false);
    cbCharCase->SetTabOrder(4);

    cbUseFormat = create<TDBCheckBox>(this, "cbUseFormat", 260, 105, 144, 14);
    cbUseFormat->SetCaption("Match F&ormat");
    cbUseFormat->SetChecked(true);
    cbUseFormat->SetTabOrder(5);

    bFind = create<TButton>(this, "bFind", 413, 9, 82, 23);
    bFind->SetCaption("&Find next");
    bFind->SetTabOrder(6);
    bFind->OnClick = [this](TObject* s) { bFindClick(s); };

    bCancel = create<TButton>(this, "bCancel", 413, 37, 82, 22);
    bCancel->SetCaption("Close");
    bCancel->SetCancel(true);
    bCancel->SetModalResult(mrCancel);
    bCancel->SetTabOrder(7);
    bCancel->OnClick = [this](TObject* s) { bCancelClick(s); };

    dbcTreeFindRange = create<TDBComboBox>(this, "dbcTreeFindRange", 88, 124, 145, 21);
    pickOnly(dbcTreeFindRange, lines(kTreeRanges), "In all nodes");
    dbcTreeFindRange->SetTabOrder(8);

    Label1 = label(this, "Label1", 12, "Fi&nd What:");
    Label1->SetFocusControl(cbText);
    Label2 = label(this, "Label2", 35, "Find &in:");
    Label2->SetFocusControl(cbFindIn);
    cbMatchType = label(this, "cbMatchType", 58, "Matc&h:");
    cbMatchType->SetFocusControl(cbMatchinType);
    Label3 = label(this, "Label3", 82, "Sea&rch:");
    Label3->SetFocusControl(cbFindDirection);
    Label4 = label(this, "Label4", 128, "Find in Tree:");
    Label4->SetFocusControl(dbcTreeFindRange);
    EndLoad();
    FDesignHeight = ClientHeight();
}

TCustomDBGrid* TDBGridFindDlg::Grid() const {
    return FGridWidget ? FGrid : nullptr;
}

void TDBGridFindDlg::Execute(TCustomDBGrid& grid, const std::string& text,
                             const std::vector<TDBGridColumn*>& columns, bool modal) {
    prepare(grid, text, columns);
    if (!modal) {
        Show();
        return;
    }
    if (Visible()) Hide();
    ShowModal();
}

void TDBGridFindDlg::prepare(TCustomDBGrid& grid, const std::string& text,
                             const std::vector<TDBGridColumn*>& columns) {
    FGrid = &grid;
    FGridWidget = grid.Widget();
    FColumns = columns;
    // The row serves datasets with a tree view; the data layer of this
    // program has none.
    showTreeRow(false);
    cbText->SetText(text);

    TNotifyEvent change = std::move(cbFindIn->OnChange);
    cbFindIn->OnChange = nullptr;
    fillFindIn();
    cbFindIn->OnChange = std::move(change);

    // The item of the grid's selected column. Found by its column rather
    // than by its title, so that two columns with one title are told apart.
    const TDBGridColumn* selected = grid.SelectedColumn();
    auto it = std::find(FFindInColumns.begin(), FFindInColumns.end(), selected);
    if (!selected || it == FFindInColumns.end()) it = FFindInColumns.end() - 1;
    cbFindIn->SetItemIndex(static_cast<int>(it - FFindInColumns.begin()));

    FFirstTry = true;
    SetActiveControl(cbText);
}

void TDBGridFindDlg::showTreeRow(bool shown) {
    Label4->SetVisible(shown);
    dbcTreeFindRange->SetVisible(shown);
    SetClientHeight(shown ? FDesignHeight : dbcTreeFindRange->Top());
}

void TDBGridFindDlg::fillFindIn() {
    TStringList items;
    FFindInColumns.clear();
    TDBGridColumns& all = FGrid->Columns();
    for (int i = 0; i < all.Count(); ++i) {
        TDBGridColumn* column = all[i];
        if (!column->Visible()) continue;
        if (!FColumns.empty() &&
            std::find(FColumns.begin(), FColumns.end(), column) == FColumns.end())
            continue;
        items.Add(column->Title().Caption());
        FFindInColumns.push_back(column);
    }
    items.Add(kAll);
    FFindInColumns.push_back(nullptr);
    cbFindIn->SetItems(items);
    cbFindIn->SetKeyItems(items);
}

void TDBGridFindDlg::SearchChanged(TObject*) {
    FFirstTry = true;
}

void TDBGridFindDlg::rememberText() {
    const QString text = QString::fromStdString(cbText->Text());
    const TStrings& known = cbText->Items();
    // Not Items().IndexOf: that folds ASCII letters only, and "Ñandú" typed
    // again as "ñANDÚ" is the same text searched.
    for (const std::string& line : known.Lines())
        if (QString::fromStdString(line).compare(text, Qt::CaseInsensitive) == 0) return;
    TStringList items;
    items.Assign(known);
    items.Add(cbText->Text());
    cbText->SetItems(items);
}

bool TDBGridFindDlg::hasColumn(const TDBGridColumn* column) const {
    const TDBGridColumns& all = FGrid->Columns();
    for (int i = 0; i < all.Count(); ++i)
        if (all[i] == column) return true;
    return false;
}

void TDBGridFindDlg::bFindClick(TObject*) {
    // Ctrl held reverses the direction: the keyboard's state now, whatever
    // started the search (a click, Enter, the access key).
    const bool ctrl = QGuiApplication::queryKeyboardModifiers() & Qt::ControlModifier;
    rememberText();
    TCustomDBGrid* grid = Grid();
    if (!grid) return;
    TDataSet* dataSet = grid->DataLink().DataSet();
    if (!dataSet || !dataSet->Active()) return;

    TLocateTextRequest request;
    request.Text = cbText->Text();
    const int findIn = cbFindIn->ItemIndex();
    const bool all = findIn >= 0 && FFindInColumns[static_cast<size_t>(findIn)] == nullptr;
    if (!cbCharCase->Checked()) request.Options |= ltoCaseInsensitive;
    if (cbUseFormat->Checked()) request.Options |= ltoMatchFormat;
    if (all) request.Options |= ltoAllFields;

    switch (cbFindDirection->ItemIndex()) {
    case 0:
        request.Direction = ltdUp;
        break;
    case 1:
        request.Direction = ltdDown;
        break;
    default:
        request.Direction = ltdAll;
    }
    if (ctrl) request.Direction = request.Direction == ltdUp ? ltdDown : ltdUp;
    if (!FFirstTry && request.Direction == ltdAll) request.Direction = ltdDown;

    switch (cbMatchinType->ItemIndex()) {
    case 1:
        request.Matching = ltmWhole;
        break;
    case 2:
        request.Matching = ltmFromBeginning;
        break;
    default:
        request.Matching = ltmAnywhere;
    }

    if (findIn >= 0 && !all) {
        const TDBGridColumn* column = FFindInColumns[static_cast<size_t>(findIn)];
        // The grid's columns were made anew behind the dialog: its list no
        // longer tells which column is meant.
        if (!hasColumn(column)) return;
        request.FieldName = column->FieldName();
    }
    const int range = dbcTreeFindRange->ItemIndex();
    request.TreeFindRange = static_cast<TLocateTextTreeFindRange>(std::max(0, range));

    if (grid->LocateText(request)) FFirstTry = false;
}

void TDBGridFindDlg::bCancelClick(TObject*) {
    // The modal dialog closes by the button's ModalResult.
    if (!Modal()) Close();
}

void TDBGridFindDlg::FormKeyDown(TObject*, uint16_t& Key, TShiftState) {
    if (Key != VK_RETURN) return;
    TWinControl* active = ActiveControl();
    // An open list takes Enter and Esc to close itself; a focused button
    // takes Enter; Esc goes on to bCancel.
    if (auto* box = dynamic_cast<TDBComboBox*>(active); box && box->DroppedDown()) return;
    if (dynamic_cast<TButton*>(active)) return;
    Key = 0;
    bFindClick(this);
}

void TDBGridFindDlg::FormKeyPress(TObject*, char& Key) {
    // The Enter that ran Find next types nothing.
    if (Key == '\r' && !dynamic_cast<TButton*>(ActiveControl())) Key = 0;
}

// ---- the hook ---------------------------------------------------------------------

TDBGridFindDlg* DBGridFindDlg() {
    return gDialog;
}

void ExecuteDBGridFindDialog(TCustomDBGrid& grid, const std::string& text,
                             const std::vector<TDBGridColumn*>& columns, bool modal) {
    if (!gDialog) {
        if (!Application) throw EInvalidOperation("The find dialog needs the application object");
        gDialog = new TDBGridFindDlg(Application);
    }
    gDialog->Execute(grid, text, columns, modal);
}

void RegisterDBGridFindDialog() {
    ExecuteDBGridFindDialogProc = ExecuteDBGridFindDialog;
}
