// The filter-expression compiler: expressions and the rows they let through,
// and bad expressions with their messages.

#include "EngineTestSupport.h"

#include "data/FilterExpr.h"

using namespace enginetest;

namespace {

enum { ID, NAME, FECHA, FIN, PORC, MONTO, RATE, ACTIVO, HORA, MOMENTO };

std::vector<DSFieldDesc> fields() {
    return {Field("ID", DSType::Int32),        Field("NAME", DSType::String, 20),
            Field("FECHA", DSType::Date),      Field("FIN", DSType::Date),
            Field("PORC", DSType::Bcd, 15, 4), Field("MONTO", DSType::Currency),
            Field("RATE", DSType::Double),     Field("ACTIVO", DSType::Boolean),
            Field("HORA", DSType::Time),       Field("MOMENTO", DSType::DateTime)};
}

const TDateTime k1850 = EncodeDate(1850, 6, 15);

std::vector<std::vector<Variant>> rows() {
    Null n;
    return {
        {int32_t{1}, "Ana", EncodeDate(2016, 3, 1), EncodeDate(2016, 3, 31), TBcd{190000, 4},
         Currency{8000}, 1.5, true, EncodeTime(10, 30, 0, 0),
         TDateTime(EncodeDate(2016, 3, 1).Val() + EncodeTime(10, 30, 0, 0).Val())},
        {int32_t{2}, "bruno", EncodeDate(2016, 3, 2), n, TBcd{105000, 4}, Currency{1000000}, -2.25,
         false, n, n},
        {int32_t{3}, "Ángel O'Neil", EncodeDate(2016, 3, 1), k1850, TBcd{1, 4}, Currency{-8000},
         0.0, n, n, TDateTime(k1850.Val() - 0.25)}, // 15/06/1850 06:00
        {int32_t{4}, n, k1850, n, n, Currency{0}, 1e10, true, n, n},
    };
}

class FilterExprTest : public testing::Test {
protected:
    void SetUp() override {
        base->AppendData(MakePacket(fields(), rows()), true);
        cursor = base->CreateCursor();
    }

    std::vector<int32_t> Filtered(const std::string& text, TFilterOptions options = {},
                                  const TFormatSettings& settings = SpanishSettings()) {
        int handle =
            cursor->AddFilter(CompileFilterExpression(text, cursor->Layout(), options, settings));
        std::vector<int32_t> ids = Ids(*cursor);
        cursor->DropFilter(handle);
        return ids;
    }

    // The id of the row Locate finds from the first row, or 0.
    int32_t Located(const std::string& text, TFilterOptions options = {}) {
        cursor->MoveToBOF();
        if (!cursor->Locate(
                *CompileFilterExpression(text, cursor->Layout(), options, SpanishSettings())))
            return 0;
        return Current(*cursor, ID).Get<int32_t>();
    }

