// The closing-adjustment editor on a real company database: F5 builds the
// start date's rows and shows them, F5 again writes them back, F2 writes
// them and posts, Esc drops them; refusals of the database and of the
// required key.

#include "CompanyWindowFixture.h"

#include "grid/TDBGridInplaceEdit.h"
#include "grid/TEditButtonControl.h"
#include "grid/TPopupMonthCalendar.h"
#include "platform/DateUtils.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QPainter>
#include <QTest>

using companytest::kAdjustmentRows;
using companytest::Rows;
using companytest::TypeText;
using guitest::PressKey;

namespace {

std::string focusedName(Tfcontavtascontado* w) {
    TWinControl* a = w->ActiveControl();
    return a && a->Focused() ? a->Name() : "(none)";
}

// CAjuste's shown rows as "fecini|fecfin|porc|factor" in view order, its
// position kept.
std::vector<std::string> shownRows(Tfcontavtascontado* w) {
    std::vector<std::string> rows;
    TClientDataSet* c = w->CAjuste;
    const TBookmark here = c->Bookmark();
    c->DisableControls();
    for (c->First(); !c->Eof(); c->Next())
        rows.push_back(c->FieldByName("AJCI_FECINI")->AsString() + "|" +
                       c->FieldByName("AJCI_FECFIN")->AsString() + "|" +
                       c->FieldByName("AJCI_PORC")->AsString() + "|" +
                       c->FieldByName("AJCI_FACTOR")->AsString());
    c->SetBookmark(here);
    c->EnableControls();
    return rows;
}

const std::vector<std::string> kBuiltMarch{"01/03/2016|31/03/2016|19|0,8",
                                           "01/03/2016|31/03/2016|5|0,8",
                                           "01/03/2016|31/03/2016|0|0,8"};

} // namespace

class EditorTest : public CompanyWindowTest {
protected:
    // The window shown and connected, with the prefix (typed first: leaving
    // Pref connects again and puts the dates back to today) and the dates of
    // March 2016.
    Tfcontavtascontado* openMarch(int lastDay = 31, const std::string& prefix = "") {
        Tfcontavtascontado* w = showWindow();
        connectAsUser(w, "SYSDBA", "x", "01");
        if (!prefix.empty()) {
            w->Pref->SetFocus();
            TypeText(prefix);
        }
        typeDate(w->EFecIni, 2016, 3, 1);
        typeDate(w->EFecFin, 2016, 3, lastDay);
        w->EFecIni->SetFocus();
        return w;
    }
    void exec(const std::string& sql) { reader().Execute(sql, TParams()); }
};

TEST_F(EditorTest, F5BuildsOneRowPerRateWithTheFactorAndShowsTheGridOnTheLastRow) {
    Tfcontavtascontado* w = openMarch();
    PressKey(Qt::Key_F5);

    EXPECT_TRUE(env.Dialogs.Boxes().empty());
    EXPECT_TRUE(w->CaptionPanel1->Visible());
    EXPECT_TRUE(w->DBGrid2->Showing());
    EXPECT_EQ(focusedName(w), "DBGrid2");
    // On the last row, which Last leaves at the end.
    EXPECT_EQ(w->CAjuste->RecNo(), 3);
    EXPECT_TRUE(w->CAjuste->Eof());
    // Five tariffs, three rates to four decimals: 0, 5 and the three 19s.
    // The rates come in ascending order and each new row goes in before the
    // current one, the row built just before.
    EXPECT_EQ(shownRows(w), kBuiltMarch);
    EXPECT_EQ(w->CAjuste->Filter(), "AJCI_FECINI = '01/03/2016'");
    EXPECT_TRUE(w->CAjuste->Filtered());
    EXPECT_EQ(w->CAjusteAJCI_ID->AsInteger(), 0);
    // The grid shows them under the fields' labels.
    EXPECT_EQ(w->DBGrid2->Columns().Items(0)->Title().Caption(), "F.Desde");
    EXPECT_EQ(w->DBGrid2->CellText(3, 1), "19");
    EXPECT_EQ(w->DBGrid2->CellText(3, 3), "0");
    EXPECT_EQ(w->DBGrid2->CellText(4, 3), "0,8");
    EXPECT_EQ(w->DBGrid2->Row(), 3);
    // Nothing is written before the editor closes.
    EXPECT_EQ(Rows(reader(), kAdjustmentRows), std::vector<std::string>{});
}

