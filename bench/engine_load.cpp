// bench-libs: dsengine sqlite3
// Loading 1M rows of AJUSTE_CIERRE's shape (int, date, date, bcd(15,4),
// bcd(15,4)) into an engine base from 1000 packets of 1000 rows, as a client
// dataset fetches them with a cursor open on the base, side by side in one
// run with two peers:
//   - SQLite's in-memory database taking the same rows, already decoded, with
//     one prepared insert in one transaction (dates as integer days, rates
//     as integers of 1/10000, as in engine_vs_sqlite);
//   - a plain copy of the packets' bytes into fresh memory: the physical
//     limit of any load, which must at least bring every byte into memory of
//     its own.
// Times are this thread's CPU time (nothing here runs in another thread),
// medians of rounds that alternate the sides.
//
// Memory: resident bytes the base adds per row, over the row's payload, the
// bytes of its values: 4 + 4 + 4 + 8 + 8 = 28 (at most 1.5 meets it); what
// SQLite's allocator holds per row for the same rows is printed besides.

#include "support/BenchSupport.h"

#include "data/engine/DSIntf.h"

#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

using benchsupport::Times;
constexpr int kRounds = 7;
constexpr int kPackets = 1000;
constexpr int kRowsPerPacket = 1000;
constexpr int kRows = kPackets * kRowsPerPacket;
constexpr double kPayload = 4 + 4 + 4 + 8 + 8;

std::vector<DSFieldDesc> fields() {
    auto f = [](const char* name, DSType type, uint16_t size = 0, int8_t scale = 0) {
        DSFieldDesc d;
        d.Name = name;
        d.Type = type;
        d.Size = size;
        d.Scale = scale;
        return d;
    };
    return {f("AJCI_ID", DSType::Int32), f("AJCI_FECINI", DSType::Date),
            f("AJCI_FECFIN", DSType::Date), f("AJCI_PORC", DSType::Bcd, 15, 4),
            f("AJCI_FACTOR", DSType::Bcd, 15, 4)};
}

// The table's rows: periods of a month, the rates 0 to 21 in turn, a null
// end date now and then.
struct Row {
    int32_t Id, From, To;
    bool ToNull;
    int64_t Porc, Factor;
};

Row rowOf(int id) {
    return Row{id,          36526 + (id / 22) % 3000, 36556 + (id / 22) % 3000,
               id % 7 == 0, (id % 22) * 10000,        8000};
}

std::vector<uint8_t> makePacket(int p) {
    auto writer = CreateDSWriter();
    writer->Init(fields(), {{"TABLE_NAME", Variant("AJUSTE_CIERRE")}});
    const TDSRecordLayout& layout = writer->Layout();
    std::vector<uint8_t> record(layout.RecordSize());
    for (int i = 0; i < kRowsPerPacket; ++i) {
        Row r = rowOf(p * kRowsPerPacket + i + 1);
        layout.InitRecord(record.data());
        layout.PutField(record.data(), 0, Variant(r.Id));
        layout.PutField(record.data(), 1, Variant(TDateTime(r.From)));
        if (!r.ToNull) layout.PutField(record.data(), 2, Variant(TDateTime(r.To)));
        layout.PutField(record.data(), 3, Variant(TBcd{r.Porc, 4}));
        layout.PutField(record.data(), 4, Variant(TBcd{r.Factor, 4}));
        writer->AddRecord(record.data());
    }
    return writer->GetDataPacket();
}

void check(int rc, sqlite3* db, const char* what) {
    if (rc == SQLITE_OK || rc == SQLITE_DONE || rc == SQLITE_ROW) return;
    std::fprintf(stderr, "sqlite %s: %s\n", what, sqlite3_errmsg(db));
    std::exit(1);
}

