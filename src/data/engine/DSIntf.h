#pragma once
// The in-memory dataset engine: rows held in memory with a change log, data
// packets, deltas and error packets. Client datasets keep their data in one
// IDSBase each and move over it with an IDSCursor; providers build packets
// with an IDSWriter and read deltas with a TDSPacketReader.
//
// Records. Every base, packet and cursor works on records in one fixed layout
// (TDSRecordLayout): one status byte per field (value, null, unassigned),
// then each field's bytes at a fixed offset. A caller allocates
// Layout().RecordSize() bytes for a record buffer and reads and writes fields
// with the layout's GetField/PutField.
//
// Errors are raised as EDBClient with the engine's status code and text.

#include "data/engine/Variant.h"
#include "platform/Exceptions.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// Status codes. 0 is success; BOF and EOF are the cracks before the first and
// after the last row, returned by moves, never raised.
enum : int {
    DBERR_NONE = 0,
    DBERR_BOF = 0x2201,
    DBERR_EOF = 0x2202,
    DBERR_NOCURRREC = 0x2203,
    DBERR_RECNOTFOUND = 0x2204,
    DBERR_INVALIDPACKET = 0x2205,     // "Invalid data packet"
    DBERR_FIELDMISMATCH = 0x2206,     // a later packet's fields differ from the first's
    DBERR_READONLY = 0x2207,
    DBERR_NOTSUPPORTED = 0x2208,
    DBERR_INVALIDPARAM = 0x2209,
    DBERR_KEYVIOL = 0x220A,           // texts of key violations begin with "key"
    DBERR_DETAILRECORDSEXIST = 0x220B // "Cannot delete master record with details"
};

class EDBClient : public EDatabaseError {
public:
    EDBClient(std::string message, int errorCode)
        : EDatabaseError(std::move(message)), ErrorCode(errorCode) {}
    int ErrorCode;
};

// The engine's text for a status code, as IDSBase::StatusText gives it; for
// raising an engine error where no base is at hand.
std::string DSStatusText(int status);

// Types the engine stores, with their bytes in a record.
enum class DSType : uint8_t {
    Int16,    // 2
    Int32,    // 4
    Int64,    // 8
    Boolean,  // 1
    Double,   // 8
    Currency, // 8: int64 units of 1/10000
    Bcd,      // 8: int64 scaled by 10^Scale; Size holds the precision
    Date,     // 4: int32 days since 1899-12-30
    Time,     // 4: int32 milliseconds of the day
    DateTime, // 8: double, the framework's date-and-time
    String,   // 2 + Size: uint16 byte length, then up to Size UTF-8 bytes
};

// The most bytes a string field holds: all that its length word can count.
// Whoever describes fields (SQL datasets, providers) sizes them within it.
inline constexpr uint16_t kDSMaxStringSize = 65535;

// Field attributes carried in packets.
enum : uint8_t {
    fldAttrRequired = 1,
    fldAttrReadOnly = 2,
    fldAttrHidden = 4,
    fldAttrServerCalc = 8, // "SERVER_CALC": left out of generated statements
};

// Provider flags (the field's ProviderFlags set), packet attribute "PROVFLAGS".
enum : uint8_t { pfInUpdate = 1, pfInWhere = 2, pfInKey = 4, pfHidden = 8 };

struct DSFieldDesc {
    std::string Name;
    DSType Type = DSType::Int32;
    uint16_t Size = 0; // String: maximum bytes; Bcd: precision
    int8_t Scale = 0;  // Bcd
    uint8_t Attributes = 0;
    uint8_t ProviderFlags = pfInUpdate | pfInWhere;
    std::string Origin = {}; // "ORIGIN": the column name when it differs from Name
};

// A packet attribute: "LCID" (Int32), "TABLE_NAME" (String), "DISABLE_EDITS",
// "DISABLE_INSERTS", "DISABLE_DELETES" (Boolean), and any others a provider
// adds.
struct DSAttribute {
    std::string Name;
    Variant Value;
};

enum class DSFieldStatus : uint8_t { Value = 0, Null = 1, Unassigned = 2 };

// Row status of a delta or of a row in a base.
enum DSRowStatus : uint8_t {
    dsRecUnmodified = 0, // a delta's old row precedes its dsRecModified row
    dsRecModified = 1,
    dsRecInserted = 2,
    dsRecDeleted = 4,
};

class TDSRecordLayout {
public:
    TDSRecordLayout() = default;
    explicit TDSRecordLayout(std::vector<DSFieldDesc> fields);

    const std::vector<DSFieldDesc>& Fields() const { return FFields; }
    int FieldCount() const { return static_cast<int>(FFields.size()); }
    int FieldIndex(std::string_view name) const; // without regard to case; -1 if none
    size_t RecordSize() const { return FRecordSize; }
    size_t FieldOffset(int field) const { return FOffsets[field]; }

