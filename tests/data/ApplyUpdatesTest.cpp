// Applying a client dataset's changes through the real chain (client
// dataset, provider, SQL table, connection, driver) to a company database:
// the statements the driver receives, the transaction and error-count rules,
// and what the database and the change log hold afterwards.

#include "TSQLDataSetFixtures.h"

#include "data/TField.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace sqlfixtures;

namespace {

struct HandlerCall {
    std::string Message;
    TUpdateKind Kind;
    TResolverResponse Response; // as the provider proposed it
    int Id;                     // AJCI_ID of the change as the handler's dataset shows it
};

class ApplyUpdates : public AdjustmentChainTest {
protected:
    // Every refused change is noted; answer is the response given back
    // (none: the provider's proposal stands).
    void handle(std::optional<TResolverResponse> answer) {
        Chain->Provider->OnUpdateError = [this, answer](TObject* sender, TClientDataSet* ds,
                                                        EUpdateError& e, TUpdateKind kind,
                                                        TResolverResponse& response) {
            EXPECT_EQ(sender, Chain->Provider);
            TField* id = ds->FindField("AJCI_ID");
            Calls.push_back({e.Message, kind, response, id ? id->AsInteger() : 0});
            if (answer) response = *answer;
        };
    }

    TClientDataSet& open() {
        Chain->Client->Open();
        Applied = Chain->Table->Log.Executed.size();
        return *Chain->Client;
    }
    void edit(int id, const char* field, const Variant& value) {
        ASSERT_TRUE(Chain->Client->Locate("AJCI_ID", Variant(int32_t{id})));
        Chain->Client->Edit();
        Chain->Client->FieldByName(field)->SetAsVariant(value);
        Chain->Client->Post();
    }
    void remove(int id) {
        ASSERT_TRUE(Chain->Client->Locate("AJCI_ID", Variant(int32_t{id})));
        Chain->Client->Delete();
    }
    void insert(int id, TDateTime from, const Variant& to, int64_t porcUnits, int64_t factorUnits) {
        TClientDataSet& c = *Chain->Client;
        c.Insert();
        c.FieldByName("AJCI_ID")->SetAsInteger(id);
        c.FieldByName("AJCI_FECINI")->SetAsDateTime(from);
        c.FieldByName("AJCI_FECFIN")->SetAsVariant(to);
        c.FieldByName("AJCI_PORC")->SetAsCurrency(Currency{porcUnits});
        c.FieldByName("AJCI_FACTOR")->SetAsCurrency(Currency{factorUnits});
        c.Post();
    }
    // The statements the apply sent, as "SQL" and "params" texts.
    std::vector<Statement> sent() const {
        const auto& all = Chain->Table->Log.Executed;
        return std::vector<Statement>(all.begin() + static_cast<long>(Applied), all.end());
    }
    std::vector<std::string> rows() { return AdjustmentRows(*Chain->Connection); }

    std::vector<HandlerCall> Calls;
    size_t Applied = 0;
};

const char* const kDeleteAll = "delete from \"AJUSTE_CIERRE\" \r\n"
                               "where\r\n"
                               " \"AJCI_ID\" = ? and\r\n"
                               " \"AJCI_FECINI\" = ? and\r\n"
                               " \"AJCI_FECFIN\" = ? and\r\n"
                               " \"AJCI_PORC\" = ? and\r\n"
                               " \"AJCI_FACTOR\" = ?\r\n";
const char* const kInsert = "insert into \"AJUSTE_CIERRE\"\r\n"
                            "  (\"AJCI_ID\", \"AJCI_FECINI\", \"AJCI_FECFIN\", \"AJCI_PORC\", "
                            "\"AJCI_FACTOR\")\r\n"
                            "values\r\n"
                            "  (?, ?, ?, ?, ?)\r\n";

} // namespace

