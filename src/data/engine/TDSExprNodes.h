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
    int Eval(const uint8_t* row) const override {
        if (F.IsNull(row)) return kUnknown;
        __int128 v = static_cast<__int128>(DSLoad<T>(row + F.Offset)) * FieldFactor;
        if constexpr (Op == DSExpr::Eq) return v == Const;
        if constexpr (Op == DSExpr::Ne) return v != Const;
        if constexpr (Op == DSExpr::Lt) return v < Const;
        if constexpr (Op == DSExpr::Le) return v <= Const;
        if constexpr (Op == DSExpr::Gt) return v > Const;
        return v >= Const;
    }
};

// A date field against a constant that is a whole day.
template <DSExpr::Kind Op> struct DateConstNode : Node {
    FieldRef F;
    int64_t Day;
    int Eval(const uint8_t* row) const override {
        if (F.IsNull(row)) return kUnknown;
        int64_t v = DSLoad<int32_t>(row + F.Offset);
        if constexpr (Op == DSExpr::Eq) return v == Day;
        if constexpr (Op == DSExpr::Ne) return v != Day;
        if constexpr (Op == DSExpr::Lt) return v < Day;
        if constexpr (Op == DSExpr::Le) return v <= Day;
        if constexpr (Op == DSExpr::Gt) return v > Day;
        return v >= Day;
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
