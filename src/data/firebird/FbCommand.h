#pragma once
// One statement of a connection. Outside a transaction begun by the caller
// every execution runs in a transaction of its own, committed as soon as the
// statement is done, or, for a result set, when its cursor ends.

#include "data/firebird/FbObject.h"
#include "data/firebird/FbStatement.h"

#include <memory>

namespace fb {

class FbCommand : public FbObject<ISQLCommand> {
public:
    explicit FbCommand(std::shared_ptr<FbAttachment> attachment);
    ~FbCommand() override;

    SQLResult prepare(const std::string& sql, uint16_t paramCount) override;
    SQLResult setParameter(uint16_t index, const TDBXValue& value) override;
    SQLResult execute(ISQLCursor** cursor) override;
    SQLResult getRowsAffected(uint32_t& rows) override;
    SQLResult close() override;

private:
    SQLResult run(FbTransaction& transaction, bool ownsTransaction,
                  std::shared_ptr<FbTransaction> shared, ISQLCursor** cursor);

    std::shared_ptr<FbAttachment> FAttachment;
    std::shared_ptr<FbStatement> FStatement;
    uint32_t FRowsAffected = 0;
};

} // namespace fb
