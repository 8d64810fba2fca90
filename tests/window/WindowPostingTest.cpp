// The company connection and the posting run on a real company database:
// the user's keys, the vouchers the procedure makes, and what the window
// shows when the connection or the procedure refuses.

#include "CompanyWindowFixture.h"

using companytest::TypeText;
using guitest::PressKey;

namespace {

const char* const kNothingPosted = "No se pudo contabilizar las facturas.";

std::string focusedName(Tfcontavtascontado* w) {
    TWinControl* a = w->ActiveControl();
    return a && a->Focused() ? a->Name() : "(none)";
}

// Counts the paints a widget receives.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
    int Paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++Paints;
        return false;
    }
};

// What the progress panel showed when the blocking work began.
struct PanelSeen {
    bool Visible = false;
    std::string Caption;
    int Paints = 0;
};

} // namespace

TEST_F(CompanyWindowTest, LeavingCiaWithEnterConnectsAndF2PostsTheRangeAndCloses) {
    Tfcontavtascontado* w = showWindow();
    ASSERT_EQ(w->Servidor->Text(), installation());
    const int days = daysToPost("FV", "2016-03-01", "2016-03-31");
    ASSERT_GT(days, 20);
    ASSERT_EQ(voucherCount(), 0);

    connectAsUser(w, "SYSDBA", "cualquiera", "01");
    EXPECT_TRUE(w->Talvero->Connected());
    EXPECT_EQ(w->Talvero->Params().Values("Database"), installation() + "/datos/01/talvero.fdb");
    EXPECT_EQ(w->EFecIni->Date().Val(), Date().Val());
    EXPECT_EQ(w->EFecFin->Date().Val(), Date().Val());
    EXPECT_EQ(focusedName(w), "EFecIni");
    EXPECT_TRUE(w->SpeedButton3->Enabled());
    EXPECT_FALSE(w->Panel5->Visible());
    EXPECT_TRUE(env.Dialogs.Boxes().empty());

    typeDate(w->EFecIni, 2016, 3, 1);
    typeDate(w->EFecFin, 2016, 3, 31);
    EXPECT_EQ(DateToStr(w->EFecIni->Date()), "01/03/2016");
    EXPECT_EQ(DateToStr(w->EFecFin->Date()), "31/03/2016");
    w->Pref->SetFocus();
    TypeText("FV");
    PressKey(Qt::Key_F2);

    EXPECT_TRUE(app->Terminated());
    EXPECT_FALSE(w->Showing());
    EXPECT_FALSE(w->CRepArticulos->Active());
    EXPECT_TRUE(env.Dialogs.Boxes().empty());
    // One voucher per day with invoices, each balanced, every invoice marked.
    EXPECT_EQ(voucherCount(), days);
    EXPECT_EQ(daysToPost("FV", "2016-03-01", "2016-03-31"), 0);
    EXPECT_EQ(companytest::Value(reader(), "select count(*) from COMPROBANTE "
                                           "where COMP_PREFIJO <> 'FV' or COMP_FECHA < "
                                           "'2016-03-01' or COMP_FECHA > '2016-03-31'"),
              "0");
    EXPECT_EQ(companytest::Rows(reader(), "select c.COMP_ID from COMPROBANTE c join MOVIMIENTO m "
                                          "on m.MOVI_COMPROBANTE = c.COMP_ID group by c.COMP_ID "
                                          "having sum(m.MOVI_DEBITO) <> sum(m.MOVI_CREDITO)"),
              std::vector<std::string>{});
}

