// bench-libs: data sqlite3
// Locate and a filter over 1M rows held in a client dataset, against SQLite's
// in-memory database answering the same questions on the same rows, side by
// side in one run. Neither side has an index; SQLite's statements are
// prepared once, outside the timing, and only bound, stepped and reset inside
// it.
//   - Locate the last row by AJCI_ID: "select rowid ... where AJCI_ID = ?
//     limit 1".
//   - Locate a rate no row has (the whole view searched): the same on
//     AJCI_PORC, which finds nothing.
//   - The filter "AJCI_FECINI = '<date>'" switched on (the text compiled, the
//     view rebuilt, the first row shown and the rows counted): every rowid of
//     "select rowid ... where AJCI_FECINI = ?", counted.
// Both answers are checked to agree. Each figure is the median of this
// thread's CPU time over rounds that alternate the two sides.

#include "support/AjusteRows.h"
#include "support/BenchSupport.h"

#include "data/TClientDataSet.h"
#include "data/engine/DSIntf.h"
#include "platform/DateUtils.h"
#include "platform/SysUtils.h"

#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

using benchsupport::Times;
constexpr int kRows = 1000000;
constexpr int kRounds = 9;
constexpr int kFilterDay = 42100;

int dayOf(int i) {
    return 42000 + i % 365;
}
int64_t rateOf(int i) {
    return int64_t(i % 2000) * 100;
}

std::vector<uint8_t> makePacket() {
    auto writer = CreateDSWriter();
    writer->Init({DSFieldDesc{"AJCI_ID", DSType::Int32}, DSFieldDesc{"AJCI_FECINI", DSType::Date},
                  DSFieldDesc{"AJCI_PORC", DSType::Bcd, 15, 4}},
                 {});
    const TDSRecordLayout& layout = writer->Layout();
    std::vector<uint8_t> record(layout.RecordSize());
    for (int i = 1; i <= kRows; ++i) {
        layout.InitRecord(record.data());
        layout.PutField(record.data(), 0, Variant(int32_t(i)));
        layout.PutField(record.data(), 1, Variant(TDateTime(dayOf(i))));
        layout.PutField(record.data(), 2, Variant(TBcd{rateOf(i), 4}));
        writer->AddRecord(record.data());
    }
    return writer->GetDataPacket();
}

using ajusterows::Check;

[[noreturn]] void fail(const char* what) {
    std::fprintf(stderr, "clientdataset_search: %s\n", what);
    std::exit(1);
}

sqlite3* loadSqlite() {
    sqlite3* db = nullptr;
    Check(sqlite3_open(":memory:", &db), db, "open");
    Check(sqlite3_exec(db,
                       "create table AJUSTE_CIERRE (AJCI_ID integer, AJCI_FECINI integer, "
                       "AJCI_PORC integer)",
                       nullptr, nullptr, nullptr),
          db, "create");
    Check(sqlite3_exec(db, "begin", nullptr, nullptr, nullptr), db, "begin");
    sqlite3_stmt* insert = nullptr;
    Check(
        sqlite3_prepare_v2(db, "insert into AJUSTE_CIERRE values (?, ?, ?)", -1, &insert, nullptr),
        db, "prepare insert");
    for (int i = 1; i <= kRows; ++i) {
        sqlite3_bind_int(insert, 1, i);
        sqlite3_bind_int(insert, 2, dayOf(i));
        sqlite3_bind_int64(insert, 3, rateOf(i));
        Check(sqlite3_step(insert), db, "insert");
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    Check(sqlite3_exec(db, "commit", nullptr, nullptr, nullptr), db, "commit");
    return db;
}

sqlite3_stmt* prepare(sqlite3* db, const char* sql) {
    sqlite3_stmt* s = nullptr;
    Check(sqlite3_prepare_v2(db, sql, -1, &s, nullptr), db, sql);
    return s;
}

// The first rowid a prepared statement finds for value, or 0.
int64_t firstRowid(sqlite3_stmt* s, int64_t value) {
    sqlite3_bind_int64(s, 1, value);
    int64_t rowid = sqlite3_step(s) == SQLITE_ROW ? sqlite3_column_int64(s, 0) : 0;
    sqlite3_reset(s);
    return rowid;
}

// Prints one comparison and adds its cells to the run's table row.
void report(const char* name, const std::string& what, const std::vector<std::vector<Times>>& t,
            double bound, std::vector<std::string>& row) {
    double ds = benchsupport::MedianThread(t[0]), sq = benchsupport::MedianThread(t[1]);
    std::printf("%s: client dataset %.2f ms, sqlite %.2f ms CPU (wall %.2f, %.2f)\n", what.c_str(),
                ds * 1e3, sq * 1e3, benchsupport::MedianWall(t[0]) * 1e3,
                benchsupport::MedianWall(t[1]) * 1e3);
    double ratio = benchsupport::RatioThread(t[0], t[1]);
    benchsupport::PrintRatio(name, ratio, "at_most", bound);
    row.push_back(benchsupport::Text("%.2f / %.2f ms", ds * 1e3, sq * 1e3));
    row.push_back(benchsupport::Text("%.3f", ratio));
}

} // namespace

