// A dataset provider packing the rows of an SQL dataset over real Firebird:
// the field descriptions and attributes, packets of Count rows, and when
// the provider closes what it opened.

#include "TSQLDataSetFixtures.h"

#include "data/TNumericFields.h"

#include <gtest/gtest.h>

using namespace sqlfixtures;

namespace {

class DataSetProvider : public ::testing::Test {
protected:
    void SetUp() override {
        Database = CopyCompanyDatabase(Dir);
        Connection = NewConnection(Database, &Owner);
        for (int i = 1; i <= 5; ++i)
            Exec(*Connection, "insert into AJUSTE_CIERRE values (" + std::to_string(i) +
                                  ", '2016-03-01', '2016-03-31', " + std::to_string(i) + ", 0.8)");
        Table = new TRecordingSQLTable(&Owner);
        Table->SetSQLConnection(Connection);
        Table->SetTableName("AJUSTE_CIERRE");
        Table->SetGetMetadata(false);
        Provider = new TDataSetProvider(&Owner);
        Provider->SetDataSet(Table);
    }

    std::vector<uint8_t> getRecords(int count, int& recsOut, int options = grMetaData,
                                    const std::string& text = {}) {
        TParams params;
        Variant ownerData;
        return Provider->GetRecords(count, recsOut, options, text, params, ownerData);
    }
    static std::vector<int> ids(const std::vector<uint8_t>& packet) {
        TDSPacketReader reader(packet);
        std::vector<int> result;
        for (int r = 0; r < reader.RowCount(); ++r)
            result.push_back(reader.Layout().GetField(reader.Record(r), 0).Get<int32_t>());
        return result;
    }

    testsupport::TempDir Dir;
    std::string Database;
    TComponent Owner;
    TSQLConnection* Connection = nullptr;
    TRecordingSQLTable* Table = nullptr;
    TDataSetProvider* Provider = nullptr;
};

} // namespace

TEST_F(DataSetProvider, PacketsDescribeTheFieldsAndCarryLocaleAndTableName) {
    Connection->Params().SetValues("LocaleCode", "0C0A");
    // A persistent field of the SQL dataset says how its column is written.
    auto* factor = new TFMTBCDField(&Owner);
    factor->SetFieldName("AJCI_FACTOR");
    factor->SetProviderFlags(pfInUpdate);
    factor->SetRequired(true);
    factor->SetDataSet(Table);

    int recsOut = 0;
    TDSPacketReader reader(getRecords(-1, recsOut));
    EXPECT_EQ(recsOut, 5);
    EXPECT_EQ(reader.RowCount(), 5);
    const std::vector<DSFieldDesc>& f = reader.Layout().Fields();
    ASSERT_EQ(f.size(), 5u);
    const char* names[] = {"AJCI_ID", "AJCI_FECINI", "AJCI_FECFIN", "AJCI_PORC", "AJCI_FACTOR"};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(f[i].Name, names[i]);
        EXPECT_EQ(f[i].Origin, names[i]);
    }
    EXPECT_EQ(f[0].Type, DSType::Int32);
    EXPECT_EQ(f[1].Type, DSType::Date);
    EXPECT_EQ(f[3].Type, DSType::Bcd);
    EXPECT_EQ(f[3].Scale, 4);
    EXPECT_TRUE(f[0].Attributes & fldAttrRequired); // NOT NULL in the table
    EXPECT_FALSE(f[1].Attributes & fldAttrRequired);
    EXPECT_EQ(f[1].ProviderFlags, pfInUpdate | pfInWhere);
    EXPECT_EQ(f[4].ProviderFlags, pfInUpdate);
    EXPECT_TRUE(f[4].Attributes & fldAttrRequired);

    const Variant* lcid = reader.Attribute("LCID");
    ASSERT_NE(lcid, nullptr);
    EXPECT_EQ(*lcid, Variant(int32_t{0x0C0A}));
    const Variant* table = reader.Attribute("TABLE_NAME");
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(*table, Variant("AJUSTE_CIERRE"));
    EXPECT_EQ(reader.Attribute("DISABLE_EDITS"), nullptr);
    EXPECT_FALSE(Table->Active());
}

TEST_F(DataSetProvider, OptionsThatDisableChangesAreSentAsAttributes) {
    Provider->SetOptions({poDisableEdits, poDisableDeletes});
    int recsOut = 0;
    TDSPacketReader reader(getRecords(-1, recsOut));
    EXPECT_EQ(reader.Attribute("DISABLE_EDITS") ? *reader.Attribute("DISABLE_EDITS") : Variant(),
              Variant(true));
    EXPECT_EQ(reader.Attribute("DISABLE_INSERTS"), nullptr);
    EXPECT_NE(reader.Attribute("DISABLE_DELETES"), nullptr);
}