// Connecting sets both dates to today; dates typed over them are exactly the
// dates typed, whatever today is: a 30-day month, 29 February, the last day
// of a 31-day month. Run on 15 November, 31 March used to become 30 March
// and the posting silently left out 31 March.
TEST_F(CompanyWindowTest, TypedDatesAreTheDatesTypedWhateverDayTodayIs) {
    const TDateTime todays[] = {EncodeDate(2026, 11, 15), EncodeDate(2028, 2, 29),
                                EncodeDate(2027, 2, 10), EncodeDate(2026, 1, 31)};
    bool posted = false;
    for (TDateTime today : todays) {
        SCOPED_TRACE(DateToStr(today));
        TFixedClock clock(TDateTime(today.Val() + 0.5));
        Tfcontavtascontado* w = showWindow();
        connectAsUser(w, "SYSDBA", "x", "01");
        ASSERT_TRUE(w->Talvero->Connected());
        EXPECT_EQ(w->EFecIni->Date(), today);
        EXPECT_EQ(w->EFecFin->Date(), today);
        typeDate(w->EFecIni, 2016, 2, 29);
        typeDate(w->EFecFin, 2016, 3, 31);
        EXPECT_EQ(DateToStr(w->EFecIni->Date()), "29/02/2016");
        EXPECT_EQ(DateToStr(w->EFecFin->Date()), "31/03/2016");
        EXPECT_EQ(env.Dialogs.BeepCount(), 0);
        if (!posted) {
            // The whole range reaches the procedure, 31 March included.
            posted = true;
            const int days = daysToPost("FV", "2016-02-29", "2016-03-31");
            ASSERT_GT(days, 20);
            w->Pref->SetFocus();
            TypeText("FV");
            PressKey(Qt::Key_F2);
            EXPECT_TRUE(app->Terminated());
            EXPECT_TRUE(env.Dialogs.Boxes().empty());
            EXPECT_EQ(voucherCount(), days);
            EXPECT_EQ(companytest::Value(reader(), "select count(*) from COMPROBANTE "
                                                   "where COMP_FECHA = '2016-03-31'"),
                      "1");
        }
        app.reset();
        fcontavtascontado = nullptr;
    }
}

// F2 read by the window before the date field sees it, in the middle of a
// date whose typed day waits for its year: 29/02 over 2026 is no date, and
// the run must not go on with the date shown before.
TEST_F(CompanyWindowTest, F2InTheMiddleOfADateThatCannotExistPostsNothing) {
    TFixedClock clock(EncodeDate(2026, 11, 15));
    Tfcontavtascontado* w = showWindow();
    connectAsUser(w, "SYSDBA", "x", "01");
    ASSERT_EQ(focusedName(w), "EFecIni");
    PressKey(Qt::Key_Home);
    PressKey(Qt::Key_Right, Qt::ShiftModifier);
    PressKey(Qt::Key_Right, Qt::ShiftModifier);
    TypeText("2902");
    PressKey(Qt::Key_F2);
    EXPECT_FALSE(app->Terminated());
    const std::vector<TDialogBox> boxes = env.Dialogs.Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].kind, TDialogBox::Exception);
    EXPECT_EQ(boxes[0].Text, "'29/02/2026' is not a valid date.");
    EXPECT_EQ(voucherCount(), 0);
    EXPECT_EQ(w->EFecIni->Date(), EncodeDate(2026, 11, 15)) << "the date it had";
}

TEST_F(CompanyWindowTest, ASecondRunOverTheSameRangePostsNothingAndSaysSo) {
    for (int run = 0; run < 2; ++run) {
        Tfcontavtascontado* w = showWindow();
        connectAsUser(w, "SYSDBA", "x", "01");
        typeDate(w->EFecIni, 2016, 3, 1);
        typeDate(w->EFecFin, 2016, 3, 31);
        w->Pref->SetFocus();
        TypeText("FV");
        PressKey(Qt::Key_F2);
        EXPECT_TRUE(app->Terminated()) << "run " << run;
        EXPECT_FALSE(w->Showing()) << "run " << run;
        app.reset();
        fcontavtascontado = nullptr;
    }
    const std::vector<TDialogBox> boxes = env.Dialogs.Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].kind, TDialogBox::Message);
    EXPECT_EQ(boxes[0].Title, ApplicationTitle());
    EXPECT_EQ(boxes[0].Text, kNothingPosted);
}

