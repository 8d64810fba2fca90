// The grid's text-locate operation, through the shared behaviour object:
// which cell each request finds (column, direction, match, case, all
// columns), what a search that finds nothing leaves behind (the record, the
// window's rows, one repaint), an Esc waiting in line, a field no column
// shows, the registry of dataset features and the find dialog's hook.

#include "GridDatabaseFixture.h"

#include "data/TClientDataSet.h"
#include "data/TDataSource.h"
#include "data/TSQLQuery.h"
#include "grid/GridErrors.h"
#include "grid/TDBGridCenter.h"
#include "grid/TGridDataLink.h"
#include "support/CompanyDatabase.h"

#include <QApplication>
#include <QKeyEvent>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

namespace {

using gridtest::AdjustmentTableRows;
using gridtest::GridDatabaseForm;
using gridtest::GridForm;

// The sample company's chart of accounts in a grid of three columns (code,
// name, nature), ordered by code, read from the company database:
//   1 110505 Caja general                           D
//   2 130505 Clientes nacionales                    D
//   3 240805 IVA por pagar 5 %                      C
//   4 240810 IVA por pagar 19 %                     C
//   5 413501 Ventas excluidas de IVA                C
//   6 413505 Ventas gravadas al 5 %                 C
//   7 413519 Ventas gravadas al 19 %                C
//   8 413520 Ventas de servicios al 19 %            C
//   9 413521 Ventas de artículos importados al 19 % C
//  10 413595 Ajuste de cierre de ventas de contado  C
class AccountsGrid {
public:
    AccountsGrid() : Database(Folder.File("talvero.fdb")) {
        std::filesystem::copy_file(testsupport::CompanyDatabaseTemplate(), Database);
        Form = new TForm(nullptr);
        Form->SetClientWidth(500);
        Form->SetClientHeight(260);
        Grid = new TDBGrid(Form, Form);
        Grid->SetBounds(8, 8, 480, 200);
        TSQLConnection* connection = gridtest::NewCompanyConnection(Form, Database);
        auto* query = new TSQLQuery(Form);
        query->SetSQLConnection(connection);
        query->SQL().SetText("select CUEN_CODIGO, CUEN_NOMBRE, CUEN_NATURALEZA from CUENTA "
                             "order by CUEN_CODIGO");
        auto* provider = new TDataSetProvider(Form);
        provider->SetName("PCuentas");
        provider->SetDataSet(query);
        Data = new TClientDataSet(Form);
        Data->SetProviderName("PCuentas");
        auto* source = new TDataSource(Form);
        source->SetDataSet(Data);
        Grid->SetDataSource(source);
        Grid->SetOptionsEx(
            {dghFixed3D, dghHighlightFocus, dghEnterAsTab, dghIncSearch, dghDialogFind});
        for (const char* name : {"CUEN_CODIGO", "CUEN_NOMBRE", "CUEN_NATURALEZA"})
            Grid->Columns().Add()->SetFieldName(name);
        Data->Open();
    }
    ~AccountsGrid() { delete Form; }

