#include "data/TCustomSQLDataSet.h"

#include "platform/SysUtils.h"

#include <algorithm>
#include <exception>

namespace {

// Texts and blobs are sized within what the engine keeps, so that every
// description the dataset makes is one the engine accepts.
constexpr int kMaxStringBytes = kDSMaxStringSize;

} // namespace

TCustomSQLDataSet::TCustomSQLDataSet(TComponent* owner) : TDataSet(owner) {
    SetUniDirectional(true);
}

TCustomSQLDataSet::~TCustomSQLDataSet() {
    // The base destructor can no longer reach InternalClose.
    try {
        Close();
    } catch (...) {
    }
    try {
        InternalClose();
    } catch (...) {
    }
    if (FConnection) FConnection->UnregisterClient(this);
}

void TCustomSQLDataSet::SetSQLConnection(TSQLConnection* connection) {
    if (connection == FConnection) return;
    Close();
    if (FConnection) FConnection->UnregisterClient(this);
    FConnection = connection;
    if (FConnection) FConnection->RegisterClient(this);
}

void TCustomSQLDataSet::ConnectionClosing() {
    Close();
}

void TCustomSQLDataSet::Notification(TComponent* component, bool removing) {
    TDataSet::Notification(component, removing);
    if (removing && component == FConnection) {
        Close();
        FConnection->UnregisterClient(this);
        FConnection = nullptr;
    }
}

TSQLConnection& TCustomSQLDataSet::checkConnection() const {
    if (!FConnection) DatabaseError("Missing SQLConnection property");
    return *FConnection;
}

void TCustomSQLDataSet::check(SQLResult status, ISQLErrorSource* source) {
    if (status != DBXERR_NONE) checkConnection().Check(status, source, &FLastMessage);
}

std::unique_ptr<ISQLCursor>
TCustomSQLDataSet::executeCommand(ISQLCommand& command, const std::string& sql,
                                  std::span<const TParam* const> params) {
    return checkConnection().ExecuteCommand(command, sql, params, &FLastMessage);
}

bool TCustomSQLDataSet::fetchNext(ISQLCursor& cursor) {
    return checkConnection().FetchNext(cursor, &FLastMessage);
}

std::unique_ptr<ISQLCommand> TCustomSQLDataSet::CreateCommand() {
    return checkConnection().CreateCommand();
}

std::string TCustomSQLDataSet::PSGetQuoteChar() {
    TSQLConnection& connection = checkConnection();
    connection.Open();
    return connection.QuoteChar();
}

bool TCustomSQLDataSet::PSInTransaction() const {
    return FConnection && FConnection->InTransaction();
}

void TCustomSQLDataSet::PSStartTransaction() {
    TSQLConnection& connection = checkConnection();
    connection.Open();
    FTransaction = connection.DefaultTransactionDesc();
    connection.StartTransaction(FTransaction);
}

void TCustomSQLDataSet::PSEndTransaction(bool commit) {
    TSQLConnection& connection = checkConnection();
    if (commit)
        connection.Commit(FTransaction);
    else
        connection.Rollback(FTransaction);
}

int TCustomSQLDataSet::PSExecuteStatement(const std::string& sql, const TParams& params) {
    return checkConnection().Execute(sql, params);
}

int TCustomSQLDataSet::blobLimitKilobytes() const {
    return FMaxBlobSize != 0 ? FMaxBlobSize : checkConnection().DefaultBlobSize();
}

int TCustomSQLDataSet::blobLimit() const {
    int kilobytes = blobLimitKilobytes();
    if (kilobytes < 0 || kilobytes > kMaxStringBytes / 1024) return kMaxStringBytes;
    return kilobytes * 1024;
}

TFieldDef TCustomSQLDataSet::fieldDefOf(const TDBXColumn& column) const {
    TFieldDef def;
    DSFieldDesc& d = def.Desc;
    d.Name = column.Name;
    if (!column.Nullable) d.Attributes |= fldAttrRequired;
    switch (column.Type) {
    case TDBXType::Int16:
        d.Type = DSType::Int16;
        break;
    case TDBXType::Int32:
        d.Type = DSType::Int32;
        break;
    case TDBXType::Int64:
        d.Type = DSType::Int64;
        break;
    case TDBXType::Boolean:
        d.Type = DSType::Boolean;
        break;
    case TDBXType::Float:
        d.Type = DSType::Double;
        break;
    case TDBXType::FmtBcd:
        d.Type = DSType::Bcd;
        d.Size = static_cast<uint16_t>(column.Precision);
        d.Scale = static_cast<int8_t>(column.Scale);
        def.DataType = ftFMTBcd;
        break;
    case TDBXType::Date:
        d.Type = DSType::Date;
        break;
    case TDBXType::Time:
        d.Type = DSType::Time;
        break;
    case TDBXType::TimeStamp:
        d.Type = DSType::DateTime;
        def.DataType = ftTimeStamp;
        break;
    case TDBXType::ZString: {
        // A character may take up to four bytes once converted to UTF-8.
        int bytes = std::max(column.Length, column.Precision * 4);
        d.Type = DSType::String;
        d.Size = static_cast<uint16_t>(std::clamp(bytes, 1, kMaxStringBytes));
        break;
    }
    case TDBXType::Blob:
        d.Type = DSType::String;
        d.Size = static_cast<uint16_t>(blobLimit());
        def.DataType = ftBlob;
        break;
    default:
        DatabaseError(Format("Field '%s' is of an unsupported type", {column.Name}));
    }
    return def;
}

