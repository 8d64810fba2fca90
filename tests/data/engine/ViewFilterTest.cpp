// Filters on a view: the period filter of the adjustment editor through the
// compiler, rows changed or inserted later, deleted rows, and Locate.

#include "EngineTestSupport.h"

#include "data/FilterExpr.h"
#include "data/engine/TDSCursor.h"
#include "platform/SysUtils.h"

#include <algorithm>

using namespace enginetest;

namespace {

enum { ID, FECINI, FECFIN, PORC, FACTOR };

class ViewFilterTest : public AjusteViewTest {
protected:
    void SetUp() override {
        Load({{1, kFeb, kEnd, 0, 8000},
              {2, kMarch, kEnd, 0, 8000},
              {3, kFeb, kEnd, 190000, 8000},
              {4, kMarch, kEnd, 105000, 8000},
              {5, kMarch, std::nullopt, 190000, 8000},
              {6, kFeb, std::nullopt, 105000, 8000}});
    }

    int Filter(const std::string& text) {
        return cursor->AddFilter(
            CompileFilterExpression(text, cursor->Layout(), {}, SpanishSettings()));
    }
    bool Locate(const std::string& text) {
        return cursor->Locate(
            *CompileFilterExpression(text, cursor->Layout(), {}, SpanishSettings()));
    }
    int CurrentId() {
        Variant v = Current(*cursor, ID);
        return v.GetIf<int32_t>() ? v.Get<int32_t>() : -1;
    }
    bool Consistent() { return dynamic_cast<TDSCursor&>(*cursor).CheckConsistency(); }
};

TEST_F(ViewFilterTest, ThePeriodFilterShowsTheRowsOfItsStartDate) {
    Filter("AJCI_FECINI = " + QuotedStr(DateToStr(kMarch, SpanishSettings())));
    EXPECT_EQ(Ids(*cursor), (std::vector<int32_t>{2, 4, 5}));
    EXPECT_EQ(cursor->GetRecordCount(), 3);
    // Adding a filter leaves the cursor before the first row.
    cursor->AddFilter(nullptr);
    EXPECT_EQ(cursor->GetSequenceNumber(), 0);
    EXPECT_EQ(cursor->MoveRelative(1), DBERR_NONE);
    EXPECT_EQ(CurrentId(), 2);
}

TEST_F(ViewFilterTest, FiltersApplyTogetherAndDropSeparately) {
    int period = Filter("AJCI_FECINI = '01/03/2016'");
    int rate = Filter("AJCI_PORC > 0");
    EXPECT_EQ(Ids(*cursor), (std::vector<int32_t>{4, 5}));
    cursor->DropFilter(period);
    EXPECT_EQ(Ids(*cursor), (std::vector<int32_t>{3, 4, 5, 6}));
    cursor->DropFilter(rate);
    EXPECT_EQ(cursor->GetRecordCount(), 6);
    EXPECT_EQ(EngineErrorOf([&] { cursor->DropFilter(rate); }), DBERR_INVALIDPARAM);
}

TEST_F(ViewFilterTest, ARowChangedOutOfTheFilterLeavesTheViewAndTheCursorGoesOn) {
    Filter("AJCI_FECINI = '01/03/2016'");
    cursor->MoveToSequenceNumber(2); // row 4
    cursor->ModifyRecord(Changed(*cursor, {{FECINI, Variant(kFeb)}}).data());
    EXPECT_EQ(CurrentId(), 5);
    EXPECT_EQ(cursor->GetSequenceNumber(), 2);
    EXPECT_EQ(Ids(*cursor), (std::vector<int32_t>{2, 5}));
    // A change that keeps the row in the view keeps the cursor on it.
    cursor->MoveToSequenceNumber(1);
    cursor->ModifyRecord(Changed(*cursor, {{FACTOR, Variant(Dec(9000))}}).data());
    EXPECT_EQ(CurrentId(), 2);
    // The last row leaving the view puts the cursor on EOF.
    cursor->MoveToSequenceNumber(2);
    cursor->ModifyRecord(Changed(*cursor, {{FECINI, Variant(kFeb)}}).data());
    EXPECT_EQ(cursor->GetBookmark(), 0u);
    EXPECT_EQ(cursor->MoveRelative(0), DBERR_EOF);
    EXPECT_EQ(Ids(*cursor), (std::vector<int32_t>{2}));
    EXPECT_TRUE(Consistent());
    EXPECT_EQ(base->GetChangeCount(), 3);
}

TEST_F(ViewFilterTest, InsertedRowsAreTestedToo) {
    Filter("AJCI_FECINI = '01/03/2016'");
    cursor->MoveToSequenceNumber(2); // row 4
    std::vector<uint8_t> outside =
        MakeRecord(cursor->Layout(), AjusteValues({7, kFeb, kEnd, 0, 8000}));
    cursor->InsertRecord(outside.data());
    EXPECT_EQ(CurrentId(), 4) << "a row the filter hides does not become current";
    std::vector<uint8_t> inside =
        MakeRecord(cursor->Layout(), AjusteValues({8, kMarch, kEnd, 210000, 8000}));
    cursor->InsertRecord(inside.data());
    EXPECT_EQ(CurrentId(), 8);
    EXPECT_EQ(cursor->GetSequenceNumber(), 2);
    EXPECT_EQ(Ids(*cursor), (std::vector<int32_t>{2, 8, 4, 5}));
    EXPECT_EQ(base->GetChangeCount(), 2);
    // A row changed into the filter shows up in its place.
    cursor->AddFilter(nullptr);
    EXPECT_EQ(Ids(*cursor), (std::vector<int32_t>{2, 8, 4, 5}));
    EXPECT_TRUE(Consistent());
}

TEST_F(ViewFilterTest, ARowChangedIntoTheFilterShowsUpInItsPlace) {
    auto other = base->CreateCursor();
    int handle = Filter("AJCI_FECINI = '01/03/2016'");
    other->MoveToSequenceNumber(3); // row 3, February
    other->ModifyRecord(Changed(*other, {{FECINI, Variant(kMarch)}}).data());
    EXPECT_EQ(Ids(*cursor), (std::vector<int32_t>{2, 3, 4, 5}));
    cursor->DropFilter(handle);
    EXPECT_EQ(cursor->GetRecordCount(), 6);
}

TEST_F(ViewFilterTest, DeletedRowsAreNeverShown) {
    cursor->MoveToSequenceNumber(2);
    cursor->DeleteRecord();
    int handle = Filter("AJCI_FECINI = '01/03/2016'");
    EXPECT_EQ(Ids(*cursor), (std::vector<int32_t>{4, 5}));
    cursor->DropFilter(handle);
    EXPECT_EQ(Ids(*cursor), (std::vector<int32_t>{1, 3, 4, 5, 6}));
    Filter("AJCI_ID = 2");
    EXPECT_EQ(cursor->GetRecordCount(), 0);
}

TEST_F(ViewFilterTest, DeletingEveryRowOfAFilteredViewEndsOnEofWithAnEmptyView) {
    Filter("AJCI_FECINI = '01/03/2016'");
    cursor->MoveRelative(1);
    std::vector<uint8_t> record(cursor->Layout().RecordSize());
    int deleted = 0;
    while (cursor->GetCurrentRecord(record.data()) == DBERR_NONE) {
        cursor->DeleteRecord();
        ++deleted;
    }
    EXPECT_EQ(deleted, 3);
    EXPECT_EQ(cursor->MoveRelative(0), DBERR_EOF);
    EXPECT_EQ(cursor->GetRecordCount(), 0);
    EXPECT_EQ(cursor->MoveRelative(-1), DBERR_BOF);
    EXPECT_EQ(cursor->MoveRelative(1), DBERR_EOF);
    EXPECT_EQ(base->GetChangeCount(), 3);
    EXPECT_TRUE(Consistent());
}

TEST_F(ViewFilterTest, LocateSearchesTheViewFromItsFirstRow) {
    Filter("AJCI_FECINI = '01/03/2016'");
    cursor->MoveToEOF();
    EXPECT_TRUE(Locate("[AJCI_PORC]=19,0000"));
    EXPECT_EQ(CurrentId(), 5) << "row 3 has the rate too, but the filter hides it";
    EXPECT_TRUE(Locate("[AJCI_PORC]=0,0000"));
    EXPECT_EQ(CurrentId(), 2);
    EXPECT_TRUE(Locate("[AJCI_FECFIN] IS NULL"));
    EXPECT_EQ(CurrentId(), 5);
    // No match: no move.
    EXPECT_FALSE(Locate("[AJCI_PORC]=21,0000"));
    EXPECT_EQ(CurrentId(), 5);
    EXPECT_FALSE(Locate("[AJCI_ID]=1"));
    // Deleted rows are not found.
    cursor->DeleteRecord();
    EXPECT_FALSE(Locate("[AJCI_PORC]=19,0000"));
    EXPECT_TRUE(Locate("[AJCI_PORC]=10,5000 and [AJCI_FECFIN]='31/03/2016'"));
    EXPECT_EQ(CurrentId(), 4);
}

// Filters and Locate test the rows of a view a block at a time; a view of
// many blocks, some split by inserts (so that a block's row ids are not in
// sequence), with deleted rows and nulls, must come out exactly as the rows
// tested one by one.
TEST(ViewFilterBlocksTest, ManyBlocksSplitByInsertsFilterAndLocateAsRowByRow) {
    const int kRows = 5000;
    std::vector<AjusteRow> rows;
    auto rowOf = [&](int id) {
        return AjusteRow{id, id % 3 ? kMarch : kFeb,
                         id % 5 ? std::optional<TDateTime>(kEnd) : std::nullopt,
                         int64_t(id % 7) * 10000, 8000};
    };
    for (int id = 1; id <= kRows; ++id)
        rows.push_back(rowOf(id));
    auto base = CreateDSBase();
    base->AppendData(AjustePacket(rows), true);
    auto cursor = base->CreateCursor();
    // Inserts at spread places split full blocks; every 11th row is deleted.
    std::vector<int32_t> order;
    for (int id = 1; id <= kRows; ++id)
        order.push_back(id);
    for (int k = 0; k < 300; ++k) {
        int at = 1 + (k * 977) % static_cast<int>(order.size());
        int id = kRows + 1 + k;
        cursor->MoveToSequenceNumber(at);
        cursor->InsertRecord(MakeRecord(cursor->Layout(), AjusteValues(rowOf(id))).data());
        order.insert(order.begin() + (at - 1), id);
    }
    for (size_t i = 0; i < order.size(); i += 11) {
        cursor->MoveToSequenceNumber(static_cast<int>(i + 1 - i / 11));
        cursor->DeleteRecord();
    }
    std::vector<int32_t> alive;
    for (size_t i = 0; i < order.size(); ++i)
        if (i % 11) alive.push_back(order[i]);
    ASSERT_EQ(Ids(*cursor), alive);

    auto compile = [&](const std::string& text) {
        return CompileFilterExpression(text, cursor->Layout(), {}, SpanishSettings());
    };
    auto expected = [&](auto pass) {
        std::vector<int32_t> ids;
        for (int32_t id : alive)
            if (pass(rowOf(id))) ids.push_back(id);
        return ids;
    };
    // Two filters at once: the first narrows the rows of each block down
    // (its comparison with a null end date is unknown, which is no match),
    // the second one's matches make the view.
    cursor->AddFilter(compile("AJCI_FECFIN = '31/03/2016'"));
    int second = cursor->AddFilter(compile("AJCI_FECINI = '01/03/2016' and AJCI_PORC >= 3"));
    std::vector<int32_t> shown = expected(
        [](const AjusteRow& r) { return r.From == kMarch && r.Porc >= 30000 && r.To.has_value(); });
    EXPECT_EQ(Ids(*cursor), shown);
    EXPECT_EQ(cursor->GetRecordCount(), static_cast<int>(shown.size()));
    EXPECT_TRUE(dynamic_cast<TDSCursor&>(*cursor).CheckConsistency());

    // Locate finds the view's first match, never a row the filters hide.
    for (int porc : {3, 4, 6}) {
        SCOPED_TRACE(porc);
        auto first = std::find_if(shown.begin(), shown.end(),
                                  [&](int32_t id) { return rowOf(id).Porc == porc * 10000; });
        ASSERT_NE(first, shown.end());
        cursor->MoveToEOF();
        EXPECT_TRUE(cursor->Locate(*compile("[AJCI_PORC]=" + std::to_string(porc))));
        EXPECT_EQ(Current(*cursor, ID).Get<int32_t>(), *first);
    }
    EXPECT_FALSE(cursor->Locate(*compile("[AJCI_PORC]=1")));

    cursor->DropFilter(second);
    EXPECT_EQ(Ids(*cursor), expected([](const AjusteRow& r) { return r.To.has_value(); }));
    EXPECT_TRUE(dynamic_cast<TDSCursor&>(*cursor).CheckConsistency());
}

} // namespace
