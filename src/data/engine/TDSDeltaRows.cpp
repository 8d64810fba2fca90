#include "data/engine/TDSDeltaRows.h"

#include "data/engine/DSTypes.h"
#include "data/engine/TDSTable.h"

TDSDeltaRows::TDSDeltaRows(const TDSTable& table, std::vector<DSNetChange> changes)
    : FChanges(std::move(changes)), FRecordSize(table.Layout().RecordSize()) {
    const TDSRecordLayout& layout = table.Layout();
    const TDSRowStore& store = table.Store();
    for (size_t i = 0; i < FChanges.size(); ++i) {
        const DSNetChange& c = FChanges[i];
        const uint8_t* current = store.Row(c.Row);
        const int change = static_cast<int>(i);
        switch (c.Kind) {
        case dsRecInserted:
            store.ToRecord(current, add(dsRecInserted, change));
            break;
        case dsRecDeleted:
            store.ToRecord(c.Loaded ? c.Loaded : current, add(dsRecDeleted, change));
            break;
        default: {
            store.ToRecord(c.Loaded, add(dsRecUnmodified, change));
            uint8_t* changed = add(dsRecModified, change);
            store.ToRecord(current, changed);
            const uint8_t* old = changed - FRecordSize;
            for (int f = 0; f < layout.FieldCount(); ++f)
                if (layout.SameField(old, changed, f)) {
                    const DSFieldDesc& d = layout.Fields()[f];
                    changed[f] = static_cast<uint8_t>(DSFieldStatus::Unassigned);
                    std::memset(changed + layout.FieldOffset(f), 0, DSValueBytes(d.Type, d.Size));
                }
            break;
        }
        }
    }
}

uint8_t* TDSDeltaRows::add(DSRowStatus status, int change) {
    FRecords.resize(FRecords.size() + FRecordSize);
    FStatus.push_back(status);
    FChangeOf.push_back(change);
    return FRecords.data() + FRecords.size() - FRecordSize;
}
