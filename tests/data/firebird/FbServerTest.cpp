// The driver against a real server on the loopback address: logins, and a
// server that dies in the middle of a transaction.

#include "DriverTestSupport.h"
#include "support/FirebirdServer.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <chrono>

using namespace drivertest;
using testsupport::FirebirdServer;

namespace {

class FbServerTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(server.Start()) << server.Error();
        path = server.DataFolder() + "/s.fdb";
        testsupport::CreateDatabase(path, "CREATE TABLE X (ID INTEGER NOT NULL PRIMARY KEY);");
        url = server.DatabaseUrl(path);
    }
    FirebirdServer server;
    std::string path, url;
};

} // namespace

TEST_F(FbServerTest, ConnectsThroughTheServer) {
    auto c = Connect(url, FirebirdServer::Password);
    EXPECT_EQ(Exec(*c, "INSERT INTO X VALUES (1)"), 1u);
    auto rows = Query(*c, "SELECT MON$REMOTE_PROTOCOL FROM MON$ATTACHMENTS "
                          "WHERE MON$ATTACHMENT_ID = CURRENT_CONNECTION");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][0].Text, "TCPv4");
}

TEST_F(FbServerTest, HostNameAndPortOptionsNameTheServer) {
    auto c = NewConnection();
    c->setOption(TSQLConnectionOption::HostName, "127.0.0.1");
    c->setOption(TSQLConnectionOption::ServerPort, std::to_string(server.Port()));
    ASSERT_EQ(c->connect(path, "SYSDBA", FirebirdServer::Password), DBXERR_NONE) << ErrorText(*c);
    auto rows = Query(*c, "SELECT MON$REMOTE_PROTOCOL FROM MON$ATTACHMENTS "
                          "WHERE MON$ATTACHMENT_ID = CURRENT_CONNECTION");
    EXPECT_EQ(rows[0][0].Text, "TCPv4");
}

TEST_F(FbServerTest, RefusedLoginsAreFailedConnections) {
    struct Case {
        std::string Database, Password, Text;
    } cases[] = {
        {url, "wrong",
         "Your user name and password are not defined. Ask your database administrator to set "
         "up a Firebird login."},
        {server.DatabaseUrl(server.DataFolder() + "/none.fdb"), FirebirdServer::Password,
         "I/O error during \"open\" operation for file \"" + server.DataFolder() +
             "/none.fdb\" Error while trying to open file No such file or directory"},
    };
    for (const Case& k : cases) {
        auto c = NewConnection();
        EXPECT_EQ(c->connect(k.Database, "SYSDBA", k.Password), DBXERR_CONNECTIONFAILED);
        EXPECT_EQ(ErrorText(*c), k.Text);
    }
}

TEST_F(FbServerTest, NothingListeningIsAFailedConnection) {
    auto c = NewConnection();
    server.Stop();
    EXPECT_EQ(c->connect(url, "SYSDBA", FirebirdServer::Password), DBXERR_CONNECTIONFAILED);
    EXPECT_EQ(ErrorText(*c).rfind("Unable to complete network request to host \"127.0.0.1\".", 0),
              0u)
        << ErrorText(*c);
}

TEST_F(FbServerTest, ServerKilledInATransactionLosesItsWritesAndReportsAnError) {
    auto c = Connect(url, FirebirdServer::Password);
    Exec(*c, "INSERT INTO X VALUES (1)"); // committed by itself
    TTransactionDesc d;
    ASSERT_EQ(c->beginTransaction(d), DBXERR_NONE);
    Exec(*c, "INSERT INTO X VALUES (2)");
    server.Kill();

    auto started = std::chrono::steady_clock::now();
    std::string error;
    SQLResult r = RunSql(*c, "INSERT INTO X VALUES (3)", {}, nullptr, nullptr, &error);
    EXPECT_GT(r, 100);
    EXPECT_FALSE(error.empty());
    r = c->commit(1);
    EXPECT_GT(r, 100);
    EXPECT_FALSE(ErrorText(*c).empty());
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10));
    // The connection can be closed without the server.
    c->disconnect();

    ASSERT_TRUE(server.Restart()) << server.Error();
    auto again = Connect(url, FirebirdServer::Password);
    auto rows = Query(*again, "SELECT ID FROM X ORDER BY ID");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][0].Int, 1);
}

TEST_F(FbServerTest, ServerKilledWhileACursorIsOpenEndsTheCursorWithAnError) {
    auto c = Connect(url, FirebirdServer::Password);
    // More rows than the client fetches ahead in one go.
    Exec(*c, "EXECUTE BLOCK AS DECLARE I INTEGER = 0; BEGIN WHILE (I < 20000) DO BEGIN "
             "I = I + 1; INSERT INTO X VALUES (:I); END END");
    ISQLCommand* raw = nullptr;
    ASSERT_EQ(c->getSQLCommand(&raw), DBXERR_NONE);
    std::unique_ptr<ISQLCommand> cmd(raw);
    ASSERT_EQ(cmd->prepare("SELECT ID FROM X", 0), DBXERR_NONE);
    ISQLCursor* rawCursor = nullptr;
    ASSERT_EQ(cmd->execute(&rawCursor), DBXERR_NONE);
    std::unique_ptr<ISQLCursor> cursor(rawCursor);
    ASSERT_EQ(cursor->next(), DBXERR_NONE);
    server.Kill();
    SQLResult r = DBXERR_NONE;
    int rows = 1;
    while ((r = cursor->next()) == DBXERR_NONE)
        ++rows;
    // Rows the client had already received may still come; then an error.
    EXPECT_GT(r, 100);
    EXPECT_LT(rows, 20000);
    EXPECT_EQ(cursor->close(), DBXERR_NONE);
}
