// bench-libs: data sqlite3
// A filter on a date field and a Locate on a number field over 1M rows of
// AJUSTE_CIERRE's shape, against SQLite's in-memory database answering the
// same question on the same data, side by side in one run.
//
// Both sides scan: the engine has no index, and neither has SQLite's table.
// SQLite keeps dates as integer days and the rates as integers of 1/10000,
// its natural exact form; its statements are prepared once, outside the
// timing, and only bound, stepped and reset inside it.
//   filter: the engine compiles "AJCI_FECINI = '...'", builds the view and
//           reads every row of it; SQLite steps "select * ... where
//           AJCI_FECINI = ?" and reads every column of every row.
//   locate: the engine locates "[AJCI_PORC]=<rate>" on the whole view, a rate
//           only the last row has; SQLite steps "select rowid ... where
//           AJCI_PORC = ? limit 1".
// Besides, a pass over memory laid out as the engine's row store, doing
// nothing but reading each row's date: the floor of the engine's scan, which
// is bound by memory rather than by instructions.
// Each figure is the median of this thread's CPU time over rounds that
// alternate the two sides (on a machine shared with other work the wall
// clock measures the machine more than the code); the goal is at most a
// tenth of SQLite's time.

#include "support/AjusteRows.h"
#include "support/BenchSupport.h"

#include "data/FilterExpr.h"
#include "data/engine/DSIntf.h"
#include "platform/SysUtils.h"

#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

using benchsupport::Times;
constexpr int kRows = 1000000;
constexpr int kRounds = 9;
const int kFilterDay = 36526 + 1234; // one period among 3000
const int64_t kLastRate = 990000;    // 99%: only the last row

using ajusterows::Row;

// The table's rows; only the last one has the rate Locate looks for.
std::vector<Row> makeRows(int count) {
    std::vector<Row> rows;
    for (int id = 1; id <= count; ++id)
        rows.push_back(ajusterows::RowOf(id));
    if (count == kRows) rows.back().Porc = kLastRate;
    return rows;
}

std::unique_ptr<IDSBase> loadEngine(const std::vector<Row>& rows) {
    auto base = CreateDSBase();
    for (size_t first = 0; first < rows.size(); first += 1000)
        base->AppendData(ajusterows::Packet(rows, first, 1000), first + 1000 >= rows.size());
    return base;
}

void fail(const char* what) {
    std::fprintf(stderr, "%s\n", what);
    std::exit(1);
}

// The filter where memory is not what bounds it: the same comparison on
// 16,000 rows, which the processor's caches hold, repeated up to a million
// rows scanned. Returns engine time over SQLite's.
double inCacheFilterRatio(const TFormatSettings& settings) {
    constexpr int kFew = 16000, kRepeats = kRows / kFew;
    const std::vector<Row> rows = makeRows(kFew);
    auto base = loadEngine(rows);
    auto cursor = base->CreateCursor();
    sqlite3* db = ajusterows::LoadSqlite(rows);
    const int day = rows[kFew / 2].From;
    const std::string text = "AJCI_FECINI = " + QuotedStr(DateToStr(TDateTime(day), settings));
    sqlite3_stmt* filter = nullptr;
    ajusterows::Check(
        sqlite3_prepare_v2(db,
                           "select AJCI_ID, AJCI_FECINI, AJCI_FECFIN, AJCI_PORC, AJCI_FACTOR "
                           "from AJUSTE_CIERRE where AJCI_FECINI = ?",
                           -1, &filter, nullptr),
        db, "prepare filter");
    std::vector<uint8_t> record(base->Layout().RecordSize());
    int engineRows = 0, sqliteRows = 0;
    auto engine = [&] {
        Times sum;
        for (int r = 0; r < kRepeats; ++r) {
            int handle = 0;
            engineRows = 0;
            Times t = benchsupport::Measure([&] {
                handle = cursor->AddFilter(
                    CompileFilterExpression(text, cursor->Layout(), {}, settings));
                while (cursor->MoveRelative(1) == DBERR_NONE) {
                    cursor->GetCurrentRecord(record.data());
                    ++engineRows;
                }
            });
            cursor->DropFilter(handle);
            sum.Thread += t.Thread;
        }
        return sum;
    };
    auto sqlite = [&] {
        return benchsupport::Measure([&] {
            for (int r = 0; r < kRepeats; ++r) {
                sqliteRows = 0;
                sqlite3_bind_int(filter, 1, day);
                while (sqlite3_step(filter) == SQLITE_ROW) {
                    for (int c = 0; c < 5; ++c)
                        sqlite3_column_int64(filter, c);
                    ++sqliteRows;
                }
                sqlite3_reset(filter);
            }
        });
    };
    auto times = benchsupport::RunRounds(kRounds, {engine, sqlite});
    if (engineRows != sqliteRows || engineRows == 0) fail("the in-cache filters differ");
    sqlite3_finalize(filter);
    sqlite3_close(db);
    return benchsupport::RatioThread(times[0], times[1]);
}

} // namespace

