#pragma once
// Helpers shared by the test executables: temporary folders, the project's
// folders, commands, and company databases made from db/.

#include <string>
#include <vector>

namespace testsupport {

// The source and build folders of the project.
std::string SourceDir();
std::string BinaryDir();
// The folder where the program and libfbdriver.so are built.
std::string BinDir();

// A fresh folder under the system's temporary folder, removed with the object.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& Path() const { return FPath; }
    std::string File(const std::string& name) const { return FPath + "/" + name; }

private:
    std::string FPath;
};

struct CommandResult {
    int ExitCode = -1;
    std::string Output; // standard output and error together
};
// Runs argv[0] with the arguments, without a shell, and waits.
CommandResult RunCommand(const std::vector<std::string>& argv, const std::string& input = {});
// The command line running isql-fb with the arguments under LC_ALL=C.UTF-8:
// without a UTF-8 locale (a bare machine, a cron job) isql turns every
// non-ASCII character of its input into "?", and the test's data would not
// be the data it wrote. environment holds further NAME=VALUE settings.
std::vector<std::string> IsqlCommand(const std::vector<std::string>& args,
                                     const std::vector<std::string>& environment = {});

// Creates a company database at path with db/create-database (schema,
// procedures and, unless withSampleData is false, the sample data). Fails the
// current test when it cannot.
void CreateCompanyDatabase(const std::string& path, bool withSampleData = true);
// Runs SQL text with isql-fb on the database (embedded), committing at the
// end; returns what isql printed. Fails the test when isql reports an error.
std::string RunIsql(const std::string& databasePath, const std::string& sql);

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& bytes);

} // namespace testsupport