TEST_F(DataSetProvider, QueryOverAJoinHasNoTableName) {
    auto* query = new TSQLQuery(&Owner);
    query->SetSQLConnection(Connection);
    query->SetCommandText(
        "select AJCI_ID from AJUSTE_CIERRE a join TARIFA_IVA t on t.TAIV_PORC = a.AJCI_PORC");
    Provider->SetDataSet(query);
    int recsOut = 0;
    TDSPacketReader reader(getRecords(-1, recsOut));
    EXPECT_EQ(reader.Attribute("TABLE_NAME"), nullptr);
    EXPECT_NE(reader.Attribute("LCID"), nullptr);
    EXPECT_EQ(recsOut, 1); // the 5 % rate
}

TEST_F(DataSetProvider, PacketsOfCountRowsKeepTheDatasetOpenUntilOneComesBackShort) {
    int recsOut = 0;
    EXPECT_EQ(ids(getRecords(2, recsOut)), (std::vector<int>{1, 2}));
    EXPECT_EQ(recsOut, 2);
    EXPECT_TRUE(Table->Active());
    EXPECT_EQ(ids(getRecords(2, recsOut, 0)), (std::vector<int>{3, 4}));
    EXPECT_TRUE(Table->Active());
    EXPECT_EQ(ids(getRecords(2, recsOut, 0)), (std::vector<int>{5}));
    EXPECT_EQ(recsOut, 1);
    EXPECT_FALSE(Table->Active());
    EXPECT_EQ(Table->Log.Executed.size(), 1u);

    // Exactly Count rows: the end is known only from the next, empty packet.
    Exec(*Connection, "delete from AJUSTE_CIERRE where AJCI_ID = 5");
    EXPECT_EQ(ids(getRecords(4, recsOut)), (std::vector<int>{1, 2, 3, 4}));
    EXPECT_TRUE(Table->Active());
    EXPECT_TRUE(ids(getRecords(4, recsOut, 0)).empty());
    EXPECT_EQ(recsOut, 0);
    EXPECT_FALSE(Table->Active());
}

TEST_F(DataSetProvider, ResetClosesOnlyADatasetTheProviderOpened) {
    int recsOut = 0;
    getRecords(2, recsOut);
    ASSERT_TRUE(Table->Active());
    getRecords(0, recsOut, grReset);
    EXPECT_FALSE(Table->Active());

    Table->Open();
    Table->Next();
    EXPECT_EQ(ids(getRecords(-1, recsOut)),
              (std::vector<int>{2, 3, 4, 5})); // from the current row on
    EXPECT_TRUE(Table->Active());
    getRecords(0, recsOut, grReset);
    EXPECT_TRUE(Table->Active());
}

TEST_F(DataSetProvider, CommandTextsNeedTheOptionAndAClosedDataset) {
    auto* query = new TRecordingSQLQuery(&Owner);
    query->SetSQLConnection(Connection);
    query->SetCommandText("select AJCI_ID from AJUSTE_CIERRE order by AJCI_ID desc");
    Provider->SetDataSet(query);
    TLocalAppServer server(Provider);
    TParams params;
    Variant ownerData;
    int recsOut = 0;
    const std::string text = "select AJCI_ID from AJUSTE_CIERRE where AJCI_ID < 3";
    try {
        server.AS_GetRecords("", 10, recsOut, grMetaData, text, params, ownerData);
        ADD_FAILURE() << "command text taken without poAllowCommandText";
    } catch (const EOleException& e) {
        EXPECT_EQ(e.Message, "CommandText changes are not allowed");
    }
    EXPECT_FALSE(query->Active());
    EXPECT_TRUE(query->Log.Prepared.empty());

    Provider->SetOptions({poAllowCommandText});
    query->Open();
    try {
        server.AS_GetRecords("", 10, recsOut, grMetaData, text, params, ownerData);
        ADD_FAILURE() << "command text handed to an open dataset";
    } catch (const EOleException& e) {
        EXPECT_EQ(e.Message, "Cannot perform this operation on an open dataset");
    }
    query->Close();
    EXPECT_EQ(ids(server.AS_GetRecords("", 10, recsOut, grMetaData, text, params, ownerData)),
              (std::vector<int>{1, 2}));
    EXPECT_EQ(query->Log.Prepared.back(), text);
    EXPECT_FALSE(query->Active());
}

TEST_F(DataSetProvider, AFailingOpenLeavesNothingOpenAndReachesTheClient) {
    auto* query = new TSQLQuery(&Owner);
    query->SetSQLConnection(Connection);
    query->SetCommandText("select * from AJUSTE_CIERRE where NO_SUCH_COLUMN = 1");
    Provider->SetDataSet(query);
    TLocalAppServer server(Provider);
    TParams params;
    Variant ownerData;
    int recsOut = 0;
    try {
        server.AS_GetRecords("", -1, recsOut, grMetaData, "", params, ownerData);
        ADD_FAILURE() << "opened";
    } catch (const EOleException& e) {
        EXPECT_EQ(e.Message.rfind("SQL Server Error: ", 0), 0u) << e.Message;
    }
    EXPECT_FALSE(query->Active());
    try {
        TDataSetProvider lone;
        lone.GetRecords(-1, recsOut, grMetaData, "", params, ownerData);
        ADD_FAILURE() << "packed without a dataset";
    } catch (const EDatabaseError& e) {
        EXPECT_EQ(e.Message, "Missing DataSet property");
    }
}
