#include "data/firebird/FbBlob.h"

#include <algorithm>

namespace fb {

namespace {

// Closes or cancels the blob whatever path leaves the function.
class BlobHandle {
public:
    explicit BlobHandle(const FbClient& api) : FApi(api) {}
    ~BlobHandle() {
        if (FHandle == 0) return;
        FbStatus ignored;
        FApi.isc_cancel_blob(ignored.get(), &FHandle);
    }
    isc_blob_handle* get() { return &FHandle; }
    bool close(FbStatus& status) {
        status.reset();
        FApi.isc_close_blob(status.get(), &FHandle);
        FHandle = 0;
        return !status.failed();
    }

private:
    const FbClient& FApi;
    isc_blob_handle FHandle = 0;
};

} // namespace

bool ReadBlob(FbTransaction& transaction, const ISC_QUAD& id, long limit, std::string& out,
              FbStatus& status) {
    const FbClient& api = transaction.attachment().api();
    out.clear();
    BlobHandle blob(api);
    ISC_QUAD blobId = id;
    status.reset();
    api.isc_open_blob2(status.get(), transaction.attachment().handle(), transaction.handle(),
                       blob.get(), &blobId, 0, nullptr);
    if (status.failed()) return false;
    char buffer[32768];
    for (;;) {
        if (limit >= 0 && out.size() >= static_cast<size_t>(limit)) break;
        unsigned short got = 0;
        status.reset();
        api.isc_get_segment(status.get(), blob.get(), &got, sizeof buffer, buffer);
        if (status.failed() && status.code() == isc_segstr_eof) break;
        if (status.failed() && status.code() != isc_segment) return false;
        out.append(buffer, got);
    }
    if (limit >= 0 && out.size() > static_cast<size_t>(limit)) out.resize(limit);
    return blob.close(status);
}

bool WriteBlob(FbTransaction& transaction, const std::string& bytes, ISC_QUAD& id,
               FbStatus& status) {
    const FbClient& api = transaction.attachment().api();
    BlobHandle blob(api);
    id = ISC_QUAD{};
    status.reset();
    api.isc_create_blob2(status.get(), transaction.attachment().handle(), transaction.handle(),
                         blob.get(), &id, 0, nullptr);
    if (status.failed()) return false;
    for (size_t at = 0; at < bytes.size();) {
        auto chunk = static_cast<unsigned short>(std::min<size_t>(bytes.size() - at, 32768));
        status.reset();
        api.isc_put_segment(status.get(), blob.get(), chunk, bytes.data() + at);
        if (status.failed()) return false;
        at += chunk;
    }
    return blob.close(status);
}

} // namespace fb
