#include "support/BenchSupport.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace benchsupport {

void PrintRatio(const std::string& name, double value, const std::string& goal, double bound) {
    std::printf("ratio %s %.3f goal %s %.3f\n", name.c_str(), value, goal.c_str(), bound);
    std::fflush(stdout);
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
    std::string pattern = (std::filesystem::temp_directory_path() / "talvero-bench-XXXXXX").string();
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

size_t ResidentBytes() {
    std::ifstream f("/proc/self/statm");
    size_t size = 0, resident = 0;
    f >> size >> resident;
    return resident * static_cast<size_t>(sysconf(_SC_PAGESIZE));
}

} // namespace benchsupport
