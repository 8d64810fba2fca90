// SQL datasets over real Firebird: the statements they run, the fields they
// make from the driver's columns, and their life with the connection.

#include "TSQLDataSetFixtures.h"

#include "data/TBooleanField.h"
#include "data/TDateTimeFields.h"
#include "data/TNumericFields.h"
#include "data/TStringField.h"

#include <gtest/gtest.h>

using namespace sqlfixtures;

namespace {

class SQLDataSet : public ::testing::Test {
protected:
    void SetUp() override {
        Database = CopyCompanyDatabase(Dir);
        Connection = NewConnection(Database, &Owner);
        Exec(*Connection,
             "insert into AJUSTE_CIERRE values (1, '2016-03-01', '2016-03-31', 19, 0.8)");
        Exec(*Connection, "insert into AJUSTE_CIERRE values (2, '2016-03-01', null, 5, 0.75)");
        Connection->Close();
    }

    testsupport::TempDir Dir;
    std::string Database;
    TComponent Owner;
    TSQLConnection* Connection = nullptr;
};

template <class T> T* as(TField* f) {
    T* t = dynamic_cast<T*>(f);
    EXPECT_NE(t, nullptr) << f->FieldName() << " is not of the expected class";
    return t;
}

} // namespace

TEST_F(SQLDataSet, TableReadsEveryRowWithSelectStarAndOpensTheConnectionOnDemand) {
    auto* table = new TRecordingSQLTable(&Owner);
    table->SetSQLConnection(Connection);
    table->SetTableName("AJUSTE_CIERRE");
    table->SetGetMetadata(false);
    ASSERT_FALSE(Connection->Connected());

    table->Open();
    EXPECT_TRUE(Connection->Connected());
    ASSERT_EQ(table->Log.Prepared.size(), 1u);
    EXPECT_EQ(table->Log.Prepared[0], " select * from \"AJUSTE_CIERRE\"");
    EXPECT_TRUE(table->IsUniDirectional());
    EXPECT_FALSE(table->CanModify());

    ASSERT_EQ(table->FieldCount(), 5);
    EXPECT_TRUE(as<TIntegerField>(table->Fields(0))->Required());
    as<TDateField>(table->Fields(1));
    as<TDateField>(table->Fields(2));
    for (int i : {3, 4}) {
        TFMTBCDField* f = as<TFMTBCDField>(table->Fields(i));
        ASSERT_NE(f, nullptr);
        EXPECT_EQ(f->Size(), 4);
        EXPECT_GE(f->Precision(), 15);
    }

    EXPECT_EQ(table->FieldByName("AJCI_ID")->AsInteger(), 1);
    EXPECT_EQ(table->FieldByName("AJCI_FECINI")->AsDateTime(), EncodeDate(2016, 3, 1));
    EXPECT_EQ(table->FieldByName("AJCI_FECFIN")->AsDateTime(), EncodeDate(2016, 3, 31));
    EXPECT_EQ(table->FieldByName("AJCI_PORC")->AsCurrency(), Currency{190000});
    EXPECT_EQ(table->FieldByName("AJCI_FACTOR")->AsBCD(), (TBcd{8, 1}));
    table->Next();
    EXPECT_FALSE(table->Eof());
    EXPECT_EQ(table->FieldByName("AJCI_ID")->AsInteger(), 2);
    EXPECT_TRUE(table->FieldByName("AJCI_FECFIN")->IsNull());
    EXPECT_EQ(table->FieldByName("AJCI_FACTOR")->AsCurrency(), Currency{7500});
    table->Next();
    EXPECT_TRUE(table->Eof());
}