TEST_F(ApplyUpdates, TheDriverReceivesTheGeneratedStatementsAndTheTableChangesAsIntended) {
    open();
    edit(1, "AJCI_FACTOR", Currency{9000});
    remove(3);
    remove(2);
    insert(0, EncodeDate(2016, 5, 1), EncodeDate(2016, 5, 31), 50000, 8000);
    Chain->Provider->OnUpdateError = [](TObject*, TClientDataSet*, EUpdateError& e, TUpdateKind,
                                        TResolverResponse&) { ADD_FAILURE() << e.Message; };

    EXPECT_EQ(Chain->Client->ApplyUpdates(0), 0);

    std::vector<Statement> s = sent();
    ASSERT_EQ(s.size(), 4u);
    EXPECT_EQ(s[0].SQL, "update \"AJUSTE_CIERRE\"  set\r\n"
                        " \"AJCI_FACTOR\" = ?\r\n"
                        "where\r\n"
                        " \"AJCI_ID\" = ? and\r\n"
                        " \"AJCI_FECINI\" = ? and\r\n"
                        " \"AJCI_FECFIN\" = ? and\r\n"
                        " \"AJCI_PORC\" = ? and\r\n"
                        " \"AJCI_FACTOR\" = ?\r\n");
    EXPECT_EQ(ParamsText(s[0].Params), "0.9|1|2016-03-01|2016-03-31|19|0.8");
    EXPECT_EQ(s[1].SQL, kDeleteAll);
    EXPECT_EQ(ParamsText(s[1].Params), "3|2016-04-01|2016-04-30|19|0.8");
    // The null end date is compared with "is null" and takes no parameter.
    EXPECT_EQ(s[2].SQL, "delete from \"AJUSTE_CIERRE\" \r\n"
                        "where\r\n"
                        " \"AJCI_ID\" = ? and\r\n"
                        " \"AJCI_FECINI\" = ? and\r\n"
                        " \"AJCI_FECFIN\" is null and\r\n"
                        " \"AJCI_PORC\" = ? and\r\n"
                        " \"AJCI_FACTOR\" = ?\r\n");
    EXPECT_EQ(ParamsText(s[2].Params), "2|2016-03-01|5|0.8");
    EXPECT_EQ(s[3].SQL, kInsert);
    EXPECT_EQ(ParamsText(s[3].Params), "0|2016-05-01|2016-05-31|5|0.8");

    // The trigger keys the row sent with AJCI_ID 0.
    EXPECT_EQ(rows(), (std::vector<std::string>{"1|2016-03-01|2016-03-31|19|0.9",
                                                "4|2016-05-01|2016-05-31|5|0.8"}));
    EXPECT_EQ(Chain->Client->ChangeCount(), 0);
    EXPECT_FALSE(Chain->Connection->InTransaction());
}

TEST_F(ApplyUpdates, OneTextIsPreparedOnceForAllTheChangesThatUseIt) {
    open();
    remove(1);
    remove(3);
    ASSERT_EQ(Chain->Client->ApplyUpdates(0), 0);
    const StatementLog& log = Chain->Table->Log;
    EXPECT_EQ(std::count(log.Prepared.begin(), log.Prepared.end(), std::string(kDeleteAll)), 1);
    std::vector<Statement> s = sent();
    ASSERT_EQ(s.size(), 2u);
    EXPECT_EQ(ParamsText(s[0].Params), "1|2016-03-01|2016-03-31|19|0.8");
    EXPECT_EQ(ParamsText(s[1].Params), "3|2016-04-01|2016-04-30|19|0.8");
    EXPECT_EQ(rows(), (std::vector<std::string>{"2|2016-03-01|null|5|0.8"}));
}

