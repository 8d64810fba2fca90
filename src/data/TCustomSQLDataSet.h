#pragma once
// TCustomSQLDataSet: a read-only, forward-only dataset over one statement run
// on a TSQLConnection. Opening opens the connection when it is closed,
// prepares the statement with the parameters named in its text, runs it and
// reads the rows one by one, each into the engine's record layout so that a
// provider packs a row by copying its buffer. The connection's closing closes
// the dataset and frees its statement. Closing ends the statement's result
// set, which commits it when it ran in the driver's own transaction; a
// commit that fails is raised from Close.
//
// Besides reading, it is what a TDataSetProvider resolves through: the
// table name, the quote character, the key fields, the connection's
// transactions and the statements that write changes (the PS... members).

#include "data/TDataSet.h"
#include "data/TSQLConnection.h"

#include <memory>
#include <span>
#include <string>
#include <vector>

class TCustomSQLDataSet : public TDataSet, public TSQLConnectionClient {
public:
    explicit TCustomSQLDataSet(TComponent* owner = nullptr);
    ~TCustomSQLDataSet() override;

    TSQLConnection* SQLConnection() const { return FConnection; }
    // Closes the dataset first when it is open.
    void SetSQLConnection(TSQLConnection* connection);
    // The parameters named in the statement, bound by name when it opens.
    TParams& Params() { return FParams; }
    const TParams& Params() const { return FParams; }
    // The most blob bytes a row keeps, in kilobytes; 0 takes the
    // connection's "BlobSize", -1 (or a negative size) keeps every byte. A
    // blob or text longer than a string field holds (kDSMaxStringSize) is
    // refused with its field named, never cut, unless a size limits it.
    int MaxBlobSize() const { return FMaxBlobSize; }
    void SetMaxBlobSize(int value) { FMaxBlobSize = value; }

    // The last message of this dataset's own statement (the fallback of the
    // connection's message building).
    const std::string& LastMessage() const { return FLastMessage; }

    // --- what a provider asks of its dataset --------------------------------
    // The table the rows come from, "" when unknown.
    virtual std::string PSGetTableName() const { return {}; }
    // Takes a command text from a client; the dataset must be closed
    // ("Cannot perform this operation on an open dataset").
    virtual void PSSetCommandText(const std::string& text) = 0;
    // Column names of the key; none unless the dataset reads metadata.
    virtual std::vector<std::string> PSGetKeyFields() { return {}; }
    // The connection's identifier quote character ("" for none); opens the
    // connection when needed.
    std::string PSGetQuoteChar();
    bool PSInTransaction() const;
    // Starts a transaction with the connection's default description.
    void PSStartTransaction();
    // Commits or rolls back the transaction PSStartTransaction started.
    void PSEndTransaction(bool commit);
    // Runs one statement with positional parameters on the connection and
    // returns the rows it affected.
    int PSExecuteStatement(const std::string& sql, const TParams& params);

    // A new statement object on the connection, opened on demand. Every
    // statement of the dataset and of the provider resolving through it is
    // made here (the one place to watch what reaches the driver).
    virtual std::unique_ptr<ISQLCommand> CreateCommand();

    // A driver value in the kind the record layout takes.
    static Variant ValueOf(const TDBXValue& value);

    void ConnectionClosing() override;
    void Notification(TComponent* component, bool removing) override;

protected:
    // The statement to run; called once the connection is open.
    virtual std::string GetQueryText() = 0;
    TSQLConnection& checkConnection() const; // "Missing SQLConnection property"
    void check(SQLResult status, ISQLErrorSource* source);
    // The connection's ExecuteCommand and FetchNext, failures worded with
    // this dataset's last message.
    std::unique_ptr<ISQLCursor> executeCommand(ISQLCommand& command, const std::string& sql,
                                               std::span<const TParam* const> params);
    bool fetchNext(ISQLCursor& cursor);

    void InternalOpen() override;
    void InternalClose() override;
    TGetResult GetRecord(TRecordBuffer& buffer, TGetMode mode) override;
    void InternalFirst() override;
    void InternalSetToRecord(const TRecordBuffer& buffer) override;

private:
    struct Column {
        int Field;
        size_t MaxBytes; // String: the field's size
        bool MayCut;     // a blob whose size is limited on purpose
    };
    TFieldDef fieldDefOf(const TDBXColumn& column) const;
    void readRow(uint8_t* record);
    int blobLimitKilobytes() const;
    int blobLimit() const;

    TSQLConnection* FConnection = nullptr;
    TParams FParams;
    int FMaxBlobSize = 0;
    std::string FLastMessage;

    std::unique_ptr<ISQLCommand> FCommand;
    std::unique_ptr<ISQLCursor> FCursor;
    std::vector<Column> FColumns;
    std::vector<uint8_t> FCurrent; // the row last read, for gmCurrent
    uint64_t FRowNo = 0;           // rows read so far
    bool FAtEnd = false;
    TDBXValue FValue; // reused for every value read

    TTransactionDesc FTransaction;
};
