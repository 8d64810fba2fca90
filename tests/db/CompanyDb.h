#pragma once
// A company database made from db/ for one test, and the isql calls the
// database tests read it with. Every query goes over a UTF8 connection, so
// text comes back as UTF-8 whatever the column's character set.

#include "support/TestSupport.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace dbtest {

// One result row: column name (as isql prints it, upper case) to value
// (trailing blanks cut; "<null>" for null).
using Row = std::map<std::string, std::string>;

// Runs SQL text with isql-fb (embedded, SYSDBA, UTF8, stopping at the first
// error) and commits at the end. Exit code and output are returned as they
// are; nothing is asserted.
testsupport::CommandResult Execute(const std::string& database, const std::string& sql);

// Runs one SELECT and returns its rows; fails the test when isql does.
std::vector<Row> Query(const std::string& database, const std::string& select);

// The single value of a SELECT that gives one row of one column.
std::string Scalar(const std::string& database, const std::string& select);
std::int64_t Integer(const std::string& database, const std::string& select);

// An exact decimal text ("-17217.5", "0.00") as a count of cents; the text
// must not have more than two decimals.
std::int64_t Cents(const std::string& decimal);

// SQL string literal for the text: quotes around it, inner quotes doubled.
std::string Quoted(const std::string& text);

// A fresh copy of a database made once per test executable by
// db/create-database, with or without the sample company, in its own
// temporary folder.
class CompanyDb {
public:
    explicit CompanyDb(bool withSampleData = true);
    const std::string& Path() const { return FPath; }
    const std::string& Folder() const { return FDir.Path(); }

private:
    testsupport::TempDir FDir;
    std::string FPath;
};

} // namespace dbtest
