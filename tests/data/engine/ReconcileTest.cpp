// Reconciling the change log with a provider's error packet.

#include "EngineTestSupport.h"

#include <map>

using namespace enginetest;

namespace {

enum { ID, FECINI, FECFIN, PORC, FACTOR };

struct Call {
    DSReconcileError Error;
    std::vector<Variant> Delta, Old;
};

class ReconcileTest : public AjusteViewTest {
protected:
    // Deletes row 1, changes row 2's factor, inserts rows 6 and 7; the delta
    // is then: 1 delete, 2 old row 2, 3 changed row 2, 4 insert 6, 5 insert 7.
    void SetUp() override {
        Load({{1, kMarch, kEnd, 0, 7000},
              {2, kMarch, kEnd, 105000, 7000},
              {3, kMarch, kEnd, 190000, 7000}});
        cursor->MoveToSequenceNumber(1);
        cursor->DeleteRecord();
        cursor->ModifyRecord(Changed(*cursor, {{FACTOR, Variant(Dec(8000))}}).data());
        cursor->MoveToEOF();
        cursor->InsertRecord(
            MakeRecord(cursor->Layout(), AjusteValues({6, kMarch, kEnd, 1, 2})).data());
        cursor->MoveToEOF();
        cursor->InsertRecord(
            MakeRecord(cursor->Layout(), AjusteValues({7, kMarch, kEnd, 3, 4})).data());
        delta = base->GetDelta();
    }

    // An error packet naming delta rows (0-based), as a provider builds it.
    std::vector<uint8_t> Errors(const std::vector<int>& rows) {
        TDSPacketReader reader(delta);
        TDSErrorPacketBuilder builder(reader);
        for (int row : rows)
            builder.AddError(row, /*rrAbort + 1*/ 2, "Error at row " + std::to_string(row), "", 1,
                             335544665);
        EXPECT_EQ(builder.Empty(), rows.empty());
        return builder.GetPacket();
    }

    std::vector<Call> Reconcile(const std::vector<uint8_t>& errors,
                                std::map<int, TDSReconcileAnswer> answers) {
        std::vector<Call> calls;
        const TDSRecordLayout& layout = base->Layout();
        base->Reconcile(errors, [&](const DSReconcileError& e) {
            Call c{e, {}, {}};
            for (int f = 0; f < layout.FieldCount(); ++f) {
                c.Delta.push_back(layout.GetField(e.DeltaRecord, f));
                if (e.OldRecord) c.Old.push_back(layout.GetField(e.OldRecord, f));
            }
            calls.push_back(c);
            return answers.count(e.RecordNo) ? answers[e.RecordNo] : dsrAbort;
        });
        return calls;
    }

