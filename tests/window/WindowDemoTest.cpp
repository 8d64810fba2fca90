// The demo installation that scripts/make-demo makes posts through the
// window, driven as a user drives it; made in a temporary folder so that the
// repository's demo/ is untouched.

#include "CompanyWindowFixture.h"

using guitest::PressKey;

namespace {

// Selects the day of the focused date field and types the whole date.
void typeDate(const char* date) {
    PressKey(Qt::Key_Home);
    PressKey(Qt::Key_Right, Qt::ShiftModifier);
    PressKey(Qt::Key_Right, Qt::ShiftModifier);
    companytest::TypeText(date);
}

} // namespace

class DemoTest : public WindowTest {
protected:
    // Makes the demo installation as scripts/run does, points the settings
    // at it and shows the window connected to company 01 as a user connects.
    Tfcontavtascontado* connectToTheDemo() {
        const testsupport::CommandResult made =
            testsupport::RunCommand({testsupport::SourceDir() + "/scripts/make-demo", demo});
        EXPECT_EQ(made.ExitCode, 0) << made.Output;
        FSettings = std::make_unique<guitest::ScopedEnv>("XDG_CONFIG_DIRS", demo + "/xdg");

        Tfcontavtascontado* w = showWindow();
        EXPECT_EQ(w->Servidor->Text(), demo);
        w->Servidor->SetFocus();
        PressKey(Qt::Key_Return);
        companytest::TypeText("SYSDBA");
        PressKey(Qt::Key_Return);
        companytest::TypeText("secreto");
        PressKey(Qt::Key_Return);
        companytest::TypeText("01");
        PressKey(Qt::Key_Return);
        EXPECT_TRUE(w->SpeedButton3->Enabled())
            << (env.Dialogs.Boxes().empty() ? std::string("no box")
                                            : env.Dialogs.Boxes()[0].Text);
        return w;
    }
    std::unique_ptr<TSQLConnection> reader() {
        return companytest::NewConnection(demo + "/datos/01/talvero.fdb");
    }

    const std::string demo = dir.Path() + "/demo";

private:
    std::unique_ptr<guitest::ScopedEnv> FSettings;
};

TEST_F(DemoTest, TheDemoInstallationPostsThroughTheWindowAsAUserDoes) {
    Tfcontavtascontado* w = connectToTheDemo();
    ASSERT_TRUE(w->SpeedButton3->Enabled());
    for (const char* date : {"01012016", "31032016"}) {
        typeDate(date);
        PressKey(Qt::Key_Return);
    }
    ASSERT_EQ(w->ActiveControl(), w->Pref);
    companytest::TypeText("FV");
    PressKey(Qt::Key_F2);

    EXPECT_TRUE(app->Terminated());
    EXPECT_TRUE(env.Dialogs.Boxes().empty());
    app.reset();
    fcontavtascontado = nullptr;

    auto reader = this->reader();
    const std::vector<std::string> vouchers = companytest::Rows(
        *reader, "select min(COMP_FECHA), max(COMP_FECHA), count(*) from COMPROBANTE "
                 "where COMP_PREFIJO = 'FV'");
    // Every shop day of the quarter: 1 and 11 January and 21, 24 and 25
    // March closed, and no Sundays.
    EXPECT_EQ(vouchers, std::vector<std::string>{"2016-01-02|2016-03-31|73"});
    EXPECT_EQ(companytest::Value(*reader, "select count(*) from FACTURA_VENTA where "
                                          "FAVE_PREFIJO = 'FV' and FAVE_COMPROBANTE is null "
                                          "and FAVE_CLIENTE = 1"),
              "0");
}

// The steps of the README: the prefix first (leaving it connects again and
// puts the dates back to today), then the dates, F5 to open the adjustment
// editor, F5 to write it, F5 and F2 to write it again and post with it.
TEST_F(DemoTest, TheDemoInstallationWritesTheAdjustmentsAndPostsWithThem) {
    Tfcontavtascontado* w = connectToTheDemo();
    ASSERT_TRUE(w->SpeedButton3->Enabled());
    PressKey(Qt::Key_Return);
    PressKey(Qt::Key_Return);
    ASSERT_EQ(w->ActiveControl(), w->Pref);
    companytest::TypeText("FV");
    // Leaving the prefix connects again, which puts the focus in the start
    // date.
    PressKey(Qt::Key_Backtab, Qt::ShiftModifier);
    ASSERT_EQ(w->ActiveControl(), w->EFecIni);
    typeDate("01032016");
    PressKey(Qt::Key_Return);
    typeDate("15032016");

    PressKey(Qt::Key_F5);
    ASSERT_TRUE(w->CaptionPanel1->Visible());
    EXPECT_EQ(w->CAjuste->RecordCount(), 3);
    PressKey(Qt::Key_F5);
    EXPECT_FALSE(w->CaptionPanel1->Visible());
    EXPECT_EQ(companytest::Rows(*reader(), "select AJCI_FECINI, AJCI_FECFIN, AJCI_PORC, AJCI_FACTOR "
                                           "from AJUSTE_CIERRE order by AJCI_PORC"),
              (std::vector<std::string>{"2016-03-01|2016-03-15|0|0.8",
                                        "2016-03-01|2016-03-15|5|0.8",
                                        "2016-03-01|2016-03-15|19|0.8"}));

    w->EFecFin->SetFocus();
    PressKey(Qt::Key_F5);
    PressKey(Qt::Key_F2);
    EXPECT_TRUE(app->Terminated());
    EXPECT_TRUE(env.Dialogs.Boxes().empty());
    app.reset();
    fcontavtascontado = nullptr;

    auto reader = this->reader();
    EXPECT_EQ(companytest::Value(*reader, "select count(*) from COMPROBANTE"), "13");
    EXPECT_EQ(companytest::Value(*reader, "select count(*) from AJUSTE_CIERRE"), "3");
    // With the factor 0.8 a fifth of the income goes to the adjustment
    // account.
    EXPECT_NE(companytest::Value(*reader, "select count(*) from MOVIMIENTO "
                                          "where MOVI_CUENTA = '413595' and MOVI_CREDITO > 0"),
              "0");
}
