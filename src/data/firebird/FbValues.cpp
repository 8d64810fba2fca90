#include "data/firebird/FbValues.h"

#include "data/firebird/FbCharset.h"

#include <cmath>
#include <cstring>

namespace fb {

namespace {

constexpr ISC_DATE dayZeroOffset = 15018;   // 30 Dec 1899 as days since 17 Nov 1858
constexpr double ticksPerDay = 864000000.0; // 1/10000 s

template <class T> T load(const ISC_SCHAR* p) {
    T value;
    std::memcpy(&value, p, sizeof value);
    return value;
}

int64_t pow10(int n) {
    int64_t r = 1;
    while (n-- > 0)
        r *= 10;
    return r;
}

// Cuts a CHAR value at its declared number of characters: in a multi-byte
// set the server pads to the byte length, four blanks per character in UTF8.
void cutToCharacters(std::string& s, size_t characters) {
    size_t count = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        if ((static_cast<unsigned char>(s[i]) & 0xC0) == 0x80) continue;
        if (count++ == characters) {
            s.resize(i);
            return;
        }
    }
}

} // namespace

int TextCharset(const XSQLVAR& var) {
    int type = var.sqltype & ~1;
    if (type == SQL_BLOB) return var.sqlscale & 0xFF;
    return var.sqlsubtype & 0xFF;
}

TDBXColumn DescribeColumn(const XSQLVAR& var) {
    TDBXColumn c;
    c.Name.assign(var.aliasname, static_cast<size_t>(var.aliasname_length));
    if (c.Name.empty()) c.Name.assign(var.sqlname, static_cast<size_t>(var.sqlname_length));
    c.Nullable = (var.sqltype & 1) != 0;
    c.Length = var.sqllen;
    int type = var.sqltype & ~1;
    auto exact = [&](TDBXType integer, int digits) {
        if (var.sqlscale < 0) {
            c.Type = TDBXType::FmtBcd;
            c.Precision = digits;
            c.Scale = -var.sqlscale;
        } else {
            c.Type = integer;
            c.Precision = digits;
        }
    };
    switch (type) {
    case SQL_SHORT:
        exact(TDBXType::Int16, 4);
        break;
    case SQL_LONG:
        exact(TDBXType::Int32, 9);
        break;
    case SQL_INT64:
        exact(TDBXType::Int64, 18);
        break;
    case SQL_FLOAT:
    case SQL_DOUBLE:
    case SQL_D_FLOAT:
        // Dialect 1 keeps NUMERIC(15,4) in a double with its scale.
        if (var.sqlscale < 0)
            exact(TDBXType::Float, 15);
        else
            c.Type = TDBXType::Float;
        break;
    case SQL_TYPE_DATE:
        c.Type = TDBXType::Date;
        break;
    case SQL_TYPE_TIME:
        c.Type = TDBXType::Time;
        break;
    case SQL_TIMESTAMP:
        c.Type = TDBXType::TimeStamp;
        break;
    case SQL_TEXT:
    case SQL_VARYING:
        c.Type = TDBXType::ZString;
        c.Precision = var.sqllen / BytesPerChar(TextCharset(var));
        break;
    case SQL_BLOB:
        c.Type = TDBXType::Blob;
        break;
    case SQL_BOOLEAN:
        c.Type = TDBXType::Boolean;
        break;
    default:
        c.Type = TDBXType::Unknown;
        break;
    }
    return c;
}

void SplitDateTime(TDateTime dt, ISC_DATE& date, ISC_TIME& time) {
    double v = dt.Val();
    double days = std::trunc(v);
    auto ticks = static_cast<int64_t>(std::llround(std::fabs(v - days) * ticksPerDay));
    auto whole = static_cast<int64_t>(days);
    if (ticks >= static_cast<int64_t>(ticksPerDay)) {
        ticks = 0;
        ++whole; // rounded up to midnight: the next calendar day
    }
    date = static_cast<ISC_DATE>(whole + dayZeroOffset);
    time = static_cast<ISC_TIME>(ticks);
}

TDateTime JoinDateTime(ISC_DATE date, ISC_TIME time) {
    double days = static_cast<double>(date - dayZeroOffset);
    double fraction = static_cast<double>(time) / ticksPerDay;
    return TDateTime(days >= 0 ? days + fraction : days - fraction);
}

bool ReadScalar(const XSQLVAR& var, bool trimChar, TDBXValue& value) {
    int type = var.sqltype & ~1;
    value.IsNull = (var.sqltype & 1) && *var.sqlind < 0;
    auto integer = [&](TDBXType plain, int64_t raw) {
        if (var.sqlscale < 0) {
            value.Type = TDBXType::FmtBcd;
            value.Scale = -var.sqlscale;
        } else {
            value.Type = plain;
            value.Scale = 0;
            raw *= pow10(var.sqlscale);
        }
        value.Int = raw;
    };
    const ISC_SCHAR* p = var.sqldata;
    switch (type) {
    case SQL_SHORT:
        integer(TDBXType::Int16, value.IsNull ? 0 : load<int16_t>(p));
        return true;
    case SQL_LONG:
        integer(TDBXType::Int32, value.IsNull ? 0 : load<int32_t>(p));
        return true;
    case SQL_INT64:
        integer(TDBXType::Int64, value.IsNull ? 0 : load<int64_t>(p));
        return true;
    case SQL_FLOAT:
    case SQL_DOUBLE:
    case SQL_D_FLOAT: {
        double d = value.IsNull ? 0 : type == SQL_FLOAT ? load<float>(p) : load<double>(p);
        if (var.sqlscale < 0) {
            value.Type = TDBXType::FmtBcd;
            value.Scale = -var.sqlscale;
            value.Int = std::llround(d * static_cast<double>(pow10(value.Scale)));
        } else {
            value.Type = TDBXType::Float;
            value.Float = d;
        }
        return true;
    }
    case SQL_TYPE_DATE:
        value.Type = TDBXType::Date;
        value.DateTime = value.IsNull ? TDateTime() : JoinDateTime(load<ISC_DATE>(p), 0);
        return true;
    case SQL_TYPE_TIME:
        value.Type = TDBXType::Time;
        value.DateTime =
            value.IsNull ? TDateTime() : JoinDateTime(dayZeroOffset, load<ISC_TIME>(p));
        return true;
    case SQL_TIMESTAMP:
        value.Type = TDBXType::TimeStamp;
        value.DateTime =
            value.IsNull ? TDateTime() : JoinDateTime(load<ISC_DATE>(p), load<ISC_TIME>(p + 4));
        return true;
    case SQL_BOOLEAN:
        value.Type = TDBXType::Boolean;
        value.Int = value.IsNull ? 0 : (*p != 0);
        return true;
    case SQL_TEXT:
    case SQL_VARYING: {
        value.Type = TDBXType::ZString;
        if (value.IsNull) {
            value.Text.clear();
            return true;
        }
        std::string_view bytes;
        if (type == SQL_VARYING)
            bytes = std::string_view(p + sizeof(ISC_USHORT), load<ISC_USHORT>(p));
        else
            bytes = std::string_view(p, static_cast<size_t>(var.sqllen));
        int charset = TextCharset(var);
        DecodeText(charset, bytes, value.Text);
        if (type == SQL_TEXT) {
            if (trimChar) {
                size_t end = value.Text.find_last_not_of(' ');
                value.Text.resize(end == std::string::npos ? 0 : end + 1);
            } else if (BytesPerChar(charset) > 1) {
                cutToCharacters(value.Text, var.sqllen / BytesPerChar(charset));
            }
        }
        return true;
    }
    default:
        return false;
    }
}

} // namespace fb