TEST_F(EditorTest, F5AgainWritesTheRowsAndClosesTheEditor) {
    Tfcontavtascontado* w = openMarch();
    PressKey(Qt::Key_F5);
    PressKey(Qt::Key_F5);
    EXPECT_TRUE(env.Dialogs.Boxes().empty());
    EXPECT_FALSE(w->CaptionPanel1->Visible());
    EXPECT_FALSE(w->CAjuste->Active());
    EXPECT_TRUE(w->Showing());
    EXPECT_EQ(
        Rows(reader(), kAdjustmentRows),
        (std::vector<std::string>{"2016-03-01|2016-03-31|0|0.8", "2016-03-01|2016-03-31|5|0.8",
                                  "2016-03-01|2016-03-31|19|0.8"}));
    // The keys come from the table's sequence, not the 0 the editor sends.
    EXPECT_EQ(Rows(reader(), "select count(*) from AJUSTE_CIERRE where AJCI_ID > 0"),
              std::vector<std::string>{"3"});

    // A second build in the same run rebuilds the same rows.
    PressKey(Qt::Key_F5);
    EXPECT_EQ(shownRows(w), kBuiltMarch);
    PressKey(Qt::Key_F5);
    EXPECT_EQ(Rows(reader(), kAdjustmentRows).size(), 3u);
    EXPECT_TRUE(env.Dialogs.Boxes().empty());
}

TEST_F(EditorTest, ReopeningAPeriodRewritesItsEditedFactorsToTheStartingOne) {
    exec("insert into AJUSTE_CIERRE values (1, '2016-03-01', '2016-03-15', 19, 0.5)");
    exec("insert into AJUSTE_CIERRE values (2, '2016-03-01', '2016-03-15', 5, 0.65)");
    exec("insert into AJUSTE_CIERRE values (3, '2016-03-01', '2016-03-15', 7, 0.9)");
    exec("insert into AJUSTE_CIERRE values (4, '2016-02-01', '2016-02-29', 19, 0.3)");
    Tfcontavtascontado* w = openMarch(20);
    PressKey(Qt::Key_F5);
    // The period's rows are replaced: the rate no tariff has goes.
    EXPECT_EQ(shownRows(w), (std::vector<std::string>{"01/03/2016|20/03/2016|19|0,8",
                                                      "01/03/2016|20/03/2016|5|0,8",
                                                      "01/03/2016|20/03/2016|0|0,8"}));
    PressKey(Qt::Key_F5);
    EXPECT_TRUE(env.Dialogs.Boxes().empty());
    EXPECT_EQ(
        Rows(reader(), kAdjustmentRows),
        (std::vector<std::string>{"2016-02-01|2016-02-29|19|0.3", "2016-03-01|2016-03-20|0|0.8",
                                  "2016-03-01|2016-03-20|5|0.8", "2016-03-01|2016-03-20|19|0.8"}));
}

TEST_F(EditorTest, WithoutTariffsF5DeletesThePeriodsRows) {
    exec("delete from FACTURA_VENTA_DET");
    exec("delete from TARIFA_IVA");
    exec("insert into AJUSTE_CIERRE values (1, '2016-03-01', '2016-03-31', 19, 0.5)");
    exec("insert into AJUSTE_CIERRE values (2, '2016-04-01', '2016-04-30', 19, 0.5)");
    Tfcontavtascontado* w = openMarch();
    PressKey(Qt::Key_F5);
    EXPECT_TRUE(w->CaptionPanel1->Visible());
    EXPECT_TRUE(w->CAjuste->IsEmpty());
    EXPECT_EQ(Rows(reader(), kAdjustmentRows).size(), 2u);
    PressKey(Qt::Key_F5);
    EXPECT_TRUE(env.Dialogs.Boxes().empty());
    EXPECT_EQ(Rows(reader(), kAdjustmentRows),
              std::vector<std::string>{"2016-04-01|2016-04-30|19|0.5"});
}

