#include "data/engine/TDSRowOrder.h"

#include <algorithm>
#include <cassert>

void TDSRowOrder::Clear() {
    FBlocks.clear();
    FSequence.clear();
    FPosOf.clear();
    FBlockOf.clear();
    ++FVersion;
    ++FShape;
}

std::pair<uint32_t, uint32_t> TDSRowOrder::Find(uint32_t row) const {
    uint32_t block = FBlockOf[row];
    const std::vector<uint32_t>& rows = FBlocks[block];
    auto it = std::find(rows.begin(), rows.end(), row);
    assert(it != rows.end() && "a row is always in the block that claims it");
    return {FPosOf[block], static_cast<uint32_t>(it - rows.begin())};
}

uint32_t TDSRowOrder::allocateBlock() {
    auto id = static_cast<uint32_t>(FBlocks.size());
    FBlocks.emplace_back();
    FBlocks.back().reserve(kBlockRows);
    FPosOf.push_back(0);
    ++FShape;
    return id;
}

void TDSRowOrder::AppendRange(uint32_t first, uint32_t end) {
    assert(first == FBlockOf.size() && "row ids are handed out in turn");
    while (first < end) {
        if (FSequence.empty() || FBlocks[FSequence.back()].size() >= kBlockRows) {
            uint32_t id = allocateBlock();
            FPosOf[id] = static_cast<uint32_t>(FSequence.size());
            FSequence.push_back(id);
        }
        const uint32_t last = FSequence.back();
        std::vector<uint32_t>& rows = FBlocks[last];
        const uint32_t n =
            std::min<uint32_t>(kBlockRows - static_cast<uint32_t>(rows.size()), end - first);
        for (uint32_t i = 0; i < n; ++i)
            rows.push_back(first + i);
        FBlockOf.insert(FBlockOf.end(), n, last);
        first += n;
    }
}

void TDSRowOrder::InsertBefore(uint32_t row, uint32_t before, uint32_t* splitBlock,
                               uint32_t* newBlock) {
    assert(row == FBlockOf.size() && "row ids are handed out in turn");
    *splitBlock = *newBlock = UINT32_MAX;
    uint32_t block = FBlockOf[before];
    if (FBlocks[block].size() >= kBlockRows) {
        // Split in halves; the second half becomes a new block right after.
        uint32_t id = allocateBlock();
        std::vector<uint32_t>& full = FBlocks[block];
        std::vector<uint32_t>& half = FBlocks[id];
        half.assign(full.begin() + kBlockRows / 2, full.end());
        full.resize(kBlockRows / 2);
        for (uint32_t r : half)
            FBlockOf[r] = id;
        uint32_t pos = FPosOf[block] + 1;
        FSequence.insert(FSequence.begin() + pos, id);
        for (uint32_t p = pos; p < FSequence.size(); ++p)
            FPosOf[FSequence[p]] = p;
        *splitBlock = block;
        *newBlock = id;
        block = FBlockOf[before];
    }
    std::vector<uint32_t>& rows = FBlocks[block];
    rows.insert(std::find(rows.begin(), rows.end(), before), row);
    FBlockOf.push_back(block);
    ++FVersion;
}
