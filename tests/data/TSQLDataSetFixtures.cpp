#include "TSQLDataSetFixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <unistd.h>

namespace sqlfixtures {

namespace {

// A digest of what db/create-database makes a database from, so that a
// cached database is made again when the schema or the sample changes.
std::string schemaDigest() {
    namespace fs = std::filesystem;
    std::vector<fs::path> files = {fs::path(testsupport::SourceDir()) / "db" / "create-database"};
    for (const auto& e : fs::directory_iterator(fs::path(testsupport::SourceDir()) / "db" / "sql"))
        files.push_back(e.path());
    std::sort(files.begin(), files.end());
    uint64_t h = 1469598103934665603ULL; // FNV-1a
    for (const fs::path& f : files)
        for (char c : f.filename().string() + testsupport::ReadFile(f.string()))
            h = (h ^ static_cast<unsigned char>(c)) * 1099511628211ULL;
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(h));
    return text;
}

// The company database every test copies. Each test runs in a process of
// its own under CTest, so the database is kept in the build folder and made
// only when missing; it is made aside and renamed into place, so that tests
// running side by side never copy a half-made file.
std::string templateDatabase() {
    namespace fs = std::filesystem;
    static std::string path = [] {
        fs::path cache = fs::path(testsupport::BinaryDir()) / "test-cache";
        fs::create_directories(cache);
        fs::path target = cache / ("company-" + schemaDigest() + ".fdb");
        if (fs::exists(target)) return target.string();
        testsupport::TempDir scratch;
        std::string made = scratch.File("company.fdb");
        testsupport::CreateCompanyDatabase(made);
        fs::path staged = cache / ("company-" + std::to_string(getpid()) + ".tmp");
        fs::copy_file(made, staged, fs::copy_options::overwrite_existing);
        fs::rename(staged, target);
        return target.string();
    }();
    return path;
}

} // namespace

std::string CopyCompanyDatabase(const testsupport::TempDir& dir) {
    std::string path = dir.File("talvero.fdb");
    std::filesystem::copy_file(templateDatabase(), path);
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

std::string ValueText(const TDBXValue& v) {
    if (v.IsNull) return "null";
    switch (v.Type) {
    case TDBXType::Int16:
    case TDBXType::Int32:
    case TDBXType::Int64:
        return std::to_string(v.Int);
    case TDBXType::Boolean:
        return v.Int ? "true" : "false";
    case TDBXType::FmtBcd:
        return BcdToStr(TBcd{v.Int, v.Scale});
    case TDBXType::Float:
        return std::to_string(v.Float);
    case TDBXType::Date:
    case TDBXType::TimeStamp: {
        int y, m, d;
        DecodeDate(v.DateTime, y, m, d);
        char buf[16];
        std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", y, m, d);
        return buf;
    }
    default:
        return v.Text;
    }
}

std::string ParamsText(const std::vector<TDBXValue>& params) {
    std::string s;
    for (size_t i = 0; i < params.size(); ++i)
        s += (i ? "|" : "") + ValueText(params[i]);
    return s;
}

std::vector<std::string> Rows(TSQLConnection& connection, const std::string& sql) {
    std::vector<std::string> rows;
    std::unique_ptr<ISQLCommand> command = connection.CreateCommand();
    connection.Check(command->prepare(sql, 0), command.get());
    ISQLCursor* raw = nullptr;
    connection.Check(command->execute(&raw), command.get());
    std::unique_ptr<ISQLCursor> cursor(raw);
    if (!cursor) return rows;
    uint16_t count = 0;
    cursor->getColumnCount(count);
    while (cursor->next() == DBXERR_NONE) {
        std::vector<TDBXValue> values(count);
        for (uint16_t i = 0; i < count; ++i)
            connection.Check(cursor->getValue(i + 1, values[i]), cursor.get());
        rows.push_back(ParamsText(values));
    }
    cursor->close();
    return rows;
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

} // namespace sqlfixtures
