#pragma once
// The Firebird client library, loaded at run time so that neither the driver
// nor the program links it. Every entry is typed from <ibase.h>, so a change
// of signature is a compile error rather than a crash.

#include <ibase.h>

#include <string>

namespace fb {

class FbClient {
public:
    // The library of that name, loaded once per process and never unloaded:
    // the client keeps threads and exit handlers that must outlive every
    // attachment. Null, with the loader's reason in error, when the library
    // or one of its entries is missing.
    static const FbClient* Load(const std::string& name, std::string& error);
    // Ends every client library loaded so far with fb_shutdown: their
    // threads stop and their attachments go, while the process can still
    // run them down. Left to the client's own exit handler, that shutdown
    // races the rest of the process's exit and now and then crashes in a
    // client thread. Nothing may use the clients afterwards.
    static void ShutdownAll();

    decltype(&::isc_attach_database) isc_attach_database = nullptr;
    decltype(&::isc_detach_database) isc_detach_database = nullptr;
    decltype(&::isc_start_multiple) isc_start_multiple = nullptr;
    decltype(&::isc_commit_transaction) isc_commit_transaction = nullptr;
    decltype(&::isc_rollback_transaction) isc_rollback_transaction = nullptr;
    decltype(&::isc_dsql_allocate_statement) isc_dsql_allocate_statement = nullptr;
    decltype(&::isc_dsql_prepare) isc_dsql_prepare = nullptr;
    decltype(&::isc_dsql_describe) isc_dsql_describe = nullptr;
    decltype(&::isc_dsql_describe_bind) isc_dsql_describe_bind = nullptr;
    decltype(&::isc_dsql_execute) isc_dsql_execute = nullptr;
    decltype(&::isc_dsql_execute2) isc_dsql_execute2 = nullptr;
    decltype(&::isc_dsql_fetch) isc_dsql_fetch = nullptr;
    decltype(&::isc_dsql_free_statement) isc_dsql_free_statement = nullptr;
    decltype(&::isc_dsql_sql_info) isc_dsql_sql_info = nullptr;
    decltype(&::isc_open_blob2) isc_open_blob2 = nullptr;
    decltype(&::isc_create_blob2) isc_create_blob2 = nullptr;
    decltype(&::isc_get_segment) isc_get_segment = nullptr;
    decltype(&::isc_put_segment) isc_put_segment = nullptr;
    decltype(&::isc_close_blob) isc_close_blob = nullptr;
    decltype(&::isc_cancel_blob) isc_cancel_blob = nullptr;
    decltype(&::fb_interpret) fb_interpret = nullptr;
    decltype(&::isc_vax_integer) isc_vax_integer = nullptr;
    decltype(&::fb_shutdown) fb_shutdown = nullptr;

private:
    FbClient() = default;
    bool resolve(void* library, std::string& error);
};

} // namespace fb
