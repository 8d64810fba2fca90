#include "data/engine/TDSExprValues.h"

#include "data/engine/DSErrors.h"
#include "data/engine/DSTypes.h"

#include <cmath>
#include <cstring>

namespace dsexpr {

[[noreturn]] void typeMismatch() {
    DSRaise(DBERR_INVALIDPARAM, "Type mismatch in expression");
}
[[noreturn]] void badTree() {
    DSRaise(DBERR_INVALIDPARAM, "Invalid expression");
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
    s.Fam = DSFamilyOf(f.Type);
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
    return static_cast<double>(s.Exact) / static_cast<double>(kPow10[s.Scale]);
}

// ASCII letters and the Latin-1 capitals (UTF-8 C3 80..9E but for the
// multiplication sign C3 97) fold to lower case; a continuation byte after
// C3 is recognised by the byte before it, which is always a lead byte.
static unsigned char foldAt(std::string_view s, size_t i) {
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
    case Family::Exact:
    case Family::Float:
        break;
    }
    if (a.Fam == Family::Exact && b.Fam == Family::Exact) {
        __int128 x = a.Exact, y = b.Exact;
        if (a.Scale < b.Scale)
            x *= kPow10[b.Scale - a.Scale];
        else if (b.Scale < a.Scale)
            y *= kPow10[a.Scale - b.Scale];
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

} // namespace dsexpr
