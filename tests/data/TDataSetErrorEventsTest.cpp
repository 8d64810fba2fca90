// Edit, Post and Delete under OnEditError, OnPostError and OnDeleteError:
// the answers daFail, daAbort and daRetry, and exceptions the events never
// see.

#include "ClientDataSetFixtures.h"

#include "data/TDateTimeFields.h"
#include "data/TNumericFields.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace fixtures;

namespace {

// A client dataset whose write step can be made to fail with any exception,
// standing for an engine failure of a kind the engine never raises.
class TFailingDataSet : public TClientDataSet {
public:
    using TClientDataSet::TClientDataSet;
    std::function<void()> FailPost;

protected:
    void InternalPost() override {
        if (FailPost) FailPost();
        TClientDataSet::InternalPost();
    }
};

class DataSetErrorEventsTest : public ::testing::Test {
protected:
    TSettingsGuard settings;
    TComponent owner;
    TPacketProvider* provider;
    TFailingDataSet* ds;
    TIntegerField* id;
    TDateField* from;
    TFMTBCDField* factor;
    std::vector<std::string> seen;

    explicit DataSetErrorEventsTest(std::vector<DSAttribute> attributes = {}) {
        std::vector<Row> rows{
            AdjustmentRow(1, EncodeDate(2016, 3, 1), EncodeDate(2016, 3, 31), 1900, 8000),
            AdjustmentRow(2, EncodeDate(2016, 3, 1), EncodeDate(2016, 3, 31), 800, 8000)};
        provider = new TPacketProvider(&owner, "PAjuste", AdjustmentFields(), rows, attributes);
        ds = new TFailingDataSet(&owner);
        ds->SetName("CAjuste");
        ds->SetProviderName("PAjuste");
        // The editor's persistent fields, AJCI_ID required.
        id = new TIntegerField(&owner);
        id->SetFieldName("AJCI_ID");
        id->SetRequired(true);
        id->SetDataSet(ds);
        from = new TDateField(&owner);
        from->SetFieldName("AJCI_FECINI");
        from->SetDisplayLabel("F.Desde");
        from->SetDataSet(ds);
        factor = new TFMTBCDField(&owner);
        factor->SetFieldName("AJCI_FACTOR");
        factor->SetPrecision(15);
        factor->SetSize(4);
        factor->SetDataSet(ds);
    }

    TDataSetErrorEvent answer(std::vector<TDataAction> actions) {
        auto queue = std::make_shared<std::vector<TDataAction>>(std::move(actions));
        return [this, queue](TDataSet* d, EDatabaseError& e, TDataAction& action) {
            EXPECT_EQ(action, daFail) << "the event starts from daFail";
            seen.push_back(d->Name() + ": " + e.Message);
            if (!queue->empty()) {
                action = queue->front();
                queue->erase(queue->begin());
            }
        };
    }
};

class DisabledPacketTest : public DataSetErrorEventsTest {
protected:
    DisabledPacketTest()
        : DataSetErrorEventsTest({DSAttribute{"DISABLE_EDITS", true},
                                  DSAttribute{"DISABLE_INSERTS", true},
                                  DSAttribute{"DISABLE_DELETES", true}}) {}
};

} // namespace

TEST_F(DataSetErrorEventsTest, PostOfARowWithoutItsRequiredKeyGoesThroughOnPostError) {
    ds->Open();
    ds->OnPostError = answer({daAbort});
    ds->Insert();
    from->SetAsDateTime(EncodeDate(2016, 4, 1));
    EXPECT_THROW(ds->Post(), EAbort);
    EXPECT_EQ(seen, std::vector<std::string>{"CAjuste: Field 'AJCI_ID' must have a value"});
    EXPECT_EQ(ds->State(), dsInsert) << "the row stays in insert state with its values";
    EXPECT_EQ(from->AsDateTime(), EncodeDate(2016, 4, 1));
    EXPECT_EQ(ds->ChangeCount(), 0);

    ds->OnPostError = answer({daFail});
    try {
        ds->Post();
        FAIL() << "no error";
    } catch (const EDatabaseError& e) {
        EXPECT_EQ(e.Message, "Field 'AJCI_ID' must have a value");
    }
    EXPECT_EQ(ds->State(), dsInsert);
    ds->Cancel();
    EXPECT_EQ(ds->RecordCount(), 2);
}

TEST_F(DataSetErrorEventsTest, RequiredCheckNamesTheDisplayNameOfTheFirstNullField) {
    from->SetRequired(true);
    ds->Open();
    ds->Insert();
    try {
        ds->Post();
        FAIL() << "no error";
    } catch (const EDatabaseError& e) {
        EXPECT_EQ(e.Message, "Field 'AJCI_ID' must have a value");
    }
    id->SetAsInteger(0);
    try {
        ds->Post();
        FAIL() << "no error";
    } catch (const EDatabaseError& e) {
        EXPECT_EQ(e.Message, "Field 'F.Desde' must have a value");
    }
    id->SetReadOnly(true);
    id->SetRequired(true);
    from->SetAsDateTime(EncodeDate(2016, 4, 1));
    ds->Post();
    EXPECT_EQ(ds->State(), dsBrowse);
    EXPECT_EQ(ds->ChangeCount(), 1);
}

TEST_F(DataSetErrorEventsTest, RetryRunsTheStepAgainAfterTheEventMendedIt) {
    ds->Open();
    ds->Insert();
    int calls = 0;
    ds->OnPostError = [&](TDataSet*, EDatabaseError&, TDataAction& action) {
        ++calls;
        id->SetAsInteger(0);
        action = daRetry;
    };
    ds->Post();
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(ds->State(), dsBrowse);
    EXPECT_EQ(ds->RecordCount(), 3);
}

