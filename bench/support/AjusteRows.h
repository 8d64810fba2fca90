#pragma once
// The rows of AJUSTE_CIERRE's shape that the in-memory benchmarks load into
// the engine and into SQLite's in-memory database: periods of a month over
// eight years, the rates 0 to 21 in turn, one end date in seven null. SQLite
// keeps dates as integer days and the rates as integers of 1/10000, its
// natural exact form. Header only, as only the benchmarks that link SQLite
// include it.

#include "data/engine/DSIntf.h"

#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace ajusterows {

struct Row {
    int32_t Id, From, To;
    bool ToNull;
    int64_t Porc, Factor;
};

inline Row RowOf(int id) {
    return Row{id,          36526 + (id / 22) % 3000, 36556 + (id / 22) % 3000,
               id % 7 == 0, (id % 22) * 10000,        8000};
}

inline std::vector<DSFieldDesc> Fields() {
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

// An engine data packet of rows[first, first + count).
inline std::vector<uint8_t> Packet(const std::vector<Row>& rows, size_t first, size_t count) {
    auto writer = CreateDSWriter();
    writer->Init(Fields(), {{"TABLE_NAME", Variant("AJUSTE_CIERRE")}});
    const TDSRecordLayout& layout = writer->Layout();
    std::vector<uint8_t> record(layout.RecordSize());
    for (size_t i = first; i < first + count; ++i) {
        const Row& r = rows[i];
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

inline void Check(int rc, sqlite3* db, const char* what) {
    if (rc == SQLITE_OK || rc == SQLITE_DONE || rc == SQLITE_ROW) return;
    std::fprintf(stderr, "sqlite %s: %s\n", what, sqlite3_errmsg(db));
    std::exit(1);
}

// The rows into a new in-memory database, with one prepared insert in one
// transaction; the caller closes it.
inline sqlite3* LoadSqlite(const std::vector<Row>& rows) {
    sqlite3* db = nullptr;
    Check(sqlite3_open(":memory:", &db), db, "open");
    Check(sqlite3_exec(db,
                       "create table AJUSTE_CIERRE (AJCI_ID integer, AJCI_FECINI integer, "
                       "AJCI_FECFIN integer, AJCI_PORC integer, AJCI_FACTOR integer)",
                       nullptr, nullptr, nullptr),
          db, "create");
    Check(sqlite3_exec(db, "begin", nullptr, nullptr, nullptr), db, "begin");
    sqlite3_stmt* insert = nullptr;
    Check(sqlite3_prepare_v2(db, "insert into AJUSTE_CIERRE values (?, ?, ?, ?, ?)", -1, &insert,
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
        Check(sqlite3_step(insert), db, "insert");
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    Check(sqlite3_exec(db, "commit", nullptr, nullptr, nullptr), db, "commit");
    return db;
}

} // namespace ajusterows
