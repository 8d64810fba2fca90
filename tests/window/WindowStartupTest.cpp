// Start-up: the installation directory from the settings file and the server
// list from SERVIDORES.cfg.

#include "WindowFixture.h"

#include "platform/CodePage.h"
#include "platform/Files.h"
#include "platform/widgets/TRegistry.h"

#include <QTimer>

#include <random>

namespace {

const char* const kKeyMessage =
    "No se encontró la Clave HKEY_LOCAL_MACHINE\\Software\\Quelt\\TalveroERP2016\\Directorio";

struct ServerFileCase {
    const char* Name;
    std::string Bytes;
    std::vector<std::string> Entries;
};

std::string repeat(char c, size_t n) {
    return std::string(n, c);
}

} // namespace

TEST_F(WindowTest, ServerListFollowsTheLineRulesOfTheServerFile) {
    using namespace std::string_literals;
    const ServerFileCase cases[] = {
        {"CR LF", "A\r\nB\r\n", {"A", "B"}},
        {"LF", "A\nB\n", {"A", "B"}},
        {"no final line end", "A\r\nB", {"A"}},
        {"CR swallows the next byte", "A\rB\r", {"A", ""}},
        {"CR swallows a CR", "A\r\r\nB\n", {"A", "", "B"}},
        {"empty first line", "\r\nA\r\n", {"", "A"}},
        {"CR LF CR LF", "A\r\n\r\n", {"A", ""}},
        {"LF LF", "\n\n", {"", ""}},
        {"blanks kept", "  srv1  \r\n\tsrv2 \r\n", {"  srv1  ", "\tsrv2 "}},
        {"empty file", "", {}},
        {"only text", "servidor", {}},
        {"NUL ends the entry", "ab\0cd\r\nef\r\n"s, {"ab", "ef"}},
        {"NUL first", "\0xyz\n"s, {""}},
        {"CR as the last byte", "A\r\nB\r", {"A", "B"}},
        {"lone CR last", "\r", {""}},
        {"Windows-1252 accents",
         "Compa\xF1\xED"
         "a\r\n\x80 \xC1rbol\r\n",
         {"Compañía", "€ Árbol"}},
        {"binary junk",
         "\x01\x7F\xFF\xFE\x81\r\n\x1B\n",
         {"\x01\x7F\xC3\xBF\xC3\xBE\xC2\x81", "\x1B"}},
        {"255 characters", repeat('x', 255) + "\r\nB\r\n", {repeat('x', 255), "B"}},
        {"256 characters cut to 255", repeat('y', 256) + "\r\nB\r\n", {repeat('y', 255), "B"}},
        {"very long line cut, next line intact",
         repeat('z', 5000) + "\nsrv\n",
         {repeat('z', 255), "srv"}},
        {"NUL inside a long line",
         repeat('a', 10) + '\0' + repeat('b', 400) + "\n",
         {repeat('a', 10)}},
    };
    pointSettingsAtInstallation();
    for (const ServerFileCase& c : cases) {
        writeServers(c.Bytes);
        Tfcontavtascontado* w = createWindow();
        EXPECT_EQ(w->Servidores().Lines(), c.Entries) << c.Name;
        EXPECT_EQ(comboItems(w->Servidor), c.Entries) << c.Name;
        EXPECT_EQ(w->Servidor->ItemIndex(), c.Entries.empty() ? -1 : 0) << c.Name;
        EXPECT_EQ(w->Servidor->Text(), c.Entries.empty() ? "" : c.Entries[0]) << c.Name;
        EXPECT_TRUE(env.Dialogs.Boxes().empty()) << c.Name;
        app.reset();
    }
}

TEST_F(WindowTest, MissingOrUnopenableServerFileGivesAnEmptyListWithoutMessage) {
    pointSettingsAtInstallation();
    Tfcontavtascontado* w = createWindow();
    EXPECT_EQ(w->ArchivoServidores(), installation() + "\\SERVIDORES.cfg");
    EXPECT_TRUE(w->Servidores().Lines().empty());
    EXPECT_EQ(w->Servidor->ItemIndex(), -1);
    app.reset();

    std::filesystem::create_directory(installation() + "/SERVIDORES.cfg");
    w = createWindow();
    EXPECT_TRUE(comboItems(w->Servidor).empty()) << "a folder in its place";
    EXPECT_TRUE(env.Dialogs.Boxes().empty());
}

