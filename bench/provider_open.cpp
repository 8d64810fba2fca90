// bench-libs: data fbclient
// Opening 100k rows of the closing-adjustment table through the window's
// chain (TSQLQuery, TDataSetProvider, TClientDataSet, fetching every row in
// one request) against two peers reading the same rows of the same embedded
// database, side by side in one run: the driver's own fetch over the same
// connection (a command, its cursor and getValue for every column), and the
// plainest client loop (isc_dsql_fetch into an XSQLDA, as in driver_fetch),
// so that the whole chain is measured against the client library. The
// ratios are chain time over each peer's.

#include "support/BenchSupport.h"
#include "support/ClientLoop.h"

#include "data/TClientDataSet.h"
#include "data/TDataSetProvider.h"
#include "data/TSQLConnection.h"
#include "data/TSQLQuery.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

using benchsupport::Times;
constexpr int kRows = 100000;
constexpr int kRounds = 15;
const char* const kSelect = "SELECT AJCI_ID, AJCI_FECINI, AJCI_FECFIN, AJCI_PORC, AJCI_FACTOR "
                            "FROM AJUSTE_CIERRE";

void die(const std::string& what) {
    std::fprintf(stderr, "provider_open: %s\n", what.c_str());
    std::exit(1);
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

} // namespace

int main() {
    std::string dir = benchsupport::MakeTempDir();
    std::string db = dir + "/talvero.fdb";
    benchsupport::CreateCompanyDatabase(db, false);
    benchsupport::RunIsqlScript(db, clientloop::FillScript(kRows));
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
        clientloop::Attachment bare(db);
        int bareRows = 0;
        clientloop::FetchAll(bare, kSelect, bareRows);
        if (driverFetch(*connection) != kRows || bareRows != kRows)
            die("a peer did not read every row");
        client->Open();
        if (client->RecordCount() != kRows) die("the client dataset did not get every row");
        client->Close();

        auto times = benchsupport::RunRounds(
            kRounds, {[&] {
                          Times t = benchsupport::Measure([&] { client->Open(); });
                          if (client->RecordCount() != kRows) die("the chain lost rows");
                          client->Close();
                          return t;
                      },
                      [&] { return benchsupport::Measure([&] { driverFetch(*connection); }); },
                      [&] {
                          return benchsupport::Measure(
                              [&] { clientloop::FetchAll(bare, kSelect, bareRows); });
                      }});
        benchsupport::PrintSides("provider_open_100k", {"chain", "driver", "client"}, times);
        double c = benchsupport::MedianThread(times[0]), d = benchsupport::MedianThread(times[1]),
               b = benchsupport::MedianThread(times[2]);
        double vsClient = benchsupport::RatioThread(times[0], times[2]),
               vsDriver = benchsupport::RatioThread(times[0], times[1]);
        benchsupport::PrintTableRow(
            {benchsupport::Text("%.1f ms", c * 1e3), benchsupport::Text("%.1f ms", d * 1e3),
             benchsupport::Text("%.1f ms", b * 1e3), benchsupport::Text("%.3f", vsClient),
             benchsupport::Text("%.3f", vsDriver)});
        benchsupport::PrintRatio("provider_open_100k_vs_client", vsClient, "at_most", 1.15);
        benchsupport::PrintRatio("provider_open_100k_vs_driver", vsDriver, "at_most", 1.15);
    }
    std::filesystem::remove_all(dir);
    return 0;
}
