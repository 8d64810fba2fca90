#include "data/FieldValues.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

namespace fieldvalues {

static int64_t pow10i(int n) {
    int64_t p = 1;
    while (n-- > 0)
        p *= 10;
    return p;
}

bool ToInt64(const Variant& v, int64_t& out) {
    switch (v.Type()) {
    case TVarType::Boolean:
        out = v.Get<bool>() ? 1 : 0;
        return true;
    case TVarType::Integer:
        out = v.Get<int32_t>();
        return true;
    case TVarType::LargeInt:
        out = v.Get<int64_t>();
        return true;
    case TVarType::Double: {
        double d = std::round(v.Get<double>());
        if (!(d >= -9.2e18 && d <= 9.2e18)) return false;
        out = static_cast<int64_t>(d);
        return true;
    }
    case TVarType::Currency: {
        TBcd b = RoundBcd(BcdFromCurrency(v.Get<Currency>()), 0);
        out = b.Value;
        return true;
    }
    case TVarType::Bcd: {
        TBcd b = RoundBcd(v.Get<TBcd>(), 0);
        out = b.Value;
        return true;
    }
    default:
        return false;
    }
}

bool ToDouble(const Variant& v, double& out) {
    switch (v.Type()) {
    case TVarType::Boolean:
        out = v.Get<bool>() ? 1 : 0;
        return true;
    case TVarType::Integer:
        out = v.Get<int32_t>();
        return true;
    case TVarType::LargeInt:
        out = static_cast<double>(v.Get<int64_t>());
        return true;
    case TVarType::Double:
        out = v.Get<double>();
        return true;
    case TVarType::Currency:
        out = static_cast<double>(v.Get<Currency>().Units) / 10000.0;
        return true;
    case TVarType::Bcd:
        out = BcdToDouble(v.Get<TBcd>());
        return true;
    case TVarType::Date:
        out = v.Get<TDateTime>().Val();
        return true;
    default:
        return false;
    }
}

bool ToBcd(const Variant& v, TBcd& out) {
    switch (v.Type()) {
    case TVarType::Boolean:
        out = TBcd{v.Get<bool>() ? 1 : 0, 0};
        return true;
    case TVarType::Integer:
        out = TBcd{v.Get<int32_t>(), 0};
        return true;
    case TVarType::LargeInt:
        out = TBcd{v.Get<int64_t>(), 0};
        return true;
    case TVarType::Double:
        return DoubleToBcd(v.Get<double>(), 18, out);
    case TVarType::Currency:
        out = BcdFromCurrency(v.Get<Currency>());
        return true;
    case TVarType::Bcd:
        out = v.Get<TBcd>();
        return true;
    default:
        return false;
    }
}

bool TryTextToDouble(std::string_view text, char sep, double& out) {
    std::string s(text);
    size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    bool digits = false, seenSep = false, seenExp = false;
    for (; i < s.size(); ++i) {
        char c = s[i];
        if (c >= '0' && c <= '9') {
            digits = true;
        } else if (c == sep && !seenSep && !seenExp) {
            seenSep = true;
            s[i] = '.';
        } else if ((c == 'e' || c == 'E') && digits && !seenExp) {
            seenExp = true;
            if (i + 1 < s.size() && (s[i + 1] == '+' || s[i + 1] == '-')) ++i;
            if (i + 1 >= s.size()) return false;
        } else {
            return false;
        }
    }
    if (!digits) return false;
    const char* b = s.data();
    if (*b == '+') ++b;
    auto [p, ec] = std::from_chars(b, s.data() + s.size(), out);
    return ec == std::errc() && p == s.data() + s.size() && std::isfinite(out);
}

bool DoubleToBcd(double v, int scale, TBcd& out) {
    if (!std::isfinite(v)) return false;
    // The shortest round-trip text keeps 0.1 as 0.1 rather than its binary
    // expansion.
    char buf[64];
    auto [p, ec] = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed);
    if (ec != std::errc()) return false;
    std::string_view text(buf, p - buf);
    TBcd b;
    // Too many digits for 18: round the text through a shorter form first.
    size_t dot = text.find('.');
    std::string t(text);
    if (dot != std::string::npos) {
        size_t intDigits = dot - (t[0] == '-' ? 1 : 0);
        if (intDigits > 18) return false;
        size_t maxFrac = 18 - intDigits;
        if (t.size() - dot - 1 > maxFrac) {
            int keep = static_cast<int>(maxFrac);
            char buf2[64];
            auto r = std::to_chars(buf2, buf2 + sizeof buf2, v, std::chars_format::fixed, keep);
            if (r.ec != std::errc()) return false;
            t.assign(buf2, r.ptr - buf2);
        }
    }
    if (!TryStrToBcd(t, b, '.')) return false;
    out = RoundBcd(b, scale);
    return true;
}

TBcd RoundBcd(const TBcd& b, int scale) {
    if (scale < 0) scale = 0;
    if (b.Scale <= scale) return b;
    int64_t div = pow10i(b.Scale - scale);
    int64_t q = b.Value / div, r = b.Value % div;
    if (r * 2 >= div)
        ++q;
    else if (r * 2 <= -div)
        --q;
    return TBcd{q, scale};
}

int IntegerDigits(const TBcd& b) {
    uint64_t mag =
        b.Value < 0 ? static_cast<uint64_t>(-(b.Value + 1)) + 1 : static_cast<uint64_t>(b.Value);
    uint64_t intPart = mag / static_cast<uint64_t>(pow10i(b.Scale));
    int n = 0;
    while (intPart) {
        ++n;
        intPart /= 10;
    }
    return n;
}

} // namespace fieldvalues