TEST_F(CompanyWindowTest, AWrongCompanyShowsTheDriversMessageAndKeepsTheConnectingText) {
    Tfcontavtascontado* w = showWindow();
    const TDateTime inicial = w->EFecIni->DateTime();
    connectAsUser(w, "SYSDBA", "x", "99");

    const std::vector<TDialogBox> boxes = env.Dialogs.Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].kind, TDialogBox::Exception);
    EXPECT_EQ(boxes[0].Title, ApplicationTitle());
    const std::string path = installation() + "/datos/99/talvero.fdb";
    EXPECT_NE(boxes[0].Text.find("I/O error during \"open\" operation for file \"" + path + "\""),
              std::string::npos)
        << boxes[0].Text;
    EXPECT_TRUE(w->Panel5->Visible());
    EXPECT_EQ(w->Panel5->Caption(), "Conectando a la base de datos 99 ...");
    EXPECT_FALSE(w->SpeedButton3->Enabled());
    EXPECT_FALSE(w->Talvero->Connected());
    EXPECT_EQ(w->Talvero->Params().Values("Database"), path);
    EXPECT_EQ(w->EFecIni->DateTime().Val(), inicial.Val());
    EXPECT_EQ(w->EFecFin->DateTime().Val(), inicial.Val());
    EXPECT_EQ(focusedName(w), "EFecIni");

    // The user corrects the company and leaves the field again.
    w->Cia->SetFocus();
    PressKey(Qt::Key_Backspace);
    PressKey(Qt::Key_Backspace);
    TypeText("01");
    PressKey(Qt::Key_Return);
    EXPECT_TRUE(w->Talvero->Connected());
    EXPECT_FALSE(w->Panel5->Visible());
    EXPECT_TRUE(w->SpeedButton3->Enabled());
    EXPECT_EQ(env.Dialogs.Boxes().size(), 1u);
}

// Nothing paints while the database work blocks the loop, so the panel must
// have been painted with its text before the connection and the procedure
// start.
TEST_F(CompanyWindowTest, TheProgressPanelIsPaintedWithItsTextBeforeTheBlockingWork) {
    Tfcontavtascontado* w = showWindow();
    PaintCounter counter(w->Panel5->Widget());
    auto seen = [&] {
        return PanelSeen{w->Panel5->Visible(), w->Panel5->Caption(), counter.Paints};
    };
    PanelSeen connecting, posting;
    w->Talvero->BeforeConnect = [&](TObject*) { connecting = seen(); };
    w->SQLQuery1->BeforeOpen = [&](TDataSet*) { posting = seen(); };

    connectAsUser(w, "SYSDBA", "x", "01");
    EXPECT_TRUE(connecting.Visible);
    EXPECT_EQ(connecting.Caption, "Conectando a la base de datos 01 ...");
    EXPECT_GT(connecting.Paints, 0);
    EXPECT_FALSE(w->Panel5->Visible());

    const int before = counter.Paints;
    typeDate(w->EFecIni, 2016, 3, 1);
    typeDate(w->EFecFin, 2016, 3, 2);
    PressKey(Qt::Key_F2);
    EXPECT_TRUE(posting.Visible);
    EXPECT_EQ(posting.Caption, "Generando informe. espere un momento...");
    EXPECT_GT(posting.Paints, before);
    EXPECT_TRUE(app->Terminated());
}

// The parameters the connection opens with: the typed user and password in
// place of the stored ones, the company's database, the rest as stored.
TEST_F(CompanyWindowTest, LeavingCiaWritesDatabaseUserAndPasswordIntoTheStoredLines) {
    Tfcontavtascontado* w = showWindow();
    const std::vector<std::string> stored = w->Talvero->Params().Lines();
    connectAsUser(w, "ana", "s3creta", "01");
    ASSERT_TRUE(w->Talvero->Connected());
    std::vector<std::string> expected = stored;
    for (std::string& line : expected) {
        if (line.starts_with("Database=")) line = "Database=" + database();
        if (line.starts_with("User_Name=")) line = "User_Name=ana";
        if (line.starts_with("Password=")) line = "password=s3creta";
    }
    EXPECT_EQ(w->Talvero->Params().Lines(), expected);
}