TEST_F(EditorTest, F2WithTheEditorOpenWritesItsRowsAndPostsWithThem) {
    const int days = daysToPost("FV", "2016-03-01", "2016-03-31");
    Tfcontavtascontado* w = openMarch(31, "FV");
    PressKey(Qt::Key_F5);
    ASSERT_TRUE(w->CaptionPanel1->Visible());
    PressKey(Qt::Key_F2);

    EXPECT_TRUE(app->Terminated());
    EXPECT_TRUE(env.Dialogs.Boxes().empty());
    EXPECT_EQ(
        Rows(reader(), kAdjustmentRows),
        (std::vector<std::string>{"2016-03-01|2016-03-31|0|0.8", "2016-03-01|2016-03-31|5|0.8",
                                  "2016-03-01|2016-03-31|19|0.8"}));
    EXPECT_EQ(voucherCount(), days);
    // With a factor below 1 part of the income goes to the adjustment
    // account.
    EXPECT_NE(companytest::Value(reader(), "select count(*) from MOVIMIENTO "
                                           "where MOVI_CUENTA = '413595' and MOVI_CREDITO > 0"),
              "0");
}

TEST_F(EditorTest, EscWithTheEditorOpenEndsTheProgramWithoutWriting) {
    exec("insert into AJUSTE_CIERRE values (1, '2016-03-01', '2016-03-31', 19, 0.5)");
    Tfcontavtascontado* w = openMarch();
    PressKey(Qt::Key_F5);
    ASSERT_TRUE(w->CaptionPanel1->Visible());
    PressKey(Qt::Key_Escape);
    EXPECT_TRUE(app->Terminated());
    EXPECT_FALSE(w->Showing());
    app.reset();
    fcontavtascontado = nullptr;
    EXPECT_EQ(Rows(reader(), kAdjustmentRows),
              std::vector<std::string>{"2016-03-01|2016-03-31|19|0.5"});
    EXPECT_TRUE(env.Dialogs.Boxes().empty());
}

TEST_F(EditorTest, ARefusedApplyWithF5IsShownLoggedAndLeavesTheDatabaseAsItWas) {
    // A rate may appear once in the whole table: the new 19 of March
    // collides with February's.
    exec("insert into AJUSTE_CIERRE values (1, '2016-02-01', '2016-02-29', 19, 0.3)");
    exec("insert into AJUSTE_CIERRE values (2, '2016-03-01', '2016-03-31', 5, 0.5)");
    exec("alter table AJUSTE_CIERRE add constraint UQ_AJCI_PORC unique (AJCI_PORC)");
    const auto before = companytest::TableContents(reader());

    Tfcontavtascontado* w = openMarch();
    PressKey(Qt::Key_F5);
    ASSERT_TRUE(env.Dialogs.Boxes().empty());
    PressKey(Qt::Key_F5);

    const std::vector<TDialogBox> boxes = env.Dialogs.Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].kind, TDialogBox::MessageDlg);
    EXPECT_EQ(boxes[0].Title, "Error");
    EXPECT_EQ(boxes[0].Text, "Ya existe el registro en la tabla Ajuste");
    EXPECT_EQ(env.Dialogs.BeepCount(), 1);
    EXPECT_FALSE(w->CaptionPanel1->Visible());
    EXPECT_FALSE(w->CAjuste->Active());
    EXPECT_EQ(companytest::TableContents(reader()), before);
    const std::string log = testsupport::ReadFile(installation() + "/ERRORES.TXT");
    EXPECT_NE(log.find(",SYSDBA,SQL Server Error: violation of PRIMARY or UNIQUE KEY constraint "
                       "\"UQ_AJCI_PORC\""),
              std::string::npos)
        << log;
}

TEST_F(EditorTest, ARefusedApplyWithF2KeepsWhatWasWrittenBeforeItAndPostsAllTheSame) {
    exec("insert into AJUSTE_CIERRE values (1, '2016-02-01', '2016-02-29', 19, 0.3)");
    exec("alter table AJUSTE_CIERRE add constraint UQ_AJCI_PORC unique (AJCI_PORC)");
    openMarch(31, "FV");
    PressKey(Qt::Key_F5);
    PressKey(Qt::Key_F2);

    const std::vector<TDialogBox> boxes = env.Dialogs.Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].Text, "Ya existe el registro en la tabla Ajuste");
    EXPECT_TRUE(app->Terminated());
    EXPECT_GT(voucherCount(), 0);
    // The rows applied before the refused one stay; the 19 does not.
    const std::vector<std::string> rows = Rows(reader(), kAdjustmentRows);
    EXPECT_EQ(std::count(rows.begin(), rows.end(), "2016-02-01|2016-02-29|19|0.3"), 1);
    EXPECT_EQ(std::count(rows.begin(), rows.end(), "2016-03-01|2016-03-31|19|0.8"), 0);
    EXPECT_EQ(std::count(rows.begin(), rows.end(), "2016-03-01|2016-03-31|0|0.8"), 1);
    EXPECT_EQ(std::count(rows.begin(), rows.end(), "2016-03-01|2016-03-31|5|0.8"), 1);
}

