#pragma once
// The driver object the module's entry gives out: a factory of connections
// over one loaded client library.

#include "data/firebird/FbObject.h"

namespace fb {

class FbDriver : public FbObject<ISQLDriver> {
public:
    explicit FbDriver(const FbClient& api) : FApi(api) {}
    SQLResult getSQLConnection(ISQLConnection** connection) override;

private:
    const FbClient& FApi;
};

} // namespace fb
