// Leaks one block of our own on purpose, after putting the process where the
// leak checker's suppressions apply: run by the leak report tests, which
// expect the checker to report the block when the process ends.
//
//   leak_on_purpose plain | event-loop | database

#include "data/TSQLConnection.h"

#include <QCoreApplication>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace {

// The size the tests look for in the report.
constexpr std::size_t kBlockSize = 4099;

void* volatile gSink = nullptr;

// The frame the report must show. The only pointer to the block is dropped at
// once, so that nothing the checker scans still holds it.
__attribute__((noinline)) void LeakOnPurpose() {
    gSink = std::malloc(kBlockSize);
    gSink = nullptr;
}

// Leaks on a thread that then ends, so that no register or stack slot of a
// live thread keeps the address.
void LeakOnAThreadOfItsOwn() { std::thread(LeakOnPurpose).join(); }

// The Firebird client, its embedded engine and the dynamic loader all did
// their work in this process: the driver module and the client are loaded
// from the program's folder and the system, a library that does not exist
// fails to load, and the engine refuses a database that is not there.
void UseTheDatabaseLayers() {
    TSQLConnection connection(nullptr);
    connection.SetDriverName("Interbase");
    connection.SetLibraryName("libfbdriver.so");
    connection.SetGetDriverFunc("getSQLDriverINTERBASE");
    connection.SetVendorLib("libfbclient.so.2");
    connection.SetLoginPrompt(false);
    connection.Params().Add("Database=/nonexistent/talvero.fdb");
    connection.Params().Add("User_Name=SYSDBA");
    try {
        connection.Open();
    } catch (const std::exception&) {
    }
    TSQLConnection missing(nullptr);
    missing.SetDriverName("Interbase");
    missing.SetLibraryName("libnonexistent-driver.so");
    missing.SetGetDriverFunc("getSQLDriverINTERBASE");
    missing.SetLoginPrompt(false);
    try {
        missing.Open();
    } catch (const std::exception&) {
    }
}

} // namespace

int main(int argc, char** argv) {
    const char* what = argc == 2 ? argv[1] : "";
    if (std::strcmp(what, "plain") == 0) {
        LeakOnAThreadOfItsOwn();
    } else if (std::strcmp(what, "event-loop") == 0) {
        // Inside a handler that Qt's event loop (GLib's main loop) calls.
        QCoreApplication application(argc, argv);
        QTimer::singleShot(0, &application, [&application] {
            LeakOnPurpose();
            application.quit();
        });
        application.exec();
    } else if (std::strcmp(what, "database") == 0) {
        UseTheDatabaseLayers();
        LeakOnAThreadOfItsOwn();
    } else {
        std::fprintf(stderr, "usage: leak_on_purpose plain|event-loop|database\n");
        return 2;
    }
    return 0;
}
