#include "data/engine/Variant.h"

#include "platform/Exceptions.h"

#include <climits>
#include <cstdlib>

bool operator==(const TBcd& a, const TBcd& b) {
    if (a.Scale == b.Scale) return a.Value == b.Value;
    __int128 x = a.Value, y = b.Value;
    if (a.Scale < b.Scale) x *= kPow10[b.Scale - a.Scale];
    else y *= kPow10[a.Scale - b.Scale];
    return x == y;
}

TBcd BcdRescale(const TBcd& b, int scale) {
    if (scale < 0 || scale > 18 || b.Scale < 0 || b.Scale > 18)
        throw EConvertError("BCD overflow");
    if (scale == b.Scale) return b;
    if (scale > b.Scale) {
        __int128 v = static_cast<__int128>(b.Value) * kPow10[scale - b.Scale];
        if (v > INT64_MAX || v < INT64_MIN) throw EConvertError("BCD overflow");
        return TBcd{static_cast<int64_t>(v), scale};
    }
    int64_t div = kPow10[b.Scale - scale];
    if (b.Value % div != 0) throw EConvertError("BCD overflow");
    return TBcd{b.Value / div, scale};
}

TBcd BcdFromCurrency(Currency c) { return TBcd{c.Units, 4}; }

Currency CurrencyFromBcd(const TBcd& b) {
    if (b.Scale <= 4) return Currency{BcdRescale(b, 4).Value};
    int64_t div = kPow10[b.Scale - 4];
    int64_t q = b.Value / div, r = b.Value % div;
    if (r * 2 >= div) ++q;
    else if (r * 2 <= -div) --q;
    return Currency{q};
}

double BcdToDouble(const TBcd& b) {
    return static_cast<double>(b.Value) / static_cast<double>(kPow10[b.Scale]);
}

std::string BcdToStr(const TBcd& b, char sep) {
    unsigned __int128 mag = b.Value < 0 ? static_cast<unsigned __int128>(-(__int128)b.Value)
                                        : static_cast<unsigned __int128>(b.Value);
    std::string digits;
    do {
        digits.insert(digits.begin(), static_cast<char>('0' + static_cast<int>(mag % 10)));
        mag /= 10;
    } while (mag);
    int scale = b.Scale;
    while (static_cast<int>(digits.size()) <= scale) digits.insert(digits.begin(), '0');
    std::string intPart = digits.substr(0, digits.size() - scale);
    std::string frac = digits.substr(digits.size() - scale);
    while (!frac.empty() && frac.back() == '0') frac.pop_back();
    std::string out = b.Value < 0 ? "-" : "";
    out += intPart;
    if (!frac.empty()) {
        out += sep;
        out += frac;
    }
    return out;
}

bool TryStrToBcd(std::string_view s, TBcd& result, char sep) {
    size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    __int128 value = 0;
    int scale = 0, digits = 0;
    bool seenSep = false, any = false;
    for (; i < s.size(); ++i) {
        char c = s[i];
        if (c == sep && !seenSep) {
            seenSep = true;
            continue;
        }
        if (c < '0' || c > '9') return false;
        any = true;
        if (value == 0 && c == '0' && !seenSep) continue; // leading zeros
        value = value * 10 + (c - '0');
        ++digits;
        if (seenSep) ++scale;
        if (digits > 18 || scale > 18) return false;
    }
    if (!any) return false;
    result = TBcd{static_cast<int64_t>(negative ? -value : value), scale};
    return true;
}
