#include "CompanyDb.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <sstream>
#include <stdexcept>

namespace dbtest {

testsupport::CommandResult Execute(const std::string& database, const std::string& sql) {
    std::string script = "SET BAIL ON;\n" + sql + "\nCOMMIT;\n";
    return testsupport::RunCommand(testsupport::IsqlCommand({"-q", "-ch", "UTF8", "-user", "SYSDBA", database}),
                                   script);
}

std::vector<Row> Query(const std::string& database, const std::string& select) {
    testsupport::CommandResult r = Execute(database, "SET LIST ON;\n" + select + ";");
    EXPECT_EQ(r.ExitCode, 0) << select << "\n" << r.Output;
    // SET LIST ON prints each column as NAME, blanks, value, one per line,
    // and ends every row with an empty line.
    std::vector<Row> rows;
    Row row;
    std::istringstream lines(r.Output);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.empty()) {
            if (!row.empty()) rows.push_back(std::move(row));
            row.clear();
            continue;
        }
        size_t nameEnd = line.find(' ');
        size_t valueStart = line.find_first_not_of(' ', nameEnd);
        size_t valueEnd = line.find_last_not_of(' ');
        std::string value = valueStart == std::string::npos
                                ? std::string()
                                : line.substr(valueStart, valueEnd - valueStart + 1);
        row[line.substr(0, nameEnd)] = value;
    }
    if (!row.empty()) rows.push_back(std::move(row));
    return rows;
}

std::string Scalar(const std::string& database, const std::string& select) {
    std::vector<Row> rows = Query(database, select);
    if (rows.size() != 1 || rows[0].size() != 1) {
        ADD_FAILURE() << select << ": expected one value, got " << rows.size() << " rows";
        return {};
    }
    return rows[0].begin()->second;
}

std::int64_t Integer(const std::string& database, const std::string& select) {
    std::string text = Scalar(database, select);
    try {
        return std::stoll(text);
    } catch (const std::exception&) {
        ADD_FAILURE() << select << ": not an integer: " << text;
        return -1;
    }
}

std::int64_t Cents(const std::string& decimal) {
    bool negative = !decimal.empty() && decimal[0] == '-';
    std::string digits = negative ? decimal.substr(1) : decimal;
    size_t point = digits.find('.');
    std::string whole = digits.substr(0, point);
    std::string fraction = point == std::string::npos ? "" : digits.substr(point + 1);
    if (whole.empty() || fraction.size() > 2 ||
        whole.find_first_not_of("0123456789") != std::string::npos ||
        fraction.find_first_not_of("0123456789") != std::string::npos)
        throw std::invalid_argument("not an amount: " + decimal);
    fraction.resize(2, '0');
    std::int64_t cents = std::stoll(whole) * 100 + std::stoll(fraction);
    return negative ? -cents : cents;
}

std::string Quoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) {
        quoted += c;
        if (c == '\'') quoted += c;
    }
    return quoted + "'";
}

namespace {

// Making a database takes a moment; each test copies one made once.
const std::string& TemplateDatabase(bool withSampleData) {
    static std::unique_ptr<testsupport::TempDir> folder;
    static std::string paths[2];
    std::string& path = paths[withSampleData ? 1 : 0];
    if (path.empty()) {
        if (!folder) folder = std::make_unique<testsupport::TempDir>();
        std::string candidate = folder->File(withSampleData ? "sample.fdb" : "empty.fdb");
        testsupport::CreateCompanyDatabase(candidate, withSampleData);
        if (std::filesystem::exists(candidate)) path = candidate;
    }
    return path;
}

} // namespace

CompanyDb::CompanyDb(bool withSampleData) : FPath(FDir.File("talvero.fdb")) {
    const std::string& source = TemplateDatabase(withSampleData);
    if (source.empty()) throw std::runtime_error("db/create-database did not make a database");
    std::filesystem::copy_file(source, FPath);
}

} // namespace dbtest
