// The buffer window and the notifications the data links receive, recorded
// by a link per operation.

#include "ClientDataSetFixtures.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace fixtures;
using Events = std::vector<std::string>;

namespace {

class DataSetLinksTest : public ::testing::Test {
protected:
    TSettingsGuard settings;
    TComponent owner;
    TPacketProvider* provider = new TPacketProvider(&owner, "P", SimpleFields(), SimpleRows(10));
    TClientDataSet* ds = new TClientDataSet(&owner);
    TDataSource* source = new TDataSource(&owner);
    TRecordingLink link;

    void SetUp() override {
        ds->SetProviderName("P");
        source->SetDataSet(ds);
        link.SetBufferCount(3);
        link.SetDataSource(source);
    }
    void TearDown() override { link.SetDataSource(nullptr); }

    // The IDs of the link's window, with the current one marked.
    std::string window() {
        std::string s;
        int saved = link.ActiveRecord();
        for (int i = 0; i < link.RecordCount(); ++i) {
            link.SetActiveRecord(i);
            if (!s.empty()) s += ' ';
            s += (i == saved ? "*" : "") + ds->FieldByName("ID")->AsString();
        }
        link.SetActiveRecord(saved);
        return s;
    }
};

} // namespace

TEST_F(DataSetLinksTest, OpenFillsTheWindowAndCloseEmptiesIt) {
    ds->Open();
    EXPECT_EQ(link.Take(), Events{"active"});
    EXPECT_EQ(window(), "*1 2 3");
    EXPECT_EQ(link.RecordCount(), 3);
    ds->Close();
    EXPECT_EQ(link.Take(), Events{"inactive"});
    EXPECT_EQ(link.RecordCount(), 0);
}

TEST_F(DataSetLinksTest, MovesWithinAndBeyondTheWindowReportHowFarItMoved) {
    ds->Open();
    link.Take();
    EXPECT_EQ(ds->MoveBy(1), 1);
    EXPECT_EQ(link.Take(), (Events{"check", "scrolled 0"}));
    EXPECT_EQ(window(), "1 *2 3");
    ds->Next();
    ds->Next();
    EXPECT_EQ(link.Take(), (Events{"check", "scrolled 0", "check", "scrolled 1"}));
    EXPECT_EQ(window(), "2 3 *4");
    EXPECT_EQ(ds->MoveBy(5), 5);
    EXPECT_EQ(link.Take(), (Events{"check", "scrolled 5"}));
    EXPECT_EQ(window(), "7 8 *9");
    EXPECT_EQ(ds->MoveBy(-1), -1);
    EXPECT_EQ(link.Take(), (Events{"check", "scrolled 0"}));
    EXPECT_EQ(ds->MoveBy(100), 2) << "stops at the end";
    EXPECT_TRUE(ds->Eof());
    EXPECT_EQ(link.Take(), (Events{"check", "scrolled 1"}));
    EXPECT_EQ(window(), "8 9 *10");
    EXPECT_EQ(ds->MoveBy(1), 0) << "nothing beyond the end";
    EXPECT_EQ(link.Take(), Events{"check"});
    EXPECT_EQ(ds->MoveBy(-4), -4);
    EXPECT_EQ(link.Take(), (Events{"check", "scrolled -2"}));
    EXPECT_EQ(window(), "*6 7 8");
    EXPECT_EQ(ds->MoveBy(-10), -5);
    EXPECT_TRUE(ds->Bof());
    EXPECT_EQ(window(), "*1 2 3");
    ds->Last();
    EXPECT_EQ(link.Take(), (Events{"check", "scrolled -5", "check", "changed"}));
    EXPECT_EQ(window(), "8 9 *10");
    ds->First();
    EXPECT_EQ(link.Take(), (Events{"check", "changed"}));
    EXPECT_EQ(window(), "*1 2 3");
}

TEST_F(DataSetLinksTest, EachLinkSeesItsOwnWindow) {
    TRecordingLink navigator; // asks for one record, like a navigator
    navigator.SetDataSource(source);
    ds->Open();
    navigator.Take();
    link.Take();
    ds->Next();
    EXPECT_EQ(navigator.Take(), (Events{"check", "scrolled 1"}));
    EXPECT_EQ(link.Take(), (Events{"check", "scrolled 0"}));
    EXPECT_EQ(navigator.ActiveRecord(), 0);
    EXPECT_EQ(navigator.RecordCount(), 1);
    EXPECT_EQ(link.ActiveRecord(), 1);

    // A larger window reads more records around the current one.
    link.SetBufferCount(5);
    EXPECT_EQ(window(), "1 *2 3 4 5");
    link.SetBufferCount(2);
    EXPECT_EQ(link.RecordCount(), 2);
    EXPECT_EQ(ds->FieldByName("ID")->AsInteger(), 2) << "the current record stays";
    navigator.SetDataSource(nullptr);
    EXPECT_EQ(navigator.Take(), Events{"inactive"});
}

