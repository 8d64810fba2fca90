#pragma once
// What the connection asks about the server: identifier quoting and
// transaction support.

#include "data/firebird/FbObject.h"

#include <string>

namespace fb {

class FbMetaData : public FbObject<ISQLMetaData> {
public:
    explicit FbMetaData(int dialect) : FDialect(dialect) {}

    SQLResult setOption(TSQLMetaDataOption option, const std::string& value) override;
    SQLResult getOption(TSQLMetaDataOption option, std::string& value) override;

private:
    int FDialect;
    std::string FSchemaName;
};

} // namespace fb
