#pragma once
// TDBGridFindDlg: the data grid's "Find text" dialog. The user types a text,
// chooses a column or "<All>", how the text must match and the direction,
// and each Find next moves the grid behind the dialog to the next cell whose
// text matches, through the grid's text-locate operation. Nothing found
// shows nothing and leaves the grid where it was.
//
// One dialog serves the whole program: the first use creates it, owned by
// the application object, and it keeps its settings and the texts searched
// before until the program ends. The grid opens it through the find-dialog
// hook (TDBGridCenter.h), which RegisterDBGridFindDialog sets.
//
// First try. Opening the dialog, and changing the text, the column or the
// direction, set the first-try flag; a search that finds a cell clears it.
// Direction "All" starts at the first record on the first try only and
// goes on downwards after a hit, so that Find next finds the next cell.

#include "platform/widgets/TForm.h"

#include <QPointer>

#include <string>
#include <vector>

class TButton;
class TCustomDBGrid;
class TDBCheckBox;
class TDBComboBox;
class TDBGridColumn;
class TLabel;

class TDBGridFindDlg : public TForm {
public:
    explicit TDBGridFindDlg(TComponent* owner);
    ~TDBGridFindDlg() override;

    // Prepares the dialog for grid and shows it: modal returns when the
    // dialog closes. text: the initial text. columns: the columns offered in
    // "Find in" (empty: every visible column of the grid).
    void Execute(TCustomDBGrid& grid, const std::string& text,
                 const std::vector<TDBGridColumn*>& columns, bool modal);

    // The grid the dialog serves, while it exists.
    TCustomDBGrid* Grid() const;
    bool FirstTry() const { return FFirstTry; }
    // The column each item of "Find in" stands for; null for "<All>".
    const std::vector<TDBGridColumn*>& FindInColumns() const { return FFindInColumns; }

    // Handlers, as the form description binds them.
    void FormKeyDown(TObject* Sender, uint16_t& Key, TShiftState Shift);
    void FormKeyPress(TObject* Sender, char& Key);
    // Find next.
    void bFindClick(TObject* Sender);
    void bCancelClick(TObject* Sender);
    void SearchChanged(TObject* Sender);

    TLabel* Label1 = nullptr;
    TLabel* Label2 = nullptr;
    TLabel* cbMatchType = nullptr;
    TLabel* Label3 = nullptr;
    TLabel* Label4 = nullptr;
    TDBComboBox* cbText = nullptr;
    TDBComboBox* cbFindIn = nullptr;
    TDBComboBox* cbMatchinType = nullptr;
    TDBComboBox* cbFindDirection = nullptr;
    TDBCheckBox* cbCharCase = nullptr;
    TDBCheckBox* cbUseFormat = nullptr;
    TButton* bFind = nullptr;
    TButton* bCancel = nullptr;
    TDBComboBox* dbcTreeFindRange = nullptr;

private:
    void CreateComponents();
    void prepare(TCustomDBGrid& grid, const std::string& text,
                 const std::vector<TDBGridColumn*>& columns);
    void showTreeRow(bool shown);
    void fillFindIn();
    void rememberText();
    bool hasColumn(const TDBGridColumn* column) const;

    TCustomDBGrid* FGrid = nullptr;
    QPointer<QWidget> FGridWidget; // tells whether FGrid still exists
    std::vector<TDBGridColumn*> FColumns;
    std::vector<TDBGridColumn*> FFindInColumns;
    bool FFirstTry = true;
    int FDesignHeight = 0;
};

// The dialog once the first use has made it; null before and after the
// application object has gone.
TDBGridFindDlg* DBGridFindDlg();

// The find-dialog hook: creates the dialog when it does not exist yet and
// executes it. Raises EInvalidOperation without an application object to
// own the dialog.
void ExecuteDBGridFindDialog(TCustomDBGrid& grid, const std::string& text,
                             const std::vector<TDBGridColumn*>& columns, bool modal);

// Sets the hook to ExecuteDBGridFindDialog; the program calls it when it
// starts.
void RegisterDBGridFindDialog();