TEST_F(SQLDataSet, QueryRunsItsTextAndBindsTheParametersNamedInIt) {
    auto* query = new TRecordingSQLQuery(&Owner);
    query->SetSQLConnection(Connection);
    query->SetCommandText("select AJCI_ID from AJUSTE_CIERRE\n"
                          "where AJCI_PORC = :PORC and AJCI_FECINI >= :DESDE order by 1");
    ASSERT_EQ(query->Params().Count(), 2);
    EXPECT_EQ(query->Params().Items(0).Name, "PORC");
    EXPECT_EQ(query->Params().Items(1).Name, "DESDE");
    query->Params().FindParam("porc")->DataType = ftFMTBcd;
    query->Params().FindParam("porc")->Value = TBcd{5, 0};
    query->Params().FindParam("desde")->DataType = ftDate;
    query->Params().FindParam("desde")->Value = EncodeDate(2016, 1, 1);

    query->Open();
    ASSERT_EQ(query->Log.Executed.size(), 1u);
    EXPECT_EQ(query->Log.Executed[0].SQL, "select AJCI_ID from AJUSTE_CIERRE\n"
                                          "where AJCI_PORC = ? and AJCI_FECINI >= ? order by 1");
    EXPECT_EQ(ParamsText(query->Log.Executed[0].Params), "5|2016-01-01");
    EXPECT_EQ(query->Fields(0)->AsInteger(), 2);
    query->Next();
    EXPECT_TRUE(query->Eof());

    // A text without parameters goes to the driver exactly as written, and
    // setting a new text keeps the values of parameters it still names.
    query->SetCommandText("select count(*) from AJUSTE_CIERRE where AJCI_PORC = :PORC");
    EXPECT_FALSE(query->Active());
    ASSERT_EQ(query->Params().Count(), 1);
    EXPECT_EQ(query->Params().Items(0).Value, Variant(TBcd{5, 0}));
    query->SetCommandText("  SELECT count(*) FROM AJUSTE_CIERRE  ");
    query->Open();
    EXPECT_EQ(query->Log.Prepared.back(), "  SELECT count(*) FROM AJUSTE_CIERRE  ");
    EXPECT_EQ(query->Fields(0)->AsInteger(), 2);
}

TEST_F(SQLDataSet, ColumnsBecomeFieldsOfTheirTypeFamilies) {
    auto* query = new TSQLQuery(&Owner);
    query->SetSQLConnection(Connection);
    query->SetCommandText(
        "select cast(1.5 as double precision) F, cast('Año' as varchar(10)) S,"
        " cast('2016-03-01 10:30:00' as timestamp) TS, cast(-5 as smallint) SI,"
        " cast(9000000000 as bigint) BI, cast('10:30:00' as time) T, true B,"
        " cast(null as integer) N, cast(-12.345 as numeric(9,3)) D from rdb$database");
    query->Open();
    EXPECT_EQ(as<TFloatField>(query->FieldByName("F"))->AsFloat(), 1.5);
    TStringField* s = as<TStringField>(query->FieldByName("S"));
    EXPECT_EQ(s->AsString(), "Año");
    EXPECT_GE(s->Size(), 10);
    EXPECT_EQ(as<TSQLTimeStampField>(query->FieldByName("TS"))->AsDateTime(),
              TDateTime(EncodeDate(2016, 3, 1).Val() + 10.5 / 24));
    EXPECT_EQ(as<TSmallintField>(query->FieldByName("SI"))->AsInteger(), -5);
    EXPECT_EQ(as<TLargeintField>(query->FieldByName("BI"))->AsLargeInt(), 9000000000LL);
    EXPECT_NEAR(as<TTimeField>(query->FieldByName("T"))->AsDateTime().Val(), 10.5 / 24, 1e-9);
    EXPECT_TRUE(as<TBooleanField>(query->FieldByName("B"))->AsBoolean());
    EXPECT_TRUE(query->FieldByName("N")->IsNull());
    TFMTBCDField* d = as<TFMTBCDField>(query->FieldByName("D"));
    EXPECT_EQ(d->Size(), 3);
    EXPECT_EQ(d->AsBCD(), (TBcd{-12345, 3}));
}

TEST_F(SQLDataSet, ClosingTheConnectionClosesTheDatasetAndFreesItsStatement) {
    auto* table = new TSQLTable(&Owner);
    table->SetSQLConnection(Connection);
    table->SetTableName("AJUSTE_CIERRE");
    table->Open();
    ASSERT_TRUE(table->Active());
    Connection->Close();
    EXPECT_FALSE(table->Active());
    EXPECT_FALSE(Connection->Connected());
    // The statement was freed with the connection; the next open connects again.
    table->Open();
    EXPECT_TRUE(Connection->Connected());
    EXPECT_EQ(table->Fields(0)->AsInteger(), 1);
}

