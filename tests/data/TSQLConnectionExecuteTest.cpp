// Single statements and transactions for the provider, and the wording of
// database errors.

#include "TSQLConnectionTestSupport.h"
#include "support/FirebirdServer.h"
#include "support/TestSupport.h"

#include "platform/Exceptions.h"
#include "platform/SysUtils.h"

#include <gtest/gtest.h>

using connectiontest::ConfigureLikeTheWindow;

namespace {

class TSQLConnectionExecuteTest : public ::testing::Test {
protected:
    void SetUp() override {
        db = dir.File("talvero.fdb");
        testsupport::CreateDatabase(db, R"(
            CREATE TABLE AJUSTE_CIERRE (
                AJCI_ID     INTEGER NOT NULL,
                AJCI_FECINI DATE,
                AJCI_FECFIN DATE,
                AJCI_PORC   NUMERIC(15,4),
                AJCI_FACTOR NUMERIC(15,4),
                CONSTRAINT PK_AJUSTE_CIERRE PRIMARY KEY (AJCI_ID)
            );
            CREATE TABLE T (ID INTEGER NOT NULL, NAME VARCHAR(30), CONSTRAINT PK_T PRIMARY KEY (ID));
        )");
        ConfigureLikeTheWindow(c, db);
    }
    std::string failure(const std::function<void()>& action) {
        try {
            action();
        } catch (const EDatabaseError& e) {
            return e.what();
        }
        return "no exception";
    }
    // What the table holds as isql shows it; the embedded engine lets only
    // one process open the file, so the connection is closed first.
    std::string contents(const std::string& sql) {
        c.Close();
        return testsupport::RunIsql(db, "SET HEADING OFF;\n" + sql + ";");
    }
    // The first value of the first row, read through a second connection.
    TDBXValue value(const std::string& sql) {
        TSQLConnection other;
        ConfigureLikeTheWindow(other, db);
        auto command = other.CreateCommand();
        EXPECT_EQ(command->prepare(sql, 0), DBXERR_NONE);
        ISQLCursor* raw = nullptr;
        EXPECT_EQ(command->execute(&raw), DBXERR_NONE);
        std::unique_ptr<ISQLCursor> cursor(raw);
        TDBXValue v;
        if (!cursor || cursor->next() != DBXERR_NONE) return v;
        cursor->getValue(1, v);
        return v;
    }
    int count(const std::string& table) {
        return static_cast<int>(value("SELECT COUNT(*) FROM " + table).Int);
    }
    testsupport::TempDir dir;
    std::string db;
    TSQLConnection c;
};

// An error source with a fixed text, for the message rules alone.
class FixedText : public ISQLErrorSource {
public:
    explicit FixedText(std::string text) : Text(std::move(text)) {}
    SQLResult getErrorMessageLen(uint16_t& length) override {
        length = static_cast<uint16_t>(Text.size());
        return DBXERR_NONE;
    }
    SQLResult getErrorMessage(std::string& message) override {
        message = Text;
        return DBXERR_NONE;
    }
    std::string Text;
};

} // namespace

