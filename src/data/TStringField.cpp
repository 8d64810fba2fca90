#include "data/TStringField.h"

#include "data/DBErrors.h"
#include "data/FieldValues.h"
#include "data/TDataSet.h"
#include "data/TNumericFields.h"
#include "platform/SysUtils.h"

TStringField::TStringField(TComponent* owner) : TField(owner, ftString, taLeftJustify) {}

std::string TStringField::GetText(bool) const {
    return GetAsString();
}
void TStringField::SetTextValue(std::string_view text) {
    SetAsStringValue(text);
}

Variant TStringField::GetAsVariant() const {
    Variant v = GetData();
    if (v.IsNull()) return v;
    return Variant(GetAsString());
}

void TStringField::SetVarValue(const Variant& v) {
    switch (v.Type()) {
    case TVarType::Unassigned:
    case TVarType::Null:
        return Clear();
    case TVarType::String:
        return SetAsStringValue(v.Get<std::string>());
    case TVarType::Boolean:
        return SetAsBooleanValue(v.Get<bool>());
    case TVarType::Integer:
        return SetAsLargeIntValue(v.Get<int32_t>());
    case TVarType::LargeInt:
        return SetAsLargeIntValue(v.Get<int64_t>());
    case TVarType::Double:
        return SetAsFloatValue(v.Get<double>());
    case TVarType::Currency:
        return SetAsStringValue(
            BcdToStr(BcdFromCurrency(v.Get<Currency>()), FormatSettings.DecimalSeparator));
    case TVarType::Bcd:
        return SetAsStringValue(BcdToStr(v.Get<TBcd>(), FormatSettings.DecimalSeparator));
    case TVarType::Date:
        return SetAsDateTimeValue(v.Get<TDateTime>());
    }
}

std::string TStringField::GetAsString() const {
    Variant v = GetData();
    if (const std::string* s = v.GetIf<std::string>()) return *s;
    return {};
}

void TStringField::SetAsStringValue(std::string_view v) {
    // Refused rather than cut: a silently shortened text is lost data.
    if (DataSet() && FieldNo() > 0) {
        int size = DataSet()->Layout().Fields()[FieldNo() - 1].Size;
        if (size > 0 && static_cast<int>(v.size()) > size)
            DatabaseError(Format("Value too long for field '%s'", {DisplayName()}));
    }
    SetData(Variant(std::string(v)));
}

int32_t TStringField::GetAsInteger() const {
    std::string s = Trim(GetAsString());
    return s.empty() ? 0 : StrToInt(s);
}
void TStringField::SetAsIntegerValue(int32_t v) {
    SetAsStringValue(IntToStr(v));
}
int64_t TStringField::GetAsLargeInt() const {
    std::string s = Trim(GetAsString());
    return s.empty() ? 0 : StrToInt64(s);
}
void TStringField::SetAsLargeIntValue(int64_t v) {
    SetAsStringValue(IntToStr(v));
}

double TStringField::GetAsFloat() const {
    std::string s = Trim(GetAsString());
    if (s.empty()) return 0;
    double d;
    if (!fieldvalues::TryTextToDouble(s, FormatSettings.DecimalSeparator, d))
        throw EConvertError(Format("'%s' is not a valid floating point value", {s}));
    return d;
}
void TStringField::SetAsFloatValue(double v) {
    SetAsStringValue(FloatToGeneralText(v, 15, FormatSettings.DecimalSeparator));
}

TDateTime TStringField::GetAsDateTime() const {
    std::string s = Trim(GetAsString());
    if (s.empty()) return TDateTime(0);
    return StrToDate(s);
}
void TStringField::SetAsDateTimeValue(TDateTime v) {
    std::string s = DateToStr(v);
    if (v.TimePart() != 0) s += " " + TimeToStr(v);
    SetAsStringValue(s);
}

bool TStringField::GetAsBoolean() const {
    std::string s = UpperCase(Trim(GetAsString()));
    return s == "TRUE" || s == "T" || s == "Y" || s == "YES" || s == "1";
}
void TStringField::SetAsBooleanValue(bool v) {
    SetAsStringValue(v ? "True" : "False");
}
