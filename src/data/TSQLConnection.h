#pragma once
// The database connection: configuration, the parameter list, the driver
// module behind it, single statements and transactions for the provider, and
// the wording of every database error. It is the one place that turns a
// driver status into an EDatabaseError.

#include "data/DriverIntf.h"
#include "data/Params.h"
#include "platform/Classes.h"

#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

class TSQLConnection;

// A user of the connection's statements (an SQL dataset). It is told before
// the connection closes, so that it closes itself and frees its statement.
class TSQLConnectionClient {
public:
    virtual ~TSQLConnectionClient() = default;
    virtual void ConnectionClosing() = 0;
    // After the connection opened; most clients have nothing to do then.
    virtual void ConnectionOpened() {}
};

enum class TConnectionState {
    csStateClosed,
    csStateOpen,
    csStateConnecting,
    csStateExecuting,
    csStateFetching,
    csStateDisconnecting,
};

class TSQLConnection : public TComponent {
public:
    explicit TSQLConnection(TComponent* owner = nullptr);
    ~TSQLConnection() override;

    const std::string& ConnectionName() const { return FConnectionName; }
    void SetConnectionName(std::string value) { FConnectionName = std::move(value); }
    const std::string& DriverName() const { return FDriverName; }
    void SetDriverName(std::string value) { FDriverName = std::move(value); }
    // The driver module, found in the program's folder first, then on the
    // system's library path.
    const std::string& LibraryName() const { return FLibraryName; }
    void SetLibraryName(std::string value) { FLibraryName = std::move(value); }
    // The entry the driver module exports.
    const std::string& GetDriverFunc() const { return FGetDriverFunc; }
    void SetGetDriverFunc(std::string value) { FGetDriverFunc = std::move(value); }
    // The database client library the driver loads.
    const std::string& VendorLib() const { return FVendorLib; }
    void SetVendorLib(std::string value) { FVendorLib = std::move(value); }
    bool LoginPrompt() const { return FLoginPrompt; }
    void SetLoginPrompt(bool value) { FLoginPrompt = value; }
    bool LoadParamsOnConnect() const { return FLoadParamsOnConnect; }
    void SetLoadParamsOnConnect(bool value) { FLoadParamsOnConnect = value; }
    bool KeepConnection() const { return FKeepConnection; }
    void SetKeepConnection(bool value) { FKeepConnection = value; }

    // name=value lines, found without regard to case, the first match counting.
    TStrings& Params() { return FParams; }
    const TStrings& Params() const { return FParams; }

    // True only while the driver connection exists and the state is open or
    // executing. Setting the value it already has does nothing.
    bool Connected() const;
    void SetConnected(bool value);
    void Open() { SetConnected(true); }
    void Close() { SetConnected(false); }
    TConnectionState State() const { return FState; }

    std::function<void(TObject*)> BeforeConnect, AfterConnect, BeforeDisconnect, AfterDisconnect;

    // For SQL datasets. A client is told before the connection closes, so
    // that it closes itself and frees its statement.
    void RegisterClient(TSQLConnectionClient* client);
    void UnregisterClient(TSQLConnectionClient* client);
    // A new statement object; opens the connection when it is closed. The
    // caller deletes it before the connection closes (ConnectionClosing).
    std::unique_ptr<ISQLCommand> CreateCommand();
    // Raises EDatabaseError with the composed message when status != 0.
    // lastMessage: the dataset's own last message for the fallback rule
    // (null: the connection's).
    void Check(SQLResult status, ISQLErrorSource* source, std::string* lastMessage = nullptr);
    // Runs one statement with positional parameters and returns the rows it
    // affected; opens on demand; state executing meanwhile; named markers
    // turned into "?" first (data/Params.h ReplaceNamedParams).
    int Execute(const std::string& sql, const TParams& params);

    // Every statement reaches the driver through these two, which check every
    // status as Check does (lastMessage likewise). ExecuteCommand prepares
    // sql on command for params.size() "?" markers, binds params by position
    // (1, 2, ...) and executes; ExecutePrepared runs a command prepared
    // before with new values. The result set, when the statement gives rows,
    // is the caller's; null otherwise.
    std::unique_ptr<ISQLCursor> ExecuteCommand(ISQLCommand& command, const std::string& sql,
                                               std::span<const TParam* const> params,
                                               std::string* lastMessage = nullptr);
    std::unique_ptr<ISQLCursor> ExecutePrepared(ISQLCommand& command,
                                                std::span<const TParam* const> params,
                                                std::string* lastMessage = nullptr);
    // Steps cursor to its next row: true on a row, false after the last one;
    // any other status raises as Check does.
    bool FetchNext(ISQLCursor& cursor, std::string* lastMessage = nullptr);

    std::string QuoteChar() const; // from the metadata, "" for none
    bool TransactionsSupported() const { return FTransactionsSupported; }
    bool MultipleTransactionsSupported() const { return FMultipleTransactionsSupported; }
    TTransactionDesc DefaultTransactionDesc() const; // id 1, isolation from Params
    void StartTransaction(const TTransactionDesc& desc);
    void Commit(const TTransactionDesc& desc);
    void Rollback(const TTransactionDesc& desc);
    // True while more transactions were started than ended.
    bool InTransaction() const { return FTransactionCount > 0; }

    int LocaleCode() const;      // "LocaleCode" read as hex, 0 when absent
    int DefaultBlobSize() const; // "BlobSize", -1 when absent

    // The last composed error message of this connection.
    const std::string& LastMessage() const { return FLastMessage; }

    // The message Check would raise for status and source, without raising.
    std::string ErrorMessage(SQLResult status, ISQLErrorSource* source,
                             const std::string& lastMessage) const;

    // Turns a value into what the driver binds (exposed for the SQL datasets,
    // which bind their own parameters the same way).
    static TDBXValue ToDriverValue(const TParam& param);

private:
    void doConnect();
    void doDisconnect();
    void checkConfiguration() const;
    void sendOptions();
    void readMetaData();
    void checkOpenForTransaction();
    void dropConnection();

    std::string FConnectionName;
    std::string FDriverName;
    std::string FLibraryName;
    std::string FGetDriverFunc;
    std::string FVendorLib;
    bool FLoginPrompt = true;
    bool FLoadParamsOnConnect = false;
    bool FKeepConnection = true;
    TStringList FParams;

    TConnectionState FState = TConnectionState::csStateClosed;
    std::unique_ptr<ISQLDriver> FDriver;
    std::unique_ptr<ISQLConnection> FConnection;
    std::unique_ptr<ISQLMetaData> FMetaData;
    std::string FQuoteChar;
    bool FTransactionsSupported = false;
    bool FMultipleTransactionsSupported = false;
    int FTransactionCount = 0;
    std::string FLastMessage;
    std::vector<TSQLConnectionClient*> FClients;
};
