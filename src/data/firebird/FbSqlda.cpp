#include "data/firebird/FbSqlda.h"

#include <algorithm>

namespace fb {

void FbSqlda::reserve(int variables) {
    variables = std::max(variables, 1);
    size_t bytes = XSQLDA_LENGTH(variables);
    FArea.assign((bytes + 7) / 8, 0);
    FDa = reinterpret_cast<XSQLDA*>(FArea.data());
    FDa->version = SQLDA_VERSION1;
    FDa->sqln = static_cast<ISC_SHORT>(variables);
    FData.clear();
    FIndicators.clear();
}

void FbSqlda::allocateBuffers() {
    int n = std::min(count(), room());
    std::vector<size_t> offsets(n);
    size_t units = 0;
    for (int i = 0; i < n; ++i) {
        const XSQLVAR& v = var(i);
        size_t bytes = static_cast<size_t>(v.sqllen);
        if ((v.sqltype & ~1) == SQL_VARYING) bytes += sizeof(ISC_USHORT);
        if ((v.sqltype & ~1) == SQL_BLOB || (v.sqltype & ~1) == SQL_ARRAY) bytes = sizeof(ISC_QUAD);
        offsets[i] = units;
        units += (std::max<size_t>(bytes, 1) + 7) / 8;
    }
    FData.assign(units, 0);
    FIndicators.assign(n, 0);
    for (int i = 0; i < n; ++i) {
        var(i).sqldata = reinterpret_cast<ISC_SCHAR*>(FData.data() + offsets[i]);
        var(i).sqlind = &FIndicators[i];
    }
}

} // namespace fb
