#pragma once
// Prefix sums over a sequence of counts (a Fenwick tree): the rows of a view
// in the blocks before a given one, and the block that holds the k-th row,
// both in O(log n).

#include <cstddef>
#include <cstdint>
#include <vector>

class TDSCountTree {
public:
    void Build(const std::vector<uint32_t>& counts);
    void Add(uint32_t pos, int64_t delta);
    // Sum of counts[0 .. pos).
    int64_t Prefix(uint32_t pos) const;
    // The smallest pos with Prefix(pos + 1) >= k (k >= 1 and at most the total);
    // *before receives Prefix(pos).
    uint32_t Find(int64_t k, int64_t* before) const;

private:
    std::vector<int64_t> FTree; // 1-based
};
