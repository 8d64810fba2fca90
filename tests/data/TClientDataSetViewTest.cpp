// Filters and Locate on a client dataset: the expressions Locate builds, what
// the view shows and finds, and the rows they fetch first.

#include "ClientDataSetFixtures.h"

#include "data/TNumericFields.h"
#include "platform/SysUtils.h"

#include <gtest/gtest.h>

using namespace fixtures;

namespace {

class ClientDataSetViewTest : public ::testing::Test {
protected:
    TSettingsGuard settings;
    TComponent owner;
    TDateTime march = EncodeDate(2016, 3, 1);
    TDateTime april = EncodeDate(2016, 4, 1);
    TPacketProvider* provider;
    TClientDataSet* ds;

    ClientDataSetViewTest() {
        std::vector<Row> rows;
        // 1500 rows: odd ids in March, even ids in April; rates cycle 0, 4, 10, 19 %.
        const int64_t rates[] = {0, 400, 1000, 1900};
        for (int i = 1; i <= 1500; ++i)
            rows.push_back(AdjustmentRow(i, i % 2 ? march : april, april, rates[i % 4], 8000));
        rows.push_back(Row{Variant(int32_t(1501)), Variant(march), Variant(Null{}), Variant(Null{}),
                           Variant(TBcd{8000, 4})});
        provider = new TPacketProvider(&owner, "PAjuste", AdjustmentFields(), rows);
        ds = new TClientDataSet(&owner);
        ds->SetProviderName("PAjuste");
        ds->SetPacketRecords(1000);
    }

    std::string filterFor(TDateTime day) { return "AJCI_FECINI = " + QuotedStr(DateToStr(day)); }
};

} // namespace

TEST_F(ClientDataSetViewTest, LocateExpressionTexts) {
    ds->Open();
    struct Case {
        const char* fields;
        std::vector<Variant> values;
        TLocateOptions options;
        char separator;
        const char* expected;
    };
    const std::vector<Case> cases = {
        {"AJCI_PORC", {Currency{1900}}, 0, ',', "[AJCI_PORC]=0,19"},
        {"AJCI_PORC", {Currency{1900}}, 0, '.', "[AJCI_PORC]=0.19"},
        {"AJCI_PORC", {Currency{190000}}, 0, ',', "[AJCI_PORC]=19"},
        {"AJCI_PORC", {TBcd{-25, 1}}, 0, ',', "[AJCI_PORC]=-2,5"},
        {"AJCI_PORC", {0.5}, 0, ',', "[AJCI_PORC]=0,5"},
        {"AJCI_ID", {int32_t(7)}, 0, ',', "[AJCI_ID]=7"},
        {"AJCI_ID", {Null{}}, 0, ',', "[AJCI_ID] IS NULL"},
        {"AJCI_FECINI", {EncodeDate(2016, 3, 15)}, 0, ',', "[AJCI_FECINI]='15/03/2016'"},
        {"AJCI_ID;AJCI_FECFIN",
         {int32_t(3), Null{}},
         0,
         ',',
         "[AJCI_ID]=3 and [AJCI_FECFIN] IS NULL"},
        {"AJCI_ID; AJCI_PORC",
         {int32_t(3), Currency{8000}},
         0,
         ',',
         "[AJCI_ID]=3 and [AJCI_PORC]=0,8"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expected);
        FormatSettings.DecimalSeparator = c.separator;
        EXPECT_EQ(ds->LocateExpression(c.fields, c.values, c.options), c.expected);
    }
}

TEST_F(ClientDataSetViewTest, LocateExpressionQuotesTextAndRefusesOtherTypes) {
    TComponent o;
    auto* text = new TClientDataSet(&o);
    text->SetData(
        MakePacket({DSFieldDesc{"NAME", DSType::String, 20}, DSFieldDesc{"FLAG", DSType::Boolean}},
                   {Row{Variant("O'Brien"), Variant(true)}}));
    EXPECT_EQ(text->LocateExpression("NAME", {Variant("O'Brien")}), "[NAME]='O''Brien'");
    EXPECT_EQ(text->LocateExpression("NAME", {Variant("O'B")}, loPartialKey), "[NAME]='O''B*'");
    try {
        text->LocateExpression("FLAG", {Variant(true)});
        FAIL() << "no error";
    } catch (const EDatabaseError& e) {
        EXPECT_EQ(e.Message, "Field 'FLAG' is of an unsupported type");
    }
    EXPECT_TRUE(text->Locate("NAME", Variant("O'Brien")));
    EXPECT_FALSE(text->Locate("NAME", Variant("o'brien")));
    EXPECT_TRUE(text->Locate("NAME", Variant("o'brien"), loCaseInsensitive));
    EXPECT_TRUE(text->Locate("NAME", Variant("O'B"), loPartialKey));
}