// F2 writes the editor's rows, which the database keys itself, and the
// posting run then fails, so the window stays with CAjuste open. The next
// F5 must rebuild the period from the rows the database holds and write it
// exactly once.
TEST_F(EditorTest, F5AfterAnF2WhosePostingFailedRebuildsAndWritesThePeriodOnce) {
    exec("create exception E_SIN_COMPROBANTES 'No se admiten comprobantes'");
    exec("create trigger SIN_COMPROBANTES for COMPROBANTE before insert as "
         "begin exception E_SIN_COMPROBANTES; end");
    Tfcontavtascontado* w = openMarch(31, "FV");
    PressKey(Qt::Key_F5);
    PressKey(Qt::Key_F2);
    std::vector<TDialogBox> boxes = env.Dialogs.Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].kind, TDialogBox::Exception);
    EXPECT_NE(boxes[0].Text.find("No se admiten comprobantes"), std::string::npos) << boxes[0].Text;
    ASSERT_FALSE(app->Terminated());
    ASSERT_EQ(Rows(reader(), kAdjustmentRows).size(), 3u);
    env.Dialogs.Clear();

    w->EFecIni->SetFocus();
    PressKey(Qt::Key_F5);
    ASSERT_TRUE(w->CaptionPanel1->Visible());
    EXPECT_EQ(shownRows(w), kBuiltMarch);
    // The grid cannot be edited by keys yet: the factors are set through the
    // dataset's fields, as the grid's editor will.
    for (const auto& [rate, factor] : {std::pair{19, "0,75"}, std::pair{5, "0,65"}}) {
        ASSERT_TRUE(w->CAjuste->Locate("AJCI_PORC", Variant(Currency{rate * 10000}), 0));
        w->CAjuste->Edit();
        w->CAjusteAJCI_FACTOR->SetAsString(factor);
        w->CAjuste->Post();
    }
    PressKey(Qt::Key_F5);

    EXPECT_TRUE(env.Dialogs.Boxes().empty())
        << (env.Dialogs.Boxes().empty() ? "" : env.Dialogs.Boxes()[0].Text);
    EXPECT_FALSE(w->CaptionPanel1->Visible());
    EXPECT_FALSE(w->CAjuste->Active());
    EXPECT_EQ(
        Rows(reader(), kAdjustmentRows),
        (std::vector<std::string>{"2016-03-01|2016-03-31|0|0.8", "2016-03-01|2016-03-31|5|0.65",
                                  "2016-03-01|2016-03-31|19|0.75"}));
    EXPECT_EQ(Rows(reader(), "select count(distinct AJCI_ID) from AJUSTE_CIERRE"),
              std::vector<std::string>{"3"});
}

// A build that an error ended applied nothing: the next F5 goes on with
// what the dataset holds, without reading the table again.
TEST_F(EditorTest, AfterABuildThatAnErrorEndedF5WorksOnWhatTheDatasetHolds) {
    exec("insert into AJUSTE_CIERRE values (1, '2016-03-01', '2016-03-31', 19, 0.5)");
    Tfcontavtascontado* w = openMarch();
    w->PAjuste->SetOptions({poDisableDeletes});
    PressKey(Qt::Key_F5);
    ASSERT_EQ(env.Dialogs.Boxes().size(), 1u);
    ASSERT_TRUE(w->CAjuste->Active());
    // Written by someone else meanwhile: not among the rows held.
    exec("insert into AJUSTE_CIERRE values (2, '2016-03-01', '2016-03-31', 7, 0.9)");

    w->PAjuste->SetOptions({});
    w->EFecIni->SetFocus();
    PressKey(Qt::Key_F5);
    EXPECT_EQ(env.Dialogs.Boxes().size(), 2u);
    EXPECT_EQ(env.Dialogs.Boxes().back().Text, "Deletes are not allowed");
    EXPECT_EQ(shownRows(w), std::vector<std::string>{"01/03/2016|31/03/2016|19|0,5"});
}