void TCustomSQLDataSet::InternalOpen() {
    FCommand = CreateCommand(); // opens the connection on demand
    std::string text = GetQueryText();
    if (Trim(text).empty()) DatabaseError("No SQL statement available");

    std::vector<std::string> names;
    std::string sql = ReplaceNamedParams(text, &names);
    if (names.empty()) sql = text; // sent exactly as written
    std::vector<const TParam*> params;
    for (const std::string& name : names) {
        const TParam* param = FParams.FindParam(name);
        if (!param) DatabaseError(Format("Parameter '%s' not found", {name}));
        params.push_back(param);
    }
    FCursor = executeCommand(*FCommand, sql, params);
    if (!FCursor) DatabaseError("Cursor not returned from Query");

    uint16_t count = 0;
    check(FCursor->getColumnCount(count), FCursor.get());
    std::vector<TFieldDef> defs;
    defs.reserve(count);
    for (uint16_t i = 1; i <= count; ++i) {
        TDBXColumn column;
        check(FCursor->getColumn(i, column), FCursor.get());
        defs.push_back(fieldDefOf(column));
    }
    FColumns.clear();
    for (int i = 0; i < static_cast<int>(defs.size()); ++i) {
        const TFieldDef& def = defs[i];
        bool blob = def.DataType == ftBlob;
        FColumns.push_back(Column{i, def.Desc.Size, blob && blobLimitKilobytes() > 0});
    }
    SetFieldDefs(std::move(defs));
    FCurrent.assign(RecordSize(), 0);
    Layout().InitRecord(FCurrent.data());
    FRowNo = 0;
    FAtEnd = false;
}

// A result set read in the driver's own transaction is committed when its
// cursor closes: a statement that wrote (a posting procedure read in
// packets) is kept only if that commit succeeds, so its failure is raised
// once the dataset has let go of the cursor and the statement.
void TCustomSQLDataSet::InternalClose() {
    std::exception_ptr failure;
    if (FCursor) {
        try {
            check(FCursor->close(), FCursor.get());
        } catch (...) {
            failure = std::current_exception();
        }
    }
    FCursor.reset();
    FCommand.reset();
    FColumns.clear();
    FRowNo = 0;
    FAtEnd = false;
    if (failure) std::rethrow_exception(failure);
}

Variant TCustomSQLDataSet::ValueOf(const TDBXValue& v) {
    if (v.IsNull) return Variant(Null{});
    switch (v.Type) {
    case TDBXType::Int16:
    case TDBXType::Int32:
        return Variant(static_cast<int32_t>(v.Int));
    case TDBXType::Int64:
        return Variant(static_cast<int64_t>(v.Int));
    case TDBXType::Boolean:
        return Variant(v.Int != 0);
    case TDBXType::Float:
        return Variant(v.Float);
    case TDBXType::FmtBcd:
        return Variant(TBcd{v.Int, v.Scale});
    case TDBXType::Date:
    case TDBXType::Time:
    case TDBXType::TimeStamp:
        return Variant(v.DateTime);
    case TDBXType::ZString:
    case TDBXType::Blob:
        return Variant(v.Text);
    default:
        return Variant(Null{});
    }
}

void TCustomSQLDataSet::readRow(uint8_t* record) {
    const TDSRecordLayout& layout = Layout();
    for (const Column& c : FColumns) {
        check(FCursor->getValue(static_cast<uint16_t>(c.Field + 1), FValue), FCursor.get());
        TDBXValue& v = FValue;
        if (!v.IsNull && (v.Type == TDBXType::ZString || v.Type == TDBXType::Blob) &&
            v.Text.size() > c.MaxBytes) {
            // A limited blob keeps its first bytes by design; anything else
            // that does not fit would be corrupted, so it is refused.
            if (!c.MayCut)
                DatabaseError(Format(
                    "Value of field '%s' is longer than %s bytes",
                    {layout.Fields()[c.Field].Name, IntToStr(static_cast<int64_t>(c.MaxBytes))}));
            size_t cut = c.MaxBytes;
            while (cut > 0 && (static_cast<unsigned char>(v.Text[cut]) & 0xC0) == 0x80)
                --cut;
            v.Text.resize(cut);
        }
        if (v.Type == TDBXType::Unknown && !v.IsNull)
            DatabaseError(
                Format("Field '%s' is of an unsupported type", {layout.Fields()[c.Field].Name}));
        layout.PutField(record, c.Field, ValueOf(v));
    }
}

TGetResult TCustomSQLDataSet::GetRecord(TRecordBuffer& buffer, TGetMode mode) {
    if (!FCursor) return grEOF;
    if (mode == gmPrior) return FRowNo == 0 ? grBOF : grError;
    if (mode == gmCurrent) {
        if (FRowNo == 0) return grBOF;
        if (FAtEnd) return grEOF;
        buffer.Data = FCurrent;
    } else {
        if (FAtEnd) return grEOF;
        if (!fetchNext(*FCursor)) {
            FAtEnd = true;
            return grEOF;
        }
        buffer.Data.resize(RecordSize());
        readRow(buffer.Data.data());
        ++FRowNo;
        FCurrent = buffer.Data;
    }
    buffer.Bookmark = FRowNo;
    buffer.RecNo = static_cast<int>(FRowNo);
    buffer.BookmarkFlag = bfCurrent;
    return grOK;
}

void TCustomSQLDataSet::InternalFirst() {
    // A forward-only cursor can stand before its first row only until it
    // has read one.
    if (FRowNo > 0) DatabaseError("Operation not allowed on a unidirectional dataset");
}

void TCustomSQLDataSet::InternalSetToRecord(const TRecordBuffer& buffer) {
    if (buffer.BookmarkFlag == bfCurrent && buffer.Bookmark != FRowNo)
        DatabaseError("Operation not allowed on a unidirectional dataset");
}