TEST_F(ClientDataSetViewTest, LocateFetchesTheRestAndSearchesFromTheFirstRowOfTheView) {
    ds->Open();
    EXPECT_EQ(provider->Calls.size(), 1u);
    ds->SetRecNo(900);
    ASSERT_TRUE(ds->Locate("AJCI_ID", Variant(int32_t(1400))));
    EXPECT_EQ(provider->Calls.size(), 2u);
    EXPECT_EQ(provider->Calls[1].Count, -1);
    EXPECT_EQ(ds->FieldByName("AJCI_ID")->AsInteger(), 1400);
    ASSERT_TRUE(ds->Locate("AJCI_PORC", Variant(Currency{1900})));
    EXPECT_EQ(ds->FieldByName("AJCI_ID")->AsInteger(), 3) << "the first match from the start";
    ASSERT_TRUE(ds->Locate("AJCI_FECFIN", Variant(Null{})));
    EXPECT_EQ(ds->FieldByName("AJCI_ID")->AsInteger(), 1501);
    EXPECT_FALSE(ds->Locate("AJCI_ID", Variant(int32_t(9999))));
    EXPECT_EQ(ds->FieldByName("AJCI_ID")->AsInteger(), 1501) << "no match: no move";
}

TEST_F(ClientDataSetViewTest, FilterAtOpenFetchesEverythingAndShowsOnlyMatchingRows) {
    FormatSettings.ShortDateFormat = "dd/mm/yyyy";
    ds->SetFilter(filterFor(march));
    ds->SetFiltered(true);
    ds->Open();
    EXPECT_EQ((std::vector<int>{provider->Calls[0].Count, provider->Calls[1].Count}),
              (std::vector<int>{1000, -1}));
    EXPECT_EQ(ds->RecordCount(), 751);
    EXPECT_EQ(ds->FieldByName("AJCI_ID")->AsInteger(), 1);
    ds->Next();
    EXPECT_EQ(ds->FieldByName("AJCI_ID")->AsInteger(), 3);

    // Locate never finds a row the filter hides, nor a deleted row.
    EXPECT_FALSE(ds->Locate("AJCI_ID", Variant(int32_t(2))));
    ASSERT_TRUE(ds->Locate("AJCI_ID", Variant(int32_t(5))));
    ds->Delete();
    EXPECT_FALSE(ds->Locate("AJCI_ID", Variant(int32_t(5))));

    // A row changed later is shown or hidden by the same test.
    ASSERT_TRUE(ds->Locate("AJCI_ID", Variant(int32_t(7))));
    ds->Edit();
    ds->FieldByName("AJCI_FECINI")->SetAsDateTime(april);
    ds->Post();
    EXPECT_EQ(ds->RecordCount(), 749);
    EXPECT_FALSE(ds->Locate("AJCI_ID", Variant(int32_t(7))));

    ds->SetFiltered(false);
    EXPECT_EQ(ds->RecordCount(), 1500) << "all but the deleted row";
    EXPECT_EQ(ds->RecNo(), 1);
    EXPECT_TRUE(ds->Locate("AJCI_ID", Variant(int32_t(7))));
    EXPECT_FALSE(ds->Locate("AJCI_ID", Variant(int32_t(5))));
}

TEST_F(ClientDataSetViewTest, SwitchingAFilterOnFinishesThePendingChangeAndGoesToTheFirstRow) {
    ds->Open();
    ds->SetRecNo(10);
    ds->Edit();
    ds->FieldByName("AJCI_FACTOR")->SetAsCurrency(Currency{9000});
    ds->SetFilter(filterFor(april)); // stored; filtering is off
    EXPECT_EQ(ds->State(), dsEdit);
    ds->SetFiltered(true);
    EXPECT_EQ(ds->State(), dsBrowse);
    EXPECT_EQ(ds->ChangeCount(), 1) << "the pending change was posted";
    EXPECT_EQ(provider->Calls.back().Count, -1);
    EXPECT_EQ(ds->RecNo(), 1);
    EXPECT_EQ(ds->FieldByName("AJCI_ID")->AsInteger(), 2);
    EXPECT_EQ(ds->RecordCount(), 750);
    ds->SetFilter(filterFor(march));
    EXPECT_EQ(ds->FieldByName("AJCI_ID")->AsInteger(), 1);
    EXPECT_THROW(ds->SetFilter("AJCI_FECINI = 'not a date' and"), EDatabaseError);
    EXPECT_EQ(ds->Filter(), filterFor(march)) << "a filter that does not compile is not taken";
    EXPECT_EQ(ds->RecordCount(), 751);
}

