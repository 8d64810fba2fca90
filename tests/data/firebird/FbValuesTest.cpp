// Column types as the driver reports them, and values that go to the
// database and come back unchanged: exact decimals, dates, text in WIN1252
// columns, nulls.

#include "DriverTestSupport.h"
#include "support/FirebirdServer.h"
#include "support/TestSupport.h"

#include "platform/DateUtils.h"

#include <gtest/gtest.h>

using namespace drivertest;

namespace {

const char* const schema = R"(
CREATE TABLE AJUSTE_CIERRE (
    AJCI_ID     INTEGER NOT NULL,
    AJCI_FECINI DATE,
    AJCI_FECFIN DATE,
    AJCI_PORC   NUMERIC(15,4),
    AJCI_FACTOR NUMERIC(15,4),
    CONSTRAINT PK_AJUSTE_CIERRE PRIMARY KEY (AJCI_ID)
);
CREATE TABLE V (
    ID INTEGER NOT NULL PRIMARY KEY,
    S SMALLINT, I INTEGER, B BIGINT,
    N4 NUMERIC(4,2), N9 NUMERIC(9,2), N15 NUMERIC(15,4), D15 DECIMAL(15,4),
    DB DOUBLE PRECISION,
    D DATE, T TIME, TS TIMESTAMP,
    VC VARCHAR(40), CH CHAR(5), U VARCHAR(10) CHARACTER SET UTF8,
    BL BLOB SUB_TYPE TEXT, BIN BLOB SUB_TYPE BINARY,
    BO BOOLEAN
);
)";

class FbValuesTest : public ::testing::Test {
protected:
    void SetUp() override {
        db = dir.File("v.fdb");
        testsupport::CreateDatabase(db, schema);
        c = Connect(db);
    }
    std::vector<TDBXColumn> columns(const std::string& sql) {
        ISQLCommand* raw = nullptr;
        c->getSQLCommand(&raw);
        std::unique_ptr<ISQLCommand> command(raw);
        EXPECT_EQ(command->prepare(sql, 0), DBXERR_NONE) << ErrorText(*command);
        ISQLCursor* rawCursor = nullptr;
        EXPECT_EQ(command->execute(&rawCursor), DBXERR_NONE) << ErrorText(*command);
        std::unique_ptr<ISQLCursor> cursor(rawCursor);
        std::vector<TDBXColumn> result;
        if (!cursor) return result;
        uint16_t n = 0;
        cursor->getColumnCount(n);
        for (uint16_t i = 1; i <= n; ++i) {
            TDBXColumn col;
            EXPECT_EQ(cursor->getColumn(i, col), DBXERR_NONE);
            result.push_back(col);
        }
        return result;
    }
    // Writes value into column col of a new row and reads it back.
    TDBXValue roundTrip(const std::string& col, const TDBXValue& value) {
        Exec(*c, "DELETE FROM V");
        Exec(*c, "INSERT INTO V (ID, " + col + ") VALUES (1, ?)", {value});
        auto rows = Query(*c, "SELECT " + col + " FROM V");
        EXPECT_EQ(rows.size(), 1u);
        return rows.empty() ? TDBXValue{} : rows[0][0];
    }
    testsupport::TempDir dir;
    std::string db;
    std::unique_ptr<ISQLConnection> c;
};

} // namespace

TEST_F(FbValuesTest, ClosingAdjustmentColumnsAreInTheExpectedFamilies) {
    auto cols = columns("SELECT * FROM AJUSTE_CIERRE");
    ASSERT_EQ(cols.size(), 5u);
    EXPECT_EQ(cols[0].Name, "AJCI_ID");
    EXPECT_EQ(cols[0].Type, TDBXType::Int32);
    EXPECT_FALSE(cols[0].Nullable);
    EXPECT_EQ(cols[1].Name, "AJCI_FECINI");
    EXPECT_EQ(cols[1].Type, TDBXType::Date);
    EXPECT_EQ(cols[2].Type, TDBXType::Date);
    for (int i : {3, 4}) {
        EXPECT_EQ(cols[i].Type, TDBXType::FmtBcd) << cols[i].Name;
        EXPECT_EQ(cols[i].Scale, 4);
        EXPECT_GE(cols[i].Precision, 15);
        EXPECT_TRUE(cols[i].Nullable);
    }
}

