#pragma once
// Shared by the benchmarks: the ratio and figure lines every comparison
// prints, the clocks and medians they compare with, and company databases
// made from db/ in a temporary folder.

#include <functional>
#include <string>
#include <vector>

namespace benchsupport {

// Prints "ratio NAME VALUE goal BOUND" (VALUE with three decimals). The goal
// is met when VALUE <= BOUND for "at_most" goals and VALUE >= BOUND for
// "at_least" ones; the line says which.
void PrintRatio(const std::string& name, double value, const std::string& goal, double bound);
// Prints "figure NAME VALUE": a measurement worth reading that has no goal.
void PrintFigure(const std::string& name, double value);
// Prints "row | LOAD | CELL | ... |": a run's line for the table of its
// benchmark in bench/README.md, the machine's 1-minute load average first.
void PrintTableRow(const std::vector<std::string>& cells);
// printf into a string, for the cells.
std::string Text(const char* format, ...) __attribute__((format(printf, 1, 2)));

// One measurement of a piece of work on three clocks. On this shared machine
// the wall clock also counts the time other processes held the processors.
// The calling thread's CPU time is what the benchmarks compare: the embedded
// database runs each statement in the thread that calls it, while its own
// threads (writing pages out, collecting old record versions) do deferred
// work at moments of their choosing, which the process's CPU time would
// charge to whichever side happened to be running.
struct Times {
    double Wall = 0, Process = 0, Thread = 0;
};
Times Measure(const std::function<void()>& work);

double Median(std::vector<double> values);
// The median of one clock over a side's rounds.
double MedianWall(const std::vector<Times>& times);
double MedianProcess(const std::vector<Times>& times);
double MedianThread(const std::vector<Times>& times);
// Prints title with the number of rounds and the load, then each side's
// medians: the thread's CPU time, the process's and the wall clock.
void PrintSides(const std::string& title, const std::vector<const char*>& names,
                const std::vector<std::vector<Times>>& times);
// How side a compares with side b: the median over the rounds of a's time
// over b's in the same round. The two ran one right after the other, so a
// change of the machine's load between rounds cancels out, where the ratio
// of two medians would carry it.
double RatioProcess(const std::vector<Times>& a, const std::vector<Times>& b);
double RatioThread(const std::vector<Times>& a, const std::vector<Times>& b);

// Runs every side once per round, each round starting with the next side, so
// that no side always meets the caches, the allocator or the database pages
// another left behind, and a change of the machine's load falls on all of
// them alike. A side does its own untimed preparation and returns what it
// measured. Returns the times by side.
std::vector<std::vector<Times>> RunRounds(int rounds,
                                          const std::vector<std::function<Times()>>& sides);

std::string SourceDir();
std::string BinDir();
// A fresh temporary folder (left for the benchmark to remove).
std::string MakeTempDir();
// db/create-database at path; exits the process on failure.
void CreateCompanyDatabase(const std::string& path, bool withSampleData = true);
// Runs an isql-fb script on database (empty: the script creates its own);
// exits the process on failure.
void RunIsqlScript(const std::string& database, const std::string& script);
// The 1-minute load average of the machine, printed with the figures.
double LoadAverage();
// Resident set size of this process in bytes.
size_t ResidentBytes();

} // namespace benchsupport
