#pragma once
// The order of a base's rows: row ids in blocks of at most kBlockRows. Loaded
// rows fill blocks at the end; a row inserted into a full block splits it in
// two. Blocks keep their ids for life; their positions (the order of blocks)
// change only when a block is split. Rows are never taken out: a deleted row
// stays in its place, hidden by its flags.

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

class TDSRowOrder {
public:
    static constexpr uint32_t kBlockRows = 1024;

    void Clear();

    uint32_t BlockCount() const { return static_cast<uint32_t>(FSequence.size()); }
    // The id of the block at a position, and the position of a block.
    uint32_t BlockAt(uint32_t pos) const { return FSequence[pos]; }
    uint32_t PosOf(uint32_t block) const { return FPosOf[block]; }
    const std::vector<uint32_t>& Rows(uint32_t block) const { return FBlocks[block]; }
    uint32_t BlockOf(uint32_t row) const { return FBlockOf[row]; }
    // Position of a row as (block position, offset in the block).
    std::pair<uint32_t, uint32_t> Find(uint32_t row) const;

    // Puts row (a new id) after every row; AppendRange the new ids
    // [first, end) in turn.
    void Append(uint32_t row) { AppendRange(row, row + 1); }
    void AppendRange(uint32_t first, uint32_t end);
    // Puts row (a new id) right before the row `before`. When the block was
    // full it is split first: *splitBlock and *newBlock name the two halves.
    void InsertBefore(uint32_t row, uint32_t before, uint32_t* splitBlock, uint32_t* newBlock);

    // Changes whenever rows already placed move (an insert before them);
    // positions found earlier stay valid while it does not change.
    uint64_t Version() const { return FVersion; }
    // Changes whenever blocks are added or the order of blocks changes.
    uint64_t Shape() const { return FShape; }

private:
    uint32_t allocateBlock();

    std::vector<std::vector<uint32_t>> FBlocks; // by block id
    std::vector<uint32_t> FSequence;            // block ids in order
    std::vector<uint32_t> FPosOf;               // block id -> position
    std::vector<uint32_t> FBlockOf;             // row id -> block id
    uint64_t FVersion = 0;
    uint64_t FShape = 0;
};