TEST_F(CompanyWindowTest, AFailureAfterAConnectionKeepsTheRunButtonAndTheDates) {
    Tfcontavtascontado* w = showWindow();
    connectAsUser(w, "SYSDBA", "x", "01");
    ASSERT_TRUE(w->SpeedButton3->Enabled());
    typeDate(w->EFecIni, 2016, 3, 1);
    typeDate(w->EFecFin, 2016, 3, 31);

    w->Cia->SetFocus();
    PressKey(Qt::Key_Backspace);
    PressKey(Qt::Key_Backspace);
    TypeText("99");
    PressKey(Qt::Key_Return);

    ASSERT_EQ(env.Dialogs.Boxes().size(), 1u);
    EXPECT_EQ(env.Dialogs.Boxes()[0].kind, TDialogBox::Exception);
    EXPECT_FALSE(w->Talvero->Connected());
    EXPECT_TRUE(w->SpeedButton3->Enabled());
    EXPECT_TRUE(w->Panel5->Visible());
    EXPECT_EQ(w->Panel5->Caption(), "Conectando a la base de datos 99 ...");
    EXPECT_EQ(DateToStr(w->EFecIni->Date()), "01/03/2016");
    EXPECT_EQ(DateToStr(w->EFecFin->Date()), "31/03/2016");
}

TEST_F(CompanyWindowTest, AnEmptyCompanyUserOrPasswordLeavesTheConnectionAlone) {
    struct Case {
        const char* User;
        const char* Password;
        const char* Company;
    };
    const Case cases[] = {{"", "x", "01"}, {"SYSDBA", "", "01"}, {"SYSDBA", "x", ""}};
    for (const Case& c : cases) {
        Tfcontavtascontado* w = showWindow();
        int connects = 0;
        w->Talvero->BeforeConnect = [&](TObject*) { ++connects; };
        connectAsUser(w, c.User, c.Password, c.Company);
        EXPECT_EQ(connects, 0) << c.User << "/" << c.Password << "/" << c.Company;
        EXPECT_FALSE(w->Panel5->Visible());
        EXPECT_FALSE(w->SpeedButton3->Enabled());
        EXPECT_EQ(w->Talvero->Params().Values("Database"), "C:\\TALvero\\sop\\talvero.fdb");
        EXPECT_TRUE(env.Dialogs.Boxes().empty());
        app.reset();
        fcontavtascontado = nullptr;
    }
}

TEST_F(CompanyWindowTest, LeavingPrefWithTabReconnectsAndSetsTheDatesBackToToday) {
    Tfcontavtascontado* w = showWindow();
    int connects = 0;
    w->Talvero->AfterConnect = [&](TObject*) { ++connects; };
    connectAsUser(w, "SYSDBA", "x", "01");
    ASSERT_EQ(connects, 1);
    typeDate(w->EFecIni, 2016, 3, 1);
    typeDate(w->EFecFin, 2016, 3, 31);
    w->Pref->SetFocus();
    TypeText("FV");
    PressKey(Qt::Key_Tab);
    EXPECT_EQ(connects, 2);
    EXPECT_TRUE(w->Talvero->Connected());
    EXPECT_EQ(w->EFecIni->Date().Val(), Date().Val());
    EXPECT_EQ(w->EFecFin->Date().Val(), Date().Val());
    EXPECT_EQ(focusedName(w), "EFecIni");
    EXPECT_FALSE(w->Panel5->Visible());
    EXPECT_TRUE(env.Dialogs.Boxes().empty());
}

TEST_F(CompanyWindowTest, TheRunButtonClickedFromPrefPostsWithoutReconnecting) {
    const int days = daysToPost("FV", "2016-01-01", "2016-01-31");
    Tfcontavtascontado* w = showWindow();
    int connects = 0;
    w->Talvero->AfterConnect = [&](TObject*) { ++connects; };
    connectAsUser(w, "SYSDBA", "x", "01");
    typeDate(w->EFecIni, 2016, 1, 1);
    typeDate(w->EFecFin, 2016, 1, 31);
    w->Pref->SetFocus();
    TypeText("FV");
    QTest::mouseClick(w->SpeedButton3->Widget(), Qt::LeftButton, Qt::NoModifier, QPoint(30, 25));
    EXPECT_EQ(connects, 1);
    EXPECT_TRUE(app->Terminated());
    EXPECT_TRUE(env.Dialogs.Boxes().empty());
    EXPECT_EQ(voucherCount(), days);
    EXPECT_EQ(daysToPost("FV", "2016-01-01", "2016-01-31"), 0);
}

