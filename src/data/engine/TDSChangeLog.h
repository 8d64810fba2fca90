#pragma once
// The change log of a base: an append-only list of tagged entries in the
// order the changes were made. A modification keeps the row as it was before
// (its before-image, in the store's row format); an insert or a delete keeps
// only the row's flags before it. Delta, accept, reconcile and cancel are
// passes over the entries (TDSChangeFold, TDSTable).

#include <cstddef>
#include <cstdint>
#include <unordered_map>
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
    // Rows with a net change, kept as entries arrive: a row counts from its
    // first entry on, except a row inserted and then deleted.
    int NetChanges() const { return FNetChanges; }

    void Clear();
    // Keeps only the entries of rows for which keep(row) is true, in order.
    template <class Keep> void Retain(Keep keep);

private:
    void append(const DSLogEntry& e, const uint8_t* image);

    size_t FStride;
    std::vector<DSLogEntry> FEntries;
    std::vector<uint8_t> FImages;
    std::unordered_map<uint32_t, DSLogKind> FFirstKind; // of each row's first entry
    int FNetChanges = 0;
};

template <class Keep> void TDSChangeLog::Retain(Keep keep) {
    std::vector<DSLogEntry> entries = std::move(FEntries);
    std::vector<uint8_t> images = std::move(FImages);
    Clear();
    for (const DSLogEntry& e : entries)
        if (keep(e.Row)) append(e, e.Kind == DSLogKind::Modify ? images.data() + e.Image : nullptr);
}