    std::vector<uint8_t> delta;
};

TEST_F(ReconcileTest, TheErrorRowsAreCalledBackAndKeptTheRestIsAccepted) {
    std::vector<Call> calls = Reconcile(Errors({2, 4}), {{3, dsrAbort}, {5, dsrSkip}});
    ASSERT_EQ(calls.size(), 2u);
    const DSReconcileError& modify = calls[0].Error;
    EXPECT_EQ(modify.RecordNo, 3);
    EXPECT_EQ(modify.Response, 2);
    EXPECT_EQ(modify.Message, "Error at row 2");
    EXPECT_EQ(modify.Context, "");
    EXPECT_EQ(modify.Category, 1);
    EXPECT_EQ(modify.ErrorCode, 335544665);
    EXPECT_EQ(modify.UpdateKind, dsRecModified);
    EXPECT_TRUE(calls[0].Delta[ID].IsUnassigned());
    EXPECT_TRUE(calls[0].Delta[FACTOR] == Variant(Dec(8000)));
    ASSERT_EQ(calls[0].Old.size(), 5u);
    EXPECT_TRUE(calls[0].Old[FACTOR] == Variant(Dec(7000)));
    EXPECT_EQ(calls[1].Error.UpdateKind, dsRecInserted);
    EXPECT_EQ(calls[1].Error.OldRecord, nullptr);
    EXPECT_EQ(calls[1].Delta[ID].Get<int32_t>(), 7);

    // The delete of 1 and the insert of 6 are accepted; 2 and 7 stay logged.
    EXPECT_EQ(base->GetChangeCount(), 2);
    TDSPacketReader left(base->GetDelta());
    ASSERT_EQ(left.RowCount(), 3);
    EXPECT_EQ(left.RowStatus(0), dsRecUnmodified);
    EXPECT_EQ(left.RowStatus(1), dsRecModified);
    EXPECT_EQ(left.RowStatus(2), dsRecInserted);
    EXPECT_EQ(left.Layout().GetField(left.Record(2), ID).Get<int32_t>(), 7);
    EXPECT_EQ(Ids(*cursor), (std::vector<int32_t>{2, 3, 6, 7}));
    cursor->MoveToSequenceNumber(3);
    EXPECT_EQ(cursor->GetRecordStatus(), dsRecUnmodified);
}

TEST_F(ReconcileTest, CancelAndRefreshUndoTheRowsChanges) {
    // The old row of a modification names the modification too.
    Reconcile(Errors({0, 1, 3}), {{1, dsrCancel}, {2, dsrRefresh}, {4, dsrCancel}});
    EXPECT_EQ(base->GetChangeCount(), 0);
    EXPECT_EQ(Ids(*cursor), (std::vector<int32_t>{1, 2, 3, 7}));
    cursor->MoveToSequenceNumber(2);
    EXPECT_TRUE(Current(*cursor, FACTOR) == Variant(Dec(7000)));
    EXPECT_EQ(cursor->GetRecordStatus(), dsRecUnmodified);
}

TEST_F(ReconcileTest, CorrectAndMergeKeepTheRowAsItIs) {
    Reconcile(Errors({2, 3}), {{3, dsrCorrect}, {4, dsrMerge}});
    EXPECT_EQ(base->GetChangeCount(), 2);
    EXPECT_EQ(Ids(*cursor), (std::vector<int32_t>{2, 3, 6, 7}));
}

TEST_F(ReconcileTest, AnEmptyErrorPacketAcceptsEverything) {
    EXPECT_TRUE(Reconcile(Errors({}), {}).empty());
    EXPECT_EQ(base->GetChangeCount(), 0);
    EXPECT_EQ(Ids(*cursor), (std::vector<int32_t>{2, 3, 6, 7}));
}

TEST_F(ReconcileTest, ACallbackThatThrowsLeavesTheChangeLogAsItWas) {
    std::vector<uint8_t> errors = Errors({0, 4});
    int calls = 0;
    EXPECT_THROW(base->Reconcile(errors,
                                 [&](const DSReconcileError&) -> TDSReconcileAnswer {
                                     if (++calls == 2) throw EDatabaseError("handler failed");
                                     return dsrCancel;
                                 }),
                 EDatabaseError);
    EXPECT_EQ(base->GetChangeCount(), 4);
    EXPECT_EQ(base->GetDelta(), delta);
}

TEST_F(ReconcileTest, ErrorPacketsThatDoNotFitTheDeltaAreRefused) {
    // A row number beyond the delta.
    std::vector<uint8_t> beyond = Errors({4});
    {
        TDSPacketReader reader(beyond);
        std::vector<uint8_t> record(reader.Record(0),
                                    reader.Record(0) + reader.Layout().RecordSize());
        reader.Layout().PutField(record.data(), 0, Variant(int32_t{6}));
        auto writer = CreateDSWriter();
        writer->Init(reader.Layout().Fields(), {});
        writer->AddRecord(record.data(), dsRecInserted);
        beyond = writer->GetDataPacket();
    }
    // A data packet that is no error packet.
    std::vector<uint8_t> notErrors = AjustePacket({{1, kMarch, kEnd, 0, 0}});
    for (const std::vector<uint8_t>* packet : {&beyond, &notErrors}) {
        EXPECT_EQ(EngineErrorOf([&] {
                      base->Reconcile(*packet, [](const DSReconcileError&) { return dsrCancel; });
                  }),
                  DBERR_INVALIDPACKET);
        EXPECT_EQ(base->GetChangeCount(), 4);
    }
    EXPECT_EQ(EngineErrorOf([&] {
                  TDSPacketReader reader(delta);
                  TDSErrorPacketBuilder(reader).AddError(5, 2, "", "", 1, 0);
              }),
              DBERR_INVALIDPARAM);
}

TEST_F(ReconcileTest, LongMessagesAreCutAtACharacterBoundary) {
    std::string message;
    for (int i = 0; i < 5000; ++i)
        message += "ñ"; // two bytes each
    TDSPacketReader reader(delta);
    TDSErrorPacketBuilder builder(reader);
    builder.AddError(0, 2, message, message, 1, 0);
    std::vector<Call> calls = Reconcile(builder.GetPacket(), {});
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].Error.Message.size(), 8192u);
    EXPECT_EQ(calls[0].Error.Message, message.substr(0, 8192));
    EXPECT_EQ(calls[0].Error.Context.size(), 1024u);
}

} // namespace
