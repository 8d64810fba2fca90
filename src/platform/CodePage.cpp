#include "platform/CodePage.h"

#include <cstdint>

// 0x80..0x9F of Windows-1252; 0 marks the five undefined positions, which map
// to the C1 control of the same number as Windows itself does.
static const uint16_t kHigh[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

static void appendUtf8(std::string& out, uint32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

std::string Win1252ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (char ch : bytes) {
        auto b = static_cast<unsigned char>(ch);
        if (b < 0x80) out += ch;
        else if (b < 0xA0) appendUtf8(out, kHigh[b - 0x80] ? kHigh[b - 0x80] : b);
        else appendUtf8(out, b);
    }
    return out;
}

// Decodes one UTF-8 sequence at s[i]; returns its length, 0 when invalid.
static size_t decodeUtf8(std::string_view s, size_t i, uint32_t& cp) {
    auto b0 = static_cast<unsigned char>(s[i]);
    size_t len;
    if (b0 < 0x80) {
        cp = b0;
        return 1;
    } else if ((b0 >> 5) == 0x6) {
        len = 2;
        cp = b0 & 0x1F;
    } else if ((b0 >> 4) == 0xE) {
        len = 3;
        cp = b0 & 0x0F;
    } else if ((b0 >> 3) == 0x1E) {
        len = 4;
        cp = b0 & 0x07;
    } else {
        return 0;
    }
    if (i + len > s.size()) return 0;
    for (size_t k = 1; k < len; ++k) {
        auto b = static_cast<unsigned char>(s[i + k]);
        if ((b >> 6) != 0x2) return 0;
        cp = (cp << 6) | (b & 0x3F);
    }
    static const uint32_t minimum[5] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < minimum[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return len;
}

std::string Utf8ToWin1252(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        uint32_t cp;
        size_t len = decodeUtf8(text, i, cp);
        if (len == 0) {
            out += text[i];
            ++i;
            continue;
        }
        i += len;
        if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
            out += static_cast<char>(cp);
            continue;
        }
        char mapped = '?';
        for (int k = 0; k < 32; ++k) {
            uint32_t target = kHigh[k] ? kHigh[k] : static_cast<uint32_t>(0x80 + k);
            if (target == cp) {
                mapped = static_cast<char>(0x80 + k);
                break;
            }
        }
        out += mapped;
    }
    return out;
}
