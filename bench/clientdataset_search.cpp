// bench-libs: data
// Locate and a filter over 1M rows held in a client dataset: time per row
// examined. The peer is a plain loop over the same rows reading the key
// through the engine's cursor, which is what any search must at least do.

#include "support/BenchSupport.h"

#include "data/TClientDataSet.h"
#include "data/engine/DSIntf.h"
#include "platform/DateUtils.h"
#include "platform/SysUtils.h"

#include <chrono>
#include <cstdio>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRows = 1000000;

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
        layout.PutField(record.data(), 1, Variant(TDateTime(42000 + i % 365)));
        layout.PutField(record.data(), 2, Variant(TBcd{int64_t(i % 2000) * 100, 4}));
        writer->AddRecord(record.data());
    }
    return writer->GetDataPacket();
}

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

} // namespace

int main() {
    FormatSettings = DefaultFormatSettings();
    std::vector<uint8_t> packet = makePacket();
    TComponent owner;
    auto* ds = new TClientDataSet(&owner);
    ds->SetData(packet);

    // Peer: read every row's key through a cursor of the same data.
    auto base = CreateDSBase();
    base->AppendData(packet, true);
    auto cursor = base->CreateCursor();
    std::vector<uint8_t> record(base->Layout().RecordSize());
    auto start = Clock::now();
    long sum = 0;
    cursor->MoveToBOF();
    while (cursor->MoveRelative(1) == DBERR_NONE) {
        cursor->GetCurrentRecord(record.data());
        sum += base->Layout().GetField(record.data(), 0).Get<int32_t>();
    }
    double scanMs = msSince(start);

    start = Clock::now();
    bool found = ds->Locate("AJCI_ID", Variant(int32_t(kRows)));
    double locateMs = msSince(start);

    start = Clock::now();
    bool missing = ds->Locate("AJCI_PORC", Variant(Currency{-1}));
    double locateMissMs = msSince(start);

    ds->SetFilter("AJCI_FECINI = " + QuotedStr(DateToStr(TDateTime(42100))));
    start = Clock::now();
    ds->SetFiltered(true);
    double filterMs = msSince(start);
    int shown = ds->RecordCount();

    std::printf("rows %d, plain cursor scan %.1f ms (%.1f ns/row, checksum %ld)\n", kRows, scanMs,
                scanMs * 1e6 / kRows, sum);
    std::printf("Locate last row by AJCI_ID: %.1f ms, %.1f ns/row (found %d)\n", locateMs,
                locateMs * 1e6 / kRows, found);
    std::printf("Locate with no match on AJCI_PORC: %.1f ms, %.1f ns/row (found %d)\n",
                locateMissMs, locateMissMs * 1e6 / kRows, missing);
    std::printf("Filter on AJCI_FECINI: %.1f ms, %.1f ns/row (%d rows shown)\n", filterMs,
                filterMs * 1e6 / kRows, shown);
    benchsupport::PrintRatio("clientdataset_locate_vs_scan", locateMs / scanMs, "at_most", 3.0);
    benchsupport::PrintRatio("clientdataset_filter_vs_scan", filterMs / scanMs, "at_most", 3.0);
    return 0;
}
