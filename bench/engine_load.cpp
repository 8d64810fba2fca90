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

#include "support/AjusteRows.h"
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

using ajusterows::Row;

// Packet p of the table's rows.
std::vector<uint8_t> makePacket(const std::vector<Row>& rows, int p) {
    return ajusterows::Packet(rows, static_cast<size_t>(p) * kRowsPerPacket, kRowsPerPacket);
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
    Times t = benchsupport::Measure([&] { db = ajusterows::LoadSqlite(rows); });
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
    std::vector<Row> rows;
    for (int id = 1; id <= kRows; ++id)
        rows.push_back(ajusterows::RowOf(id));

    // Memory first, in a fresh heap: each packet is made, loaded and freed
    // in turn, as it would arrive from the provider.
    double bytesRatio = 0;
    {
        size_t before = benchsupport::ResidentBytes();
        auto base = CreateDSBase();
        std::unique_ptr<IDSCursor> cursor;
        for (int p = 0; p < kPackets; ++p) {
            base->AppendData(makePacket(rows, p), p == kPackets - 1);
            if (!cursor) cursor = base->CreateCursor();
        }
        size_t after = benchsupport::ResidentBytes();
        double perRow = double(after - before) / kRows;
        std::printf("engine resident bytes per row: %.1f (payload %.0f)\n", perRow, kPayload);
        bytesRatio = perRow / kPayload;
        benchsupport::PrintRatio("engine_bytes_per_row_over_payload", bytesRatio, "at_most", 1.5);
    }

    {
        int64_t before = sqlite3_memory_used();
        sqlite3* db = ajusterows::LoadSqlite(rows);
        double perRow = double(sqlite3_memory_used() - before) / kRows;
        sqlite3_close(db);
        std::printf("sqlite bytes per row held by its allocator: %.1f\n", perRow);
        benchsupport::PrintFigure("sqlite_bytes_per_row_over_payload", perRow / kPayload);
    }

    std::vector<std::vector<uint8_t>> packets;
    size_t total = 0;
    for (int p = 0; p < kPackets; ++p) {
        packets.push_back(makePacket(rows, p));
        total += packets.back().size();
    }
    auto times = benchsupport::RunRounds(kRounds, {[&] { return loadEngine(packets); },
                                                   [&] { return loadSqliteTimed(rows); },
                                                   [&] { return copyPackets(packets, total); }});
    benchsupport::PrintSides(
        benchsupport::Text("engine_load of %d rows (packets %.1f MB)", kRows, total / 1e6),
        {"engine", "sqlite", "copy"}, times);
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
