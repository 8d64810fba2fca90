// The connection's messages against a real server on the loopback address,
// and a server that dies in the middle of the provider's transaction.

#include "TSQLConnectionTestSupport.h"
#include "support/FirebirdServer.h"
#include "support/TestSupport.h"

#include "platform/Exceptions.h"
#include "platform/SysUtils.h"

#include <gtest/gtest.h>

#include <chrono>

using connectiontest::ConfigureLikeTheWindow;
using testsupport::FirebirdServer;

namespace {

class TSQLConnectionServerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server.Start()) << server.Error();
        path = server.DataFolder() + "/talvero.fdb";
        testsupport::CreateDatabase(path, "CREATE TABLE T (ID INTEGER NOT NULL, "
                                          "CONSTRAINT PK_T PRIMARY KEY (ID));");
        ConfigureLikeTheWindow(c, server.DatabaseUrl(path), "SYSDBA", FirebirdServer::Password);
    }
    std::string failure(const std::function<void()>& action) {
        try {
            action();
        } catch (const EDatabaseError& e) {
            return e.what();
        }
        return "no exception";
    }
    FirebirdServer server;
    std::string path;
    TSQLConnection c;
};

} // namespace

TEST_F(TSQLConnectionServerTest, RefusedLoginsNameTheFailedConnectionAndTheServersText) {
    struct Case {
        std::string Database, Password, Server;
    } cases[] = {
        {server.DatabaseUrl(path), "wrong",
         "Your user name and password are not defined. Ask your database administrator to set "
         "up a Firebird login."},
        {server.DatabaseUrl(server.DataFolder() + "/datos/07/talvero.fdb"),
         FirebirdServer::Password,
         "I/O error during \"open\" operation for file \"" + server.DataFolder() +
             "/datos/07/talvero.fdb\" Error while trying to open file No such file or directory"},
    };
    for (const Case& k : cases) {
        c.Params().SetValues("Database", k.Database);
        c.Params().SetValues("password", k.Password);
        std::string before = c.Params().Text();
        EXPECT_EQ(failure([&] { c.Open(); }),
                  "Database Error: [0x0015]: Connection failed\r\nSQL Server Error: " + k.Server);
        EXPECT_FALSE(c.Connected());
        EXPECT_EQ(c.Params().Text(), before);
    }
    // Corrected, the same connection opens.
    c.Params().SetValues("Database", server.DatabaseUrl(path));
    c.Params().SetValues("password", FirebirdServer::Password);
    c.Open();
    EXPECT_TRUE(c.Connected());
}

TEST_F(TSQLConnectionServerTest, KeyViolationReadsFromCharacterNineteen) {
    TParams p;
    p.Add("ID", ftInteger, Variant(int32_t(1)));
    c.Execute("insert into \"T\"\r\n  (\"ID\")\r\nvalues\r\n  (?)\r\n", p);
    std::string message =
        failure([&] { c.Execute("insert into \"T\"\r\n  (\"ID\")\r\nvalues\r\n  (?)\r\n", p); });
    EXPECT_EQ(message, "SQL Server Error: violation of PRIMARY or UNIQUE KEY constraint \"PK_T\" "
                       "on table \"T\" Problematic key value is (\"ID\" = 1)");
    EXPECT_EQ(Copy(message, 19, 20), "violation of PRIMARY");
}

TEST_F(TSQLConnectionServerTest, ServerKilledMidTransactionLosesItsWritesWithoutHanging) {
    TParams none;
    c.Execute("INSERT INTO T VALUES (1)", none);
    TTransactionDesc d = c.DefaultTransactionDesc();
    c.StartTransaction(d);
    c.Execute("INSERT INTO T VALUES (2)", none);
    server.Kill();

    auto started = std::chrono::steady_clock::now();
    std::string message = failure([&] { c.Execute("INSERT INTO T VALUES (3)", none); });
    EXPECT_EQ(message.rfind("SQL Server Error: ", 0), 0u) << message;
    message = failure([&] { c.Commit(d); });
    EXPECT_EQ(message.rfind("SQL Server Error: ", 0), 0u) << message;
    EXPECT_FALSE(c.InTransaction());
    c.Close();
    EXPECT_FALSE(c.Connected());
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10));

    ASSERT_TRUE(server.Restart()) << server.Error();
    c.Open();
    auto command = c.CreateCommand();
    ASSERT_EQ(command->prepare("SELECT LIST(ID) FROM T", 0), DBXERR_NONE);
    ISQLCursor* raw = nullptr;
    ASSERT_EQ(command->execute(&raw), DBXERR_NONE);
    std::unique_ptr<ISQLCursor> cursor(raw);
    ASSERT_EQ(cursor->next(), DBXERR_NONE);
    TDBXValue v;
    ASSERT_EQ(cursor->getValue(1, v), DBXERR_NONE);
    EXPECT_EQ(v.Text, "1");
}
