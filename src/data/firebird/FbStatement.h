#pragma once
// A statement handle with its described columns and parameters, shared by
// the command that prepared it and the cursors reading its result sets. A
// cursor reads only the result set it was opened on: generation() changes
// whenever that result set ends, so an older cursor sees it is stale.

#include "data/DriverIntf.h"
#include "data/firebird/FbAttachment.h"
#include "data/firebird/FbParams.h"
#include "data/firebird/FbSqlda.h"

#include <memory>
#include <string>
#include <vector>

namespace fb {

class FbStatement {
public:
    explicit FbStatement(std::shared_ptr<FbAttachment> attachment)
        : FAttachment(std::move(attachment)) {}
    ~FbStatement();
    FbStatement(const FbStatement&) = delete;
    FbStatement& operator=(const FbStatement&) = delete;

    FbAttachment& attachment() { return *FAttachment; }
    const FbClient& api() { return FAttachment->api(); }
    // Usable only while the attachment it was made on is attached.
    bool alive() const { return FHandle != 0 && FAttachment->attached(); }

    // Prepares text in transaction (allocating the handle on first use) and
    // describes its columns, parameters and kind.
    bool prepare(const std::string& sql, FbTransaction& transaction, FbStatus& status);
    // Ends the open result set, if any.
    bool closeCursor(FbStatus& status);
    // Frees the statement on the server.
    void drop();
    // The rows the last execution wrote, by the kind of statement.
    bool rowsAffected(uint32_t& rows, FbStatus& status);

    isc_stmt_handle* handle() { return &FHandle; }
    bool prepared() const { return FPrepared; }
    // An execution opened a result set on the server; closeCursor ends it.
    void cursorOpened() { FCursorOpen = true; }
    // Counts every prepare, drop and closed result set: a cursor made under
    // one generation owns the result set only while it lasts.
    unsigned generation() const { return FGeneration; }
    // The input values, bound by the command before it executes.
    FbParams& params() { return FParams; }
    // The output row, filled by each fetch or single-row execution.
    FbSqlda& output() { return FOutput; }
    const std::vector<TDBXColumn>& columns() const { return FColumns; }

    bool returnsCursor() const {
        return FType == isc_info_sql_stmt_select || FType == isc_info_sql_stmt_select_for_upd;
    }

private:
    bool describe(FbStatus& status);
    bool readType(FbStatus& status);

    std::shared_ptr<FbAttachment> FAttachment;
    isc_stmt_handle FHandle = 0;
    bool FPrepared = false;
    bool FCursorOpen = false;
    unsigned FGeneration = 0;
    int FType = 0; // isc_info_sql_stmt_*
    FbParams FParams;
    FbSqlda FOutput;
    std::vector<TDBXColumn> FColumns;
};

} // namespace fb
