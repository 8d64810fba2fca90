// The program in a process of its own (tests/programs/window_session): how
// it ends when a termination signal comes while it is connected.

#include "CompanyWindowFixture.h"

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;

// A program started with its standard output and error in one pipe, which
// the test reads as it goes.
class Child {
public:
    explicit Child(const std::vector<std::string>& argv) {
        int out[2];
        if (pipe2(out, O_CLOEXEC) != 0) return;
        FPid = fork();
        if (FPid == 0) {
            dup2(out[1], 1);
            dup2(out[1], 2);
            std::vector<char*> args;
            for (const std::string& a : argv)
                args.push_back(const_cast<char*>(a.c_str()));
            args.push_back(nullptr);
            execvp(args[0], args.data());
            _exit(127);
        }
        close(out[1]);
        FOut = out[0];
    }
    ~Child() {
        if (FPid > 0 && !FEnded) {
            kill(FPid, SIGKILL);
            waitpid(FPid, nullptr, 0);
        }
        if (FOut >= 0) close(FOut);
    }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    // Reads until the output holds text; false when the time ran out or the
    // output ended first.
    bool waitFor(const std::string& text, std::chrono::milliseconds limit) {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (Output.find(text) == std::string::npos)
            if (!readSome(end)) return false;
        return true;
    }
    // Reads to the end of the output and waits for the exit; false (and the
    // program killed) when the time ran out.
    bool finish(std::chrono::milliseconds limit) {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (readSome(end)) {
        }
        if (std::chrono::steady_clock::now() >= end) return false;
        int status = 0;
        waitpid(FPid, &status, 0);
        FEnded = true;
        ExitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        return true;
    }
    void signal(int number) { kill(FPid, number); }

    std::string Output;
    int ExitCode = -1;

private:
    bool readSome(std::chrono::steady_clock::time_point end) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            end - std::chrono::steady_clock::now());
        if (FOut < 0 || left <= 0ms) return false;
        pollfd fd{FOut, POLLIN, 0};
        if (poll(&fd, 1, static_cast<int>(left.count())) <= 0) return false;
        char buffer[4096];
        const ssize_t n = read(FOut, buffer, sizeof buffer);
        if (n <= 0) return false;
        Output.append(buffer, static_cast<size_t>(n));
        return true;
    }

    pid_t FPid = -1;
    int FOut = -1;
    bool FEnded = false;
};

std::string sessionProgram() {
    return testsupport::BinDir() + "/window_session";
}

// What a sanitizer writes when it finds a fault, a leak or undefined
// behaviour, or when its own leak check breaks down.
bool hasSanitizerReport(const std::string& output) {
    for (const char* mark : {"Sanitizer", "runtime error:", "SUMMARY:", "Tracer caught"})
        if (output.find(mark) != std::string::npos) return true;
    return false;
}

} // namespace

// Ctrl+C or kill while connected: the window closes and the program leaves
// with status 0 and no sanitizer report. The Firebird client took the signal
// too and started a shutdown of its own in one of its threads, which raced
// the program's exit and crashed now and then; the signal is now the
// program's alone, and the program ends the client before its own exit.
TEST_F(CompanyWindowTest, ATerminationSignalWhileConnectedEndsTheProgramCleanly) {
    for (int run = 1; run <= 20; ++run) {
        SCOPED_TRACE("run " + std::to_string(run));
        Child session({sessionProgram(), "connect", "SYSDBA", "x", "01"});
        ASSERT_TRUE(session.waitFor("connected\n", 120s)) << session.Output;
        session.signal(SIGTERM);
        ASSERT_TRUE(session.finish(120s)) << session.Output;
        EXPECT_EQ(session.ExitCode, 0) << session.Output;
        EXPECT_FALSE(hasSanitizerReport(session.Output)) << session.Output;
        if (HasFailure()) return;
    }
}
