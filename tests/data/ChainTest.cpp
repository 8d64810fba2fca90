// The chain of the window, SQL dataset → provider → client dataset, on a
// company database: packets of 1000 rows as the window sets them, fetching
// the rest, reading again after a close, and persistent fields bound to the
// columns the driver reports.

#include "TSQLDataSetFixtures.h"

#include "data/TDateTimeFields.h"
#include "data/TNumericFields.h"
#include "data/TStringField.h"
#include "platform/SysUtils.h"

#include <gtest/gtest.h>

using namespace sqlfixtures;

namespace {

// Rows AJCI_ID 1..n of the closing-adjustment table (n at most 2500).
void fillAdjustments(TSQLConnection& c, int n) {
    Exec(c, "insert into AJUSTE_CIERRE with recursive n(i) as (select 1 from rdb$database union "
            "all select i + 1 from n where i < 50) select (a.i - 1) * 50 + b.i, '2016-03-01', "
            "'2016-03-31', 19, 0.8 from n a cross join n b where (a.i - 1) * 50 + b.i <= " +
                std::to_string(n));
}

class Chain : public ::testing::Test {
protected:
    void SetUp() override {
        Database = CopyCompanyDatabase(Dir);
        C = std::make_unique<AdjustmentChain>(Database);
        C->Client->SetPacketRecords(1000); // as the window configures every client dataset
    }
    // Reads through the provider with a query of the given text.
    TRecordingSQLQuery* useQuery(const std::string& text) {
        auto* q = new TRecordingSQLQuery(C->Owner.get());
        q->SetSQLConnection(C->Connection);
        q->SetCommandText(text);
        C->Provider->SetDataSet(q);
        return q;
    }

    testsupport::TempDir Dir;
    std::string Database;
    std::unique_ptr<AdjustmentChain> C;
};

} // namespace

TEST_F(Chain, ExactlyOnePacketOfRowsKeepsTheStatementOpenUntilAnEmptyPacket) {
    fillAdjustments(*C->Connection, 1000);
    TRecordingSQLQuery* q = useQuery("select AJCI_ID from AJUSTE_CIERRE order by AJCI_ID");
    TClientDataSet& c = *C->Client;
    c.Open();
    EXPECT_EQ(c.RecordCount(), 1000);
    EXPECT_TRUE(q->Active()); // the end is not known yet
    EXPECT_EQ(c.MoveBy(999), 999);
    EXPECT_EQ(c.Fields(0)->AsInteger(), 1000);
    EXPECT_TRUE(q->Active());
    c.Next(); // asks for more and gets an empty packet
    EXPECT_TRUE(c.Eof());
    EXPECT_FALSE(q->Active());
    EXPECT_EQ(c.RecordCount(), 1000);
    EXPECT_EQ(q->Log.Executed.size(), 1u);
}

TEST_F(Chain, LastLocateAndAFilterFetchTheRest) {
    fillAdjustments(*C->Connection, 2500);
    TRecordingSQLQuery* q = useQuery("select AJCI_ID from AJUSTE_CIERRE order by AJCI_ID");
    TClientDataSet& c = *C->Client;

    c.Open();
    EXPECT_EQ(c.RecordCount(), 1000);
    c.Last();
    EXPECT_EQ(c.RecordCount(), 2500);
    EXPECT_EQ(c.Fields(0)->AsInteger(), 2500);
    EXPECT_FALSE(q->Active());
    c.Close();

    c.Open();
    EXPECT_TRUE(c.Locate("AJCI_ID", Variant(int32_t{2400})));
    EXPECT_EQ(c.RecNo(), 2400);
    EXPECT_FALSE(q->Active());
    c.Close();

    c.Open();
    c.SetFilter("AJCI_ID > 2450");
    c.SetFiltered(true);
    EXPECT_EQ(c.RecordCount(), 50);
    EXPECT_EQ(c.Fields(0)->AsInteger(), 2451);
    EXPECT_FALSE(q->Active());
    EXPECT_EQ(q->Log.Executed.size(), 3u);
}

