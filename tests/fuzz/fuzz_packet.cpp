// Bytes as a packet: the reader and a base either take them or refuse them
// with "Invalid data packet"; anything else (a crash, a sanitizer report,
// another exception) is a fault. What loads is then used as a client would:
// walked, changed, turned into a delta, an error packet and reconciled.

#include "data/engine/DSIntf.h"

#include <cstdlib>
#include <cstring>

namespace {

void refusedOrFault(const EDBClient& e) {
    if (e.ErrorCode != DBERR_INVALIDPACKET || e.Message != "Invalid data packet") std::abort();
}

void readAll(const TDSPacketReader& reader) {
    for (int r = 0; r < reader.RowCount(); ++r)
        for (int f = 0; f < reader.Layout().FieldCount(); ++f)
            (void)reader.Layout().GetField(reader.Record(r), f);
}

// Only for packets that loaded: every step must succeed.
void useLoaded(IDSBase& base) {
    auto cursor = base.CreateCursor();
    std::vector<uint8_t> record(base.Layout().RecordSize());
    int rows = 0;
    while (cursor->MoveRelative(1) == DBERR_NONE) {
        if (cursor->GetCurrentRecord(record.data()) != DBERR_NONE) std::abort();
        ++rows;
    }
    if (rows != cursor->GetRecordCount()) std::abort();
    if (rows == 0) return;
    cursor->MoveToSequenceNumber(1);
    cursor->GetCurrentRecord(record.data());
    cursor->DeleteRecord();
    cursor->InsertRecord(record.data());
    cursor->ModifyRecord(record.data());
    if (base.GetChangeCount() != 2) std::abort();
    std::vector<uint8_t> deltaBytes = base.GetDelta();
    TDSPacketReader delta(deltaBytes);
    readAll(delta);
    TDSErrorPacketBuilder errors(delta);
    errors.AddError(delta.RowCount() - 1, 2, "failed", "", 1, 0);
    // The insert is refused and cancelled, the delete accepted.
    int calls = 0;
    base.Reconcile(errors.GetPacket(), [&](const DSReconcileError& e) {
        if (e.UpdateKind != dsRecInserted) std::abort();
        ++calls;
        return dsrCancel;
    });
    if (calls != 1 || base.GetChangeCount() != 0) std::abort();
    if (cursor->GetRecordCount() != rows - 1) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<uint8_t> packet(data, data + size);
    bool readable = false;
    try {
        TDSPacketReader reader(packet);
        readAll(reader);
        readable = true;
    } catch (const EDBClient& e) {
        refusedOrFault(e);
    }
    auto base = CreateDSBase();
    try {
        base->AppendData(packet, false);
        base->AppendData(packet, true);
    } catch (const EDBClient& e) {
        refusedOrFault(e);
        return 0;
    }
    // A base takes only what a reader takes.
    if (!readable) std::abort();
    useLoaded(*base);
    return 0;
}
