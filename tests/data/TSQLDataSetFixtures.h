#pragma once
// Shared by the SQL dataset, provider, apply and chain tests: company
// databases copied from one made per test run, connections configured as
// the window's, SQL datasets that record every statement on its way to the
// real driver, and small readers of what the database holds.

#include "data/TClientDataSet.h"
#include "data/TDataSetProvider.h"
#include "data/TSQLConnection.h"
#include "data/TSQLQuery.h"
#include "data/TSQLTable.h"
#include "support/CompanyDatabase.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace sqlfixtures {

// A fresh company database (schema and sample data) at dir/talvero.fdb:
// a copy of one made with db/create-database and kept in the build folder
// until db/ changes.
std::string CopyCompanyDatabase(const testsupport::TempDir& dir);

// Configured as the window's connection, on database, closed.
TSQLConnection* NewConnection(const std::string& database, TComponent* owner);

// One statement as the driver received it: the text it prepared and the
// parameters bound for one execution.
struct Statement {
    std::string SQL;
    std::vector<TDBXValue> Params;
};

struct StatementLog {
    std::vector<std::string> Prepared;
    std::vector<Statement> Executed;
};

// Wraps the driver's command and passes every call through unchanged,
// noting what it saw.
class TRecordingCommand : public ISQLCommand {
public:
    TRecordingCommand(std::unique_ptr<ISQLCommand> command, StatementLog& log)
        : FCommand(std::move(command)), FLog(log) {}
    SQLResult getErrorMessageLen(uint16_t& length) override;
    SQLResult getErrorMessage(std::string& message) override;
    SQLResult prepare(const std::string& sql, uint16_t paramCount) override;
    SQLResult setParameter(uint16_t index, const TDBXValue& value) override;
    SQLResult execute(ISQLCursor** cursor) override;
    SQLResult getRowsAffected(uint32_t& rows) override;
    SQLResult close() override;

private:
    std::unique_ptr<ISQLCommand> FCommand;
    StatementLog& FLog;
    std::string FSQL;
    std::vector<TDBXValue> FParams;
};

template <class Base> class TRecording : public Base {
public:
    using Base::Base;
    std::unique_ptr<ISQLCommand> CreateCommand() override {
        return std::make_unique<TRecordingCommand>(Base::CreateCommand(), Log);
    }
    StatementLog Log;
};
using TRecordingSQLTable = TRecording<TSQLTable>;
using TRecordingSQLQuery = TRecording<TSQLQuery>;

using testsupport::ParamsText;
using testsupport::Rows;
using testsupport::ValueText;

// The rows of the closing-adjustment table, ordered by AJCI_ID.
std::vector<std::string> AdjustmentRows(TSQLConnection& connection);
int Exec(TSQLConnection& connection, const std::string& sql);

// The chain of the closing-adjustment editor: table, provider and client
// dataset owned by one component, over a connection of their own.
struct AdjustmentChain {
    explicit AdjustmentChain(const std::string& database);
    ~AdjustmentChain();
    std::unique_ptr<TComponent> Owner;
    TSQLConnection* Connection;
    TRecordingSQLTable* Table;
    TDataSetProvider* Provider;
    TClientDataSet* Client;
};

// The chain over a fresh company database whose AJUSTE_CIERRE holds three
// rows: 1 and 2 starting on 2016-03-01 (2 with no end), 3 on 2016-04-01.
// Before holds them as AdjustmentRows reads them.
class AdjustmentChainTest : public ::testing::Test {
protected:
    void SetUp() override;

    testsupport::TempDir Dir;
    std::string Database;
    std::unique_ptr<AdjustmentChain> Chain;
    std::vector<std::string> Before;
};

} // namespace sqlfixtures