    testsupport::TempDir Folder;
    std::string Database;
    guitest::DialogAndSettings Env;
    TForm* Form = nullptr;
    TDBGrid* Grid = nullptr;
    TClientDataSet* Data = nullptr;
};

TLocateTextRequest request(std::string text, TLocateTextOptions options,
                           TLocateTextDirection direction, TLocateTextMatchType matching,
                           std::string fieldName = {}) {
    TLocateTextRequest r;
    r.FieldName = std::move(fieldName);
    r.Text = std::move(text);
    r.Options = options;
    r.Direction = direction;
    r.Matching = matching;
    return r;
}

struct LocateCase {
    const char* Name;
    int StartRecord;
    int StartColumn;
    TLocateTextRequest Request;
    bool Found;
    int Record; // where the grid stands afterwards
    int Column;
};

TEST(GridTextLocateTest, EachRequestFindsTheCellItShould) {
    const TLocateTextOptions ci = ltoCaseInsensitive | ltoMatchFormat;
    const TLocateTextOptions cs = ltoMatchFormat;
    const std::vector<LocateCase> cases = {
        {"any part, without case", 1, 1, request("ventas", ci, ltdDown, ltmAnywhere), true, 5, 1},
        {"any part, with case: no upper-case VENTAS", 1, 1,
         request("VENTAS", cs, ltdDown, ltmAnywhere), false, 1, 1},
        {"any part, with case, continues after the current record", 5, 1,
         request("Ventas", cs, ltdDown, ltmAnywhere), true, 6, 1},
        {"the locale's upper case of an accented letter", 1, 1,
         request("ARTÍCULOS", ci, ltdDown, ltmAnywhere), true, 9, 1},
        {"whole field down never finds the current cell", 1, 1,
         request("Caja general", ci, ltdDown, ltmWhole), false, 1, 1},
        {"whole field, all: from the first record", 4, 1,
         request("caja GENERAL", ci, ltdAll, ltmWhole), true, 1, 1},
        {"whole field is not a prefix", 1, 1, request("Caja", ci, ltdAll, ltmWhole), false, 1, 1},
        {"from the beginning", 1, 1, request("ventas g", ci, ltdAll, ltmFromBeginning), true, 6, 1},
        {"from the beginning is not any part", 1, 1,
         request("gravadas", ci, ltdAll, ltmFromBeginning), false, 1, 1},
        {"up from the first record finds nothing", 1, 1, request("Caja", ci, ltdUp, ltmAnywhere),
         false, 1, 1},
        {"up finds the nearest above", 9, 1, request("IVA", cs, ltdUp, ltmAnywhere), true, 5, 1},
        {"no wrap-around going down", 9, 1, request("Caja", ci, ltdDown, ltmAnywhere), false, 9, 1},
        {"empty text: any part never matches", 1, 1, request("", ci, ltdDown, ltmAnywhere), false,
         1, 1},
        {"empty text: whole field, no empty cell", 1, 1, request("", ci, ltdDown, ltmWhole), false,
         1, 1},
        {"empty text: from the beginning, the very next cell", 3, 1,
         request("", ci, ltdDown, ltmFromBeginning), true, 4, 1},
        {"a field name searches its column", 1, 0,
         request("Clientes", ci, ltdAll, ltmFromBeginning, "cuen_nombre"), true, 2, 1},
        {"the selected column by default", 1, 0, request("2408", ci, ltdAll, ltmFromBeginning),
         true, 3, 0},
        {"one column: the nature is not in the name column", 1, 1,
         request("D", ci, ltdDown, ltmWhole), false, 1, 1},
        {"all columns, down: the column after the current one", 1, 1,
         request("D", ci | ltoAllFields, ltdDown, ltmWhole), true, 1, 2},
        {"all columns, down: on into the next record", 2, 2,
         request("240805", ci | ltoAllFields, ltdDown, ltmWhole), true, 3, 0},
        {"all columns, all: the first record's cells left of the start are skipped", 5, 1,
         request("110505", ci | ltoAllFields, ltdAll, ltmWhole), false, 5, 1},
        {"all columns, all: right of the start they are not", 5, 1,
         request("D", ci | ltoAllFields, ltdAll, ltmWhole), true, 1, 2},
        {"all columns, up: the previous record's last column", 3, 0,
         request("D", ci | ltoAllFields, ltdUp, ltmWhole), true, 2, 2},
        {"all columns, up on the first record: its cells to the left", 1, 2,
         request("110505", ci | ltoAllFields, ltdUp, ltmWhole), true, 1, 0},
        {"all columns, down on the last record: its cells to the right", 10, 0,
         request("C", ci | ltoAllFields, ltdDown, ltmWhole), true, 10, 2},
    };
    AccountsGrid g;
    for (const LocateCase& c : cases) {
        g.Data->SetRecNo(c.StartRecord);
        g.Grid->SetSelectedIndex(c.StartColumn);
        ASSERT_EQ(g.Grid->SelectedIndex(), c.StartColumn) << c.Name;
        EXPECT_EQ(g.Grid->LocateText(c.Request), c.Found) << c.Name;
        EXPECT_EQ(g.Data->RecNo(), c.Record) << c.Name;
        EXPECT_EQ(g.Grid->SelectedIndex(), c.Column) << c.Name;
    }
}

TEST(GridTextLocateTest, ThePlainValueOrTheDisplayedText) {
    GridDatabaseForm f(
        {"1, '2024-01-05', '2024-01-31', 19, 0.8", "2, '2024-02-05', null, 5, 0.85"});
    f.Grid->SetSelectedIndex(3);
    // The factor shows with the user's decimal comma; its plain value is
    // the same text, and the date column shows what AsString gives.
    EXPECT_TRUE(f.Grid->LocateText(request("0,85", ltoMatchFormat, ltdAll, ltmWhole)));
    EXPECT_EQ(f.Data->RecNo(), 2);
    EXPECT_TRUE(f.Grid->LocateText(request("0,8", 0, ltdAll, ltmWhole)));
    EXPECT_EQ(f.Data->RecNo(), 1);
    // A null end date is an empty cell either way.
    f.Grid->SetSelectedIndex(1);
    EXPECT_TRUE(f.Grid->LocateText(request("", 0, ltdAll, ltmWhole)));
    EXPECT_EQ(f.Data->RecNo(), 2);
}

TEST(GridTextLocateTest, AFieldNameNoVisibleColumnShowsIsAnError) {
    GridDatabaseForm f;
    try {
        f.Grid->LocateText(request("1", 0, ltdAll, ltmAnywhere, "AJCI_ID"));
        FAIL() << "AJCI_ID has no column";
    } catch (const EInvalidGridOperation& e) {
        EXPECT_STREQ(e.what(), "Field name 'AJCI_ID' not found");
    }
    f.Grid->Columns()[3]->SetVisible(false);
    EXPECT_THROW(f.Grid->LocateText(request("0", 0, ltdAll, ltmAnywhere, "AJCI_FACTOR")),
                 EInvalidGridOperation);
    EXPECT_FALSE(f.Grid->LocateText(request("0", 0, ltdAll, ltmAnywhere, "ajci_porc")))
        << "field names are compared without case";
}

TEST(GridTextLocateTest, NothingToSearchIsNotFound) {
    GridDatabaseForm closed;
    closed.Data->Close();
    EXPECT_FALSE(closed.Grid->LocateText(request("", 0, ltdAll, ltmFromBeginning)));
    GridDatabaseForm noColumns;
    for (int i = 0; i < noColumns.Grid->Columns().Count(); ++i)
        noColumns.Grid->Columns()[i]->SetVisible(false);
    EXPECT_FALSE(noColumns.Grid->LocateText(request("", 0, ltdAll, ltmFromBeginning)));
    GridDatabaseForm empty(std::vector<std::string>{});
    EXPECT_FALSE(empty.Grid->LocateText(request("", 0, ltdAll, ltmFromBeginning)));
}

// Counts what a data link is told.
class RecordingLink : public TDataLink {
public:
    int Changed = 0, Scrolled = 0, Records = 0;

protected:
    void DataSetChanged() override { ++Changed; }
    void DataSetScrolled(int) override { ++Scrolled; }
    void RecordChanged(TField*) override { ++Records; }
};

TEST(GridTextLocateTest, NotFoundLeavesTheRecordAndTheRowsAsTheyWereAndRepaintsOnce) {
    GridDatabaseForm f(AdjustmentTableRows(40));
    f.Show();
    const int visible = f.Grid->VisibleRowCount();
    ASSERT_GE(visible, 4);
    // Record 30, two rows above the bottom of the window.
    f.Data->SetRecNo(30);
    f.Data->MoveBy(visible);
    f.Data->MoveBy(-2);
    const int recNo = f.Data->RecNo();
    const int row = f.Grid->Row();
    const std::string top = f.Grid->CellText(1, 1);
    ASSERT_NE(row, 1);

    RecordingLink link;
    link.SetDataSource(f.Source);
    for (TLocateTextDirection d : {ltdAll, ltdDown, ltdUp}) {
        link.Changed = link.Scrolled = link.Records = 0;
        EXPECT_FALSE(f.Grid->LocateText(request("nowhere", ltoCaseInsensitive, d, ltmAnywhere)));
        EXPECT_EQ(f.Data->RecNo(), recNo);
        EXPECT_EQ(f.Grid->Row(), row) << "the current record in the same row";
        EXPECT_EQ(f.Grid->CellText(1, 1), top) << "the same record in the top row";
        EXPECT_EQ(link.Changed, 1) << "one change, when the controls come back";
        EXPECT_EQ(link.Scrolled, 0);
        EXPECT_EQ(link.Records, 0);
    }
    EXPECT_TRUE(f.Env.Dialogs.Entries().empty()) << "no message and no beep";
}

TEST(GridTextLocateTest, AFoundRecordIsShownAfterOneChange) {
    GridDatabaseForm f(AdjustmentTableRows(40));
    f.Show();
    RecordingLink link;
    link.SetDataSource(f.Source);
    f.Grid->SetSelectedIndex(2);
    EXPECT_TRUE(f.Grid->LocateText(request("33", 0, ltdAll, ltmWhole)));
    EXPECT_EQ(f.Data->RecNo(), 33);
    EXPECT_EQ(f.Grid->CellText(3, f.Grid->Row()), "33");
    EXPECT_EQ(link.Changed, 1);
    EXPECT_EQ(link.Scrolled, 0);
}

TEST(GridTextLocateTest, AnEscWaitingStopsTheSearchAndStaysInLine) {
    GridDatabaseForm f(AdjustmentTableRows(40));
    f.Show();
    std::vector<uint16_t> keys;
    f.Grid->OnKeyDown = [&](TObject*, uint16_t& key, TShiftState) { keys.push_back(key); };
    f.Grid->SetSelectedIndex(2);
    const TLocateTextRequest far = request("39", ltoStopOnEsc, ltdAll, ltmWhole);

    QApplication::postEvent(
        f.Grid->Widget(), new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier, "\x1b"));
    EXPECT_FALSE(f.Grid->LocateText(far));
    EXPECT_EQ(f.Data->RecNo(), 1);
    EXPECT_TRUE(keys.empty()) << "the key waited while the search ran";
    GridForm::Settle();
    EXPECT_EQ(keys, std::vector<uint16_t>{VK_ESCAPE}) << "and came after it";

