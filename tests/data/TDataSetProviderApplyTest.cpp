// A dataset provider applying deltas built here row by row, called as the
// client's adapter calls it: the error packet, the provider's options and
// events, the table name, and the transaction it owns.

#include "TSQLDataSetFixtures.h"

#include "data/TField.h"

#include <gtest/gtest.h>

using namespace sqlfixtures;

namespace {

class ProviderApply : public AdjustmentChainTest {
protected:
    void SetUp() override {
        AdjustmentChainTest::SetUp();
        // The fields and attributes of the provider's own packets.
        int recsOut = 0;
        TParams params;
        Variant ownerData;
        TDSPacketReader packet(
            Chain->Provider->GetRecords(-1, recsOut, grMetaData, "", params, ownerData));
        Fields = packet.Layout().Fields();
        Attributes = packet.Attributes();
        Layout = TDSRecordLayout(Fields);
    }

    std::vector<uint8_t> row(int id, int fromDay, const Variant& factor,
                             DSFieldStatus others = DSFieldStatus::Null) {
        std::vector<uint8_t> r(Layout.RecordSize());
        Layout.InitRecord(r.data(), others);
        Layout.PutField(r.data(), 0, int32_t{id});
        Layout.PutField(r.data(), 1, EncodeDate(2016, 3, fromDay));
        Layout.PutField(r.data(), 2, EncodeDate(2016, 3, 31));
        Layout.PutField(r.data(), 3, TBcd{19, 0});
        Layout.PutField(r.data(), 4, factor);
        return r;
    }
    // The loaded row 1 or 3 of SetUp.
    std::vector<uint8_t> loaded(int id) {
        std::vector<uint8_t> r = row(id, 1, TBcd{8, 1});
        if (id == 3) {
            Layout.PutField(r.data(), 1, EncodeDate(2016, 4, 1));
            Layout.PutField(r.data(), 2, EncodeDate(2016, 4, 30));
        }
        return r;
    }
    std::vector<uint8_t> change(int field, const Variant& value) {
        std::vector<uint8_t> r(Layout.RecordSize());
        Layout.InitRecord(r.data(), DSFieldStatus::Unassigned);
        Layout.PutField(r.data(), field, value);
        return r;
    }

    struct DeltaRow {
        std::vector<uint8_t> Record;
        DSRowStatus Status;
    };
    std::vector<uint8_t> delta(const std::vector<DeltaRow>& rows, bool withAttributes = true) {
        auto w = CreateDSWriter();
        w->Init(Fields, withAttributes ? Attributes : std::vector<DSAttribute>{});
        for (const DeltaRow& r : rows)
            w->AddRecord(r.Record.data(), r.Status);
        return w->GetDataPacket();
    }
    std::optional<std::vector<uint8_t>> apply(const std::vector<uint8_t>& d, int maxErrors,
                                              int& errorCount) {
        Variant ownerData;
        return Chain->Provider->ApplyUpdates(d, maxErrors, errorCount, ownerData);
    }
    std::vector<std::string> messages() const { return Messages; }
    void noteErrors(TResolverResponse answer) {
        Chain->Provider->OnUpdateError = [this, answer](TObject*, TClientDataSet*, EUpdateError& e,
                                                        TUpdateKind, TResolverResponse& response) {
            Messages.push_back(e.Message);
            response = answer;
        };
    }
    size_t statementsBefore() const { return Chain->Table->Log.Executed.size(); }