TEST_F(SQLDataSet, ForwardOnlyMovesAndStartingAgain) {
    auto* table = new TRecordingSQLTable(&Owner);
    table->SetSQLConnection(Connection);
    table->SetTableName("AJUSTE_CIERRE");
    table->Open();
    table->Next();
    EXPECT_EQ(table->Fields(0)->AsInteger(), 2);
    try {
        table->Prior();
        ADD_FAILURE() << "Prior moved a forward-only dataset";
    } catch (const EDatabaseError& e) {
        EXPECT_EQ(e.Message, "Operation not allowed on a unidirectional dataset");
    }
    table->First(); // runs the statement again
    EXPECT_EQ(table->Log.Executed.size(), 2u);
    EXPECT_EQ(table->Fields(0)->AsInteger(), 1);
}

TEST_F(SQLDataSet, FailuresLeaveTheDatasetClosed) {
    auto* query = new TSQLQuery(&Owner);
    query->SetSQLConnection(Connection);
    query->SetCommandText("select * from NO_SUCH_TABLE");
    try {
        query->Open();
        ADD_FAILURE() << "opened";
    } catch (const EDatabaseError& e) {
        EXPECT_EQ(e.Message.rfind("SQL Server Error: ", 0), 0u) << e.Message;
        EXPECT_NE(e.Message.find("NO_SUCH_TABLE"), std::string::npos) << e.Message;
    }
    EXPECT_FALSE(query->Active());

    struct Case {
        std::function<void(TSQLTable&)> Setup;
        const char* Message;
    };
    const Case cases[] = {
        {[](TSQLTable& t) { t.SetTableName("AJUSTE_CIERRE"); }, "Missing SQLConnection property"},
        {[&](TSQLTable& t) { t.SetSQLConnection(Connection); }, "No table name specified"},
    };
    for (const Case& c : cases) {
        TSQLTable table;
        c.Setup(table);
        try {
            table.Open();
            ADD_FAILURE() << "opened";
        } catch (const EDatabaseError& e) {
            EXPECT_EQ(e.Message, c.Message);
        }
        EXPECT_FALSE(table.Active());
        table.SetSQLConnection(nullptr);
    }
}

TEST_F(SQLDataSet, KeyFieldsComeFromTheDatabaseOnlyWithMetadata) {
    TSQLTable table;
    table.SetSQLConnection(Connection);
    table.SetTableName("AJUSTE_CIERRE");
    table.SetGetMetadata(false);
    EXPECT_TRUE(table.PSGetKeyFields().empty());
    table.SetGetMetadata(true);
    EXPECT_EQ(table.PSGetKeyFields(), std::vector<std::string>{"AJCI_ID"});
    table.SetTableName("ajuste_cierre");
    EXPECT_EQ(table.PSGetKeyFields(), std::vector<std::string>{"AJCI_ID"});
    table.SetSQLConnection(nullptr);
}

TEST(SQLQueryTableName, PlainSelectsOfOneTableNameIt) {
    struct Case {
        const char* SQL;
        const char* Table;
    };
    const Case cases[] = {
        {"select * from AJUSTE_CIERRE", "AJUSTE_CIERRE"},
        {"SELECT DISTINCT TAIV_PORC FROM TARIFA_IVA", "TARIFA_IVA"},
        {"select a.X from T a where a.X > 1 order by 1", "T"},
        {"select X from \"Mixed\" as m", "\"Mixed\""},
        {"select (select max(Y) from U) from T where X = 'from V'", "T"},
        {"select * from contado_mverde_pref('01/03/2016', '31/03/2016', 'FV')", ""},
        {"select * from A, B", ""},
        {"select * from A join B on A.X = B.X", ""},
        {"select * from A left join B on A.X = B.X", ""},
        {"update T set X = 1", ""},
        {"", ""},
    };
    for (const Case& c : cases) {
        TSQLQuery q;
        q.SetCommandText(c.SQL);
        EXPECT_EQ(q.PSGetTableName(), c.Table) << c.SQL;
    }
}
