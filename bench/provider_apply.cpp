// bench-libs: data fbclient
// Applying 10k changes of one kind through the window's chain (a client
// dataset's change log, TDataSetProvider with its generated SQL, TSQLTable,
// the connection and the driver) against the same statement texts run
// straight as one prepared statement in one transaction, on the driver over
// the same connection and with the client library alone (as in
// driver_fetch), side by side in one run. Only the apply (and each peer's
// loop) is timed, not making the changes in memory nor refilling the table.
//
// The peers run exactly the texts the provider writes under its UpdateMode
// (they take them from the provider's own generator): where-all by default,
// every loaded column compared. The cost of where-all against key-only is
// printed as figures of its own: the chain once more with UpdateMode
// key-only, and the driver with the key-only texts.

#include "support/BenchSupport.h"
#include "support/ClientLoop.h"

#include "data/TClientDataSet.h"
#include "data/TDataSetProvider.h"
#include "data/TField.h"
#include "data/TSQLConnection.h"
#include "data/TSQLTable.h"
#include "data/TUpdateSQLGenerator.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace {

using benchsupport::Times;
constexpr int kRows = 10000;
constexpr int kRounds = 7;

[[noreturn]] void die(const std::string& what) {
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
constexpr int64_t kPorc = 190000, kFactor = 8000, kNewFactor = 9000;

// A row's values in column order, as every side writes or finds them: the
// engine's kinds for the chain and the driver, plain integers (days since
// 30 Dec 1899, units of 1/10000) for the client library.
std::vector<TDBXValue> driverRow(int id) {
    return {intValue(id), dateValue(kFrom), dateValue(kTo), bcdValue(kPorc), bcdValue(kFactor)};
}
std::vector<int64_t> clientRow(int id) {
    return {id, static_cast<int64_t>(kFrom.Val()), static_cast<int64_t>(kTo.Val()), kPorc, kFactor};
}

// The statements the provider writes for the three kinds of change, from its
// own generator over the table's fields as the provider describes them.
struct Texts {
    std::string Insert, Modify, Delete;
};

Texts generatedTexts(TUpdateMode mode) {
    auto f = [](const char* name, DSType type, uint8_t flags) {
        DSFieldDesc d;
        d.Name = name;
        d.Origin = name;
        d.Type = type;
        if (type == DSType::Bcd) {
            d.Size = 15;
            d.Scale = 4;
        }
        d.ProviderFlags = flags;
        return d;
    };
    const uint8_t plain = pfInUpdate | pfInWhere;
    TDSRecordLayout layout(
        {f("AJCI_ID", DSType::Int32, plain | pfInKey), f("AJCI_FECINI", DSType::Date, plain),
         f("AJCI_FECFIN", DSType::Date, plain), f("AJCI_PORC", DSType::Bcd, plain),
         f("AJCI_FACTOR", DSType::Bcd, plain)});
    std::vector<uint8_t> old(layout.RecordSize()), changed(layout.RecordSize());
    layout.InitRecord(old.data());
    layout.PutField(old.data(), 0, Variant(int32_t(1)));
    layout.PutField(old.data(), 1, Variant(kFrom));
    layout.PutField(old.data(), 2, Variant(kTo));
    layout.PutField(old.data(), 3, Variant(TBcd{kPorc, 4}));
    layout.PutField(old.data(), 4, Variant(TBcd{kFactor, 4}));
    layout.InitRecord(changed.data(), DSFieldStatus::Unassigned);
    layout.PutField(changed.data(), 4, Variant(TBcd{kNewFactor, 4}));
    TUpdateSQLGenerator generator(layout, "AJUSTE_CIERRE", "\"", mode);
    TGeneratedStatement s;
    Texts t;
    generator.Generate(dsRecInserted, nullptr, old.data(), s);
    t.Insert = s.SQL;
    generator.Generate(dsRecModified, old.data(), changed.data(), s);
    t.Modify = s.SQL;
    generator.Generate(dsRecDeleted, old.data(), nullptr, s);
    t.Delete = s.SQL;
    return t;
}

// A client dataset over the table through a provider of the given mode. The
// key-only chain reads the table's primary key from the catalogue, as it
// must to write a where clause on it.
struct Chain {
    TSQLTable* Table;
    TDataSetProvider* Provider;
    TClientDataSet* Client;

    Chain(TComponent& owner, TSQLConnection* connection, const char* name, TUpdateMode mode) {
        Table = new TSQLTable(&owner);
        Table->SetName(std::string("T") + name);
        Table->SetSQLConnection(connection);
        Table->SetTableName("AJUSTE_CIERRE");
        Table->SetGetMetadata(mode == upWhereKeyOnly);
        Table->SetMaxBlobSize(-1);
        Provider = new TDataSetProvider(&owner);
        Provider->SetName(std::string("P") + name);
        Provider->SetDataSet(Table);
        Provider->SetUpdateMode(mode);
        Provider->OnUpdateError = [](TObject*, TClientDataSet*, EUpdateError& e, TUpdateKind,
                                     TResolverResponse&) { die(e.Message); };
        Client = new TClientDataSet(&owner);
        Client->SetProviderName(std::string("P") + name);
    }
};

struct Bench {
    TComponent Owner;
    TSQLConnection* Connection;
    TSQLConnection* Monitor; // a second attachment that watches the first
    Chain WhereAll, KeyOnly;
    clientloop::Attachment Bare;
    Texts AllTexts = generatedTexts(upWhereAll), KeyTexts = generatedTexts(upWhereKeyOnly);

    explicit Bench(const std::string& database)
        : Connection(newConnection(database, &Owner)), Monitor(newConnection(database, &Owner)),
          WhereAll(Owner, Connection, "All", upWhereAll),
          KeyOnly(Owner, Connection, "Key", upWhereKeyOnly), Bare(database) {
        Connection->Open();
        Monitor->Open();
    }

    // Whether a statement of exactly this text is prepared on the database
    // at this moment, by any attachment.
    bool preparedNow(const std::string& text) {
        std::unique_ptr<ISQLCommand> c = Monitor->CreateCommand();
        Monitor->Check(c->prepare("select count(*) from mon$statements where mon$sql_text = ?", 1),
                       c.get());
        TDBXValue v;
        v.Type = TDBXType::ZString;
        v.IsNull = false;
        v.Text = text;
        Monitor->Check(c->setParameter(1, v), c.get());
        ISQLCursor* raw = nullptr;
        Monitor->Check(c->execute(&raw), c.get());
        std::unique_ptr<ISQLCursor> cursor(raw);
        cursor->next();
        cursor->getValue(1, v);
        cursor->close();
        return v.Int > 0;
    }

    // Applies two changes of each kind through chain and checks, while the
    // second is about to be written, that the first one's statement is
    // prepared with exactly the text the peers run: the peers are then
    // measured on the provider's own statements.
    void checkTexts(Chain& chain, const Texts& texts) {
        clearTable();
        exec("insert into AJUSTE_CIERRE values (1, '2016-03-01', '2016-03-31', 19, 0.8)");
        exec("insert into AJUSTE_CIERRE values (2, '2016-03-01', '2016-03-31', 19, 0.8)");
        exec("insert into AJUSTE_CIERRE values (3, '2016-03-01', '2016-03-31', 19, 0.8)");
        exec("insert into AJUSTE_CIERRE values (4, '2016-03-01', '2016-03-31', 19, 0.8)");
        chain.Client->Open();
        chain.Client->First();
        for (int i = 0; i < 2; ++i) {
            chain.Client->Edit();
            chain.Client->Fields(4)->SetAsCurrency(Currency{kNewFactor});
            chain.Client->Post();
            chain.Client->Next();
        }
        chain.Client->Delete();
        chain.Client->Delete();
        for (int id : {5, 6}) {
            chain.Client->Append();
            chain.Client->Fields(0)->SetAsInteger(id);
            chain.Client->Fields(1)->SetAsDateTime(kFrom);
            chain.Client->Fields(2)->SetAsDateTime(kTo);
            chain.Client->Fields(3)->SetAsCurrency(Currency{kPorc});
            chain.Client->Fields(4)->SetAsCurrency(Currency{kFactor});
            chain.Client->Post();
        }
        int seen[3] = {0, 0, 0};
        chain.Provider->BeforeUpdateRecord = [&](TObject*, TDataSet*, TClientDataSet*,
                                                 TUpdateKind kind, bool&) {
            const std::string& text = kind == ukModify   ? texts.Modify
                                      : kind == ukDelete ? texts.Delete
                                                         : texts.Insert;
            if (seen[kind]++ == 1 && !preparedNow(text))
                die("the provider does not write the peers' text:\n" + text);
        };
        timedApply(chain);
        chain.Provider->BeforeUpdateRecord = nullptr;
        if (seen[ukModify] != 2 || seen[ukDelete] != 2 || seen[ukInsert] != 2)
            die("the check of the texts did not see every change");
    }

    void exec(const std::string& sql) { Connection->Execute(sql, TParams()); }
    // Empties the table and has the server collect the deleted versions now
    // (reading them does), so that no side meets another's garbage in its
    // timed part.
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
        driverLoop("insert into AJUSTE_CIERRE values (?, ?, ?, ?, ?)",
                   [](int i) { return driverRow(i); });
        count();
    }
    void expectCount(int rows, const char* who) {
        if (count() != rows) die(std::string(who) + " did not write every row");
    }

    void driverLoop(const std::string& sql,
                    const std::function<std::vector<TDBXValue>(int)>& values) {
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

    Times timedApply(Chain& chain) {
        Times t = benchsupport::Measure([&] {
            if (chain.Client->ApplyUpdates(0) != 0) die("the apply refused changes");
        });
        if (chain.Client->ChangeCount() != 0) die("the apply kept changes");
        chain.Client->Close();
        return t;
    }

    // Each side prepares the table, makes its changes in memory untimed, and
    // returns the time of writing them.
    Times chainInserts(Chain& chain) {
        clearTable();
        chain.Client->Open();
        for (int i = 1; i <= kRows; ++i) {
            chain.Client->Append();
            chain.Client->Fields(0)->SetAsInteger(i);
            chain.Client->Fields(1)->SetAsDateTime(kFrom);
            chain.Client->Fields(2)->SetAsDateTime(kTo);
            chain.Client->Fields(3)->SetAsCurrency(Currency{kPorc});
            chain.Client->Fields(4)->SetAsCurrency(Currency{kFactor});
            chain.Client->Post();
        }
        Times t = timedApply(chain);
        expectCount(kRows, "the chain");
        return t;
    }
    Times chainModifications(Chain& chain) {
        fillTable();
        chain.Client->Open();
        for (chain.Client->First(); !chain.Client->Eof(); chain.Client->Next()) {
            chain.Client->Edit();
            chain.Client->Fields(4)->SetAsCurrency(Currency{kNewFactor});
            chain.Client->Post();
        }
        return timedApply(chain);
    }
    Times chainDeletions(Chain& chain) {
        fillTable();
        chain.Client->Open();
        while (!chain.Client->Eof())
            chain.Client->Delete();
        Times t = timedApply(chain);
        expectCount(0, "the chain");
        return t;
    }

    // The peers bind what the provider binds, in its order: an insert's five
    // values; a modification's new factor, then the row as loaded for the
    // where clause (its key alone under key-only); a deletion's row as loaded
    // (its key alone).
    Times driverInserts() {
        clearTable();
        Times t = benchsupport::Measure(
            [&] { driverLoop(AllTexts.Insert, [](int i) { return driverRow(i); }); });
        expectCount(kRows, "the driver");
        return t;
    }
    Times driverModifications(bool keyOnly) {
        fillTable();
        return benchsupport::Measure([&] {
            driverLoop(keyOnly ? KeyTexts.Modify : AllTexts.Modify, [&](int i) {
                std::vector<TDBXValue> v{bcdValue(kNewFactor)};
                std::vector<TDBXValue> old = driverRow(i);
                v.insert(v.end(), old.begin(), keyOnly ? old.begin() + 1 : old.end());
                return v;
            });
        });
    }
    Times driverDeletions(bool keyOnly) {
        fillTable();
        Times t = benchsupport::Measure([&] {
            driverLoop(keyOnly ? KeyTexts.Delete : AllTexts.Delete, [&](int i) {
                std::vector<TDBXValue> old = driverRow(i);
                if (keyOnly) old.resize(1);
                return old;
            });
        });
        expectCount(0, "the driver");
        return t;
    }

    Times clientInserts() {
        clearTable();
        Times t = benchsupport::Measure([&] {
            clientloop::RunEach(Bare, AllTexts.Insert, kRows, [](int i, clientloop::Binder& b) {
                std::vector<int64_t> v = clientRow(i);
                for (int p = 0; p < 5; ++p)
                    b.Set(p, v[p]);
            });
        });
        expectCount(kRows, "the client library");
        return t;
    }
    Times clientModifications() {
        fillTable();
        return benchsupport::Measure([&] {
            clientloop::RunEach(Bare, AllTexts.Modify, kRows, [](int i, clientloop::Binder& b) {
                b.Set(0, kNewFactor);
                std::vector<int64_t> v = clientRow(i);
                for (int p = 0; p < 5; ++p)
                    b.Set(p + 1, v[p]);
            });
        });
    }
    Times clientDeletions() {
        fillTable();
        Times t = benchsupport::Measure([&] {
            clientloop::RunEach(Bare, AllTexts.Delete, kRows, [](int i, clientloop::Binder& b) {
                std::vector<int64_t> v = clientRow(i);
                for (int p = 0; p < 5; ++p)
                    b.Set(p, v[p]);
            });
        });
        expectCount(0, "the client library");
        return t;
    }
};

void report(const char* kind, const std::vector<const char*>& names,
            const std::vector<std::vector<Times>>& times) {
    benchsupport::PrintSides(std::string("provider_apply_") + kind + "_10k", names, times);
    const bool keyOnly = names.size() == 5;
    double vsDriver = benchsupport::RatioThread(times[0], times[1]),
           vsClient = benchsupport::RatioThread(times[0], times[2]);
    double chainAllVsKey = keyOnly ? benchsupport::RatioThread(times[0], times[3]) : 0,
           driverAllVsKey = keyOnly ? benchsupport::RatioThread(times[1], times[4]) : 0;
    std::vector<std::string> row{kind};
    for (size_t s = 0; s < 3; ++s)
        row.push_back(benchsupport::Text("%.1f ms", benchsupport::MedianThread(times[s]) * 1e3));
    row.push_back(benchsupport::Text("%.3f", vsDriver));
    row.push_back(benchsupport::Text("%.3f", vsClient));
    row.push_back(keyOnly ? benchsupport::Text("%.3f", chainAllVsKey) : "");
    row.push_back(keyOnly ? benchsupport::Text("%.3f", driverAllVsKey) : "");
    benchsupport::PrintTableRow(row);
    std::string name = std::string("provider_apply_") + kind + "_10k";
    benchsupport::PrintRatio(name + "_vs_driver", vsDriver, "at_most", 1.1);
    benchsupport::PrintRatio(name + "_vs_client", vsClient, "at_most", 1.15);
    if (keyOnly) {
        benchsupport::PrintFigure(name + "_chain_whereall_vs_keyonly", chainAllVsKey);
        benchsupport::PrintFigure(name + "_driver_whereall_vs_keyonly", driverAllVsKey);
    }
}

} // namespace