    std::vector<DSFieldDesc> Fields;
    std::vector<DSAttribute> Attributes;
    TDSRecordLayout Layout;
    std::vector<std::string> Messages;
};

struct ErrorRowText {
    int RecordNo, Response;
    std::string Message, Context;
    int Category, Code;
    friend bool operator==(const ErrorRowText&, const ErrorRowText&) = default;
    friend std::ostream& operator<<(std::ostream& os, const ErrorRowText& e) {
        return os << e.RecordNo << "/" << e.Response << "/" << e.Message << "/" << e.Context << "/"
                  << e.Category << "/" << e.Code;
    }
};

std::vector<ErrorRowText> errorRows(const std::vector<uint8_t>& packet) {
    TDSPacketReader r(packet);
    const TDSRecordLayout& l = r.Layout();
    EXPECT_EQ(l.Fields()[0].Name, "ERROR_RECORDNO");
    std::vector<ErrorRowText> rows;
    for (int i = 0; i < r.RowCount(); ++i) {
        const uint8_t* rec = r.Record(i);
        rows.push_back({l.GetField(rec, 0).Get<int32_t>(), l.GetField(rec, 1).Get<int32_t>(),
                        l.GetField(rec, 2).Get<std::string>(),
                        l.GetField(rec, 3).IsNull() ? "" : l.GetField(rec, 3).Get<std::string>(),
                        l.GetField(rec, 4).Get<int32_t>(), l.GetField(rec, 5).Get<int32_t>()});
    }
    return rows;
}

} // namespace

TEST_F(ProviderApply, TheErrorPacketHoldsOneRowPerRefusedChange) {
    std::vector<uint8_t> d = delta({
        {row(1, 1, TBcd{8, 1}), dsRecInserted},   // key taken
        {loaded(3), dsRecDeleted},                // fine
        {row(2, 1, TBcd{8, 1}), dsRecUnmodified}, // not as loaded
        {change(4, TBcd{9, 1}), dsRecModified},
    });
    int errorCount = -1;
    std::optional<std::vector<uint8_t>> result = apply(d, -1, errorCount);
    EXPECT_EQ(errorCount, 2);
    ASSERT_TRUE(result);
    std::vector<ErrorRowText> rows = errorRows(*result);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].RecordNo, 1);
    EXPECT_EQ(rows[0].Response, rrSkip + 1);
    EXPECT_EQ(rows[0].Message.substr(18, 20), "violation of PRIMARY");
    EXPECT_EQ(rows[1], (ErrorRowText{4, rrSkip + 1, "Record not found or changed by another user",
                                     "", 1, 1}));
    EXPECT_EQ(AdjustmentRows(*Chain->Connection),
              (std::vector<std::string>(Before.begin(), Before.begin() + 2)));

    // Nothing refused: no packet at all.
    result = apply(delta({{loaded(1), dsRecDeleted}}), 0, errorCount);
    EXPECT_FALSE(result);
    EXPECT_EQ(errorCount, 0);
}

TEST_F(ProviderApply, WhenTheApplyIsRolledBackEveryChangeIsNamed) {
    // With no error allowed the first refusal rolls back what came before
    // it, and the client must keep those changes too.
    std::vector<uint8_t> d = delta({
        {loaded(3), dsRecDeleted},
        {row(1, 1, TBcd{8, 1}), dsRecInserted},
        {row(7, 1, TBcd{8, 1}), dsRecInserted},
    });
    int errorCount = -1;
    std::optional<std::vector<uint8_t>> result = apply(d, 0, errorCount);
    EXPECT_EQ(errorCount, 1);
    ASSERT_TRUE(result);
    std::vector<ErrorRowText> rows = errorRows(*result);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0], (ErrorRowText{1, rrSkip + 1,
                                     "Not written: the transaction of this apply was rolled back",
                                     "", 1, 1}));
    EXPECT_EQ(rows[1].RecordNo, 2);
    EXPECT_EQ(rows[1].Response, rrAbort + 1);
    EXPECT_EQ(rows[2],
              (ErrorRowText{3, rrSkip + 1, "Not written: an earlier change stopped the apply", "",
                            1, 1}));
    EXPECT_EQ(AdjustmentRows(*Chain->Connection), Before);
}

