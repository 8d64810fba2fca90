// bench-libs: data
// Applying 10k changes of one kind through the window's chain (a client
// dataset's change log, TDataSetProvider with its generated SQL, TSQLTable,
// the connection and the driver) against the same writes run straight on the
// driver as one prepared statement in one transaction over the same
// connection. The ratios are chain time over driver time; only the apply
// (and the driver's loop) is timed, not making the changes in memory.

#include "support/BenchSupport.h"

#include "data/TClientDataSet.h"
#include "data/TDataSetProvider.h"
#include "data/TField.h"
#include "data/TSQLConnection.h"
#include "data/TSQLTable.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRows = 10000;
constexpr int kRounds = 5;

void die(const std::string& what) {
    std::fprintf(stderr, "provider_apply: %s\n", what.c_str());
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
    c->Params().SetValues("Interbase TransIsolation", "ReadCommited");
    return c;
}

TDBXValue intValue(int64_t v) {
    TDBXValue x;
    x.Type = TDBXType::Int32;
    x.IsNull = false;
    x.Int = v;
    return x;
}
TDBXValue dateValue(TDateTime d) {
    TDBXValue x;
    x.Type = TDBXType::Date;
    x.IsNull = false;
    x.DateTime = d;
    return x;
}
TDBXValue bcdValue(int64_t units) {
    TDBXValue x;
    x.Type = TDBXType::FmtBcd;
    x.IsNull = false;
    x.Int = units;
    x.Scale = 4;
    return x;
}

const TDateTime kFrom = EncodeDate(2016, 3, 1), kTo = EncodeDate(2016, 3, 31);

struct Bench {
    TComponent Owner;
    TSQLConnection* Connection;
    TSQLTable* Table;
    TDataSetProvider* Provider;
    TClientDataSet* Client;

    explicit Bench(const std::string& database) {
        Connection = newConnection(database, &Owner);
        Table = new TSQLTable(&Owner);
        Table->SetName("TAjuste");
        Table->SetSQLConnection(Connection);
        Table->SetTableName("AJUSTE_CIERRE");
        Table->SetGetMetadata(false);
        Table->SetMaxBlobSize(-1);
        Provider = new TDataSetProvider(&Owner);
        Provider->SetName("PAjuste");
        Provider->SetDataSet(Table);
        Provider->OnUpdateError = [](TObject*, TClientDataSet*, EUpdateError& e, TUpdateKind,
                                     TResolverResponse&) { die(e.Message); };
        Client = new TClientDataSet(&Owner);
        Client->SetProviderName("PAjuste");
        Connection->Open();
    }

    void exec(const std::string& sql) { Connection->Execute(sql, TParams()); }
    // Empties the table and has the server collect the deleted versions
    // now (reading them does), so that neither side meets the other's
    // garbage in its timed part.
    void clearTable() {
        exec("delete from AJUSTE_CIERRE");
        count();
    }
    int count() {
        std::unique_ptr<ISQLCommand> c = Connection->CreateCommand();
        Connection->Check(c->prepare("select count(*) from AJUSTE_CIERRE", 0), c.get());
        ISQLCursor* raw = nullptr;
        Connection->Check(c->execute(&raw), c.get());
        std::unique_ptr<ISQLCursor> cursor(raw);
        TDBXValue v;
        cursor->next();
        cursor->getValue(1, v);
        cursor->close();
        return static_cast<int>(v.Int);
    }
    // kRows rows with keys 1..kRows, written straight, not timed.
    void fillTable() {
        clearTable();
        driverLoop("insert into AJUSTE_CIERRE values (?, ?, ?, ?, ?)", [](int i) {
            return std::vector<TDBXValue>{intValue(i), dateValue(kFrom), dateValue(kTo),
                                          bcdValue(190000), bcdValue(8000)};
        });
    }

    template <class Values> void driverLoop(const std::string& sql, Values values) {
        TTransactionDesc desc = Connection->DefaultTransactionDesc();
        Connection->StartTransaction(desc);
        std::unique_ptr<ISQLCommand> c = Connection->CreateCommand();
        Connection->Check(c->prepare(sql, static_cast<uint16_t>(values(1).size())), c.get());
        for (int i = 1; i <= kRows; ++i) {
            std::vector<TDBXValue> v = values(i);
            for (size_t p = 0; p < v.size(); ++p)
                Connection->Check(c->setParameter(static_cast<uint16_t>(p + 1), v[p]), c.get());
            ISQLCursor* none = nullptr;
            Connection->Check(c->execute(&none), c.get());
            uint32_t rows = 0;
            Connection->Check(c->getRowsAffected(rows), c.get());
            if (rows != 1) die("the driver's statement did not write one row");
        }
        c.reset();
        Connection->Commit(desc);
    }

