// Linked into every test program (talvero_add_tests), whatever else it uses.
//
// TALVERO_TEST_TODAY=yyyy-mm-dd runs the whole test program on that day, at
// noon, through the clock of DateUtils: a run on 15 November or on
// 29 February shows that no test depends on the day it runs. Tests that fix
// their own day still do.

#include "platform/DateUtils.h"

#include <cstdio>
#include <cstdlib>
#include <optional>

namespace {

class TodayFromEnvironment {
public:
    TodayFromEnvironment() {
        const char* text = std::getenv("TALVERO_TEST_TODAY");
        if (!text || !*text) return;
        int year = 0, month = 0, day = 0;
        char extra = 0;
        TDateTime date;
        if (std::sscanf(text, "%d-%d-%d%c", &year, &month, &day, &extra) != 3 ||
            !TryEncodeDate(year, month, day, date)) {
            std::fprintf(stderr, "TALVERO_TEST_TODAY=%s is not a date yyyy-mm-dd\n", text);
            std::exit(2);
        }
        FClock.emplace(TDateTime(date.Val() + 0.5));
    }

private:
    std::optional<TFixedClock> FClock;
};

const TodayFromEnvironment todayFromEnvironment;

} // namespace