TEST_F(CompanyWindowTest, ThePrefixReachesTheProcedureAsALiteralWhateverItHolds) {
    struct Case {
        const char* Prefix;
        const char* Literal;
    };
    // Were the prefix spliced into the statement, the first cases would post
    // the FV invoices; the others would change or break the statement.
    const Case cases[] = {
        {"' || 'FV", "''' || ''FV'"},
        {"F' || 'V", "'F'' || ''V'"},
        {"FV'); delete from FACTURA_VENTA_DET; --", "'FV''); delete from FACTURA_VENTA_DET; --'"},
        {"x'; update FACTURA_VENTA set FAVE_PREFIJO = 'FV'; commit; --",
         "'x''; update FACTURA_VENTA set FAVE_PREFIJO = ''FV''; commit; --'"},
        {"FV' or '1'='1", "'FV'' or ''1''=''1'"},
        {"--", "'--'"},
        {";", "';'"},
        {":FV", "':FV'"},
        {"'':p", "''''':p'"},
        {"\"FV\"", "'\"FV\"'"},
        {"", "''"},
    };
    const auto before = companytest::TableContents(reader());
    for (const Case& c : cases) {
        Tfcontavtascontado* w = showWindow();
        connectAsUser(w, "SYSDBA", "x", "01");
        typeDate(w->EFecIni, 2016, 1, 1);
        typeDate(w->EFecFin, 2016, 3, 31);
        w->Pref->SetFocus();
        TypeText(c.Prefix);
        ASSERT_EQ(w->Pref->Text(), c.Prefix);
        PressKey(Qt::Key_F2);
        EXPECT_EQ(w->CRepArticulos->CommandText(),
                  std::string("select * from contado_mverde_pref('01/01/2016', '31/03/2016', ") +
                      c.Literal + ")")
            << c.Prefix;
        EXPECT_TRUE(app->Terminated()) << c.Prefix;
        const std::vector<TDialogBox> boxes = env.Dialogs.Boxes();
        ASSERT_EQ(boxes.size(), 1u) << c.Prefix;
        EXPECT_EQ(boxes[0].Text, kNothingPosted) << c.Prefix;
        env.Dialogs.Clear();
        app.reset();
        fcontavtascontado = nullptr;
        EXPECT_EQ(companytest::TableContents(reader()), before) << c.Prefix;
    }
}

TEST_F(CompanyWindowTest, ADateTheProcedureRefusesShowsTheServersMessageAndKeepsTheWindow) {
    Tfcontavtascontado* w = showWindow();
    connectAsUser(w, "SYSDBA", "x", "01");
    typeDate(w->EFecIni, 2016, 3, 1);
    typeDate(w->EFecFin, 2016, 3, 31);
    w->Pref->SetFocus();
    TypeText("FV");
    // Regional settings that write the day with dots: a text the procedure
    // does not read.
    FormatSettings.DateSeparator = '.';
    PressKey(Qt::Key_F2);

    EXPECT_FALSE(app->Terminated());
    EXPECT_TRUE(w->Showing());
    const std::vector<TDialogBox> boxes = env.Dialogs.Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].kind, TDialogBox::Exception);
    EXPECT_EQ(boxes[0].Title, ApplicationTitle());
    EXPECT_NE(boxes[0].Text.find("Fecha incorrecta: \"01.03.2016\""), std::string::npos)
        << boxes[0].Text;
    EXPECT_TRUE(w->Panel5->Visible());
    EXPECT_EQ(w->Panel5->Caption(), "Generando informe. espere un momento...");
    EXPECT_FALSE(w->CRepArticulos->Active());
    EXPECT_EQ(voucherCount(), 0);

    // With the dates written as the procedure reads them, the same window
    // posts.
    FormatSettings.DateSeparator = '/';
    w->Pref->SetFocus();
    PressKey(Qt::Key_F2);
    EXPECT_TRUE(app->Terminated());
    EXPECT_EQ(env.Dialogs.Boxes().size(), 1u);
    EXPECT_GT(voucherCount(), 0);
}
