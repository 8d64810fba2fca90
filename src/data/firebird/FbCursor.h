#pragma once
// A forward-only result set of a statement. When the statement ran in the
// driver's own transaction (no transaction begun by the caller), the cursor
// owns that transaction and commits it when the result set ends: after the
// last row, on close() or when it is deleted. A fetch that fails rolls it
// back instead.

#include "data/firebird/FbObject.h"
#include "data/firebird/FbStatement.h"

#include <memory>

namespace fb {

class FbCursor : public FbObject<ISQLCursor> {
public:
    // singleton: the row is already in the statement's output area (an
    // EXECUTE PROCEDURE with outputs) and nothing is fetched.
    FbCursor(std::shared_ptr<FbStatement> statement, std::shared_ptr<FbTransaction> transaction,
             bool ownsTransaction, bool singleton);
    ~FbCursor() override;

    SQLResult getColumnCount(uint16_t& count) override;
    SQLResult getColumn(uint16_t column, TDBXColumn& description) override;
    SQLResult next() override;
    SQLResult getValue(uint16_t column, TDBXValue& value) override;
    SQLResult close() override;

private:
    SQLResult finish();
    bool current() const { return FStatement->generation() == FGeneration && FStatement->alive(); }

    std::shared_ptr<FbStatement> FStatement;
    std::shared_ptr<FbTransaction> FTransaction;
    unsigned FGeneration;
    bool FOwnsTransaction;
    bool FSingleton;
    enum class Position { BeforeFirst, OnRow, Ended } FPosition = Position::BeforeFirst;
};

} // namespace fb
