// Statements: rows-affected counts, the statuses and texts of refused
// statements, parameters, and objects deleted in any order.

#include "DriverTestSupport.h"
#include "support/FirebirdServer.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace drivertest;

namespace {

class FbStatementTest : public ::testing::Test {
protected:
    void SetUp() override {
        db = dir.File("s.fdb");
        testsupport::CreateDatabase(db, R"(
            CREATE TABLE X (ID INTEGER NOT NULL, NAME VARCHAR(20), CONSTRAINT PK_X PRIMARY KEY (ID));
            CREATE TABLE P (ID INTEGER NOT NULL PRIMARY KEY);
            CREATE TABLE C (ID INTEGER NOT NULL PRIMARY KEY, P INTEGER,
                            CONSTRAINT FK_C_P FOREIGN KEY (P) REFERENCES P (ID));
            CREATE TABLE LOG (N INTEGER);
            SET TERM ^;
            CREATE TRIGGER X_AI FOR X AFTER INSERT AS BEGIN INSERT INTO LOG VALUES (NEW.ID); END^
            SET TERM ;^
        )");
        c = Connect(db);
    }
    std::unique_ptr<ISQLCommand> command() {
        ISQLCommand* raw = nullptr;
        EXPECT_EQ(c->getSQLCommand(&raw), DBXERR_NONE);
        return std::unique_ptr<ISQLCommand>(raw);
    }
    testsupport::TempDir dir;
    std::string db;
    std::unique_ptr<ISQLConnection> c;
};

} // namespace

TEST_F(FbStatementTest, RowsAffectedCountsTheStatementsOwnRows) {
    struct Case {
        const char* Sql;
        uint32_t Rows;
    } cases[] = {
        {"INSERT INTO X VALUES (1, 'a')", 1},
        {"INSERT INTO X VALUES (2, 'b')", 1},
        {"INSERT INTO X SELECT ID + 10, NAME FROM X", 2},
        {"UPDATE X SET NAME = 'z' WHERE ID = 99", 0},
        {"UPDATE X SET NAME = 'z' WHERE ID > 1", 3},
        {"UPDATE X SET NAME = 'y' WHERE ID = 1", 1},
        {"DELETE FROM X WHERE ID > 10", 2},
        {"DELETE FROM X WHERE ID > 10", 0},
        // The trigger's rows in LOG are not the statement's.
        {"DELETE FROM LOG", 4},
        {"SELECT * FROM X", 0},
    };
    for (const Case& k : cases)
        EXPECT_EQ(Exec(*c, k.Sql), k.Rows) << k.Sql;
}

TEST_F(FbStatementTest, KeyViolationIsTheServersCodeAndText) {
    Exec(*c, "INSERT INTO X VALUES (1, 'a')");
    std::string error;
    EXPECT_EQ(RunSql(*c, "INSERT INTO X VALUES (?, 'b')", {Int(1)}, nullptr, nullptr, &error),
              335544665);
    EXPECT_EQ(error, "violation of PRIMARY or UNIQUE KEY constraint \"PK_X\" on table \"X\" "
                     "Problematic key value is (\"ID\" = 1)");
    // Nothing of the refused statement stays.
    EXPECT_EQ(Query(*c, "SELECT COUNT(*) FROM X")[0][0].Int, 1);
    EXPECT_EQ(Query(*c, "SELECT COUNT(*) FROM LOG")[0][0].Int, 1);
}

TEST_F(FbStatementTest, RefusedStatementsGiveStatusesAboveOneHundred) {
    struct Case {
        const char* Sql;
        const char* TextStart;
    } cases[] = {
        {"INSERT INTO C VALUES (1, 5)",
         "violation of FOREIGN KEY constraint \"FK_C_P\" on table \"C\""},
        {"SELECT * FROM NOWHERE", "Dynamic SQL Error SQL error code = -204 Table unknown NOWHERE"},
        {"SELECT * FROM PROC_NONE(1)", "Dynamic SQL Error SQL error code = -204 Procedure unknown"},
        {"SELECT CAST('31/03/2016' AS DATE) FROM RDB$DATABASE",
         "conversion error from string \"31/03/2016\""},
        {"SELEC 1", "Dynamic SQL Error SQL error code = -104"},
    };
    for (const Case& k : cases) {
        std::string error;
        SQLResult r = RunSql(*c, k.Sql, {}, nullptr, nullptr, &error);
        EXPECT_GT(r, 100) << k.Sql;
        EXPECT_EQ(error.rfind(k.TextStart, 0), 0u) << k.Sql << "\n" << error;
    }
}

