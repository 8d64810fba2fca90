// Loading the module, attaching to embedded databases and what the metadata
// says about them.

#include "DriverTestSupport.h"
#include "support/FirebirdServer.h"
#include "support/TestSupport.h"

#include "data/DriverLoader.h"

#include <gtest/gtest.h>

using namespace drivertest;

namespace {

TGetDriverFunc entry() {
    void* module = DriverLoader::Load("libfbdriver.so");
    EXPECT_NE(module, nullptr);
    return reinterpret_cast<TGetDriverFunc>(DriverLoader::Find(module, "getSQLDriverINTERBASE"));
}

class FbConnectTest : public ::testing::Test {
protected:
    void SetUp() override {
        db = dir.File("c.fdb");
        testsupport::CreateDatabase(db, "CREATE TABLE T (ID INTEGER);");
    }
    testsupport::TempDir dir;
    std::string db;
};

} // namespace

TEST(FbDriverEntry, MissingClientLibraryGivesNoDriver) {
    ISQLDriver* driver = reinterpret_cast<ISQLDriver*>(1);
    EXPECT_EQ(entry()("libfbclient-missing.so.2", "", &driver), DBXERR_DRIVERINITFAILED);
    EXPECT_EQ(driver, nullptr);
}

TEST(FbDriverEntry, LibraryWithoutTheClientEntriesGivesNoDriver) {
    ISQLDriver* driver = nullptr;
    EXPECT_EQ(entry()("libm.so.6", "", &driver), DBXERR_DRIVERINITFAILED);
    EXPECT_EQ(driver, nullptr);
}

TEST(FbDriverEntry, LoadsTheModuleFromTheProgramFolderFirst) {
    // The tests run from the build's bin folder, where the module is built.
    EXPECT_EQ(DriverLoader::ProgramFolder(), testsupport::BinDir());
    ASSERT_NE(entry(), nullptr);
    ISQLDriver* driver = nullptr;
    ASSERT_EQ(entry()("libfbclient.so.2", "", &driver), DBXERR_NONE);
    delete driver;
}

TEST_F(FbConnectTest, EmbeddedDatabaseAnswersStatements) {
    auto c = Connect(db);
    EXPECT_EQ(Exec(*c, "INSERT INTO T VALUES (1)"), 1u);
    auto rows = Query(*c, "SELECT COUNT(*) FROM T");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][0].Int, 1);
    EXPECT_EQ(c->disconnect(), DBXERR_NONE);
}

TEST_F(FbConnectTest, MetaDataQuotesWithDoubleQuoteAndOffersOneTransaction) {
    auto c = Connect(db);
    ISQLMetaData* raw = nullptr;
    ASSERT_EQ(c->getSQLMetaData(&raw), DBXERR_NONE);
    std::unique_ptr<ISQLMetaData> md(raw);
    std::string value;
    EXPECT_EQ(md->getOption(TSQLMetaDataOption::ObjectQuoteChar, value), DBXERR_NONE);
    EXPECT_EQ(value, "\"");
    EXPECT_EQ(md->getOption(TSQLMetaDataOption::SupportsTransaction, value), DBXERR_NONE);
    EXPECT_EQ(value, "True");
    EXPECT_EQ(md->getOption(TSQLMetaDataOption::SupportsTransactions, value), DBXERR_NONE);
    EXPECT_EQ(value, "False");
    EXPECT_EQ(md->setOption(TSQLMetaDataOption::SchemaName, "SYSDBA"), DBXERR_NONE);
    EXPECT_EQ(md->getOption(TSQLMetaDataOption::SchemaName, value), DBXERR_NONE);
    EXPECT_EQ(value, "SYSDBA");
}

TEST_F(FbConnectTest, DialectOneHasNoQuoteCharacter) {
    auto c = NewConnection();
    ASSERT_EQ(c->setOption(TSQLConnectionOption::SQLDialect, "1"), DBXERR_NONE);
    ASSERT_EQ(c->connect(db, "SYSDBA", ""), DBXERR_NONE) << ErrorText(*c);
    ISQLMetaData* raw = nullptr;
    ASSERT_EQ(c->getSQLMetaData(&raw), DBXERR_NONE);
    std::unique_ptr<ISQLMetaData> md(raw);
    std::string value = "x";
    md->getOption(TSQLMetaDataOption::ObjectQuoteChar, value);
    EXPECT_EQ(value, "");
}