TEST_F(DataSetErrorEventsTest, ExceptionsThatAreNotDatabaseErrorsPassByTheEvents) {
    ds->Open();
    ds->OnPostError = answer({daAbort});
    ds->FailPost = [] { throw std::runtime_error("disk on fire"); };
    ds->Edit();
    factor->SetAsCurrency(Currency{9000});
    EXPECT_THROW(ds->Post(), std::runtime_error);
    EXPECT_TRUE(seen.empty());
    EXPECT_EQ(ds->State(), dsEdit);

    ds->FailPost = [] { throw EDBClient("key violation", DBERR_KEYVIOL); };
    EXPECT_THROW(ds->Post(), EAbort);
    EXPECT_EQ(seen, std::vector<std::string>{"CAjuste: key violation"}) << "descendants are seen";
    ds->FailPost = nullptr;
    ds->Post();
    EXPECT_EQ(factor->AsCurrency(), Currency{9000});
}

TEST_F(DisabledPacketTest, PacketsThatDisableChangesRefuseThemThroughTheRightEvents) {
    ds->Open();
    ds->OnEditError = answer({daAbort});
    ds->OnDeleteError = answer({daFail});
    ds->OnPostError = answer({});
    EXPECT_THROW(ds->Edit(), EAbort);
    EXPECT_EQ(ds->State(), dsBrowse) << "a failed Edit leaves the row in browse state";
    try {
        ds->Delete();
        FAIL() << "no error";
    } catch (const EDatabaseError& e) {
        EXPECT_EQ(e.Message, "Deletes are not allowed");
    }
    EXPECT_EQ(ds->RecordCount(), 2) << "the row stays";
    try {
        ds->Insert();
        FAIL() << "no error";
    } catch (const EDatabaseError& e) {
        EXPECT_EQ(e.Message, "Inserts are not allowed");
    }
    EXPECT_EQ(ds->State(), dsBrowse);
    EXPECT_EQ(seen, (std::vector<std::string>{"CAjuste: Modifications are not allowed",
                                              "CAjuste: Deletes are not allowed"}))
        << "Insert's refusal reaches no event";
}

TEST_F(DataSetErrorEventsTest, ReadOnlyAndEmptyDataSetsRefuseChangesOutsideTheEvents) {
    ds->Open();
    ds->OnEditError = answer({});
    ds->SetReadOnly(true);
    EXPECT_FALSE(ds->CanModify());
    const std::vector<std::function<void()>> changes{
        [this] { ds->Edit(); }, [this] { ds->Insert(); }, [this] { ds->Append(); },
        [this] { ds->Delete(); }};
    for (const auto& change : changes) {
        try {
            change();
            ADD_FAILURE() << "no error";
        } catch (const EDatabaseError& e) {
            EXPECT_EQ(e.Message, "Cannot modify a read-only dataset");
        }
    }
    ds->SetReadOnly(false);
    ds->Delete();
    ds->Delete();
    EXPECT_TRUE(ds->IsEmpty());
    EXPECT_TRUE(ds->Eof());
    try {
        ds->Delete();
        FAIL() << "no error";
    } catch (const EDatabaseError& e) {
        EXPECT_EQ(e.Message, "Cannot perform this operation on an empty dataset");
    }
    ds->Edit();
    EXPECT_EQ(ds->State(), dsInsert) << "Edit on an empty view inserts";
    ds->Delete();
    EXPECT_EQ(ds->State(), dsBrowse) << "Delete while inserting cancels the new row";
    EXPECT_TRUE(seen.empty());
}

TEST_F(DataSetErrorEventsTest, EventsAroundEditingRunInOrder) {
    ds->Open();
    std::vector<std::string> order;
    auto note = [&](const char* what) {
        return [&order, what](TDataSet*) { order.push_back(what); };
    };
    ds->BeforeEdit = note("BeforeEdit");
    ds->AfterEdit = note("AfterEdit");
    ds->BeforePost = note("BeforePost");
    ds->AfterPost = note("AfterPost");
    ds->BeforeInsert = note("BeforeInsert");
    ds->OnNewRecord = [&](TDataSet*) {
        order.push_back("OnNewRecord");
        id->SetAsInteger(0);
    };
    ds->AfterInsert = note("AfterInsert");
    ds->BeforeCancel = note("BeforeCancel");
    ds->AfterCancel = note("AfterCancel");
    ds->BeforeDelete = note("BeforeDelete");
    ds->AfterDelete = note("AfterDelete");
    ds->BeforeScroll = note("BeforeScroll");
    ds->AfterScroll = note("AfterScroll");
    ds->Edit();
    id->SetAsInteger(5);
    ds->Post();
    ds->Insert();
    EXPECT_FALSE(ds->Modified()) << "values set by OnNewRecord are no modification";
    ds->Next(); // unmodified insert: cancelled
    ds->Delete();
    EXPECT_EQ(order, (std::vector<std::string>{
                         "BeforeEdit", "AfterEdit", "BeforePost", "AfterPost", "BeforeInsert",
                         "OnNewRecord", "AfterInsert", "BeforeCancel", "BeforeScroll",
                         "AfterCancel", "AfterScroll", "BeforeScroll", "AfterScroll",
                         "BeforeDelete", "BeforeScroll", "AfterDelete", "AfterScroll"}));
    EXPECT_EQ(ds->RecordCount(), 1);
}
