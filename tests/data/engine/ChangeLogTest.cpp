// The change log: the delta's rows, their order and how changes of one row
// fold, accepting and cancelling. Includes the closing-adjustment editor's
// build, whose delta must apply to a table with a unique key.

#include "EngineTestSupport.h"

#include "data/FilterExpr.h"

#include <set>
#include <tuple>

using namespace enginetest;

namespace {

enum { ID, FECINI, FECFIN, PORC, FACTOR };

// One delta row as the values of its fields; unassigned fields stay so.
struct DeltaRow {
    DSRowStatus Status;
    std::vector<Variant> Values;
};

std::vector<DeltaRow> deltaOf(const IDSBase& base) {
    TDSPacketReader delta(base.GetDelta());
    std::vector<DeltaRow> rows;
    for (int r = 0; r < delta.RowCount(); ++r) {
        DeltaRow row{delta.RowStatus(r), {}};
        for (int f = 0; f < delta.Layout().FieldCount(); ++f)
            row.Values.push_back(delta.Layout().GetField(delta.Record(r), f));
        rows.push_back(row);
    }
    return rows;
}

std::vector<Variant> ajuste(int32_t id, TDateTime from, std::optional<TDateTime> to, int64_t porc,
                            int64_t factor) {
    return AjusteValues({id, from, to, porc, factor});
}

class ChangeLogTest : public AjusteViewTest {
public:
    void SetUp() override {
        Load({{1, kMarch, kEnd, 0, 7000},
              {2, kMarch, kEnd, 105000, 7000},
              {3, kMarch, kEnd, 190000, 7000},
              {4, kFeb, kEnd, 0, 8000},
              {5, kFeb, kEnd, 190000, 8000}});
    }
    void Go(int seqNo) { ASSERT_EQ(cursor->MoveToSequenceNumber(seqNo), DBERR_NONE); }
    void Modify(std::vector<std::pair<int, Variant>> changes) {
        cursor->ModifyRecord(Changed(*cursor, changes).data());
    }
    void Insert(const std::vector<Variant>& values) {
        cursor->InsertRecord(MakeRecord(cursor->Layout(), values).data());
    }
};

// F5 of the editor: filter to the start date, delete the shown rows, then for
// each rate locate it (as Locate writes the text) and change its factor or
// insert a new row.
TEST_F(ChangeLogTest, TheEditorsBuildDeletesThenInsertsAndAppliesUnderAUniqueKey) {
    cursor->AddFilter(CompileFilterExpression("AJCI_FECINI = '01/03/2016'", cursor->Layout(), {},
                                              SpanishSettings()));
    cursor->MoveRelative(1);
    std::vector<uint8_t> record(cursor->Layout().RecordSize());
    while (cursor->GetCurrentRecord(record.data()) == DBERR_NONE)
        cursor->DeleteRecord();

    // 19 comes twice (rates equal to four decimals): the second finds the
    // row built for the first and only sets its factor again.
    const int64_t rates[] = {0, 190000, 120000, 190000};
    for (int64_t rate : rates) {
        std::string text = "[AJCI_PORC]=" + BcdToStr(TBcd{rate, 4}, ',');
        if (cursor->Locate(
                *CompileFilterExpression(text, cursor->Layout(), {}, SpanishSettings()))) {
            Modify({{FACTOR, Variant(Dec(8000))}});
        } else {
            Insert(ajuste(0, kMarch, EncodeDate(2016, 3, 15), rate, 8000));
        }
    }
    EXPECT_EQ(cursor->GetRecordCount(), 3);
    EXPECT_EQ(base->GetChangeCount(), 6);

    std::vector<DeltaRow> delta = deltaOf(*base);
    ASSERT_EQ(delta.size(), 6u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(delta[i].Status, dsRecDeleted);
        EXPECT_EQ(delta[i].Values[ID].Get<int32_t>(), i + 1);
        EXPECT_TRUE(delta[i].Values[FACTOR] == Variant(Dec(7000))) << "values as loaded";
    }
    const int64_t inserted[] = {0, 190000, 120000};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(delta[3 + i].Status, dsRecInserted);
        EXPECT_TRUE(delta[3 + i].Values[PORC] == Variant(Dec(inserted[i])));
        EXPECT_TRUE(delta[3 + i].Values[FACTOR] == Variant(Dec(8000)));
        EXPECT_TRUE(delta[3 + i].Values[FECFIN] == Variant(EncodeDate(2016, 3, 15)));
    }

