// How a client dataset asks its provider for packets: the first packet of an
// open, fetching on demand, fetching the rest, resetting at close; and the
// open's failures.

#include "ClientDataSetFixtures.h"

#include <gtest/gtest.h>

using namespace fixtures;

namespace {

class ClientDataSetPacketsTest : public ::testing::Test {
protected:
    TSettingsGuard settings;
    TComponent owner;
    TPacketProvider* provider = nullptr;
    TClientDataSet* ds = nullptr;

    void make(int rows, int packetRecords = 1000) {
        provider = new TPacketProvider(&owner, "PRepArticulos", SimpleFields(), SimpleRows(rows));
        ds = new TClientDataSet(&owner);
        ds->SetProviderName("PRepArticulos");
        ds->SetPacketRecords(packetRecords);
    }
    std::vector<int> counts() const {
        std::vector<int> c;
        for (const GetRecordsCall& call : provider->Calls)
            c.push_back(call.Count);
        return c;
    }
};

} // namespace

TEST_F(ClientDataSetPacketsTest, OpenAsksForOnePacketWithFieldsAndTheCommandText) {
    make(2500);
    ds->SetCommandText("select * from contado_mverde_pref('01/03/2016', '31/03/2016', 'A')");
    ds->Open();
    ASSERT_EQ(provider->Calls.size(), 1u);
    EXPECT_EQ(provider->Calls[0].Count, 1000);
    EXPECT_EQ(provider->Calls[0].Options, 1);
    EXPECT_EQ(provider->Calls[0].CommandText, ds->CommandText());
    EXPECT_EQ(ds->RecordCount(), 1000);
    EXPECT_TRUE(ds->Bof());
    EXPECT_FALSE(ds->Eof());
    EXPECT_TRUE(provider->Reading) << "the provider's statement stays open between packets";

    ds->Open(); // already open: nothing
    EXPECT_EQ(provider->Calls.size(), 1u);

    ds->Last();
    EXPECT_EQ(counts(), (std::vector<int>{1000, -1}));
    EXPECT_EQ(provider->Calls[1].Options, 0);
    EXPECT_EQ(provider->Calls[1].CommandText, "") << "the text goes with the first packet only";
    EXPECT_EQ(ds->RecordCount(), 2500);
    EXPECT_EQ(ds->RecNo(), 2500);
    EXPECT_TRUE(ds->Eof());
    EXPECT_FALSE(provider->Reading);
}

TEST_F(ClientDataSetPacketsTest, ExactlyOnePacketOfRowsAsksAgainWhenNextPassesTheLastRow) {
    make(1000);
    ds->Open();
    EXPECT_TRUE(provider->Reading) << "1000 rows of 1000: the end is not known yet";
    EXPECT_FALSE(ds->AllFetched());
    EXPECT_EQ(ds->MoveBy(999), 999);
    EXPECT_EQ(ds->RecNo(), 1000);
    EXPECT_EQ(provider->Calls.size(), 1u);
    ds->Next();
    ASSERT_EQ(provider->Calls.size(), 2u);
    EXPECT_EQ(provider->Calls[1].Count, 1000);
    EXPECT_EQ(provider->Calls[1].RecsOut, 0);
    EXPECT_FALSE(provider->Reading) << "the empty packet ended the reading";
    EXPECT_TRUE(ds->Eof());
    EXPECT_EQ(ds->RecNo(), 1000);
    ds->Next();
    EXPECT_EQ(provider->Calls.size(), 2u) << "nothing more to ask for";
}

TEST_F(ClientDataSetPacketsTest, NextPastTheRowsHeldBringsTheNextPacket) {
    make(2500);
    ds->Open();
    ds->MoveBy(999);
    ds->Next();
    EXPECT_EQ(counts(), (std::vector<int>{1000, 1000}));
    EXPECT_EQ(ds->RecNo(), 1001);
    EXPECT_EQ(ds->FieldByName("ID")->AsInteger(), 1001);
    EXPECT_EQ(ds->RecordCount(), 2000);
    ds->MoveBy(1000);
    EXPECT_EQ(counts(), (std::vector<int>{1000, 1000, 1000}));
    EXPECT_EQ(ds->RecordCount(), 2500);
    EXPECT_EQ(ds->RecNo(), 2001);
    EXPECT_FALSE(provider->Reading);
}

TEST_F(ClientDataSetPacketsTest, WithoutFetchOnDemandOnlyGetNextPacketFetches) {
    make(1500);
    ds->SetFetchOnDemand(false);
    ds->Open();
    ds->MoveBy(5000);
    EXPECT_EQ(ds->RecNo(), 1000);
    EXPECT_EQ(provider->Calls.size(), 1u);
    EXPECT_EQ(ds->GetNextPacket(), 500);
    EXPECT_EQ(ds->RecordCount(), 1500);
    EXPECT_EQ(ds->GetNextPacket(), 0);
}

TEST_F(ClientDataSetPacketsTest, DefaultPacketRecordsBringsEverythingAtOnce) {
    make(1200, -1);
    EXPECT_EQ(TClientDataSet().PacketRecords(), -1);
    EXPECT_TRUE(TClientDataSet().FetchOnDemand());
    ds->Open();
    EXPECT_EQ(counts(), std::vector<int>{-1});
    EXPECT_EQ(ds->RecordCount(), 1200);
    EXPECT_TRUE(ds->AllFetched());
}