TEST_F(ProviderApply, AModificationThatChangesNothingSendsNothingAndCountsAsWritten) {
    size_t before = statementsBefore();
    std::vector<uint8_t> nothing(Layout.RecordSize());
    Layout.InitRecord(nothing.data(), DSFieldStatus::Unassigned);
    int errorCount = -1;
    EXPECT_FALSE(
        apply(delta({{loaded(1), dsRecUnmodified}, {nothing, dsRecModified}}), 0, errorCount));
    EXPECT_EQ(errorCount, 0);
    EXPECT_EQ(statementsBefore(), before);
    EXPECT_EQ(AdjustmentRows(*Chain->Connection), Before);
}

TEST_F(ProviderApply, OptionsRefuseKindsOfChangeThroughTheErrorEvent) {
    struct Case {
        TProviderOption Option;
        DSRowStatus Kind;
        const char* Message;
    };
    const Case cases[] = {
        {poDisableEdits, dsRecModified, "Modifications are not allowed"},
        {poDisableInserts, dsRecInserted, "Inserts are not allowed"},
        {poDisableDeletes, dsRecDeleted, "Deletes are not allowed"},
    };
    noteErrors(rrSkip);
    for (const Case& c : cases) {
        Messages.clear();
        Chain->Provider->SetOptions({c.Option});
        std::vector<DeltaRow> rows;
        if (c.Kind == dsRecModified)
            rows = {{loaded(1), dsRecUnmodified}, {change(4, TBcd{9, 1}), dsRecModified}};
        else if (c.Kind == dsRecInserted)
            rows = {{row(8, 1, TBcd{8, 1}), dsRecInserted}};
        else
            rows = {{loaded(1), dsRecDeleted}};
        size_t before = statementsBefore();
        int errorCount = 0;
        EXPECT_TRUE(apply(delta(rows), -1, errorCount));
        EXPECT_EQ(errorCount, 1);
        EXPECT_EQ(messages(), std::vector<std::string>{c.Message});
        EXPECT_EQ(statementsBefore(), before);
    }
    EXPECT_EQ(AdjustmentRows(*Chain->Connection), Before);

    Chain->Provider->SetOptions({poReadOnly});
    int errorCount = 0;
    try {
        apply(delta({{loaded(1), dsRecDeleted}}), -1, errorCount);
        ADD_FAILURE() << "a read-only provider applied";
    } catch (const EDatabaseError& e) {
        EXPECT_EQ(e.Message, "Cannot apply updates to a ReadOnly provider");
    }
    EXPECT_FALSE(Chain->Connection->InTransaction());
}

TEST_F(ProviderApply, TheTableNameComesFromThePacketTheDatasetOrTheEvent) {
    auto* query = new TRecordingSQLQuery(Chain->Owner.get());
    query->SetSQLConnection(Chain->Connection);
    query->SetCommandText(
        "select * from AJUSTE_CIERRE a join TARIFA_IVA t on t.TAIV_PORC = a.AJCI_PORC");
    Chain->Provider->SetDataSet(query);
    noteErrors(rrSkip);
    int errorCount = 0;
    apply(delta({{loaded(1), dsRecDeleted}}, false), -1, errorCount);
    EXPECT_EQ(messages(),
              std::vector<std::string>{"Unable to resolve records.  Table name not found."});

    // The packet's attribute names it.
    Messages.clear();
    EXPECT_FALSE(apply(delta({{loaded(1), dsRecDeleted}}), -1, errorCount));
    EXPECT_TRUE(messages().empty());

    // OnGetTableName has the last word.
    std::string seen = "?";
    Chain->Provider->OnGetTableName = [&](TObject*, TDataSet* ds, std::string& name) {
        EXPECT_EQ(ds, query);
        seen = name;
        name = "AJUSTE_CIERRE";
    };
    EXPECT_FALSE(apply(delta({{loaded(3), dsRecDeleted}}, false), -1, errorCount));
    EXPECT_EQ(seen, "");
    EXPECT_EQ(AdjustmentRows(*Chain->Connection),
              std::vector<std::string>{"2|2016-03-01|null|5|0.8"});
}

