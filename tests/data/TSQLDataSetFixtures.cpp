#include "TSQLDataSetFixtures.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace sqlfixtures {

std::string CopyCompanyDatabase(const testsupport::TempDir& dir) {
    std::string path = dir.File("talvero.fdb");
    std::filesystem::copy_file(testsupport::CompanyDatabaseTemplate(), path);
    return path;
}

TSQLConnection* NewConnection(const std::string& database, TComponent* owner) {
    auto* c = new TSQLConnection(owner);
    c->SetName("Talvero");
    c->SetConnectionName("Talvero");
    c->SetDriverName("Interbase");
    c->SetLibraryName("libfbdriver.so");
    c->SetGetDriverFunc("getSQLDriverINTERBASE");
    c->SetVendorLib("libfbclient.so.2");
    c->SetLoginPrompt(false);
    TStrings& p = c->Params();
    p.Add("DriverName=Interbase");
    p.Add("BlobSize=-1");
    p.Add("CommitRetain=False");
    p.Add("Database=" + database);
    p.Add("ErrorResourceFile=");
    p.Add("LocaleCode=0000");
    p.Add("Password=masterkey");
    p.Add("SQLDialect=3");
    p.Add("Interbase TransIsolation=ReadCommited");
    p.Add("User_Name=sysdba");
    p.Add("WaitOnLocks=True");
    return c;
}

SQLResult TRecordingCommand::getErrorMessageLen(uint16_t& length) {
    return FCommand->getErrorMessageLen(length);
}
SQLResult TRecordingCommand::getErrorMessage(std::string& message) {
    return FCommand->getErrorMessage(message);
}
SQLResult TRecordingCommand::prepare(const std::string& sql, uint16_t paramCount) {
    FSQL = sql;
    FParams.assign(paramCount, TDBXValue{});
    FLog.Prepared.push_back(sql);
    return FCommand->prepare(sql, paramCount);
}
SQLResult TRecordingCommand::setParameter(uint16_t index, const TDBXValue& value) {
    if (index >= 1 && index <= FParams.size()) FParams[index - 1] = value;
    return FCommand->setParameter(index, value);
}
SQLResult TRecordingCommand::execute(ISQLCursor** cursor) {
    FLog.Executed.push_back({FSQL, FParams});
    return FCommand->execute(cursor);
}
SQLResult TRecordingCommand::getRowsAffected(uint32_t& rows) {
    return FCommand->getRowsAffected(rows);
}
SQLResult TRecordingCommand::close() {
    return FCommand->close();
}

std::vector<std::string> AdjustmentRows(TSQLConnection& connection) {
    return Rows(connection, "select AJCI_ID, AJCI_FECINI, AJCI_FECFIN, AJCI_PORC, AJCI_FACTOR "
                            "from AJUSTE_CIERRE order by AJCI_ID");
}

int Exec(TSQLConnection& connection, const std::string& sql) {
    return connection.Execute(sql, TParams());
}

AdjustmentChain::AdjustmentChain(const std::string& database)
    : Owner(std::make_unique<TComponent>()) {
    Connection = NewConnection(database, Owner.get());
    Table = new TRecordingSQLTable(Owner.get());
    Table->SetName("TAjuste");
    Table->SetSQLConnection(Connection);
    Table->SetTableName("AJUSTE_CIERRE");
    Table->SetGetMetadata(false);
    Table->SetMaxBlobSize(-1);
    Provider = new TDataSetProvider(Owner.get());
    Provider->SetName("PAjuste");
    Provider->SetDataSet(Table);
    Client = new TClientDataSet(Owner.get());
    Client->SetName("CAjuste");
    Client->SetProviderName("PAjuste");
}

AdjustmentChain::~AdjustmentChain() = default;

void AdjustmentChainTest::SetUp() {
    Database = CopyCompanyDatabase(Dir);
    Chain = std::make_unique<AdjustmentChain>(Database);
    Exec(*Chain->Connection,
         "insert into AJUSTE_CIERRE values (1, '2016-03-01', '2016-03-31', 19, 0.8)");
    Exec(*Chain->Connection, "insert into AJUSTE_CIERRE values (2, '2016-03-01', null, 5, 0.8)");
    Exec(*Chain->Connection,
         "insert into AJUSTE_CIERRE values (3, '2016-04-01', '2016-04-30', 19, 0.8)");
    Before = AdjustmentRows(*Chain->Connection);
}

} // namespace sqlfixtures