TEST_F(ClientDataSetViewTest, DeletingEveryRowOfAFilteredViewEndsEmptyAtEof) {
    ds->SetFilter(filterFor(april));
    ds->SetFiltered(true);
    ds->Open();
    int deleted = 0;
    while (!ds->Eof()) {
        ds->Delete();
        ++deleted;
    }
    EXPECT_EQ(deleted, 750);
    EXPECT_TRUE(ds->IsEmpty());
    EXPECT_EQ(ds->RecordCount(), 0);
    EXPECT_EQ(ds->ChangeCount(), 750);
    // The editor's build then inserts into the empty view.
    ds->Insert();
    ds->FieldByName("AJCI_ID")->SetAsInteger(0);
    ds->FieldByName("AJCI_FECINI")->SetAsDateTime(april);
    ds->Post();
    EXPECT_EQ(ds->RecordCount(), 1);
    EXPECT_FALSE(ds->Eof());
    ds->SetFiltered(false);
    EXPECT_EQ(ds->RecordCount(), 752);
}

// The closing-adjustment editor's build, as the window runs it: filter on the
// start date, delete the shown rows, then per rate locate it as a currency
// value and edit the found row or insert a new one.
TEST_F(ClientDataSetViewTest, TheEditorsBuildLeavesOneRowPerDistinctRate) {
    TComponent window;
    const TDateTime start = EncodeDate(2016, 3, 1), end = EncodeDate(2016, 3, 31);
    new TPacketProvider(&window, "PAjuste", AdjustmentFields(),
                        {AdjustmentRow(1, start, end, 1900, 9000),
                         AdjustmentRow(2, start, end, 500, 8000),
                         AdjustmentRow(3, EncodeDate(2016, 2, 1), end, 1900, 7000)});
    new TPacketProvider(&window, "Ptarifiva", {DSFieldDesc{"TAIV_PORC", DSType::Bcd, 15, 4}},
                        {Row{Variant(TBcd{1900, 4})}, Row{Variant(TBcd{500, 4})},
                         Row{Variant(TBcd{800, 4})}, Row{Variant(TBcd{8000, 5})}});
    auto* cajuste = new TClientDataSet(&window);
    cajuste->SetProviderName("PAjuste");
    cajuste->SetPacketRecords(1000);
    auto* ctarifas = new TClientDataSet(&window);
    ctarifas->SetProviderName("Ptarifiva");
    ctarifas->SetCommandText("SELECT DISTINCT TAIV_PORC FROM TARIFA_IVA");
    ctarifas->SetPacketRecords(1000);

    cajuste->SetFilter("AJCI_FECINI = " + QuotedStr(DateToStr(start)));
    cajuste->SetFiltered(true);
    cajuste->Open();
    while (!cajuste->Eof())
        cajuste->Delete();
    if (!ctarifas->Active()) ctarifas->Open();
    ctarifas->First();
    while (!ctarifas->Eof()) {
        Currency rate = ctarifas->Fields(0)->AsCurrency();
        if (cajuste->Locate("AJCI_PORC", Variant(rate))) {
            cajuste->Edit();
            cajuste->FieldByName("AJCI_FACTOR")->SetAsCurrency(Currency{8000});
            cajuste->Post();
        } else {
            cajuste->Insert();
            cajuste->FieldByName("AJCI_ID")->SetAsInteger(0);
            cajuste->FieldByName("AJCI_FECINI")->SetAsDateTime(start);
            cajuste->FieldByName("AJCI_FECFIN")->SetAsDateTime(end);
            cajuste->FieldByName("AJCI_PORC")->SetAsCurrency(rate);
            cajuste->FieldByName("AJCI_FACTOR")->SetAsCurrency(Currency{8000});
            cajuste->Post();
        }
        ctarifas->Next();
    }
    cajuste->Last();
    EXPECT_TRUE(cajuste->Eof());
    EXPECT_EQ(cajuste->RecordCount(), 3) << "0.08 and 0.08000 are one rate";
    EXPECT_EQ(cajuste->ChangeCount(), 5) << "two deletions and three insertions";
    std::vector<std::string> shown;
    for (cajuste->First(); !cajuste->Eof(); cajuste->Next())
        shown.push_back(cajuste->FieldByName("AJCI_PORC")->DisplayText() + "/" +
                        cajuste->FieldByName("AJCI_FACTOR")->DisplayText());
    // Each insert goes before the row that was current.
    EXPECT_EQ(shown, (std::vector<std::string>{"0,08/0,8", "0,05/0,8", "0,19/0,8"}));
    EXPECT_EQ(cajuste->ApplyUpdates(0), 0);
    EXPECT_EQ(cajuste->ChangeCount(), 0);
}
