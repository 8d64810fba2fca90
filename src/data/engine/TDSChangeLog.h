#pragma once
// The change log of a base: an append-only list of tagged entries in the
// order the changes were made. A modification keeps the row as it was before
// (its before-image, in the store's row format); an insert or a delete keeps
// only the row's flags before it. Delta, accept, reconcile and cancel are
// passes over the entries (TDSChangeFold, TDSTable).

#include <cstddef>
#include <cstdint>
#include <vector>

enum class DSLogKind : uint8_t { Insert, Modify, Delete };

struct DSLogEntry {
    DSLogKind Kind;
    uint8_t PriorFlags; // the row's flags before this change
    uint32_t Row;
    uint64_t Image; // Modify: offset of the before-image
};

class TDSChangeLog {
public:
    explicit TDSChangeLog(size_t rowStride = 0) : FStride(rowStride) {}

    void LogInsert(uint32_t row);
    void LogModify(uint32_t row, uint8_t priorFlags, const uint8_t* before);
    void LogDelete(uint32_t row, uint8_t priorFlags);

    const std::vector<DSLogEntry>& Entries() const { return FEntries; }
    const uint8_t* Image(const DSLogEntry& e) const { return FImages.data() + e.Image; }
    bool Empty() const { return FEntries.empty(); }
    // Grows with every entry and never repeats, so that results computed from
    // the log can be kept until it changes.
    uint64_t Version() const { return FVersion; }

    void Clear();
    // Keeps only the entries of rows for which keep(row) is true, in order.
    template <class Keep> void Retain(Keep keep);

private:
    size_t FStride;
    std::vector<DSLogEntry> FEntries;
    std::vector<uint8_t> FImages;
    uint64_t FVersion = 0;
};

template <class Keep> void TDSChangeLog::Retain(Keep keep) {
    std::vector<DSLogEntry> entries;
    std::vector<uint8_t> images;
    for (const DSLogEntry& e : FEntries) {
        if (!keep(e.Row)) continue;
        DSLogEntry copy = e;
        if (e.Kind == DSLogKind::Modify) {
            copy.Image = images.size();
            images.insert(images.end(), Image(e), Image(e) + FStride);
        }
        entries.push_back(copy);
    }
    FEntries = std::move(entries);
    FImages = std::move(images);
    ++FVersion;
}