TEST_F(Chain, CloseThenOpenReadsTheTableAgain) {
    TSQLConnection& db = *C->Connection;
    Exec(db, "insert into AJUSTE_CIERRE values (1, '2016-03-01', '2016-03-31', 19, 0.8)");
    TClientDataSet& c = *C->Client;
    c.Open();
    EXPECT_FALSE(C->Table->Active()); // one short packet: read to the end
    c.Edit();
    c.FieldByName("AJCI_FACTOR")->SetAsCurrency(Currency{1});
    c.Post();
    TComponent other;
    Exec(*NewConnection(Database, &other),
         "insert into AJUSTE_CIERRE values (2, '2016-04-01', '2016-04-30', 5, 0.8)");
    EXPECT_EQ(c.RecordCount(), 1);

    c.Close();
    c.Open();
    EXPECT_EQ(c.RecordCount(), 2);
    EXPECT_EQ(c.ChangeCount(), 0);
    EXPECT_EQ(c.FieldByName("AJCI_FACTOR")->AsCurrency(), Currency{8000});
    EXPECT_EQ(C->Table->Log.Executed.size(), 2u);
}

TEST_F(Chain, PersistentFieldsOfTheEditorBindToTheTable) {
    Exec(*C->Connection,
         "insert into AJUSTE_CIERRE values (1, '2016-03-01', '2016-03-31', 19, 0.8)");
    TClientDataSet& c = *C->Client;
    TComponent* owner = C->Owner.get();
    auto* id = new TIntegerField(owner);
    id->SetFieldName("AJCI_ID");
    id->SetRequired(true);
    auto* from = new TDateField(owner);
    from->SetFieldName("AJCI_FECINI");
    from->SetDisplayLabel("F.Desde");
    auto* to = new TDateField(owner);
    to->SetFieldName("AJCI_FECFIN");
    auto* porc = new TFMTBCDField(owner);
    porc->SetFieldName("AJCI_PORC");
    auto* factor = new TFMTBCDField(owner);
    factor->SetFieldName("AJCI_FACTOR");
    for (TFMTBCDField* f : {porc, factor}) {
        f->SetPrecision(15);
        f->SetSize(4);
    }
    for (TField* f : std::initializer_list<TField*>{id, from, to, porc, factor})
        f->SetDataSet(&c);

    c.SetFilter("AJCI_FECINI = " +
                QuotedStr(DateToStr(EncodeDate(2016, 3, 1), DefaultFormatSettings())));
    c.SetFiltered(true);
    FormatSettings = DefaultFormatSettings();
    c.Open();
    ASSERT_TRUE(c.Active());
    EXPECT_EQ(c.FieldCount(), 5);
    EXPECT_EQ(id->AsInteger(), 1);
    EXPECT_EQ(from->AsDateTime(), EncodeDate(2016, 3, 1));
    EXPECT_EQ(porc->AsCurrency(), Currency{190000});
    EXPECT_EQ(factor->AsCurrency(), Currency{8000});
    EXPECT_EQ(factor->DisplayText(), "0,8");
    c.Close();

    // A field of another family is refused and the dataset stays closed.
    porc->SetDataSet(nullptr);
    auto* wrong = new TStringField(owner);
    wrong->SetFieldName("AJCI_PORC");
    wrong->SetDataSet(&c);
    try {
        c.Open();
        ADD_FAILURE() << "opened with a text field over a decimal column";
    } catch (const EDatabaseError& e) {
        EXPECT_EQ(e.Message,
                  "Type mismatch for field 'AJCI_PORC', expecting: String actual: FMTBcd");
    }
    EXPECT_FALSE(c.Active());
    EXPECT_FALSE(C->Table->Active());
}

