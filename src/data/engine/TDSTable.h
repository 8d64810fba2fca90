#pragma once
// The data of one base, shared by the base and its cursors so that a cursor
// stays usable however long it outlives the base object: the fields and
// attributes of the first packet, the rows (TDSRowStore) in their order
// (TDSRowOrder), and the change log.
//
// Every change of rows goes through this class, which logs it and tells each
// cursor, so that every view stays exact: rows appended, a row inserted (with
// the block split it may cause), a row whose values or flags changed.

#include "data/engine/DSIntf.h"
#include "data/engine/TDSChangeLog.h"
#include "data/engine/TDSRowOrder.h"
#include "data/engine/TDSRowStore.h"

#include <vector>

class TDSCursor;

class TDSTable {
public:
    bool HasLayout() const { return FHasLayout; }
    const TDSRecordLayout& Layout() const { return FLayout; }
    const std::vector<DSAttribute>& Attributes() const { return FAttributes; }
    bool EndOfData() const { return FEndOfData; }
    const TDSRowStore& Store() const { return FStore; }
    const TDSRowOrder& Order() const { return FOrder; }
    const TDSChangeLog& Log() const { return FLog; }

    void Register(TDSCursor* cursor);
    void Unregister(TDSCursor* cursor);

    // Loads a data packet: the first one gives the fields and attributes,
    // each later one must have the same fields. Rows must be unchanged rows
    // without unassigned fields. A refused packet leaves everything as it was.
    void AppendPacket(const std::vector<uint8_t>& packet, bool endOfData);

    // A new row from a caller's record, before the row `before` or, when it
    // is null, after every row. Logged as an insert; returns its id.
    uint32_t InsertRow(const uint8_t* record, const uint32_t* before);
    // New values for a row in a view; logged with the values it had.
    void ModifyRow(uint32_t row, const uint8_t* record);
    // Marks a row deleted; logged.
    void DeleteRow(uint32_t row);

    // The passes over the change log.
    // Undoes the given entries of the log, newest first, without logging.
    void UndoEntries(const std::vector<const DSLogEntry*>& newestFirst);
    // Makes a row's current state its loaded state (accepting its changes).
    void AcceptRow(uint32_t row);
    TDSChangeLog& MutableLog() { return FLog; }

private:
    void notifyChanged(uint32_t row);
    void checkRecordLayout() const;

    bool FHasLayout = false;
    TDSRecordLayout FLayout;
    std::vector<DSAttribute> FAttributes;
    bool FEndOfData = false;
    TDSRowStore FStore;
    TDSRowOrder FOrder;
    TDSChangeLog FLog;
    std::vector<TDSCursor*> FCursors;
};
