#include "data/engine/TDSExprEvaluator.h"

#include "data/engine/DSErrors.h"
#include "data/engine/DSTypes.h"

#include <cmath>
#include <string_view>

using Node = TDSExprEvaluator::Node;
using NodePtr = std::unique_ptr<Node>;

namespace {

constexpr int kFalse = 0, kTrue = 1, kUnknown = 2;
constexpr int64_t kMsPerDay = kDSMsPerDay;

[[noreturn]] void typeMismatch() {
    DSRaise(DBERR_INVALIDPARAM, "Type mismatch in expression");
}
[[noreturn]] void badTree() {
    DSRaise(DBERR_INVALIDPARAM, "Invalid expression");
}

// Values are compared within a family: numbers (exact or floating), moments
// (milliseconds on one time line), text and booleans.
enum class Family : uint8_t { Exact, Float, Moment, Text, Bool };

struct Scalar {
    bool Null = true;
    Family Fam = Family::Exact;
    __int128 Exact = 0; // Exact: the value times 10^Scale; Moment: milliseconds
    int Scale = 0;
    double Float = 0;
    std::string_view Text;
    bool Bool = false;
};

bool numeric(Family f) {
    return f == Family::Exact || f == Family::Float;
}
bool comparable(Family a, Family b) {
    return a == b || (numeric(a) && numeric(b));
}

Family familyOf(DSType t) {
    switch (t) {
    case DSType::Int16:
    case DSType::Int32:
    case DSType::Int64:
    case DSType::Currency:
    case DSType::Bcd:
        return Family::Exact;
    case DSType::Double:
        return Family::Float;
    case DSType::Date:
    case DSType::Time:
    case DSType::DateTime:
        return Family::Moment;
    case DSType::String:
        return Family::Text;
    case DSType::Boolean:
        return Family::Bool;
    }
    return Family::Exact;
}

// A date-and-time as milliseconds on a line that keeps the framework's order
// for days before 1899 too (their time of day counts forward from midnight).
int64_t momentOf(double v) {
    // Far beyond any storable date, the order is all that matters.
    if (v > 1e9) v = 1e9;
    if (v < -1e9) v = -1e9;
    double days = std::trunc(v);
    double frac = std::fabs(v - days);
    return static_cast<int64_t>(days) * kMsPerDay + std::llround(frac * kMsPerDay);
}

struct FieldRef {
    int Index;
    DSType Type;
    int Scale;
    uint32_t Offset;
    uint32_t NullByte;
    uint8_t NullMask;