TEST_F(Chain, TheEditorsRebuildOfAPeriodAppliesCleanly) {
    TSQLConnection& db = *C->Connection;
    Exec(db, "insert into AJUSTE_CIERRE values (1, '2016-03-01', '2016-03-31', 0, 0.5)");
    Exec(db, "insert into AJUSTE_CIERRE values (2, '2016-03-01', '2016-03-31', 19, 0.6)");
    Exec(db, "insert into AJUSTE_CIERRE values (3, '2016-04-01', '2016-04-30', 19, 0.7)");
    FormatSettings = DefaultFormatSettings();

    // The rate list through a chain of its own, as the window's CTarifas.
    auto* rates = new TSQLQuery(C->Owner.get());
    rates->SetSQLConnection(C->Connection);
    auto* ratesProvider = new TDataSetProvider(C->Owner.get());
    ratesProvider->SetName("Ptarifiva");
    ratesProvider->SetDataSet(rates);
    ratesProvider->SetOptions({poAllowCommandText});
    auto* tarifas = new TClientDataSet(C->Owner.get());
    tarifas->SetProviderName("Ptarifiva");
    tarifas->SetPacketRecords(1000);
    tarifas->SetCommandText("SELECT DISTINCT TAIV_PORC FROM TARIFA_IVA");

    TClientDataSet& c = *C->Client;
    TDateTime start = EncodeDate(2016, 3, 1), end = EncodeDate(2016, 3, 31);
    c.SetFilter("AJCI_FECINI = " + QuotedStr(DateToStr(start)));
    c.SetFiltered(true);
    c.Open();
    while (!c.Eof())
        c.Delete();
    tarifas->Open();
    for (tarifas->First(); !tarifas->Eof(); tarifas->Next()) {
        Currency rate = tarifas->Fields(0)->AsCurrency();
        if (c.Locate("AJCI_PORC", Variant(rate))) {
            c.Edit();
            c.FieldByName("AJCI_FACTOR")->SetAsCurrency(Currency{8000});
            c.Post();
        } else {
            c.Insert();
            c.FieldByName("AJCI_ID")->SetAsInteger(0);
            c.FieldByName("AJCI_FECINI")->SetAsDateTime(start);
            c.FieldByName("AJCI_FECFIN")->SetAsDateTime(end);
            c.FieldByName("AJCI_PORC")->SetAsCurrency(rate);
            c.FieldByName("AJCI_FACTOR")->SetAsCurrency(Currency{8000});
            c.Post();
        }
    }
    EXPECT_EQ(c.ApplyUpdates(0), 0);
    c.Close();

    // The sample's rates 0, 5 and 19 (three tariffs agree on 19 to four
    // decimals) replace the period's rows; April stays.
    EXPECT_EQ(AdjustmentRows(db), (std::vector<std::string>{"3|2016-04-01|2016-04-30|19|0.7",
                                                            "4|2016-03-01|2016-03-31|0|0.8",
                                                            "5|2016-03-01|2016-03-31|5|0.8",
                                                            "6|2016-03-01|2016-03-31|19|0.8"}));
}

// On the table itself: a filtered view never shows or finds a row the filter
// hides or a deleted row, and deleting all it shows leaves it empty at its
// end while the hidden rows stay, in memory and in the database.
TEST_F(Chain, AFilteredViewNeitherShowsNorFindsHiddenOrDeletedRows) {
    TSQLConnection& db = *C->Connection;
    Exec(db, "insert into AJUSTE_CIERRE values (1, '2016-03-01', '2016-03-31', 0, 0.5)");
    Exec(db, "insert into AJUSTE_CIERRE values (2, '2016-03-01', '2016-03-31', 19, 0.6)");
    Exec(db, "insert into AJUSTE_CIERRE values (3, '2016-04-01', '2016-04-30', 5, 0.7)");
    FormatSettings = DefaultFormatSettings();
    TClientDataSet& c = *C->Client;
    c.SetFilter("AJCI_FECINI = '01/03/2016'");
    c.SetFiltered(true);
    c.Open();
    EXPECT_EQ(c.RecordCount(), 2);
    EXPECT_FALSE(c.Locate("AJCI_PORC", Variant(Currency{50000})));
    EXPECT_FALSE(c.Locate("AJCI_ID", Variant(3)));

    ASSERT_TRUE(c.Locate("AJCI_ID", Variant(2)));
    c.Delete();
    EXPECT_FALSE(c.Locate("AJCI_ID", Variant(2)));
    EXPECT_FALSE(c.Locate("AJCI_PORC", Variant(Currency{190000})));
    EXPECT_EQ(c.RecordCount(), 1);
    while (!c.Eof())
        c.Delete();
    EXPECT_TRUE(c.Eof());
    EXPECT_TRUE(c.IsEmpty());
    EXPECT_EQ(c.RecordCount(), 0);

    c.SetFiltered(false);
    EXPECT_EQ(c.RecordCount(), 1);
    EXPECT_EQ(c.FieldByName("AJCI_ID")->AsInteger(), 3);
    EXPECT_EQ(c.ApplyUpdates(0), 0);
    EXPECT_EQ(AdjustmentRows(db), std::vector<std::string>{"3|2016-04-01|2016-04-30|5|0.7"});
}
