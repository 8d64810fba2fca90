#include "data/firebird/FbClient.h"

#include <dlfcn.h>

#include <map>
#include <memory>
#include <mutex>

namespace fb {

namespace {

std::mutex& clientsMutex() {
    static std::mutex mutex;
    return mutex;
}

std::map<std::string, std::unique_ptr<FbClient>>& loadedClients() {
    static std::map<std::string, std::unique_ptr<FbClient>> loaded;
    return loaded;
}

// How long the client may take to end its attachments and threads.
constexpr unsigned kShutdownMilliseconds = 10000;

} // namespace

const FbClient* FbClient::Load(const std::string& name, std::string& error) {
    std::lock_guard<std::mutex> lock(clientsMutex());
    auto& loaded = loadedClients();
    if (auto it = loaded.find(name); it != loaded.end()) return it->second.get();

    void* library = dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        const char* reason = dlerror();
        error = reason ? reason : "cannot load " + name;
        return nullptr;
    }
    std::unique_ptr<FbClient> client(new FbClient);
    if (!client->resolve(library, error)) {
        dlclose(library);
        return nullptr;
    }
    return (loaded[name] = std::move(client)).get();
}

void FbClient::ShutdownAll() {
    std::lock_guard<std::mutex> lock(clientsMutex());
    for (auto& [name, client] : loadedClients()) {
        if (client->fb_shutdown) client->fb_shutdown(kShutdownMilliseconds, fb_shutrsn_app_stopped);
        client->fb_shutdown = nullptr; // once
    }
}

bool FbClient::resolve(void* library, std::string& error) {
    bool ok = true;
    auto bind = [&](auto& entry, const char* symbol) {
        entry = reinterpret_cast<std::remove_reference_t<decltype(entry)>>(dlsym(library, symbol));
        if (!entry && ok) {
            error = std::string("missing entry ") + symbol;
            ok = false;
        }
    };
#define FB_BIND(name) bind(name, #name)
    FB_BIND(isc_attach_database);
    FB_BIND(isc_detach_database);
    FB_BIND(isc_start_multiple);
    FB_BIND(isc_commit_transaction);
    FB_BIND(isc_rollback_transaction);
    FB_BIND(isc_dsql_allocate_statement);
    FB_BIND(isc_dsql_prepare);
    FB_BIND(isc_dsql_describe);
    FB_BIND(isc_dsql_describe_bind);
    FB_BIND(isc_dsql_execute);
    FB_BIND(isc_dsql_execute2);
    FB_BIND(isc_dsql_fetch);
    FB_BIND(isc_dsql_free_statement);
    FB_BIND(isc_dsql_sql_info);
    FB_BIND(isc_open_blob2);
    FB_BIND(isc_create_blob2);
    FB_BIND(isc_get_segment);
    FB_BIND(isc_put_segment);
    FB_BIND(isc_close_blob);
    FB_BIND(isc_cancel_blob);
    FB_BIND(fb_interpret);
    FB_BIND(isc_vax_integer);
    FB_BIND(fb_shutdown);
#undef FB_BIND
    return ok;
}

} // namespace fb
