#pragma once
// Folds the change log into one net change per row, listed in the order in
// which each row was first changed:
//   inserted (then perhaps changed)        -> Inserted, with its current values
//   inserted and then deleted              -> nothing
//   loaded, changed and then deleted       -> Deleted, with its values as loaded
//   loaded and deleted                     -> Deleted, with its current values
//   loaded and changed                     -> Modified, old values as loaded
// The delta, the change count and reconciling all read this list.

#include "data/engine/DSIntf.h"
#include "data/engine/TDSChangeLog.h"

#include <vector>

class TDSRowStore;

struct DSNetChange {
    uint32_t Row;
    DSRowStatus Kind;       // dsRecInserted, dsRecDeleted or dsRecModified
    const uint8_t* Loaded;  // the row as loaded (a before-image), or null when
                            // the row's current values are its loaded ones
    uint32_t FirstDeltaRow; // 0-based; a modification takes two rows
};

std::vector<DSNetChange> FoldChanges(const TDSChangeLog& log, const TDSRowStore& store);