TEST_F(TSQLConnectionExecuteTest, ClosingAdjustmentRowIsWrittenWithExactValues) {
    TParams p;
    p.Add("AJCI_ID", ftInteger, Variant(int32_t(0)));
    p.Add("AJCI_FECINI", ftDate, Variant(EncodeDate(2016, 3, 1)));
    p.Add("AJCI_FECFIN", ftDate, Variant(Null{}));
    p.Add("AJCI_PORC", ftFMTBcd, Variant(TBcd{190000, 4}));
    p.Add("AJCI_FACTOR", ftFMTBcd, Variant(TBcd{8000, 4}));
    int rows = c.Execute("insert into \"AJUSTE_CIERRE\"\r\n  (\"AJCI_ID\", \"AJCI_FECINI\", "
                         "\"AJCI_FECFIN\", \"AJCI_PORC\", \"AJCI_FACTOR\")\r\nvalues\r\n  (?, ?, "
                         "?, ?, ?)\r\n",
                         p);
    EXPECT_EQ(rows, 1);
    EXPECT_EQ(c.State(), TConnectionState::csStateOpen);
    // A currency value is the same 1/10000 count.
    TParams q;
    q.Add("F", ftCurrency, Variant(Currency{8000}));
    q.Add("P", ftFMTBcd, Variant(TBcd{19, 0}));
    EXPECT_EQ(c.Execute("update \"AJUSTE_CIERRE\"  set\r\n \"AJCI_FACTOR\" = ?\r\nwhere\r\n "
                        "\"AJCI_PORC\" = ?\r\n",
                        q),
              1);
    std::string out = contents("SELECT AJCI_ID || ' ' || AJCI_FECINI || ' ' || "
                               "COALESCE(AJCI_FECFIN, 'null') || ' ' || AJCI_PORC || ' ' || "
                               "AJCI_FACTOR FROM AJUSTE_CIERRE");
    EXPECT_NE(out.find("0 2016-03-01 null 19.0000 0.8000"), std::string::npos) << out;
}

TEST_F(TSQLConnectionExecuteTest, RowsAffectedAreExact) {
    TParams none;
    struct Case {
        const char* Sql;
        int Rows;
    } cases[] = {
        {"INSERT INTO T VALUES (1, 'uno')", 1},
        {"INSERT INTO T VALUES (2, 'dos')", 1},
        {"INSERT INTO T VALUES (3, 'tres')", 1},
        {"UPDATE T SET NAME = 'x' WHERE ID = 9", 0},
        {"UPDATE T SET NAME = 'x' WHERE ID >= 2", 2},
        {"DELETE FROM T WHERE ID = 1", 1},
        {"DELETE FROM T", 2},
        {"DELETE FROM T", 0},
    };
    for (const Case& k : cases)
        EXPECT_EQ(c.Execute(k.Sql, none), k.Rows) << k.Sql;
}

TEST_F(TSQLConnectionExecuteTest, NamedMarkersAreBoundByPosition) {
    TParams p;
    p.Add("NAME", ftString, Variant("Compañía €"));
    p.Add("ID", ftInteger, Variant(int32_t(7)));
    EXPECT_EQ(c.Execute("INSERT INTO T (NAME, ID) VALUES (:NAME, :ID)", p), 1);
    TParams q;
    q.Add("ID", ftInteger, Variant(int32_t(7)));
    q.Add("OUT", ftInteger, Variant(int32_t(0))).ParamType = ptOutput;
    EXPECT_EQ(c.Execute("UPDATE T SET NAME = NAME || ':x' WHERE ID = :ID", q), 1);
    EXPECT_EQ(value("SELECT NAME FROM T WHERE ID = 7").Text, "Compañía €:x");
}

TEST_F(TSQLConnectionExecuteTest, RefusedStatementGivesTheServersTextAlone) {
    TParams none;
    c.Execute("INSERT INTO T VALUES (1, 'a')", none);
    std::string message = failure([&] { c.Execute("INSERT INTO T VALUES (1, 'b')", none); });
    EXPECT_EQ(message, "SQL Server Error: violation of PRIMARY or UNIQUE KEY constraint \"PK_T\" "
                       "on table \"T\" Problematic key value is (\"ID\" = 1)");
    EXPECT_EQ(Copy(message, 19, 20), "violation of PRIMARY");
    EXPECT_EQ(c.LastMessage(), message);
    EXPECT_EQ(c.State(), TConnectionState::csStateOpen);
    EXPECT_TRUE(c.Connected());
    EXPECT_EQ(count("T"), 1);
}

