#include "support/BenchSupport.h"

#include <algorithm>
#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace benchsupport {

namespace {

double clockSeconds(clockid_t clock) {
    timespec t;
    clock_gettime(clock, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

} // namespace

void PrintRatio(const std::string& name, double value, const std::string& goal, double bound) {
    std::printf("ratio %s %.3f goal %s %.3f\n", name.c_str(), value, goal.c_str(), bound);
    std::fflush(stdout);
}

void PrintFigure(const std::string& name, double value) {
    std::printf("figure %s %.3f\n", name.c_str(), value);
    std::fflush(stdout);
}

void PrintTableRow(const std::vector<std::string>& cells) {
    std::printf("row | %.1f |", LoadAverage());
    for (const std::string& c : cells)
        std::printf(" %s |", c.c_str());
    std::printf("\n");
    std::fflush(stdout);
}

std::string Text(const char* format, ...) {
    char buffer[256];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    return buffer;
}

Times Measure(const std::function<void()>& work) {
    auto wall = std::chrono::steady_clock::now();
    double process = clockSeconds(CLOCK_PROCESS_CPUTIME_ID);
    double thread = clockSeconds(CLOCK_THREAD_CPUTIME_ID);
    work();
    Times t;
    t.Thread = clockSeconds(CLOCK_THREAD_CPUTIME_ID) - thread;
    t.Process = clockSeconds(CLOCK_PROCESS_CPUTIME_ID) - process;
    t.Wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wall).count();
    return t;
}

double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

static double medianOf(const std::vector<Times>& times, double Times::*clock) {
    std::vector<double> v;
    for (const Times& t : times)
        v.push_back(t.*clock);
    return Median(std::move(v));
}

double MedianWall(const std::vector<Times>& times) {
    return medianOf(times, &Times::Wall);
}
double MedianProcess(const std::vector<Times>& times) {
    return medianOf(times, &Times::Process);
}
double MedianThread(const std::vector<Times>& times) {
    return medianOf(times, &Times::Thread);
}

void PrintSides(const std::string& title, const std::vector<const char*>& names,
                const std::vector<std::vector<Times>>& times) {
    std::printf("%s, median of %zu rounds, load %.1f:\n", title.c_str(),
                times.empty() ? size_t{0} : times[0].size(), LoadAverage());
    for (size_t s = 0; s < names.size() && s < times.size(); ++s)
        std::printf("  %-15s %8.2f ms CPU  (process %8.2f)  %8.2f ms wall\n", names[s],
                    MedianThread(times[s]) * 1e3, MedianProcess(times[s]) * 1e3,
                    MedianWall(times[s]) * 1e3);
    std::fflush(stdout);
}

static double ratioOf(const std::vector<Times>& a, const std::vector<Times>& b,
                      double Times::*clock) {
    std::vector<double> v;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i)
        v.push_back(a[i].*clock / b[i].*clock);
    return Median(std::move(v));
}

double RatioProcess(const std::vector<Times>& a, const std::vector<Times>& b) {
    return ratioOf(a, b, &Times::Process);
}
double RatioThread(const std::vector<Times>& a, const std::vector<Times>& b) {
    return ratioOf(a, b, &Times::Thread);
}

std::vector<std::vector<Times>> RunRounds(int rounds,
                                          const std::vector<std::function<Times()>>& sides) {
    std::vector<std::vector<Times>> times(sides.size());
    for (int round = 0; round < rounds; ++round)
        for (size_t i = 0; i < sides.size(); ++i) {
            size_t side = (static_cast<size_t>(round) + i) % sides.size();
            times[side].push_back(sides[side]());
        }
    return times;
}

std::string SourceDir() {
    if (const char* s = std::getenv("TALVERO_SOURCE_DIR")) return s;
    return TALVERO_SOURCE_DIR;
}

std::string BinDir() {
    if (const char* s = std::getenv("TALVERO_BINARY_DIR")) return std::string(s) + "/bin";
    return std::string(TALVERO_BINARY_DIR) + "/bin";
}

std::string MakeTempDir() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "talvero-bench-XXXXXX").string();
    if (!mkdtemp(pattern.data())) {
        std::perror("mkdtemp");
        std::exit(1);
    }
    return pattern;
}

void CreateCompanyDatabase(const std::string& path, bool withSampleData) {
    std::string cmd = "'" + SourceDir() + "/db/create-database' '" + path + "'" +
                      (withSampleData ? "" : " --no-sample") + " >/dev/null";
    if (std::system(cmd.c_str()) != 0) {
        std::fprintf(stderr, "cannot create %s\n", path.c_str());
        std::exit(1);
    }
}

void RunIsqlScript(const std::string& database, const std::string& script) {
    std::string file = MakeTempDir() + "/script.sql";
    {
        std::ofstream out(file);
        out << script;
        if (!out) {
            std::fprintf(stderr, "cannot write %s\n", file.c_str());
            std::exit(1);
        }
    }
    std::string cmd = "isql-fb -q -b -user SYSDBA -i '" + file + "'";
    if (!database.empty()) cmd += " '" + database + "'";
    cmd += " >/dev/null";
    int status = std::system(cmd.c_str());
    std::filesystem::remove_all(std::filesystem::path(file).parent_path());
    if (status != 0) {
        std::fprintf(stderr, "isql-fb failed on %s\n", database.c_str());
        std::exit(1);
    }
}

double LoadAverage() {
    double load[1] = {0};
    return getloadavg(load, 1) == 1 ? load[0] : -1;
}

size_t ResidentBytes() {
    std::ifstream f("/proc/self/statm");
    size_t size = 0, resident = 0;
    f >> size >> resident;
    return resident * static_cast<size_t>(sysconf(_SC_PAGESIZE));
}

} // namespace benchsupport