    // Applied in the delta's order to a table keyed on (start date, rate).
    std::set<std::tuple<double, int64_t>> keys;
    for (const std::vector<Variant>& r :
         {ajuste(1, kMarch, kEnd, 0, 0), ajuste(2, kMarch, kEnd, 105000, 0),
          ajuste(3, kMarch, kEnd, 190000, 0), ajuste(4, kFeb, kEnd, 0, 0),
          ajuste(5, kFeb, kEnd, 190000, 0)})
        keys.insert({r[FECINI].Get<TDateTime>().Val(), r[PORC].Get<TBcd>().Value});
    for (const DeltaRow& r : delta) {
        auto key = std::make_tuple(r.Values[FECINI].Get<TDateTime>().Val(),
                                   r.Values[PORC].Get<TBcd>().Value);
        if (r.Status == dsRecDeleted)
            EXPECT_EQ(keys.erase(key), 1u);
        else
            EXPECT_TRUE(keys.insert(key).second) << "key violation";
    }
}

TEST_F(ChangeLogTest, AModificationIsTheLoadedRowThenOnlyTheChangedFields) {
    Go(2);
    Modify({{FACTOR, Variant(Dec(9000))}, {FECFIN, Variant(Null{})}});
    Modify({{PORC, Variant(Dec(110000))}});
    Modify({{PORC, Variant(Dec(105000))}}); // back to its loaded value
    EXPECT_EQ(base->GetChangeCount(), 1);
    std::vector<DeltaRow> delta = deltaOf(*base);
    ASSERT_EQ(delta.size(), 2u);
    EXPECT_EQ(delta[0].Status, dsRecUnmodified);
    EXPECT_TRUE(delta[0].Values == ajuste(2, kMarch, kEnd, 105000, 7000));
    EXPECT_EQ(delta[1].Status, dsRecModified);
    EXPECT_TRUE(delta[1].Values[ID].IsUnassigned());
    EXPECT_TRUE(delta[1].Values[FECINI].IsUnassigned());
    EXPECT_TRUE(delta[1].Values[FECFIN].IsNull()) << "null is a change, unlike unassigned";
    EXPECT_TRUE(delta[1].Values[PORC].IsUnassigned());
    EXPECT_TRUE(delta[1].Values[FACTOR] == Variant(Dec(9000)));
}

