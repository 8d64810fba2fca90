#pragma once
// The contract between the connection and a database driver module. The
// module (libfbdriver.so) is loaded at run time and exports one entry:
//
//   extern "C" SQLResult getSQLDriverINTERBASE(const char* vendorLib,
//                                              const char* errorResourceFile,
//                                              ISQLDriver** driver);
//
// and may export a second, which the program calls once as it ends, after
// its last connection is closed (DriverLoader::ShutdownModules), so that the
// client library stops its threads before the process tears itself down:
//
//   extern "C" void shutdownSQLDriver();
//
// Every call returns a status: 0 success, 1..100 the framework's codes below,
// above 100 a statement or request the server refused (the driver passes the
// server's own error code). A failing object gives its error text through
// getErrorMessageLen/getErrorMessage, length first. The caller owns every
// object it receives and deletes it before the module is unloaded; objects
// made by a connection are deleted before the connection.

#include "platform/DateUtils.h"

#include <cstdint>
#include <string>

using SQLResult = int32_t;

enum : SQLResult {
    DBXERR_NONE = 0,
    DBXERR_WARNING = 1,
    DBXERR_NOMEMORY = 2,
    DBXERR_INVALIDFLDTYPE = 3,
    DBXERR_INVALIDHNDL = 4,
    DBXERR_NOTSUPPORTED = 5,
    DBXERR_INVALIDTIME = 6,
    DBXERR_INVALIDXLATION = 7,
    DBXERR_OUTOFRANGE = 8,
    DBXERR_INVALIDPARAM = 9,
    DBXERR_EOF = 10,
    DBXERR_SQLPARAMNOTSET = 11,
    DBXERR_INVALIDUSRPASS = 12,
    DBXERR_INVALIDPRECISION = 13,
    DBXERR_INVALIDLEN = 14,
    DBXERR_INVALIDISOLATIONLEVEL = 15,
    DBXERR_INVALIDTXNID = 16,
    DBXERR_DUPLICATETXNID = 17,
    DBXERR_DRIVERRESTRICTED = 18,
    DBXERR_LOCALTRANSACTIVE = 19,
    DBXERR_MULTIPLETRANSNOTENABLED = 20,
    DBXERR_CONNECTIONFAILED = 21,
    DBXERR_DRIVERINITFAILED = 22,
    DBXERR_OPTLOCKFAILED = 23,
    DBXERR_INVALIDREF = 24,
    DBXERR_NOTABLE = 25,
    DBXERR_NODATA = 64,
    DBXERR_SQLERROR = 65,
};

// Logical column and parameter types. The families the datasets map them to:
// INT16/INT32/INT64 integer, DATE/TIME/TIMESTAMP date-and-time, FMTBCD exact
// decimal (precision and scale given), FLOAT, ZSTRING text, BLOB.
enum class TDBXType : uint8_t { Unknown, Int16, Int32, Int64, Float, FmtBcd, Date, Time, TimeStamp, ZString, Blob, Boolean };

// One value crossing the driver boundary. Text is UTF-8 on our side; the
// driver converts it to and from the column's character set.
struct TDBXValue {
    TDBXType Type = TDBXType::Unknown;
    bool IsNull = true;
    int64_t Int = 0;       // Int16/Int32/Int64/Boolean; FmtBcd: the scaled integer
    int Scale = 0;         // FmtBcd: digits after the decimal point (4 for NUMERIC(15,4))
    double Float = 0;      // Float
    TDateTime DateTime;    // Date (whole days), Time (fraction), TimeStamp
    std::string Text;      // ZString, Blob
};

struct TDBXColumn {
    std::string Name;
    TDBXType Type = TDBXType::Unknown;
    int Precision = 0; // FmtBcd digits; ZString: maximum characters
    int Scale = 0;     // FmtBcd
    int Length = 0;    // bytes the server reserves
    bool Nullable = true;
};

enum TTransIsolationLevel : int { xilREADCOMMITTED = 0, xilREPEATABLEREAD = 1, xilDIRTYREAD = 2 };

struct TTransactionDesc {
    uint32_t TransactionID = 1;
    uint32_t GlobalID = 0;
    TTransIsolationLevel IsolationLevel = xilREADCOMMITTED;
    uint32_t CustomIsolation = 0;
};

