#include "data/FilterExpr.h"

#include "data/engine/DSTypes.h"
#include "platform/Exceptions.h"
#include "platform/SysUtils.h"

#include <cctype>
#include <cmath>
#include <cstdlib>

// The grammar, with keywords in any letter case:
//   expr     := and { OR and }
//   and      := not { AND not }
//   not      := NOT not | primary
//   primary  := '(' expr ')' | operand [ relop operand | IS [NOT] NULL ]
//   operand  := name | '[' any text but ']' ']' | 'text' | [+|-] number | NULL
//   relop    := = | <> | != | < | <= | > | >=
// A number is digits with at most one decimal separator, the settings' one or
// ".". Nothing else in the grammar uses "," so it can be a decimal separator.
// A name alone is allowed only for a boolean field.

namespace {

[[noreturn]] void fail(std::string message) {
    throw EDatabaseError(std::move(message));
}
[[noreturn]] void malformed() {
    fail("Incorrectly formed expression");
}
[[noreturn]] void typeMismatch() {
    fail("Type mismatch in expression");
}

enum class Tok {
    End,
    Name,
    Quoted,
    Text,
    Number,
    Eq,
    Ne,
    Lt,
    Le,
    Gt,
    Ge,
    LParen,
    RParen,
    Minus,
    Plus
};

struct Token {
    Tok Kind = Tok::End;
    std::string Text; // a name, a text constant or the digits of a number
};

bool nameStart(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c >= 0x80;
}
bool nameChar(unsigned char c) {
    return nameStart(c) || (c >= '0' && c <= '9') || c == '$';
}
bool digit(char c) {
    return c >= '0' && c <= '9';
}

class Lexer {
public:
    Lexer(std::string_view text, char decimalSeparator) : FText(text), FSep(decimalSeparator) {}

    Token nextToken() {
        while (FPos < FText.size() && static_cast<unsigned char>(FText[FPos]) <= ' ')
            ++FPos;
        Token t;
        if (FPos >= FText.size()) return t;
        const char c = FText[FPos];
        auto one = [&](Tok kind, size_t length) {
            t.Kind = kind;
            FPos += length;
            return t;
        };
        auto next = [&](char x) { return FPos + 1 < FText.size() && FText[FPos + 1] == x; };
        switch (c) {
        case '(':
            return one(Tok::LParen, 1);
        case ')':
            return one(Tok::RParen, 1);
        case '=':
            return one(Tok::Eq, 1);
        case '-':
            return one(Tok::Minus, 1);
        case '+':
            return one(Tok::Plus, 1);
        case '<':
            return next('>') ? one(Tok::Ne, 2) : next('=') ? one(Tok::Le, 2) : one(Tok::Lt, 1);
        case '>':
            return next('=') ? one(Tok::Ge, 2) : one(Tok::Gt, 1);
        case '!':
            if (next('=')) return one(Tok::Ne, 2);
            break;
        case '[':
            return bracketedName();
        case '\'':
            return quotedText();
        default:
            break;
        }
        if (digit(c) ||
            ((c == FSep || c == '.') && FPos + 1 < FText.size() && digit(FText[FPos + 1])))
            return number();
        if (nameStart(static_cast<unsigned char>(c))) {
            size_t start = FPos;
            while (FPos < FText.size() && nameChar(static_cast<unsigned char>(FText[FPos])))
                ++FPos;
            t.Kind = Tok::Name;
            t.Text = std::string(FText.substr(start, FPos - start));
            return t;
        }
        fail(Format("Unexpected character '%s' in expression", {FText.substr(FPos, 1)}));
    }

private:
    Token bracketedName() {
        size_t close = FText.find(']', FPos + 1);
        if (close == std::string_view::npos) fail("']' expected");
        Token t{Tok::Quoted, std::string(FText.substr(FPos + 1, close - FPos - 1))};
        if (t.Text.empty()) malformed();
        FPos = close + 1;
        return t;
    }

    Token quotedText() {
        Token t{Tok::Text, {}};
        for (size_t i = FPos + 1; i < FText.size(); ++i) {
            if (FText[i] != '\'') {
                t.Text += FText[i];
                continue;
            }
            if (i + 1 < FText.size() && FText[i + 1] == '\'') {
                t.Text += '\'';
                ++i;
                continue;
            }
            FPos = i + 1;
            return t;
        }
        fail("Unterminated string constant");
    }