TEST_F(ApplyUpdates, WithNoErrorAllowedOneRefusedChangeLeavesTheDatabaseAsItWas) {
    handle(std::nullopt);
    open();
    edit(1, "AJCI_FACTOR", Currency{9000});
    insert(2, EncodeDate(2016, 5, 1), EncodeDate(2016, 5, 31), 50000, 8000); // key taken
    remove(3);

    EXPECT_EQ(Chain->Client->ApplyUpdates(0), 1);

    EXPECT_EQ(rows(), Before);
    ASSERT_EQ(Calls.size(), 1u);
    EXPECT_EQ(Calls[0].Kind, ukInsert);
    EXPECT_EQ(Calls[0].Response, rrAbort);
    EXPECT_EQ(Calls[0].Id, 2);
    EXPECT_EQ(Calls[0].Message.substr(0, 18), "SQL Server Error: ");
    EXPECT_EQ(Calls[0].Message.substr(18, 20), "violation of PRIMARY");
    EXPECT_EQ(sent().size(), 2u); // the walk stopped at the refused change
    // Nothing was written, so nothing left the change log.
    EXPECT_EQ(Chain->Client->ChangeCount(), 3);
    EXPECT_FALSE(Chain->Connection->InTransaction());
}

TEST_F(ApplyUpdates, WithoutLimitAnAbortKeepsWhatWasWrittenBeforeIt) {
    handle(rrAbort);
    open();
    edit(1, "AJCI_FACTOR", Currency{9000});
    insert(2, EncodeDate(2016, 5, 1), EncodeDate(2016, 5, 31), 50000, 8000);
    remove(3);

    EXPECT_EQ(Chain->Client->ApplyUpdates(-1), 1);

    ASSERT_EQ(Calls.size(), 1u);
    EXPECT_EQ(Calls[0].Response, rrSkip); // proposed; the handler answered abort
    EXPECT_EQ(sent().size(), 2u);         // the deletion after it was not tried
    EXPECT_EQ(rows(),
              (std::vector<std::string>{"1|2016-03-01|2016-03-31|19|0.9", "2|2016-03-01|null|5|0.8",
                                        "3|2016-04-01|2016-04-30|19|0.8"}));
    // The refused insertion and the untried deletion stay to be applied.
    EXPECT_EQ(Chain->Client->ChangeCount(), 2);
}

TEST_F(ApplyUpdates, WithoutLimitSkippingTriesEveryChangeAndCommitsTheGoodOnes) {
    handle(rrSkip);
    open();
    edit(1, "AJCI_FACTOR", Currency{9000});
    remove(3);
    insert(2, EncodeDate(2016, 5, 1), EncodeDate(2016, 5, 31), 50000, 8000);
    insert(1, EncodeDate(2016, 6, 1), EncodeDate(2016, 6, 30), 50000, 8000);

    EXPECT_EQ(Chain->Client->ApplyUpdates(-1), 2);

    ASSERT_EQ(Calls.size(), 2u);
    EXPECT_EQ(sent().size(), 4u);
    EXPECT_EQ(rows(), (std::vector<std::string>{"1|2016-03-01|2016-03-31|19|0.9",
                                                "2|2016-03-01|null|5|0.8"}));
    EXPECT_EQ(Chain->Client->ChangeCount(), 2);
    EXPECT_FALSE(Chain->Connection->InTransaction());
}

TEST_F(ApplyUpdates, ARowChangedByAnotherUserIsNotFound) {
    handle(std::nullopt);
    open();
    TComponent other;
    TSQLConnection* second = NewConnection(Database, &other);
    Exec(*second, "update AJUSTE_CIERRE set AJCI_FACTOR = 0.7 where AJCI_ID = 1");
    edit(1, "AJCI_FACTOR", Currency{9000});
    remove(3);

    EXPECT_EQ(Chain->Client->ApplyUpdates(-1), 1);

    ASSERT_EQ(Calls.size(), 1u);
    EXPECT_EQ(Calls[0].Message, "Record not found or changed by another user");
    EXPECT_EQ(Calls[0].Kind, ukModify);
    EXPECT_EQ(Calls[0].Id, 1);
    EXPECT_EQ(rows(), (std::vector<std::string>{"1|2016-03-01|2016-03-31|19|0.7",
                                                "2|2016-03-01|null|5|0.8"}));
}

