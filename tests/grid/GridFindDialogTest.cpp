// The find dialog on the grid of the adjustment editor over a real company
// database, opened as a user opens it (Ctrl+F twice) and driven by keys and
// the mouse from inside its modal loop: what it offers when it opens, what
// each Find next asks the text-locate operation and where the grid goes,
// the first-try rules, its keys, the text history, and the editor's
// selected text as the initial text.

#include "GridKeyTestHelpers.h"

#include "data/TClientDataSet.h"
#include "grid/TDBGridCenter.h"
#include "grid/TDBGridFindDlg.h"
#include "platform/widgets/TApplication.h"
#include "platform/widgets/TButton.h"
#include "platform/widgets/TDBCheckBox.h"
#include "platform/widgets/TDBComboBox.h"
#include "platform/widgets/TLabel.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QWindow>

#include <gtest/gtest.h>

namespace {

using namespace gridtest;
using guitest::WhileModal;

// Rows of AJUSTE_CIERRE: F.Desde, F.Hasta, Porc, Factor as the grid shows
// them under the C regional settings:
//   1  01/01/2024  31/03/2024   0  0,8
//   2  05/01/2024  31/03/2024   5  0,85
//   3  19/01/2024  31/03/2024  19  0,8
//   4  01/02/2024              5  0,85
//   5  05/02/2024  31/03/2024  10  0,9
const std::vector<std::string> kRows = {
    "1, '2024-01-01', '2024-03-31', 0, 0.8",  "2, '2024-01-05', '2024-03-31', 5, 0.85",
    "3, '2024-01-19', '2024-03-31', 19, 0.8", "4, '2024-02-01', null, 5, 0.85",
    "5, '2024-02-05', '2024-03-31', 10, 0.9",
};

enum { cFecIni, cFecFin, cPorc, cFactor };

// Records every request on its way to the grid's search.
class RecordingCenter : public TDBGridCenter {
public:
    std::vector<TLocateTextRequest> Requests;
    bool LocateText(TCustomDBGrid& grid, const TLocateTextRequest& request) override {
        Requests.push_back(request);
        return TDBGridCenter::LocateText(grid, request);
    }
};

class GridFindDialogTest : public ::testing::Test {
protected:
    GridFindDialogTest() : f(kRows), title(ApplicationTitle()) {
        startProgram();
        previousCenter = SetDBGridCenter(&center);
        f.Show();
    }
    ~GridFindDialogTest() override {
        SetDBGridCenter(previousCenter);
        app.reset();
        ExecuteDBGridFindDialogProc = nullptr;
        SetApplicationTitle(title);
    }

    // The application object, which owns the dialog, and the hook, both as
    // the program makes them when it starts.
    void startProgram() {
        static int argc = 1;
        static char arg0[] = "contavtascontadomv";
        static char* argv[] = {arg0, nullptr};
        app = std::make_unique<TApplication>(argc, argv);
        RegisterDBGridFindDialog();
    }

    // Ctrl+F twice in the grid; script runs inside the dialog's modal loop.
    void withDialog(const std::function<void(TDBGridFindDlg&)>& script) {
        // The grid's window is active again once a dialog before has closed.
        ASSERT_TRUE(QTest::qWaitForWindowActive(f.Form->Widget()));
        Press(Ctrl(Qt::Key_F));
        ASSERT_TRUE(f.Grid->IncSearchRunning()) << "the first Ctrl+F searches";
        ASSERT_EQ(QApplication::activeModalWidget(), nullptr);
        openedBy([] { Press(Ctrl(Qt::Key_F)); }, script);
    }
    void openedBy(const std::function<void()>& open,
                  const std::function<void(TDBGridFindDlg&)>& script) {
        const bool ran = WhileModal(open, [&](QWidget* modal) {
            TDBGridFindDlg* dialog = DBGridFindDlg();
            ASSERT_NE(dialog, nullptr);
            ASSERT_EQ(modal, dialog->Widget());
            // The user lets go of Ctrl+F and takes the mouse to the dialog.
            // Find next reads the keyboard state for the reversed direction,
            // and on the offscreen platform that state is the one of the last
            // key press or mouse event the window system delivered: the move,
            // with no key held (twice, as a move to where the pointer already
            // is changes nothing).
            QWindow* window = modal->windowHandle();
            const QPoint centre = modal->rect().center();
            QTest::mouseMove(window, centre);
            QTest::mouseMove(window, centre + QPoint(1, 1));
            ASSERT_FALSE(QGuiApplication::queryKeyboardModifiers() & Qt::ControlModifier);
            script(*dialog);
        });
        EXPECT_TRUE(ran) << "the dialog opened";
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << "and closed";
    }

