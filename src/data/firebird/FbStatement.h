#pragma once
// A statement handle with its described columns and parameters, shared by
// the command that prepared it and the cursors reading its result sets. A
// cursor reads only the result set it was opened on: Generation changes
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
    bool Prepared = false;
    bool CursorOpen = false;
    unsigned Generation = 0;
    int Type = 0; // isc_info_sql_stmt_*
    FbParams Params;
    FbSqlda Output;
    std::vector<TDBXColumn> Columns;

    bool returnsCursor() const {
        return Type == isc_info_sql_stmt_select || Type == isc_info_sql_stmt_select_for_upd;
    }

private:
    bool describe(FbStatus& status);
    bool readType(FbStatus& status);

    std::shared_ptr<FbAttachment> FAttachment;
    isc_stmt_handle FHandle = 0;
};

} // namespace fb