    double timedApply() {
        auto t0 = Clock::now();
        int errors = Client->ApplyUpdates(0);
        double s = std::chrono::duration<double>(Clock::now() - t0).count();
        if (errors != 0 || Client->ChangeCount() != 0) die("the apply refused changes");
        Client->Close();
        return s;
    }
    template <class F> double timed(F&& f) {
        auto t0 = Clock::now();
        f();
        return std::chrono::duration<double>(Clock::now() - t0).count();
    }

    double chainInserts() {
        clearTable();
        Client->Open();
        for (int i = 1; i <= kRows; ++i) {
            Client->Append();
            Client->Fields(0)->SetAsInteger(i);
            Client->Fields(1)->SetAsDateTime(kFrom);
            Client->Fields(2)->SetAsDateTime(kTo);
            Client->Fields(3)->SetAsCurrency(Currency{190000});
            Client->Fields(4)->SetAsCurrency(Currency{8000});
            Client->Post();
        }
        double s = timedApply();
        if (count() != kRows) die("the chain did not insert every row");
        return s;
    }
    double driverInserts() {
        clearTable();
        double s = timed([&] {
            driverLoop("insert into \"AJUSTE_CIERRE\"\r\n  (\"AJCI_ID\", \"AJCI_FECINI\", "
                       "\"AJCI_FECFIN\", \"AJCI_PORC\", \"AJCI_FACTOR\")\r\nvalues\r\n  (?, ?, ?, "
                       "?, ?)\r\n",
                       [](int i) {
                           return std::vector<TDBXValue>{intValue(i), dateValue(kFrom),
                                                         dateValue(kTo), bcdValue(190000),
                                                         bcdValue(8000)};
                       });
        });
        if (count() != kRows) die("the driver did not insert every row");
        return s;
    }

    double chainModifications() {
        fillTable();
        count();
        Client->Open();
        for (Client->First(); !Client->Eof(); Client->Next()) {
            Client->Edit();
            Client->Fields(4)->SetAsCurrency(Currency{9000});
            Client->Post();
        }
        return timedApply();
    }
    // The statement a program would write by hand: the row by its key.
    double driverModifications() {
        fillTable();
        count();
        return timed([&] {
            driverLoop("update AJUSTE_CIERRE set AJCI_FACTOR = ? where AJCI_ID = ?", [](int i) {
                return std::vector<TDBXValue>{bcdValue(9000), intValue(i)};
            });
        });
    }

    double chainDeletions() {
        fillTable();
        count();
        Client->Open();
        while (!Client->Eof())
            Client->Delete();
        double s = timedApply();
        if (count() != 0) die("the chain did not delete every row");
        return s;
    }
    double driverDeletions() {
        fillTable();
        count();
        return timed([&] {
            driverLoop("delete from AJUSTE_CIERRE where AJCI_ID = ?",
                       [](int i) { return std::vector<TDBXValue>{intValue(i)}; });
        });
    }
};

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

template <class A, class B>
void compare(const char* name, const char* label, A chain, B driver, double bound) {
    std::vector<double> c, d;
    for (int round = 0; round < kRounds; ++round) {
        d.push_back(driver());
        c.push_back(chain());
    }
    double cm = median(c), dm = median(d);
    std::printf("%s: chain %.1f ms, driver %.1f ms (median of %d)\n", label, cm * 1e3, dm * 1e3,
                kRounds);
    benchsupport::PrintRatio(name, cm / dm, "at_most", bound);
}

} // namespace

int main() {
    std::string dir = benchsupport::MakeTempDir();
    std::string db = dir + "/talvero.fdb";
    benchsupport::CreateCompanyDatabase(db, false);
    {
        Bench b(db);
        compare(
            "provider_apply_insert_10k_vs_driver", "provider_apply_insert_10k",
            [&] { return b.chainInserts(); }, [&] { return b.driverInserts(); }, 1.2);
        compare(
            "provider_apply_modify_10k_vs_driver", "provider_apply_modify_10k",
            [&] { return b.chainModifications(); }, [&] { return b.driverModifications(); }, 1.2);
        compare(
            "provider_apply_delete_10k_vs_driver", "provider_apply_delete_10k",
            [&] { return b.chainDeletions(); }, [&] { return b.driverDeletions(); }, 1.2);
    }
    std::filesystem::remove_all(dir);
    return 0;
}
