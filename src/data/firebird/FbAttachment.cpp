#include "data/firebird/FbAttachment.h"

#include <algorithm>
#include <csignal>

namespace fb {

namespace {

// The client takes SIGINT and SIGTERM for itself on its first attach, the
// program's handlers or not: its handler starts a shutdown of the client in
// a thread of the client's and then calls the program's handler. That
// shutdown races the program's own end, and now and then a client thread
// crashes while the process exits. The signals stay the program's: their
// handling is put back as it was before the attach, and the program ends
// the client itself when it ends (shutdownSQLDriver).
class KeepSignalHandling {
public:
    KeepSignalHandling() {
        for (int i = 0; i < 2; ++i)
            FSaved[i] = sigaction(kSignals[i], nullptr, &FPrevious[i]) == 0;
    }
    ~KeepSignalHandling() {
        for (int i = 0; i < 2; ++i)
            if (FSaved[i]) sigaction(kSignals[i], &FPrevious[i], nullptr);
    }
    KeepSignalHandling(const KeepSignalHandling&) = delete;
    KeepSignalHandling& operator=(const KeepSignalHandling&) = delete;

private:
    static constexpr int kSignals[2] = {SIGINT, SIGTERM};
    struct sigaction FPrevious[2]{};
    bool FSaved[2] = {};
};

// The transaction block of isc_start_multiple; ibase.h declares none.
struct TransactionBlock {
    isc_db_handle* Database;
    long TpbLength;
    const char* Tpb;
};

std::string transactionParameters(TTransIsolationLevel level, bool readOnly, bool wait) {
    std::string tpb{isc_tpb_version3, static_cast<char>(readOnly ? isc_tpb_read : isc_tpb_write),
                    static_cast<char>(wait ? isc_tpb_wait : isc_tpb_nowait)};
    if (level == xilREPEATABLEREAD) {
        tpb += static_cast<char>(isc_tpb_concurrency);
    } else {
        // Firebird reads no uncommitted data; a dirty read is served by the
        // nearest level, read committed of the latest committed version.
        tpb += static_cast<char>(isc_tpb_read_committed);
        tpb += static_cast<char>(isc_tpb_rec_version);
    }
    return tpb;
}

} // namespace

FbAttachment::~FbAttachment() {
    FbStatus status;
    detach(status);
}

bool FbAttachment::attach(const std::string& database, const std::string& dpb, FbStatus& status) {
    status.reset();
    KeepSignalHandling signals;
    FApi.isc_attach_database(status.get(), 0, database.c_str(), &FHandle,
                             static_cast<short>(dpb.size()), dpb.data());
    if (!status.failed()) return true;
    FHandle = 0;
    return false;
}

bool FbAttachment::detach(FbStatus& status) {
    status.reset();
    if (!attached()) return true;
    Explicit.reset();
    while (!FOpen.empty()) {
        FbStatus ignored;
        FOpen.back()->rollback(ignored);
    }
    FApi.isc_detach_database(status.get(), &FHandle);
    // A detach that fails (the server is gone) still ends this attachment:
    // its handle is released by the client and must not be used again.
    FHandle = 0;
    return !status.failed();
}

FbTransaction::FbTransaction(std::shared_ptr<FbAttachment> attachment)
    : FAttachment(std::move(attachment)) {}

std::shared_ptr<FbTransaction> FbTransaction::Start(const std::shared_ptr<FbAttachment>& attachment,
                                                    TTransIsolationLevel level, bool readOnly,
                                                    FbStatus& status) {
    status.reset();
    std::shared_ptr<FbTransaction> t(new FbTransaction(attachment));
    std::string tpb = transactionParameters(level, readOnly, attachment->settings().WaitOnLocks);
    TransactionBlock block{attachment->handle(), static_cast<long>(tpb.size()), tpb.data()};
    attachment->api().isc_start_multiple(status.get(), &t->FHandle, 1, &block);
    if (status.failed()) {
        t->FHandle = 0;
        return nullptr;
    }
    attachment->FOpen.push_back(t.get());
    return t;
}

FbTransaction::~FbTransaction() {
    FbStatus ignored;
    rollback(ignored);
}

void FbTransaction::forget() {
    FHandle = 0;
    auto& open = FAttachment->FOpen;
    open.erase(std::remove(open.begin(), open.end(), this), open.end());
}

bool FbTransaction::commit(FbStatus& status) {
    status.reset();
    if (!active()) return true;
    FAttachment->api().isc_commit_transaction(status.get(), &FHandle);
    if (!status.failed()) {
        forget();
        return true;
    }
    FbStatus ignored;
    FAttachment->api().isc_rollback_transaction(ignored.get(), &FHandle);
    forget();
    return false;
}

bool FbTransaction::rollback(FbStatus& status) {
    status.reset();
    if (!active()) {
        if (FHandle != 0) forget();
        return true;
    }
    FAttachment->api().isc_rollback_transaction(status.get(), &FHandle);
    forget();
    return !status.failed();
}

} // namespace fb