TEST_F(EditorTest, ARowInsertedWithTheNavigatorCannotBeWrittenAndKeepsTheEditorOpen) {
    Tfcontavtascontado* w = openMarch();
    PressKey(Qt::Key_F5);
    QTest::mouseClick(w->DBNavigator1->Buttons(nbInsert)->Widget(), Qt::LeftButton);
    ASSERT_EQ(w->CAjuste->State(), dsInsert);
    EXPECT_EQ(focusedName(w), "DBGrid2");
    // The user types a rate into the new row; the key has no column.
    w->CAjusteAJCI_PORC->SetAsString("16");
    PressKey(Qt::Key_F5);

    EXPECT_EQ(env.Dialogs.BeepCount(), 2);
    const std::vector<TDialogBox> boxes = env.Dialogs.Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].Text, "Los campos AJCI_ID,  son obligatorios.");
    EXPECT_EQ(w->Panel5->Caption(), "CAjuste: Field 'AJCI_ID' must have a value");
    EXPECT_TRUE(w->CaptionPanel1->Visible());
    EXPECT_TRUE(w->CAjuste->Active());
    EXPECT_EQ(w->CAjuste->State(), dsInsert);
    EXPECT_EQ(Rows(reader(), kAdjustmentRows), std::vector<std::string>{});

    // Cancelled with the navigator, the rest is written.
    QTest::mouseClick(w->DBNavigator1->Buttons(nbCancel)->Widget(), Qt::LeftButton);
    PressKey(Qt::Key_F5);
    EXPECT_FALSE(w->CaptionPanel1->Visible());
    EXPECT_EQ(Rows(reader(), kAdjustmentRows).size(), 3u);
}

TEST_F(EditorTest, F2WithARowThatCannotBePostedHidesTheEditorAndDoesNotPost) {
    Tfcontavtascontado* w = openMarch(31, "FV");
    PressKey(Qt::Key_F5);
    QTest::mouseClick(w->DBNavigator1->Buttons(nbInsert)->Widget(), Qt::LeftButton);
    w->CAjusteAJCI_PORC->SetAsString("16");
    PressKey(Qt::Key_F2);

    const std::vector<TDialogBox> boxes = env.Dialogs.Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].Text, "Los campos AJCI_ID,  son obligatorios.");
    EXPECT_FALSE(w->CaptionPanel1->Visible());
    EXPECT_FALSE(app->Terminated());
    EXPECT_EQ(voucherCount(), 0);
    EXPECT_EQ(Rows(reader(), kAdjustmentRows), std::vector<std::string>{});
}

// A provider that refuses deletions stands for any error of the build: it
// arrives through the dataset's error event, which shows it and aborts the
// F5 handling where it stands.
TEST_F(EditorTest, ABuildThatAnErrorEndsLeavesThePanelHiddenAndTheDatasetOpen) {
    exec("insert into AJUSTE_CIERRE values (1, '2016-03-01', '2016-03-31', 19, 0.5)");
    Tfcontavtascontado* w = openMarch();
    w->PAjuste->SetOptions({poDisableDeletes});
    PressKey(Qt::Key_F5);

    const std::vector<TDialogBox> boxes = env.Dialogs.Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].kind, TDialogBox::MessageDlg);
    EXPECT_EQ(boxes[0].Text, "Deletes are not allowed");
    EXPECT_EQ(env.Dialogs.BeepCount(), 2);
    EXPECT_EQ(w->Panel5->Caption(), "CAjuste: Deletes are not allowed");
    EXPECT_FALSE(w->CaptionPanel1->Visible());
    EXPECT_TRUE(w->CAjuste->Active());
    EXPECT_EQ(shownRows(w), std::vector<std::string>{"01/03/2016|31/03/2016|19|0,5"});
    EXPECT_EQ(w->CAjuste->ChangeCount(), 0);
    EXPECT_NE(testsupport::ReadFile(installation() + "/ERRORES.TXT")
                  .find(",SYSDBA,Deletes are not allowed\r\n"),
              std::string::npos);
    // Nothing was written, and closing the window drops the rest.
    EXPECT_EQ(Rows(reader(), kAdjustmentRows),
              std::vector<std::string>{"2016-03-01|2016-03-31|19|0.5"});
}

