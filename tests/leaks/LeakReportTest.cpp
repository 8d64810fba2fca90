// The leak checker's suppressions name libraries that are not ours. A leak of
// our own code must still be reported under them, with readable frames: each
// case runs leak_on_purpose in a child process under this process's checker
// options and reads the report it prints when it ends.

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

using testsupport::BinDir;
using testsupport::CommandResult;
using testsupport::RunCommand;
using testsupport::SourceDir;

struct Case {
    const char* Name;
    const char* Where;     // leak_on_purpose's argument
    const char* Through;   // a frame the leak's stack must show, or null
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.Where; }

class LeakReport : public ::testing::TestWithParam<Case> {};

TEST_P(LeakReport, ALeakOfOurOwnIsReportedWithItsFrame) {
    // Without the project's suppressions the case would prove nothing.
    const char* options = std::getenv("LSAN_OPTIONS");
    ASSERT_NE(options, nullptr) << "run under scripts/test or ctest, which set LSAN_OPTIONS";
    ASSERT_NE(std::string(options).find("suppressions=" + SourceDir() + "/tests/lsan.supp"),
              std::string::npos)
        << options;

    const Case& c = GetParam();
    CommandResult r = RunCommand({BinDir() + "/leak_on_purpose", c.Where});
    EXPECT_NE(r.ExitCode, 0) << r.Output;
    EXPECT_NE(r.Output.find("ERROR: LeakSanitizer: detected memory leaks"), std::string::npos)
        << r.Output;
    EXPECT_NE(r.Output.find("Direct leak of 4099 byte(s) in 1 object(s) allocated from"),
              std::string::npos)
        << r.Output;
    // Readable: the function and its source line, not only an address.
    EXPECT_NE(r.Output.find("LeakOnPurpose"), std::string::npos) << r.Output;
    EXPECT_NE(r.Output.find("leak_on_purpose.cpp:"), std::string::npos) << r.Output;
    if (c.Through) {
        EXPECT_NE(r.Output.find(c.Through), std::string::npos) << r.Output;
    }
}

// The event loop's case leaks inside a handler that Qt's event loop calls:
// its stack runs through Qt's own frames.
INSTANTIATE_TEST_SUITE_P(Where, LeakReport,
                         ::testing::Values(Case{"Plain", "plain", nullptr},
                                           Case{"EventLoop", "event-loop", "libQt6Core.so"},
                                           Case{"AfterTheDatabaseLayers", "database", nullptr}),
                         [](const auto& info) { return std::string(info.param.Name); });

} // namespace