TEST_F(FbStatementTest, ParametersMustAllBeSetAndInRange) {
    auto cmd = command();
    ASSERT_EQ(cmd->prepare("INSERT INTO X VALUES (?, ?)", 2), DBXERR_NONE);
    EXPECT_EQ(cmd->setParameter(3, Int(1)), DBXERR_OUTOFRANGE);
    EXPECT_EQ(cmd->setParameter(0, Int(1)), DBXERR_OUTOFRANGE);
    ASSERT_EQ(cmd->setParameter(1, Int(1)), DBXERR_NONE);
    ISQLCursor* cursor = nullptr;
    EXPECT_EQ(cmd->execute(&cursor), DBXERR_SQLPARAMNOTSET);
    EXPECT_EQ(Query(*c, "SELECT COUNT(*) FROM X")[0][0].Int, 0);
    ASSERT_EQ(cmd->setParameter(2, Text("uno")), DBXERR_NONE);
    EXPECT_EQ(cmd->execute(&cursor), DBXERR_NONE);
    EXPECT_EQ(cursor, nullptr);
    // Prepared once, run again with new values.
    ASSERT_EQ(cmd->setParameter(1, Int(2)), DBXERR_NONE);
    EXPECT_EQ(cmd->execute(nullptr), DBXERR_NONE);
    uint32_t rows = 0;
    EXPECT_EQ(cmd->getRowsAffected(rows), DBXERR_NONE);
    EXPECT_EQ(rows, 1u);
    EXPECT_EQ(Query(*c, "SELECT COUNT(*) FROM X WHERE NAME = 'uno'")[0][0].Int, 2);
}

TEST_F(FbStatementTest, UnpreparedCommandRefusesToRun) {
    auto cmd = command();
    EXPECT_EQ(cmd->execute(nullptr), DBXERR_INVALIDHNDL);
    EXPECT_EQ(cmd->setParameter(1, Int(1)), DBXERR_INVALIDHNDL);
    EXPECT_GT(cmd->prepare("NOT SQL", 0), 100);
    EXPECT_EQ(cmd->execute(nullptr), DBXERR_INVALIDHNDL);
}

TEST_F(FbStatementTest, CursorReadsForwardToTheEnd) {
    for (int i = 1; i <= 3; ++i)
        Exec(*c, "INSERT INTO X VALUES (?, NULL)", {Int(i)});
    auto cmd = command();
    ASSERT_EQ(cmd->prepare("SELECT ID FROM X ORDER BY ID", 0), DBXERR_NONE);
    ISQLCursor* raw = nullptr;
    ASSERT_EQ(cmd->execute(&raw), DBXERR_NONE);
    std::unique_ptr<ISQLCursor> cursor(raw);
    TDBXValue v;
    EXPECT_EQ(cursor->getValue(1, v), DBXERR_EOF); // before the first row
    for (int i = 1; i <= 3; ++i) {
        ASSERT_EQ(cursor->next(), DBXERR_NONE);
        ASSERT_EQ(cursor->getValue(1, v), DBXERR_NONE);
        EXPECT_EQ(v.Int, i);
    }
    EXPECT_EQ(cursor->getValue(2, v), DBXERR_OUTOFRANGE);
    EXPECT_EQ(cursor->next(), DBXERR_EOF);
    EXPECT_EQ(cursor->next(), DBXERR_EOF);
    EXPECT_EQ(cursor->close(), DBXERR_NONE);
}

TEST_F(FbStatementTest, ExecuteProcedureGivesItsOutputsAsOneRow) {
    Exec(*c, "CREATE PROCEDURE TWICE (A INTEGER) RETURNS (B INTEGER) AS BEGIN B = A * 2; END");
    auto rows = Query(*c, "EXECUTE PROCEDURE TWICE(?)", {Int(21)});
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][0].Int, 42);
    rows = Query(*c, "INSERT INTO X VALUES (5, 'r') RETURNING ID, NAME");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][1].Text, "r");
}

TEST_F(FbStatementTest, RerunningACommandEndsItsEarlierCursor) {
    Exec(*c, "INSERT INTO X VALUES (1, NULL)");
    auto cmd = command();
    ASSERT_EQ(cmd->prepare("SELECT ID FROM X", 0), DBXERR_NONE);
    ISQLCursor* first = nullptr;
    ASSERT_EQ(cmd->execute(&first), DBXERR_NONE);
    std::unique_ptr<ISQLCursor> old(first);
    ISQLCursor* second = nullptr;
    ASSERT_EQ(cmd->execute(&second), DBXERR_NONE);
    std::unique_ptr<ISQLCursor> current(second);
    EXPECT_EQ(old->next(), DBXERR_INVALIDHNDL);
    EXPECT_EQ(current->next(), DBXERR_NONE);
}

TEST_F(FbStatementTest, ObjectsMayBeDeletedInAnyOrder) {
    Exec(*c, "INSERT INTO X VALUES (1, NULL)");
    auto cmd = command();
    ASSERT_EQ(cmd->prepare("SELECT ID FROM X", 0), DBXERR_NONE);
    ISQLCursor* raw = nullptr;
    ASSERT_EQ(cmd->execute(&raw), DBXERR_NONE);
    std::unique_ptr<ISQLCursor> cursor(raw);
    auto other = command();
    ASSERT_EQ(other->prepare("SELECT ID FROM X", 0), DBXERR_NONE);

    cmd.reset(); // the command before its cursor
    EXPECT_EQ(cursor->next(), DBXERR_INVALIDHNDL);
    c->disconnect(); // the connection before a command and a cursor
    EXPECT_EQ(other->execute(nullptr), DBXERR_INVALIDHNDL);
    EXPECT_EQ(ErrorText(*other), "The connection to the database is closed");
    c.reset();
    cursor.reset();
    other.reset();
}
