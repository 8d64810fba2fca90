#pragma once
// The rows of a base, packed tighter than the records callers see: a row
// keeps one flags byte (its DSRowStatus bits), one null bit per field and
// the record's data area unchanged, so that a value's bytes sit at a fixed
// offset. Rows live in chunks that never move; a row's id is its place in
// load-or-insert order and never changes.

#include "data/engine/DSIntf.h"

#include <cstdint>
#include <memory>
#include <vector>

struct TDSRowFormat {
    TDSRowFormat() = default;
    explicit TDSRowFormat(const TDSRecordLayout& layout);

    int FieldCount = 0;
    size_t NullBytes = 0;
    size_t DataStart = 0; // the flags byte, then the null bits
    size_t DataSize = 0;  // the record's data area
    size_t Stride = 0;
    std::vector<uint32_t> Offset; // of each field's bytes within a row

    bool IsNull(const uint8_t* row, int field) const {
        return (row[1 + field / 8] >> (field % 8)) & 1;
    }
};

class TDSRowStore {
public:
    static constexpr uint32_t kChunkShift = 12;
    static constexpr uint32_t kChunkRows = 1u << kChunkShift;

    void Init(const TDSRecordLayout& layout);
    const TDSRowFormat& Format() const { return FFormat; }
    uint32_t Count() const { return FCount; }

    uint8_t* Row(uint32_t id) {
        return FChunks[id >> kChunkShift].get() + (id & (kChunkRows - 1)) * FFormat.Stride;
    }
    const uint8_t* Row(uint32_t id) const {
        return FChunks[id >> kChunkShift].get() + (id & (kChunkRows - 1)) * FFormat.Stride;
    }
    // Finds rows for a loop over many of them, with the chunks and the stride
    // at hand instead of read from the store for every row; valid until the
    // next Add or Truncate.
    struct Locator {
        const std::unique_ptr<uint8_t[]>* Chunks;
        size_t Stride;
        const uint8_t* Row(uint32_t id) const {
            return Chunks[id >> kChunkShift].get() + (id & (kChunkRows - 1)) * Stride;
        }
    };
    Locator Rows() const { return {FChunks.data(), FFormat.Stride}; }

    uint8_t Flags(uint32_t id) const { return Row(id)[0]; }
    void SetFlags(uint32_t id, uint8_t flags) { Row(id)[0] = flags; }

    // A new row with undefined contents; the caller fills every byte.
    uint32_t Add();
    // Drops the rows from id count on (a packet that failed half-way).
    void Truncate(uint32_t count);

    // Between a row and a caller's record. FromRecord takes a null or an
    // unassigned field as null and keeps the row's flags; it refuses values a
    // record of the layout cannot hold with DBERR_INVALIDPARAM.
    void ToRecord(const uint8_t* row, uint8_t* record) const;
    void FromRecord(uint8_t* row, const uint8_t* record) const;
    // The null bits of a row from a record's status bytes.
    void SetNullBits(uint8_t* row, const uint8_t* statuses) const;

private:
    TDSRecordLayout FLayout;
    TDSRowFormat FFormat;
    std::vector<std::unique_ptr<uint8_t[]>> FChunks;
    uint32_t FCount = 0;
    uint32_t FFirstCapacity = 0; // rows the first chunk has room for
};
