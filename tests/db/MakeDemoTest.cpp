// scripts/make-demo: the demo installation's three files and its options.

#include "CompanyDb.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace dbtest;
using testsupport::ReadFile;
using testsupport::RunCommand;
using testsupport::TempDir;

namespace {

std::string MakeDemo() {
    return testsupport::SourceDir() + "/scripts/make-demo";
}

TEST(MakeDemo, MakesTheDocumentedLayout) {
    TempDir tmp;
    std::string dir = tmp.File("demo");
    testsupport::CommandResult r = RunCommand({MakeDemo(), dir});
    ASSERT_EQ(r.ExitCode, 0) << r.Output;

    EXPECT_EQ(ReadFile(dir + "/SERVIDORES.cfg"), dir + "\r\n");
    EXPECT_EQ(ReadFile(dir + "/xdg/Quelt/TalveroERP2016.conf"),
              "[General]\nDirectorio=" + dir + "\n");
    // The window's company path: server + "/datos/" + company + "/talvero.fdb".
    std::string database = dir + "/datos/01/talvero.fdb";
    EXPECT_GT(Integer(database, "select count(*) from factura_venta"), 0);
    EXPECT_GT(Integer(database, "select count(distinct taiv_porc) from tarifa_iva"), 0);
    EXPECT_NE(r.Output.find(database), std::string::npos) << r.Output;
}

TEST(MakeDemo, KeepsTheDatabaseUnlessReset) {
    TempDir tmp;
    std::string dir = tmp.File("demo");
    std::string database = dir + "/datos/01/talvero.fdb";
    ASSERT_EQ(RunCommand({MakeDemo(), dir}).ExitCode, 0);
    ASSERT_EQ(Execute(database, "insert into cuenta values ('999999', 'Marca', 'D');").ExitCode, 0);

    ASSERT_EQ(RunCommand({MakeDemo(), dir}).ExitCode, 0);
    EXPECT_EQ(Integer(database, "select count(*) from cuenta where cuen_codigo = '999999'"), 1);

    testsupport::CommandResult r = RunCommand({MakeDemo(), "--reset", dir});
    ASSERT_EQ(r.ExitCode, 0) << r.Output;
    EXPECT_EQ(Integer(database, "select count(*) from cuenta where cuen_codigo = '999999'"), 0);
    EXPECT_GT(Integer(database, "select count(*) from factura_venta"), 0);
}

TEST(MakeDemo, ARelativeFolderIsWrittenAsAnAbsolutePath) {
    TempDir tmp;
    testsupport::CommandResult r = RunCommand({"env", "-C", tmp.Path(), MakeDemo(), "rel/demo"});
    ASSERT_EQ(r.ExitCode, 0) << r.Output;
    std::string dir = std::filesystem::canonical(tmp.Path()).string() + "/rel/demo";
    EXPECT_EQ(ReadFile(dir + "/SERVIDORES.cfg"), dir + "\r\n");
    EXPECT_EQ(ReadFile(dir + "/xdg/Quelt/TalveroERP2016.conf"),
              "[General]\nDirectorio=" + dir + "\n");
}

TEST(MakeDemo, AFolderNameWithSpecialCharactersIsQuotedAndInWindows1252) {
    // Under the caller's locale, and under C as in a cron job or a bare
    // container, where a tool that follows the locale cannot take the "ñ".
    for (std::vector<std::string> env : {std::vector<std::string>{}, {"env", "LC_ALL=C"}}) {
        SCOPED_TRACE(env.empty() ? "the caller's locale" : env.back());
        TempDir tmp;
        std::string dir = tmp.File("demo, año 2016");
        env.insert(env.end(), {MakeDemo(), dir});
        testsupport::CommandResult r = RunCommand(env);
        ASSERT_EQ(r.ExitCode, 0) << r.Output;
        std::string prefix = tmp.Path() + "/demo, a";
        EXPECT_EQ(ReadFile(dir + "/SERVIDORES.cfg"), prefix + "\xF1"
                                                              "o 2016\r\n");
        EXPECT_EQ(ReadFile(dir + "/xdg/Quelt/TalveroERP2016.conf"),
                  "[General]\nDirectorio=\"" + dir + "\"\n");
        // Under the very bytes of the name given, where the server line leads.
        EXPECT_TRUE(std::filesystem::exists(dir + "/datos/01/talvero.fdb"));
    }
}

TEST(MakeDemo, RefusesAFolderNameOfSeveralLines) {
    TempDir tmp;
    testsupport::CommandResult r = RunCommand({MakeDemo(), tmp.File("a\nb")});
    EXPECT_NE(r.ExitCode, 0);
    EXPECT_FALSE(std::filesystem::exists(tmp.File("a\nb")));
}

} // namespace