TEST_F(ProviderApply, EventsAlongTheWayAreCalledInOrder) {
    std::vector<std::string> calls;
    Chain->Provider->BeforeApplyUpdates = [&](TObject*, Variant& ownerData) {
        calls.push_back("BeforeApplyUpdates " + ownerData.Get<std::string>());
        ownerData = Variant("back");
    };
    Chain->Provider->OnUpdateData = [&](TObject*, TClientDataSet* ds) {
        calls.push_back("OnUpdateData " + std::to_string(ds->RecordCount()));
        EXPECT_TRUE(Chain->Connection->InTransaction());
    };
    Chain->Provider->BeforeUpdateRecord = [&](TObject*, TDataSet* source, TClientDataSet* ds,
                                              TUpdateKind kind, bool& applied) {
        EXPECT_EQ(source, Chain->Table);
        int id = ds->FieldByName("AJCI_ID")->AsInteger();
        calls.push_back("BeforeUpdateRecord " + std::to_string(kind) + " " + std::to_string(id));
        applied = id == 3; // the handler writes this one itself
    };
    Chain->Provider->AfterUpdateRecord = [&](TObject*, TDataSet*, TClientDataSet* ds,
                                             TUpdateKind kind) {
        calls.push_back("AfterUpdateRecord " + std::to_string(kind) + " " +
                        ds->FieldByName("AJCI_FACTOR")->AsString());
    };
    Chain->Provider->AfterApplyUpdates = [&](TObject*, Variant& ownerData) {
        calls.push_back("AfterApplyUpdates " + ownerData.Get<std::string>());
        EXPECT_FALSE(Chain->Connection->InTransaction());
    };
    FormatSettings = DefaultFormatSettings();
    Variant ownerData("there");
    int errorCount = 0;
    EXPECT_FALSE(Chain->Provider->ApplyUpdates(delta({{loaded(1), dsRecUnmodified},
                                                      {change(4, TBcd{9, 1}), dsRecModified},
                                                      {loaded(3), dsRecDeleted}}),
                                               0, errorCount, ownerData));
    EXPECT_EQ(calls, (std::vector<std::string>{"BeforeApplyUpdates there", "OnUpdateData 2",
                                               "BeforeUpdateRecord 0 1", "AfterUpdateRecord 0 0,9",
                                               "BeforeUpdateRecord 2 3", "AfterUpdateRecord 2 0,8",
                                               "AfterApplyUpdates back"}));
    // Row 3 was left to the handler, which did not delete it.
    EXPECT_EQ(AdjustmentRows(*Chain->Connection),
              (std::vector<std::string>{"1|2016-03-01|2016-03-31|19|0.9", Before[1], Before[2]}));
}

TEST_F(ProviderApply, ValuesWrittenByOnUpdateDataAreApplied) {
    Chain->Provider->OnUpdateData = [](TObject*, TClientDataSet* ds) {
        ds->First();
        ds->Edit();
        ds->FieldByName("AJCI_FACTOR")->SetAsCurrency(Currency{5000});
        ds->Post();
    };
    int errorCount = 0;
    EXPECT_FALSE(apply(delta({{row(0, 5, TBcd{8, 1}), dsRecInserted}}), 0, errorCount));
    EXPECT_EQ(AdjustmentRows(*Chain->Connection).back(), "4|2016-03-05|2016-03-31|19|0.5");
}

TEST_F(ProviderApply, AnInvalidDeltaLeavesTheDatabaseAndTheTransactionAlone) {
    int errorCount = 0;
    for (const std::vector<uint8_t>& bad :
         {std::vector<uint8_t>(10, 0), delta({{change(4, TBcd{9, 1}), dsRecModified}})}) {
        try {
            apply(bad, 0, errorCount);
            ADD_FAILURE() << "applied an invalid delta";
        } catch (const EDBClient& e) {
            EXPECT_EQ(e.Message, "Invalid data packet");
        }
        EXPECT_FALSE(Chain->Connection->InTransaction());
    }
    EXPECT_EQ(AdjustmentRows(*Chain->Connection), Before);
}
