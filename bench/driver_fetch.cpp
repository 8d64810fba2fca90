// bench-libs: data fbclient Qt6::Sql
// Fetching 100k rows of the closing-adjustment table's shape from one
// embedded database, three ways side by side in one run:
//   - the driver, as the connection uses it: a command, its cursor and
//     getValue for every column;
//   - the plainest client loop: isc_dsql_fetch into an XSQLDA (the floor);
//   - Qt SQL's Firebird driver (QIBASE), as a Qt developer would read the
//     same rows instead: a forward-only QSqlQuery and value() for every
//     column.
// Every side sums every value and the sums must agree. The ratios are the
// driver's median time over each peer's.

#include "support/BenchSupport.h"
#include "support/ClientLoop.h"

#include "data/DriverIntf.h"
#include "data/DriverLoader.h"

#include <QCoreApplication>
#include <QDate>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

namespace {

using benchsupport::Times;
constexpr int kRows = 100000;
constexpr int kRounds = 21;
const char* const kSelect = "SELECT AJCI_ID, AJCI_FECINI, AJCI_FECFIN, AJCI_PORC, AJCI_FACTOR "
                            "FROM AJUSTE_CIERRE";

[[noreturn]] void die(const std::string& what) {
    std::fprintf(stderr, "driver_fetch: %s\n", what.c_str());
    std::exit(1);
}

void createDatabase(const std::string& path) {
    benchsupport::RunIsqlScript(
        "", "CREATE DATABASE '" + path +
                "' USER 'SYSDBA' PAGE_SIZE 8192 DEFAULT CHARACTER SET WIN1252;\n"
                "CREATE TABLE AJUSTE_CIERRE (AJCI_ID INTEGER NOT NULL PRIMARY KEY, "
                "AJCI_FECINI DATE, AJCI_FECFIN DATE, AJCI_PORC NUMERIC(15,4), "
                "AJCI_FACTOR NUMERIC(15,4));\nCOMMIT;\n" +
                clientloop::FillScript(kRows));
}

// The driver as the connection uses it.
struct DriverSide {
    std::unique_ptr<ISQLDriver> Driver;
    std::unique_ptr<ISQLConnection> Connection;

    explicit DriverSide(const std::string& database) {
        void* module = DriverLoader::Load("libfbdriver.so");
        if (!module) die("libfbdriver.so not found in " + DriverLoader::ProgramFolder());
        auto entry =
            reinterpret_cast<TGetDriverFunc>(DriverLoader::Find(module, "getSQLDriverINTERBASE"));
        ISQLDriver* d = nullptr;
        if (!entry || entry("libfbclient.so.2", "", &d) != DBXERR_NONE) die("driver entry failed");
        Driver.reset(d);
        ISQLConnection* c = nullptr;
        Driver->getSQLConnection(&c);
        Connection.reset(c);
        if (Connection->connect(database, "SYSDBA", "") != DBXERR_NONE)
            die("driver connect failed");
    }

    int64_t fetchAll(int& rows) {
        ISQLCommand* raw = nullptr;
        Connection->getSQLCommand(&raw);
        std::unique_ptr<ISQLCommand> command(raw);
        if (command->prepare(kSelect, 0) != DBXERR_NONE) die("driver prepare failed");
        ISQLCursor* rawCursor = nullptr;
        if (command->execute(&rawCursor) != DBXERR_NONE) die("driver execute failed");
        std::unique_ptr<ISQLCursor> cursor(rawCursor);
        TDBXValue v;
        int64_t sum = 0;
        rows = 0;
        while (cursor->next() == DBXERR_NONE) {
            for (uint16_t col = 1; col <= 5; ++col) {
                cursor->getValue(col, v);
                if (v.IsNull) continue;
                sum += v.Type == TDBXType::Date ? static_cast<int64_t>(v.DateTime.Val()) : v.Int;
            }
            ++rows;
        }
        return sum;
    }
};

// Qt SQL's driver with its defaults: NUMERIC columns come as doubles
// (QSql::LowPrecisionDouble), dates as QDate.
struct QtSide {
    QSqlDatabase Db;

    explicit QtSide(const std::string& database) {
        Db = QSqlDatabase::addDatabase("QIBASE", "bench");
        if (!Db.isValid()) die("Qt SQL has no QIBASE driver (libqt6sql6-ibase)");
        Db.setDatabaseName(QString::fromStdString(database));
        Db.setUserName("SYSDBA");
        if (!Db.open()) die("QIBASE open: " + Db.lastError().text().toStdString());
    }

    int64_t fetchAll(int& rows) {
        // 30 Dec 1899 as a Julian day.
        constexpr int64_t kJulianDayZero = 2415019;
        QSqlQuery q(Db);
        q.setForwardOnly(true);
        if (!q.exec(kSelect)) die("QIBASE exec: " + q.lastError().text().toStdString());
        int64_t sum = 0;
        rows = 0;
        while (q.next()) {
            sum += q.value(0).toInt();
            for (int col : {1, 2}) {
                QVariant v = q.value(col);
                if (!v.isNull()) sum += v.toDate().toJulianDay() - kJulianDayZero;
            }
            for (int col : {3, 4}) {
                QVariant v = q.value(col);
                if (!v.isNull()) sum += std::llround(v.toDouble() * 10000);
            }
            ++rows;
        }
        return sum;
    }
};

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    std::string dir = benchsupport::MakeTempDir();
    std::string db = dir + "/fetch.fdb";
    createDatabase(db);
    {
        DriverSide driver(db);
        clientloop::Attachment client(db);
        QtSide qt(db);
        int driverRows = 0, clientRows = 0, qtRows = 0;
        // The sums must agree: every side reads every value.
        int64_t a = driver.fetchAll(driverRows),
                b = clientloop::FetchAll(client, kSelect, clientRows), c = qt.fetchAll(qtRows);
        if (driverRows != kRows || clientRows != kRows || qtRows != kRows || a != b || a != c)
            die("the sides read different rows");

        auto times = benchsupport::RunRounds(
            kRounds, {[&] { return benchsupport::Measure([&] { driver.fetchAll(driverRows); }); },
                      [&] {
                          return benchsupport::Measure(
                              [&] { clientloop::FetchAll(client, kSelect, clientRows); });
                      },
                      [&] { return benchsupport::Measure([&] { qt.fetchAll(qtRows); }); }});
        benchsupport::PrintSides("driver_fetch_100k", {"driver", "client", "qt_sql"}, times);
        double d = benchsupport::MedianThread(times[0]), cl = benchsupport::MedianThread(times[1]),
               q = benchsupport::MedianThread(times[2]);
        double vsClient = benchsupport::RatioThread(times[0], times[1]),
               vsQt = benchsupport::RatioThread(times[0], times[2]);
        benchsupport::PrintTableRow(
            {benchsupport::Text("%.1f ms", d * 1e3), benchsupport::Text("%.1f ms", cl * 1e3),
             benchsupport::Text("%.1f ms", q * 1e3), benchsupport::Text("%.3f", vsClient),
             benchsupport::Text("%.3f", vsQt)});
        benchsupport::PrintRatio("driver_fetch_100k_vs_client", vsClient, "at_most", 1.05);
        benchsupport::PrintRatio("driver_fetch_100k_vs_qt_sql", vsQt, "at_most", 0.85);
    }
    QSqlDatabase::removeDatabase("bench");
    std::filesystem::remove_all(dir);
    return 0;
}
