#pragma once
// Shared by the benchmarks: the ratio line every comparison prints, and
// company databases made from db/ in a temporary folder.

#include <string>

namespace benchsupport {

// Prints "ratio NAME VALUE goal BOUND" (VALUE with three decimals). The goal
// is met when VALUE <= BOUND for "at most" goals; the line says which.
void PrintRatio(const std::string& name, double value, const std::string& goal, double bound);

std::string SourceDir();
std::string BinDir();
// A fresh temporary folder (left for the benchmark to remove).
std::string MakeTempDir();
// db/create-database at path; exits the process on failure.
void CreateCompanyDatabase(const std::string& path, bool withSampleData = true);
// Resident set size of this process in bytes.
size_t ResidentBytes();

} // namespace benchsupport
