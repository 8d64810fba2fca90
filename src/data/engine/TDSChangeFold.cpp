#include "data/engine/TDSChangeFold.h"

#include "data/engine/TDSRowStore.h"

#include <unordered_map>

std::vector<DSNetChange> FoldChanges(const TDSChangeLog& log, const TDSRowStore& store) {
    struct First {
        const DSLogEntry* Entry;
    };
    std::vector<First> firsts;
    std::unordered_map<uint32_t, size_t> seen;
    seen.reserve(log.Entries().size());
    for (const DSLogEntry& e : log.Entries())
        if (seen.emplace(e.Row, firsts.size()).second) firsts.push_back(First{&e});

    std::vector<DSNetChange> changes;
    changes.reserve(firsts.size());
    uint32_t deltaRow = 0;
    for (const First& f : firsts) {
        const DSLogEntry& e = *f.Entry;
        const bool deleted = store.Flags(e.Row) & dsRecDeleted;
        const uint8_t* loaded = e.Kind == DSLogKind::Modify ? log.Image(e) : nullptr;
        DSNetChange c{e.Row, dsRecModified, loaded, deltaRow};
        if (e.Kind == DSLogKind::Insert) {
            if (deleted) continue;
            c.Kind = dsRecInserted;
            c.Loaded = nullptr;
        } else if (deleted) {
            c.Kind = dsRecDeleted;
        }
        deltaRow += c.Kind == dsRecModified ? 2 : 1;
        changes.push_back(c);
    }
    return changes;
}
