#include "FirebirdServer.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <netinet/in.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

namespace testsupport {

namespace {

const char* const firebirdLib = "/usr/lib/x86_64-linux-gnu/firebird/3.0";
const char* const firebirdEtc = "/etc/firebird/3.0";
const char* const securityDb = "/var/lib/firebird/3.0/system/security3.fdb";
const char* const serverBinary = "/usr/sbin/firebird";

// A port the system reports free on the loopback address at this moment.
int freePort() {
    int s = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (s < 0) return 0;
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    int port = 0;
    if (bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
        getsockname(s, reinterpret_cast<sockaddr*>(&a), &len) == 0)
        port = ntohs(a.sin_port);
    close(s);
    return port;
}

bool accepts(int port) {
    int s = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (s < 0) return false;
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<uint16_t>(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bool ok = connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    close(s);
    return ok;
}

bool copyFile(const fs::path& from, const fs::path& to, std::string& error) {
    std::error_code ec;
    fs::copy_file(from, to, fs::copy_options::overwrite_existing, ec);
    if (ec) error = "cannot copy " + from.string() + ": " + ec.message();
    return !ec;
}

} // namespace

FirebirdServer::FirebirdServer() {
    std::string pattern = (fs::temp_directory_path() / "talvero-fbserver-XXXXXX").string();
    if (mkdtemp(pattern.data())) FFolder = pattern;
}

FirebirdServer::~FirebirdServer() {
    Stop();
    if (!FFolder.empty()) {
        std::error_code ec;
        fs::remove_all(FFolder, ec);
    }
}

std::string FirebirdServer::DatabaseUrl(const std::string& path) const {
    return "127.0.0.1/" + std::to_string(FPort) + ":" + path;
}

bool FirebirdServer::prepareFolder() {
    if (FFolder.empty()) {
        FError = "cannot make a temporary folder";
        return false;
    }
    std::error_code ec;
    fs::path root = fs::path(FFolder) / "root";
    for (const char* sub : {"root/intl", "lock", "data"})
        fs::create_directories(fs::path(FFolder) / sub, ec);
    // Copies, not links: the server finds its character sets only in a real
    // intl folder.
    if (!copyFile(fs::path(firebirdLib) / "firebird.msg", root / "firebird.msg", FError) ||
        !copyFile(fs::path(firebirdEtc) / "plugins.conf", root / "plugins.conf", FError) ||
        !copyFile(fs::path(firebirdLib) / "intl/libfbintl.so", root / "intl/libfbintl.so",
                  FError) ||
        !copyFile(fs::path(firebirdEtc) / "fbintl.conf", root / "intl/fbintl.conf", FError) ||
        !copyFile(securityDb, fs::path(FFolder) / "security3.fdb", FError))
        return false;
    fs::create_symlink(fs::path(firebirdLib) / "plugins", root / "plugins", ec);
    if (ec && ec != std::errc::file_exists) {
        FError = "cannot link the plugins: " + ec.message();
        return false;
    }
    WriteFile((root / "firebird.conf").string(), "RemoteBindAddress = 127.0.0.1\n"
                                                 "RemoteServicePort = " +
                                                     std::to_string(FPort) +
                                                     "\n"
                                                     "SecurityDatabase = " +
                                                     FFolder +
                                                     "/security3.fdb\n"
                                                     "ServerMode = Super\n");
    std::string env1 = "FIREBIRD=" + root.string();
    std::string env2 = "FIREBIRD_LOCK=" + FFolder + "/lock";
    CommandResult r =
        RunCommand(IsqlCommand({"-q", "-user", User, FFolder + "/security3.fdb"}, {env1, env2}),
                   std::string("create or alter user SYSDBA password '") + Password +
                       "' using plugin Srp;\ncommit;\n");
    if (r.ExitCode != 0 || r.Output.find("Statement failed") != std::string::npos) {
        FError = "cannot set the SYSDBA password: " + r.Output;
        return false;
    }
    return true;
}

bool FirebirdServer::launch() {
    std::string root = FFolder + "/root";
    std::string lock = FFolder + "/lock";
    std::string log = FFolder + "/server.out";
    pid_t parent = getpid();
    pid_t pid = fork();
    if (pid < 0) {
        FError = "fork failed";
        return false;
    }
    if (pid == 0) {
        // A test that dies must not leave its server running.
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (getppid() != parent) _exit(1);
        setenv("FIREBIRD", root.c_str(), 1);
        setenv("FIREBIRD_LOCK", lock.c_str(), 1);
        unsetenv("ISC_USER");
        unsetenv("ISC_PASSWORD");
        int fd = open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        if (fd >= 0) {
            dup2(fd, 1);
            dup2(fd, 2);
        }
        int null = open("/dev/null", O_RDONLY);
        if (null >= 0) dup2(null, 0);
        execl(serverBinary, serverBinary, static_cast<char*>(nullptr));
        _exit(127);
    }
    FPid = pid;
    if (waitListening(15000)) return true;
    FError = "the server did not listen on port " + std::to_string(FPort) + ": " + ReadFile(log);
    Kill();
    return false;
}

bool FirebirdServer::Start() {
    if (Running()) return true;
    for (int attempt = 0; attempt < 3; ++attempt) {
        FPort = freePort();
        if (FPort == 0) {
            FError = "no free port";
            return false;
        }
        if (!prepareFolder()) return false;
        if (launch()) return true;
    }
    return false;
}

bool FirebirdServer::Restart() {
    if (Running()) Stop();
    return launch();
}

bool FirebirdServer::waitListening(int milliseconds) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (std::chrono::steady_clock::now() < deadline) {
        if (exited(0)) return false;
        if (accepts(FPort)) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

bool FirebirdServer::exited(int milliseconds) {
    if (FPid <= 0) return true;
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    for (;;) {
        int status = 0;
        pid_t r = waitpid(FPid, &status, WNOHANG);
        if (r == FPid || (r < 0 && errno == ECHILD)) {
            FPid = -1;
            return true;
        }
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

void FirebirdServer::Stop() {
    if (FPid <= 0) return;
    kill(FPid, SIGTERM);
    // It sometimes keeps serving after a TERM that comes right after a
    // client detached; a kill then ends it, with its committed work on disk.
    if (!exited(3000)) Kill();
}

void FirebirdServer::Kill() {
    if (FPid <= 0) return;
    kill(FPid, SIGKILL);
    exited(10000);
}

void CreateDatabase(const std::string& path, const std::string& sql, const std::string& charset) {
    std::string script = "SET BAIL ON;\nCREATE DATABASE '" + path +
                         "' USER 'SYSDBA' PAGE_SIZE 8192 DEFAULT CHARACTER SET " + charset + ";\n" +
                         sql + "\nCOMMIT;\n";
    CommandResult r = RunCommand(IsqlCommand({"-q", "-ch", "UTF8"}), script);
    ASSERT_EQ(r.ExitCode, 0) << "isql-fb failed:\n" << r.Output;
    ASSERT_EQ(r.Output.find("Statement failed"), std::string::npos) << r.Output;
}

} // namespace testsupport
