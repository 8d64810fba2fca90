// The registry over the settings file, found through XDG_CONFIG_DIRS.

#include "GuiTestHelpers.h"

#include "platform/Exceptions.h"
#include "platform/widgets/TRegistry.h"
#include "support/TestSupport.h"

#include <filesystem>

using guitest::ScopedEnv;
using testsupport::TempDir;
using testsupport::WriteFile;

namespace {

const char* const kKey = "\\Software\\Quelt\\TalveroERP2016";

class Registry : public ::testing::Test {
protected:
    Registry() : env("XDG_CONFIG_DIRS", dir.Path() + "/xdg:/etc/xdg") {
        std::filesystem::create_directories(dir.Path() + "/xdg/Quelt");
    }
    std::string settingsFile() const { return dir.Path() + "/xdg/Quelt/TalveroERP2016.conf"; }
    void writeSettings(const std::string& text) { WriteFile(settingsFile(), text); }
    bool open(TRegistry& reg) {
        reg.SetRootKey(HKEY_LOCAL_MACHINE);
        return reg.OpenKey(kKey, false);
    }

    TempDir dir;
    ScopedEnv env;
};

} // namespace

TEST_F(Registry, KeyIsTheSettingsFileInTheFirstXdgFolder) {
    EXPECT_EQ(TRegistry::SettingsFileOf(kKey), settingsFile());
    ScopedEnv none("XDG_CONFIG_DIRS", std::nullopt);
    EXPECT_EQ(TRegistry::SettingsFileOf(kKey), "/etc/xdg/Quelt/TalveroERP2016.conf");
    ScopedEnv empty("XDG_CONFIG_DIRS", "");
    EXPECT_EQ(TRegistry::SettingsFileOf(kKey), "/etc/xdg/Quelt/TalveroERP2016.conf");
}

TEST_F(Registry, MissingOrUnreadableSettingsFileDoesNotOpen) {
    TRegistry reg;
    EXPECT_FALSE(open(reg)) << "no file";
    std::filesystem::create_directory(settingsFile());
    EXPECT_FALSE(open(reg)) << "a folder in its place";
    std::filesystem::remove(settingsFile());
    EXPECT_EQ(reg.CurrentPath(), "");
    EXPECT_EQ(reg.ReadString("Directorio"), "");
}

TEST_F(Registry, OpensOnlyKeysOfTheLocalMachineSoftware) {
    writeSettings("[General]\nDirectorio=/srv/talvero\n");
    TRegistry reg;
    reg.SetRootKey(HKEY_CURRENT_USER);
    EXPECT_FALSE(reg.OpenKey(kKey, false));
    reg.SetRootKey(HKEY_LOCAL_MACHINE);
    EXPECT_FALSE(reg.OpenKey("\\Hardware\\Quelt\\TalveroERP2016", false));
    EXPECT_FALSE(reg.OpenKey("\\Software\\Quelt\\Otro", false));
    EXPECT_FALSE(reg.OpenKey("\\Software\\Quelt\\TalveroERP2016\\NoSuchGroup", false));
    EXPECT_TRUE(reg.OpenKey("\\software\\Quelt\\TalveroERP2016\\", false));
    EXPECT_EQ(reg.CurrentPath(), "\\software\\Quelt\\TalveroERP2016");
}

