#include "data/firebird/FbStatement.h"

#include "data/firebird/FbValues.h"

namespace fb {

namespace {

// One item of an information buffer: item, 2-byte length, value.
int32_t infoInteger(const FbClient& api, const char* p, short length) {
    return api.isc_vax_integer(p, length);
}

} // namespace

FbStatement::~FbStatement() {
    drop();
}

void FbStatement::drop() {
    if (alive()) {
        FbStatus ignored;
        api().isc_dsql_free_statement(ignored.get(), &FHandle, DSQL_drop);
    }
    FHandle = 0;
    FPrepared = false;
    FCursorOpen = false;
    ++FGeneration;
}

bool FbStatement::closeCursor(FbStatus& status) {
    status.reset();
    if (!FCursorOpen) return true;
    FCursorOpen = false;
    ++FGeneration;
    if (!alive()) return true;
    api().isc_dsql_free_statement(status.get(), &FHandle, DSQL_close);
    return !status.failed();
}

bool FbStatement::prepare(const std::string& sql, FbTransaction& transaction, FbStatus& status) {
    status.reset();
    FPrepared = false;
    if (FHandle != 0 && !alive()) FHandle = 0;
    if (FHandle == 0) {
        api().isc_dsql_allocate_statement(status.get(), FAttachment->handle(), &FHandle);
        if (status.failed()) {
            FHandle = 0;
            return false;
        }
    }
    ++FGeneration;
    FCursorOpen = false;
    FOutput.reserve(FOutput.room());
    api().isc_dsql_prepare(status.get(), transaction.handle(), &FHandle, 0, sql.c_str(),
                           static_cast<unsigned short>(FAttachment->settings().Dialect),
                           FOutput.get());
    if (status.failed()) return false;
    if (!describe(status) || !readType(status)) return false;
    FPrepared = true;
    return true;
}

bool FbStatement::describe(FbStatus& status) {
    if (FOutput.count() > FOutput.room()) {
        FOutput.reserve(FOutput.count());
        api().isc_dsql_describe(status.get(), &FHandle, SQLDA_VERSION1, FOutput.get());
        if (status.failed()) return false;
    }
    FOutput.allocateBuffers();
    FColumns.clear();
    for (int i = 0; i < FOutput.count(); ++i)
        FColumns.push_back(DescribeColumn(FOutput.var(i)));

    FbSqlda& input = FParams.sqlda();
    input.reserve(input.room());
    api().isc_dsql_describe_bind(status.get(), &FHandle, SQLDA_VERSION1, input.get());
    if (status.failed()) return false;
    if (input.count() > input.room()) {
        input.reserve(input.count());
        api().isc_dsql_describe_bind(status.get(), &FHandle, SQLDA_VERSION1, input.get());
        if (status.failed()) return false;
    }
    FParams.described();
    return true;
}

bool FbStatement::readType(FbStatus& status) {
    const char items[] = {isc_info_sql_stmt_type};
    char buffer[16] = {};
    api().isc_dsql_sql_info(status.get(), &FHandle, sizeof items, items, sizeof buffer, buffer);
    if (status.failed()) return false;
    FType = 0;
    if (buffer[0] == isc_info_sql_stmt_type) {
        short length = static_cast<short>(infoInteger(api(), buffer + 1, 2));
        FType = infoInteger(api(), buffer + 3, length);
    }
    return true;
}

bool FbStatement::rowsAffected(uint32_t& rows, FbStatus& status) {
    rows = 0;
    status.reset();
    if (!alive() || returnsCursor()) return true;
    const char items[] = {isc_info_sql_records};
    char buffer[64] = {};
    api().isc_dsql_sql_info(status.get(), &FHandle, sizeof items, items, sizeof buffer, buffer);
    if (status.failed()) return false;
    if (buffer[0] != isc_info_sql_records) return true;
    int64_t inserted = 0, updated = 0, deleted = 0;
    const char* p = buffer + 3;
    const char* end = buffer + sizeof buffer;
    while (p < end && *p != isc_info_end) {
        char item = *p++;
        if (end - p < 2) break;
        short length = static_cast<short>(infoInteger(api(), p, 2));
        p += 2;
        if (length < 0 || end - p < length) break;
        int32_t count = infoInteger(api(), p, length);
        p += length;
        if (item == isc_info_req_insert_count)
            inserted = count;
        else if (item == isc_info_req_update_count)
            updated = count;
        else if (item == isc_info_req_delete_count)
            deleted = count;
    }
    switch (FType) {
    case isc_info_sql_stmt_insert:
        rows = static_cast<uint32_t>(inserted);
        break;
    case isc_info_sql_stmt_update:
        rows = static_cast<uint32_t>(updated);
        break;
    case isc_info_sql_stmt_delete:
        rows = static_cast<uint32_t>(deleted);
        break;
    default:
        rows = static_cast<uint32_t>(inserted + updated + deleted);
        break;
    }
    return true;
}

} // namespace fb
