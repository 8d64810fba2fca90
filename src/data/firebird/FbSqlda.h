#pragma once
// An XSQLDA with room for a number of variables and, for output, a buffer of
// the described size for every column and its null indicator.

#include <ibase.h>

#include <cstdint>
#include <vector>

namespace fb {

class FbSqlda {
public:
    FbSqlda() { reserve(8); }
    FbSqlda(const FbSqlda&) = delete;
    FbSqlda& operator=(const FbSqlda&) = delete;

    XSQLDA* get() { return FDa; }
    // Described variables; more than room() when the statement needs a
    // larger area (reserve it and describe again).
    int count() const { return FDa->sqld; }
    int room() const { return FDa->sqln; }
    void reserve(int variables);
    XSQLVAR& var(int i) { return FDa->sqlvar[i]; }
    const XSQLVAR& var(int i) const { return FDa->sqlvar[i]; }

    // Points every described variable at a buffer of its size and type and at
    // a null indicator; the buffers live as long as this object or the next
    // call.
    void allocateBuffers();

private:
    std::vector<uint64_t> FArea; // 8-byte units keep XSQLDA and data aligned
    XSQLDA* FDa = nullptr;
    std::vector<uint64_t> FData;
    std::vector<short> FIndicators;
};

} // namespace fb