TEST_F(WindowTest, MissingSettingsFileShowsTheKeyMessageAndStartsWithTheRootServerFile) {
    // No settings file at all.
    Tfcontavtascontado* w = createWindow();
    auto boxes = env.Dialogs.Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].kind, TDialogBox::Message);
    EXPECT_EQ(boxes[0].Text, kKeyMessage);
    EXPECT_EQ(boxes[0].Title, ApplicationTitle());
    EXPECT_EQ(boxes[0].Buttons, TMsgDlgButtons(mbOK));
    // The directory is empty: the server file is looked for in the root.
    EXPECT_EQ(w->ArchivoServidores(), "\\SERVIDORES.cfg");
    EXPECT_EQ(NativePath(w->ArchivoServidores()), "/SERVIDORES.cfg");
    // Start-up went on: the window opens.
    QTimer::singleShot(0, [&] { w->Close(); });
    app->Run();
    EXPECT_EQ(env.Dialogs.Boxes().size(), 1u);
}

TEST_F(WindowTest, DiraplicacionLooksTheKeyUpAfreshOnEveryCall) {
    pointSettingsAtInstallation();
    Tfcontavtascontado* w = createWindow();
    std::string d;
    w->diraplicacion(d);
    EXPECT_EQ(d, installation());
    writeSettings("[General]\nDirectorio=C:\\\\Talvero\\\\\n");
    w->diraplicacion(d);
    EXPECT_EQ(d, "C:\\Talvero\\") << "used exactly as stored";
    std::filesystem::remove(settingsFile());
    d = "stale";
    w->diraplicacion(d);
    EXPECT_EQ(d, "");
    auto boxes = env.Dialogs.Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].Text, kKeyMessage);
}

TEST_F(WindowTest, KeyWithoutTheValueGivesAnEmptyDirectoryWithoutMessage) {
    writeSettings("[General]\nOtro=1\n");
    Tfcontavtascontado* w = createWindow();
    EXPECT_TRUE(env.Dialogs.Boxes().empty());
    EXPECT_EQ(w->ArchivoServidores(), "\\SERVIDORES.cfg");
}

TEST_F(WindowTest, ValueThatIsNotTextShowsTheErrorAndTheWindowStillOpens) {
    writeSettings("[General]\nDirectorio=@ByteArray(/srv)\n");
    writeServers("should not be read\r\n");
    Tfcontavtascontado* w = createWindow();
    auto boxes = env.Dialogs.Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].kind, TDialogBox::Exception);
    EXPECT_EQ(boxes[0].Title, ApplicationTitle());
    EXPECT_EQ(boxes[0].Type, mtError);
    // The message ends in a quote, which sorts before ".": no period.
    EXPECT_EQ(boxes[0].Text, "Invalid data type for 'Directorio'");
    EXPECT_TRUE(w->Servidores().Lines().empty());
    EXPECT_TRUE(comboItems(w->Servidor).empty());
    EXPECT_EQ(w->ArchivoServidores(), "");
    bool shown = false;
    QTimer::singleShot(0, [&] {
        shown = w->Showing();
        w->Close();
    });
    app->Run();
    EXPECT_TRUE(shown);
}

TEST_F(WindowTest, ReaderAgreesWithTheLineRulesOnRandomFiles) {
    // Random files made mostly of line ends, NULs, high bytes and letters,
    // some with lines far longer than an entry holds, checked against the
    // rules applied to the bytes in memory.
    std::mt19937 random(20030120);
    const char alphabet[] = {'\r', '\n', '\0', 'a', 'b', ' ', '\xE1', '\x80', '\xFF', '\x01'};
    for (int round = 0; round < 300; ++round) {
        size_t length = random() % (round % 10 == 0 ? 3000 : 80);
        std::string bytes;
        for (size_t i = 0; i < length; ++i) {
            bool plain = random() % 4 != 0;
            bytes += plain ? 'x' : alphabet[random() % sizeof alphabet];
        }
        std::vector<std::string> expected;
        std::string line;
        for (size_t i = 0; i < bytes.size(); ++i) {
            char b = bytes[i];
            if (b == '\r' || b == '\n') {
                expected.push_back(Win1252ToUtf8(line.substr(0, line.find('\0'))));
                line.clear();
                if (b == '\r') ++i;
            } else if (line.size() < 255) {
                line += b;
            }
        }
        std::string file = dir.Path() + "/random.cfg";
        testsupport::WriteFile(file, bytes);
        TStringList list;
        Tfcontavtascontado::LeerServidores(file, list);
        ASSERT_EQ(list.Lines(), expected) << "round " << round;
    }
}