int main() {
    FormatSettings = DefaultFormatSettings();
    TComponent owner;
    auto* ds = new TClientDataSet(&owner);
    ds->SetData(makePacket());
    sqlite3* db = loadSqlite();
    sqlite3_stmt* byId = prepare(db, "select rowid from AJUSTE_CIERRE where AJCI_ID = ? limit 1");
    sqlite3_stmt* byRate =
        prepare(db, "select rowid from AJUSTE_CIERRE where AJCI_PORC = ? limit 1");
    sqlite3_stmt* byDay = prepare(db, "select rowid from AJUSTE_CIERRE where AJCI_FECINI = ?");

    bool found = false;
    int64_t rowid = 0;
    auto locateLast = benchsupport::RunRounds(
        kRounds, {[&] {
                      ds->First();
                      Times t = benchsupport::Measure(
                          [&] { found = ds->Locate("AJCI_ID", Variant(int32_t(kRows))); });
                      if (!found || ds->RecNo() != kRows) fail("Locate missed the last row");
                      return t;
                  },
                  [&] {
                      Times t = benchsupport::Measure([&] { rowid = firstRowid(byId, kRows); });
                      if (rowid != kRows) fail("sqlite missed the last row");
                      return t;
                  }});

    auto locateMissing = benchsupport::RunRounds(
        kRounds, {[&] {
                      ds->First();
                      Times t = benchsupport::Measure(
                          [&] { found = ds->Locate("AJCI_PORC", Variant(Currency{-1})); });
                      if (found || ds->RecNo() != 1) fail("Locate found a rate no row has");
                      return t;
                  },
                  [&] {
                      Times t = benchsupport::Measure([&] { rowid = firstRowid(byRate, -1); });
                      if (rowid != 0) fail("sqlite found a rate no row has");
                      return t;
                  }});

    ds->SetFilter("AJCI_FECINI = " + QuotedStr(DateToStr(TDateTime(kFilterDay))));
    int shown = 0, counted = 0;
    auto filter =
        benchsupport::RunRounds(kRounds, {[&] {
                                              Times t = benchsupport::Measure([&] {
                                                  ds->SetFiltered(true);
                                                  shown = ds->RecordCount();
                                              });
                                              ds->SetFiltered(false);
                                              return t;
                                          },
                                          [&] {
                                              return benchsupport::Measure([&] {
                                                  counted = 0;
                                                  sqlite3_bind_int(byDay, 1, kFilterDay);
                                                  while (sqlite3_step(byDay) == SQLITE_ROW)
                                                      counted += sqlite3_column_int64(byDay, 0) > 0;
                                                  sqlite3_reset(byDay);
                                              });
                                          }});
    if (shown != counted || shown == 0) fail("the filter's answers differ");

    std::printf("rows %d, median of %d rounds, load %.1f\n", kRows, kRounds,
                benchsupport::LoadAverage());
    std::vector<std::string> row;
    report("clientdataset_locate_last_vs_sqlite", "Locate the last row by AJCI_ID", locateLast,
           0.10, row);
    report("clientdataset_locate_missing_vs_sqlite", "Locate a rate no row has", locateMissing,
           0.10, row);
    report("clientdataset_filter_vs_sqlite",
           "Filter on AJCI_FECINI (" + std::to_string(shown) + " rows shown)", filter, 0.10, row);
    benchsupport::PrintTableRow(row);
    sqlite3_finalize(byId);
    sqlite3_finalize(byRate);
    sqlite3_finalize(byDay);
    sqlite3_close(db);
    return 0;
}