    // Digits with at most one decimal separator and an optional exponent
    // ("1,5E-5", as numbers of floating fields are written).
    Token number() {
        Token t{Tok::Number, {}};
        bool separator = false;
        while (FPos < FText.size()) {
            char c = FText[FPos];
            if (digit(c))
                t.Text += c;
            else if ((c == FSep || c == '.') && !separator && FPos + 1 < FText.size() &&
                     digit(FText[FPos + 1])) {
                separator = true;
                t.Text += '.';
            } else
                break;
            ++FPos;
        }
        if (FPos < FText.size() && (FText[FPos] == 'e' || FText[FPos] == 'E')) {
            size_t at = FPos + 1;
            if (at < FText.size() && (FText[at] == '+' || FText[at] == '-')) ++at;
            if (at < FText.size() && digit(FText[at])) {
                t.Text += 'E';
                t.Text.append(FText.substr(FPos + 1, at - FPos - 1));
                FPos = at;
                while (FPos < FText.size() && digit(FText[FPos]))
                    t.Text += FText[FPos++];
            }
        }
        if (FPos < FText.size() && nameChar(static_cast<unsigned char>(FText[FPos]))) {
            size_t start = FPos;
            while (start > 0 && !std::isspace(static_cast<unsigned char>(FText[start - 1])) &&
                   FText[start - 1] != '=' && FText[start - 1] != '<' && FText[start - 1] != '>')
                --start;
            fail(Format("Invalid number '%s' in expression",
                        {FText.substr(start, FPos + 1 - start)}));
        }
        return t;
    }

    std::string_view FText;
    char FSep;
    size_t FPos = 0;
};

using Family = DSFamily;

// One side of a comparison as parsed, before the other side is known.
struct Operand {
    enum Kind { kField, kNumber, kText, kNull, kBool } K = kNull;
    int FieldNo = -1;
    std::string Text; // Number: digits with "." and an optional "-"
    bool BoolValue = false;
};

// h[:n[:s[.zzz]]] with the settings' time separator.
bool tryTime(std::string_view s, const TFormatSettings& settings, TDateTime& out) {
    int parts[3] = {0, 0, 0};
    int count = 0, ms = 0;
    size_t i = 0;
    while (count < 3) {
        size_t start = i;
        int value = 0;
        while (i < s.size() && digit(s[i]) && i - start < 2)
            value = value * 10 + (s[i++] - '0');
        if (i == start) return false;
        parts[count++] = value;
        if (i < s.size() && s[i] == settings.TimeSeparator) {
            ++i;
            continue;
        }
        break;
    }
    if (count >= 3 && i < s.size() && s[i] == '.') {
        size_t start = ++i;
        while (i < s.size() && digit(s[i]) && i - start < 3)
            ms = ms * 10 + (s[i++] - '0');
        if (i == start) return false;
        for (size_t d = i - start; d < 3; ++d)
            ms *= 10;
    }
    if (i != s.size() || parts[0] > 23 || parts[1] > 59 || parts[2] > 59) return false;
    out = EncodeTime(parts[0], parts[1], parts[2], ms);
    return true;
}

// A text constant read as a value of a date, time or date-and-time field.
Variant momentOf(DSType type, const std::string& text, const TFormatSettings& settings) {
    std::string s = Trim(text);
    TDateTime date, time;
    if (type == DSType::Time) {
        if (!tryTime(s, settings, time)) typeMismatch();
        return Variant(time);
    }
    size_t blank = s.find(' ');
    std::string datePart = blank == std::string::npos ? s : s.substr(0, blank);
    if (!TryStrToDate(datePart, date, settings)) typeMismatch();
    if (blank == std::string::npos) return Variant(date);
    if (type != DSType::DateTime || !tryTime(Trim(s.substr(blank + 1)), settings, time))
        typeMismatch();
    // Days before 1899 count their time forward from midnight too.
    double v = date.Val() < 0 ? date.Val() - time.Val() : date.Val() + time.Val();
    return Variant(TDateTime(v));
}

Variant numberValue(const std::string& digits) {
    TBcd bcd;
    if (digits.find('E') == std::string::npos && TryStrToBcd(digits, bcd, '.')) return Variant(bcd);
    // Beyond 18 digits only a floating comparison is possible.
    return Variant(std::strtod(digits.c_str(), nullptr));
}

class Parser {
public:
    Parser(std::string_view text, const TDSRecordLayout& layout, const TFilterOptions& options,
           const TFormatSettings& settings)
        : FLexer(text, settings.DecimalSeparator), FLayout(layout), FOptions(options),
          FSettings(settings) {
        advance();
    }

    DSExprPtr parse() {
        DSExprPtr e = orExpr();
        if (FTok.Kind == Tok::RParen) malformed();
        if (FTok.Kind != Tok::End) malformed();
        return e;
    }

private:
    // The tree is as deep as the operators and brackets that build it, at
    // most, and compiling, evaluating and freeing it all recurse: a bound on
    // them keeps a hostile text from exhausting the stack.
    static constexpr int kMaxOperators = 1000;
    void countOperator() {
        if (++FOperators > kMaxOperators) fail("Filter expression too complex");
    }

