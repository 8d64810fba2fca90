#include "data/firebird/FbDriver.h"

#include "data/firebird/FbConnection.h"

namespace fb {

SQLResult FbDriver::getSQLConnection(ISQLConnection** connection) {
    return guarded([&]() -> SQLResult {
        *connection = new FbConnection(FApi);
        return DBXERR_NONE;
    });
}

} // namespace fb

// The module's one entry. vendorLib names the Firebird client library, which
// is loaded here; errorResourceFile is not used, as the server's messages
// come with the client. A client library that cannot be loaded, or lacks an
// entry, gives DBXERR_DRIVERINITFAILED and no driver.
extern "C" __attribute__((visibility("default"))) SQLResult
getSQLDriverINTERBASE(const char* vendorLib, const char* /*errorResourceFile*/,
                      ISQLDriver** driver) {
    if (!driver) return DBXERR_INVALIDPARAM;
    *driver = nullptr;
    if (!vendorLib || !*vendorLib) return DBXERR_INVALIDPARAM;
    try {
        std::string reason;
        const fb::FbClient* api = fb::FbClient::Load(vendorLib, reason);
        if (!api) return DBXERR_DRIVERINITFAILED;
        *driver = new fb::FbDriver(*api);
        return DBXERR_NONE;
    } catch (...) {
        return DBXERR_NOMEMORY;
    }
}

// Called once as the program ends, after its last connection closed.
extern "C" __attribute__((visibility("default"))) void shutdownSQLDriver() {
    fb::FbClient::ShutdownAll();
}
