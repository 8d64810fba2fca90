#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

namespace testsupport {

std::string SourceDir() {
    if (const char* s = std::getenv("TALVERO_SOURCE_DIR")) return s;
    return TALVERO_SOURCE_DIR;
}

std::string BinaryDir() {
    if (const char* s = std::getenv("TALVERO_BINARY_DIR")) return s;
    return TALVERO_BINARY_DIR;
}

std::string BinDir() { return BinaryDir() + "/bin"; }

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "talvero-test-XXXXXX").string();
    std::vector<char> buf(pattern.begin(), pattern.end());
    buf.push_back('\0');
    if (!mkdtemp(buf.data())) throw std::runtime_error("mkdtemp failed");
    FPath = buf.data();
}

TempDir::~TempDir() {
    std::error_code ec;
    // Folders a test made read-only must become writable to be removed.
    for (auto it = std::filesystem::recursive_directory_iterator(FPath, ec);
         !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec))
        std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
    std::filesystem::permissions(FPath, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(FPath, ec);
}

CommandResult RunCommand(const std::vector<std::string>& argv, const std::string& input) {
    CommandResult result;
    int in[2], out[2];
    if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0) return result;
    pid_t pid = fork();
    if (pid == 0) {
        dup2(in[0], 0);
        dup2(out[1], 1);
        dup2(out[1], 2);
        std::vector<char*> args;
        for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        execvp(args[0], args.data());
        _exit(127);
    }
    close(in[0]);
    close(out[1]);
    size_t written = 0;
    bool inputOpen = true;
    if (input.empty()) {
        close(in[1]);
        inputOpen = false;
    }
    char buf[65536];
    for (;;) {
        pollfd fds[2] = {{out[0], POLLIN, 0}, {inputOpen ? in[1] : -1, POLLOUT, 0}};
        if (poll(fds, 2, -1) < 0 && errno != EINTR) break;
        if (inputOpen && (fds[1].revents & (POLLOUT | POLLERR | POLLHUP))) {
            ssize_t n = write(in[1], input.data() + written, input.size() - written);
            if (n > 0) written += static_cast<size_t>(n);
            if (n < 0 || written == input.size()) {
                close(in[1]);
                inputOpen = false;
            }
        }
        if (fds[0].revents & (POLLIN | POLLHUP | POLLERR)) {
            ssize_t n = read(out[0], buf, sizeof buf);
            if (n <= 0) break;
            result.Output.append(buf, static_cast<size_t>(n));
        }
    }
    if (inputOpen) close(in[1]);
    close(out[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    result.ExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return result;
}

std::vector<std::string> IsqlCommand(const std::vector<std::string>& args,
                                     const std::vector<std::string>& environment) {
    std::vector<std::string> argv = {"env", "LC_ALL=C.UTF-8"};
    argv.insert(argv.end(), environment.begin(), environment.end());
    argv.push_back("isql-fb");
    argv.insert(argv.end(), args.begin(), args.end());
    return argv;
}

void CreateCompanyDatabase(const std::string& path, bool withSampleData) {
    std::vector<std::string> argv = {SourceDir() + "/db/create-database", path};
    if (!withSampleData) argv.push_back("--no-sample");
    CommandResult r = RunCommand(argv);
    ASSERT_EQ(r.ExitCode, 0) << "db/create-database " << path << " failed:\n" << r.Output;
}

std::string RunIsql(const std::string& databasePath, const std::string& sql) {
    std::string script = "SET BAIL ON;\n" + sql + "\nCOMMIT;\n";
    CommandResult r = RunCommand(IsqlCommand({"-q", "-user", "SYSDBA", databasePath}), script);
    EXPECT_EQ(r.ExitCode, 0) << "isql-fb failed:\n" << r.Output;
    EXPECT_EQ(r.Output.find("Statement failed"), std::string::npos) << r.Output;
    return r.Output;
}

std::string ReadFile(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

} // namespace testsupport
