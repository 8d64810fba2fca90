// ApplyUpdates on the client side: what reaches the provider, and how the
// change log is reconciled with its answer.

#include "ClientDataSetFixtures.h"

#include "platform/Dialogs.h"

#include <gtest/gtest.h>

using namespace fixtures;

namespace {

class ClientDataSetApplyTest : public ::testing::Test {
protected:
    TSettingsGuard settings;
    TComponent owner;
    TPacketProvider* provider =
        new TPacketProvider(&owner, "PAjuste", SimpleFields(), SimpleRows(5));
    TClientDataSet* ds = new TClientDataSet(&owner);

    void SetUp() override {
        ds->SetProviderName("PAjuste");
        ds->Open();
    }

    // Three changes: modify row 1, delete row 2, insert row 6.
    void makeChanges() {
        ds->Edit();
        ds->FieldByName("NAME")->SetAsString("one");
        ds->Post();
        ds->Next();
        ds->Delete();
        ds->Append();
        ds->FieldByName("ID")->SetAsInteger(6);
        ds->Post();
        ASSERT_EQ(ds->ChangeCount(), 3);
    }

    // Fails the changes whose rows have these IDs, with the response given.
    void refuse(std::vector<int> ids, TResolverResponse response) {
        provider->OnApply = [ids, response](const TDSPacketReader& delta,
                                            TDSErrorPacketBuilder& errors, int& errorCount) {
            int idField = delta.Layout().FieldIndex("ID");
            for (int row = 0; row < delta.RowCount(); ++row) {
                if (delta.RowStatus(row) == dsRecUnmodified) continue; // a modification's old row
                const uint8_t* rec = delta.Record(row);
                Variant id = delta.Layout().GetField(rec, idField);
                if (id.IsEmpty() && row > 0)
                    id = delta.Layout().GetField(delta.Record(row - 1), idField);
                for (int wanted : ids)
                    if (id == Variant(int32_t(wanted))) {
                        errors.AddError(row, response + 1, "refused " + std::to_string(wanted), "",
                                        1, 0);
                        ++errorCount;
                    }
            }
        };
    }
};

} // namespace

TEST_F(ClientDataSetApplyTest, AnEmptyChangeLogReturnsZeroWithoutCallingTheProvider) {
    EXPECT_EQ(ds->ApplyUpdates(0), 0);
    ds->Edit(); // unmodified: cancelled, nothing to apply
    EXPECT_EQ(ds->ApplyUpdates(-1), 0);
    EXPECT_TRUE(provider->Deltas.empty());
    EXPECT_EQ(ds->State(), dsBrowse);
}

TEST_F(ClientDataSetApplyTest, ANullResultAcceptsEveryChange) {
    makeChanges();
    EXPECT_EQ(ds->ApplyUpdates(-1), 0);
    ASSERT_EQ(provider->Deltas.size(), 1u);
    EXPECT_EQ(provider->MaxErrorsSeen, std::vector<int>{-1});
    TDSPacketReader delta(provider->Deltas[0]);
    int inserted = 0, deleted = 0, modified = 0;
    for (int row = 0; row < delta.RowCount(); ++row) {
        inserted += delta.RowStatus(row) == dsRecInserted;
        deleted += delta.RowStatus(row) == dsRecDeleted;
        modified += delta.RowStatus(row) == dsRecModified;
    }
    EXPECT_EQ(inserted + deleted + modified, 3);
    EXPECT_EQ(ds->ChangeCount(), 0);
    EXPECT_EQ(ds->RecordCount(), 5);
}

TEST_F(ClientDataSetApplyTest, APendingChangeIsPostedFirst) {
    ds->Edit();
    ds->FieldByName("NAME")->SetAsString("pending");
    EXPECT_EQ(ds->ApplyUpdates(0), 0);
    EXPECT_EQ(provider->Deltas.size(), 1u);
    EXPECT_EQ(ds->State(), dsBrowse);
    EXPECT_EQ(ds->ChangeCount(), 0);
    EXPECT_EQ(ds->FieldByName("NAME")->AsString(), "pending");
}

