// Error reporting: the texts shown for database errors of providers and
// client datasets, the beeps, and the records of ERRORES.TXT.

#include "CompanyWindowFixture.h"

#include "platform/CodePage.h"

#include <filesystem>
#include <sys/stat.h>

namespace {

// What one error leaves in the recording: the beeps and the boxes in order,
// "beep" or the box's text.
std::vector<std::string> sequence(const TRecordingDialogService& d) {
    std::vector<std::string> out;
    for (const auto& e : d.Entries())
        out.push_back(e.IsBeep ? "beep" : e.Box.Text);
    return out;
}

// The record an error at one of the moments seen around it writes.
std::vector<std::string> possibleRecords(TDateTime before, TDateTime after, const std::string& user,
                                         const std::string& message) {
    std::vector<std::string> out;
    for (TDateTime t : {before, after})
        out.push_back(
            Utf8ToWin1252(DateToStr(t) + "," + TimeToStr(t) + "," + user + "," + message) + "\r\n");
    return out;
}

class ErrorLogTest : public WindowTest {
protected:
    ErrorLogTest() { pointSettingsAtInstallation(); }
    std::string log() const { return installation() + "/ERRORES.TXT"; }

    // A provider error, as PAjuste's OnUpdateError reports it.
    TResolverResponse providerError(Tfcontavtascontado* w, const std::string& message) {
        EUpdateError e(message, "", 1, 0, nullptr);
        TResolverResponse response = rrSkip;
        w->PAjuste->OnUpdateError(w->PAjuste, w->CAjuste, e, ukInsert, response);
        return response;
    }
    // Runs f and checks that the file it appended is one record for message.
    void expectOneRecordAppended(const std::function<void()>& f, const std::string& user,
                                 const std::string& message) {
        const std::string before =
            std::filesystem::exists(log()) ? testsupport::ReadFile(log()) : "";
        const TDateTime t0 = Now();
        f();
        const TDateTime t1 = Now();
        ASSERT_TRUE(std::filesystem::exists(log()));
        const std::string after = testsupport::ReadFile(log());
        ASSERT_EQ(after.compare(0, before.size(), before), 0) << "the log lost what it held";
        const std::string added = after.substr(before.size());
        const auto records = possibleRecords(t0, t1, user, message);
        EXPECT_TRUE(added == records[0] || added == records[1]) << added;
    }
};

} // namespace

TEST_F(ErrorLogTest, ProviderErrorsShowTheirSpanishTextAfterOneBeep) {
    struct Case {
        const char* Provider;
        std::string Message;
        std::string Shown;
    };
    const std::string pk = "SQL Server Error: violation of PRIMARY or UNIQUE KEY constraint "
                           "\"PK_AJUSTE_CIERRE\" on table \"AJUSTE_CIERRE\" Problematic key "
                           "value is (\"AJCI_ID\" = 1)";
    const std::string fk = "SQL Server Error: violation of FOREIGN KEY constraint \"FK_C_P\" on "
                           "table \"C\"";
    const Case cases[] = {
        {"PAjuste", pk, "Ya existe el registro en la tabla Ajuste"},
        {"PAjuste", fk,
         "Está borrando o insertando un registro en la tabla Ajuste que tiene una relación con "
         "otra tabla."},
        {"Ptarifiva", pk, "Ya existe el registro en la tabla Tarifas"},
        {"PRepArticulos", fk,
         "Está borrando o insertando un registro en la tabla QLQuery1 que tiene una relación "
         "con otra tabla."},
        // Characters, not bytes: the accent takes two bytes and one place.
        {"PAjuste", "SQL Sérver Error: violation of PRIMARY",
         "Ya existe el registro en la tabla Ajuste"},
        {"PAjuste", "SQL Server Error: Violation of PRIMARY key",
         "SQL Server Error: Violation of PRIMARY key"},
        {"PAjuste", "SQL Server Error: violation of PRIMAR",
         "SQL Server Error: violation of PRIMAR"},
        {"PAjuste", "SQL Server Error:  violation of PRIMARY",
         "SQL Server Error:  violation of PRIMARY"},
        {"PAjuste", "Record not found or changed by another user",
         "Record not found or changed by another user"},
        {"PAjuste", "Field 'AJCI_ID' must have a value", "Field 'AJCI_ID' must have a value"},
        {"PAjuste", "key violation", "key violation"},
        {"PAjuste", "", ""},
    };
    Tfcontavtascontado* w = createWindow();
    for (const Case& c : cases) {
        env.Dialogs.Clear();
        auto* provider = static_cast<TDataSetProvider*>(w->FindComponent(c.Provider));
        EUpdateError e(c.Message, "", 1, 0, nullptr);
        TResolverResponse response = rrSkip;
        provider->OnUpdateError(provider, w->CAjuste, e, ukModify, response);
        EXPECT_EQ(response, rrAbort) << c.Message;
        EXPECT_EQ(sequence(env.Dialogs), (std::vector<std::string>{"beep", c.Shown})) << c.Message;
        const std::vector<TDialogBox> boxes = env.Dialogs.Boxes();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].kind, TDialogBox::MessageDlg);
        EXPECT_EQ(boxes[0].Title, "Error");
        EXPECT_EQ(boxes[0].Type, mtError);
        EXPECT_EQ(boxes[0].Buttons, unsigned(mbOK));
        // The progress panel is left alone.
        EXPECT_FALSE(w->Panel5->Visible());
        EXPECT_EQ(w->Panel5->Caption(), "Generando informe. espere un momento...");
    }
}

