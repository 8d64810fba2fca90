#pragma once
// Shared by the driver tests: the driver module as the program loads it, a
// connection to a database in a temporary folder, and small helpers to run
// statements and read their rows through the driver contract.

#include "data/DriverIntf.h"

#include <memory>
#include <string>
#include <vector>

namespace drivertest {

// The driver of the module built next to the tests, over libfbclient.so.2.
ISQLDriver& Driver();

std::unique_ptr<ISQLConnection> NewConnection();
// Connected to database as SYSDBA; fails the test when the driver refuses.
std::unique_ptr<ISQLConnection> Connect(const std::string& database,
                                        const std::string& password = "masterkey");

// The error text an object gives about its last failure.
std::string ErrorText(ISQLErrorSource& source);

TDBXValue Int(int64_t v);
TDBXValue Bcd(int64_t scaled, int scale);
TDBXValue Text(std::string s);
TDBXValue DateValue(int year, int month, int day);
TDBXValue NullOf(TDBXType type);

using Row = std::vector<TDBXValue>;

// Prepares and runs sql with params; the status of the first failing call.
// rows gets the rows read when the statement returns any; affected the
// rows-affected count.
SQLResult RunSql(ISQLConnection& connection, const std::string& sql,
                 const std::vector<TDBXValue>& params = {}, std::vector<Row>* rows = nullptr,
                 uint32_t* affected = nullptr, std::string* error = nullptr);
// Runs sql and expects success; the rows it returned.
std::vector<Row> Query(ISQLConnection& connection, const std::string& sql,
                       const std::vector<TDBXValue>& params = {});
// Runs sql and expects success; the rows it affected.
uint32_t Exec(ISQLConnection& connection, const std::string& sql,
              const std::vector<TDBXValue>& params = {});

} // namespace drivertest
