#pragma once
// The values an expression compares, read from rows or taken from constants,
// and how two of them compare; shared by the evaluator's nodes
// (TDSExprNodes.h) and the code that builds them (TDSExprEvaluator.cpp).

#include "data/engine/DSIntf.h"
#include "data/engine/DSTypes.h"
#include "data/engine/TDSRowStore.h"

#include <string_view>

namespace dsexpr {

constexpr int kFalse = 0, kTrue = 1, kUnknown = 2;
constexpr int64_t kMsPerDay = kDSMsPerDay;

[[noreturn]] void typeMismatch();
[[noreturn]] void badTree();

// Moments are milliseconds on one time line.
using Family = DSFamily;

struct Scalar {
    bool Null = true;
    Family Fam = Family::Exact;
    __int128 Exact = 0; // Exact: the value times 10^Scale; Moment: milliseconds
    int Scale = 0;
    double Float = 0;
    std::string_view Text;
    bool Bool = false;
};

inline bool comparable(Family a, Family b) {
    return a == b || (DSNumericFamily(a) && DSNumericFamily(b));
}
inline bool isComparison(DSExpr::Kind k) {
    return k >= DSExpr::Eq && k <= DSExpr::Ge;
}

// A field of the row format: where its bytes and its null bit are.
struct FieldRef {
    int Index;
    DSType Type;
    int Scale;
    uint32_t Offset;
    uint32_t NullByte;
    uint8_t NullMask;

    bool IsNull(const uint8_t* row) const { return row[NullByte] & NullMask; }
};

int64_t momentOf(double v);
FieldRef fieldRef(const DSExpr& e, const TDSRecordLayout& layout, const TDSRowFormat& format);
Scalar readField(const FieldRef& f, const uint8_t* row);
// A constant as a scalar; its text points into the variant.
Scalar constScalar(const Variant& v);
double toDouble(const Scalar& s);
int compareText(std::string_view a, std::string_view b, bool caseInsensitive);
// a and b of comparable families, neither null: -1, 0 or 1.
int compareScalars(const Scalar& a, const Scalar& b, bool caseInsensitive);
bool applyOp(DSExpr::Kind op, int c);
// The operator with its sides swapped: a < b is b > a.
DSExpr::Kind mirror(DSExpr::Kind op);

} // namespace dsexpr
