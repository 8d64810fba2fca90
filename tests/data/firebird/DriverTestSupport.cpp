#include "DriverTestSupport.h"

#include "data/DriverLoader.h"
#include "platform/DateUtils.h"

#include <gtest/gtest.h>

namespace drivertest {

ISQLDriver& Driver() {
    static ISQLDriver* driver = [] {
        void* module = DriverLoader::Load("libfbdriver.so");
        if (!module) throw std::runtime_error("libfbdriver.so not found next to the tests");
        auto entry =
            reinterpret_cast<TGetDriverFunc>(DriverLoader::Find(module, "getSQLDriverINTERBASE"));
        if (!entry) throw std::runtime_error("getSQLDriverINTERBASE not exported");
        ISQLDriver* d = nullptr;
        if (entry("libfbclient.so.2", "", &d) != DBXERR_NONE || !d)
            throw std::runtime_error("the driver entry refused libfbclient.so.2");
        return d;
    }();
    return *driver;
}

std::unique_ptr<ISQLConnection> NewConnection() {
    ISQLConnection* c = nullptr;
    EXPECT_EQ(Driver().getSQLConnection(&c), DBXERR_NONE);
    return std::unique_ptr<ISQLConnection>(c);
}

std::unique_ptr<ISQLConnection> Connect(const std::string& database, const std::string& password) {
    auto c = NewConnection();
    SQLResult r = c->connect(database, "SYSDBA", password);
    EXPECT_EQ(r, DBXERR_NONE) << ErrorText(*c);
    return c;
}

std::string ErrorText(ISQLErrorSource& source) {
    uint16_t length = 0;
    std::string text;
    source.getErrorMessageLen(length);
    source.getErrorMessage(text);
    EXPECT_EQ(length, text.size());
    return text;
}

TDBXValue Int(int64_t v) {
    TDBXValue x;
    x.Type = TDBXType::Int64;
    x.IsNull = false;
    x.Int = v;
    return x;
}

TDBXValue Bcd(int64_t scaled, int scale) {
    TDBXValue x;
    x.Type = TDBXType::FmtBcd;
    x.IsNull = false;
    x.Int = scaled;
    x.Scale = scale;
    return x;
}

TDBXValue Text(std::string s) {
    TDBXValue x;
    x.Type = TDBXType::ZString;
    x.IsNull = false;
    x.Text = std::move(s);
    return x;
}

TDBXValue DateValue(int year, int month, int day) {
    TDBXValue x;
    x.Type = TDBXType::Date;
    x.IsNull = false;
    x.DateTime = EncodeDate(year, month, day);
    return x;
}

TDBXValue NullOf(TDBXType type) {
    TDBXValue x;
    x.Type = type;
    x.IsNull = true;
    return x;
}

SQLResult RunSql(ISQLConnection& connection, const std::string& sql,
                 const std::vector<TDBXValue>& params, std::vector<Row>* rows, uint32_t* affected,
                 std::string* error) {
    ISQLCommand* raw = nullptr;
    SQLResult r = connection.getSQLCommand(&raw);
    std::unique_ptr<ISQLCommand> command(raw);
    auto failed = [&](SQLResult status, ISQLErrorSource& source) {
        if (error) *error = ErrorText(source);
        return status;
    };
    if (r != DBXERR_NONE) return failed(r, connection);
    if ((r = command->prepare(sql, static_cast<uint16_t>(params.size()))) != DBXERR_NONE)
        return failed(r, *command);
    for (size_t i = 0; i < params.size(); ++i)
        if ((r = command->setParameter(static_cast<uint16_t>(i + 1), params[i])) != DBXERR_NONE)
            return failed(r, *command);
    ISQLCursor* rawCursor = nullptr;
    if ((r = command->execute(&rawCursor)) != DBXERR_NONE) return failed(r, *command);
    std::unique_ptr<ISQLCursor> cursor(rawCursor);
    if (cursor) {
        uint16_t columns = 0;
        cursor->getColumnCount(columns);
        while ((r = cursor->next()) == DBXERR_NONE) {
            Row row(columns);
            for (uint16_t c = 0; c < columns; ++c)
                if ((r = cursor->getValue(c + 1, row[c])) != DBXERR_NONE) return failed(r, *cursor);
            if (rows) rows->push_back(std::move(row));
        }
        if (r != DBXERR_EOF) return failed(r, *cursor);
    }
    uint32_t count = 0;
    if ((r = command->getRowsAffected(count)) != DBXERR_NONE) return failed(r, *command);
    if (affected) *affected = count;
    return DBXERR_NONE;
}

std::vector<Row> Query(ISQLConnection& connection, const std::string& sql,
                       const std::vector<TDBXValue>& params) {
    std::vector<Row> rows;
    std::string error;
    EXPECT_EQ(RunSql(connection, sql, params, &rows, nullptr, &error), DBXERR_NONE) << sql << "\n"
                                                                                    << error;
    return rows;
}

uint32_t Exec(ISQLConnection& connection, const std::string& sql,
              const std::vector<TDBXValue>& params) {
    uint32_t affected = 0;
    std::string error;
    EXPECT_EQ(RunSql(connection, sql, params, nullptr, &affected, &error), DBXERR_NONE)
        << sql << "\n"
        << error;
    return affected;
}

} // namespace drivertest