int main() {
    TFormatSettings settings = DefaultFormatSettings();
    const std::vector<Row> rows = makeRows(kRows);
    auto base = loadEngine(rows);
    auto cursor = base->CreateCursor();
    sqlite3* db = ajusterows::LoadSqlite(rows);
    const std::string dateText = DateToStr(TDateTime(kFilterDay), settings);
    const std::string filterText = "AJCI_FECINI = " + QuotedStr(dateText);
    const std::string locateText =
        "[AJCI_PORC]=" + BcdToStr(TBcd{kLastRate, 4}, settings.DecimalSeparator);

    sqlite3_stmt* filter = nullptr;
    ajusterows::Check(
        sqlite3_prepare_v2(db,
                           "select AJCI_ID, AJCI_FECINI, AJCI_FECFIN, AJCI_PORC, AJCI_FACTOR "
                           "from AJUSTE_CIERRE where AJCI_FECINI = ?",
                           -1, &filter, nullptr),
        db, "prepare filter");
    sqlite3_stmt* find = nullptr;
    ajusterows::Check(
        sqlite3_prepare_v2(db, "select rowid from AJUSTE_CIERRE where AJCI_PORC = ? limit 1", -1,
                           &find, nullptr),
        db, "prepare locate");

    // The filter.
    std::vector<uint8_t> record(base->Layout().RecordSize());
    int engineRows = 0, sqliteRows = 0;
    int64_t engineSum = 0, sqliteSum = 0;
    auto engineFilter = [&] {
        engineRows = 0;
        engineSum = 0;
        int handle = 0;
        Times t = benchsupport::Measure([&] {
            handle = cursor->AddFilter(
                CompileFilterExpression(filterText, cursor->Layout(), {}, settings));
            while (cursor->MoveRelative(1) == DBERR_NONE) {
                cursor->GetCurrentRecord(record.data());
                engineSum += cursor->Layout().GetField(record.data(), 0).Get<int32_t>();
                ++engineRows;
            }
        });
        cursor->DropFilter(handle); // back to every row, outside the timing
        return t;
    };
    auto sqliteFilter = [&] {
        sqliteRows = 0;
        sqliteSum = 0;
        return benchsupport::Measure([&] {
            sqlite3_bind_int(filter, 1, kFilterDay);
            while (sqlite3_step(filter) == SQLITE_ROW) {
                for (int c = 0; c < 5; ++c)
                    sqliteSum += sqlite3_column_int64(filter, c) * (c == 0);
                ++sqliteRows;
            }
            sqlite3_reset(filter);
        });
    };
    // The floor of any scan over rows laid out as the engine keeps them: one
    // pass reading the date of every row of a block of memory the size of
    // the row store, with nothing else to do. How long it takes depends on
    // the memory bandwidth the machine gives this process at the moment,
    // which is what the engine's scan is bound by.
    const TDSRecordLayout& layout = base->Layout();
    const size_t dataStart = 1 + (layout.FieldCount() + 7) / 8; // flags, null bits
    const size_t stride = dataStart + layout.RecordSize() - layout.FieldCount();
    const size_t dateAt = dataStart + layout.FieldOffset(1) - layout.FieldCount();
    std::vector<uint8_t> store(stride * kRows);
    for (int id = 1; id <= kRows; ++id) {
        int32_t day = rows[id - 1].From;
        std::memcpy(&store[(id - 1) * stride + dateAt], &day, 4);
    }
    int floorRows = 0;
    auto floor = [&] {
        return benchsupport::Measure([&] {
            int rows = 0;
            for (size_t at = dateAt; at < store.size(); at += stride) {
                int32_t day;
                std::memcpy(&day, &store[at], 4);
                rows += day == kFilterDay;
            }
            floorRows = rows;
        });
    };
    auto filterTimes = benchsupport::RunRounds(kRounds, {engineFilter, sqliteFilter, floor});
    if (floorRows != sqliteRows) fail("the floor's loop counts other rows");
    if (engineRows != sqliteRows || engineRows == 0 || engineSum != sqliteSum)
        fail("the filter's answers differ");

    // The locate.
    int32_t engineFound = 0;
    int64_t sqliteFound = 0;
    auto engineLocate = [&] {
        cursor->MoveToBOF();
        bool found = false;
        Times t = benchsupport::Measure([&] {
            found = cursor->Locate(
                *CompileFilterExpression(locateText, cursor->Layout(), {}, settings));
        });
        if (!found) fail("locate found nothing");
        engineFound = cursor->GetSequenceNumber();
        return t;
    };
    auto sqliteLocate = [&] {
        bool found = false;
        Times t = benchsupport::Measure([&] {
            sqlite3_bind_int64(find, 1, kLastRate);
            found = sqlite3_step(find) == SQLITE_ROW;
            if (found) sqliteFound = sqlite3_column_int64(find, 0);
            sqlite3_reset(find);
        });
        if (!found) fail("sqlite found nothing");
        return t;
    };
    auto locateTimes = benchsupport::RunRounds(kRounds, {engineLocate, sqliteLocate});
    if (engineFound != sqliteFound) fail("the locate's answers differ");

    double ef = benchsupport::MedianThread(filterTimes[0]),
           sf = benchsupport::MedianThread(filterTimes[1]),
           el = benchsupport::MedianThread(locateTimes[0]),
           sl = benchsupport::MedianThread(locateTimes[1]);
    std::printf("median of %d rounds, load %.1f:\n", kRounds, benchsupport::LoadAverage());
    std::printf("filter on a date, %d of %d rows: engine %.2f ms, sqlite %.2f ms CPU "
                "(wall %.2f, %.2f)\n",
                engineRows, kRows, ef * 1000, sf * 1000,
                benchsupport::MedianWall(filterTimes[0]) * 1000,
                benchsupport::MedianWall(filterTimes[1]) * 1000);
    std::printf("locate on a number, row %d: engine %.2f ms, sqlite %.2f ms CPU "
                "(wall %.2f, %.2f)\n",
                engineFound, el * 1000, sl * 1000, benchsupport::MedianWall(locateTimes[0]) * 1000,
                benchsupport::MedianWall(locateTimes[1]) * 1000);
    double ff = benchsupport::MedianThread(filterTimes[2]);
    const double filterRatio = benchsupport::RatioThread(filterTimes[0], filterTimes[1]),
                 locateRatio = benchsupport::RatioThread(locateTimes[0], locateTimes[1]),
                 vsFloor = benchsupport::RatioThread(filterTimes[0], filterTimes[2]),
                 floorVsSqlite = benchsupport::RatioThread(filterTimes[2], filterTimes[1]);
    std::printf("one pass over a row store's worth of memory (%zu bytes a row): %.2f ms CPU\n",
                stride, ff * 1000);
    const double inCache = inCacheFilterRatio(settings);
    benchsupport::PrintTableRow(
        {benchsupport::Text("%.2f / %.2f ms", ef * 1e3, sf * 1e3),
         benchsupport::Text("%.3f", filterRatio),
         benchsupport::Text("%.2f / %.2f ms", el * 1e3, sl * 1e3),
         benchsupport::Text("%.3f", locateRatio), benchsupport::Text("%.2f ms", ff * 1e3),
         benchsupport::Text("%.3f", vsFloor), benchsupport::Text("%.3f", floorVsSqlite),
         benchsupport::Text("%.3f", inCache)});
    benchsupport::PrintFigure("engine_filter_date_vs_memory_floor", vsFloor);
    benchsupport::PrintFigure("engine_filter_date_vs_sqlite_in_cache", inCache);
    benchsupport::PrintFigure("memory_floor_vs_sqlite", floorVsSqlite);
    benchsupport::PrintRatio("engine_filter_date_vs_sqlite", filterRatio, "at_most", 0.10);
    benchsupport::PrintRatio("engine_locate_number_vs_sqlite", locateRatio, "at_most", 0.10);
    sqlite3_finalize(filter);
    sqlite3_finalize(find);
    sqlite3_close(db);
    return 0;
}
