#include "data/engine/TDSChangeLog.h"

#include <cassert>

void TDSChangeLog::append(const DSLogEntry& e, const uint8_t* image) {
    DSLogEntry entry = e;
    if (e.Kind == DSLogKind::Modify) {
        assert(image && "a modification keeps the row as it was");
        entry.Image = FImages.size();
        FImages.insert(FImages.end(), image, image + FStride);
    }
    auto [first, isNew] = FFirstKind.emplace(e.Row, e.Kind);
    if (isNew) ++FNetChanges;
    // A deleted row is in no view, so nothing follows its delete but undo,
    // which rebuilds the log: an insert then a delete is the row's end.
    else if (e.Kind == DSLogKind::Delete && first->second == DSLogKind::Insert)
        --FNetChanges;
    FEntries.push_back(entry);
}

void TDSChangeLog::LogInsert(uint32_t row) {
    append(DSLogEntry{DSLogKind::Insert, 0, row, 0}, nullptr);
}

void TDSChangeLog::LogModify(uint32_t row, uint8_t priorFlags, const uint8_t* before) {
    append(DSLogEntry{DSLogKind::Modify, priorFlags, row, 0}, before);
}

void TDSChangeLog::LogDelete(uint32_t row, uint8_t priorFlags) {
    append(DSLogEntry{DSLogKind::Delete, priorFlags, row, 0}, nullptr);
}

void TDSChangeLog::Clear() {
    FEntries.clear();
    FImages.clear();
    FFirstKind.clear();
    FNetChanges = 0;
}