    bool IsNull(const uint8_t* row) const { return row[NullByte] & NullMask; }
};

FieldRef fieldRef(const DSExpr& e, const TDSRecordLayout& layout, const TDSRowFormat& format) {
    if (e.kind != DSExpr::Field || e.FieldNo < 0 || e.FieldNo >= layout.FieldCount())
        DSRaise(DBERR_INVALIDPARAM, "Invalid field in expression");
    const DSFieldDesc& f = layout.Fields()[e.FieldNo];
    int scale = f.Type == DSType::Bcd ? f.Scale : f.Type == DSType::Currency ? 4 : 0;
    return FieldRef{e.FieldNo,
                    f.Type,
                    scale,
                    format.Offset[e.FieldNo],
                    static_cast<uint32_t>(1 + e.FieldNo / 8),
                    static_cast<uint8_t>(1u << (e.FieldNo % 8))};
}

Scalar readField(const FieldRef& f, const uint8_t* row) {
    Scalar s;
    if (f.IsNull(row)) return s;
    s.Null = false;
    s.Fam = familyOf(f.Type);
    const uint8_t* p = row + f.Offset;
    switch (f.Type) {
    case DSType::Int16:
        s.Exact = DSLoad<int16_t>(p);
        break;
    case DSType::Int32:
        s.Exact = DSLoad<int32_t>(p);
        break;
    case DSType::Int64:
    case DSType::Currency:
    case DSType::Bcd:
        s.Exact = DSLoad<int64_t>(p);
        s.Scale = f.Scale;
        break;
    case DSType::Double:
        s.Float = DSLoad<double>(p);
        break;
    case DSType::Date:
        s.Exact = static_cast<int64_t>(DSLoad<int32_t>(p)) * kMsPerDay;
        break;
    case DSType::Time:
        s.Exact = DSLoad<int32_t>(p);
        break;
    case DSType::DateTime:
        s.Exact = momentOf(DSLoad<double>(p));
        break;
    case DSType::String:
        s.Text = std::string_view(reinterpret_cast<const char*>(p + 2), DSLoad<uint16_t>(p));
        break;
    case DSType::Boolean:
        s.Bool = p[0] != 0;
        break;
    }
    return s;
}

// A constant as a scalar; text points into the expression, which the caller
// keeps alive (or copies, see ConstOperand).
Scalar constScalar(const Variant& v) {
    Scalar s;
    s.Null = false;
    switch (v.Type()) {
    case TVarType::Unassigned:
    case TVarType::Null:
        s.Null = true;
        break;
    case TVarType::Boolean:
        s.Fam = Family::Bool;
        s.Bool = v.Get<bool>();
        break;
    case TVarType::Integer:
        s.Exact = v.Get<int32_t>();
        break;
    case TVarType::LargeInt:
        s.Exact = v.Get<int64_t>();
        break;
    case TVarType::Currency:
        s.Exact = v.Get<Currency>().Units;
        s.Scale = 4;
        break;
    case TVarType::Bcd:
        if (v.Get<TBcd>().Scale < 0 || v.Get<TBcd>().Scale > 18) badTree();
        s.Exact = v.Get<TBcd>().Value;
        s.Scale = v.Get<TBcd>().Scale;
        break;
    case TVarType::Double:
        s.Fam = Family::Float;
        s.Float = v.Get<double>();
        break;
    case TVarType::Date:
        s.Fam = Family::Moment;
        if (!std::isfinite(v.Get<TDateTime>().Val())) badTree();
        s.Exact = momentOf(v.Get<TDateTime>().Val());
        break;
    case TVarType::String:
        s.Fam = Family::Text;
        s.Text = v.Get<std::string>();
        break;
    }
    return s;
}

double toDouble(const Scalar& s) {
    if (s.Fam == Family::Float) return s.Float;
    return static_cast<double>(s.Exact) / static_cast<double>(kDSPow10[s.Scale]);
}

// ASCII letters and the Latin-1 capitals (UTF-8 C3 80..9E but for the
// multiplication sign C3 97) fold to lower case; a continuation byte after
// C3 is recognised by the byte before it, which is always a lead byte.
inline unsigned char foldAt(std::string_view s, size_t i) {
    auto c = static_cast<unsigned char>(s[i]);
    if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 32);
    if (c >= 0x80 && c <= 0x9E && c != 0x97 && i > 0 &&
        static_cast<unsigned char>(s[i - 1]) == 0xC3)
        return static_cast<unsigned char>(c + 0x20);
    return c;
}