TEST_F(CompanyWindowTest, ClientDatasetErrorsAbortAndShowTheirSpanishTextAfterTwoBeeps) {
    // Texts that name fields read the dataset as it is: CAjuste with a new
    // row whose required AJCI_ID is empty, and no index.
    struct Case {
        std::string Message;
        std::string Shown;
    };
    const Case cases[] = {
        {"Field 'AJCI_ID' must have a value", "Los campos AJCI_ID,  son obligatorios."},
        {"Fie", "Los campos AJCI_ID,  son obligatorios."},
        {"key violation", "Ya existe un registro con el mismo "},
        {"Key violation", "Key violation"},
        {"Cannot delete master record with details",
         "Error. Borre antes los detalles dependientes del registro."},
        {"Cannot delete master record wi",
         "Error. Borre antes los detalles dependientes del registro."},
        {"Cannot delete master record w", "Cannot delete master record w"},
        {"Fi", "Fi"},
        {"ke", "ke"},
        {"Connection Closed Gracefully", "Connection Closed Gracefully"},
        {"Está mal", "Está mal"},
    };
    Tfcontavtascontado* w = showWindow();
    connectAsUser(w, "SYSDBA", "x", "01");
    w->CAjuste->Open();
    w->CAjuste->Insert();
    for (const Case& c : cases) {
        env.Dialogs.Clear();
        EDatabaseError e(c.Message);
        TDataAction action = daFail;
        w->CAjuste->OnPostError(w->CAjuste, e, action);
        EXPECT_EQ(action, daAbort) << c.Message;
        EXPECT_EQ(sequence(env.Dialogs), (std::vector<std::string>{"beep", "beep", c.Shown}))
            << c.Message;
        EXPECT_EQ(w->Panel5->Caption(), "CAjuste: " + c.Message);
        EXPECT_FALSE(w->Panel5->Visible());
        EXPECT_EQ(env.Dialogs.Boxes().at(0).kind, TDialogBox::MessageDlg);
    }

    // With every required field filled, "Fie" names none.
    w->CAjusteAJCI_ID->SetAsInteger(0);
    env.Dialogs.Clear();
    EDatabaseError e("Field 'X' must have a value");
    TDataAction action = daFail;
    w->CAjuste->OnEditError(w->CAjuste, e, action);
    EXPECT_EQ(sequence(env.Dialogs),
              (std::vector<std::string>{"beep", "beep", "Los campos  son obligatorios."}));
}

TEST_F(CompanyWindowTest, APostThatLacksTheKeyIsAbortedWithTheRequiredFieldsText) {
    Tfcontavtascontado* w = showWindow();
    connectAsUser(w, "SYSDBA", "ana", "01");
    w->CAjuste->Open();
    w->CAjuste->Insert();
    w->CAjusteAJCI_PORC->SetAsCurrency(Currency{190000});
    env.Dialogs.Clear();
    const TDateTime t0 = Now();
    EXPECT_THROW(w->CAjuste->Post(), EAbort);
    const TDateTime t1 = Now();
    EXPECT_EQ(w->CAjuste->State(), dsInsert);
    EXPECT_EQ(sequence(env.Dialogs),
              (std::vector<std::string>{"beep", "beep", "Los campos AJCI_ID,  son obligatorios."}));
    EXPECT_EQ(w->Panel5->Caption(), "CAjuste: Field 'AJCI_ID' must have a value");
    const auto records = possibleRecords(t0, t1, "SYSDBA", "Field 'AJCI_ID' must have a value");
    const std::string logged = testsupport::ReadFile(installation() + "/ERRORES.TXT");
    EXPECT_TRUE(logged == records[0] || logged == records[1]) << logged;
}

