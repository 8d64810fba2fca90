#include "data/TSQLConnection.h"

#include "data/DriverLoader.h"
#include "platform/Exceptions.h"
#include "platform/Screen.h"
#include "platform/SysUtils.h"

#include <algorithm>
#include <cassert>

namespace {

// The framework part of a message, by driver status; 18 and the codes
// between 26 and 100 other than 64 and 65 have none.
const char* statusText(SQLResult status) {
    switch (status) {
    case 1:
        return "[0x0001]: Warning";
    case 2:
        return "[0x0002]: Insufficient Memory for Operation";
    case 3:
        return "[0x0003]: Invalid Field Type";
    case 4:
        return "[0x0004]: Invalid Handle";
    case 5:
        return "[0x0005]: Operation Not Supported";
    case 6:
        return "[0x0006]: Invalid Time";
    case 7:
        return "[0x0007]: Invalid Data Translation";
    case 8:
        return "[0x0008]: Parameter/Column out of Range";
    case 9:
        return "[0x0009]: Invalid Parameter";
    case 10:
        return "[0x000A]: Result set at EOF";
    case 11:
        return "Database Error [0x000B]: Parameter Not Set";
    case 12:
        return "[0x000C] Invalid Username/Password";
    case 13:
        return "[0x000D]: Invalid Precision";
    case 14:
        return "[0x000E]: Invalid Length";
    case 15:
        return "[0x000F]: Invalid Transaction Isolation Level";
    case 16:
        return "[0x0010]: Invalid Transaction ID";
    case 17:
        return "[0x0011]: Duplicate Transaction ID";
    case 19:
        return "[0x0013]: Local Transaction already active";
    case 20:
        return "[0x0014]: Multiple Transactions not Enabled";
    case 21:
        return "[0x0015]: Connection failed";
    case 22:
        return "[0x0016]: Driver initialization failed";
    case 23:
        return "[0x0017]: Optimistic Locking failed";
    case 24:
        return "[0x0018]: Invalid REF";
    case 25:
        return "[0x0019]: No table found";
    case 64:
        return "[0x0064]: No more data";
    case 65:
        return "[0x0065]: SQL Error";
    default:
        return nullptr;
    }
}

// Options sent before connecting, each only when its key is in the list.
enum class OptionKind { Text, TrimmedText, Boolean, Integer };
struct OptionKey {
    const char* Name;
    TSQLConnectionOption Option;
    OptionKind Kind;
};
constexpr OptionKey optionKeys[] = {
    {"CommitRetain", TSQLConnectionOption::CommitRetain, OptionKind::Boolean},
    {"WaitOnLocks", TSQLConnectionOption::WaitOnLocks, OptionKind::Boolean},
    {"RoleName", TSQLConnectionOption::RoleName, OptionKind::TrimmedText},
    {"ServerCharSet", TSQLConnectionOption::ServerCharSet, OptionKind::TrimmedText},
    {"SQLDialect", TSQLConnectionOption::SQLDialect, OptionKind::Integer},
    {"HostName", TSQLConnectionOption::HostName, OptionKind::TrimmedText},
    {"Server Port", TSQLConnectionOption::ServerPort, OptionKind::TrimmedText},
    {"Custom String", TSQLConnectionOption::CustomString, OptionKind::TrimmedText},
    {"AutoCommit", TSQLConnectionOption::AutoCommit, OptionKind::Boolean},
    {"BlockingMode", TSQLConnectionOption::BlockingMode, OptionKind::Boolean},
    {"OS Authentication", TSQLConnectionOption::OSAuthentication, OptionKind::Boolean},
    {"Multiple Transaction", TSQLConnectionOption::MultipleTransaction, OptionKind::Boolean},
    {"Trim Char", TSQLConnectionOption::TrimChar, OptionKind::Boolean},
    {"Connection Timeout", TSQLConnectionOption::ConnectionTimeout, OptionKind::Integer},
};

bool readBoolean(const std::string& value) {
    return UpperCase(Trim(value)) == "TRUE";
}

TDBXType driverType(TFieldType type) {
    switch (type) {
    case ftString:
    case ftFixedChar:
    case ftWideString:
    case ftGuid:
        return TDBXType::ZString;
    case ftSmallint:
        return TDBXType::Int16;
    case ftInteger:
    case ftWord:
    case ftAutoInc:
        return TDBXType::Int32;
    case ftLargeint:
        return TDBXType::Int64;
    case ftBoolean:
        return TDBXType::Boolean;
    case ftFloat:
        return TDBXType::Float;
    case ftCurrency:
    case ftBCD:
    case ftFMTBcd:
        return TDBXType::FmtBcd;
    case ftDate:
        return TDBXType::Date;
    case ftTime:
        return TDBXType::Time;
    case ftDateTime:
    case ftTimeStamp:
        return TDBXType::TimeStamp;
    case ftBlob:
    case ftMemo:
    case ftGraphic:
    case ftFmtMemo:
    case ftBytes:
    case ftVarBytes:
    case ftTypedBinary:
        return TDBXType::Blob;
    default:
        return TDBXType::Unknown;
    }
}

} // namespace