int compareText(std::string_view a, std::string_view b, bool caseInsensitive) {
    const size_t n = a.size() < b.size() ? a.size() : b.size();
    if (!caseInsensitive) {
        int c = n ? std::memcmp(a.data(), b.data(), n) : 0;
        if (c != 0) return c < 0 ? -1 : 1;
    } else {
        for (size_t i = 0; i < n; ++i) {
            unsigned char x = foldAt(a, i), y = foldAt(b, i);
            if (x != y) return x < y ? -1 : 1;
        }
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

int compareScalars(const Scalar& a, const Scalar& b, bool caseInsensitive) {
    switch (a.Fam) {
    case Family::Text:
        return compareText(a.Text, b.Text, caseInsensitive);
    case Family::Bool:
        return a.Bool == b.Bool ? 0 : (a.Bool ? 1 : -1);
    case Family::Moment:
        return a.Exact == b.Exact ? 0 : (a.Exact < b.Exact ? -1 : 1);
    default:
        break;
    }
    if (a.Fam == Family::Exact && b.Fam == Family::Exact) {
        __int128 x = a.Exact, y = b.Exact;
        if (a.Scale < b.Scale)
            x *= kDSPow10[b.Scale - a.Scale];
        else if (b.Scale < a.Scale)
            y *= kDSPow10[a.Scale - b.Scale];
        return x == y ? 0 : (x < y ? -1 : 1);
    }
    double x = toDouble(a), y = toDouble(b);
    return x == y ? 0 : (x < y ? -1 : 1);
}

bool applyOp(DSExpr::Kind op, int c) {
    switch (op) {
    case DSExpr::Eq:
        return c == 0;
    case DSExpr::Ne:
        return c != 0;
    case DSExpr::Lt:
        return c < 0;
    case DSExpr::Le:
        return c <= 0;
    case DSExpr::Gt:
        return c > 0;
    case DSExpr::Ge:
        return c >= 0;
    default:
        return false;
    }
}

DSExpr::Kind mirror(DSExpr::Kind op) {
    switch (op) {
    case DSExpr::Lt:
        return DSExpr::Gt;
    case DSExpr::Le:
        return DSExpr::Ge;
    case DSExpr::Gt:
        return DSExpr::Lt;
    case DSExpr::Ge:
        return DSExpr::Le;
    default:
        return op;
    }
}

bool isComparison(DSExpr::Kind k) {
    return k >= DSExpr::Eq && k <= DSExpr::Ge;
}

// ---- nodes ----

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

// ---- building ----

class Builder {
public:
    Builder(const TDSRecordLayout& layout, const TDSRowFormat& format)
        : FLayout(layout), FFormat(format) {}

    NodePtr Build(const DSExpr& e) {
        switch (e.kind) {
        case DSExpr::And:
        case DSExpr::Or:
            return Logic(e);
        case DSExpr::Not: {
            if (e.Children.size() != 1 || !e.Children[0]) badTree();
            auto n = std::make_unique<NotNode>();
            n->C = Build(*e.Children[0]);
            return n;
        }
        case DSExpr::IsNull: {
            if (e.Children.size() != 1 || !e.Children[0]) badTree();
            const DSExpr& c = *e.Children[0];
            if (c.kind == DSExpr::Const) return std::make_unique<ConstNode>(c.Value.IsEmpty());
            return std::make_unique<IsNullNode>(fieldRef(c, FLayout, FFormat));
        }
        case DSExpr::Field: {
            FieldRef f = fieldRef(e, FLayout, FFormat);
            if (f.Type != DSType::Boolean) typeMismatch();
            return std::make_unique<BoolFieldNode>(f);
        }
        case DSExpr::Const: {
            if (e.Value.IsEmpty()) return std::make_unique<ConstNode>(kUnknown);
            auto b = e.Value.GetIf<bool>();
            if (!b) typeMismatch();
            return std::make_unique<ConstNode>(*b ? kTrue : kFalse);
        }
        case DSExpr::Like:
            return Prefix(e);
        default:
            break;
        }
        if (!isComparison(e.kind)) badTree();
        return Comparison(e);
    }

private:
    NodePtr Logic(const DSExpr& e) {
        if (e.Children.size() != 2 || !e.Children[0] || !e.Children[1]) badTree();
        NodePtr l = Build(*e.Children[0]), r = Build(*e.Children[1]);
        if (e.kind == DSExpr::And) {
            auto n = std::make_unique<AndNode>();
            n->L = std::move(l);
            n->R = std::move(r);
            return n;
        }
        auto n = std::make_unique<OrNode>();
        n->L = std::move(l);
        n->R = std::move(r);
        return n;
    }

    NodePtr Prefix(const DSExpr& e) {
        if (e.Children.size() != 2 || !e.Children[0] || !e.Children[1]) badTree();
        FieldRef f = fieldRef(*e.Children[0], FLayout, FFormat);
        const DSExpr& c = *e.Children[1];
        if (c.kind != DSExpr::Const) badTree();
        if (c.Value.IsEmpty()) return std::make_unique<ConstNode>(kUnknown);
        auto text = c.Value.GetIf<std::string>();
        if (f.Type != DSType::String || !text) typeMismatch();
        auto n = std::make_unique<PrefixNode>();
        n->F = f;
        n->Prefix = *text;
        n->CaseInsensitive = e.CaseInsensitive;
        return n;
    }

    Operand MakeOperand(const DSExpr& e) {
        Operand o;
        if (e.kind == DSExpr::Field) {
            o.IsField = true;
            o.F = fieldRef(e, FLayout, FFormat);
            o.Value.Null = false;
            o.Value.Fam = familyOf(o.F.Type);
            return o;
        }
        if (e.kind != DSExpr::Const) badTree();
        o.Value = constScalar(e.Value);
        if (o.Value.Fam == Family::Text) {
            o.Text = std::string(o.Value.Text);
            o.Value.Text = {};
        }
        return o;
    }

    NodePtr Comparison(const DSExpr& e) {
        if (e.Children.size() != 2 || !e.Children[0] || !e.Children[1]) badTree();
        DSExpr::Kind op = e.kind;
        Operand a = MakeOperand(*e.Children[0]);
        Operand b = MakeOperand(*e.Children[1]);
        if (!a.IsField && b.IsField) {
            std::swap(a, b);
            op = mirror(op);
        }
        // A comparison with a null constant is never true or false.
        if ((!a.IsField && a.Value.Null) || (!b.IsField && b.Value.Null))
            return std::make_unique<ConstNode>(kUnknown);
        if (!comparable(a.Value.Fam, b.Value.Fam)) typeMismatch();
        if (!a.IsField) { // two constants: decided now
            bool r =
                applyOp(op, compareScalars(a.Read(nullptr), b.Read(nullptr), e.CaseInsensitive));
            return std::make_unique<ConstNode>(r ? kTrue : kFalse);
        }
        if (!b.IsField) {
            if (NodePtr fast = FastFieldConst(a.F, op, b.Value)) return fast;
        }
        auto n = std::make_unique<CompareNode>();
        n->A = std::move(a);
        n->B = std::move(b);
        n->Op = op;
        n->CaseInsensitive = e.CaseInsensitive;
        return n;
    }

    template <template <class, DSExpr::Kind> class N, class T>
    static NodePtr ExactNode(DSExpr::Kind op, FieldRef f, __int128 factor, __int128 c) {
        auto make = [&](auto node) -> NodePtr {
            node->F = f;
            node->FieldFactor = factor;
            node->Const = c;
            return node;
        };
        switch (op) {
        case DSExpr::Eq:
            return make(std::make_unique<N<T, DSExpr::Eq>>());
        case DSExpr::Ne:
            return make(std::make_unique<N<T, DSExpr::Ne>>());
        case DSExpr::Lt:
            return make(std::make_unique<N<T, DSExpr::Lt>>());
        case DSExpr::Le:
            return make(std::make_unique<N<T, DSExpr::Le>>());
        case DSExpr::Gt:
            return make(std::make_unique<N<T, DSExpr::Gt>>());
        default:
            return make(std::make_unique<N<T, DSExpr::Ge>>());
        }
    }

    static NodePtr DateNode(DSExpr::Kind op, FieldRef f, int64_t day) {
        auto make = [&](auto node) -> NodePtr {
            node->F = f;
            node->Day = day;
            return node;
        };
        switch (op) {
        case DSExpr::Eq:
            return make(std::make_unique<DateConstNode<DSExpr::Eq>>());
        case DSExpr::Ne:
            return make(std::make_unique<DateConstNode<DSExpr::Ne>>());
        case DSExpr::Lt:
            return make(std::make_unique<DateConstNode<DSExpr::Lt>>());
        case DSExpr::Le:
            return make(std::make_unique<DateConstNode<DSExpr::Le>>());
        case DSExpr::Gt:
            return make(std::make_unique<DateConstNode<DSExpr::Gt>>());
        default:
            return make(std::make_unique<DateConstNode<DSExpr::Ge>>());
        }
    }

    // The common cases of a filter or a locate, without the general path's
    // conversions on every row; null when the general path must do.
    static NodePtr FastFieldConst(FieldRef f, DSExpr::Kind op, const Scalar& c) {
        if (f.Type == DSType::Date && c.Fam == Family::Moment && c.Exact % kMsPerDay == 0)
            return DateNode(op, f, static_cast<int64_t>(c.Exact / kMsPerDay));
        if (c.Fam != Family::Exact || familyOf(f.Type) != Family::Exact) return nullptr;
        int scale = f.Scale > c.Scale ? f.Scale : c.Scale;
        __int128 factor = kDSPow10[scale - f.Scale];
        __int128 value = c.Exact * kDSPow10[scale - c.Scale];
        switch (f.Type) {
        case DSType::Int16:
            return ExactNode<ExactConstNode, int16_t>(op, f, factor, value);
        case DSType::Int32:
            return ExactNode<ExactConstNode, int32_t>(op, f, factor, value);
        default:
            return ExactNode<ExactConstNode, int64_t>(op, f, factor, value);
        }
    }

    const TDSRecordLayout& FLayout;
    const TDSRowFormat& FFormat;
};

} // namespace

TDSExprEvaluator::TDSExprEvaluator(const DSExpr& expression, const TDSRecordLayout& layout,
                                   const TDSRowFormat& format) {
    FRoot = Builder(layout, format).Build(expression);
}

TDSExprEvaluator::~TDSExprEvaluator() = default;
