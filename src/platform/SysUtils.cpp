#include "platform/SysUtils.h"

#include "platform/Exceptions.h"

#include <cctype>
#include <climits>
#include <cstdlib>

std::string QuotedStr(std::string_view s) {
    std::string out;
    out.reserve(s.size() + 2);
    out += '\'';
    for (char c : s) {
        if (c == '\'') out += '\'';
        out += c;
    }
    out += '\'';
    return out;
}

static bool isTrimmed(char c) { return static_cast<unsigned char>(c) <= ' '; }

std::string TrimLeft(std::string_view s) {
    size_t i = 0;
    while (i < s.size() && isTrimmed(s[i])) ++i;
    return std::string(s.substr(i));
}

std::string TrimRight(std::string_view s) {
    size_t n = s.size();
    while (n > 0 && isTrimmed(s[n - 1])) --n;
    return std::string(s.substr(0, n));
}

std::string Trim(std::string_view s) { return TrimLeft(TrimRight(s)); }

std::string UpperCase(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

std::string LowerCase(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

bool SameText(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
        if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
        if (x != y) return false;
    }
    return true;
}

std::string IntToStr(int64_t value) { return std::to_string(value); }

static bool parseInt64(std::string_view text, int64_t& out) {
    std::string s = Trim(text);
    if (s.empty()) return false;
    size_t i = 0;
    bool negative = false;
    if (s[i] == '+' || s[i] == '-') {
        negative = s[i] == '-';
        ++i;
    }
    int base = 10;
    if (i < s.size() && s[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i >= s.size()) return false;
    unsigned __int128 acc = 0;
    for (; i < s.size(); ++i) {
        int digit;
        char c = s[i];
        if (c >= '0' && c <= '9') digit = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
        else return false;
        acc = acc * base + digit;
        if (acc > static_cast<unsigned __int128>(INT64_MAX) + 1) return false;
    }
    if (!negative && acc > static_cast<unsigned __int128>(INT64_MAX)) return false;
    out = negative ? static_cast<int64_t>(-static_cast<__int128>(acc)) : static_cast<int64_t>(acc);
    return true;
}

int64_t StrToInt64(std::string_view s) {
    int64_t v;
    if (!parseInt64(s, v)) throw EConvertError(Format("'%s' is not a valid integer value", {s}));
    return v;
}

bool TryStrToInt(std::string_view s, int& value) {
    int64_t v;
    if (!parseInt64(s, v) || v < INT_MIN || v > INT_MAX) return false;
    value = static_cast<int>(v);
    return true;
}

int StrToInt(std::string_view s) {
    int v;
    if (!TryStrToInt(s, v)) throw EConvertError(Format("'%s' is not a valid integer value", {s}));
    return v;
}

std::string Format(std::string_view fmt, std::initializer_list<std::string_view> args) {
    std::string out;
    out.reserve(fmt.size() + 32);
    size_t next = 0;
    const std::string_view* list = args.begin();
    for (size_t i = 0; i < fmt.size(); ++i) {
        char c = fmt[i];
        if (c != '%' || i + 1 >= fmt.size()) {
            out += c;
            continue;
        }
        if (fmt[i + 1] == '%') {
            out += '%';
            ++i;
            continue;
        }
        // %[index:]s or %d
        size_t j = i + 1;
        size_t index = next;
        size_t k = j;
        while (k < fmt.size() && std::isdigit(static_cast<unsigned char>(fmt[k]))) ++k;
        if (k < fmt.size() && fmt[k] == ':' && k > j) {
            index = std::strtoul(std::string(fmt.substr(j, k - j)).c_str(), nullptr, 10);
            j = k + 1;
        }
        if (j < fmt.size() && (fmt[j] == 's' || fmt[j] == 'd')) {
            if (index < args.size()) out += list[index];
            next = index + 1;
            i = j;
        } else {
            out += c;
        }
    }
    return out;
}

static size_t utf8Len(unsigned char lead) {
    if (lead < 0x80) return 1;
    if ((lead >> 5) == 0x6) return 2;
    if ((lead >> 4) == 0xE) return 3;
    if ((lead >> 3) == 0x1E) return 4;
    return 1;
}

size_t CharLength(std::string_view s) {
    size_t n = 0;
    for (size_t i = 0; i < s.size(); i += utf8Len(static_cast<unsigned char>(s[i]))) ++n;
    return n;
}

std::string Copy(std::string_view s, size_t index1, size_t count) {
    if (index1 < 1) index1 = 1;
    size_t pos = 0, ch = 1;
    while (pos < s.size() && ch < index1) {
        pos += utf8Len(static_cast<unsigned char>(s[pos]));
        ++ch;
    }
    size_t start = std::min(pos, s.size());
    size_t end = start;
    for (size_t n = 0; n < count && end < s.size(); ++n)
        end += utf8Len(static_cast<unsigned char>(s[end]));
    return std::string(s.substr(start, std::min(end, s.size()) - start));
}
