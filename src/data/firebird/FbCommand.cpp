#include "data/firebird/FbCommand.h"

#include "data/firebird/FbCursor.h"

namespace fb {

namespace {
const char* const closedText = "The connection to the database is closed";
}

FbCommand::FbCommand(std::shared_ptr<FbAttachment> attachment)
    : FAttachment(std::move(attachment)) {}

FbCommand::~FbCommand() {
    if (FStatement) FStatement->drop();
}

SQLResult FbCommand::prepare(const std::string& sql, uint16_t /*paramCount*/) {
    // The server's own count of "?" markers counts; a parameter the caller
    // leaves unbound is reported when the statement runs.
    return guarded([&]() -> SQLResult {
        FRowsAffected = 0;
        if (!FAttachment->attached()) return fail(DBXERR_INVALIDHNDL, closedText);
        const FbClient& api = FAttachment->api();
        FbStatus status;
        if (FStatement) FStatement->closeCursor(status);
        if (!FStatement) FStatement = std::make_shared<FbStatement>(FAttachment);

        // Preparing needs a transaction; outside the caller's a short one is
        // enough, as a prepared statement belongs to the attachment.
        std::shared_ptr<FbTransaction> transaction = FAttachment->Explicit;
        bool own = !transaction;
        if (own) {
            transaction = FbTransaction::Start(FAttachment, xilREADCOMMITTED, true, status);
            if (!transaction) return fail(api, status);
        }
        bool prepared = FStatement->prepare(sql, *transaction, status);
        SQLResult result = prepared ? DBXERR_NONE : fail(api, status);
        if (own) {
            FbStatus ignored;
            transaction->commit(ignored);
        }
        return result;
    });
}

SQLResult FbCommand::setParameter(uint16_t index, const TDBXValue& value) {
    return guarded([&]() -> SQLResult {
        if (!FStatement || !FStatement->prepared())
            return fail(DBXERR_INVALIDHNDL, "The statement is not prepared");
        std::string error;
        SQLResult r = FStatement->params().set(index - 1, value, error);
        return r == DBXERR_NONE ? r : fail(r, error);
    });
}

SQLResult FbCommand::execute(ISQLCursor** cursor) {
    return guarded([&]() -> SQLResult {
        if (cursor) *cursor = nullptr;
        FRowsAffected = 0;
        if (!FAttachment->attached()) return fail(DBXERR_INVALIDHNDL, closedText);
        if (!FStatement || !FStatement->prepared() || !FStatement->alive())
            return fail(DBXERR_INVALIDHNDL, "The statement is not prepared");
        if (!FStatement->params().allSet()) return fail(DBXERR_SQLPARAMNOTSET);
        FbStatus status;
        FStatement->closeCursor(status);

        std::shared_ptr<FbTransaction> transaction = FAttachment->Explicit;
        bool own = !transaction;
        if (own) {
            transaction = FbTransaction::Start(FAttachment, xilREADCOMMITTED, false, status);
            if (!transaction) return fail(FAttachment->api(), status);
        }
        SQLResult result = run(*transaction, own, transaction, cursor);
        if (result != DBXERR_NONE && own) {
            FbStatus ignored;
            transaction->rollback(ignored);
        }
        return result;
    });
}

// Runs the prepared statement in transaction; a result set goes to a new
// cursor, which takes over the transaction when it is the driver's own.
SQLResult FbCommand::run(FbTransaction& transaction, bool ownsTransaction,
                         std::shared_ptr<FbTransaction> shared, ISQLCursor** cursor) {
    const FbClient& api = FAttachment->api();
    FbStatement& st = *FStatement;
    auto dialect = static_cast<unsigned short>(FAttachment->settings().Dialect);
    FbStatus status;
    if (!st.params().writeBlobs(transaction, status)) return fail(api, status);
    XSQLDA* input = st.params().count() > 0 ? st.params().sqlda().get() : nullptr;

    if (st.returnsCursor()) {
        api.isc_dsql_execute(status.get(), transaction.handle(), st.handle(), dialect, input);
        if (status.failed()) return fail(api, status);
        st.cursorOpened();
        if (cursor) {
            *cursor = new FbCursor(FStatement, std::move(shared), ownsTransaction, false);
            return DBXERR_NONE;
        }
        // Nobody reads the rows: end the result set now.
        st.closeCursor(status);
        if (ownsTransaction && !transaction.commit(status)) return fail(api, status);
        return DBXERR_NONE;
    }

    bool singleRow = st.output().count() > 0;
    if (singleRow)
        api.isc_dsql_execute2(status.get(), transaction.handle(), st.handle(), dialect, input,
                              st.output().get());
    else
        api.isc_dsql_execute(status.get(), transaction.handle(), st.handle(), dialect, input);
    if (status.failed()) return fail(api, status);
    if (!st.rowsAffected(FRowsAffected, status)) return fail(api, status);
    if (ownsTransaction && !transaction.commit(status)) return fail(api, status);
    if (singleRow && cursor)
        *cursor =
            new FbCursor(FStatement, ownsTransaction ? nullptr : std::move(shared), false, true);
    return DBXERR_NONE;
}

SQLResult FbCommand::getRowsAffected(uint32_t& rows) {
    return guarded([&]() -> SQLResult {
        rows = FRowsAffected;
        return DBXERR_NONE;
    });
}

SQLResult FbCommand::close() {
    return guarded([&]() -> SQLResult {
        if (FStatement) FStatement->drop();
        FStatement.reset();
        FRowsAffected = 0;
        return DBXERR_NONE;
    });
}

} // namespace fb
