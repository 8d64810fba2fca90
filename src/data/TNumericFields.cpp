#include "data/TNumericFields.h"

#include "data/DBErrors.h"
#include "data/FieldValues.h"
#include "data/TDataSet.h"
#include "platform/DateUtils.h"
#include "platform/SysUtils.h"

#include <charconv>
#include <cmath>
#include <limits>

using namespace fieldvalues;

// ---- general number text ----------------------------------------------------

// digits: the significant digits (no leading zeros); point: how many of them
// stand before the decimal point (may be <= 0 or beyond the digits).
static std::string formatGeneral(bool negative, std::string digits, int point, int precision,
                                 char sep) {
    if (precision <= 0 || precision > 18) precision = 15;
    if (static_cast<int>(digits.size()) > precision) {
        bool up = digits[precision] >= '5';
        digits.resize(precision);
        if (up) {
            int i = precision - 1;
            while (i >= 0 && digits[i] == '9')
                digits[i--] = '0';
            if (i < 0) {
                digits.insert(digits.begin(), '1');
                digits.pop_back();
                ++point;
            } else {
                ++digits[i];
            }
        }
    }
    while (!digits.empty() && digits.back() == '0')
        digits.pop_back();
    if (digits.empty()) return "0";
    std::string out = negative ? "-" : "";
    if (point > precision || point < -3) {
        out += digits[0];
        if (digits.size() > 1) {
            out += sep;
            out.append(digits, 1, std::string::npos);
        }
        out += 'E';
        out += std::to_string(point - 1);
        return out;
    }
    if (point <= 0) {
        out += '0';
        out += sep;
        out.append(static_cast<size_t>(-point), '0');
        out += digits;
    } else if (point >= static_cast<int>(digits.size())) {
        out += digits;
        out.append(point - digits.size(), '0');
    } else {
        out.append(digits, 0, point);
        out += sep;
        out.append(digits, point, std::string::npos);
    }
    return out;
}

std::string FloatToGeneralText(double value, int digits, char sep) {
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value > 0 ? "INF" : "-INF";
    if (value == 0) return "0";
    if (digits <= 0 || digits > 18) digits = 15;
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific,
                           digits - 1);
    std::string s(buf, r.ptr);
    size_t e = s.find('e');
    std::string mant = s.substr(0, e);
    int exp10 = std::stoi(s.substr(e + 1));
    std::string ds;
    for (char c : mant)
        if (c != '.') ds += c;
    return formatGeneral(value < 0, ds, exp10 + 1, digits, sep);
}

std::string BcdToGeneralText(const TBcd& value, int digits, char sep) {
    if (value.Value == 0) return "0";
    uint64_t mag = value.Value < 0 ? static_cast<uint64_t>(-(value.Value + 1)) + 1
                                   : static_cast<uint64_t>(value.Value);
    std::string ds = std::to_string(mag);
    int point = static_cast<int>(ds.size()) - value.Scale;
    return formatGeneral(value.Value < 0, ds, point, digits, sep);
}

// ---- TNumericField ------------------------------------------------------------

TNumericField::TNumericField(TComponent* owner, TFieldType dataType)
    : TField(owner, dataType, taRightJustify) {}

bool TNumericField::IsValidChar(char32_t ch) const {
    return (ch >= U'0' && ch <= U'9') || ch == U'+' || ch == U'-';
}

static bool isDecimalChar(char32_t ch) {
    return ch == static_cast<char32_t>(static_cast<unsigned char>(FormatSettings.DecimalSeparator));
}

// ---- TIntegerField -------------------------------------------------------------

TIntegerField::TIntegerField(TComponent* owner)
    : TIntegerField(owner, ftInteger, std::numeric_limits<int32_t>::min(),
                    std::numeric_limits<int32_t>::max()) {}

TIntegerField::TIntegerField(TComponent* owner, TFieldType dataType, int64_t minValue,
                             int64_t maxValue)
    : TNumericField(owner, dataType), FMinValue(minValue), FMaxValue(maxValue) {}

TSmallintField::TSmallintField(TComponent* owner)
    : TIntegerField(owner, ftSmallint, -32768, 32767) {}

TLargeintField::TLargeintField(TComponent* owner)
    : TIntegerField(owner, ftLargeint, std::numeric_limits<int64_t>::min(),
                    std::numeric_limits<int64_t>::max()) {}

std::string TIntegerField::GetText(bool) const {
    Variant v = GetData();
    if (v.IsNull()) return {};
    return IntToStr(GetAsLargeInt());
}

