#include "data/engine/TDSTable.h"

#include "data/engine/DSErrors.h"
#include "data/engine/TDSCursor.h"
#include "data/engine/TDSPacketParser.h"

#include <algorithm>
#include <cassert>
#include <cstring>

void TDSTable::Register(TDSCursor* cursor) {
    FCursors.push_back(cursor);
}

void TDSTable::Unregister(TDSCursor* cursor) {
    FCursors.erase(std::remove(FCursors.begin(), FCursors.end(), cursor), FCursors.end());
}

namespace {

bool sameFields(const std::vector<DSFieldDesc>& a, const std::vector<DSFieldDesc>& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i].Name != b[i].Name || a[i].Type != b[i].Type || a[i].Size != b[i].Size ||
            a[i].Scale != b[i].Scale)
            return false;
    return true;
}

} // namespace

void TDSTable::AppendPacket(const std::vector<uint8_t>& packet, bool endOfData) {
    TDSPacketParser parser(packet.data(), packet.size());
    const bool first = !FHasLayout;
    if (!first && !sameFields(parser.Fields(), FLayout.Fields())) DSRaise(DBERR_FIELDMISMATCH);
    TDSRecordLayout layout;
    if (first) {
        layout = TDSRecordLayout(parser.Fields());
        FStore.Init(layout);
    }

    const uint32_t start = FStore.Count();
    const int fieldCount = static_cast<int>(parser.Fields().size());
    std::vector<uint8_t> statuses(static_cast<size_t>(fieldCount));
    const size_t dataStart = FStore.Format().DataStart;
    try {
        for (uint32_t i = 0; i < parser.RowCount(); ++i) {
            uint32_t id = FStore.Add();
            uint8_t* row = FStore.Row(id);
            if (parser.ReadRow(statuses.data(), row + dataStart) != dsRecUnmodified)
                DSRaiseInvalidPacket();
            for (int f = 0; f < fieldCount; ++f)
                if (statuses[f] == static_cast<uint8_t>(DSFieldStatus::Unassigned))
                    DSRaiseInvalidPacket();
            row[0] = 0;
            FStore.SetNullBits(row, statuses.data());
        }
        parser.Finish();
    } catch (...) {
        FStore.Truncate(start);
        if (first) FStore = TDSRowStore();
        throw;
    }

    if (first) {
        FLayout = std::move(layout);
        FAttributes = std::move(parser.Attributes());
        FLog = TDSChangeLog(FStore.Format().Stride);
        FHasLayout = true;
    }
    const uint32_t end = FStore.Count();
    FOrder.AppendRange(start, end);
    if (endOfData) FEndOfData = true;
    for (TDSCursor* c : FCursors)
        c->OnRowsAppended(start, end);
}

void TDSTable::checkRecordLayout() const {
    if (!FHasLayout) DSRaise(DBERR_INVALIDPARAM, "The dataset has no fields");
}

uint32_t TDSTable::InsertRow(const uint8_t* record, const uint32_t* before) {
    checkRecordLayout();
    // Checked in a scratch row first, so that a refused record leaves no row.
    std::vector<uint8_t> scratch(FStore.Format().Stride);
    FStore.FromRecord(scratch.data(), record);
    scratch[0] = dsRecInserted;
    uint32_t id = FStore.Add();
    std::memcpy(FStore.Row(id), scratch.data(), scratch.size());
    uint32_t split = UINT32_MAX, added = UINT32_MAX;
    if (before)
        FOrder.InsertBefore(id, *before, &split, &added);
    else
        FOrder.Append(id);
    FLog.LogInsert(id);
    for (TDSCursor* c : FCursors) {
        if (split != UINT32_MAX) c->OnBlockSplit(split, added);
        c->OnRowInserted(id);
    }
    return id;
}

void TDSTable::ModifyRow(uint32_t row, const uint8_t* record) {
    checkRecordLayout();
    assert(row < FStore.Count());
    const size_t stride = FStore.Format().Stride;
    std::vector<uint8_t> before(FStore.Row(row), FStore.Row(row) + stride);
    std::vector<uint8_t> after(stride);
    FStore.FromRecord(after.data(), record);
    const uint8_t prior = before[0];
    // An inserted row stays an insert however often it changes.
    after[0] = static_cast<uint8_t>(prior & dsRecInserted ? prior : prior | dsRecModified);
    std::memcpy(FStore.Row(row), after.data(), stride);
    FLog.LogModify(row, prior, before.data());
    notifyChanged(row);
}

void TDSTable::DeleteRow(uint32_t row) {
    checkRecordLayout();
    assert(row < FStore.Count());
    const uint8_t prior = FStore.Flags(row);
    assert(!(prior & dsRecDeleted) && "a deleted row is in no view");
    FStore.SetFlags(row, static_cast<uint8_t>(prior | dsRecDeleted));
    FLog.LogDelete(row, prior);
    notifyChanged(row);
}

void TDSTable::UndoEntries(const std::vector<const DSLogEntry*>& newestFirst) {
    const size_t stride = FStore.Format().Stride;
    for (const DSLogEntry* e : newestFirst) {
        switch (e->Kind) {
        case DSLogKind::Insert:
            // The row keeps its place, hidden for good.
            FStore.SetFlags(e->Row, dsRecInserted | dsRecDeleted);
            break;
        case DSLogKind::Modify:
            std::memcpy(FStore.Row(e->Row), FLog.Image(*e), stride);
            break;
        case DSLogKind::Delete:
            FStore.SetFlags(e->Row, e->PriorFlags);
            break;
        }
        notifyChanged(e->Row);
    }
}

void TDSTable::AcceptRow(uint32_t row) {
    // A deleted row stays deleted, hidden for good; any other becomes loaded.
    uint8_t flags = FStore.Flags(row);
    FStore.SetFlags(row, flags & dsRecDeleted ? dsRecDeleted : dsRecUnmodified);
}

void TDSTable::notifyChanged(uint32_t row) {
    for (TDSCursor* c : FCursors)
        c->OnRowChanged(row);
}
