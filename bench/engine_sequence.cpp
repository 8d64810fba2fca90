// bench-libs: dsengine
// Record numbers on a large view: MoveToSequenceNumber, GetSequenceNumber and
// GetRecordCount at random places, after inserts that split the order's
// blocks, on 1M rows against the same on 1K rows. Operations that grow with
// the rows (O(n)) would be about 1000 times slower on the large view; the
// goal allows the growth of O(log n) with room: at most 4 times.

#include "support/BenchSupport.h"

#include "data/engine/DSIntf.h"

#include <cstdio>
#include <ctime>
#include <random>

namespace {

double cpuSeconds() {
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

// CPU nanoseconds per random move-and-number on a view of rows rows.
double nanosPerCall(int rows) {
    DSFieldDesc id;
    id.Name = "ID";
    id.Type = DSType::Int32;
    auto base = CreateDSBase();
    for (int first = 0; first < rows; first += 1000) {
        auto writer = CreateDSWriter();
        writer->Init({id}, {});
        std::vector<uint8_t> record(writer->Layout().RecordSize());
        for (int i = first; i < first + 1000 && i < rows; ++i) {
            writer->Layout().InitRecord(record.data());
            writer->Layout().PutField(record.data(), 0, Variant(int32_t(i)));
            writer->AddRecord(record.data());
        }
        base->AppendData(writer->GetDataPacket(), first + 1000 >= rows);
    }
    auto cursor = base->CreateCursor();
    std::mt19937 random(7);
    std::vector<uint8_t> record(cursor->Layout().RecordSize());
    cursor->Layout().InitRecord(record.data());
    cursor->Layout().PutField(record.data(), 0, Variant(int32_t(-1)));
    for (int i = 0; i < rows / 100; ++i) {
        cursor->MoveToSequenceNumber(1 + static_cast<int>(random() % rows));
        cursor->InsertRecord(record.data());
    }
    const int count = cursor->GetRecordCount();
    const int calls = 200000;
    long long check = 0;
    double start = cpuSeconds();
    for (int i = 0; i < calls; ++i) {
        cursor->MoveToSequenceNumber(1 + static_cast<int>(random() % count));
        check += cursor->GetSequenceNumber() + cursor->GetRecordCount();
    }
    double seconds = cpuSeconds() - start;
    if (check <= 0) std::printf("unexpected\n");
    return seconds / calls * 1e9;
}

} // namespace

int main() {
    double small = nanosPerCall(1000);
    double large = nanosPerCall(1000000);
    std::printf("record number and move: %.0f ns on 1K rows, %.0f ns on 1M rows\n", small, large);
    benchsupport::PrintRatio("engine_recno_1M_vs_1K_rows", large / small, "at_most", 4.0);
    return 0;
}