void TIntegerField::SetTextValue(std::string_view text) {
    SetAsLargeIntValue(StrToInt64(Trim(text)));
}

Variant TIntegerField::GetAsVariant() const {
    Variant v = GetData();
    if (v.IsNull()) return v;
    if (DataType() == ftLargeint) return Variant(GetAsLargeInt());
    return Variant(GetAsInteger());
}

void TIntegerField::SetVarValue(const Variant& v) {
    if (v.IsEmpty()) return Clear();
    if (v.Type() == TVarType::String) return SetAsStringValue(v.Get<std::string>());
    int64_t i;
    if (!ToInt64(v, i)) AccessError("Integer");
    SetAsLargeIntValue(i);
}

std::string TIntegerField::GetAsString() const {
    return GetText(false);
}
void TIntegerField::SetAsStringValue(std::string_view v) {
    SetText(v);
}

int32_t TIntegerField::GetAsInteger() const {
    int64_t v = GetAsLargeInt();
    if (v < std::numeric_limits<int32_t>::min() || v > std::numeric_limits<int32_t>::max())
        AccessError("Integer");
    return static_cast<int32_t>(v);
}

void TIntegerField::SetAsIntegerValue(int32_t v) {
    SetAsLargeIntValue(v);
}

int64_t TIntegerField::GetAsLargeInt() const {
    Variant v = GetData();
    int64_t i = 0;
    if (v.IsNull()) return 0;
    if (!ToInt64(v, i)) AccessError("LargeInt");
    return i;
}

void TIntegerField::SetAsLargeIntValue(int64_t v) {
    if (v < FMinValue || v > FMaxValue)
        DatabaseError(
            Format("%s is not a valid value for field '%s'. The allowed range is %s to %s",
                   {IntToStr(v), DisplayName(), IntToStr(FMinValue), IntToStr(FMaxValue)}));
    DSType t = columnType();
    if (t == DSType::Int64)
        SetData(Variant(v));
    else if (t == DSType::Double)
        SetData(Variant(static_cast<double>(v)));
    else if (t == DSType::Bcd)
        SetData(Variant(TBcd{v, 0}));
    else if (t == DSType::Currency)
        SetData(Variant(CurrencyFromBcd(TBcd{v, 0})));
    else if (v < std::numeric_limits<int32_t>::min() || v > std::numeric_limits<int32_t>::max())
        DatabaseError(
            Format("%s is not a valid value for field '%s'. The allowed range is %s to %s",
                   {IntToStr(v), DisplayName(), "-2147483648", "2147483647"}));
    else
        SetData(Variant(static_cast<int32_t>(v)));
}

double TIntegerField::GetAsFloat() const {
    return static_cast<double>(GetAsLargeInt());
}
void TIntegerField::SetAsFloatValue(double v) {
    if (!(v >= -9.2e18 && v <= 9.2e18)) AccessError("Float");
    SetAsLargeIntValue(static_cast<int64_t>(std::llround(v)));
}
Currency TIntegerField::GetAsCurrency() const {
    return CurrencyFromBcd(TBcd{GetAsLargeInt(), 0});
}
void TIntegerField::SetAsCurrencyValue(Currency v) {
    SetAsLargeIntValue(RoundBcd(BcdFromCurrency(v), 0).Value);
}
TBcd TIntegerField::GetAsBCD() const {
    return TBcd{GetAsLargeInt(), 0};
}
void TIntegerField::SetAsBCDValue(const TBcd& v) {
    SetAsLargeIntValue(RoundBcd(v, 0).Value);
}
bool TIntegerField::GetAsBoolean() const {
    return GetAsLargeInt() != 0;
}
void TIntegerField::SetAsBooleanValue(bool v) {
    SetAsLargeIntValue(v ? 1 : 0);
}

// ---- TFloatField ------------------------------------------------------------------

TFloatField::TFloatField(TComponent* owner) : TNumericField(owner, ftFloat) {}

bool TFloatField::IsValidChar(char32_t ch) const {
    return TNumericField::IsValidChar(ch) || isDecimalChar(ch) || ch == U'E' || ch == U'e';
}

std::string TFloatField::GetText(bool) const {
    Variant v = GetData();
    if (v.IsNull()) return {};
    return FloatToGeneralText(GetAsFloat(), FPrecision, FormatSettings.DecimalSeparator);
}

void TFloatField::SetTextValue(std::string_view text) {
    double d;
    std::string t = Trim(text);
    if (!TryTextToDouble(t, FormatSettings.DecimalSeparator, d))
        throw EConvertError(Format("'%s' is not a valid floating point value", {t}));
    SetAsFloatValue(d);
}