    // Every field null (the state of a new row) or unassigned.
    void InitRecord(uint8_t* record, DSFieldStatus status = DSFieldStatus::Null) const;
    DSFieldStatus Status(const uint8_t* record, int field) const;
    // Null and unassigned come back as such; a value as the field's natural
    // kind: Int16/Int32 int32_t, Int64 int64_t, Boolean bool, Double double,
    // Currency Currency, Bcd TBcd (field's scale), Date/Time/DateTime TDateTime,
    // String std::string.
    Variant GetField(const uint8_t* record, int field) const;
    // Takes the natural kind or a compatible one (integers of any width in
    // range, TBcd rescaled exactly, Currency for Bcd scale <= 4 and back, text
    // up to Size bytes); anything else raises EDBClient DBERR_INVALIDPARAM.
    void PutField(uint8_t* record, int field, const Variant& value) const;
    // Compares one field of two records: equal status and equal bytes.
    bool SameField(const uint8_t* a, const uint8_t* b, int field) const;

private:
    std::vector<DSFieldDesc> FFields;
    std::vector<size_t> FOffsets;
    size_t FRecordSize = 0;
};

// Compiled filter and locate expressions. The data layer compiles filter text
// against the fields into this tree (see FilterExpr.h); the engine evaluates it
// on records. Constants have already been converted to their field's kind.
struct DSExpr {
    enum Kind : uint8_t {
        Const, Field,
        Eq, Ne, Lt, Le, Gt, Ge, // two children
        And, Or,                // two children
        Not,                    // one child
        IsNull,                 // one child (a Field)
        Like,                   // partial-key match: child 0 Field, child 1 Const text prefix
    } kind = Const;
    bool CaseInsensitive = false; // text comparisons of this node
    int FieldNo = -1;             // Field
    Variant Value;                // Const
    std::vector<std::unique_ptr<DSExpr>> Children;
};
using DSExprPtr = std::unique_ptr<DSExpr>;

// Builds a packet from field descriptions, attributes and records.
class IDSWriter {
public:
    virtual ~IDSWriter() = default;
    virtual void Init(const std::vector<DSFieldDesc>& fields,
                      const std::vector<DSAttribute>& attributes) = 0;
    virtual const TDSRecordLayout& Layout() const = 0;
    virtual void AddRecord(const uint8_t* record, DSRowStatus status = dsRecUnmodified) = 0;
    virtual int RecordCount() const = 0;
    // The packet; always longer than 21 bytes.
    virtual std::vector<uint8_t> GetDataPacket() const = 0;
};
std::unique_ptr<IDSWriter> CreateDSWriter();

// A parsed packet, read-only: providers walk deltas with it. Parsing refuses a
// malformed packet with EDBClient "Invalid data packet" and never reads
// outside the bytes given.
class TDSPacketReader {
public:
    explicit TDSPacketReader(const std::vector<uint8_t>& packet);
    const TDSRecordLayout& Layout() const { return FLayout; }
    const std::vector<DSAttribute>& Attributes() const { return FAttributes; }
    const Variant* Attribute(std::string_view name) const;
    int RowCount() const { return static_cast<int>(FStatus.size()); }
    DSRowStatus RowStatus(int row) const { return FStatus[row]; }
    const uint8_t* Record(int row) const { return FRecords.data() + row * FLayout.RecordSize(); }

private:
    TDSRecordLayout FLayout;
    std::vector<DSAttribute> FAttributes;
    std::vector<DSRowStatus> FStatus;
    std::vector<uint8_t> FRecords;
};

class IDSCursor;

// The action a reconcile callback answers for one error row.
enum TDSReconcileAnswer : int { dsrSkip = 0, dsrAbort = 1, dsrMerge = 2, dsrCorrect = 3, dsrCancel = 4, dsrRefresh = 5 };

// One error row as the engine hands it to the reconcile callback: the error
// fields of the error packet and the delta record it names.
struct DSReconcileError {
    int RecordNo = 0;      // "ERROR_RECORDNO": 1-based row of the delta
    int Response = 0;      // the provider's response plus one
    std::string Message;
    std::string Context;
    int Category = 0;
    int ErrorCode = 0;
    DSRowStatus UpdateKind = dsRecModified;
    const uint8_t* DeltaRecord = nullptr;    // the changed or inserted or deleted row
    const uint8_t* OldRecord = nullptr;      // a modification's old row, else null
};

// One client dataset's data: rows in load order, each with its status, and a
// change log of the changes made through cursors since loading or the last
// AcceptChanges.
class IDSBase {
public:
    virtual ~IDSBase() = default;

    // Loads packets in turn; the first gives the fields and attributes, each
    // later one must have the same fields. endOfData marks the last packet.
    virtual void AppendData(const std::vector<uint8_t>& packet, bool endOfData) = 0;
    virtual bool EndOfData() const = 0;
    virtual const TDSRecordLayout& Layout() const = 0;
    virtual const std::vector<DSAttribute>& Attributes() const = 0;
    virtual const Variant* Attribute(std::string_view name) const = 0;