TEST_F(TSQLConnectionExecuteTest, TransactionsHoldTheirWorkUntilTheyEnd) {
    TParams none;
    TTransactionDesc d = c.DefaultTransactionDesc();
    EXPECT_EQ(d.TransactionID, 1u);
    EXPECT_EQ(d.IsolationLevel, xilREADCOMMITTED);
    c.StartTransaction(d);
    EXPECT_TRUE(c.InTransaction());
    c.Execute("INSERT INTO T VALUES (1, 'a')", none);
    EXPECT_EQ(count("T"), 0);
    c.Rollback(d);
    EXPECT_FALSE(c.InTransaction());
    EXPECT_EQ(count("T"), 0);

    c.StartTransaction(d);
    c.Execute("INSERT INTO T VALUES (2, 'b')", none);
    c.Execute("INSERT INTO T VALUES (3, 'c')", none);
    c.Commit(d);
    EXPECT_EQ(count("T"), 2);
}

TEST_F(TSQLConnectionExecuteTest, TransactionMisuseIsRefusedWithItsText) {
    TTransactionDesc d = c.DefaultTransactionDesc();
    EXPECT_EQ(failure([&] { c.Commit(d); }),
              "Cannot perform this operation on a closed connection");
    EXPECT_EQ(failure([&] { c.Rollback(d); }),
              "Cannot perform this operation on a closed connection");
    c.Open();
    EXPECT_EQ(failure([&] { c.Commit(d); }), "There is no active transaction");
    EXPECT_EQ(failure([&] { c.Rollback(d); }), "There is no active transaction");
    c.StartTransaction(d);
    EXPECT_EQ(failure([&] { c.StartTransaction(d); }), "A transaction is already active");
    EXPECT_TRUE(c.InTransaction());
    // Closing ends the transaction and its work.
    TParams none;
    c.Execute("INSERT INTO T VALUES (1, 'a')", none);
    c.Close();
    EXPECT_FALSE(c.InTransaction());
    EXPECT_EQ(count("T"), 0);
}

TEST_F(TSQLConnectionExecuteTest, MessagesAreComposedFromStatusAndServerText) {
    struct Case {
        SQLResult Status;
        const char* Server; // null: no error text
        const char* Last;
        const char* Message;
    } cases[] = {
        {21, "Your user name and password are not defined.", "",
         "Database Error: [0x0015]: Connection failed\r\nSQL Server Error: Your user name and "
         "password are not defined."},
        {335544665, "violation of PRIMARY", "", "SQL Server Error: violation of PRIMARY"},
        {1, nullptr, "", "Database Error: [0x0001]: Warning"},
        {5, "", "", "Database Error: [0x0005]: Operation Not Supported"},
        {11, nullptr, "", "Database Error: Database Error [0x000B]: Parameter Not Set"},
        {12, nullptr, "", "Database Error: [0x000C] Invalid Username/Password"},
        {19, nullptr, "", "Database Error: [0x0013]: Local Transaction already active"},
        {25, nullptr, "", "Database Error: [0x0019]: No table found"},
        {64, nullptr, "", "Database Error: [0x0064]: No more data"},
        {65, "x", "", "Database Error: [0x0065]: SQL Error\r\nSQL Server Error: x"},
        {18, nullptr, "earlier", "earlier"},
        {40, "", "earlier", "earlier"},
        {40, nullptr, "", "Database Error: Unknown Error Code '40'"},
        {335544321, nullptr, "", "Database Error: Unknown Error Code '335544321'"},
        {335544321, nullptr, "earlier", "earlier"},
    };
    for (const Case& k : cases) {
        FixedText source(k.Server ? k.Server : "");
        std::string last = k.Last;
        try {
            c.Check(k.Status, k.Server ? &source : nullptr, &last);
            ADD_FAILURE() << k.Status;
        } catch (const EDatabaseError& e) {
            EXPECT_EQ(std::string(e.what()), k.Message) << k.Status;
        }
        EXPECT_EQ(last, k.Message) << "remembered as the dataset's last message";
    }
    // Without a dataset's own, the connection's last message counts.
    FixedText source("first");
    EXPECT_EQ(failure([&] { c.Check(335544665, &source); }), "SQL Server Error: first");
    EXPECT_EQ(failure([&] { c.Check(40, nullptr); }), "SQL Server Error: first");
    EXPECT_NO_THROW(c.Check(DBXERR_NONE, &source));
}
