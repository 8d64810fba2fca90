#include "support/CompanyDatabase.h"

#include "data/engine/Variant.h"
#include "platform/DateUtils.h"
#include "support/TestSupport.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <unistd.h>

namespace testsupport {

namespace {

// A digest of what db/create-database makes a database from, so that a
// cached database is made again when the schema or the sample changes.
std::string schemaDigest() {
    namespace fs = std::filesystem;
    std::vector<fs::path> files = {fs::path(SourceDir()) / "db" / "create-database"};
    for (const auto& e : fs::directory_iterator(fs::path(SourceDir()) / "db" / "sql"))
        files.push_back(e.path());
    std::sort(files.begin(), files.end());
    uint64_t h = 1469598103934665603ULL; // FNV-1a
    for (const fs::path& f : files)
        for (char c : f.filename().string() + ReadFile(f.string()))
            h = (h ^ static_cast<unsigned char>(c)) * 1099511628211ULL;
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(h));
    return text;
}

} // namespace

// CTest runs every test in a process of its own, so the database is kept in
// the build folder and made only when missing; it is made aside and renamed
// into place, so that tests running side by side never copy a half-made file.
std::string CompanyDatabaseTemplate() {
    namespace fs = std::filesystem;
    static std::string path = [] {
        fs::path cache = fs::path(BinaryDir()) / "test-cache";
        fs::create_directories(cache);
        fs::path target = cache / ("company-" + schemaDigest() + ".fdb");
        if (fs::exists(target)) return target.string();
        TempDir scratch;
        std::string made = scratch.File("company.fdb");
        CreateCompanyDatabase(made);
        fs::path staged = cache / ("company-" + std::to_string(getpid()) + ".tmp");
        fs::copy_file(made, staged, fs::copy_options::overwrite_existing);
        fs::rename(staged, target);
        return target.string();
    }();
    return path;
}

std::string ValueText(const TDBXValue& v) {
    if (v.IsNull) return "null";
    switch (v.Type) {
    case TDBXType::Int16:
    case TDBXType::Int32:
    case TDBXType::Int64:
        return std::to_string(v.Int);
    case TDBXType::Boolean:
        return v.Int ? "true" : "false";
    case TDBXType::FmtBcd:
        return BcdToStr(TBcd{v.Int, v.Scale});
    case TDBXType::Float:
        return std::to_string(v.Float);
    case TDBXType::Date:
    case TDBXType::TimeStamp: {
        int y, m, d;
        DecodeDate(v.DateTime, y, m, d);
        char buf[16];
        std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", y, m, d);
        return buf;
    }
    default:
        return v.Text;
    }
}

std::string ParamsText(const std::vector<TDBXValue>& params) {
    std::string s;
    for (size_t i = 0; i < params.size(); ++i)
        s += (i ? "|" : "") + ValueText(params[i]);
    return s;
}

std::vector<std::string> Rows(TSQLConnection& connection, const std::string& sql) {
    std::vector<std::string> rows;
    std::unique_ptr<ISQLCommand> command = connection.CreateCommand();
    connection.Check(command->prepare(sql, 0), command.get());
    ISQLCursor* raw = nullptr;
    connection.Check(command->execute(&raw), command.get());
    std::unique_ptr<ISQLCursor> cursor(raw);
    if (!cursor) return rows;
    uint16_t count = 0;
    cursor->getColumnCount(count);
    while (cursor->next() == DBXERR_NONE) {
        std::vector<TDBXValue> values(count);
        for (uint16_t i = 0; i < count; ++i)
            connection.Check(cursor->getValue(i + 1, values[i]), cursor.get());
        rows.push_back(ParamsText(values));
    }
    cursor->close();
    return rows;
}

} // namespace testsupport
