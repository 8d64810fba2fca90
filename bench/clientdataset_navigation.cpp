// bench-libs: data
// MoveBy and RecNo of a client dataset must cost the same whatever the number
// of rows it holds: each is timed on 1k and on 1M rows in the same run, with
// a grid-sized data link attached (the window the grid keeps). Both touch
// the same number of distinct rows at both sizes (a region of 1000 rows), so
// that what is compared is the work per call and not how much of the data
// fits in the processor's caches; random jumps over all rows are printed
// besides, for information.

#include "support/BenchSupport.h"

#include "data/TClientDataSet.h"
#include "data/TDataLink.h"
#include "data/TDataSource.h"
#include "data/engine/DSIntf.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <random>

namespace {

using Clock = std::chrono::steady_clock;

std::vector<uint8_t> makePacket(int rows) {
    auto writer = CreateDSWriter();
    writer->Init({DSFieldDesc{"ID", DSType::Int32}, DSFieldDesc{"NAME", DSType::String, 20},
                  DSFieldDesc{"AMOUNT", DSType::Bcd, 15, 4}},
                 {});
    const TDSRecordLayout& layout = writer->Layout();
    std::vector<uint8_t> record(layout.RecordSize());
    for (int i = 1; i <= rows; ++i) {
        layout.InitRecord(record.data());
        layout.PutField(record.data(), 0, Variant(int32_t(i)));
        layout.PutField(record.data(), 1, Variant("row" + std::to_string(i)));
        layout.PutField(record.data(), 2, Variant(TBcd{int64_t(i) * 10000 + 5000, 4}));
        writer->AddRecord(record.data());
    }
    return writer->GetDataPacket();
}

struct Opened {
    TComponent owner;
    TClientDataSet* ds = new TClientDataSet(&owner);
    TDataSource* source = new TDataSource(&owner);
    TDataLink link;
    explicit Opened(int rows) {
        ds->SetData(makePacket(rows));
        source->SetDataSet(ds);
        link.SetBufferCount(25);
        link.SetDataSource(source);
    }
    ~Opened() { link.SetDataSource(nullptr); }
};

// Nanoseconds per MoveBy: jumps of 1 and of a grid page back and forth
// around the middle, so both the in-window and the window-moving paths run.
double moveByNs(Opened& o, int rows) {
    o.ds->SetRecNo(rows / 2);
    const int steps[] = {1, 1, 24, -24, -1, -1, 300, -300};
    const int rounds = 20000;
    auto start = Clock::now();
    long moved = 0;
    long recNos = 0;
    for (int r = 0; r < rounds; ++r)
        for (int s : steps) {
            moved += o.ds->MoveBy(s);
            recNos += o.ds->RecNo(); // as the grid's scroll bar reads it after a move
        }
    if (recNos == 0) std::printf("no rows read\n");
    auto ns = std::chrono::duration<double, std::nano>(Clock::now() - start).count();
    if (moved != 0) std::printf("unexpected drift %ld\n", moved);
    return ns / (rounds * 8.0);
}

// Nanoseconds per RecNo set and read at random rows of the middle 1000 rows
// (all rows with local false).
double recNoNs(Opened& o, int rows, bool local = true) {
    std::mt19937 random(42);
    int lo = local ? std::max(1, rows / 2 - 500) : 1;
    int hi = local ? std::min(rows, lo + 999) : rows;
    std::uniform_int_distribution<int> pick(lo, hi);
    const int rounds = 100000;
    long sum = 0;
    auto start = Clock::now();
    for (int r = 0; r < rounds; ++r) {
        o.ds->SetRecNo(pick(random));
        sum += o.ds->RecNo();
    }
    auto ns = std::chrono::duration<double, std::nano>(Clock::now() - start).count();
    if (sum == 0) std::printf("no rows read\n");
    return ns / rounds;
}

} // namespace

int main() {
    Opened small(1000);
    Opened large(1000000);
    double moveSmall = moveByNs(small, 1000), moveLarge = moveByNs(large, 1000000);
    double recSmall = recNoNs(small, 1000), recLarge = recNoNs(large, 1000000);
    double recSpread = recNoNs(large, 1000000, false);
    std::printf("clientdataset MoveBy: %.0f ns per call on 1k rows, %.0f ns on 1M rows\n",
                moveSmall, moveLarge);
    std::printf("clientdataset RecNo set+get: %.0f ns per call on 1k rows, %.0f ns on 1M rows "
                "(%.0f ns jumping anywhere in 1M rows)\n",
                recSmall, recLarge, recSpread);
    benchsupport::PrintRatio("clientdataset_moveby_1M_vs_1k", moveLarge / moveSmall, "at_most",
                             2.0);
    benchsupport::PrintRatio("clientdataset_recno_1M_vs_1k", recLarge / recSmall, "at_most", 2.0);
    return 0;
}