enum class TSQLConnectionOption : uint8_t {
    BlobSize,               // int
    WaitOnLocks,            // bool
    CommitRetain,           // bool
    RoleName,               // text
    ServerCharSet,          // text
    SQLDialect,             // int
    HostName,               // text
    ServerPort,             // text
    CustomString,           // text
    AutoCommit,             // bool
    BlockingMode,           // bool
    OSAuthentication,       // bool
    MultipleTransaction,    // bool
    TrimChar,               // bool
    ConnectionTimeout,      // int
};

enum class TSQLMetaDataOption : uint8_t {
    ObjectQuoteChar,        // text: the identifier quote character, empty for none
    SupportsTransaction,    // bool
    SupportsTransactions,   // bool: several at once
    SchemaName,             // text (set)
};

class ISQLErrorSource {
public:
    virtual ~ISQLErrorSource() = default;
    // The text of the last failure of this object; 0 length when it has none.
    virtual SQLResult getErrorMessageLen(uint16_t& length) = 0;
    virtual SQLResult getErrorMessage(std::string& message) = 0;
};

// A forward-only result set. Columns count from 1.
class ISQLCursor : public ISQLErrorSource {
public:
    virtual SQLResult getColumnCount(uint16_t& count) = 0;
    virtual SQLResult getColumn(uint16_t column, TDBXColumn& description) = 0;
    // DBXERR_NONE with a row, DBXERR_EOF after the last.
    virtual SQLResult next() = 0;
    virtual SQLResult getValue(uint16_t column, TDBXValue& value) = 0;
    // Ends the result set; a cursor that runs in the driver's own
    // transaction commits it here, and reports a commit the server refuses.
    // The destructor does the same but cannot report. Reaching the end with
    // next() also ends it.
    virtual SQLResult close() = 0;
};

// One statement. Parameters count from 1 and are positional ("?").
class ISQLCommand : public ISQLErrorSource {
public:
    virtual SQLResult prepare(const std::string& sql, uint16_t paramCount) = 0;
    virtual SQLResult setParameter(uint16_t index, const TDBXValue& value) = 0;
    // cursor is set when the statement returns rows, else left null.
    virtual SQLResult execute(ISQLCursor** cursor) = 0;
    virtual SQLResult getRowsAffected(uint32_t& rows) = 0;
    // Frees the statement on the server; also done by the destructor.
    virtual SQLResult close() = 0;
};

class ISQLMetaData : public ISQLErrorSource {
public:
    virtual SQLResult setOption(TSQLMetaDataOption option, const std::string& value) = 0;
    virtual SQLResult getOption(TSQLMetaDataOption option, std::string& value) = 0;
};

class ISQLConnection : public ISQLErrorSource {
public:
    // Options are sent before connect (BlobSize also after); values are text:
    // booleans "True" or "False", integers in decimal. An option the driver
    // accepts but does not act on answers DBXERR_NOTSUPPORTED, a value it
    // cannot read DBXERR_INVALIDPARAM. Without ServerCharSet the connection
    // character set is UTF8, so text of any column charset arrives as UTF-8.
    virtual SQLResult setOption(TSQLConnectionOption option, const std::string& value) = 0;
    // database: an embedded file path, or "host:path" / "host/port:path".
    virtual SQLResult connect(const std::string& database, const std::string& user,
                              const std::string& password) = 0;
    virtual SQLResult disconnect() = 0;
    virtual SQLResult getSQLCommand(ISQLCommand** command) = 0;
    virtual SQLResult getSQLMetaData(ISQLMetaData** metaData) = 0;
    // Without an explicit transaction each statement's work is committed by
    // the driver itself; a cursor's when the cursor is deleted.
    virtual SQLResult beginTransaction(const TTransactionDesc& desc) = 0;
    virtual SQLResult commit(uint32_t transactionID) = 0;
    virtual SQLResult rollback(uint32_t transactionID) = 0;
};

class ISQLDriver : public ISQLErrorSource {
public:
    virtual SQLResult getSQLConnection(ISQLConnection** connection) = 0;
};

using TGetDriverFunc = SQLResult (*)(const char* vendorLib, const char* errorResourceFile,
                                     ISQLDriver** driver);
using TShutdownDriverFunc = void (*)();
constexpr const char* kShutdownDriverEntry = "shutdownSQLDriver";
