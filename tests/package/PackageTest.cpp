// The Debian package: what it installs and with which modes, its control
// fields, the desktop entry and icon, and what the launcher hands the
// program. The package is the one CPack makes from this build (the ctest
// fixture package.make), with the install rules and settings that
// scripts/package uses for the release build.

#include "support/TestSupport.h"

#include <QColor>
#include <QImage>
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

using testsupport::BinaryDir;
using testsupport::CommandResult;
using testsupport::ReadFile;
using testsupport::RunCommand;
using testsupport::SourceDir;
using testsupport::TempDir;
using testsupport::WriteFile;

const std::string kProgramDir = "usr/libexec/contavtascontadomv";

std::string ThePackage() {
    std::vector<std::string> found;
    std::error_code ec;
    for (const auto& entry :
         std::filesystem::directory_iterator(BinaryDir() + "/package-test", ec))
        if (entry.path().extension() == ".deb") found.push_back(entry.path().string());
    EXPECT_EQ(found.size(), 1u) << "one package in " << BinaryDir() << "/package-test";
    return found.empty() ? std::string() : found.front();
}

std::string Field(const std::string& deb, const std::string& name) {
    CommandResult r = RunCommand({"dpkg-deb", "--field", deb, name});
    EXPECT_EQ(r.ExitCode, 0) << r.Output;
    while (!r.Output.empty() && r.Output.back() == '\n')
        r.Output.pop_back();
    return r.Output;
}

// The package's folder tree unpacked into a temporary folder.
class Unpacked : public ::testing::Test {
protected:
    void SetUp() override {
        deb = ThePackage();
        ASSERT_FALSE(deb.empty());
        CommandResult r = RunCommand({"dpkg-deb", "--extract", deb, tmp.Path()});
        ASSERT_EQ(r.ExitCode, 0) << r.Output;
    }
    std::string Path(const std::string& inPackage) const { return tmp.Path() + "/" + inPackage; }

    TempDir tmp;
    std::string deb;
};

TEST(Package, ControlFields) {
    std::string deb = ThePackage();
    ASSERT_FALSE(deb.empty());
    EXPECT_EQ(Field(deb, "Package"), "contavtascontadomv");
    EXPECT_EQ(Field(deb, "Version"), TALVERO_VERSION);
    std::string architecture = RunCommand({"dpkg", "--print-architecture"}).Output;
    EXPECT_EQ(Field(deb, "Architecture") + "\n", architecture);
    std::string depends = Field(deb, "Depends");
    // Named: loaded at run time, linked by no binary.
    EXPECT_NE(depends.find("libfbclient2"), std::string::npos) << depends;
    EXPECT_NE(depends.find("firebird3.0-server-core"), std::string::npos) << depends;
    // Computed from the binaries by dpkg-shlibdeps.
    for (const char* library : {"libc6 (>=", "libqt6widgets6 (>=", "libqt6core6", "libstdc++6 (>="})
        EXPECT_NE(depends.find(library), std::string::npos) << library << " in " << depends;
    EXPECT_NE(Field(deb, "Description").find("Contabilizar ventas de contado"), std::string::npos);

    // No maintainer scripts: installing and removing only adds and removes
    // the package's files.
    TempDir control;
    CommandResult r = RunCommand({"dpkg-deb", "--control", deb, control.File("DEBIAN")});
    ASSERT_EQ(r.ExitCode, 0) << r.Output;
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(control.File("DEBIAN")))
        names.insert(entry.path().filename().string());
    EXPECT_EQ(names, (std::set<std::string>{"control", "md5sums"}));
}