TEST_F(ApplyUpdates, AHandlerAnsweringIgnoreCountsTheChangeAsWritten) {
    handle(rrIgnore);
    open();
    insert(1, EncodeDate(2016, 5, 1), EncodeDate(2016, 5, 31), 50000, 8000);
    remove(3);
    EXPECT_EQ(Chain->Client->ApplyUpdates(0), 0);
    EXPECT_EQ(Calls.size(), 1u);
    EXPECT_EQ(Chain->Client->ChangeCount(), 0);
    EXPECT_EQ(rows().size(), 2u);
}

TEST_F(ApplyUpdates, ACorrectedChangeIsAppliedAgainAndAnInsertCannotBe) {
    std::vector<std::string> messages;
    Chain->Provider->OnUpdateError = [&](TObject*, TClientDataSet* ds, EUpdateError& e,
                                         TUpdateKind kind, TResolverResponse& response) {
        messages.push_back(e.Message);
        if (kind == ukModify) {
            // The key collides: give the row another one and write it again.
            ds->Edit();
            ds->FieldByName("AJCI_ID")->SetAsInteger(9);
            ds->Post();
            response = rrApply;
        } else {
            response = messages.size() == 2 ? rrApply : rrSkip;
        }
    };
    open();
    edit(1, "AJCI_ID", int32_t{2});
    EXPECT_EQ(Chain->Client->ApplyUpdates(-1), 0);
    ASSERT_EQ(messages.size(), 1u);
    std::vector<Statement> s = sent();
    ASSERT_EQ(s.size(), 2u);
    EXPECT_EQ(ParamsText(s[0].Params), "2|1|2016-03-01|2016-03-31|19|0.8");
    EXPECT_EQ(ParamsText(s[1].Params), "9|1|2016-03-01|2016-03-31|19|0.8");
    EXPECT_EQ(rows().back(), "9|2016-03-01|2016-03-31|19|0.8");

    // An insertion answered with apply is refused on its next try.
    Chain->Client->Close();
    open();
    insert(3, EncodeDate(2016, 5, 1), EncodeDate(2016, 5, 31), 50000, 8000);
    EXPECT_EQ(Chain->Client->ApplyUpdates(-1), 1);
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[2], "Invalid response");
    EXPECT_EQ(sent().size(), 1u); // "Invalid response" comes before any statement
}

TEST_F(ApplyUpdates, AKeyOnlyUpdateFindsTheRowByItsPrimaryKey) {
    Chain->Table->SetGetMetadata(true);
    Chain->Provider->SetUpdateMode(upWhereKeyOnly);
    handle(std::nullopt);
    open();
    TComponent other;
    TSQLConnection* second = NewConnection(Database, &other);
    Exec(*second, "update AJUSTE_CIERRE set AJCI_FECFIN = '2016-03-30' where AJCI_ID = 1");
    edit(1, "AJCI_FACTOR", Currency{9000});
    EXPECT_EQ(Chain->Client->ApplyUpdates(0), 0);
    EXPECT_TRUE(Calls.empty());
    // Besides the statement, the key was read from the catalogue.
    std::vector<Statement> s = sent();
    ASSERT_EQ(s.size(), 2u);
    EXPECT_EQ(s[0].SQL.rfind("select", 0), 0u);
    EXPECT_EQ(s[1].SQL, "update \"AJUSTE_CIERRE\"  set\r\n \"AJCI_FACTOR\" = ?\r\nwhere\r\n"
                        " \"AJCI_ID\" = ?\r\n");
    EXPECT_EQ(ParamsText(s[1].Params), "0.9|1");
    EXPECT_EQ(rows()[0], "1|2016-03-01|2016-03-30|19|0.9");
}