Variant TFloatField::GetAsVariant() const {
    Variant v = GetData();
    if (v.IsNull()) return v;
    return Variant(GetAsFloat());
}

void TFloatField::SetVarValue(const Variant& v) {
    if (v.IsEmpty()) return Clear();
    if (v.Type() == TVarType::String) return SetAsStringValue(v.Get<std::string>());
    if (v.Type() == TVarType::Currency) return SetAsCurrencyValue(v.Get<Currency>());
    if (v.Type() == TVarType::Bcd) return SetAsBCDValue(v.Get<TBcd>());
    double d;
    if (!ToDouble(v, d)) AccessError("Float");
    SetAsFloatValue(d);
}

std::string TFloatField::GetAsString() const {
    return GetText(false);
}
void TFloatField::SetAsStringValue(std::string_view v) {
    SetText(v);
}
int32_t TFloatField::GetAsInteger() const {
    double d = std::round(GetAsFloat());
    if (!(d >= std::numeric_limits<int32_t>::min() && d <= std::numeric_limits<int32_t>::max()))
        AccessError("Integer");
    return static_cast<int32_t>(d);
}
void TFloatField::SetAsIntegerValue(int32_t v) {
    SetAsFloatValue(v);
}
int64_t TFloatField::GetAsLargeInt() const {
    double d = std::round(GetAsFloat());
    if (!(d >= -9.2e18 && d <= 9.2e18)) AccessError("LargeInt");
    return static_cast<int64_t>(d);
}
void TFloatField::SetAsLargeIntValue(int64_t v) {
    SetAsFloatValue(static_cast<double>(v));
}

double TFloatField::GetAsFloat() const {
    Variant v = GetData();
    double d = 0;
    if (v.IsNull()) return 0;
    if (!ToDouble(v, d)) AccessError("Float");
    return d;
}

void TFloatField::SetAsFloatValue(double v) {
    if (!std::isfinite(v)) DatabaseError(Format("Invalid value for field '%s'", {DisplayName()}));
    DSType t = columnType();
    if (t == DSType::Currency || t == DSType::Bcd) {
        TBcd b;
        if (!DoubleToBcd(v, 4, b)) throw EConvertError("BCD overflow");
        if (t == DSType::Currency)
            SetData(Variant(CurrencyFromBcd(b)));
        else
            SetData(Variant(b));
        return;
    }
    SetData(Variant(v));
}

Currency TFloatField::GetAsCurrency() const {
    Variant v = GetData();
    if (v.IsNull()) return Currency{};
    if (v.Type() == TVarType::Currency) return v.Get<Currency>();
    TBcd b;
    if (!ToBcd(v, b)) AccessError("Currency");
    return CurrencyFromBcd(b);
}

void TFloatField::SetAsCurrencyValue(Currency v) {
    DSType t = columnType();
    if (t == DSType::Currency)
        SetData(Variant(v));
    else if (t == DSType::Bcd)
        SetData(Variant(BcdFromCurrency(v)));
    else
        SetData(Variant(static_cast<double>(v.Units) / 10000.0));
}

TBcd TFloatField::GetAsBCD() const {
    Variant v = GetData();
    TBcd b;
    if (v.IsNull()) return b;
    if (!ToBcd(v, b)) AccessError("BCD");
    return b;
}

void TFloatField::SetAsBCDValue(const TBcd& v) {
    DSType t = columnType();
    if (t == DSType::Currency)
        SetData(Variant(CurrencyFromBcd(v)));
    else if (t == DSType::Bcd)
        SetData(Variant(v));
    else
        SetData(Variant(BcdToDouble(v)));
}

// ---- TBCDField ----------------------------------------------------------------------

TBCDField::TBCDField(TComponent* owner) : TBCDField(owner, ftBCD) {}
TBCDField::TBCDField(TComponent* owner, TFieldType dataType) : TNumericField(owner, dataType) {
    SetSize(4);
}
TFMTBCDField::TFMTBCDField(TComponent* owner) : TBCDField(owner, ftFMTBcd) {}
TCurrencyField::TCurrencyField(TComponent* owner) : TBCDField(owner, ftCurrency) {}

bool TBCDField::IsValidChar(char32_t ch) const {
    return TNumericField::IsValidChar(ch) || isDecimalChar(ch);
}

