#include "data/firebird/FbCharset.h"

#include <cctype>

namespace fb {

namespace {

// Windows-1252 bytes 0x80..0x9F; the five bytes the code page leaves
// undefined map to the C1 controls of the same value, both ways.
constexpr char32_t win1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// The next code point of s at i; false on a malformed sequence.
bool nextCodePoint(std::string_view s, size_t& i, char32_t& c) {
    auto b = static_cast<unsigned char>(s[i]);
    if (b < 0x80) {
        c = b;
        ++i;
        return true;
    }
    int extra = (b & 0xE0) == 0xC0 ? 1 : (b & 0xF0) == 0xE0 ? 2 : (b & 0xF8) == 0xF0 ? 3 : 0;
    if (extra == 0 || s.size() - i <= static_cast<size_t>(extra)) return false;
    c = b & (0x3F >> extra);
    for (int k = 1; k <= extra; ++k) {
        auto t = static_cast<unsigned char>(s[i + k]);
        if ((t & 0xC0) != 0x80) return false;
        c = (c << 6) | (t & 0x3F);
    }
    static constexpr char32_t minimum[4] = {0, 0x80, 0x800, 0x10000};
    if (c < minimum[extra] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return false;
    i += extra + 1;
    return true;
}

bool win1252Byte(char32_t c, char& out) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
        out = static_cast<char>(c);
        return true;
    }
    for (int k = 0; k < 32; ++k)
        if (win1252High[k] == c) {
            out = static_cast<char>(0x80 + k);
            return true;
        }
    return false;
}

} // namespace

int CharsetIdFromName(std::string_view name) {
    std::string upper;
    for (char c : name)
        upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    struct Entry {
        const char* Name;
        int Id;
    };
    static constexpr Entry known[] = {
        {"NONE", csNone},       {"OCTETS", csOctets},          {"BINARY", csOctets},
        {"ASCII", csAscii},     {"UNICODE_FSS", csUnicodeFss}, {"UTF8", csUtf8},
        {"UTF-8", csUtf8},      {"ISO8859_1", csIso8859_1},    {"LATIN1", csIso8859_1},
        {"WIN1252", csWin1252},
    };
    for (const Entry& e : known)
        if (upper == e.Name) return e.Id;
    return -1;
}

int BytesPerChar(int charsetId) {
    switch (charsetId) {
    case csUtf8:
        return 4;
    case csUnicodeFss:
        return 3;
    default:
        return 1;
    }
}

bool IsPassThrough(int charsetId) {
    return charsetId != csWin1252 && charsetId != csIso8859_1;
}

bool EncodeText(int charsetId, std::string_view utf8, std::string& out) {
    out.clear();
    if (IsPassThrough(charsetId)) {
        out.assign(utf8);
        return true;
    }
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        char32_t c;
        if (!nextCodePoint(utf8, i, c)) return false;
        char b;
        if (charsetId == csIso8859_1) {
            if (c > 0xFF) return false;
            b = static_cast<char>(c);
        } else if (!win1252Byte(c, b)) {
            return false;
        }
        out += b;
    }
    return true;
}

void DecodeText(int charsetId, std::string_view bytes, std::string& out) {
    out.clear();
    if (IsPassThrough(charsetId)) {
        out.assign(bytes);
        return;
    }
    out.reserve(bytes.size() + bytes.size() / 4);
    for (char ch : bytes) {
        auto b = static_cast<unsigned char>(ch);
        if (b < 0x80)
            out += ch;
        else if (b < 0xA0 && charsetId == csWin1252)
            appendUtf8(out, win1252High[b - 0x80]);
        else
            appendUtf8(out, b);
    }
}

} // namespace fb