TEST_F(ApplyUpdates, AMergeWritesOverTheRowAsTheDatabaseHoldsItUnlessBothChangedAField) {
    Chain->Table->SetGetMetadata(true); // the key lets the provider read the row again
    std::vector<std::string> messages;
    Chain->Provider->OnUpdateError = [&](TObject*, TClientDataSet*, EUpdateError& e, TUpdateKind,
                                         TResolverResponse& response) {
        messages.push_back(e.Message);
        response = e.Message == "Invalid response" ? rrSkip : rrMerge;
    };
    open();
    TComponent other;
    TSQLConnection* second = NewConnection(Database, &other);
    Exec(*second, "update AJUSTE_CIERRE set AJCI_FACTOR = 0.7 where AJCI_ID = 1");
    edit(1, "AJCI_FECFIN", EncodeDate(2016, 3, 30));
    EXPECT_EQ(Chain->Client->ApplyUpdates(-1), 0);
    EXPECT_EQ(messages, std::vector<std::string>{"Record not found or changed by another user"});
    EXPECT_EQ(rows()[0], "1|2016-03-01|2016-03-30|19|0.7");

    // Both changed the end date: merging would lose one of them.
    Chain->Client->Close();
    open();
    Exec(*second, "update AJUSTE_CIERRE set AJCI_FECFIN = '2016-03-29' where AJCI_ID = 1");
    edit(1, "AJCI_FECFIN", EncodeDate(2016, 3, 28));
    EXPECT_EQ(Chain->Client->ApplyUpdates(-1), 1);
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_EQ(messages[2], "Invalid response");
    EXPECT_EQ(rows()[0], "1|2016-03-01|2016-03-29|19|0.7");
}

// The row read again for a merge fails at fetch time: its computed column
// divides by a divisor another user set to zero. The merge cannot tell
// whether that user changed the same field, so it must not write: it fails
// with the reason the row could not be read, where treating the failure as
// "no row" wrote over the other user's value and reported success.
TEST_F(ApplyUpdates, AMergeOverARowThatCannotBeReadAgainFailsWithTheReadsError) {
    TSQLConnection& c = *Chain->Connection;
    Exec(c, "create table CUOTAS (ID integer not null primary key, IMPORTE integer, "
            "PARTES integer, CUOTA computed by (IMPORTE / PARTES))");
    Exec(c, "create sequence CUOTAS_INTENTOS");
    Exec(c, "create exception CUOTAS_RECHAZO 'refused once'");
    // The client's change is refused once, so that the handler is asked.
    Exec(c, "create trigger CUOTAS_BU for CUOTAS before update as begin "
            "if (new.IMPORTE = 200) then "
            "if (gen_id(CUOTAS_INTENTOS, 1) = 1) then exception CUOTAS_RECHAZO; end");
    Exec(c, "insert into CUOTAS values (1, 100, 4)");
    Chain->Table->SetTableName("CUOTAS");
    Chain->Table->SetGetMetadata(true);
    Chain->Provider->SetUpdateMode(upWhereKeyOnly);
    std::vector<std::string> messages;
    Chain->Provider->OnUpdateError = [&](TObject*, TClientDataSet*, EUpdateError& e, TUpdateKind,
                                         TResolverResponse& response) {
        messages.push_back(e.Message);
        response = messages.size() == 1 ? rrMerge : rrSkip;
    };
    open();
    TComponent other;
    TSQLConnection* second = NewConnection(Database, &other);
    Exec(*second, "update CUOTAS set PARTES = 0 where ID = 1");
    Exec(*second, "update CUOTAS set IMPORTE = 300 where ID = 1");

    Chain->Client->Edit();
    Chain->Client->FieldByName("IMPORTE")->SetAsInteger(200);
    Chain->Client->Post();
    EXPECT_EQ(Chain->Client->ApplyUpdates(-1), 1);

    ASSERT_EQ(messages.size(), 2u);
    EXPECT_NE(messages[0].find("refused once"), std::string::npos) << messages[0];
    EXPECT_NE(messages[1].find("divide by zero"), std::string::npos) << messages[1];
    EXPECT_EQ(Rows(c, "select ID, IMPORTE, PARTES from CUOTAS"),
              std::vector<std::string>{"1|300|0"});
    EXPECT_FALSE(c.InTransaction());
    EXPECT_EQ(Chain->Client->ChangeCount(), 1);
}