TEST_F(FbValuesTest, EveryColumnTypeMapsToItsFamily) {
    struct Case {
        const char* Expr;
        TDBXType Type;
        int Scale;
        int Precision;
    } cases[] = {
        {"S", TDBXType::Int16, 0, 4},     {"I", TDBXType::Int32, 0, 9},
        {"B", TDBXType::Int64, 0, 18},    {"N4", TDBXType::FmtBcd, 2, 4},
        {"N9", TDBXType::FmtBcd, 2, 9},   {"N15", TDBXType::FmtBcd, 4, 18},
        {"D15", TDBXType::FmtBcd, 4, 18}, {"SUM(N15)", TDBXType::FmtBcd, 4, 18},
        {"DB", TDBXType::Float, 0, 0},    {"D", TDBXType::Date, 0, 0},
        {"T", TDBXType::Time, 0, 0},      {"TS", TDBXType::TimeStamp, 0, 0},
        {"VC", TDBXType::ZString, 0, 40}, {"CH", TDBXType::ZString, 0, 5},
        {"U", TDBXType::ZString, 0, 10},  {"BL", TDBXType::Blob, 0, 0},
        {"BIN", TDBXType::Blob, 0, 0},    {"BO", TDBXType::Boolean, 0, 0},
    };
    for (const Case& k : cases) {
        auto cols = columns(std::string("SELECT ") + k.Expr + " FROM V");
        ASSERT_EQ(cols.size(), 1u) << k.Expr;
        EXPECT_EQ(cols[0].Type, k.Type) << k.Expr;
        EXPECT_EQ(cols[0].Scale, k.Scale) << k.Expr;
        EXPECT_EQ(cols[0].Precision, k.Precision) << k.Expr;
    }
}

TEST_F(FbValuesTest, ExactDecimalsTravelAsScaledIntegers) {
    struct Case {
        TDBXValue In;
        int64_t Out; // in units of 1/10000
    } cases[] = {
        {Bcd(8000, 4), 8000},                       // 0.8
        {Bcd(8, 1), 8000},                          // 0.8 at another scale
        {Bcd(-123456789, 4), -123456789},           // -12345.6789
        {Bcd(999999999999999, 4), 999999999999999}, // 15 digits, the column's limit
        {Bcd(0, 4), 0},
        {Int(16), 160000},
        {Text("0.8"), 8000},
    };
    for (const Case& k : cases) {
        TDBXValue v = roundTrip("N15", k.In);
        EXPECT_FALSE(v.IsNull);
        EXPECT_EQ(v.Type, TDBXType::FmtBcd);
        EXPECT_EQ(v.Scale, 4);
        EXPECT_EQ(v.Int, k.Out) << "sent " << k.In.Int << " scale " << k.In.Scale;
    }
}

TEST_F(FbValuesTest, ValuesComeBackAsSent) {
    TDBXValue ts;
    ts.Type = TDBXType::TimeStamp;
    ts.IsNull = false;
    ts.DateTime = TDateTime(EncodeDate(2016, 3, 15).Val() + EncodeTime(10, 42, 7, 0).Val());
    TDBXValue old = DateValue(1850, 6, 15); // before the framework's day zero
    TDBXValue time;
    time.Type = TDBXType::Time;
    time.IsNull = false;
    time.DateTime = EncodeTime(23, 59, 59, 0);
    TDBXValue dbl;
    dbl.Type = TDBXType::Float;
    dbl.IsNull = false;
    dbl.Float = 2.5;
    TDBXValue bo;
    bo.Type = TDBXType::Boolean;
    bo.IsNull = false;
    bo.Int = 1;

    TDBXValue v = roundTrip("D", DateValue(2016, 3, 1));
    EXPECT_EQ(v.Type, TDBXType::Date);
    EXPECT_EQ(v.DateTime, EncodeDate(2016, 3, 1));
    v = roundTrip("D", old);
    EXPECT_EQ(v.DateTime, old.DateTime);
    v = roundTrip("TS", ts);
    EXPECT_EQ(v.Type, TDBXType::TimeStamp);
    EXPECT_NEAR(v.DateTime.Val(), ts.DateTime.Val(), 1e-9);
    v = roundTrip("T", time);
    EXPECT_EQ(v.Type, TDBXType::Time);
    EXPECT_NEAR(v.DateTime.Val(), time.DateTime.Val(), 1e-9);
    v = roundTrip("I", Int(-7));
    EXPECT_EQ(v.Type, TDBXType::Int32);
    EXPECT_EQ(v.Int, -7);
    v = roundTrip("B", Int(INT64_C(9000000000000000000)));
    EXPECT_EQ(v.Int, INT64_C(9000000000000000000));
    v = roundTrip("DB", dbl);
    EXPECT_EQ(v.Float, 2.5);
    v = roundTrip("BO", bo);
    EXPECT_EQ(v.Type, TDBXType::Boolean);
    EXPECT_EQ(v.Int, 1);
    // A date given as a date-time keeps only its day.
    v = roundTrip("D", ts);
    EXPECT_EQ(v.DateTime, EncodeDate(2016, 3, 15));
}

TEST_F(FbValuesTest, NullsOfEveryKindStayNull) {
    for (const char* col : {"S", "I", "N15", "D", "TS", "VC", "BL", "BO"}) {
        for (TDBXType type :
             {TDBXType::Int32, TDBXType::FmtBcd, TDBXType::Date, TDBXType::ZString}) {
            TDBXValue v = roundTrip(col, NullOf(type));
            EXPECT_TRUE(v.IsNull) << col;
        }
    }
    // And a null is not a zero: the row is found by IS NULL only.
    roundTrip("N15", NullOf(TDBXType::FmtBcd));
    EXPECT_EQ(Query(*c, "SELECT ID FROM V WHERE N15 IS NULL").size(), 1u);
    EXPECT_EQ(Query(*c, "SELECT ID FROM V WHERE N15 = 0").size(), 0u);
}

