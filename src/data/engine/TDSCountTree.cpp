#include "data/engine/TDSCountTree.h"

#include <cassert>

void TDSCountTree::Build(const std::vector<uint32_t>& counts) {
    const size_t n = counts.size();
    FTree.assign(n + 1, 0);
    for (size_t i = 1; i <= n; ++i) {
        FTree[i] += counts[i - 1];
        size_t parent = i + (i & (~i + 1));
        if (parent <= n) FTree[parent] += FTree[i];
    }
}

void TDSCountTree::Add(uint32_t pos, int64_t delta) {
    for (size_t i = pos + 1; i < FTree.size(); i += i & (~i + 1))
        FTree[i] += delta;
}

int64_t TDSCountTree::Prefix(uint32_t pos) const {
    assert(pos < FTree.size());
    int64_t sum = 0;
    for (size_t i = pos; i > 0; i -= i & (~i + 1))
        sum += FTree[i];
    return sum;
}

uint32_t TDSCountTree::Find(int64_t k, int64_t* before) const {
    size_t pos = 0;
    size_t step = 1;
    while (step * 2 < FTree.size())
        step *= 2;
    int64_t sum = 0;
    for (; step > 0; step /= 2) {
        size_t next = pos + step;
        if (next < FTree.size() && sum + FTree[next] < k) {
            pos = next;
            sum += FTree[next];
        }
    }
    *before = sum;
    return static_cast<uint32_t>(pos);
}
