#pragma once
// The nodes of a compiled expression. Each answers 0 (false), 1 (true) or 2
// (unknown) for a row; the common comparisons of a field with a constant have
// nodes of their own that read the field's bytes directly.

#include "data/engine/DSTypes.h"
#include "data/engine/TDSExprEvaluator.h"
#include "data/engine/TDSExprValues.h"

#include <memory>
#include <string>

namespace dsexpr {

using Node = TDSExprEvaluator::Node;
using NodePtr = std::unique_ptr<Node>;

// v Op c as 0 or 1.
template <DSExpr::Kind Op, class V> inline int compare(V v, V c) {
    if constexpr (Op == DSExpr::Eq) return v == c;
    if constexpr (Op == DSExpr::Ne) return v != c;
    if constexpr (Op == DSExpr::Lt) return v < c;
    if constexpr (Op == DSExpr::Le) return v <= c;
    if constexpr (Op == DSExpr::Gt) return v > c;
    return v >= c;
}

// Field Op constant over many rows, load(p) reading the field's value at p.
// The field's place is copied into locals first: out is a byte pointer,
// which may alias anything, so members would be read again for every row.
template <DSExpr::Kind Op, class Load, class V>
inline void scanFieldConst(const uint8_t* const* rows, uint32_t n, uint8_t* out, const FieldRef& f,
                           Load load, V c) {
    const uint32_t nullByte = f.NullByte, offset = f.Offset;
    const uint8_t nullMask = f.NullMask;
    for (uint32_t i = 0; i < n; ++i) {
        const uint8_t* row = rows[i];
        out[i] = static_cast<uint8_t>(
            (row[nullByte] & nullMask) ? kUnknown : compare<Op>(load(row + offset), c));
    }
}

struct ConstNode : Node {
    int Value;
    explicit ConstNode(int v) : Value(v) {}
    int Eval(const uint8_t*) const override { return Value; }
};

struct AndNode : Node {
    NodePtr L, R;
    int Eval(const uint8_t* row) const override {
        int l = L->Eval(row);
        if (l == kFalse) return kFalse;
        int r = R->Eval(row);
        if (r == kFalse) return kFalse;
        return l == kTrue && r == kTrue ? kTrue : kUnknown;
    }
};

struct OrNode : Node {
    NodePtr L, R;
    int Eval(const uint8_t* row) const override {
        int l = L->Eval(row);
        if (l == kTrue) return kTrue;
        int r = R->Eval(row);
        if (r == kTrue) return kTrue;
        return l == kFalse && r == kFalse ? kFalse : kUnknown;
    }
};

struct NotNode : Node {
    NodePtr C;
    int Eval(const uint8_t* row) const override {
        int v = C->Eval(row);
        return v == kUnknown ? kUnknown : 1 - v;
    }
};

struct IsNullNode : Node {
    FieldRef F;
    explicit IsNullNode(FieldRef f) : F(f) {}
    int Eval(const uint8_t* row) const override { return F.IsNull(row) ? kTrue : kFalse; }
};

struct BoolFieldNode : Node {
    FieldRef F;
    explicit BoolFieldNode(FieldRef f) : F(f) {}
    int Eval(const uint8_t* row) const override {
        if (F.IsNull(row)) return kUnknown;
        return row[F.Offset] ? kTrue : kFalse;
    }
};

// An exact field (integer, currency, BCD) against an exact constant, both
// brought to the larger scale in 128 bits.
template <class T, DSExpr::Kind Op> struct ExactConstNode : Node {
    FieldRef F;
    __int128 FieldFactor;
    __int128 Const;
    int Test(const uint8_t* row) const {
        if (F.IsNull(row)) return kUnknown;
        __int128 v = static_cast<__int128>(DSLoad<T>(row + F.Offset)) * FieldFactor;
        return compare<Op>(v, Const);
    }
    int Eval(const uint8_t* row) const override { return Test(row); }
    void EvalRows(const uint8_t* const* rows, uint32_t n, uint8_t* out) const override {
        const __int128 factor = FieldFactor;
        scanFieldConst<Op>(
            rows, n, out, F,
            [factor](const uint8_t* p) { return static_cast<__int128>(DSLoad<T>(p)) * factor; },
            Const);
    }
};

// The same when the constant has no more decimals than the field and fits in
// 64 bits, as a filter's or a locate's constants nearly always do: the
// field's value compares as it is stored.
template <class T, DSExpr::Kind Op> struct Exact64ConstNode : Node {
    FieldRef F;
    int64_t Const;
    int Test(const uint8_t* row) const {
        if (F.IsNull(row)) return kUnknown;
        return compare<Op>(static_cast<int64_t>(DSLoad<T>(row + F.Offset)), Const);
    }
    int Eval(const uint8_t* row) const override { return Test(row); }
    void EvalRows(const uint8_t* const* rows, uint32_t n, uint8_t* out) const override {
        scanFieldConst<Op>(
            rows, n, out, F, [](const uint8_t* p) { return static_cast<int64_t>(DSLoad<T>(p)); },
            Const);
    }
};

// A date field against a constant that is a whole day.
template <DSExpr::Kind Op> struct DateConstNode : Node {
    FieldRef F;
    int64_t Day;
    int Test(const uint8_t* row) const {
        if (F.IsNull(row)) return kUnknown;
        return compare<Op>(static_cast<int64_t>(DSLoad<int32_t>(row + F.Offset)), Day);
    }
    int Eval(const uint8_t* row) const override { return Test(row); }
    void EvalRows(const uint8_t* const* rows, uint32_t n, uint8_t* out) const override {
        scanFieldConst<Op>(
            rows, n, out, F,
            [](const uint8_t* p) { return static_cast<int64_t>(DSLoad<int32_t>(p)); }, Day);
    }
};

// Either side a field or a constant; text constants are owned here.
struct Operand {
    bool IsField = false;
    FieldRef F{};
    Scalar Value;
    std::string Text;

    Scalar Read(const uint8_t* row) const {
        if (IsField) return readField(F, row);
        Scalar s = Value;
        if (s.Fam == Family::Text) s.Text = Text;
        return s;
    }
};

struct CompareNode : Node {
    Operand A, B;
    DSExpr::Kind Op;
    bool CaseInsensitive;
    int Eval(const uint8_t* row) const override {
        Scalar a = A.Read(row), b = B.Read(row);
        if (a.Null || b.Null) return kUnknown;
        return applyOp(Op, compareScalars(a, b, CaseInsensitive)) ? kTrue : kFalse;
    }
};

struct PrefixNode : Node {
    FieldRef F;
    std::string Prefix;
    bool CaseInsensitive;
    int Eval(const uint8_t* row) const override {
        Scalar s = readField(F, row);
        if (s.Null) return kUnknown;
        if (s.Text.size() < Prefix.size()) return kFalse;
        return compareText(s.Text.substr(0, Prefix.size()), Prefix, CaseInsensitive) == 0 ? kTrue
                                                                                          : kFalse;
    }
};

} // namespace dsexpr