TEST_F(FbValuesTest, AccentedTextRoundTripsThroughWin1252Columns) {
    const std::string spanish = "Año fiscal ñandú — €5 «cierre»";
    TDBXValue v = roundTrip("VC", Text(spanish));
    EXPECT_EQ(v.Type, TDBXType::ZString);
    EXPECT_EQ(v.Text, spanish);
    // Stored as WIN1252 bytes: one byte per character.
    auto rows = Query(*c, "SELECT OCTET_LENGTH(VC), CHAR_LENGTH(VC) FROM V");
    EXPECT_EQ(rows[0][0].Int, 30);
    EXPECT_EQ(rows[0][1].Int, 30);
    // A text literal in a statement travels the same way.
    Exec(*c, "UPDATE V SET VC = 'Compañía'");
    EXPECT_EQ(Query(*c, "SELECT VC FROM V WHERE VC = ?", {Text("Compañía")}).size(), 1u);
}

TEST_F(FbValuesTest, CharValuesKeepTheirWidthInCharacters) {
    EXPECT_EQ(roundTrip("CH", Text("ñú")).Text, "ñú   ");
    EXPECT_EQ(roundTrip("U", Text("日本")).Text, "日本");
}

TEST_F(FbValuesTest, TextTheColumnCannotHoldIsRefusedByTheServer) {
    Exec(*c, "INSERT INTO V (ID) VALUES (1)");
    std::string error;
    SQLResult r = RunSql(*c, "UPDATE V SET VC = ?", {Text("日本")}, nullptr, nullptr, &error);
    EXPECT_GT(r, 100);
    EXPECT_NE(error.find("transliterate"), std::string::npos) << error;
    r = RunSql(*c, "UPDATE V SET VC = ?", {Text(std::string(41, 'x'))}, nullptr, nullptr, &error);
    EXPECT_GT(r, 100);
    EXPECT_NE(error.find("string right truncation"), std::string::npos) << error;
}

TEST_F(FbValuesTest, BlobsRoundTrip) {
    std::string text = "Línea uno\nLínea dos " + std::string(70000, 'z');
    TDBXValue v = roundTrip("BL", Text(text));
    EXPECT_EQ(v.Type, TDBXType::Blob);
    EXPECT_EQ(v.Text, text);
    std::string bytes("\x00\x01\xff\xfe", 4);
    TDBXValue b;
    b.Type = TDBXType::Blob;
    b.IsNull = false;
    b.Text = bytes;
    EXPECT_EQ(roundTrip("BIN", b).Text, bytes);
}

TEST_F(FbValuesTest, ChosenServerCharSetStillGivesUtf8) {
    struct Case {
        const char* CharSet;
        std::string Text;
    } cases[] = {
        {"WIN1252", "Señor €"},
        {"NONE", "Señor €"}, // the column's own WIN1252
        {"ISO8859_1", "Señor ñú"},
        {"UTF8", "Señor €"},
    };
    for (const Case& k : cases) {
        auto w = NewConnection();
        ASSERT_EQ(w->setOption(TSQLConnectionOption::ServerCharSet, k.CharSet), DBXERR_NONE);
        ASSERT_EQ(w->connect(db, "SYSDBA", ""), DBXERR_NONE) << ErrorText(*w);
        Exec(*w, "DELETE FROM V");
        Exec(*w, "INSERT INTO V (ID, VC) VALUES (1, ?)", {Text(k.Text)});
        auto rows = Query(*w, "SELECT VC FROM V WHERE VC = ?", {Text(k.Text)});
        ASSERT_EQ(rows.size(), 1u) << k.CharSet;
        EXPECT_EQ(rows[0][0].Text, k.Text) << k.CharSet;
        // And the other connection, in UTF8, reads the same characters.
        EXPECT_EQ(Query(*c, "SELECT VC FROM V")[0][0].Text, k.Text) << k.CharSet;
        // Text the set cannot hold is refused, by the driver or the server.
        std::string error;
        EXPECT_NE(RunSql(*w, "UPDATE V SET VC = ?", {Text("日本")}, nullptr, nullptr, &error),
                  DBXERR_NONE)
            << k.CharSet;
        w->disconnect();
    }
}

TEST_F(FbValuesTest, TrimCharDropsThePaddingOfCharValues) {
    auto t = NewConnection();
    t->setOption(TSQLConnectionOption::TrimChar, "True");
    ASSERT_EQ(t->connect(db, "SYSDBA", ""), DBXERR_NONE);
    Exec(*t, "INSERT INTO V (ID, CH) VALUES (1, 'ab')");
    EXPECT_EQ(Query(*t, "SELECT CH FROM V")[0][0].Text, "ab");
    EXPECT_EQ(Query(*c, "SELECT CH FROM V")[0][0].Text, "ab   ");
}
