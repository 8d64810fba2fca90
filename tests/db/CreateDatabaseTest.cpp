// db/create-database: the file it makes, what it refuses and how it fails.

#include "CompanyDb.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace dbtest;
using testsupport::RunCommand;
using testsupport::TempDir;

namespace {

std::string CreateScript() {
    return testsupport::SourceDir() + "/db/create-database";
}

} // namespace

TEST(CreateDatabase, MakesMissingFoldersAndAWin1252Dialect3Database) {
    TempDir dir;
    std::string path = dir.File("datos/07/talvero.fdb");
    testsupport::CreateCompanyDatabase(path);
    ASSERT_TRUE(std::filesystem::exists(path));

    EXPECT_EQ(Scalar(path, "select trim(rdb$character_set_name) from rdb$database"), "WIN1252");
    EXPECT_EQ(Integer(path, "select mon$sql_dialect from mon$database"), 3);
}

TEST(CreateDatabase, AccentedTextLandsAsWin1252) {
    CompanyDb db;
    // Read over UTF8, the scripts' text comes back as it was written.
    EXPECT_EQ(Scalar(db.Path(), "select empr_nombre from empresa"),
              "Compañía Demostración Talvero S.A.S.");
    EXPECT_EQ(Scalar(db.Path(), "select cuen_nombre from cuenta where cuen_codigo = '413521'"),
              "Ventas de artículos importados al 19 %");
    // One byte per character: stored in WIN1252, not as UTF-8 bytes.
    EXPECT_EQ(Integer(db.Path(), "select octet_length(empr_nombre) - char_length(empr_nombre) "
                                 "from empresa"),
              0);
    // Without a connection character set the stored bytes come as they are.
    testsupport::CommandResult raw =
        RunCommand(testsupport::IsqlCommand({"-q", "-user", "SYSDBA", db.Path()}),
                   "select clie_nombre from cliente where clie_id = 3;\n");
    EXPECT_NE(raw.Output.find("Panader\xED"
                              "a La Espiga"),
              std::string::npos)
        << raw.Output;
}

TEST(CreateDatabase, RefusesToOverwriteAnExistingFile) {
    TempDir dir;
    std::string path = dir.File("talvero.fdb");
    testsupport::WriteFile(path, "not a database");

    testsupport::CommandResult r = RunCommand({CreateScript(), path});
    EXPECT_NE(r.ExitCode, 0);
    EXPECT_NE(r.Output.find("already exists"), std::string::npos) << r.Output;
    EXPECT_EQ(testsupport::ReadFile(path), "not a database");
}

TEST(CreateDatabase, RejectsBadArguments) {
    TempDir dir;
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"--sample"},
        {dir.File("a.fdb"), dir.File("b.fdb")},
    };
    for (const auto& args : cases) {
        std::vector<std::string> argv = {CreateScript()};
        argv.insert(argv.end(), args.begin(), args.end());
        testsupport::CommandResult r = RunCommand(argv);
        EXPECT_EQ(r.ExitCode, 2) << r.Output;
        EXPECT_NE(r.Output.find("usage:"), std::string::npos) << r.Output;
    }
    EXPECT_FALSE(std::filesystem::exists(dir.File("a.fdb")));
}

// A copy of db/ whose sample script ends in a statement the server refuses.
class BrokenScripts : public ::testing::Test {
protected:
    void SetUp() override {
        namespace fs = std::filesystem;
        fs::copy(testsupport::SourceDir() + "/db", Db.File("db"), fs::copy_options::recursive);
        std::string sample = Db.File("db/sql/04-sample.sql");
        testsupport::WriteFile(sample, testsupport::ReadFile(sample) +
                                           "\nINSERT INTO NO_SUCH_TABLE VALUES (1);\n");
    }
    TempDir Db;
    TempDir Out;
};

TEST_F(BrokenScripts, AnSqlErrorFailsWithIsqlsMessageAndLeavesNoFile) {
    std::string path = Out.File("talvero.fdb");
    testsupport::CommandResult r = RunCommand({Db.File("db/create-database"), path});
    EXPECT_NE(r.ExitCode, 0);
    EXPECT_NE(r.Output.find("NO_SUCH_TABLE"), std::string::npos) << r.Output;
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST_F(BrokenScripts, NoSampleSkipsTheSampleScript) {
    std::string path = Out.File("talvero.fdb");
    testsupport::CommandResult r = RunCommand({Db.File("db/create-database"), path, "--no-sample"});
    ASSERT_EQ(r.ExitCode, 0) << r.Output;
    EXPECT_EQ(Integer(path, "select count(*) from factura_venta"), 0);
}

TEST(CreateDatabase, WithoutSampleTheTablesAreEmptyAndThePostingWorks) {
    CompanyDb db(false);
    for (const char* table : {"EMPRESA", "CUENTA", "TARIFA_IVA", "CLIENTE", "FACTURA_VENTA",
                              "FACTURA_VENTA_DET", "COMPROBANTE", "MOVIMIENTO", "AJUSTE_CIERRE"})
        EXPECT_EQ(Integer(db.Path(), std::string("select count(*) from ") + table), 0) << table;
    EXPECT_TRUE(
        Query(db.Path(), "select * from contado_mverde_pref('01/01/2016', '31/12/2016', 'FV')")
            .empty());
}