    // Another key does not stop it, and without the option Esc does not.
    QApplication::postEvent(f.Grid->Widget(),
                            new QKeyEvent(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a"));
    EXPECT_TRUE(f.Grid->LocateText(far));
    EXPECT_EQ(f.Data->RecNo(), 39);
    f.Data->First();
    QApplication::postEvent(
        f.Grid->Widget(), new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier, "\x1b"));
    EXPECT_TRUE(f.Grid->LocateText(request("39", 0, ltdAll, ltmWhole)));
    GridForm::Settle();
}

TEST(GridTextLocateTest, ARecordInEditIsPostedByTheFirstMove) {
    GridDatabaseForm f(AdjustmentTableRows(5));
    f.Data->Edit();
    f.Fields.Factor->SetAsString("0,5");
    f.Grid->SetSelectedIndex(2);
    EXPECT_TRUE(f.Grid->LocateText(request("4", 0, ltdDown, ltmWhole)));
    EXPECT_EQ(f.Data->State(), dsBrowse);
    f.Data->First();
    EXPECT_EQ(f.Fields.Factor->AsString(), "0,5");
}

// A feature that serves one dataset class, recording its calls.
class RecordingFeature : public TDataSetTextLocateFeature {
public:
    int Calls = 0;
    bool LocateText(TCustomDBGrid& grid, const TLocateTextRequest& request) override {
        ++Calls;
        return GenericLocateText(grid, request);
    }
};

TEST(GridTextLocateTest, DatasetFeaturesAreAskedFirstAndNoneServesTheClientDataset) {
    GridDatabaseForm f(AdjustmentTableRows(5));
    EXPECT_EQ(FindDataSetTextLocateFeature(*f.Data), nullptr);
    auto feature = std::make_shared<RecordingFeature>();
    RegisterDataSetTextLocateFeature(
        [](const TDataSet& ds) { return dynamic_cast<const TClientDataSet*>(&ds) != nullptr; },
        feature);
    EXPECT_EQ(FindDataSetTextLocateFeature(*f.Data), feature.get());
    f.Grid->SetSelectedIndex(2);
    EXPECT_TRUE(f.Grid->LocateText(request("3", 0, ltdAll, ltmWhole)));
    EXPECT_EQ(feature->Calls, 1);
    UnregisterDataSetTextLocateFeature(feature.get());
    EXPECT_EQ(FindDataSetTextLocateFeature(*f.Data), nullptr);
    EXPECT_TRUE(f.Grid->LocateText(request("5", 0, ltdAll, ltmWhole)));
    EXPECT_EQ(feature->Calls, 1);
    EXPECT_EQ(f.Data->RecNo(), 5);
}

// A behaviour object of a program's own: the grid goes through it.
class RecordingCenter : public TDBGridCenter {
public:
    std::vector<std::string> Texts;
    bool LocateText(TCustomDBGrid& grid, const TLocateTextRequest& request) override {
        Texts.push_back(request.Text);
        return TDBGridCenter::LocateText(grid, request);
    }
};

TEST(GridTextLocateTest, TheGridGoesThroughTheSharedObject) {
    GridDatabaseForm f(AdjustmentTableRows(5));
    RecordingCenter center;
    TDBGridCenter* previous = SetDBGridCenter(&center);
    EXPECT_EQ(&DBGridCenter(), &center);
    f.Grid->SetSelectedIndex(2);
    EXPECT_TRUE(f.Grid->LocateText(request("2", 0, ltdAll, ltmWhole)));
    SetDBGridCenter(previous);
    EXPECT_EQ(center.Texts, std::vector<std::string>{"2"});
    EXPECT_NE(&DBGridCenter(), &center);
}

TEST(GridTextLocateTest, TheFindDialogOpensThroughTheHookModal) {
    GridDatabaseForm f;
    struct Call {
        TCustomDBGrid* Grid;
        std::string Text;
        size_t Columns;
        bool Modal;
    };
    std::vector<Call> calls;
    ExecuteDBGridFindDialogProc = [&](TCustomDBGrid& grid, const std::string& text,
                                      const std::vector<TDBGridColumn*>& columns, bool modal) {
        calls.push_back({&grid, text, columns.size(), modal});
    };
    f.Grid->ExecuteFindDialog("0,8");
    ExecuteDBGridFindDialogProc = nullptr;
    f.Grid->ExecuteFindDialog("nothing set: nothing shown");
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].Grid, f.Grid);
    EXPECT_EQ(calls[0].Text, "0,8");
    EXPECT_EQ(calls[0].Columns, 0u);
    EXPECT_TRUE(calls[0].Modal);
    EXPECT_TRUE(f.Env.Dialogs.Entries().empty());
}

} // namespace
