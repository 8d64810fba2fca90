#pragma once
// A connection to one database, embedded ("/path/db.fdb") or through a
// server ("host:/path", "host/port:/path").
//
// Character set: the attachment uses the ServerCharSet option when it is
// given, else UTF8. With UTF8 the server converts every text column (WIN1252
// included) to and from UTF-8, which is what our strings are; with a chosen
// set the driver converts between UTF-8 and it where it knows how (FbCharset).

#include "data/firebird/FbAttachment.h"
#include "data/firebird/FbObject.h"

#include <map>
#include <memory>

namespace fb {

class FbConnection : public FbObject<ISQLConnection> {
public:
    explicit FbConnection(const FbClient& api) : FApi(api) {}
    ~FbConnection() override;

    SQLResult setOption(TSQLConnectionOption option, const std::string& value) override;
    SQLResult connect(const std::string& database, const std::string& user,
                      const std::string& password) override;
    SQLResult disconnect() override;
    SQLResult getSQLCommand(ISQLCommand** command) override;
    SQLResult getSQLMetaData(ISQLMetaData** metaData) override;
    SQLResult beginTransaction(const TTransactionDesc& desc) override;
    SQLResult commit(uint32_t transactionID) override;
    SQLResult rollback(uint32_t transactionID) override;

private:
    SQLResult endTransaction(uint32_t transactionID, bool commit);
    std::string option(TSQLConnectionOption key) const;

    const FbClient& FApi;
    std::map<TSQLConnectionOption, std::string> FOptions;
    std::shared_ptr<FbAttachment> FAttachment;
    uint32_t FTransactionID = 0;
};

} // namespace fb
