#include "data/Params.h"

#include "platform/SysUtils.h"

#include <cctype>

TParam* TParams::FindParam(std::string_view name) {
    for (TParam& p : FItems)
        if (SameText(p.Name, name)) return &p;
    return nullptr;
}

const TParam* TParams::FindParam(std::string_view name) const {
    return const_cast<TParams*>(this)->FindParam(name);
}

static bool isNameChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_' ||
           static_cast<unsigned char>(c) >= 0x80;
}

std::string ReplaceNamedParams(std::string_view sql, std::vector<std::string>* names) {
    std::string out;
    out.reserve(sql.size());
    char quote = 0;
    for (size_t i = 0; i < sql.size(); ++i) {
        char c = sql[i];
        if (quote) {
            out += c;
            if (c == quote) quote = 0;
            continue;
        }
        if (c == '\'' || c == '"') {
            quote = c;
            out += c;
            continue;
        }
        if (c == ':' && i + 1 < sql.size() && sql[i + 1] == ':') {
            out += ':';
            ++i;
            continue;
        }
        if (c == ':' && i + 1 < sql.size() && isNameChar(sql[i + 1])) {
            size_t j = i + 1;
            while (j < sql.size() && isNameChar(sql[j])) ++j;
            if (names) names->emplace_back(sql.substr(i + 1, j - i - 1));
            out += '?';
            i = j - 1;
            continue;
        }
        out += c;
    }
    return out;
}
