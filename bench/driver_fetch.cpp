// bench-libs: data fbclient
// Fetching 100k rows of the closing-adjustment table's shape through the
// driver (a command, its cursor and getValue for every column) against the
// plainest client loop over the same rows of the same embedded database:
// isc_dsql_fetch into an XSQLDA. The ratio is driver time over client time.

#include "support/BenchSupport.h"

#include "data/DriverIntf.h"
#include "data/DriverLoader.h"

#include <ibase.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRows = 100000;
constexpr int kRounds = 11;
const char* const kSelect = "SELECT AJCI_ID, AJCI_FECINI, AJCI_FECFIN, AJCI_PORC, AJCI_FACTOR "
                            "FROM AJUSTE_CIERRE";

void die(const std::string& what) {
    std::fprintf(stderr, "driver_fetch: %s\n", what.c_str());
    std::exit(1);
}

void createDatabase(const std::string& path) {
    std::string script = "CREATE DATABASE '" + path +
                         "' USER 'SYSDBA' PAGE_SIZE 8192 DEFAULT CHARACTER SET WIN1252;\n"
                         "CREATE TABLE AJUSTE_CIERRE (AJCI_ID INTEGER NOT NULL PRIMARY KEY, "
                         "AJCI_FECINI DATE, AJCI_FECFIN DATE, AJCI_PORC NUMERIC(15,4), "
                         "AJCI_FACTOR NUMERIC(15,4));\nCOMMIT;\nSET TERM ^;\n"
                         "EXECUTE BLOCK AS DECLARE I INTEGER = 0; BEGIN WHILE (I < " +
                         std::to_string(kRows) +
                         ") DO BEGIN I = I + 1; INSERT INTO AJUSTE_CIERRE VALUES (:I, "
                         "DATE '2016-01-01' + MOD(:I, 365), "
                         "IIF(MOD(:I, 3) = 0, NULL, DATE '2016-12-31'), MOD(:I, 20) + 0.5, 0.8); "
                         "END END^\nSET TERM ;^\nCOMMIT;\n";
    std::string file = path + ".sql";
    FILE* f = std::fopen(file.c_str(), "w");
    if (!f) die("cannot write " + file);
    std::fputs(script.c_str(), f);
    std::fclose(f);
    std::string cmd = "isql-fb -q -b -i '" + file + "' >/dev/null";
    if (std::system(cmd.c_str()) != 0) die("isql-fb could not make " + path);
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

// The same rows read with the client library alone.
struct ClientSide {
    isc_db_handle Db = 0;

    explicit ClientSide(const std::string& database) {
        ISC_STATUS_ARRAY sv;
        std::string dpb{isc_dpb_version1, isc_dpb_user_name, 6};
        dpb += "SYSDBA";
        dpb += static_cast<char>(isc_dpb_lc_ctype);
        dpb += static_cast<char>(4);
        dpb += "UTF8";
        if (isc_attach_database(sv, 0, database.c_str(), &Db, static_cast<short>(dpb.size()),
                                dpb.data()))
            die("client attach failed");
    }
    ~ClientSide() {
        ISC_STATUS_ARRAY sv;
        isc_detach_database(sv, &Db);
    }

    int64_t fetchAll(int& rows) {
        ISC_STATUS_ARRAY sv;
        isc_tr_handle tr = 0;
        static char tpb[] = {isc_tpb_version3, isc_tpb_write, isc_tpb_wait, isc_tpb_read_committed,
                             isc_tpb_rec_version};
        if (isc_start_transaction(sv, &tr, 1, &Db, static_cast<unsigned short>(sizeof tpb), tpb))
            die("client start failed");
        isc_stmt_handle st = 0;
        isc_dsql_allocate_statement(sv, &Db, &st);
        std::vector<char> area(XSQLDA_LENGTH(5));
        auto* out = reinterpret_cast<XSQLDA*>(area.data());
        out->version = SQLDA_VERSION1;
        out->sqln = 5;
        if (isc_dsql_prepare(sv, &tr, &st, 0, kSelect, 3, out)) die("client prepare failed");
        alignas(8) char data[5][8];
        short ind[5];
        for (int i = 0; i < 5; ++i) {
            out->sqlvar[i].sqldata = data[i];
            out->sqlvar[i].sqlind = &ind[i];
        }
        if (isc_dsql_execute(sv, &tr, &st, 3, nullptr)) die("client execute failed");
        int64_t sum = 0;
        rows = 0;
        while (isc_dsql_fetch(sv, &st, 3, out) == 0) {
            int32_t id;
            std::memcpy(&id, data[0], 4);
            sum += id;
            for (int i = 1; i < 5; ++i) {
                if ((out->sqlvar[i].sqltype & 1) && ind[i] < 0) continue;
                if (i < 3) {
                    ISC_DATE d;
                    std::memcpy(&d, data[i], 4);
                    sum += d - 15018;
                } else {
                    int64_t n;
                    std::memcpy(&n, data[i], 8);
                    sum += n;
                }
            }
            ++rows;
        }
        isc_dsql_free_statement(sv, &st, DSQL_drop);
        isc_commit_transaction(sv, &tr);
        return sum;
    }
};

template <class F> double seconds(F&& f) {
    auto t0 = Clock::now();
    f();
    return std::chrono::duration<double>(Clock::now() - t0).count();
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main() {
    std::string dir = benchsupport::MakeTempDir();
    std::string db = dir + "/fetch.fdb";
    createDatabase(db);
    {
        DriverSide driver(db);
        ClientSide client(db);
        int driverRows = 0, clientRows = 0;
        // Both sums must agree: the driver reads every value the client does.
        int64_t a = driver.fetchAll(driverRows), b = client.fetchAll(clientRows);
        if (driverRows != kRows || clientRows != kRows || a != b)
            die("the two sides read different rows");
        std::vector<double> driverTimes, clientTimes;
        // Alternate which side goes first, so that neither always finds the
        // caches the other left.
        for (int round = 0; round < kRounds; ++round) {
            auto clientRound = [&] {
                clientTimes.push_back(seconds([&] { client.fetchAll(clientRows); }));
            };
            auto driverRound = [&] {
                driverTimes.push_back(seconds([&] { driver.fetchAll(driverRows); }));
            };
            if (round % 2 == 0) {
                clientRound();
                driverRound();
            } else {
                driverRound();
                clientRound();
            }
        }
        double d = median(driverTimes), c = median(clientTimes);
        std::printf("driver_fetch_100k: driver %.1f ms, client %.1f ms (median of %d)\n", d * 1e3,
                    c * 1e3, kRounds);
        benchsupport::PrintRatio("driver_fetch_100k", d / c, "at_most", 1.1);
    }
    std::filesystem::remove_all(dir);
    return 0;
}