TSQLConnection::TSQLConnection(TComponent* owner) : TComponent(owner) {}

TSQLConnection::~TSQLConnection() {
    // The owner is going away: no events, but clients still give up their
    // statements before the driver goes. Nobody is left to tell of a client
    // that fails to close (a commit refused at the end of a result set).
    if (!FConnection) return;
    try {
        doDisconnect();
    } catch (...) {
    }
}

bool TSQLConnection::Connected() const {
    return FConnection && (FState == TConnectionState::csStateOpen ||
                           FState == TConnectionState::csStateExecuting);
}

void TSQLConnection::SetConnected(bool value) {
    if (value == Connected()) return;
    if (FState == TConnectionState::csStateConnecting ||
        FState == TConnectionState::csStateDisconnecting)
        return; // asked again from inside its own event
    if (value) {
        if (BeforeConnect) BeforeConnect(this);
        doConnect();
        for (TSQLConnectionClient* client : std::vector<TSQLConnectionClient*>(FClients))
            if (std::find(FClients.begin(), FClients.end(), client) != FClients.end())
                client->ConnectionOpened();
        if (AfterConnect) AfterConnect(this);
    } else {
        if (BeforeDisconnect) BeforeDisconnect(this);
        doDisconnect();
        if (AfterDisconnect) AfterDisconnect(this);
    }
}

void TSQLConnection::checkConfiguration() const {
    if (FDriverName.empty()) throw EDatabaseError("Missing DriverName property");
    if (FLibraryName.empty() || FVendorLib.empty())
        throw EDatabaseError("DLL/Shared Library Name not Set");
    if (Trim(FParams.Values("Database")).empty())
        throw EDatabaseError(FConnectionName.empty() ? "Connection name missing"
                                                     : "Missing Database property");
}

void TSQLConnection::doConnect() {
    checkConfiguration();
    FState = TConnectionState::csStateConnecting;
    try {
        std::string library = Trim(FLibraryName);
        void* module = DriverLoader::Load(library);
        if (!module) throw EDatabaseError(Format("Unable to Load %s", {library}));
        std::string entryName = Trim(FGetDriverFunc);
        auto entry = reinterpret_cast<TGetDriverFunc>(DriverLoader::Find(module, entryName));
        if (!entry) throw EDatabaseError(Format("Unable to Find Procedure %s", {entryName}));

        TBusyCursor busy;
        ISQLDriver* driver = nullptr;
        std::string errorFile = Trim(FParams.Values("ErrorResourceFile"));
        SQLResult status = entry(FVendorLib.c_str(), errorFile.c_str(), &driver);
        FDriver.reset(driver);
        if (status != DBXERR_NONE || !FDriver)
            throw EDatabaseError(Format("Unable to Load %s", {FVendorLib}));
        ISQLConnection* connection = nullptr;
        status = FDriver->getSQLConnection(&connection);
        FConnection.reset(connection);
        Check(status, FDriver.get());

        std::string password = FParams.Values("PASSWORD");
        std::string user = FParams.Values("USER_NAME");
        std::string database = Trim(FParams.Values("Database"));
        sendOptions();
        Check(FConnection->connect(database, user, password), FConnection.get());

        ISQLMetaData* metaData = nullptr;
        status = FConnection->getSQLMetaData(&metaData);
        FMetaData.reset(metaData);
        Check(status, FConnection.get());
        if (!Trim(user).empty()) FMetaData->setOption(TSQLMetaDataOption::SchemaName, Trim(user));
        readMetaData();
        FConnection->setOption(TSQLConnectionOption::BlobSize, IntToStr(DefaultBlobSize()));
        FTransactionCount = 0;
        FState = TConnectionState::csStateOpen;
    } catch (...) {
        dropConnection();
        throw;
    }
}

