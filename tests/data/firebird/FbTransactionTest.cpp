// When work becomes visible to others: statements outside a transaction
// commit themselves, a result set commits when its cursor ends, and an
// explicit transaction holds everything until commit or rollback.

#include "DriverTestSupport.h"
#include "support/FirebirdServer.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <chrono>

using namespace drivertest;

namespace {

class FbTransactionTest : public ::testing::Test {
protected:
    void SetUp() override {
        db = dir.File("t.fdb");
        testsupport::CreateDatabase(db, R"(
            CREATE TABLE X (ID INTEGER NOT NULL PRIMARY KEY);
            SET TERM ^;
            CREATE PROCEDURE POST_ROWS (N INTEGER) RETURNS (DONE INTEGER) AS
            DECLARE I INTEGER = 0;
            BEGIN
              WHILE (I < N) DO BEGIN I = I + 1; INSERT INTO X VALUES (:I); END
              DONE = N;
              SUSPEND;
            END^
            SET TERM ;^
        )");
        a = Connect(db);
        b = Connect(db);
    }
    int64_t count(ISQLConnection& on) { return Query(on, "SELECT COUNT(*) FROM X")[0][0].Int; }
    testsupport::TempDir dir;
    std::string db;
    std::unique_ptr<ISQLConnection> a, b;
};

TTransactionDesc desc(uint32_t id = 1, TTransIsolationLevel level = xilREADCOMMITTED) {
    TTransactionDesc d;
    d.TransactionID = id;
    d.IsolationLevel = level;
    return d;
}

} // namespace

TEST_F(FbTransactionTest, StatementsOutsideATransactionCommitThemselves) {
    Exec(*a, "INSERT INTO X VALUES (1)");
    EXPECT_EQ(count(*b), 1);
    Exec(*a, "DELETE FROM X");
    EXPECT_EQ(count(*b), 0);
}

TEST_F(FbTransactionTest, ACursorsWorkIsCommittedWhenTheCursorEnds) {
    ISQLCommand* raw = nullptr;
    ASSERT_EQ(a->getSQLCommand(&raw), DBXERR_NONE);
    std::unique_ptr<ISQLCommand> cmd(raw);
    ASSERT_EQ(cmd->prepare("SELECT DONE FROM POST_ROWS(3)", 0), DBXERR_NONE);
    ISQLCursor* rawCursor = nullptr;
    ASSERT_EQ(cmd->execute(&rawCursor), DBXERR_NONE);
    std::unique_ptr<ISQLCursor> cursor(rawCursor);
    ASSERT_EQ(cursor->next(), DBXERR_NONE);
    EXPECT_EQ(count(*b), 0); // still open: not committed yet
    cursor.reset();
    EXPECT_EQ(count(*b), 3);
}

TEST_F(FbTransactionTest, ReadingToTheEndCommitsAtOnce) {
    ISQLCommand* raw = nullptr;
    ASSERT_EQ(a->getSQLCommand(&raw), DBXERR_NONE);
    std::unique_ptr<ISQLCommand> cmd(raw);
    ASSERT_EQ(cmd->prepare("SELECT DONE FROM POST_ROWS(2)", 0), DBXERR_NONE);
    ISQLCursor* rawCursor = nullptr;
    ASSERT_EQ(cmd->execute(&rawCursor), DBXERR_NONE);
    std::unique_ptr<ISQLCursor> cursor(rawCursor);
    ASSERT_EQ(cursor->next(), DBXERR_NONE);
    ASSERT_EQ(cursor->next(), DBXERR_EOF);
    EXPECT_EQ(count(*b), 2);
}

TEST_F(FbTransactionTest, CommitAndRollbackOfAnExplicitTransaction) {
    ASSERT_EQ(a->beginTransaction(desc()), DBXERR_NONE);
    Exec(*a, "INSERT INTO X VALUES (1)");
    EXPECT_EQ(count(*a), 1);
    EXPECT_EQ(count(*b), 0);
    ASSERT_EQ(a->rollback(1), DBXERR_NONE);
    EXPECT_EQ(count(*a), 0);

    ASSERT_EQ(a->beginTransaction(desc()), DBXERR_NONE);
    Exec(*a, "INSERT INTO X VALUES (2)");
    Exec(*a, "INSERT INTO X VALUES (3)");
    ASSERT_EQ(a->commit(1), DBXERR_NONE);
    EXPECT_EQ(count(*b), 2);
}

TEST_F(FbTransactionTest, OneTransactionAtATimeWithItsOwnId) {
    EXPECT_EQ(a->commit(1), DBXERR_INVALIDTXNID);
    EXPECT_EQ(a->rollback(1), DBXERR_INVALIDTXNID);
    ASSERT_EQ(a->beginTransaction(desc(1)), DBXERR_NONE);
    EXPECT_EQ(a->beginTransaction(desc(2)), DBXERR_LOCALTRANSACTIVE);
    EXPECT_EQ(a->commit(2), DBXERR_INVALIDTXNID);
    EXPECT_EQ(a->commit(1), DBXERR_NONE);
    TTransactionDesc bad = desc();
    bad.IsolationLevel = static_cast<TTransIsolationLevel>(7);
    EXPECT_EQ(a->beginTransaction(bad), DBXERR_INVALIDISOLATIONLEVEL);
}

TEST_F(FbTransactionTest, RepeatableReadSeesOneSnapshot) {
    ASSERT_EQ(a->beginTransaction(desc(1, xilREPEATABLEREAD)), DBXERR_NONE);
    EXPECT_EQ(count(*a), 0);
    Exec(*b, "INSERT INTO X VALUES (1)");
    EXPECT_EQ(count(*a), 0);
    ASSERT_EQ(a->commit(1), DBXERR_NONE);
    EXPECT_EQ(count(*a), 1);

    ASSERT_EQ(a->beginTransaction(desc(1, xilREADCOMMITTED)), DBXERR_NONE);
    Exec(*b, "INSERT INTO X VALUES (2)");
    EXPECT_EQ(count(*a), 2);
    ASSERT_EQ(a->commit(1), DBXERR_NONE);
}

TEST_F(FbTransactionTest, DisconnectingLosesTheOpenTransactionsWork) {
    ASSERT_EQ(a->beginTransaction(desc()), DBXERR_NONE);
    Exec(*a, "INSERT INTO X VALUES (1)");
    EXPECT_EQ(a->disconnect(), DBXERR_NONE);
    EXPECT_EQ(count(*b), 0);
}

TEST_F(FbTransactionTest, LockConflictWithoutWaitingFailsAtOnce) {
    Exec(*a, "INSERT INTO X VALUES (1)");
    auto n = NewConnection();
    ASSERT_EQ(n->setOption(TSQLConnectionOption::WaitOnLocks, "False"), DBXERR_NONE);
    ASSERT_EQ(n->connect(db, "SYSDBA", ""), DBXERR_NONE);
    ASSERT_EQ(a->beginTransaction(desc()), DBXERR_NONE);
    Exec(*a, "UPDATE X SET ID = 2");
    std::string error;
    auto started = std::chrono::steady_clock::now();
    EXPECT_GT(RunSql(*n, "UPDATE X SET ID = 3", {}, nullptr, nullptr, &error), 100);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
    EXPECT_NE(error.find("update conflicts with concurrent update"), std::string::npos) << error;
    ASSERT_EQ(a->rollback(1), DBXERR_NONE);
    EXPECT_EQ(Exec(*n, "UPDATE X SET ID = 3"), 1u);
}