// Every file with its mode, and nothing else: no settings, no company data.
TEST(Package, InstallsTheProgramTheDriverTheLauncherTheMenuEntryAndTheDocumentation) {
    std::string deb = ThePackage();
    ASSERT_FALSE(deb.empty());
    CommandResult r = RunCommand({"dpkg-deb", "--contents", deb});
    ASSERT_EQ(r.ExitCode, 0) << r.Output;
    std::map<std::string, std::string> files; // path -> mode
    std::istringstream lines(r.Output);
    std::string mode, owner, size, date, time, path;
    while (lines >> mode >> owner >> size >> date >> time >> path) {
        EXPECT_EQ(owner, "root/root") << path;
        if (mode[0] == '-') files[path] = mode;
        else EXPECT_EQ(mode, "drwxr-xr-x") << path;
    }
    const std::map<std::string, std::string> expected = {
        {"./usr/bin/contavtascontadomv", "-rwxr-xr-x"},
        {"./" + kProgramDir + "/contavtascontadomv", "-rwxr-xr-x"},
        {"./" + kProgramDir + "/libfbdriver.so", "-rw-r--r--"},
        {"./usr/share/applications/contavtascontadomv.desktop", "-rw-r--r--"},
        {"./usr/share/icons/hicolor/48x48/apps/contavtascontadomv.png", "-rw-r--r--"},
        {"./usr/share/doc/contavtascontadomv/README.md", "-rw-r--r--"},
    };
    for (const auto& [file, fileMode] : expected) {
        ASSERT_TRUE(files.count(file)) << file << " is missing:\n" << r.Output;
        EXPECT_EQ(files[file], fileMode) << file;
    }
    // Besides those, only the README's pictures.
    for (const auto& [file, fileMode] : files) {
        if (expected.count(file)) continue;
        EXPECT_EQ(file.rfind("./usr/share/doc/contavtascontadomv/docs/", 0), 0u) << file;
        EXPECT_EQ(std::filesystem::path(file).extension(), ".png") << file;
        EXPECT_EQ(fileMode, "-rw-r--r--") << file;
    }
    for (const char* picture : {"window.png", "posting.png", "editor.png"})
        EXPECT_TRUE(files.count(std::string("./usr/share/doc/contavtascontadomv/docs/") + picture))
            << picture;
}

TEST_F(Unpacked, TheDesktopEntryIsValidAndStartsTheLauncherWithTheWindowsIcon) {
    std::string entry = Path("usr/share/applications/contavtascontadomv.desktop");
    CommandResult r = RunCommand({"desktop-file-validate", entry});
    EXPECT_EQ(r.ExitCode, 0) << r.Output;
    EXPECT_EQ(r.Output, "");
    std::string text = ReadFile(entry);
    for (const char* line :
         {"Type=Application\n", "Name=Contabilizar ventas de contado\n", "Exec=contavtascontadomv\n",
          "Icon=contavtascontadomv\n", "Categories=Office;Finance;\n", "Terminal=false\n"})
        EXPECT_NE(text.find(line), std::string::npos) << line << "in\n" << text;
    EXPECT_NE(text.find("Comment=Genera la contabilización"), std::string::npos) << text;

    // The icon: the run button's glyph centred on 48 x 48, its ground
    // transparent.
    QImage icon(QString::fromStdString(Path("usr/share/icons/hicolor/48x48/apps/contavtascontadomv.png")));
    QImage glyph(QString::fromStdString(SourceDir() + "/src/resources/ejecutar.png"));
    ASSERT_FALSE(icon.isNull());
    ASSERT_FALSE(glyph.isNull());
    EXPECT_EQ(icon.size(), QSize(48, 48));
    QRgb ground = glyph.pixel(0, glyph.height() - 1);
    int left = (48 - glyph.width()) / 2, top = (48 - glyph.height()) / 2;
    int drawn = 0;
    for (int y = 0; y < 48; ++y) {
        for (int x = 0; x < 48; ++x) {
            QRgb expected = 0;
            bool inside = x >= left && y >= top && x < left + glyph.width() && y < top + glyph.height();
            if (inside && glyph.pixel(x - left, y - top) != ground) {
                expected = glyph.pixel(x - left, y - top);
                ++drawn;
            }
            if (qAlpha(expected) == 0)
                ASSERT_EQ(qAlpha(icon.pixel(x, y)), 0) << x << "," << y;
            else
                ASSERT_EQ(icon.pixel(x, y), expected) << x << "," << y;
        }
    }
    EXPECT_GT(drawn, 100);
}