void TSQLConnection::sendOptions() {
    for (const OptionKey& key : optionKeys) {
        int index = FParams.IndexOfName(key.Name);
        if (index < 0) continue;
        std::string value = FParams.ValueFromIndex(index);
        switch (key.Kind) {
        case OptionKind::Text:
            break;
        case OptionKind::TrimmedText:
            value = Trim(value);
            break;
        case OptionKind::Boolean:
            value = readBoolean(value) ? "True" : "False";
            break;
        case OptionKind::Integer:
            value = IntToStr(StrToInt(value));
            break;
        }
        if (key.Option == TSQLConnectionOption::ServerCharSet && value.empty()) continue;
        FConnection->setOption(key.Option, value);
    }
}

void TSQLConnection::readMetaData() {
    std::string value;
    FQuoteChar.clear();
    if (FMetaData->getOption(TSQLMetaDataOption::ObjectQuoteChar, value) == DBXERR_NONE)
        FQuoteChar = value;
    value.clear();
    FTransactionsSupported =
        FMetaData->getOption(TSQLMetaDataOption::SupportsTransaction, value) == DBXERR_NONE &&
        readBoolean(value);
    value.clear();
    FMultipleTransactionsSupported =
        FMetaData->getOption(TSQLMetaDataOption::SupportsTransactions, value) == DBXERR_NONE &&
        readBoolean(value);
}

// Objects made by a connection go before the connection, and the connection
// before the driver that made it.
void TSQLConnection::dropConnection() {
    FMetaData.reset();
    FConnection.reset();
    FDriver.reset();
    FTransactionCount = 0;
    FState = TConnectionState::csStateClosed;
}

void TSQLConnection::doDisconnect() {
    FState = TConnectionState::csStateDisconnecting;
    std::exception_ptr failure;
    for (TSQLConnectionClient* client : std::vector<TSQLConnectionClient*>(FClients)) {
        if (std::find(FClients.begin(), FClients.end(), client) == FClients.end()) continue;
        try {
            client->ConnectionClosing();
        } catch (...) {
            if (!failure) failure = std::current_exception();
        }
    }
    FMetaData.reset();
    // Closing cannot fail for the user: a server that is gone has ended the
    // attachment already, and the driver releases it either way.
    if (FConnection) FConnection->disconnect();
    dropConnection();
    if (failure) std::rethrow_exception(failure);
}

void TSQLConnection::RegisterClient(TSQLConnectionClient* client) {
    assert(client);
    if (std::find(FClients.begin(), FClients.end(), client) == FClients.end())
        FClients.push_back(client);
}

void TSQLConnection::UnregisterClient(TSQLConnectionClient* client) {
    FClients.erase(std::remove(FClients.begin(), FClients.end(), client), FClients.end());
}

std::unique_ptr<ISQLCommand> TSQLConnection::CreateCommand() {
    if (!Connected()) Open();
    ISQLCommand* command = nullptr;
    SQLResult status = FConnection->getSQLCommand(&command);
    std::unique_ptr<ISQLCommand> result(command);
    Check(status, FConnection.get());
    return result;
}

