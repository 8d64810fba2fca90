#include "data/engine/TDSRowStore.h"

#include "data/engine/DSErrors.h"
#include "data/engine/DSTypes.h"

#include "platform/SysUtils.h"

#include <cassert>

TDSRowFormat::TDSRowFormat(const TDSRecordLayout& layout) {
    FieldCount = layout.FieldCount();
    NullBytes = (static_cast<size_t>(FieldCount) + 7) / 8;
    DataStart = 1 + NullBytes;
    DataSize = layout.RecordSize() - static_cast<size_t>(FieldCount);
    Stride = DataStart + DataSize;
    for (int i = 0; i < FieldCount; ++i)
        Offset.push_back(static_cast<uint32_t>(DataStart + layout.FieldOffset(i) - FieldCount));
}

void TDSRowStore::Init(const TDSRecordLayout& layout) {
    FLayout = layout;
    FFormat = TDSRowFormat(layout);
    FChunks.clear();
    FCount = 0;
    FFirstCapacity = 0;
}

uint32_t TDSRowStore::Add() {
    if (FCount == UINT32_MAX - 1) DSRaise(DBERR_INVALIDPARAM, "Too many rows");
    if (FCount < kChunkRows) {
        // The first chunk grows, so that a small dataset with wide rows does
        // not take a whole chunk. Nobody keeps a row's address across Add.
        if (FCount == FFirstCapacity) {
            uint32_t capacity = FFirstCapacity == 0 ? 16 : FFirstCapacity * 4;
            if (capacity > kChunkRows) capacity = kChunkRows;
            std::unique_ptr<uint8_t[]> chunk(new uint8_t[capacity * FFormat.Stride]);
            if (FCount) std::memcpy(chunk.get(), FChunks[0].get(), FCount * FFormat.Stride);
            if (FChunks.empty())
                FChunks.push_back(std::move(chunk));
            else
                FChunks[0] = std::move(chunk);
            FFirstCapacity = capacity;
        }
    } else if ((FCount >> kChunkShift) == FChunks.size()) {
        FChunks.emplace_back(new uint8_t[static_cast<size_t>(kChunkRows) * FFormat.Stride]);
    }
    return FCount++;
}

void TDSRowStore::Truncate(uint32_t count) {
    assert(count <= FCount);
    FCount = count;
    // The first chunk stays: its capacity is what FFirstCapacity says.
    size_t chunks = (static_cast<size_t>(count) + kChunkRows - 1) >> kChunkShift;
    if (chunks == 0 && !FChunks.empty()) chunks = 1;
    FChunks.resize(chunks);
}

void TDSRowStore::ToRecord(const uint8_t* row, uint8_t* record) const {
    const int n = FFormat.FieldCount;
    for (int i = 0; i < n; ++i)
        record[i] = static_cast<uint8_t>(FFormat.IsNull(row, i) ? DSFieldStatus::Null
                                                                : DSFieldStatus::Value);
    std::memcpy(record + n, row + FFormat.DataStart, FFormat.DataSize);
}

void TDSRowStore::SetNullBits(uint8_t* row, const uint8_t* statuses) const {
    uint8_t* bits = row + 1;
    std::memset(bits, 0, FFormat.NullBytes);
    for (int i = 0; i < FFormat.FieldCount; ++i)
        if (statuses[i] != static_cast<uint8_t>(DSFieldStatus::Value))
            bits[i / 8] |= static_cast<uint8_t>(1u << (i % 8));
}

void TDSRowStore::FromRecord(uint8_t* row, const uint8_t* record) const {
    const int n = FFormat.FieldCount;
    for (int i = 0; i < n; ++i) {
        if (record[i] > static_cast<uint8_t>(DSFieldStatus::Unassigned))
            DSRaise(DBERR_INVALIDPARAM, "Invalid field status in record");
        if (record[i] != static_cast<uint8_t>(DSFieldStatus::Value)) continue;
        const DSFieldDesc& f = FLayout.Fields()[i];
        const uint8_t* value = record + FLayout.FieldOffset(i);
        bool valid = f.Type == DSType::String ? DSLoad<uint16_t>(value) <= f.Size
                                              : DSValidFixedValue(f, value);
        if (!valid) DSRaise(DBERR_INVALIDPARAM, ::Format("Invalid value for field '%s'", {f.Name}));
    }
    SetNullBits(row, record);
    uint8_t* data = row + FFormat.DataStart;
    std::memcpy(data, record + n, FFormat.DataSize);
    // A null keeps no bytes, so that equal rows are equal byte for byte.
    for (int i = 0; i < n; ++i)
        if (record[i] != static_cast<uint8_t>(DSFieldStatus::Value)) {
            const DSFieldDesc& f = FLayout.Fields()[i];
            std::memset(row + FFormat.Offset[i], 0, DSValueBytes(f.Type, f.Size));
        }
}