    // Rows inserted, modified or deleted since loading or the last accept.
    virtual int GetChangeCount() const = 0;
    // A packet of the changes, in the order they were first made: inserted
    // rows (current values), deleted rows (values as loaded), modifications
    // as the old row followed by the changed row in which unchanged fields
    // are unassigned. A row inserted and then changed is one insert; inserted
    // and deleted is nothing; modified and then deleted is one delete.
    virtual std::vector<uint8_t> GetDelta() const = 0;
    virtual void AcceptChanges() = 0;
    // Undoes every logged change, newest first, and empties the change log:
    // inserted rows vanish, modified rows get their values back, deleted rows
    // are shown again.
    virtual void CancelChanges() = 0;
    // Accepts the changes that the error packet does not name and calls back
    // once per error row; the answer decides what stays in the change log for
    // that row (dsrSkip and dsrAbort keep it, dsrCancel undoes it, dsrCorrect
    // and dsrMerge keep the row as it is now, dsrRefresh undoes it too).
    virtual void Reconcile(const std::vector<uint8_t>& errorPacket,
                           const std::function<TDSReconcileAnswer(const DSReconcileError&)>& callback) = 0;
    // The engine's text for a status code (at most 2048 characters).
    virtual std::string StatusText(int status) const = 0;

    virtual std::unique_ptr<IDSCursor> CreateCursor() = 0;
};
std::unique_ptr<IDSBase> CreateDSBase();

// Error packets: the delta's fields preceded by "ERROR_RECORDNO" (Int32),
// "ERROR_RESPONSE" (Int32), "ERROR_MESSAGE" (String), "ERROR_CONTEXT"
// (String), "ERROR_CATEGORY" (Int32), "ERROR_CODE" (Int32).
class TDSErrorPacketBuilder {
public:
    explicit TDSErrorPacketBuilder(const TDSPacketReader& delta);
    // row: 0-based row of the delta (for a modification, its changed row).
    void AddError(int row, int response, const std::string& message, const std::string& context,
                  int category, int errorCode);
    bool Empty() const { return FWriter->RecordCount() == 0; }
    std::vector<uint8_t> GetPacket() const { return FWriter->GetDataPacket(); }

private:
    const TDSPacketReader& FDelta;
    std::unique_ptr<IDSWriter> FWriter;
    std::vector<uint8_t> FRecord;
};

// A view on a base: the rows that are not deleted and pass every filter, in
// the base's order. The position is a crack before the first row (BOF), a
// row, or a crack after the last row (EOF).
class IDSCursor {
public:
    virtual ~IDSCursor() = default;

    virtual const TDSRecordLayout& Layout() const = 0;
    virtual void MoveToBOF() = 0;
    virtual void MoveToEOF() = 0;
    // Moves n rows (n may be 0 or negative); DBERR_NONE on a row, DBERR_BOF or
    // DBERR_EOF when it ran past an end and now sits on that crack.
    virtual int MoveRelative(int n) = 0;
    // Copies the current row into record; DBERR_BOF/DBERR_EOF on a crack.
    virtual int GetCurrentRecord(uint8_t* record) const = 0;
    virtual DSRowStatus GetRecordStatus() const = 0;
    // Rows in the view; 1-based position of the current row (0 on a crack).
    virtual int GetRecordCount() const = 0;
    virtual int GetSequenceNumber() const = 0;
    // Below 1 moves to BOF (DBERR_BOF), beyond the count to EOF (DBERR_EOF).
    virtual int MoveToSequenceNumber(int seqNo) = 0;
    // A row's identity, stable while the base lives; never 0 (0 on a crack).
    virtual uint32_t GetBookmark() const = 0;
    // DBERR_RECNOTFOUND, without a move, when the row is not in the view.
    virtual int MoveToBookmark(uint32_t bookmark) = 0;
    // The same, for a row whose sequence number the caller read with its
    // bookmark: the number is taken as it is, sparing a count, when the view
    // has not changed since this cursor last gave a row's number (a caller
    // that keeps numbers drops those read before a change once it reads rows
    // after it). seqNo 0: unknown.
    virtual int MoveToBookmark(uint32_t bookmark, int seqNo) = 0;

    // Each logged in the change log. Insert puts the row before the current
    // one (at the end on the EOF crack) and makes it current; Modify replaces
    // the current row's values; Delete removes the current row from the view
    // and leaves the cursor on the next row, or on the EOF crack.
    // A row that fails a filter after Insert or Modify is kept but leaves the
    // view: the cursor is then on the row that follows it, or on EOF. A row
    // that leaves the view through another cursor of the base moves this
    // cursor the same way. Modify and Delete on a crack raise DBERR_NOCURRREC.
    virtual void InsertRecord(const uint8_t* record) = 0;
    virtual void ModifyRecord(const uint8_t* record) = 0;
    virtual void DeleteRecord() = 0;

    // Filters apply together; adding or dropping one rebuilds the view and
    // moves to BOF. Rows inserted or modified later are tested again. A null
    // expression (a blank filter text) lets every row through. A comparison
    // with a null value is unknown, and only rows whose filters are true show.
    virtual int AddFilter(DSExprPtr expression) = 0; // a handle
    virtual void DropFilter(int handle) = 0;
    // Finds the first row of the view, from its start, for which expression
    // is true; true and that row current, or false and no move.
    virtual bool Locate(const DSExpr& expression) = 0;
};