std::string TSQLConnection::ErrorMessage(SQLResult status, ISQLErrorSource* source,
                                         const std::string& lastMessage) const {
    std::string message;
    if (status >= 1 && status <= 100)
        if (const char* text = statusText(status)) message = std::string("Database Error: ") + text;
    uint16_t length = 0;
    if (source && source->getErrorMessageLen(length) == DBXERR_NONE && length > 0) {
        std::string server;
        if (source->getErrorMessage(server) == DBXERR_NONE && !server.empty()) {
            if (!message.empty()) message += "\r\n";
            message += "SQL Server Error: " + server;
        }
    }
    if (message.empty()) message = lastMessage;
    if (message.empty()) message = "Database Error: Unknown Error Code '" + IntToStr(status) + "'";
    return message;
}

void TSQLConnection::Check(SQLResult status, ISQLErrorSource* source, std::string* lastMessage) {
    if (status == DBXERR_NONE) return;
    std::string& last = lastMessage ? *lastMessage : FLastMessage;
    last = ErrorMessage(status, source, last);
    throw EDatabaseError(last);
}

int TSQLConnection::Execute(const std::string& sql, const TParams& params) {
    if (!Connected()) Open();
    std::string text = ReplaceNamedParams(sql, nullptr);
    // Back to open whichever way the statement ends.
    struct ExecutingState {
        TSQLConnection& C;
        explicit ExecutingState(TSQLConnection& c) : C(c) {
            C.FState = TConnectionState::csStateExecuting;
        }
        ~ExecutingState() {
            if (C.FState == TConnectionState::csStateExecuting)
                C.FState = TConnectionState::csStateOpen;
        }
    } executing(*this);

    std::unique_ptr<ISQLCommand> command = CreateCommand();
    std::vector<const TParam*> inputs;
    for (int i = 0; i < params.Count(); ++i) {
        const TParam& p = params.Items(i);
        if (p.ParamType == ptOutput || p.ParamType == ptResult) continue;
        inputs.push_back(&p);
    }
    std::unique_ptr<ISQLCursor> result = ExecuteCommand(*command, text, inputs);
    if (result) Check(result->close(), result.get());
    uint32_t rows = 0;
    Check(command->getRowsAffected(rows), command.get());
    command->close();
    return static_cast<int>(rows);
}

std::unique_ptr<ISQLCursor> TSQLConnection::ExecuteCommand(ISQLCommand& command,
                                                           const std::string& sql,
                                                           std::span<const TParam* const> params,
                                                           std::string* lastMessage) {
    Check(command.prepare(sql, static_cast<uint16_t>(params.size())), &command, lastMessage);
    return ExecutePrepared(command, params, lastMessage);
}

std::unique_ptr<ISQLCursor> TSQLConnection::ExecutePrepared(ISQLCommand& command,
                                                            std::span<const TParam* const> params,
                                                            std::string* lastMessage) {
    for (size_t i = 0; i < params.size(); ++i)
        Check(command.setParameter(static_cast<uint16_t>(i + 1), ToDriverValue(*params[i])),
              &command, lastMessage);
    ISQLCursor* cursor = nullptr;
    SQLResult status = command.execute(&cursor);
    // Owned before the status is looked at, so that a cursor handed out with
    // a failure is freed too.
    std::unique_ptr<ISQLCursor> result(cursor);
    Check(status, &command, lastMessage);
    return result;
}

bool TSQLConnection::FetchNext(ISQLCursor& cursor, std::string* lastMessage) {
    SQLResult status = cursor.next();
    if (status == DBXERR_EOF) return false;
    Check(status, &cursor, lastMessage);
    return true;
}

std::string TSQLConnection::QuoteChar() const {
    return FQuoteChar;
}

TTransactionDesc TSQLConnection::DefaultTransactionDesc() const {
    TTransactionDesc desc;
    desc.TransactionID = 1;
    std::string level = LowerCase(FParams.Values(FDriverName + " TransIsolation"));
    if (level == "repeatableread")
        desc.IsolationLevel = xilREPEATABLEREAD;
    else if (level == "dirtyread")
        desc.IsolationLevel = xilDIRTYREAD;
    else
        desc.IsolationLevel = xilREADCOMMITTED;
    return desc;
}