int main() {
    std::string dir = benchsupport::MakeTempDir();
    std::string db = dir + "/talvero.fdb";
    benchsupport::CreateCompanyDatabase(db, false);
    {
        Bench b(db);
        b.checkTexts(b.WhereAll, b.AllTexts);
        b.checkTexts(b.KeyOnly, b.KeyTexts);
        report("insert", {"chain", "driver", "client"},
               benchsupport::RunRounds(kRounds, {[&] { return b.chainInserts(b.WhereAll); },
                                                 [&] { return b.driverInserts(); },
                                                 [&] { return b.clientInserts(); }}));
        report("modify", {"chain", "driver", "client", "chain key-only", "driver key-only"},
               benchsupport::RunRounds(kRounds, {[&] { return b.chainModifications(b.WhereAll); },
                                                 [&] { return b.driverModifications(false); },
                                                 [&] { return b.clientModifications(); },
                                                 [&] { return b.chainModifications(b.KeyOnly); },
                                                 [&] { return b.driverModifications(true); }}));
        report("delete", {"chain", "driver", "client", "chain key-only", "driver key-only"},
               benchsupport::RunRounds(kRounds, {[&] { return b.chainDeletions(b.WhereAll); },
                                                 [&] { return b.driverDeletions(false); },
                                                 [&] { return b.clientDeletions(); },
                                                 [&] { return b.chainDeletions(b.KeyOnly); },
                                                 [&] { return b.driverDeletions(true); }}));
    }
    std::filesystem::remove_all(dir);
    return 0;
}