TEST_F(DataSetLinksTest, EditPostInsertCancelAndDeleteNotifications) {
    ds->Open();
    ds->Next();
    link.Take();
    ds->Edit();
    EXPECT_EQ(link.Take(), (Events{"check", "editing", "record"}));
    ds->FieldByName("NAME")->SetAsString("changed");
    EXPECT_EQ(link.Take(), Events{"record NAME"});
    ds->Post();
    EXPECT_EQ(link.Take(), (Events{"update", "check", "browsing", "changed"}));
    EXPECT_EQ(window(), "1 *2 3");

    ds->Insert();
    EXPECT_EQ(link.Take(), (Events{"check", "editing", "changed"}));
    EXPECT_EQ(link.RecordCount(), 3);
    EXPECT_EQ(ds->State(), dsInsert);
    EXPECT_TRUE(ds->FieldByName("ID")->IsNull());
    ds->Cancel();
    EXPECT_EQ(link.Take(), (Events{"check", "browsing", "changed"}));
    EXPECT_EQ(window(), "1 *2 3");

    ds->Delete();
    EXPECT_EQ(link.Take(), (Events{"check", "changed"}));
    EXPECT_EQ(window(), "1 *3 4");
    EXPECT_EQ(ds->RecordCount(), 9);

    // A move finishes a pending change first: post when modified.
    ds->Edit();
    ds->FieldByName("NAME")->SetAsString("again");
    link.Take();
    ds->Next();
    EXPECT_EQ(link.Take(),
              (Events{"check", "update", "update", "check", "browsing", "changed", "scrolled 0"}));
    EXPECT_EQ(ds->State(), dsBrowse);
    ds->Prior();
    EXPECT_EQ(ds->FieldByName("NAME")->AsString(), "again");
}

TEST_F(DataSetLinksTest, UpdateDataLetsAControlWriteItsPendingEdit) {
    struct EditorLink : TRecordingLink {
        TDataSet* ds = nullptr;
        std::string pending;
        void UpdateData() override {
            TRecordingLink::UpdateData();
            if (!pending.empty()) ds->FieldByName("NAME")->SetAsString(pending);
            pending.clear();
        }
    } editor;
    editor.ds = ds;
    editor.SetDataSource(source);
    ds->Open();
    ds->Edit();
    editor.Take();
    editor.pending = "typed";
    ds->Post();
    EXPECT_EQ(editor.Take(), (Events{"update", "check", "browsing", "changed"}))
        << "no record change echoed to the link that wrote it";
    EXPECT_EQ(ds->FieldByName("NAME")->AsString(), "typed");
    editor.SetDataSource(nullptr);
}

TEST_F(DataSetLinksTest, DisabledControlsHearNothingUntilTheLastEnable) {
    ds->Open();
    link.Take();
    ds->DisableControls();
    ds->DisableControls();
    ds->Next();
    ds->Edit();
    ds->Cancel();
    ds->Last();
    ds->EnableControls();
    EXPECT_TRUE(link.Take().empty());
    ds->EnableControls();
    EXPECT_EQ(link.Take(), Events{"changed"});
    EXPECT_EQ(window(), "8 9 *10");

    ds->DisableControls();
    ds->Edit();
    ds->EnableControls();
    EXPECT_EQ(link.Take(), (Events{"editing", "changed"})) << "the state changed meanwhile";
    ds->Cancel();
    link.Take();

    ds->DisableControls();
    ds->Close();
    ds->EnableControls();
    EXPECT_EQ(link.Take(), Events{"inactive"});
}

TEST_F(DataSetLinksTest, AppendAddsARowAfterTheLastAtTheEnd) {
    ds->Open();
    ds->MoveBy(3);
    link.Take();
    ds->Append();
    EXPECT_EQ(link.Take(), (Events{"check", "editing", "changed"}));
    EXPECT_TRUE(ds->Eof()) << "the appended row stands at the end";
    EXPECT_EQ(link.ActiveRecord(), 2);
    ds->FieldByName("ID")->SetAsInteger(11);
    ds->Post();
    EXPECT_EQ(ds->RecordCount(), 11);
    EXPECT_EQ(window(), "9 10 *11");
    EXPECT_EQ(ds->RecNo(), 11);
    ds->Append();
    ds->Cancel();
    EXPECT_EQ(window(), "9 10 *11");
    EXPECT_EQ(ds->RecordCount(), 11);
}

