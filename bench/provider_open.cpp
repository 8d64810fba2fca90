// bench-libs: data
// Opening 100k rows of the closing-adjustment table through the window's
// chain (TSQLQuery, TDataSetProvider, TClientDataSet, fetching every row in
// one request) against the driver's own fetch of the same rows over the same
// connection (a command, its cursor and getValue for every column). The
// ratio is chain time over driver time.

#include "support/BenchSupport.h"

#include "data/TClientDataSet.h"
#include "data/TDataSetProvider.h"
#include "data/TSQLConnection.h"
#include "data/TSQLQuery.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRows = 100000;
constexpr int kRounds = 7;
const char* const kSelect = "SELECT AJCI_ID, AJCI_FECINI, AJCI_FECFIN, AJCI_PORC, AJCI_FACTOR "
                            "FROM AJUSTE_CIERRE";

void die(const std::string& what) {
    std::fprintf(stderr, "provider_open: %s\n", what.c_str());
    std::exit(1);
}

void fill(const std::string& database) {
    std::string script = "SET TERM ^;\nEXECUTE BLOCK AS DECLARE I INTEGER = 0; BEGIN WHILE (I < " +
                         std::to_string(kRows) +
                         ") DO BEGIN I = I + 1; INSERT INTO AJUSTE_CIERRE VALUES (:I, "
                         "DATE '2016-01-01' + MOD(:I, 365), "
                         "IIF(MOD(:I, 3) = 0, NULL, DATE '2016-12-31'), MOD(:I, 20) + 0.5, 0.8); "
                         "END END^\nSET TERM ;^\nCOMMIT;\n";
    std::string file = database + ".sql";
    FILE* f = std::fopen(file.c_str(), "w");
    if (!f) die("cannot write " + file);
    std::fputs(script.c_str(), f);
    std::fclose(f);
    std::string cmd = "isql-fb -q -b -user SYSDBA -i '" + file + "' '" + database + "' >/dev/null";
    if (std::system(cmd.c_str()) != 0) die("isql-fb could not fill " + database);
}

TSQLConnection* newConnection(const std::string& database, TComponent* owner) {
    auto* c = new TSQLConnection(owner);
    c->SetConnectionName("Talvero");
    c->SetDriverName("Interbase");
    c->SetLibraryName("libfbdriver.so");
    c->SetGetDriverFunc("getSQLDriverINTERBASE");
    c->SetVendorLib("libfbclient.so.2");
    c->SetLoginPrompt(false);
    c->Params().SetValues("Database", database);
    c->Params().SetValues("User_Name", "sysdba");
    c->Params().SetValues("Password", "masterkey");
    c->Params().SetValues("SQLDialect", "3");
    c->Params().SetValues("BlobSize", "-1");
    return c;
}

int driverFetch(TSQLConnection& connection) {
    std::unique_ptr<ISQLCommand> command = connection.CreateCommand();
    connection.Check(command->prepare(kSelect, 0), command.get());
    ISQLCursor* raw = nullptr;
    connection.Check(command->execute(&raw), command.get());
    std::unique_ptr<ISQLCursor> cursor(raw);
    TDBXValue v;
    int rows = 0;
    int64_t sum = 0;
    while (cursor->next() == DBXERR_NONE) {
        for (uint16_t col = 1; col <= 5; ++col) {
            cursor->getValue(col, v);
            sum += v.Int;
        }
        ++rows;
    }
    cursor->close();
    if (sum == -1) std::puts(""); // keeps the reads
    return rows;
}

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
    std::string db = dir + "/talvero.fdb";
    benchsupport::CreateCompanyDatabase(db, false);
    fill(db);
    {
        TComponent owner;
        TSQLConnection* connection = newConnection(db, &owner);
        auto* query = new TSQLQuery(&owner);
        query->SetName("SQLQuery1");
        query->SetSQLConnection(connection);
        query->SetMaxBlobSize(-1);
        query->SetCommandText(kSelect);
        auto* provider = new TDataSetProvider(&owner);
        provider->SetName("PRepArticulos");
        provider->SetDataSet(query);
        auto* client = new TClientDataSet(&owner);
        client->SetProviderName("PRepArticulos");

        connection->Open();
        if (driverFetch(*connection) != kRows) die("the driver did not read every row");
        client->Open();
        if (client->RecordCount() != kRows) die("the client dataset did not get every row");
        client->Close();

        std::vector<double> chainTimes, driverTimes;
        for (int round = 0; round < kRounds; ++round) {
            driverTimes.push_back(seconds([&] { driverFetch(*connection); }));
            chainTimes.push_back(seconds([&] { client->Open(); }));
            client->Close();
        }
        double c = median(chainTimes), d = median(driverTimes);
        std::printf("provider_open_100k: chain %.1f ms, driver %.1f ms (median of %d)\n", c * 1e3,
                    d * 1e3, kRounds);
        benchsupport::PrintRatio("provider_open_100k_vs_driver", c / d, "at_most", 1.3);
    }
    std::filesystem::remove_all(dir);
    return 0;
}