    void advance() { FTok = FLexer.nextToken(); }
    bool keyword(const char* word) const {
        return FTok.Kind == Tok::Name && SameText(FTok.Text, word);
    }
    static DSExprPtr node(DSExpr::Kind kind) {
        auto e = std::make_unique<DSExpr>();
        e->kind = kind;
        return e;
    }
    static DSExprPtr binary(DSExpr::Kind kind, DSExprPtr a, DSExprPtr b) {
        DSExprPtr e = node(kind);
        e->Children.push_back(std::move(a));
        e->Children.push_back(std::move(b));
        return e;
    }

    DSExprPtr orExpr() {
        DSExprPtr e = andExpr();
        while (keyword("or")) {
            countOperator();
            advance();
            e = binary(DSExpr::Or, std::move(e), andExpr());
        }
        return e;
    }

    DSExprPtr andExpr() {
        DSExprPtr e = notExpr();
        while (keyword("and")) {
            countOperator();
            advance();
            e = binary(DSExpr::And, std::move(e), notExpr());
        }
        return e;
    }

    DSExprPtr notExpr() {
        if (!keyword("not")) return primary();
        countOperator();
        advance();
        DSExprPtr e = node(DSExpr::Not);
        e->Children.push_back(notExpr());
        return e;
    }

    DSExprPtr primary() {
        if (FTok.Kind == Tok::LParen) {
            countOperator();
            advance();
            DSExprPtr e = orExpr();
            if (FTok.Kind != Tok::RParen) fail("')' expected");
            advance();
            return e;
        }
        Operand left = readOperand();
        if (keyword("is")) return isNull(left);
        DSExpr::Kind op;
        switch (FTok.Kind) {
        case Tok::Eq:
            op = DSExpr::Eq;
            break;
        case Tok::Ne:
            op = DSExpr::Ne;
            break;
        case Tok::Lt:
            op = DSExpr::Lt;
            break;
        case Tok::Le:
            op = DSExpr::Le;
            break;
        case Tok::Gt:
            op = DSExpr::Gt;
            break;
        case Tok::Ge:
            op = DSExpr::Ge;
            break;
        default:
            return alone(left);
        }
        advance();
        Operand right = readOperand();
        return comparison(op, left, right);
    }

    Operand readOperand() {
        Operand o;
        switch (FTok.Kind) {
        case Tok::Quoted:
            o = fieldNamed(FTok.Text, true);
            break;
        case Tok::Name:
            if (keyword("and") || keyword("or") || keyword("not") || keyword("is")) malformed();
            o = fieldNamed(FTok.Text, false);
            break;
        case Tok::Text:
            o.K = Operand::kText;
            o.Text = FTok.Text;
            break;
        case Tok::Minus:
        case Tok::Plus: {
            bool negative = FTok.Kind == Tok::Minus;
            advance();
            if (FTok.Kind != Tok::Number) malformed();
            o.K = Operand::kNumber;
            o.Text = (negative ? "-" : "") + FTok.Text;
            break;
        }
        case Tok::Number:
            o.K = Operand::kNumber;
            o.Text = FTok.Text;
            break;
        case Tok::End:
            malformed();
        default:
            malformed();
        }
        advance();
        return o;
    }

    Operand fieldNamed(const std::string& name, bool bracketed) {
        Operand o;
        int index = FLayout.FieldIndex(name);
        if (index >= 0) {
            o.K = Operand::kField;
            o.FieldNo = index;
            return o;
        }
        if (!bracketed && SameText(name, "null")) return o;
        if (!bracketed && (SameText(name, "true") || SameText(name, "false"))) {
            o.K = Operand::kBool;
            o.BoolValue = SameText(name, "true");
            return o;
        }
        fail(Format("Field '%s' not found", {name}));
    }

    DSExprPtr fieldNode(int fieldNo) {
        DSExprPtr e = node(DSExpr::Field);
        e->FieldNo = fieldNo;
        return e;
    }

    DSExprPtr isNull(const Operand& left) {
        advance();
        bool negated = keyword("not");
        if (negated) advance();
        if (!keyword("null")) malformed();
        advance();
        if (left.K != Operand::kField) malformed();
        DSExprPtr e = node(DSExpr::IsNull);
        e->Children.push_back(fieldNode(left.FieldNo));
        if (!negated) return e;
        DSExprPtr n = node(DSExpr::Not);
        n->Children.push_back(std::move(e));
        return n;
    }

    DSExprPtr alone(const Operand& o) {
        if (o.K == Operand::kBool) {
            DSExprPtr e = node(DSExpr::Const);
            e->Value = Variant(o.BoolValue);
            return e;
        }
        if (o.K != Operand::kField) malformed();
        if (FLayout.Fields()[o.FieldNo].Type != DSType::Boolean) malformed();
        return fieldNode(o.FieldNo);
    }