TEST_F(EditorTest, F5OnAClosedConnectionThatCannotOpenShowsTheErrorAndNoEditor) {
    Tfcontavtascontado* w = showWindow();
    w->Pref->SetFocus();
    PressKey(Qt::Key_F5);
    const std::vector<TDialogBox> boxes = env.Dialogs.Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].kind, TDialogBox::Exception);
    EXPECT_NE(boxes[0].Text.find("I/O error during \"open\" operation for file "
                                 "\"/TALvero/sop/talvero.fdb\""),
              std::string::npos)
        << boxes[0].Text;
    EXPECT_FALSE(w->CaptionPanel1->Visible());
    EXPECT_FALSE(w->CAjuste->Active());
    EXPECT_EQ(focusedName(w), "Pref");
}

TEST_F(EditorTest, TheDatesAreReadOnlyWhenTheEditorIsBuilt) {
    Tfcontavtascontado* w = openMarch();
    PressKey(Qt::Key_F5);
    w->EFecFin->SetDate(EncodeDate(2016, 3, 20));
    w->EFecIni->SetDate(EncodeDate(2016, 3, 2));
    EXPECT_EQ(shownRows(w)[0], "01/03/2016|31/03/2016|19|0,8");
    w->DBGrid2->SetFocus();
    PressKey(Qt::Key_F5);
    EXPECT_EQ(Rows(reader(), kAdjustmentRows)[0], "2016-03-01|2016-03-31|0|0.8");
}

TEST_F(WindowTest, TheEditorsGridAndNavigatorSitInTheTariffPanel) {
    pointSettingsAtInstallation();
    Tfcontavtascontado* w = createWindow();
    TDBGrid* g = w->DBGrid2;
    EXPECT_EQ(g->Parent(), w->CaptionPanel1);
    EXPECT_EQ(g->Owner(), w);
    EXPECT_EQ(g->Align(), alClient);
    EXPECT_EQ(g->BoundsRect(), Bounds(1, 19, 303, 131));
    EXPECT_EQ(g->DataSource(), w->DAjuste);
    EXPECT_EQ(g->OptionsEx(),
              (TDBGridOptionsEx{dghFixed3D, dghHighlightFocus, dghClearSelection, dghEnterAsTab,
                                dghIncSearch, dghDialogFind, dghColumnResize, dghColumnMove,
                                dghExtendVertLines}));
    EXPECT_EQ(g->IndicatorOptions(), TIndicatorOptions{gioShowRowIndicator});
    EXPECT_EQ(g->Options(),
              (TDBGridOptions{dgEditing, dgTitles, dgIndicator, dgColumnResize, dgColLines,
                              dgRowLines, dgTabs, dgConfirmDelete, dgCancelOnExit}));
    EXPECT_FALSE(g->Flat());
    EXPECT_EQ(g->TitleFont(), TFont("MS Sans Serif", -11, clWindowText));
    std::vector<std::string> columns;
    for (int i = 0; i < g->Columns().Count(); ++i)
        columns.push_back(g->Columns().Items(i)->FieldName());
    EXPECT_EQ(columns,
              (std::vector<std::string>{"AJCI_FECINI", "AJCI_FECFIN", "AJCI_PORC", "AJCI_FACTOR"}));
    EXPECT_TRUE(g->TabStop());
    EXPECT_EQ(g->TabOrder(), 0);

    TDBNavigator* n = w->DBNavigator1;
    EXPECT_EQ(n->Parent(), w->CaptionPanel1);
    EXPECT_EQ(n->Align(), alBottom);
    EXPECT_EQ(n->BoundsRect(), Bounds(1, 150, 303, 18));
    EXPECT_EQ(n->DataSource(), w->DAjuste);
    EXPECT_EQ(n->VisibleButtons(),
              (TNavButtonSet{nbFirst, nbPrior, nbNext, nbLast, nbInsert, nbDelete, nbCancel}));
    EXPECT_EQ(n->TabOrder(), 1);
    EXPECT_FALSE(n->TabStop());
    EXPECT_FALSE(n->ShowHint());
    // The tariff panel lies above every other control.
    EXPECT_EQ(w->Controls(w->ControlCount() - 1), w->CaptionPanel1);
}

// A cell of the open calendar's day table for a day of the month shown, on
// the screen.
static QPoint calendarDay(TPopupMonthCalendar* calendar, int day) {
    QAbstractItemView* table = calendar->DayTable();
    for (int row = 1; row < table->model()->rowCount(); ++row)
        for (int col = 1; col < table->model()->columnCount(); ++col) {
            const QModelIndex index = table->model()->index(row, col);
            // The month's own days: past the first week's tail of the month
            // before.
            if (index.data().toInt() == day && !(row == 1 && day > 7))
                return table->viewport()->mapToGlobal(table->visualRect(index).center());
        }
    ADD_FAILURE() << "no cell for day " << day;
    return {};
}

