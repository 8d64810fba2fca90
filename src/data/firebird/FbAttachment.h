#pragma once
// One attachment to a database, shared by the connection and every command,
// cursor and transaction made on it, so that none of them depends on the
// order in which the caller deletes them. After detach the handle is dead:
// objects that outlive it make no more calls on it.

#include "data/DriverIntf.h"
#include "data/firebird/FbClient.h"
#include "data/firebird/FbStatus.h"

#include <memory>
#include <string>
#include <vector>

namespace fb {

class FbTransaction;

struct FbSettings {
    int Dialect = 3;
    bool WaitOnLocks = true; // a statement waits for a lock instead of failing at once
    bool TrimChar = false;   // CHAR values lose their trailing blanks
    long BlobLimit = -1;     // bytes of a blob read, negative for all
};

class FbAttachment {
public:
    FbAttachment(const FbClient& api, FbSettings settings) : FApi(api), FSettings(settings) {}
    ~FbAttachment();
    FbAttachment(const FbAttachment&) = delete;
    FbAttachment& operator=(const FbAttachment&) = delete;

    const FbClient& api() const { return FApi; }
    const FbSettings& settings() const { return FSettings; }
    FbSettings& settings() { return FSettings; }
    isc_db_handle* handle() { return &FHandle; }
    bool attached() const { return FHandle != 0; }

    // False with the status filled when the server refuses.
    bool attach(const std::string& database, const std::string& dpb, FbStatus& status);
    // Rolls back every transaction still open on it first: the server refuses
    // to detach while one is active, and unfinished work must not survive.
    bool detach(FbStatus& status);

    // The transaction the caller began, which every statement then runs in;
    // null when statements commit their own work.
    std::shared_ptr<FbTransaction> Explicit;

private:
    friend class FbTransaction;
    const FbClient& FApi;
    FbSettings FSettings;
    isc_db_handle FHandle = 0;
    std::vector<FbTransaction*> FOpen; // every started, unfinished transaction
};

class FbTransaction {
public:
    // Null, with the status filled, when the server refuses.
    static std::shared_ptr<FbTransaction> Start(const std::shared_ptr<FbAttachment>& attachment,
                                                TTransIsolationLevel level, bool readOnly,
                                                FbStatus& status);
    ~FbTransaction();
    FbTransaction(const FbTransaction&) = delete;
    FbTransaction& operator=(const FbTransaction&) = delete;

    bool active() const { return FHandle != 0 && FAttachment->attached(); }
    isc_tr_handle* handle() { return &FHandle; }
    FbAttachment& attachment() { return *FAttachment; }
    // Ends it either way. A commit the server refuses is rolled back, so that
    // a failed commit never leaves a transaction holding locks behind.
    bool commit(FbStatus& status);
    bool rollback(FbStatus& status);

private:
    explicit FbTransaction(std::shared_ptr<FbAttachment> attachment);
    void forget();

    std::shared_ptr<FbAttachment> FAttachment;
    isc_tr_handle FHandle = 0;
};

} // namespace fb
