#include "data/engine/TDSChangeLog.h"

void TDSChangeLog::LogInsert(uint32_t row) {
    FEntries.push_back(DSLogEntry{DSLogKind::Insert, 0, row, 0});
    ++FVersion;
}

void TDSChangeLog::LogModify(uint32_t row, uint8_t priorFlags, const uint8_t* before) {
    FEntries.push_back(DSLogEntry{DSLogKind::Modify, priorFlags, row, FImages.size()});
    FImages.insert(FImages.end(), before, before + FStride);
    ++FVersion;
}

void TDSChangeLog::LogDelete(uint32_t row, uint8_t priorFlags) {
    FEntries.push_back(DSLogEntry{DSLogKind::Delete, priorFlags, row, 0});
    ++FVersion;
}

void TDSChangeLog::Clear() {
    FEntries.clear();
    FImages.clear();
    ++FVersion;
}