void TSQLConnection::checkOpenForTransaction() {
    if (!Connected()) throw EDatabaseError("Cannot perform this operation on a closed connection");
}

void TSQLConnection::StartTransaction(const TTransactionDesc& desc) {
    if (!Connected()) Open();
    checkOpenForTransaction();
    if (!FTransactionsSupported) return;
    if (InTransaction() && !FMultipleTransactionsSupported)
        throw EDatabaseError("A transaction is already active");
    SQLResult status = FConnection->beginTransaction(desc);
    if (status != DBXERR_NOTSUPPORTED) Check(status, FConnection.get());
    ++FTransactionCount;
}

void TSQLConnection::Commit(const TTransactionDesc& desc) {
    checkOpenForTransaction();
    if (!FTransactionsSupported) return;
    if (!InTransaction()) throw EDatabaseError("There is no active transaction");
    SQLResult status = FConnection->commit(desc.TransactionID);
    // The driver ends the transaction even when the commit fails (it rolls it
    // back), so it is no longer active whatever the answer.
    --FTransactionCount;
    if (status != DBXERR_NOTSUPPORTED) Check(status, FConnection.get());
}

void TSQLConnection::Rollback(const TTransactionDesc& desc) {
    checkOpenForTransaction();
    if (!FTransactionsSupported) return;
    if (!InTransaction()) throw EDatabaseError("There is no active transaction");
    SQLResult status = FConnection->rollback(desc.TransactionID);
    --FTransactionCount;
    if (status != DBXERR_NOTSUPPORTED) Check(status, FConnection.get());
}

int TSQLConnection::LocaleCode() const {
    int index = FParams.IndexOfName("LocaleCode");
    if (index < 0) return 0;
    std::string value = FParams.ValueFromIndex(index);
    if (Trim(value).empty()) return 0;
    return StrToInt("$" + value);
}

int TSQLConnection::DefaultBlobSize() const {
    int index = FParams.IndexOfName("BlobSize");
    if (index < 0) return -1;
    return StrToInt(FParams.ValueFromIndex(index));
}

TDBXValue TSQLConnection::ToDriverValue(const TParam& param) {
    TDBXValue v;
    v.Type = driverType(param.DataType);
    v.IsNull = param.Value.IsEmpty();
    if (v.IsNull) return v;
    const Variant& value = param.Value;
    switch (value.Type()) {
    case TVarType::Boolean:
        v.Type = TDBXType::Boolean;
        v.Int = value.Get<bool>() ? 1 : 0;
        break;
    case TVarType::Integer:
        v.Type = TDBXType::Int32;
        v.Int = value.Get<int32_t>();
        break;
    case TVarType::LargeInt:
        v.Type = TDBXType::Int64;
        v.Int = value.Get<int64_t>();
        break;
    case TVarType::Double:
        v.Type = TDBXType::Float;
        v.Float = value.Get<double>();
        break;
    case TVarType::Currency:
        v.Type = TDBXType::FmtBcd;
        v.Int = value.Get<Currency>().Units;
        v.Scale = 4;
        break;
    case TVarType::Bcd:
        v.Type = TDBXType::FmtBcd;
        v.Int = value.Get<TBcd>().Value;
        v.Scale = value.Get<TBcd>().Scale;
        break;
    case TVarType::Date:
        v.Type = param.DataType == ftDate   ? TDBXType::Date
                 : param.DataType == ftTime ? TDBXType::Time
                                            : TDBXType::TimeStamp;
        v.DateTime = value.Get<TDateTime>();
        break;
    case TVarType::String:
        v.Type = v.Type == TDBXType::Blob ? TDBXType::Blob : TDBXType::ZString;
        v.Text = value.Get<std::string>();
        break;
    case TVarType::Unassigned:
    case TVarType::Null:
        break;
    }
    return v;
}