// The rows into a new in-memory database; returns it (the caller closes it).
sqlite3* loadSqlite(const std::vector<Row>& rows) {
    sqlite3* db = nullptr;
    check(sqlite3_open(":memory:", &db), db, "open");
    check(sqlite3_exec(db,
                       "create table AJUSTE_CIERRE (AJCI_ID integer, AJCI_FECINI integer, "
                       "AJCI_FECFIN integer, AJCI_PORC integer, AJCI_FACTOR integer)",
                       nullptr, nullptr, nullptr),
          db, "create");
    check(sqlite3_exec(db, "begin", nullptr, nullptr, nullptr), db, "begin");
    sqlite3_stmt* insert = nullptr;
    check(sqlite3_prepare_v2(db, "insert into AJUSTE_CIERRE values (?, ?, ?, ?, ?)", -1, &insert,
                             nullptr),
          db, "prepare insert");
    for (const Row& r : rows) {
        sqlite3_bind_int(insert, 1, r.Id);
        sqlite3_bind_int(insert, 2, r.From);
        if (r.ToNull)
            sqlite3_bind_null(insert, 3);
        else
            sqlite3_bind_int(insert, 3, r.To);
        sqlite3_bind_int64(insert, 4, r.Porc);
        sqlite3_bind_int64(insert, 5, r.Factor);
        check(sqlite3_step(insert), db, "insert");
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    check(sqlite3_exec(db, "commit", nullptr, nullptr, nullptr), db, "commit");
    return db;
}

// Loads the packets into a new base with a cursor open on it, as a client
// dataset does; only the load is timed, not freeing the base.
Times loadEngine(const std::vector<std::vector<uint8_t>>& packets) {
    auto base = CreateDSBase();
    std::unique_ptr<IDSCursor> cursor;
    Times t = benchsupport::Measure([&] {
        for (int p = 0; p < kPackets; ++p) {
            base->AppendData(packets[p], p == kPackets - 1);
            if (!cursor) cursor = base->CreateCursor();
        }
    });
    if (cursor->GetRecordCount() != kRows) {
        std::fprintf(stderr, "loaded %d rows\n", cursor->GetRecordCount());
        std::exit(1);
    }
    return t;
}

Times loadSqliteTimed(const std::vector<Row>& rows) {
    sqlite3* db = nullptr;
    Times t = benchsupport::Measure([&] { db = loadSqlite(rows); });
    sqlite3_close(db);
    return t;
}

// Every packet's bytes into one block of new memory, each page touched for
// the first time as a load's own memory is.
Times copyPackets(const std::vector<std::vector<uint8_t>>& packets, size_t total) {
    std::unique_ptr<uint8_t[]> to;
    Times t = benchsupport::Measure([&] {
        to.reset(new uint8_t[total]);
        uint8_t* p = to.get();
        for (const auto& packet : packets) {
            std::memcpy(p, packet.data(), packet.size());
            p += packet.size();
        }
    });
    // Keeps the copy from being optimised away.
    if (to[total - 1] != packets.back().back()) std::exit(1);
    return t;
}

} // namespace

int main() {
    // Memory first, in a fresh heap: each packet is made, loaded and freed
    // in turn, as it would arrive from the provider.
    double bytesRatio = 0;
    {
        size_t before = benchsupport::ResidentBytes();
        auto base = CreateDSBase();
        std::unique_ptr<IDSCursor> cursor;
        for (int p = 0; p < kPackets; ++p) {
            base->AppendData(makePacket(p), p == kPackets - 1);
            if (!cursor) cursor = base->CreateCursor();
        }
        size_t after = benchsupport::ResidentBytes();
        double perRow = double(after - before) / kRows;
        std::printf("engine resident bytes per row: %.1f (payload %.0f)\n", perRow, kPayload);
        bytesRatio = perRow / kPayload;
        benchsupport::PrintRatio("engine_bytes_per_row_over_payload", bytesRatio, "at_most", 1.5);
    }

    {
        std::vector<Row> rows;
        for (int id = 1; id <= kRows; ++id)
            rows.push_back(rowOf(id));
        int64_t before = sqlite3_memory_used();
        sqlite3* db = loadSqlite(rows);
        double perRow = double(sqlite3_memory_used() - before) / kRows;
        sqlite3_close(db);
        std::printf("sqlite bytes per row held by its allocator: %.1f\n", perRow);
        benchsupport::PrintFigure("sqlite_bytes_per_row_over_payload", perRow / kPayload);
    }

    std::vector<std::vector<uint8_t>> packets;
    size_t total = 0;
    for (int p = 0; p < kPackets; ++p) {
        packets.push_back(makePacket(p));
        total += packets.back().size();
    }
    std::vector<Row> rows;
    for (int id = 1; id <= kRows; ++id)
        rows.push_back(rowOf(id));
    auto times = benchsupport::RunRounds(kRounds, {[&] { return loadEngine(packets); },
                                                   [&] { return loadSqliteTimed(rows); },
                                                   [&] { return copyPackets(packets, total); }});
    const char* names[] = {"engine", "sqlite", "copy"};
    std::printf("load of %d rows (packets %.1f MB), median of %d rounds, load %.1f:\n", kRows,
                total / 1e6, kRounds, benchsupport::LoadAverage());
    for (int s = 0; s < 3; ++s)
        std::printf("  %-7s %7.1f ms CPU  %7.1f ms wall\n", names[s],
                    benchsupport::MedianThread(times[s]) * 1e3,
                    benchsupport::MedianWall(times[s]) * 1e3);
    double engine = benchsupport::MedianThread(times[0]),
           sqlite = benchsupport::MedianThread(times[1]),
           copy = benchsupport::MedianThread(times[2]);
    double vsSqlite = benchsupport::RatioThread(times[0], times[1]),
           vsCopy = benchsupport::RatioThread(times[0], times[2]);
    benchsupport::PrintTableRow(
        {benchsupport::Text("%.1f ms", engine * 1e3), benchsupport::Text("%.1f ms", sqlite * 1e3),
         benchsupport::Text("%.1f ms", copy * 1e3), benchsupport::Text("%.3f", vsSqlite),
         benchsupport::Text("%.3f", vsCopy), benchsupport::Text("%.3f", bytesRatio)});
    benchsupport::PrintFigure("engine_load_rows_per_s_M", kRows / engine / 1e6);
    benchsupport::PrintRatio("engine_load_vs_sqlite", vsSqlite, "at_most", 0.15);
    benchsupport::PrintRatio("engine_load_vs_copy", vsCopy, "at_most", 4.0);
    return 0;
}