    Family familyOf(const Operand& o) const {
        switch (o.K) {
        case Operand::kField:
            return DSFamilyOf(FLayout.Fields()[o.FieldNo].Type);
        case Operand::kNumber:
            return Family::Exact;
        case Operand::kText:
            return Family::Text;
        case Operand::kNull:
        case Operand::kBool:
            break;
        }
        return Family::Bool;
    }

    // A constant as the value a field of the given type compares with.
    Variant constantFor(const Operand& c, const DSFieldDesc* field) const {
        if (!field) {
            if (c.K == Operand::kNumber) return numberValue(c.Text);
            if (c.K == Operand::kBool) return Variant(c.BoolValue);
            return Variant(c.Text);
        }
        switch (DSFamilyOf(field->Type)) {
        case Family::Exact:
        case Family::Float:
            if (c.K != Operand::kNumber) typeMismatch();
            return numberValue(c.Text);
        case Family::Moment:
            if (c.K != Operand::kText) typeMismatch();
            return momentOf(field->Type, c.Text, FSettings);
        case Family::Text:
            if (c.K != Operand::kText) typeMismatch();
            return Variant(c.Text);
        case Family::Bool:
            if (c.K == Operand::kBool) return Variant(c.BoolValue);
            if (c.K == Operand::kText && (SameText(c.Text, "true") || SameText(c.Text, "false")))
                return Variant(SameText(c.Text, "true"));
            // Locate writes a boolean key as a number.
            if (c.K == Operand::kNumber && (c.Text == "0" || c.Text == "1"))
                return Variant(c.Text == "1");
            typeMismatch();
        }
        typeMismatch();
    }

    DSExprPtr comparison(DSExpr::Kind op, const Operand& a, const Operand& b) {
        // "= null" and "<> null" mean what users write them for.
        if (a.K == Operand::kNull || b.K == Operand::kNull) {
            const Operand& other = a.K == Operand::kNull ? b : a;
            if (other.K != Operand::kField || (op != DSExpr::Eq && op != DSExpr::Ne)) malformed();
            Operand f = other;
            DSExprPtr e = node(DSExpr::IsNull);
            e->Children.push_back(fieldNode(f.FieldNo));
            if (op == DSExpr::Eq) return e;
            DSExprPtr n = node(DSExpr::Not);
            n->Children.push_back(std::move(e));
            return n;
        }
        Family fa = familyOf(a), fb = familyOf(b);
        const bool fieldA = a.K == Operand::kField, fieldB = b.K == Operand::kField;
        if (fieldA && fieldB && fa != fb && !(DSNumericFamily(fa) && DSNumericFamily(fb)))
            typeMismatch();
        if (!fieldA && !fieldB && fa != fb) typeMismatch();

        auto side = [&](const Operand& o, const Operand& other) -> DSExprPtr {
            if (o.K == Operand::kField) return fieldNode(o.FieldNo);
            DSExprPtr e = node(DSExpr::Const);
            e->Value = constantFor(o, other.K == Operand::kField ? &FLayout.Fields()[other.FieldNo]
                                                                 : nullptr);
            return e;
        };
        // A text constant ending in "*" under partial compare matches as a prefix.
        const Operand* field = fieldA ? &a : fieldB ? &b : nullptr;
        const Operand* text = a.K == Operand::kText ? &a : b.K == Operand::kText ? &b : nullptr;
        if (FOptions.PartialCompare && field && text && (op == DSExpr::Eq || op == DSExpr::Ne) &&
            FLayout.Fields()[field->FieldNo].Type == DSType::String && !text->Text.empty() &&
            text->Text.back() == '*') {
            DSExprPtr prefix = node(DSExpr::Const);
            prefix->Value = Variant(text->Text.substr(0, text->Text.size() - 1));
            DSExprPtr like = binary(DSExpr::Like, fieldNode(field->FieldNo), std::move(prefix));
            like->CaseInsensitive = FOptions.CaseInsensitive;
            if (op == DSExpr::Eq) return like;
            DSExprPtr n = node(DSExpr::Not);
            n->Children.push_back(std::move(like));
            return n;
        }
        DSExprPtr e = binary(op, side(a, b), side(b, a));
        e->CaseInsensitive = FOptions.CaseInsensitive;
        return e;
    }

    Lexer FLexer;
    Token FTok;
    int FOperators = 0;
    const TDSRecordLayout& FLayout;
    const TFilterOptions& FOptions;
    const TFormatSettings& FSettings;
};

} // namespace

DSExprPtr CompileFilterExpression(std::string_view text, const TDSRecordLayout& layout,
                                  const TFilterOptions& options, const TFormatSettings& settings) {
    if (Trim(text).empty()) return nullptr;
    return Parser(text, layout, options, settings).parse();
}
