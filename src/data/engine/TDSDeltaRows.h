#pragma once
// The rows of a delta as records of the base's layout, made from the folded
// change log: an insert or a delete is one row, a modification two (the row
// as loaded, then the changed row in which unchanged fields are unassigned).

#include "data/engine/TDSChangeFold.h"

#include <vector>

class TDSTable;

class TDSDeltaRows {
public:
    TDSDeltaRows(const TDSTable& table, std::vector<DSNetChange> changes);

    int Count() const { return static_cast<int>(FStatus.size()); }
    DSRowStatus Status(int row) const { return FStatus[row]; }
    const uint8_t* Record(int row) const { return FRecords.data() + row * FRecordSize; }
    const std::vector<DSNetChange>& Changes() const { return FChanges; }
    // The index in Changes() of the change a delta row belongs to.
    int ChangeOf(int row) const { return FChangeOf[row]; }

private:
    uint8_t* add(DSRowStatus status, int change);

    std::vector<DSNetChange> FChanges;
    size_t FRecordSize;
    std::vector<uint8_t> FRecords;
    std::vector<DSRowStatus> FStatus;
    std::vector<int> FChangeOf;
};