TEST_F(ClientDataSetApplyTest, AnErrorPacketKeepsTheRowsItNamesAndAcceptsTheOthers) {
    makeChanges();
    refuse({2}, rrAbort);
    std::vector<std::string> seen;
    ds->OnReconcileError = [&](TClientDataSet*, EReconcileError& e, TUpdateKind kind,
                               TReconcileAction& action) {
        seen.push_back(e.Message + " kind " + std::to_string(kind) + " action " +
                       std::to_string(action));
    };
    EXPECT_EQ(ds->ApplyUpdates(0), 1);
    EXPECT_EQ(seen, std::vector<std::string>{"refused 2 kind 2 action 1"});
    EXPECT_EQ(ds->ChangeCount(), 1) << "only the refused deletion stays";

    ds->Edit();
    ds->FieldByName("NAME")->SetAsString("three");
    ds->Post();
    provider->OnApply = nullptr;
    seen.clear();
    EXPECT_EQ(ds->ApplyUpdates(-1), 0);
    EXPECT_EQ(ds->ChangeCount(), 0);
}

TEST_F(ClientDataSetApplyTest, TheStoredResponseChoosesSkipOrAbort) {
    makeChanges();
    refuse({1}, rrSkip);
    std::vector<TReconcileAction> actions;
    ds->OnReconcileError = [&](TClientDataSet*, EReconcileError&, TUpdateKind kind,
                               TReconcileAction& action) {
        EXPECT_EQ(kind, ukModify);
        actions.push_back(action);
    };
    EXPECT_EQ(ds->ApplyUpdates(-1), 1);
    EXPECT_EQ(actions, std::vector<TReconcileAction>{raSkip});
    EXPECT_EQ(ds->ChangeCount(), 1);
}

TEST_F(ClientDataSetApplyTest, AnExceptionInTheReconcileEventIsShownAndAnswersAbort) {
    TRecordingDialogService dialogs;
    TScopedDialogService scoped(&dialogs);
    makeChanges();
    refuse({6}, rrSkip);
    ds->OnReconcileError = [&](TClientDataSet*, EReconcileError&, TUpdateKind kind,
                               TReconcileAction& action) {
        EXPECT_EQ(kind, ukInsert);
        throw Exception("handler broke");
    };
    EXPECT_EQ(ds->ApplyUpdates(-1), 1);
    ASSERT_EQ(dialogs.Boxes().size(), 1u);
    EXPECT_EQ(dialogs.Boxes()[0].Text, "handler broke.");
    EXPECT_EQ(ds->ChangeCount(), 1) << "aborted: the insert stays in the change log";
}

TEST_F(ClientDataSetApplyTest, AProviderFailureArrivesAsOleExceptionAndKeepsTheChangeLog) {
    makeChanges();
    provider->ApplyFailWith = "Update affected more than 1 record.";
    try {
        ds->ApplyUpdates(-1);
        FAIL() << "no error";
    } catch (const EOleException& e) {
        EXPECT_EQ(e.Message, "Update affected more than 1 record");
    }
    EXPECT_EQ(ds->ChangeCount(), 3);
    provider->ApplyFailWith.clear();
    EXPECT_EQ(ds->ApplyUpdates(-1), 0);
    EXPECT_EQ(ds->ChangeCount(), 0);
}

TEST_F(ClientDataSetApplyTest, CancelUpdatesRestoresTheRowsAsLoaded) {
    makeChanges();
    ds->CancelUpdates();
    EXPECT_EQ(ds->ChangeCount(), 0);
    EXPECT_EQ(ds->RecordCount(), 5);
    ds->First();
    EXPECT_EQ(ds->FieldByName("NAME")->AsString(), "row1");
    ds->Next();
    EXPECT_EQ(ds->FieldByName("ID")->AsInteger(), 2);
}
