#include "data/firebird/FbCursor.h"

#include "data/firebird/FbBlob.h"
#include "data/firebird/FbCharset.h"
#include "data/firebird/FbValues.h"

#include <cstring>

namespace fb {

FbCursor::FbCursor(std::shared_ptr<FbStatement> statement,
                   std::shared_ptr<FbTransaction> transaction, bool ownsTransaction, bool singleton)
    : FStatement(std::move(statement)), FTransaction(std::move(transaction)),
      FGeneration(FStatement->generation()), FOwnsTransaction(ownsTransaction),
      FSingleton(singleton) {}

FbCursor::~FbCursor() {
    finish();
}

SQLResult FbCursor::finish() {
    FPosition = Position::Ended;
    FbStatus status;
    if (!FSingleton && FStatement->generation() == FGeneration) FStatement->closeCursor(status);
    if (FOwnsTransaction && FTransaction) {
        std::shared_ptr<FbTransaction> t = std::move(FTransaction);
        if (!t->commit(status)) return fail(t->attachment().api(), status);
    }
    FTransaction.reset();
    return DBXERR_NONE;
}

SQLResult FbCursor::close() {
    return guarded([&]() -> SQLResult { return finish(); });
}

SQLResult FbCursor::getColumnCount(uint16_t& count) {
    return guarded([&]() -> SQLResult {
        count = static_cast<uint16_t>(FStatement->columns().size());
        return DBXERR_NONE;
    });
}

SQLResult FbCursor::getColumn(uint16_t column, TDBXColumn& description) {
    return guarded([&]() -> SQLResult {
        if (column < 1 || column > FStatement->columns().size())
            return fail(DBXERR_OUTOFRANGE, "Column " + std::to_string(column) + " is out of range");
        description = FStatement->columns()[column - 1];
        return DBXERR_NONE;
    });
}

SQLResult FbCursor::next() {
    return guarded([&]() -> SQLResult {
        if (FPosition == Position::Ended) return DBXERR_EOF;
        if (!current()) {
            FPosition = Position::Ended;
            return fail(DBXERR_INVALIDHNDL, "The result set was closed");
        }
        if (FSingleton) {
            if (FPosition == Position::OnRow) {
                SQLResult r = finish();
                return r == DBXERR_NONE ? DBXERR_EOF : r;
            }
            FPosition = Position::OnRow;
            return DBXERR_NONE;
        }
        FbStatus status;
        ISC_STATUS result = FStatement->api().isc_dsql_fetch(
            status.get(), FStatement->handle(),
            static_cast<unsigned short>(FStatement->attachment().settings().Dialect),
            FStatement->output().get());
        if (status.failed()) {
            SQLResult r = fail(FStatement->api(), status);
            FPosition = Position::Ended;
            FbStatus ignored;
            FStatement->closeCursor(ignored);
            // A result set that broke off must not commit the part of its
            // work (a selectable procedure's writes) done before the error.
            if (FOwnsTransaction && FTransaction) FTransaction->rollback(ignored);
            FTransaction.reset();
            return r;
        }
        if (result == 100) {
            SQLResult r = finish();
            return r == DBXERR_NONE ? DBXERR_EOF : r;
        }
        FPosition = Position::OnRow;
        return DBXERR_NONE;
    });
}

SQLResult FbCursor::getValue(uint16_t column, TDBXValue& value) {
    return guarded([&]() -> SQLResult {
        if (column < 1 || column > FStatement->columns().size())
            return fail(DBXERR_OUTOFRANGE, "Column " + std::to_string(column) + " is out of range");
        if (FPosition != Position::OnRow) return fail(DBXERR_EOF);
        if (!current()) return fail(DBXERR_INVALIDHNDL, "The result set was closed");
        const XSQLVAR& var = FStatement->output().var(column - 1);
        const FbSettings& settings = FStatement->attachment().settings();
        if (ReadScalar(var, settings.TrimChar, value)) return DBXERR_NONE;
        if ((var.sqltype & ~1) != SQL_BLOB)
            return fail(DBXERR_INVALIDFLDTYPE, "The column's type cannot be read");
        value.Type = TDBXType::Blob;
        value.IsNull = (var.sqltype & 1) && *var.sqlind < 0;
        value.Text.clear();
        if (value.IsNull) return DBXERR_NONE;
        if (!FTransaction || !FTransaction->active())
            return fail(DBXERR_INVALIDHNDL, "The blob's transaction has ended");
        ISC_QUAD id;
        std::memcpy(&id, var.sqldata, sizeof id);
        FbStatus status;
        std::string bytes;
        if (!ReadBlob(*FTransaction, id, settings.BlobLimit, bytes, status))
            return fail(FStatement->api(), status);
        if (var.sqlsubtype == 1)
            DecodeText(TextCharset(var), bytes, value.Text);
        else
            value.Text = std::move(bytes);
        return DBXERR_NONE;
    });
}

} // namespace fb