TEST_F(FbConnectTest, MissingFileIsAFailedConnectionWithTheServersText) {
    auto c = NewConnection();
    std::string missing = dir.File("none.fdb");
    EXPECT_EQ(c->connect(missing, "SYSDBA", ""), DBXERR_CONNECTIONFAILED);
    EXPECT_EQ(ErrorText(*c), "I/O error during \"open\" operation for file \"" + missing +
                                 "\" Error while trying to open file No such file or directory");
    // A refused connect leaves nothing half open.
    ISQLCommand* command = nullptr;
    EXPECT_EQ(c->getSQLCommand(&command), DBXERR_INVALIDHNDL);
    EXPECT_EQ(command, nullptr);
}

// A drive letter names a local file: the drive is the root of the file
// system, backslashes separate folders, and the embedded engine opens it.
TEST_F(FbConnectTest, ADriveLetterNamesALocalFile) {
    std::string windowsStyle = "C:" + db;
    for (char& ch : windowsStyle)
        if (ch == '/') ch = '\\';
    auto c = Connect(windowsStyle);
    auto rows = Query(*c, "SELECT MON$DATABASE_NAME FROM MON$DATABASE");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][0].Text, db);
    EXPECT_EQ(c->disconnect(), DBXERR_NONE);

    auto missing = NewConnection();
    EXPECT_EQ(missing->connect("C:\\TALvero\\sop\\talvero.fdb", "sysdba", "brackwold"),
              DBXERR_CONNECTIONFAILED);
    EXPECT_EQ(ErrorText(*missing),
              "I/O error during \"open\" operation for file \"/TALvero/sop/talvero.fdb\" Error "
              "while trying to open file No such file or directory");
}

TEST_F(FbConnectTest, CallsOnAClosedConnectionFailWithoutCrashing) {
    auto c = Connect(db);
    ASSERT_EQ(c->disconnect(), DBXERR_NONE);
    ISQLCommand* command = nullptr;
    EXPECT_EQ(c->getSQLCommand(&command), DBXERR_INVALIDHNDL);
    EXPECT_EQ(c->beginTransaction(TTransactionDesc{}), DBXERR_INVALIDHNDL);
    EXPECT_EQ(c->commit(1), DBXERR_INVALIDHNDL);
    EXPECT_EQ(ErrorText(*c), "The connection to the database is closed");
    // It can be opened again.
    ASSERT_EQ(c->connect(db, "SYSDBA", ""), DBXERR_NONE);
    EXPECT_EQ(Query(*c, "SELECT COUNT(*) FROM T").size(), 1u);
}

TEST_F(FbConnectTest, InvalidOptionValuesAreRefused) {
    auto c = NewConnection();
    EXPECT_EQ(c->setOption(TSQLConnectionOption::SQLDialect, "4"), DBXERR_INVALIDPARAM);
    EXPECT_EQ(c->setOption(TSQLConnectionOption::BlobSize, "big"), DBXERR_INVALIDPARAM);
    EXPECT_EQ(c->setOption(TSQLConnectionOption::ConnectionTimeout, "5"), DBXERR_NONE);
    EXPECT_EQ(c->setOption(TSQLConnectionOption::CommitRetain, "False"), DBXERR_NOTSUPPORTED);
}

TEST_F(FbConnectTest, RoleNameIsSentToTheServer) {
    testsupport::RunIsql(db, "CREATE ROLE ROLENAME; COMMIT; GRANT ROLENAME TO SYSDBA;");
    auto c = NewConnection();
    ASSERT_EQ(c->setOption(TSQLConnectionOption::RoleName, "RoleName"), DBXERR_NONE);
    ASSERT_EQ(c->connect(db, "SYSDBA", ""), DBXERR_NONE) << ErrorText(*c);
    auto rows = Query(*c, "SELECT CURRENT_ROLE, CURRENT_USER FROM RDB$DATABASE");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][0].Text, "ROLENAME");
    EXPECT_EQ(rows[0][1].Text, "SYSDBA");
}