// The launcher is run with a stand-in for the program that prints its
// arguments and its environment.
class Launcher : public Unpacked {
protected:
    void SetUp() override {
        Unpacked::SetUp();
        if (HasFatalFailure()) return;
        std::string program = Path(kProgramDir + "/contavtascontadomv");
        WriteFile(program, "#!/bin/sh\nprintf 'arg %s\\n' \"$@\"\nenv\nexit 7\n");
        chmod(program.c_str(), 0755);
    }
    // The environment the stand-in saw, and its arguments under "arg".
    std::multimap<std::string, std::string> Run(const std::vector<std::string>& environment,
                                                 const std::string& launcher = {}) {
        std::vector<std::string> argv = {"env", "-i"};
        argv.insert(argv.end(), environment.begin(), environment.end());
        argv.push_back(launcher.empty() ? Path("usr/bin/contavtascontadomv") : launcher);
        argv.insert(argv.end(), {"-one", "two words"});
        CommandResult r = RunCommand(argv);
        EXPECT_EQ(r.ExitCode, 7) << r.Output;
        std::multimap<std::string, std::string> seen;
        std::istringstream lines(r.Output);
        std::string line;
        while (std::getline(lines, line)) {
            if (line.rfind("arg ", 0) == 0) seen.emplace("arg", line.substr(4));
            else if (size_t eq = line.find('='); eq != std::string::npos)
                seen.emplace(line.substr(0, eq), line.substr(eq + 1));
        }
        seen.erase("PWD"); // the shell's own
        return seen;
    }
};

TEST_F(Launcher, SetsTheCLocaleForDayFirstDatesAndLeavesTheRestAsGiven) {
    const std::vector<std::string> common = {"PATH=/usr/bin:/bin", "HOME=/home/caja",
                                             "XDG_CONFIG_DIRS=/srv/demo/xdg", "DISPLAY=:7",
                                             "FIREBIRD_LOCK=/tmp/lock folder"};
    // No locale at all, a month-first language, and one that LC_ALL imposes.
    for (const std::vector<std::string>& locale :
         {std::vector<std::string>{}, {"LANG=en_US.UTF-8", "LC_TIME=en_US.UTF-8"},
          {"LC_ALL=en_US.UTF-8", "LANGUAGE=en_US:en"}}) {
        std::vector<std::string> given = common;
        given.insert(given.end(), locale.begin(), locale.end());
        SCOPED_TRACE(locale.empty() ? "no locale" : locale.front());

        std::multimap<std::string, std::string> seen = Run(given);
        std::multimap<std::string, std::string> expected = {{"arg", "-one"}, {"arg", "two words"},
                                                            {"LC_ALL", "C.UTF-8"}};
        for (const std::string& variable : given) {
            size_t eq = variable.find('=');
            if (variable.substr(0, eq) != "LC_ALL")
                expected.emplace(variable.substr(0, eq), variable.substr(eq + 1));
        }
        EXPECT_EQ(seen, expected);
    }
}

TEST_F(Launcher, FindsTheProgramThroughALinkToIt) {
    std::string link = tmp.File("elsewhere");
    std::filesystem::create_directory(link);
    std::filesystem::create_symlink(Path("usr/bin/contavtascontadomv"), link + "/contabilizar");
    std::multimap<std::string, std::string> seen = Run({"PATH=/usr/bin:/bin"}, link + "/contabilizar");
    EXPECT_EQ(seen.count("LC_ALL"), 1u);
    EXPECT_EQ(seen.count("arg"), 2u);
}

} // namespace