TEST_F(DataSetLinksTest, InsertGoesBeforeTheCurrentRow) {
    ds->Open();
    ds->Next();
    ds->Insert();
    EXPECT_EQ(link.ActiveRecord(), 1);
    EXPECT_FALSE(ds->Eof());
    ds->FieldByName("ID")->SetAsInteger(99);
    ds->Post();
    EXPECT_EQ(window(), "1 *99 2");
    EXPECT_EQ(ds->RecNo(), 2);
    EXPECT_EQ(ds->RecordCount(), 11);
    ds->Insert();
    ds->FieldByName("ID")->SetAsInteger(98);
    ds->Post();
    EXPECT_EQ(window(), "1 *98 99");
    EXPECT_EQ(ds->RecordCount(), 12);
    EXPECT_EQ(ds->ChangeCount(), 2);
}

TEST_F(DataSetLinksTest, DataSourceStateAndEvents) {
    std::vector<std::string> seen;
    source->OnStateChange = [&](TDataSource* s) {
        seen.push_back("state " + std::to_string(s->State()));
    };
    source->OnDataChange = [&](TDataSource*, TField* f) {
        seen.push_back(f ? "data " + f->FieldName() : "data");
    };
    ds->Open();
    ds->Edit();
    ds->FieldByName("ID")->SetAsInteger(5);
    ds->Cancel();
    EXPECT_EQ(seen, (Events{"state 1", "state 2", "data", "data ID", "state 1", "data"}));
    source->SetEnabled(false);
    EXPECT_FALSE(link.Active());
    EXPECT_EQ(source->State(), dsInactive);
    source->SetEnabled(true);
    EXPECT_TRUE(link.Active());
}

// A model of the view (IDs in order and the current position) run against the
// dataset through a long deterministic series of moves and changes; after
// each step the current row, RecNo, RecordCount and every row of the link's
// window must agree with the model.
TEST_F(DataSetLinksTest, RandomOperationsKeepTheWindowInStepWithTheRows) {
    provider->Rows = SimpleRows(200);
    link.SetBufferCount(7);
    ds->Open();
    std::vector<int> rows;
    for (int i = 1; i <= 200; ++i)
        rows.push_back(i);
    int at = 0, nextId = 1000;
    uint32_t seed = 12345;
    auto random = [&](int n) {
        seed = seed * 1103515245u + 12345u;
        return static_cast<int>((seed >> 8) % static_cast<uint32_t>(n));
    };
    for (int step = 0; step < 600; ++step) {
        int op = random(9);
        SCOPED_TRACE(testing::Message() << "step " << step << " op " << op);
        switch (op) {
        case 0:
        case 1: {
            int k = random(61) - 30;
            int target = std::clamp(at + k, 0, static_cast<int>(rows.size()) - 1);
            EXPECT_EQ(ds->MoveBy(k), target - at);
            at = target;
            break;
        }
        case 2:
            if (random(2)) {
                ds->First();
                at = 0;
            } else {
                ds->Last();
                at = static_cast<int>(rows.size()) - 1;
            }
            break;
        case 3: {
            int r = random(static_cast<int>(rows.size())) + 1;
            ds->SetRecNo(r);
            at = r - 1;
            break;
        }
        case 4:
            if (rows.size() < 20) break;
            ds->Delete();
            rows.erase(rows.begin() + at);
            if (at == static_cast<int>(rows.size())) --at;
            break;
        case 5:
            ds->Insert();
            ds->FieldByName("ID")->SetAsInteger(nextId);
            ds->Post();
            rows.insert(rows.begin() + at, nextId++);
            break;
        case 6:
            ds->Append();
            ds->FieldByName("ID")->SetAsInteger(nextId);
            ds->Post();
            rows.push_back(nextId++);
            at = static_cast<int>(rows.size()) - 1;
            break;
        case 7: {
            int target = random(static_cast<int>(rows.size()));
            ASSERT_TRUE(ds->Locate("ID", Variant(int32_t(rows[target]))));
            at = target;
            break;
        }
        case 8:
            ds->Edit();
            ds->FieldByName("NAME")->SetAsString("step" + std::to_string(step));
            if (random(2))
                ds->Post();
            else
                ds->Cancel();
            break;
        }
        ASSERT_EQ(ds->RecordCount(), static_cast<int>(rows.size()));
        ASSERT_EQ(ds->RecNo(), at + 1);
        ASSERT_EQ(ds->FieldByName("ID")->AsInteger(), rows[at]);
        int active = link.ActiveRecord();
        ASSERT_GE(active, 0);
        ASSERT_LT(active, link.RecordCount());
        ASSERT_EQ(link.RecordCount(), std::min(7, static_cast<int>(rows.size())));
        for (int i = 0; i < link.RecordCount(); ++i) {
            link.SetActiveRecord(i);
            ASSERT_EQ(ds->FieldByName("ID")->AsInteger(), rows[at - active + i])
                << "window row " << i;
        }
        link.SetActiveRecord(active);
    }
}