    std::unique_ptr<IDSBase> base = CreateDSBase();
    std::unique_ptr<IDSCursor> cursor;
};

struct Case {
    const char* Text;
    std::vector<int32_t> Ids;
    TFilterOptions Options = {};
};

TEST_F(FilterExprTest, ExpressionsAndTheRowsTheyLetThrough) {
    const TFilterOptions ci{true, false}, partial{false, true}, both{true, true};
    const Case cases[] = {
        {"ID = 2", {2}},
        {"id=2", {2}},
        {"[ID] <> 2", {1, 3, 4}},
        {"ID > 1 and ID < 4", {2, 3}},
        {"ID >= 3", {3, 4}},
        {"ID <= 2", {1, 2}},
        {"ID != 1", {2, 3, 4}},
        {"3 < ID", {4}},
        {"ID = -1", {}},
        {"ID > -1", {1, 2, 3, 4}},
        {"ID = 1 or ID = 4", {1, 4}},
        {"not ID = 1", {2, 3, 4}},
        {"NOT (ID = 1 OR ID = 2)", {3, 4}},
        {"ID = 1 AND NAME = 'Ana' OR ID = 4", {1, 4}},
        {"ID = 4 or ID = 1 and NAME = 'x'", {4}},
        {"((ID = 2))", {2}},
        // dates in the short date format, before 1900 too
        {"FECHA = '01/03/2016'", {1, 3}},
        {"[FECHA] < '01/01/1900'", {4}},
        {"FECHA >= '02/03/2016'", {2}},
        {"FIN > FECHA", {1}},
        // nulls: comparisons are unknown, "not" keeps them unknown
        {"FIN IS NULL", {2, 4}},
        {"fin is not null", {1, 3}},
        {"FIN = NULL", {2, 4}},
        {"FIN <> null", {1, 3}},
        {"not (FIN = '31/03/2016')", {3}},
        {"(ID = 1) or (FIN is null and not ACTIVO)", {1, 2}},
        // exact numbers with either decimal separator
        {"PORC = 19", {1}},
        {"[PORC]=19,0000", {1}},
        {"PORC = 19.0", {1}},
        {"PORC = 0,0001", {3}},
        {"PORC > 10,49999", {1, 2}},
        {"PORC = 10.50001", {}},
        {"PORC = 10,5", {2}},
        {"PORC < 1000000000000000", {1, 2, 3}}, // beyond 64 bits at the field's scale
        {"PORC > -1000000000000000", {1, 2, 3}},
        {"ID < 10000000000", {1, 2, 3, 4}},
        {"MONTO = 0,8", {1}},
        {"MONTO = -0,8", {3}},
        {"MONTO < 0", {3}},
        {"MONTO = 100", {2}},
        {"RATE < 0", {2}},
        {"RATE = 1,5", {1}},
        {"RATE > 1000", {4}},
        {"PORC > RATE", {1, 2, 3}},
        // exponents, as floating values are written
        {"RATE = 1,5E0", {1}},
        {"RATE > 1E9", {4}},
        {"RATE < -2e+0", {2}},
        {"PORC = 1,9E1", {1}},
        {"MONTO = PORC", {}},
        // text
        {"NAME = 'Ana'", {1}},
        {"NAME = 'ana'", {}},
        {"NAME = 'ana'", {1}, ci},
        {"NAME = 'ángel o''neil'", {3}, ci},
        {"NAME = 'Ángel O''Neil'", {3}},
        {"NAME > 'B'", {2, 3}},
        {"NAME = 'br*'", {}},
        {"NAME = 'br*'", {2}, partial},
        {"NAME = 'BR*'", {2}, both},
        {"NAME <> 'br*'", {1, 3}, partial},
        {"NAME = '*'", {1, 2, 3}, partial},
        // booleans
        {"ACTIVO", {1, 4}},
        {"not ACTIVO", {2}},
        {"ACTIVO = true", {1, 4}},
        {"ACTIVO = 'False'", {2}},
        {"ACTIVO = 1", {1, 4}},
        {"ACTIVO = 0", {2}},
        // times and moments, with days before 1899 in their own order
        {"HORA = '10:30'", {1}},
        {"HORA = '10:30:00'", {1}},
        {"HORA > '10:29:59'", {1}},
        {"MOMENTO = '01/03/2016 10:30:00'", {1}},
        {"MOMENTO > '01/03/2016'", {1}},
        {"MOMENTO < '15/06/1850 12:00'", {3}},
        {"MOMENTO > '15/06/1850 05:00'", {1, 3}},
        // constants alone
        {"1 = 1", {1, 2, 3, 4}},
        {"'a' = 'b'", {}},
        {"true", {1, 2, 3, 4}},
        // as Locate writes them
        {"[FECHA]='02/03/2016' and [FIN] IS NULL", {2}},
        {"[ID]=3 and [PORC]=0,0001", {3}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Text);
        EXPECT_EQ(Filtered(c.Text, c.Options), c.Ids);
        // Locate tests the same expression and stops at the first match.
        EXPECT_EQ(Located(c.Text, c.Options), c.Ids.empty() ? 0 : c.Ids.front());
    }
}

TEST_F(FilterExprTest, OtherSettingsReadDatesAndNumbersTheirWay) {
    TFormatSettings us = SpanishSettings();
    us.ShortDateFormat = "mm/dd/yyyy";
    us.DecimalSeparator = '.';
    EXPECT_EQ(Filtered("FECHA = '03/02/2016'", {}, us), (std::vector<int32_t>{2}));
    EXPECT_EQ(Filtered("PORC = 10.5", {}, us), (std::vector<int32_t>{2}));
    TFormatSettings iso = SpanishSettings();
    iso.ShortDateFormat = "yyyy-mm-dd";
    iso.DateSeparator = '-';
    EXPECT_EQ(Filtered("FECHA = '2016-03-02'", {}, iso), (std::vector<int32_t>{2}));
}

TEST_F(FilterExprTest, ABlankTextIsNoFilter) {
    EXPECT_EQ(CompileFilterExpression("  ", cursor->Layout()), nullptr);
    cursor->AddFilter(nullptr);
    EXPECT_EQ(cursor->GetRecordCount(), 4);
}

struct Bad {
    const char* Text;
    const char* Message;
};

TEST_F(FilterExprTest, BadExpressionsAndTheirMessages) {
    const Bad cases[] = {
        {"ID = 'x'", "Type mismatch in expression"},
        {"FECHA = 'hello'", "Type mismatch in expression"},
        {"FECHA = '31/02/2016'", "Type mismatch in expression"},
        {"FECHA = '01/03/2016 10:00'", "Type mismatch in expression"},
        {"FECHA = 5", "Type mismatch in expression"},
        {"HORA = '25:00'", "Type mismatch in expression"},
        {"NAME = 5", "Type mismatch in expression"},
        {"NAME = FECHA", "Type mismatch in expression"},
        {"ID = NAME", "Type mismatch in expression"},
        {"ACTIVO = 'yes'", "Type mismatch in expression"},
        {"ACTIVO = 2", "Type mismatch in expression"},
        {"1 = 'a'", "Type mismatch in expression"},
        {"NOPE = 1", "Field 'NOPE' not found"},
        {"[NO PE] = 1", "Field 'NO PE' not found"},
        {"AJCI_X = 1 or FECHA = '02/03/2016'", "Field 'AJCI_X' not found"},
        {"NAME = 'abc", "Unterminated string constant"},
        {"NAME = 'it''s", "Unterminated string constant"},
        {"(ID = 1", "')' expected"},
        {"(ID = 1 or (ID = 2)", "')' expected"},
        {"[ID = 1", "']' expected"},
        {"ID = 1)", "Incorrectly formed expression"},
        {"ID =", "Incorrectly formed expression"},
        {"= 1", "Incorrectly formed expression"},
        {"ID = 1 ID = 2", "Incorrectly formed expression"},
        {"ID", "Incorrectly formed expression"},
        {"and ID = 1", "Incorrectly formed expression"},
        {"ID = 1 and", "Incorrectly formed expression"},
        {"ID is 1", "Incorrectly formed expression"},
        {"'a' is null", "Incorrectly formed expression"},
        {"FIN < null", "Incorrectly formed expression"},
        {"[] = 1", "Incorrectly formed expression"},
        {"ID = - 'a'", "Incorrectly formed expression"},
        {"ID # 1", "Unexpected character '#' in expression"},
        {"ID = \"1\"", "Unexpected character '\"' in expression"},
        {"ID = 12abc", "Invalid number '12a' in expression"},
        {"RATE = 1E", "Invalid number '1E' in expression"},
        {"RATE = 1,5E+x", "Invalid number '1,5E' in expression"},
    };
    for (const Bad& c : cases) {
        SCOPED_TRACE(c.Text);
        try {
            CompileFilterExpression(c.Text, cursor->Layout(), {}, SpanishSettings());
            ADD_FAILURE() << "compiled";
        } catch (const EDatabaseError& e) {
            EXPECT_EQ(e.Message, c.Message);
        }
    }
    // With "." as decimal separator a comma is no part of a number.
    TFormatSettings dot = SpanishSettings();
    dot.DecimalSeparator = '.';
    try {
        CompileFilterExpression("PORC = 1,5", cursor->Layout(), {}, dot);
        ADD_FAILURE() << "compiled";
    } catch (const EDatabaseError& e) {
        EXPECT_EQ(e.Message, "Unexpected character ',' in expression");
    }
}

// Deep trees are refused before they can exhaust the stack of the compiler,
// the evaluator or the tree's destruction; up to the bound they work.
TEST_F(FilterExprTest, ExpressionsNestedBeyondTheBoundAreRefused) {
    auto repeated = [](const std::string& piece, int times) {
        std::string out;
        for (int i = 0; i < times; ++i)
            out += piece;
        return out;
    };
    const std::string tooDeep[] = {
        repeated("(", 100000) + "ID = 1" + repeated(")", 100000),
        repeated("not ", 100000) + "ID = 1",
        "ID = 0" + repeated(" or ID = 1", 100000),
        "ID = 0" + repeated(" and ID = 1", 100000),
    };
    for (const std::string& text : tooDeep) {
        SCOPED_TRACE(text.substr(0, 20));
        try {
            CompileFilterExpression(text, cursor->Layout(), {}, SpanishSettings());
            ADD_FAILURE() << "compiled";
        } catch (const EDatabaseError& e) {
            EXPECT_EQ(e.Message, "Filter expression too complex");
        }
    }
    DSExprPtr deep = CompileFilterExpression(repeated("(", 500) + "ID = 1" + repeated(")", 500) +
                                                 repeated(" or ID = 2", 499),
                                             cursor->Layout(), {}, SpanishSettings());
    EXPECT_NE(deep, nullptr);
}

TEST_F(FilterExprTest, HandBuiltTreesAreCheckedByTheEngine) {
    auto compare = [](int field, Variant value) {
        auto e = std::make_unique<DSExpr>();
        e->kind = DSExpr::Eq;
        auto f = std::make_unique<DSExpr>();
        f->kind = DSExpr::Field;
        f->FieldNo = field;
        auto c = std::make_unique<DSExpr>();
        c->Value = std::move(value);
        e->Children.push_back(std::move(f));
        e->Children.push_back(std::move(c));
        return e;
    };
    std::string message;
    EXPECT_EQ(EngineErrorOf([&] { cursor->AddFilter(compare(ID, Variant("1"))); }, &message),
              DBERR_INVALIDPARAM);
    EXPECT_EQ(message, "Type mismatch in expression");
    EXPECT_EQ(EngineErrorOf([&] { cursor->Locate(*compare(99, Variant(int32_t{1}))); }),
              DBERR_INVALIDPARAM);
    auto broken = std::make_unique<DSExpr>();
    broken->kind = DSExpr::And;
    EXPECT_EQ(EngineErrorOf([&] { cursor->AddFilter(std::move(broken)); }), DBERR_INVALIDPARAM);
    EXPECT_EQ(cursor->GetRecordCount(), 4);
    // Constants of another exact kind compare exactly.
    EXPECT_TRUE(cursor->Locate(*compare(PORC, Variant(Currency{105000}))));
    EXPECT_EQ(Current(*cursor, ID).Get<int32_t>(), 2);
    EXPECT_TRUE(cursor->Locate(*compare(ID, Variant(TBcd{30, 1}))));
    EXPECT_EQ(Current(*cursor, ID).Get<int32_t>(), 3);
    // A moment far beyond any date compares by order alone.
    EXPECT_FALSE(cursor->Locate(*compare(FECHA, Variant(TDateTime(1e300)))));
    auto before = compare(FECHA, Variant(TDateTime(1e300)));
    before->kind = DSExpr::Lt;
    cursor->AddFilter(std::move(before));
    EXPECT_EQ(cursor->GetRecordCount(), 4);
}

} // namespace
