#include "data/firebird/FbMetaData.h"

namespace fb {

SQLResult FbMetaData::setOption(TSQLMetaDataOption option, const std::string& value) {
    return guarded([&]() -> SQLResult {
        if (option != TSQLMetaDataOption::SchemaName) return fail(DBXERR_NOTSUPPORTED);
        // Firebird has no schemas; the name is kept for whoever asks.
        FSchemaName = value;
        return DBXERR_NONE;
    });
}

SQLResult FbMetaData::getOption(TSQLMetaDataOption option, std::string& value) {
    return guarded([&]() -> SQLResult {
        switch (option) {
        case TSQLMetaDataOption::ObjectQuoteChar:
            // Dialect 1 has no quoted identifiers: a quote starts a string.
            value = FDialect >= 3 ? "\"" : "";
            return DBXERR_NONE;
        case TSQLMetaDataOption::SupportsTransaction:
            value = "True";
            return DBXERR_NONE;
        // One transaction at a time per connection: every statement of the
        // connection runs in the one the caller began.
        case TSQLMetaDataOption::SupportsTransactions:
            value = "False";
            return DBXERR_NONE;
        case TSQLMetaDataOption::SchemaName:
            value = FSchemaName;
            return DBXERR_NONE;
        }
        return fail(DBXERR_NOTSUPPORTED);
    });
}

} // namespace fb