TEST_F(ApplyUpdates, AChangeThatTouchesSeveralRowsIsRolledBackAtOnce) {
    TSQLConnection& c = *Chain->Connection;
    Exec(c, "create table DUPLICADOS (NOMBRE varchar(20), VALOR integer)");
    Exec(c, "insert into DUPLICADOS values ('uno', 1)");
    Exec(c, "insert into DUPLICADOS values ('dos', 2)");
    Exec(c, "insert into DUPLICADOS values ('dos', 2)");
    const std::vector<std::string> before = Rows(c, "select * from DUPLICADOS order by 1, 2");
    Chain->Table->SetTableName("DUPLICADOS");
    handle(rrAbort); // as the window's handler
    open();
    ASSERT_TRUE(Chain->Client->Locate("NOMBRE", Variant("uno")));
    Chain->Client->Edit();
    Chain->Client->FieldByName("VALOR")->SetAsInteger(10);
    Chain->Client->Post();
    ASSERT_TRUE(Chain->Client->Locate("NOMBRE", Variant("dos")));
    Chain->Client->Delete();

    EXPECT_EQ(Chain->Client->ApplyUpdates(-1), 1);

    ASSERT_EQ(Calls.size(), 1u);
    EXPECT_EQ(Calls[0].Message, "Update affected more than 1 record.");
    EXPECT_EQ(Rows(c, "select * from DUPLICADOS order by 1, 2"), before);
    EXPECT_FALSE(c.InTransaction());
    EXPECT_EQ(Chain->Client->ChangeCount(), 2);

    // Allowed, both copies go and the first change stays.
    Chain->Provider->SetOptions({poAllowMultiRecordUpdates});
    EXPECT_EQ(Chain->Client->ApplyUpdates(-1), 0);
    EXPECT_EQ(Rows(c, "select * from DUPLICADOS order by 1, 2"),
              (std::vector<std::string>{"uno|10"}));
}

TEST_F(ApplyUpdates, AnExceptionLeavingTheProviderReachesTheClientWithoutItsPeriod) {
    TSQLConnection& c = *Chain->Connection;
    Exec(c, "create table DUPLICADOS (NOMBRE varchar(20), VALOR integer)");
    Exec(c, "insert into DUPLICADOS values ('uno', 1)");
    Exec(c, "insert into DUPLICADOS values ('dos', 2)");
    Exec(c, "insert into DUPLICADOS values ('dos', 2)");
    Chain->Table->SetTableName("DUPLICADOS");
    Chain->Provider->OnUpdateError = [](TObject*, TClientDataSet*, EUpdateError& e, TUpdateKind,
                                        TResolverResponse&) { throw e; };
    open();
    ASSERT_TRUE(Chain->Client->Locate("NOMBRE", Variant("uno")));
    Chain->Client->Delete();
    ASSERT_TRUE(Chain->Client->Locate("NOMBRE", Variant("dos")));
    Chain->Client->Delete();
    try {
        Chain->Client->ApplyUpdates(-1);
        ADD_FAILURE() << "no exception";
    } catch (const EOleException& e) {
        EXPECT_EQ(e.Message, "Update affected more than 1 record");
    }
    EXPECT_EQ(Chain->Client->ChangeCount(), 2);
    EXPECT_EQ(Rows(c, "select count(*) from DUPLICADOS"), std::vector<std::string>{"3"});
    EXPECT_FALSE(c.InTransaction());
}

TEST_F(ApplyUpdates, ATransactionAlreadyActiveIsLeftToItsOwner) {
    open();
    TTransactionDesc desc = Chain->Connection->DefaultTransactionDesc();
    Chain->Connection->StartTransaction(desc);
    remove(1);
    EXPECT_EQ(Chain->Client->ApplyUpdates(0), 0);
    EXPECT_TRUE(Chain->Connection->InTransaction());
    Chain->Connection->Rollback(desc);
    EXPECT_EQ(rows(), Before);
}