static void clickOn(QWidget* widget, QPoint global) {
    QTest::mouseClick(widget, Qt::LeftButton, Qt::NoModifier, widget->mapFromGlobal(global));
    QApplication::processEvents();
}

TEST_F(EditorTest, FactorsTypedWithEitherDecimalKeyAndEndDatesPickedFromTheCalendarAreWritten) {
    TFixedClock day(EncodeDate(2016, 4, 12));
    Tfcontavtascontado* w = openMarch();
    PressKey(Qt::Key_F5);
    TDBGrid* grid = w->DBGrid2;
    ASSERT_TRUE(grid->Showing());
    ASSERT_EQ(grid->CellText(3, 3), "0");

    // The rate 0 row, last: the factor typed with the full stop.
    grid->SetSelectedIndex(3);
    TypeText("0.85");
    EXPECT_EQ(grid->InplaceEditor()->Text(), "0,85");
    // Its end date emptied, the calendar opened on today with Alt+Down, a
    // month back and three days on, taken with Enter.
    PressKey(Qt::Key_Backtab, Qt::ShiftModifier);
    PressKey(Qt::Key_Backtab, Qt::ShiftModifier);
    ASSERT_EQ(grid->SelectedIndex(), 1);
    PressKey(Qt::Key_Backspace);
    auto* editor = static_cast<TDBGridInplaceEdit*>(grid->InplaceEditor());
    PressKey(Qt::Key_Down, Qt::AltModifier);
    TPopupMonthCalendar* calendar = editor->Calendar();
    ASSERT_TRUE(calendar && calendar->isVisible());
    EXPECT_EQ(DateToStr(calendar->Date()), "12/04/2016");
    PressKey(Qt::Key_PageUp);
    for (int i = 0; i < 3; ++i)
        PressKey(Qt::Key_Right);
    PressKey(Qt::Key_Return, Qt::NoModifier, "\r");
    EXPECT_FALSE(calendar->isVisible());
    EXPECT_EQ(editor->Text(), "15/03/2016");
    EXPECT_TRUE(grid->EditorShowing());

    // The rate 5 row: Esc closes only the calendar, then the mouse picks
    // the 20th of March.
    PressKey(Qt::Key_Up);
    ASSERT_EQ(w->CAjuste->RecNo(), 2);
    PressKey(Qt::Key_Backspace);
    PressKey(Qt::Key_Down, Qt::AltModifier);
    ASSERT_TRUE(calendar->isVisible());
    PressKey(Qt::Key_Escape, Qt::NoModifier, "\x1b");
    EXPECT_FALSE(calendar->isVisible());
    EXPECT_TRUE(w->Showing());
    EXPECT_FALSE(app->Terminated());
    QTest::mouseClick(editor->Buttons(0)->Widget(), Qt::LeftButton);
    QApplication::processEvents();
    ASSERT_TRUE(calendar->isVisible());
    QWidget* previous = calendar->TitleButton(mchTitlePrev);
    clickOn(previous, previous->mapToGlobal(previous->rect().center()));
    ASSERT_TRUE(calendar->isVisible());
    const QPoint day20 = calendarDay(calendar, 20);
    clickOn(calendar->DayTable()->viewport(), day20);
    EXPECT_FALSE(calendar->isVisible());
    EXPECT_EQ(editor->Text(), "20/03/2016");
    // Its factor typed with the comma.
    PressKey(Qt::Key_Tab);
    PressKey(Qt::Key_Tab);
    ASSERT_EQ(grid->SelectedIndex(), 3);
    TypeText("0,9");

    PressKey(Qt::Key_F5);
    EXPECT_TRUE(env.Dialogs.Boxes().empty());
    EXPECT_FALSE(w->CaptionPanel1->Visible());
    EXPECT_EQ(Rows(reader(), kAdjustmentRows),
              (std::vector<std::string>{"2016-03-01|2016-03-15|0|0.85",
                                        "2016-03-01|2016-03-20|5|0.9",
                                        "2016-03-01|2016-03-31|19|0.8"}));
}