TEST_F(CompanyWindowTest, ARefusedInsertIsShownAsAnExistingRecordOfTheTable) {
    Tfcontavtascontado* w = showWindow();
    connectAsUser(w, "SYSDBA", "x", "01");
    reader().Execute("insert into AJUSTE_CIERRE values (7, '2016-03-01', '2016-03-31', 5, 0.5)",
                     TParams());
    w->CAjuste->Open();
    w->CAjuste->Insert();
    w->CAjusteAJCI_ID->SetAsInteger(7);
    w->CAjusteAJCI_PORC->SetAsCurrency(Currency{190000});
    w->CAjuste->Post();
    env.Dialogs.Clear();
    const TDateTime t0 = Now();
    EXPECT_EQ(w->CAjuste->ApplyUpdates(0), 1);
    const TDateTime t1 = Now();
    EXPECT_EQ(sequence(env.Dialogs),
              (std::vector<std::string>{"beep", "Ya existe el registro en la tabla Ajuste"}));
    // The server's words, as the connection composed them.
    const auto records = possibleRecords(
        t0, t1, "SYSDBA",
        "SQL Server Error: violation of PRIMARY or UNIQUE KEY constraint \"PK_AJUSTE_CIERRE\" "
        "on table \"AJUSTE_CIERRE\" Problematic key value is (\"AJCI_ID\" = 7)");
    const std::string logged = testsupport::ReadFile(installation() + "/ERRORES.TXT");
    EXPECT_TRUE(logged == records[0] || logged == records[1]) << logged;
    EXPECT_EQ(companytest::Rows(reader(), "select AJCI_ID from AJUSTE_CIERRE"),
              std::vector<std::string>{"7"});
}

TEST_F(ErrorLogTest, ConnectionClosedGracefullyIsIgnoredEverywhere) {
    Tfcontavtascontado* w = createWindow();
    EXPECT_EQ(providerError(w, "Connection Closed Gracefully."), rrSkip);
    EDatabaseError e("Connection Closed Gracefully.");
    TDataAction action = daFail;
    w->CAjuste->OnDeleteError(w->CAjuste, e, action);
    EXPECT_EQ(action, daAbort);
    EXPECT_TRUE(env.Dialogs.Entries().empty());
    EXPECT_FALSE(std::filesystem::exists(log()));
    EXPECT_EQ(w->Panel5->Caption(), "Generando informe. espere un momento...");
}

TEST_F(ErrorLogTest, TheFirstErrorMakesTheLogAndLaterOnesAppendExactRecords) {
    Tfcontavtascontado* w = showWindow();
    w->Tusua->SetText("José, de caja");
    ASSERT_FALSE(std::filesystem::exists(log()));
    // Commas and line breaks of the message are written as they are.
    const std::string first = "Está mal, línea 1\r\nlínea 2, fin € ";
    expectOneRecordAppended([&] { providerError(w, first); }, "José, de caja", first);
    const std::string second = "Field 'AJCI_ID' must have a value";
    expectOneRecordAppended(
        [&] {
            EDatabaseError e(second);
            TDataAction action = daFail;
            w->CAjuste->OnPostError(w->CAjuste, e, action);
        },
        "José, de caja", second);
    // An empty user leaves its field empty.
    w->Tusua->SetText("");
    expectOneRecordAppended([&] { providerError(w, "x"); }, "", "x");
    // The bytes are Windows-1252: é is E9, € is 80.
    const std::string bytes = testsupport::ReadFile(log());
    EXPECT_NE(bytes.find(",Jos\xE9, de caja,Est\xE1 mal, l\xEDnea 1\r\nl\xEDnea 2, fin \x80 \r\n"),
              std::string::npos);
}

TEST_F(ErrorLogTest, AnExistingLogKeepsWhatItHolds) {
    testsupport::WriteFile(log(), "01/01/2016,08:00:00,ana,antes\r\nsin fin de línea");
    Tfcontavtascontado* w = createWindow();
    expectOneRecordAppended([&] { providerError(w, "nuevo"); }, "", "nuevo");
}