    void at(int recNo, int column) {
        f.Data->SetRecNo(recNo);
        f.Grid->SetSelectedIndex(column);
        ASSERT_EQ(f.Data->RecNo(), recNo);
        ASSERT_EQ(f.Grid->SelectedIndex(), column);
    }

    GridDatabaseForm f;
    std::string title;
    std::unique_ptr<TApplication> app;
    RecordingCenter center;
    TDBGridCenter* previousCenter = nullptr;
};

// What the user sets, each by the keys that set it: the text typed into the
// empty text box, then Tab and the beginning of the item typed into each
// pick-only list ("" keeps the item), Tab and Space where a check box must
// change, and Tab to the Find next button.
struct Settings {
    std::string Text;
    std::string FindIn;
    std::string Match;
    std::string Direction;
    bool MatchCase = false;
    bool MatchFormat = true;
};

void fill(TDBGridFindDlg& d, const Settings& s) {
    ASSERT_TRUE(d.cbText->Focused());
    ASSERT_EQ(d.cbText->Text(), "");
    Press(Typed(s.Text));
    Press(K(Qt::Key_Tab));
    Press(Typed(s.FindIn));
    Press(K(Qt::Key_Tab));
    Press(Typed(s.Match));
    Press(K(Qt::Key_Tab));
    Press(Typed(s.Direction));
    Press(K(Qt::Key_Tab));
    if (d.cbCharCase->Checked() != s.MatchCase) Press(K(Qt::Key_Space));
    Press(K(Qt::Key_Tab));
    if (d.cbUseFormat->Checked() != s.MatchFormat) Press(K(Qt::Key_Space));
    Press(K(Qt::Key_Tab));
    ASSERT_TRUE(d.bFind->Focused());
    ASSERT_EQ(d.cbText->Text(), s.Text);
    ASSERT_EQ(d.cbCharCase->Checked(), s.MatchCase);
    ASSERT_EQ(d.cbUseFormat->Checked(), s.MatchFormat);
}

// A click of the mouse as the window system delivers it, with the keyboard
// state it reports, and the pointer moved on with no key held after it.
void clickThroughWindow(TControl* control, Qt::KeyboardModifiers modifiers) {
    QWidget* widget = control->Widget();
    QWindow* window = widget->window()->windowHandle();
    const QPoint at = widget->mapTo(widget->window(), widget->rect().center());
    QTest::mouseClick(window, Qt::LeftButton, modifiers, at);
    QTest::mouseMove(window, at + QPoint(1, 0));
}

std::vector<std::string> itemsOf(const TDBComboBox* box) {
    return box->Items().Lines();
}

TEST_F(GridFindDialogTest, TheFirstCtrlFSearchesTheSecondOpensTheDialogWithNoSearchRunning) {
    at(3, cPorc);
    EXPECT_EQ(DBGridFindDlg(), nullptr) << "made on first use";
    TDBGridFindDlg* first = nullptr;
    withDialog([&](TDBGridFindDlg& d) {
        first = &d;
        EXPECT_EQ(d.Owner(), Application);
        EXPECT_EQ(d.Grid(), f.Grid);
        EXPECT_FALSE(f.Grid->IncSearchRunning());
        EXPECT_TRUE(d.Modal());
        EXPECT_EQ(d.Caption(), "Find text");
        EXPECT_EQ(d.ActiveControl(), d.cbText);
        EXPECT_TRUE(d.cbText->Focused());
        EXPECT_EQ(d.cbText->Text(), "") << "opened from the grid";
        EXPECT_TRUE(d.FirstTry());
        EXPECT_TRUE(center.Requests.empty()) << "nothing searched on opening";
        // The dialog takes the keys; the grid behind it follows each hit.
        Press(Typed("5"));
        Press(K(Qt::Key_Return));
        EXPECT_EQ(f.Data->RecNo(), 2) << "All: from the first record";
        Press(K(Qt::Key_Return));
        EXPECT_EQ(f.Data->RecNo(), 4) << "then on downwards";
        EXPECT_EQ(d.ModalResult(), mrNone) << "Find next leaves the dialog open";
        Press(K(Qt::Key_Escape));
    });
    EXPECT_EQ(first->ModalResult(), mrCancel) << "closed through bCancel";
    EXPECT_FALSE(first->Visible());
    EXPECT_TRUE(QTest::qWaitForWindowActive(f.Form->Widget()));
    EXPECT_TRUE(f.Grid->Focused());
    EXPECT_EQ(f.Data->RecNo(), 4) << "on the last cell found";
    EXPECT_EQ(f.Grid->SelectedIndex(), cPorc);
    EXPECT_TRUE(f.Env.Dialogs.Entries().empty()) << "no message, no beep";
    // The same dialog every time.
    withDialog([&](TDBGridFindDlg& d) { EXPECT_EQ(&d, first); });
}

TEST_F(GridFindDialogTest, ItsControlsAsTheFormDescriptionMakesThem) {
    struct ControlCase {
        const char* Name;
        QRect Bounds;
        std::string Caption;
        int TabOrder; // -1 for a label
        bool Visible;
    };
    const std::vector<ControlCase> cases = {
        {"cbText", {88, 9, 316, 21}, "", 0, true},
        {"cbFindIn", {88, 32, 192, 21}, "Porc", 1, true},
        {"cbMatchinType", {88, 55, 144, 21}, "From any part of field", 2, true},
        {"cbFindDirection", {88, 79, 144, 21}, "All", 3, true},
        {"cbCharCase", {88, 105, 144, 14}, "Match &Case", 4, true},
        {"cbUseFormat", {260, 105, 144, 14}, "Match F&ormat", 5, true},
        {"bFind", {413, 9, 82, 23}, "&Find next", 6, true},
        {"bCancel", {413, 37, 82, 22}, "Close", 7, true},
        {"dbcTreeFindRange", {88, 124, 145, 21}, "In all nodes", 8, false},
        {"Label1", {10, 12, -1, -1}, "Fi&nd What:", -1, true},
        {"Label2", {10, 35, -1, -1}, "Find &in:", -1, true},
        {"cbMatchType", {10, 58, -1, -1}, "Matc&h:", -1, true},
        {"Label3", {10, 82, -1, -1}, "Sea&rch:", -1, true},
        {"Label4", {10, 128, -1, -1}, "Find in Tree:", -1, false},
    };
    at(1, cPorc);
    withDialog([&](TDBGridFindDlg& d) {
        for (const ControlCase& c : cases) {
            auto* control = dynamic_cast<TControl*>(d.FindComponent(c.Name));
            ASSERT_NE(control, nullptr) << c.Name;
            EXPECT_EQ(control->Left(), c.Bounds.x()) << c.Name;
            EXPECT_EQ(control->Top(), c.Bounds.y()) << c.Name;
            if (c.TabOrder >= 0) {
                EXPECT_EQ(control->Width(), c.Bounds.width()) << c.Name;
                EXPECT_EQ(control->Height(), c.Bounds.height()) << c.Name;
                EXPECT_EQ(static_cast<TWinControl*>(control)->TabOrder(), c.TabOrder) << c.Name;
            }
            EXPECT_EQ(control->Caption(), c.Caption) << c.Name;
            EXPECT_EQ(control->Visible(), c.Visible) << c.Name;
        }
        EXPECT_EQ(d.Font().Height(), -10);
        EXPECT_EQ(d.ClientWidth(), 505);
        EXPECT_EQ(d.ClientHeight(), 124) << "without the tree row";
        EXPECT_EQ(d.BorderStyle(), bsDialog);
        EXPECT_EQ(d.Widget()->maximumSize(), QSize(505, 124));
        EXPECT_TRUE(d.KeyPreview());
        EXPECT_EQ(d.Position(), poScreenCenter);
        const QRect screen = d.Widget()->screen()->geometry();
        EXPECT_LE(std::abs(d.Widget()->frameGeometry().center().x() - screen.center().x()), 1);

        for (TDBComboBox* box : {d.cbText, d.cbFindIn})
            EXPECT_TRUE(box->DropDownRows() == 17 && box->DropDownSizable()) << box->Name();
        EXPECT_FALSE(d.cbText->PickOnly());
        for (TDBComboBox* box :
             {d.cbFindIn, d.cbMatchinType, d.cbFindDirection, d.dbcTreeFindRange})
            EXPECT_EQ(box->KeyItems().Lines(), box->Items().Lines()) << box->Name();
        EXPECT_EQ(itemsOf(d.cbMatchinType),
                  (std::vector<std::string>{"From any part of field", "Whole field",
                                            "From beging of field"}));
        EXPECT_EQ(itemsOf(d.cbFindDirection), (std::vector<std::string>{"Up", "Down", "All"}));
        EXPECT_EQ(itemsOf(d.dbcTreeFindRange),
                  (std::vector<std::string>{"In all nodes", "In expanded nodes", "In current level",
                                            "In current node"}));
        EXPECT_FALSE(d.cbCharCase->Checked());
        EXPECT_TRUE(d.cbUseFormat->Checked());
        EXPECT_TRUE(d.bCancel->Cancel());
        EXPECT_EQ(d.bCancel->ModalResult(), mrCancel);
        EXPECT_EQ(d.Label1->FocusControl(), d.cbText);
        EXPECT_EQ(d.cbMatchType->FocusControl(), d.cbMatchinType);

        // Tab goes round in that order; the hidden list is left out.
        std::vector<std::string> order;
        for (int i = 0; i < 9; ++i) {
            order.push_back(d.ActiveControl()->Name());
            Press(K(Qt::Key_Tab));
        }
        EXPECT_EQ(order, (std::vector<std::string>{"cbText", "cbFindIn", "cbMatchinType",
                                                   "cbFindDirection", "cbCharCase", "cbUseFormat",
                                                   "bFind", "bCancel", "cbText"}));
        // The access keys.
        const std::vector<std::pair<int, TWinControl*>> keys = {
            {Qt::Key_I, d.cbFindIn},
            {Qt::Key_H, d.cbMatchinType},
            {Qt::Key_R, d.cbFindDirection},
            {Qt::Key_N, d.cbText},
        };
        for (const auto& [key, control] : keys) {
            Press(Key{key, Qt::AltModifier, QString(QChar(key).toLower())});
            EXPECT_TRUE(control->Focused()) << control->Name();
        }
        Press(Key{Qt::Key_C, Qt::AltModifier, "c"});
        Press(Key{Qt::Key_O, Qt::AltModifier, "o"});
        EXPECT_TRUE(QTest::qWaitFor(
            [&] { return d.cbCharCase->Checked() && !d.cbUseFormat->Checked(); }, 5000));
        d.cbCharCase->SetChecked(false);
        d.cbUseFormat->SetChecked(true);
        d.cbText->SetFocus();
        Press(Typed("19"));
        GridForm::Save(d.Widget()->grab().toImage(), "find-dialog");
        ASSERT_TRUE(center.Requests.empty());
        Press(Key{Qt::Key_F, Qt::AltModifier, "f"});
        // The button shows itself pressed for a moment before it clicks.
        EXPECT_TRUE(QTest::qWaitFor([&] { return !center.Requests.empty(); }, 5000))
            << "Alt+F clicks Find next";
        EXPECT_EQ(center.Requests.size(), 1u);
        EXPECT_EQ(f.Data->RecNo(), 3) << "the rate 19 in Porc";
    });
}

TEST_F(GridFindDialogTest, EachOpeningRebuildsFindInAndKeepsTheOtherSettings) {
    at(1, cPorc);
    withDialog([&](TDBGridFindDlg& d) {
        EXPECT_EQ(itemsOf(d.cbFindIn),
                  (std::vector<std::string>{"F.Desde", "F.Hasta", "Porc", "Factor", "<All>"}));
        EXPECT_EQ(d.cbFindIn->Text(), "Porc") << "the grid's selected column";
        EXPECT_EQ(d.cbFindIn->ItemIndex(), 2);
        EXPECT_EQ(d.FindInColumns(), (std::vector<TDBGridColumn*>{
                                         f.Grid->Columns()[0], f.Grid->Columns()[1],
                                         f.Grid->Columns()[2], f.Grid->Columns()[3], nullptr}));
        Press(Typed("19"));
        Press(K(Qt::Key_Tab));
        Press(K(Qt::Key_Tab));
        Press(Typed("W"));
        Press(K(Qt::Key_Tab));
        Press(Typed("D"));
        Press(K(Qt::Key_Tab));
        Press(K(Qt::Key_Space));
        Press(K(Qt::Key_Tab));
        Press(K(Qt::Key_Space));
        Press(K(Qt::Key_Escape));
    });
    // F.Hasta hidden and Factor moved before Porc; the focus on Factor.
    f.Grid->Columns()[cFecFin]->SetVisible(false);
    TDBGridColumn* factor = f.Grid->Columns()[cFactor];
    factor->SetIndex(cPorc);
    f.Grid->SetSelectedIndex(factor->Index());
    withDialog([&](TDBGridFindDlg& d) {
        EXPECT_EQ(itemsOf(d.cbFindIn),
                  (std::vector<std::string>{"F.Desde", "Factor", "Porc", "<All>"}));
        EXPECT_EQ(d.cbFindIn->KeyItems().Lines(), itemsOf(d.cbFindIn));
        EXPECT_EQ(d.cbFindIn->Text(), "Factor");
        EXPECT_EQ(d.cbText->Text(), "");
        EXPECT_EQ(itemsOf(d.cbText), std::vector<std::string>{}) << "nothing searched yet";
        EXPECT_EQ(d.cbMatchinType->Text(), "Whole field");
        EXPECT_EQ(d.cbFindDirection->Text(), "Down");
        EXPECT_TRUE(d.cbCharCase->Checked());
        EXPECT_FALSE(d.cbUseFormat->Checked());
        EXPECT_TRUE(d.FirstTry());
        EXPECT_EQ(d.ClientHeight(), 124);
    });
    // A caller's list of columns that does not hold the selected one.
    TDBGridColumn* porc = f.Grid->Columns()[3];
    ASSERT_EQ(porc->Title().Caption(), "Porc");
    openedBy([&] { ExecuteDBGridFindDialog(*f.Grid, "0,8", {porc}, true); },
             [&](TDBGridFindDlg& d) {
                 EXPECT_EQ(itemsOf(d.cbFindIn), (std::vector<std::string>{"Porc", "<All>"}));
                 EXPECT_EQ(d.cbFindIn->Text(), "<All>");
                 EXPECT_EQ(d.cbText->Text(), "0,8");
             });
}

struct Asked {
    std::string FieldName;
    TLocateTextOptions Options;
    TLocateTextDirection Direction;
    TLocateTextMatchType Matching;
};

struct At {
    int Record, Column;
};

struct Cell {
    bool Found; // false: the grid stays where it was
    int Record, Column;
};

struct FindCase {
    const char* Name;
    At From;
    Settings Set;
    bool Ctrl; // held while clicking Find next
    Asked Ask; // what the dialog asks the text-locate operation for
    Cell To;
};

TEST_F(GridFindDialogTest, FindNextAsksForWhatTheDialogShowsAndTheGridGoesThere) {
    const TLocateTextOptions ci = ltoCaseInsensitive, fmt = ltoMatchFormat, all = ltoAllFields;
    const std::vector<FindCase> cases = {
        {"whole field, the displayed text of the factor",
         {1, cFactor},
         {"0,85", "", "W", "D", false, true},
         false,
         {"AJCI_FACTOR", ci | fmt, ltdDown, ltmWhole},
         {true, 2, cFactor}},
        {"whole field, the factor's plain value",
         {1, cFactor},
         {"0,85", "", "W", "D", false, false},
         false,
         {"AJCI_FACTOR", ci, ltdDown, ltmWhole},
         {true, 2, cFactor}},
        {"whole field is not a part",
         {1, cFactor},
         {"0,8", "", "W", "D"},
         false,
         {"AJCI_FACTOR", ci | fmt, ltdDown, ltmWhole},
         {true, 3, cFactor}},
        {"any part",
         {1, cFactor},
         {"0,8", "", "F", "D"},
         false,
         {"AJCI_FACTOR", ci | fmt, ltdDown, ltmAnywhere},
         {true, 2, cFactor}},
        {"another column than the grid's",
         {1, cFecIni},
         {"5", "Po", "W", "D"},
         false,
         {"AJCI_PORC", ci | fmt, ltdDown, ltmWhole},
         {true, 2, cPorc}},
        {"up from the first record finds nothing",
         {1, cPorc},
         {"0", "", "F", "U"},
         false,
         {"AJCI_PORC", ci | fmt, ltdUp, ltmAnywhere},
         {false, 1, cPorc}},
        {"up finds the nearest above",
         {5, cPorc},
         {"5", "", "W", "U"},
         false,
         {"AJCI_PORC", ci | fmt, ltdUp, ltmWhole},
         {true, 4, cPorc}},
        {"all, one column: from the first record",
         {5, cPorc},
         {"5", "", "W", "A"},
         false,
         {"AJCI_PORC", ci | fmt, ltdAll, ltmWhole},
         {true, 2, cPorc}},
        {"all with <All>: the first record's cells left of the column are skipped",
         {3, cPorc},
         {"01/01/2024", "<", "W", "A"},
         false,
         {"", ci | fmt | all, ltdAll, ltmWhole},
         {false, 3, cPorc}},
        {"all with <All>: right of it they are not",
         {3, cPorc},
         {"0", "<", "W", "A"},
         false,
         {"", ci | fmt | all, ltdAll, ltmWhole},
         {true, 1, cPorc}},
        {"Ctrl held: down searches up",
         {5, cPorc},
         {"5", "", "W", "D"},
         true,
         {"AJCI_PORC", ci | fmt, ltdUp, ltmWhole},
         {true, 4, cPorc}},
        {"Ctrl held: up searches down",
         {1, cPorc},
         {"5", "", "W", "U"},
         true,
         {"AJCI_PORC", ci | fmt, ltdDown, ltmWhole},
         {true, 2, cPorc}},
        {"Ctrl held: all searches up",
         {5, cPorc},
         {"5", "", "W", "A"},
         true,
         {"AJCI_PORC", ci | fmt, ltdUp, ltmWhole},
         {true, 4, cPorc}},
        {"empty text: any part never matches",
         {1, cPorc},
         {"", "", "F", "D"},
         false,
         {"AJCI_PORC", ci | fmt, ltdDown, ltmAnywhere},
         {false, 1, cPorc}},
        {"empty text: whole field finds the next empty cell",
         {1, cFecFin},
         {"", "", "W", "D"},
         false,
         {"AJCI_FECFIN", ci | fmt, ltdDown, ltmWhole},
         {true, 4, cFecFin}},
        {"empty text: from the beginning, the very next cell",
         {1, cPorc},
         {"", "", "From b", "D"},
         false,
         {"AJCI_PORC", ci | fmt, ltdDown, ltmFromBeginning},
         {true, 2, cPorc}},
        {"<All> with Match Case: the grid goes to the matching column",
         {1, cFecIni},
         {"5", "<", "W", "D", true},
         false,
         {"", fmt | all, ltdDown, ltmWhole},
         {true, 2, cPorc}},
    };
    for (const FindCase& c : cases) {
        SCOPED_TRACE(c.Name);
        at(c.From.Record, c.From.Column);
        center.Requests.clear();
        withDialog([&](TDBGridFindDlg& d) {
            fill(d, c.Set);
            ASSERT_TRUE(center.Requests.empty());
            if (c.Ctrl)
                clickThroughWindow(d.bFind, Qt::ControlModifier);
            else
                Press(K(Qt::Key_Return));
            ASSERT_EQ(center.Requests.size(), 1u);
            const TLocateTextRequest& r = center.Requests[0];
            EXPECT_EQ(r.Text, c.Set.Text);
            EXPECT_EQ(r.FieldName, c.Ask.FieldName);
            EXPECT_EQ(r.Options, c.Ask.Options);
            EXPECT_EQ(r.Direction, c.Ask.Direction);
            EXPECT_EQ(r.Matching, c.Ask.Matching);
            EXPECT_EQ(r.TreeFindRange, lttInAllNodes);
            EXPECT_EQ(d.FirstTry(), !c.To.Found) << "a hit clears the first try";
            EXPECT_EQ(f.Data->RecNo(), c.To.Record);
            EXPECT_EQ(f.Grid->SelectedIndex(), c.To.Column);
            EXPECT_EQ(d.ModalResult(), mrNone);
        });
        EXPECT_EQ(f.Data->RecNo(), c.To.Record);
        EXPECT_EQ(f.Grid->SelectedIndex(), c.To.Column);
    }
    EXPECT_TRUE(f.Env.Dialogs.Entries().empty()) << "no message, no beep, found or not";
}

TEST_F(GridFindDialogTest, AfterAHitFindNextGoesOnDownUntilTheTextColumnOrDirectionChanges) {
    at(1, cPorc);
    withDialog([&](TDBGridFindDlg& d) {
        fill(d, {"5", "", "W", "A"});
        auto findNext = [&](int record, bool firstTryAfter) {
            Press(K(Qt::Key_Return));
            EXPECT_EQ(f.Data->RecNo(), record);
            EXPECT_EQ(d.FirstTry(), firstTryAfter);
        };
        findNext(2, false); // All: from the first record
        findNext(4, false); // then down from the hit
        findNext(4, false); // and nothing after it, no wrap-around
        // The match type and the check boxes leave the first try as it is:
        // still down from the hit, not from the first record.
        Press(Key{Qt::Key_H, Qt::AltModifier, "h"});
        Press(Typed("From b"));
        ASSERT_EQ(d.cbMatchinType->Text(), "From beging of field");
        EXPECT_FALSE(d.FirstTry());
        d.cbCharCase->SetChecked(true);
        findNext(4, false);
        // The text changed and changed back: from the first record again.
        Press(Key{Qt::Key_N, Qt::AltModifier, "n"});
        d.cbText->SetText("55");
        d.cbText->SetText("5");
        EXPECT_TRUE(d.FirstTry());
        findNext(2, false);
        findNext(4, false);
        // The direction changed: so too.
        Press(Key{Qt::Key_R, Qt::AltModifier, "r"});
        Press(Typed("D"));
        Press(Typed("A"));
        EXPECT_TRUE(d.FirstTry());
        findNext(2, false);
        findNext(4, false);
        // The column changed: so too.
        Press(Key{Qt::Key_I, Qt::AltModifier, "i"});
        Press(Typed("F.H"));
        Press(Typed("Po"));
        EXPECT_TRUE(d.FirstTry());
        findNext(2, false);
        Press(K(Qt::Key_Escape));
    });
    // Opening again is a first try too.
    withDialog([&](TDBGridFindDlg& d) {
        EXPECT_TRUE(d.FirstTry());
        Press(Typed("5"));
        Press(K(Qt::Key_Return));
        EXPECT_EQ(f.Data->RecNo(), 2) << "All from the first record, not down from record 2";
    });
}

TEST_F(GridFindDialogTest, TheDialogKeys) {
    at(1, cPorc);
    withDialog([&](TDBGridFindDlg& d) {
        fill(d, {"5", "", "W", "D"});
        // Enter and Esc with a list dropped down only close the list.
        Press(Key{Qt::Key_R, Qt::AltModifier, "r"});
        Press(Key{Qt::Key_Down, Qt::AltModifier});
        ASSERT_TRUE(d.cbFindDirection->DroppedDown());
        Press(K(Qt::Key_Return));
        EXPECT_TRUE(QTest::qWaitFor([&] { return !d.cbFindDirection->DroppedDown(); }, 5000));
        Press(Key{Qt::Key_Down, Qt::AltModifier});
        ASSERT_TRUE(d.cbFindDirection->DroppedDown());
        Press(K(Qt::Key_Escape));
        EXPECT_TRUE(QTest::qWaitFor([&] { return !d.cbFindDirection->DroppedDown(); }, 5000));
        EXPECT_EQ(d.ModalResult(), mrNone);
        EXPECT_TRUE(center.Requests.empty());
        ASSERT_EQ(d.cbFindDirection->Text(), "Down");
        // Enter in a list, a check box or the text runs Find next, and
        // types nothing.
        for (TWinControl* control :
             std::initializer_list<TWinControl*>{d.cbFindDirection, d.cbUseFormat, d.cbText}) {
            control->SetFocus();
            Press(K(Qt::Key_Return));
        }
        EXPECT_EQ(center.Requests.size(), 3u);
        EXPECT_EQ(d.cbText->Text(), "5");
        EXPECT_EQ(f.Data->RecNo(), 4);
        // On Find next, Enter and Space press it once each.
        center.Requests.clear();
        d.bFind->SetFocus();
        Press(K(Qt::Key_Return));
        Press(K(Qt::Key_Space));
        EXPECT_EQ(center.Requests.size(), 2u);
        // On Close, Enter closes.
        d.bCancel->SetFocus();
        Press(K(Qt::Key_Return));
        EXPECT_EQ(d.ModalResult(), mrCancel) << "ends the modal loop";
        EXPECT_EQ(d.ModalResult(), mrCancel);
    });
    EXPECT_EQ(center.Requests.size(), 2u) << "closing searched nothing";
    // Esc closes through bCancel from wherever the focus is.
    withDialog([&](TDBGridFindDlg& d) {
        int closes = 0;
        const TNotifyEvent onClick = d.bCancel->OnClick;
        d.bCancel->OnClick = [&](TObject* sender) {
            ++closes;
            onClick(sender);
        };
        d.cbUseFormat->SetFocus();
        Press(K(Qt::Key_Escape));
        EXPECT_EQ(closes, 1);
        EXPECT_EQ(d.ModalResult(), mrCancel) << "ends the modal loop";
        d.bCancel->OnClick = onClick;
    });
}

TEST_F(GridFindDialogTest, WithoutAnActiveDatasetFindNextOnlyKeepsTheText) {
    withDialog([&](TDBGridFindDlg& d) {
        f.Data->Close();
        Press(Typed("x"));
        Press(K(Qt::Key_Return));
        EXPECT_EQ(itemsOf(d.cbText), std::vector<std::string>{"x"});
        EXPECT_TRUE(center.Requests.empty());
        EXPECT_EQ(d.ModalResult(), mrNone);
    });
    EXPECT_TRUE(f.Env.Dialogs.Entries().empty());
}

TEST_F(GridFindDialogTest, TheTextsSearchedStayOfferedUntilTheProgramEnds) {
    withDialog([&](TDBGridFindDlg& d) {
        for (const char* text : {"0,85", "abc", "ABC", "Ñandú", "ñANDÚ", "abc"}) {
            d.cbText->SetText(text);
            Press(K(Qt::Key_Return));
        }
        EXPECT_EQ(itemsOf(d.cbText), (std::vector<std::string>{"0,85", "abc", "Ñandú"}))
            << "compared without case";
        EXPECT_EQ(d.cbText->Text(), "abc");
    });
    withDialog([&](TDBGridFindDlg& d) {
        EXPECT_EQ(d.cbText->Text(), "");
        EXPECT_EQ(itemsOf(d.cbText), (std::vector<std::string>{"0,85", "abc", "Ñandú"}));
        // Chosen from the list, an earlier text is searched again.
        Press(Key{Qt::Key_Down, Qt::AltModifier});
        ASSERT_TRUE(d.cbText->DroppedDown());
        Press(K(Qt::Key_Home));
        Press(K(Qt::Key_Return));
        EXPECT_TRUE(QTest::qWaitFor([&] { return !d.cbText->DroppedDown(); }, 5000));
        EXPECT_EQ(d.cbText->Text(), "0,85");
    });
    // The program ends and starts again.
    app.reset();
    EXPECT_EQ(DBGridFindDlg(), nullptr) << "destroyed with the application object";
    startProgram();
    withDialog(
        [&](TDBGridFindDlg& d) { EXPECT_EQ(itemsOf(d.cbText), std::vector<std::string>{}); });
}

TEST_F(GridFindDialogTest, OpenedFromTheCellEditorTheTextIsTheEditorsSelection) {
    at(2, cFactor);
    // As this window sets the grid, Ctrl+F in the editor starts a search.
    Press(K(Qt::Key_F2));
    Press(K(Qt::Key_Home));
    Press(Key{Qt::Key_End, Qt::ShiftModifier});
    ASSERT_EQ(f.Grid->InplaceEditor()->SelText(), "0,85");
    withDialog([&](TDBGridFindDlg& d) { EXPECT_EQ(d.cbText->Text(), ""); });
    // Without the incremental search, the first Ctrl+F opens the dialog.
    TDBGridOptionsEx ex = f.Grid->OptionsEx();
    ex.erase(dghIncSearch);
    f.Grid->SetOptionsEx(ex);
    ASSERT_TRUE(QTest::qWaitForWindowActive(f.Form->Widget()));
    Press(K(Qt::Key_F2));
    Press(K(Qt::Key_Home));
    Press({Key{Qt::Key_Right, Qt::ShiftModifier}, Key{Qt::Key_Right, Qt::ShiftModifier}});
    ASSERT_TRUE(f.Grid->EditorShowing());
    openedBy([] { Press(Ctrl(Qt::Key_F)); },
             [&](TDBGridFindDlg& d) {
                 EXPECT_EQ(d.cbText->Text(), "0,");
                 ASSERT_EQ(d.cbFindIn->Text(), "Factor");
                 ASSERT_EQ(d.cbMatchinType->Text(), "From any part of field");
                 ASSERT_EQ(d.cbFindDirection->Text(), "All");
                 Press(K(Qt::Key_Return));
                 EXPECT_EQ(f.Data->RecNo(), 1) << "All: the first record's 0,8";
             });
}

} // namespace