TEST_F(ClientDataSetPacketsTest, CloseResetsTheProviderAndDropsRowsAndChanges) {
    make(3000);
    ds->Open();
    ds->Edit();
    ds->FieldByName("NAME")->SetAsString("lost");
    ds->Post();
    ds->Next();
    ds->Delete();
    EXPECT_EQ(ds->ChangeCount(), 2);
    ds->Close();
    ASSERT_EQ(provider->Calls.size(), 2u);
    EXPECT_EQ(provider->Calls[1].Count, 0);
    EXPECT_EQ(provider->Calls[1].Options, 2);
    EXPECT_FALSE(provider->Reading);
    EXPECT_EQ(ds->ChangeCount(), 0);

    ds->Open();
    EXPECT_EQ(provider->Calls.size(), 3u);
    EXPECT_EQ(provider->Calls[2].Options, 1);
    EXPECT_EQ(ds->ChangeCount(), 0);
    EXPECT_EQ(ds->FieldByName("NAME")->AsString(), "row1") << "read again, unapplied changes gone";
    EXPECT_EQ(ds->RecordCount(), 1000);
}

TEST_F(ClientDataSetPacketsTest, CommandTextChangesOnlyWhenDifferentAndNamesItsParams) {
    make(1);
    ds->SetCommandText("select * from t where a = :A and b = ':notparam' and c = :Cc");
    ASSERT_EQ(ds->Params().Count(), 2);
    EXPECT_EQ(ds->Params().Items(0).Name, "A");
    EXPECT_EQ(ds->Params().Items(1).Name, "Cc");
    ds->Params().Items(0).Value = Variant(int32_t(5));
    ds->SetCommandText(ds->CommandText());
    EXPECT_EQ(ds->Params().Items(0).Value, Variant(int32_t(5))) << "same text: nothing changes";
    ds->SetCommandText("select * from t where a = :a");
    ASSERT_EQ(ds->Params().Count(), 1);
    EXPECT_EQ(ds->Params().Items(0).Value, Variant(int32_t(5))) << "kept by name";
    ds->Open();
    ds->SetCommandText("select 1 from rdb$database");
    ds->Open();
    EXPECT_EQ(provider->Calls.size(), 1u) << "a new text waits for the next open";
    EXPECT_EQ(ds->RecordCount(), 1);
}

TEST_F(ClientDataSetPacketsTest, ProviderErrorsArriveAsOleExceptionsAndTheDataSetStaysClosed) {
    make(10);
    bool eventSeen = false;
    ds->OnEditError = ds->OnPostError =
        ds->OnDeleteError = [&](TDataSet*, EDatabaseError&, TDataAction&) { eventSeen = true; };
    provider->FailWith = "Unable to complete network request to host \"x\".\r\n. ";
    try {
        ds->Open();
        FAIL() << "no error";
    } catch (const EOleException& e) {
        EXPECT_EQ(e.Message, "Unable to complete network request to host \"x\"");
    }
    EXPECT_FALSE(ds->Active());
    EXPECT_FALSE(eventSeen);
    EXPECT_EQ(ProviderErrorText("Update affected more than 1 record."),
              "Update affected more than 1 record");
    ds->Open();
    EXPECT_TRUE(ds->Active());
}

TEST_F(ClientDataSetPacketsTest, AProviderNameThatNamesNoProviderOfTheOwner) {
    make(1);
    for (const char* name : {"", "PNoSuch"}) {
        ds->SetProviderName(name);
        try {
            ds->Open();
            ADD_FAILURE() << "no error";
        } catch (const EDatabaseError& e) {
            EXPECT_EQ(e.Message, "Missing data provider or data packet");
        }
        EXPECT_FALSE(ds->Active());
    }
    TClientDataSet orphan; // no owner at all
    orphan.SetProviderName("PRepArticulos");
    EXPECT_THROW(orphan.Open(), EDatabaseError);
}

TEST_F(ClientDataSetPacketsTest, MovingByNumberAndBookmark) {
    make(50);
    ds->Open();
    EXPECT_EQ(ds->RecNo(), 1);
    ds->SetRecNo(30);
    EXPECT_EQ(ds->FieldByName("ID")->AsInteger(), 30);
    TBookmark mark = ds->Bookmark();
    ASSERT_TRUE(mark.has_value());
    EXPECT_TRUE(ds->BookmarkValid(mark));
    ds->First();
    EXPECT_TRUE(ds->Bof());
    EXPECT_EQ(ds->MoveBy(-1), 0);
    ds->SetBookmark(mark);
    EXPECT_EQ(ds->RecNo(), 30);
    EXPECT_EQ(ds->MoveBy(-5), -5);
    EXPECT_EQ(ds->RecNo(), 25);
    EXPECT_EQ(ds->FieldByName("ID")->AsInteger(), 25) << "still in step after the moves";
    ds->SetRecNo(500);
    EXPECT_EQ(ds->RecNo(), 50);
    ds->Delete();
    EXPECT_EQ(ds->RecNo(), 49) << "the previous row after deleting the last";
    EXPECT_EQ(ds->RecordCount(), 49);
    ds->SetRecNo(30);
    ds->Delete();
    EXPECT_EQ(ds->FieldByName("ID")->AsInteger(), 31) << "the next row after a delete";
    EXPECT_FALSE(ds->BookmarkValid(mark)) << "the deleted row";
    EXPECT_EQ(ds->RecNo(), 30);
}

TEST_F(ClientDataSetPacketsTest, OpenOnAnOpenDataSetKeepsRowsPositionAndChanges) {
    make(20);
    ds->SetCommandText("select 1");
    ds->Open();
    ds->SetRecNo(5);
    ds->Edit();
    ds->FieldByName("NAME")->SetAsString("kept");
    ds->Post();
    ds->SetCommandText("select 2");
    ds->Open();
    EXPECT_EQ(provider->Calls.size(), 1u);
    EXPECT_EQ(ds->RecNo(), 5);
    EXPECT_EQ(ds->ChangeCount(), 1);
    EXPECT_EQ(ds->FieldByName("NAME")->AsString(), "kept");
}