TEST_F(ErrorLogTest, AMissingLogFolderLosesTheRecordButShowsTheBox) {
    writeSettings("[General]\nDirectorio=" + installation() + "/no/existe\n");
    Tfcontavtascontado* w = createWindow();
    env.Dialogs.Clear();
    EXPECT_EQ(providerError(w, "perdido"), rrAbort);
    EXPECT_EQ(sequence(env.Dialogs), (std::vector<std::string>{"beep", "perdido"}));
    EXPECT_FALSE(std::filesystem::exists(installation() + "/no"));
}

TEST_F(ErrorLogTest, ALogThatIsAFolderIsLeftAlone) {
    std::filesystem::create_directories(log() + "/dentro");
    Tfcontavtascontado* w = createWindow();
    env.Dialogs.Clear();
    providerError(w, "perdido");
    EXPECT_EQ(sequence(env.Dialogs), (std::vector<std::string>{"beep", "perdido"}));
    EXPECT_TRUE(std::filesystem::is_directory(log() + "/dentro"));
}

// Permissions: the error is handled as an ordinary user would meet it.
class ErrorLogPermissionsTest : public ErrorLogTest {
protected:
    ErrorLogPermissionsTest() {
        // Let the unprivileged user reach the installation and the settings.
        chmod(dir.Path().c_str(), 0755);
        chmod(installation().c_str(), 0777);
    }
};

TEST_F(ErrorLogPermissionsTest, AReadOnlyLogFolderLosesTheRecordButShowsTheBox) {
    Tfcontavtascontado* w = createWindow();
    chmod(installation().c_str(), 0555);
    env.Dialogs.Clear();
    companytest::AsUnprivileged([&] { providerError(w, "perdido"); });
    EXPECT_EQ(sequence(env.Dialogs), (std::vector<std::string>{"beep", "perdido"}));
    EXPECT_FALSE(std::filesystem::exists(log()));
}

TEST_F(ErrorLogPermissionsTest, ALogThatCannotBeReadIsAppendedToAndNeverEmptied) {
    const std::string held = "01/01/2016,08:00:00,ana,antes\r\n";
    testsupport::WriteFile(log(), held);
    chmod(log().c_str(), 0222);
    Tfcontavtascontado* w = createWindow();
    env.Dialogs.Clear();
    const TDateTime t0 = Now();
    companytest::AsUnprivileged([&] { providerError(w, "nuevo"); });
    const TDateTime t1 = Now();
    EXPECT_EQ(sequence(env.Dialogs), (std::vector<std::string>{"beep", "nuevo"}));
    const std::string bytes = testsupport::ReadFile(log());
    const auto records = possibleRecords(t0, t1, "", "nuevo");
    EXPECT_TRUE(bytes == held + records[0] || bytes == held + records[1]) << bytes;
}

TEST_F(ErrorLogPermissionsTest, ALogThatCanBeNeitherReadNorWrittenLosesTheRecordAndKeepsItsOwn) {
    const std::string held = "01/01/2016,08:00:00,ana,antes\r\n";
    testsupport::WriteFile(log(), held);
    chmod(log().c_str(), 0);
    Tfcontavtascontado* w = createWindow();
    env.Dialogs.Clear();
    companytest::AsUnprivileged([&] { providerError(w, "perdido"); });
    EXPECT_EQ(sequence(env.Dialogs), (std::vector<std::string>{"beep", "perdido"}));
    EXPECT_EQ(testsupport::ReadFile(log()), held);
}

TEST_F(ErrorLogPermissionsTest, WithoutTheRegistryKeyTheKeyMessageComesBeforeEveryErrorBox) {
    // The log then goes to the root of the file system, which an ordinary
    // user cannot write.
    if (std::filesystem::exists("/ERRORES.TXT")) GTEST_SKIP() << "/ERRORES.TXT exists";
    Tfcontavtascontado* w = createWindow();
    std::filesystem::remove(settingsFile());
    env.Dialogs.Clear();
    companytest::AsUnprivileged([&] { providerError(w, "perdido"); });
    EXPECT_EQ(sequence(env.Dialogs),
              (std::vector<std::string>{"No se encontró la Clave HKEY_LOCAL_MACHINE\\Software\\"
                                        "Quelt\\TalveroERP2016\\Directorio",
                                        "beep", "perdido"}));
    EXPECT_FALSE(std::filesystem::exists("/ERRORES.TXT"));
}