TEST_F(ChangeLogTest, ChangesOfOneRowFold) {
    struct Case {
        const char* Name;
        std::function<void(ChangeLogTest&)> Changes;
        std::vector<DSRowStatus> Statuses;
        std::vector<int32_t> Ids; // of each delta row
    };
    const Case cases[] = {
        {"insert then edit is one insert with the last values",
         [](ChangeLogTest& t) {
             t.cursor->MoveToEOF();
             t.Insert(ajuste(9, kMarch, kEnd, 0, 8000));
             t.Modify({{ID, Variant(int32_t{10})}});
             t.Modify({{FACTOR, Variant(Dec(1))}});
         },
         {dsRecInserted},
         {10}},
        {"insert then delete is nothing",
         [](ChangeLogTest& t) {
             t.cursor->MoveToEOF();
             t.Insert(ajuste(9, kMarch, kEnd, 0, 8000));
             t.cursor->DeleteRecord();
         },
         {},
         {}},
        {"modify then delete is a delete with the loaded values",
         [](ChangeLogTest& t) {
             t.Go(3);
             t.Modify({{ID, Variant(int32_t{33})}});
             t.cursor->DeleteRecord();
         },
         {dsRecDeleted},
         {3}},
        {"changes are listed in the order they were first made",
         [](ChangeLogTest& t) {
             t.Go(4);
             t.Modify({{FACTOR, Variant(Dec(1))}});
             t.Go(1);
             t.cursor->DeleteRecord();
             t.Go(2); // row 3
             t.Modify({{FACTOR, Variant(Dec(2))}});
             t.cursor->MoveToBOF();
             t.Insert(ajuste(7, kMarch, kEnd, 0, 8000));
             t.cursor->MoveToSequenceNumber(4); // row 4 again
             t.Modify({{FACTOR, Variant(Dec(3))}});
         },
         {dsRecUnmodified, dsRecModified, dsRecDeleted, dsRecUnmodified, dsRecModified,
          dsRecInserted},
         {4, -2, 1, 3, -2, 7}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        base = CreateDSBase();
        SetUp();
        c.Changes(*this);
        std::vector<DeltaRow> delta = deltaOf(*base);
        std::vector<DSRowStatus> statuses;
        std::vector<int32_t> ids;
        for (const DeltaRow& r : delta) {
            statuses.push_back(r.Status);
            ids.push_back(r.Values[ID].IsUnassigned() ? -2 : r.Values[ID].Get<int32_t>());
        }
        EXPECT_EQ(statuses, c.Statuses);
        EXPECT_EQ(ids, c.Ids);
        int changes = 0;
        for (DSRowStatus s : statuses)
            changes += s != dsRecUnmodified;
        EXPECT_EQ(base->GetChangeCount(), changes);
    }
}

TEST_F(ChangeLogTest, TheDeltaCarriesThePacketAttributes) {
    Go(1);
    cursor->DeleteRecord();
    TDSPacketReader delta(base->GetDelta());
    ASSERT_NE(delta.Attribute("TABLE_NAME"), nullptr);
    EXPECT_EQ(delta.Attribute("TABLE_NAME")->Get<std::string>(), "AJUSTE_CIERRE");
    EXPECT_EQ(delta.Layout().Fields()[PORC].Size, 15);
    EXPECT_EQ(delta.Layout().Fields()[PORC].Scale, 4);
}

TEST_F(ChangeLogTest, AcceptMakesTheCurrentStateTheLoadedOne) {
    Go(1);
    cursor->DeleteRecord();
    Go(1); // row 2
    Modify({{FACTOR, Variant(Dec(9000))}});
    cursor->MoveToEOF();
    Insert(ajuste(6, kMarch, kEnd, 0, 8000));
    base->AcceptChanges();
    EXPECT_EQ(base->GetChangeCount(), 0);
    EXPECT_EQ(TDSPacketReader(base->GetDelta()).RowCount(), 0);
    EXPECT_EQ(Ids(*cursor), (std::vector<int32_t>{2, 3, 4, 5, 6}));
    for (int k = 1; k <= 5; ++k) {
        Go(k);
        EXPECT_EQ(cursor->GetRecordStatus(), dsRecUnmodified);
    }
    // A later change starts from the accepted values.
    Go(1);
    Modify({{FACTOR, Variant(Dec(1))}});
    std::vector<DeltaRow> delta = deltaOf(*base);
    ASSERT_EQ(delta.size(), 2u);
    EXPECT_TRUE(delta[0].Values[FACTOR] == Variant(Dec(9000)));
    // Cancel goes back to the accepted state only.
    base->CancelChanges();
    EXPECT_TRUE(Current(*cursor, FACTOR) == Variant(Dec(9000)));
}

TEST_F(ChangeLogTest, CancelUndoesEverythingInPlace) {
    Go(2);
    Modify({{FACTOR, Variant(Dec(9000))}});
    Modify({{ID, Variant(int32_t{22})}});
    Go(1);
    cursor->DeleteRecord();
    Insert(ajuste(8, kMarch, kEnd, 0, 8000)); // before row 22 (was 2)
    Go(4);
    cursor->DeleteRecord();
    EXPECT_EQ(Ids(*cursor), (std::vector<int32_t>{8, 22, 3, 5}));
    base->CancelChanges();
    EXPECT_EQ(base->GetChangeCount(), 0);
    EXPECT_EQ(Ids(*cursor), (std::vector<int32_t>{1, 2, 3, 4, 5}));
    Go(2);
    EXPECT_TRUE(Current(*cursor, FACTOR) == Variant(Dec(7000)));
    EXPECT_EQ(cursor->GetRecordStatus(), dsRecUnmodified);
    EXPECT_EQ(TDSPacketReader(base->GetDelta()).RowCount(), 0);
}

} // namespace
