#pragma once
// Company databases for the database tests and readers of what they hold.

#include "data/DriverIntf.h"
#include "data/TSQLConnection.h"

#include <string>
#include <vector>

namespace testsupport {

// The company database (schema and sample data) every test copies: made
// with db/create-database once and kept in the build folder until db/
// changes.
std::string CompanyDatabaseTemplate();

// A driver value as text: integers and decimals as written ("0.8"), dates
// as yyyy-mm-dd, null as "null".
std::string ValueText(const TDBXValue& v);
// Values as ValueText separated by "|".
std::string ParamsText(const std::vector<TDBXValue>& params);

// The rows of a query, one text per row (ParamsText of its values).
std::vector<std::string> Rows(TSQLConnection& connection, const std::string& sql);

} // namespace testsupport