TBcd TBCDField::fitted(const TBcd& v) const {
    TBcd b = RoundBcd(v, Size());
    if (FPrecision > 0 && IntegerDigits(b) > FPrecision - Size())
        throw EConvertError("BCD overflow");
    return b;
}

std::string TBCDField::GetText(bool displayText) const {
    Variant v = GetData();
    if (v.IsNull()) return {};
    TBcd b = GetAsBCD();
    char sep = FormatSettings.DecimalSeparator;
    if (FPrecision > 0 && IntegerDigits(b) > FPrecision - Size()) {
        if (displayText) return "BCD overflow";
        return BcdToStr(b, sep);
    }
    if (displayText) return BcdToGeneralText(b, 15, sep);
    return BcdToStr(b, sep);
}

static TBcd parsedBcd(const std::string& t) {
    TBcd b;
    if (!TryStrToBcd(t, b, FormatSettings.DecimalSeparator))
        throw EConvertError(Format("%s is not a valid BCD value", {t}));
    return b;
}

// What a user typed is stored as typed or refused: rounding 0,12345 to the
// field's 0,1235 would write a factor nobody entered. Zeros beyond the
// field's decimals change nothing and are taken.
void TBCDField::SetTextValue(std::string_view text) {
    std::string t = Trim(text);
    TBcd b = parsedBcd(t);
    if (!(RoundBcd(b, Size()) == b))
        throw EConvertError(Format("%s is not a valid BCD value", {t}));
    SetAsBCDValue(b);
}

Variant TBCDField::GetAsVariant() const {
    Variant v = GetData();
    if (v.IsNull()) return v;
    if (DataType() == ftCurrency) return Variant(GetAsCurrency());
    return Variant(GetAsBCD());
}

void TBCDField::SetVarValue(const Variant& v) {
    if (v.IsEmpty()) return Clear();
    if (v.Type() == TVarType::String) return SetAsStringValue(v.Get<std::string>());
    TBcd b;
    if (!ToBcd(v, b)) AccessError("BCD");
    SetAsBCDValue(b);
}

std::string TBCDField::GetAsString() const {
    return GetText(false);
}
// A value given by the program is fitted to the field's decimals, as one
// given as a number is.
void TBCDField::SetAsStringValue(std::string_view v) {
    if (v.empty()) return Clear();
    SetAsBCDValue(parsedBcd(Trim(v)));
}

int32_t TBCDField::GetAsInteger() const {
    int64_t v = GetAsLargeInt();
    if (v < std::numeric_limits<int32_t>::min() || v > std::numeric_limits<int32_t>::max())
        AccessError("Integer");
    return static_cast<int32_t>(v);
}
void TBCDField::SetAsIntegerValue(int32_t v) {
    SetAsBCDValue(TBcd{v, 0});
}
int64_t TBCDField::GetAsLargeInt() const {
    return RoundBcd(GetAsBCD(), 0).Value;
}
void TBCDField::SetAsLargeIntValue(int64_t v) {
    SetAsBCDValue(TBcd{v, 0});
}
double TBCDField::GetAsFloat() const {
    return BcdToDouble(GetAsBCD());
}
void TBCDField::SetAsFloatValue(double v) {
    TBcd b;
    if (!DoubleToBcd(v, Size() > 0 ? Size() : 18, b)) throw EConvertError("BCD overflow");
    SetAsBCDValue(b);
}
Currency TBCDField::GetAsCurrency() const {
    return CurrencyFromBcd(GetAsBCD());
}
void TBCDField::SetAsCurrencyValue(Currency v) {
    SetAsBCDValue(BcdFromCurrency(v));
}

TBcd TBCDField::GetAsBCD() const {
    Variant v = GetData();
    TBcd b;
    if (v.IsNull()) return b;
    if (!ToBcd(v, b)) AccessError("BCD");
    return b;
}

void TBCDField::SetAsBCDValue(const TBcd& v) {
    TBcd b = fitted(v);
    switch (columnType()) {
    case DSType::Currency:
        SetData(Variant(CurrencyFromBcd(b)));
        break;
    case DSType::Double:
        SetData(Variant(BcdToDouble(b)));
        break;
    case DSType::Bcd: {
        // The column keeps its own scale; a value it cannot hold exactly is
        // rounded to it rather than refused.
        int scale = DataSet() && FieldNo() > 0 ? DataSet()->Layout().Fields()[FieldNo() - 1].Scale
                                               : b.Scale;
        SetData(Variant(RoundBcd(b, scale)));
        break;
    }
    default:
        SetData(Variant(b));
        break;
    }
}
