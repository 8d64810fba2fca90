#include "data/TSQLQuery.h"

#include "platform/SysUtils.h"

#include <cctype>
#include <vector>

namespace {

// Words of a statement outside quotes and comments: identifiers (a quoted
// one with its quotes), numbers, and single punctuation characters.
std::vector<std::string> tokenize(std::string_view sql) {
    std::vector<std::string> tokens;
    size_t i = 0;
    auto isWord = [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '$' ||
               static_cast<unsigned char>(c) >= 0x80;
    };
    while (i < sql.size()) {
        char c = sql[i];
        if (std::isspace(static_cast<unsigned char>(c))) {
            ++i;
        } else if (c == '-' && i + 1 < sql.size() && sql[i + 1] == '-') {
            while (i < sql.size() && sql[i] != '\n')
                ++i;
        } else if (c == '/' && i + 1 < sql.size() && sql[i + 1] == '*') {
            size_t end = sql.find("*/", i + 2);
            i = end == std::string_view::npos ? sql.size() : end + 2;
        } else if (c == '\'' || c == '"') {
            size_t j = i + 1;
            while (j < sql.size()) {
                if (sql[j] == c) {
                    if (j + 1 < sql.size() && sql[j + 1] == c) {
                        j += 2;
                        continue;
                    }
                    break;
                }
                ++j;
            }
            tokens.emplace_back(sql.substr(i, j + 1 - i));
            i = j + 1;
        } else if (isWord(c)) {
            size_t j = i;
            while (j < sql.size() && (isWord(sql[j]) || sql[j] == '.'))
                ++j;
            tokens.emplace_back(sql.substr(i, j - i));
            i = j;
        } else {
            tokens.emplace_back(1, c);
            ++i;
        }
    }
    return tokens;
}

bool isKeyword(const std::string& token, std::initializer_list<const char*> words) {
    for (const char* w : words)
        if (SameText(token, w)) return true;
    return false;
}

} // namespace

TSQLQuery::TSQLQuery(TComponent* owner) : TCustomSQLDataSet(owner) {}

std::string TSQLQuery::CommandText() const {
    std::string text;
    for (int i = 0; i < FSQL.Count(); ++i) {
        if (i > 0) text += '\n';
        text += FSQL.Strings(i);
    }
    return text;
}

void TSQLQuery::SetCommandText(const std::string& text) {
    Close();
    FSQL.SetText(text);
    refreshParams(CommandText());
}

void TSQLQuery::refreshParams(const std::string& text) {
    std::vector<std::string> names;
    ReplaceNamedParams(text, &names);
    TParams params;
    for (const std::string& name : names) {
        if (params.FindParam(name)) continue;
        if (const TParam* old = Params().FindParam(name))
            params.Add(name, old->DataType, old->Value);
        else
            params.Add(name);
    }
    Params() = params;
}

void TSQLQuery::PSSetCommandText(const std::string& text) {
    CheckInactive();
    SetCommandText(text);
}

std::string TSQLQuery::GetQueryText() {
    std::string text = CommandText();
    // Lines edited directly may name parameters the list does not know yet.
    std::vector<std::string> names;
    ReplaceNamedParams(text, &names);
    for (const std::string& name : names)
        if (!Params().FindParam(name)) {
            refreshParams(text);
            break;
        }
    return text;
}

std::string TSQLQuery::PSGetTableName() const {
    std::vector<std::string> t = tokenize(CommandText());
    if (t.empty() || !SameText(t[0], "select")) return {};
    int depth = 0;
    size_t from = 0;
    for (size_t i = 1; i < t.size() && !from; ++i) {
        if (t[i] == "(")
            ++depth;
        else if (t[i] == ")")
            --depth;
        else if (depth == 0 && SameText(t[i], "from"))
            from = i;
    }
    if (!from || from + 1 >= t.size()) return {};
    const std::string& table = t[from + 1];
    if (!(table[0] == '"' || std::isalpha(static_cast<unsigned char>(table[0])))) return {};
    size_t next = from + 2;
    // An alias may follow, with or without "as".
    if (next < t.size() && SameText(t[next], "as")) ++next;
    if (next < t.size() && t[next].size() > 0 &&
        (t[next][0] == '"' || std::isalpha(static_cast<unsigned char>(t[next][0]))) &&
        !isKeyword(t[next], {"where", "group", "having", "order", "plan", "rows", "union", "for",
                             "join", "inner", "left", "right", "full", "cross", "natural", "with",
                             "fetch", "offset"}))
        ++next;
    if (next >= t.size() || t[next] == ";") return table;
    if (isKeyword(t[next], {"where", "group", "having", "order", "plan", "rows", "for", "fetch",
                            "offset", "with"}))
        return table;
    return {}; // a join, a list of tables, a procedure's arguments, a union
}
