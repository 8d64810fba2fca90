// The demo installation that scripts/make-demo makes posts through the
// window, driven as a user drives it; made in a temporary folder so that the
// repository's demo/ is untouched.

#include "CompanyWindowFixture.h"

using guitest::PressKey;

TEST_F(WindowTest, TheDemoInstallationPostsThroughTheWindowAsAUserDoes) {
    const std::string demo = dir.Path() + "/demo";
    const testsupport::CommandResult made =
        testsupport::RunCommand({testsupport::SourceDir() + "/scripts/make-demo", demo});
    ASSERT_EQ(made.ExitCode, 0) << made.Output;
    // As scripts/run starts the program.
    guitest::ScopedEnv demoSettings("XDG_CONFIG_DIRS", demo + "/xdg");

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
    ASSERT_TRUE(w->SpeedButton3->Enabled())
        << (env.Dialogs.Boxes().empty() ? std::string("no box") : env.Dialogs.Boxes()[0].Text);
    // In the start date, select the day and type the whole date; the same in
    // the end date.
    for (const char* date : {"01012016", "31032016"}) {
        PressKey(Qt::Key_Home);
        PressKey(Qt::Key_Right, Qt::ShiftModifier);
        PressKey(Qt::Key_Right, Qt::ShiftModifier);
        companytest::TypeText(date);
        PressKey(Qt::Key_Return);
    }
    ASSERT_EQ(w->ActiveControl(), w->Pref);
    companytest::TypeText("FV");
    PressKey(Qt::Key_F2);

    EXPECT_TRUE(app->Terminated());
    EXPECT_TRUE(env.Dialogs.Boxes().empty());
    app.reset();
    fcontavtascontado = nullptr;

    auto reader = companytest::NewConnection(demo + "/datos/01/talvero.fdb");
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