TEST_F(Registry, ReadsTextValuesAsStoredAndMissingValuesAsEmpty) {
    struct Case {
        const char* Name;
        const char* File;
        const char* Value;
    };
    const Case cases[] = {
        {"plain", "[General]\nDirectorio=/srv/talvero\n", "/srv/talvero"},
        {"name in another case", "[General]\ndirectorio=/srv/x\n", "/srv/x"},
        {"quoted with a comma", "[General]\nDirectorio=\"/srv/a,b\"\n", "/srv/a,b"},
        {"a comma and a blank, unquoted", "[General]\nDirectorio=/srv/Talvero, S.A.\n",
         "/srv/Talvero, S.A."},
        {"commas with blanks as written", "[General]\nDirectorio=a ,b,  c\t,d\n", "a ,b,  c\t,d"},
        {"a comma at the end", "[General]\nDirectorio=/srv/x,\n", "/srv/x,"},
        {"quoted parts around a comma", "[General]\nDirectorio=\"/srv/a \" , \"b\"\n",
         "/srv/a  , b"},
        {"an escape beside a comma", "[General]\nDirectorio=C:\\\\Talvero, S.A.\n",
         "C:\\Talvero, S.A."},
        {"a comma after a comment mark", "[General]\nDirectorio=/srv/x ; a, b\n", "/srv/x"},
        {"a comma in a deeper group", "[Red]\nOtro=1\n[General]\nDirectorio=/a, b\n", "/a, b"},
        {"the last of two lines", "[General]\nDirectorio=/a\nDirectorio=/b, c\n", "/b, c"},
        {"accents",
         "[General]\nDirectorio=/srv/compa\xC3\xB1\xC3\xAD"
         "a\n",
         "/srv/compa\xC3\xB1\xC3\xAD"
         "a"},
        {"trailing backslash kept", "[General]\nDirectorio=\"C:\\\\Talvero\\\\\"\n",
         "C:\\Talvero\\"},
        {"empty value", "[General]\nDirectorio=\n", ""},
        {"value missing", "[General]\nOtro=1\n", ""},
        {"only in another group", "[Otro]\nDirectorio=/x\n", ""},
        {"empty file", "", ""},
    };
    // Each case in a folder of its own: a rewrite of the same file with as
    // many bytes within one tick of the file system's clock looks unchanged
    // to QSettings, which then keeps the text it read before.
    for (const Case& c : cases) {
        TempDir own;
        ScopedEnv there("XDG_CONFIG_DIRS", own.Path());
        std::filesystem::create_directories(own.Path() + "/Quelt");
        WriteFile(own.Path() + "/Quelt/TalveroERP2016.conf", c.File);
        TRegistry reg;
        ASSERT_TRUE(open(reg)) << c.Name;
        EXPECT_EQ(reg.ReadString("Directorio"), c.Value) << c.Name;
    }
}

TEST_F(Registry, ValuesThatAreNotTextRaiseInvalidDataType) {
    const char* const files[] = {
        "[General]\nDirectorio=@ByteArray(abc)\n",  // binary data
        "[General]\nDirectorio=@Point(1 2)\n",      // another type
        "[General]\nDirectorio=@ByteArray(a), b\n", // a list holding binary data
    };
    for (const char* file : files) {
        writeSettings(file);
        TRegistry reg;
        ASSERT_TRUE(open(reg)) << file;
        try {
            reg.ReadString("Directorio");
            ADD_FAILURE() << "no exception for " << file;
        } catch (const ERegistryException& e) {
            EXPECT_STREQ(e.what(), "Invalid data type for 'Directorio'") << file;
        }
    }
}

TEST_F(Registry, EveryLookupReadsTheFileAgain) {
    writeSettings("[General]\nDirectorio=/first\n");
    TRegistry reg;
    ASSERT_TRUE(open(reg));
    EXPECT_EQ(reg.ReadString("Directorio"), "/first");
    writeSettings("[General]\nDirectorio=/the/second/one\n");
    EXPECT_EQ(reg.ReadString("Directorio"), "/the/second/one");
    std::filesystem::remove(settingsFile());
    EXPECT_EQ(reg.ReadString("Directorio"), "");
    TRegistry again;
    EXPECT_FALSE(open(again));
}

TEST_F(Registry, TheFolderIsLookedUpAgainOnEveryOpen) {
    writeSettings("[General]\nDirectorio=/first\n");
    TempDir other;
    std::filesystem::create_directories(other.Path() + "/Quelt");
    WriteFile(other.Path() + "/Quelt/TalveroERP2016.conf", "[General]\nDirectorio=/other\n");
    ScopedEnv moved("XDG_CONFIG_DIRS", other.Path());
    TRegistry reg;
    ASSERT_TRUE(open(reg));
    EXPECT_EQ(reg.ReadString("Directorio"), "/other");
}

TEST_F(Registry, SubkeysAreGroupsOfTheFile) {
    writeSettings("[General]\nDirectorio=/top\n[Red]\nServidor=host\n");
    TRegistry reg;
    reg.SetRootKey(HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(reg.OpenKey("\\Software\\Quelt\\TalveroERP2016\\red", false));
    EXPECT_EQ(reg.ReadString("Servidor"), "host");
    EXPECT_EQ(reg.ReadString("Directorio"), "");
    EXPECT_TRUE(reg.ValueExists("SERVIDOR"));
    EXPECT_FALSE(reg.ValueExists("Directorio"));
}
