#pragma once
// A private Firebird server for tests that need one: its own configuration,
// security database and lock folder in a temporary folder, listening on a
// free port of the loopback address only. SYSDBA has the password below.
// The server is a child of the test process and dies with it.

#include <string>
#include <sys/types.h>

namespace testsupport {

class FirebirdServer {
public:
    static constexpr const char* User = "SYSDBA";
    static constexpr const char* Password = "Secr3t";

    FirebirdServer();
    ~FirebirdServer(); // stops the server and removes its folder
    FirebirdServer(const FirebirdServer&) = delete;
    FirebirdServer& operator=(const FirebirdServer&) = delete;

    // Prepares the folder and starts the server; false, with the reason in
    // Error(), when it does not listen within a few seconds.
    bool Start();
    // SIGTERM, then SIGKILL when it has not ended after a short wait.
    void Stop();
    // SIGKILL at once, as a crash would end it.
    void Kill();
    // Starts it again on the same port, with the same databases.
    bool Restart();

    bool Running() const { return FPid > 0; }
    int Port() const { return FPort; }
    const std::string& Folder() const { return FFolder; }
    const std::string& Error() const { return FError; }
    // A folder for database files the server opens.
    std::string DataFolder() const { return FFolder + "/data"; }
    // "127.0.0.1/PORT:path", the form the connection's Database takes.
    std::string DatabaseUrl(const std::string& path) const;

private:
    bool prepareFolder();
    bool launch();
    bool waitListening(int milliseconds);
    bool exited(int milliseconds);

    std::string FFolder;
    std::string FError;
    int FPort = 0;
    pid_t FPid = -1;
};

// Makes an empty database at path with the embedded engine (dialect 3,
// WIN1252 by default) and runs sql in it; fails the current test when isql
// reports an error.
void CreateDatabase(const std::string& path, const std::string& sql,
                    const std::string& charset = "WIN1252");

} // namespace testsupport
