#include "data/TBooleanField.h"

#include "data/DBErrors.h"
#include "data/FieldValues.h"
#include "platform/SysUtils.h"

TBooleanField::TBooleanField(TComponent* owner) : TField(owner, ftBoolean, taLeftJustify) {}

std::string TBooleanField::GetText(bool) const {
    if (IsNull()) return {};
    return GetAsBoolean() ? "True" : "False";
}

void TBooleanField::SetTextValue(std::string_view text) {
    std::string s = UpperCase(Trim(text));
    if (s == "TRUE" || s == "T" || s == "Y" || s == "YES" || s == "1")
        return SetAsBooleanValue(true);
    if (s == "FALSE" || s == "F" || s == "N" || s == "NO" || s == "0")
        return SetAsBooleanValue(false);
    throw EConvertError(Format("'%s' is not a valid boolean value", {Trim(text)}));
}

Variant TBooleanField::GetAsVariant() const {
    if (IsNull()) return Variant(Null{});
    return Variant(GetAsBoolean());
}

void TBooleanField::SetVarValue(const Variant& v) {
    if (v.IsEmpty()) return Clear();
    if (v.Type() == TVarType::String) return SetAsStringValue(v.Get<std::string>());
    int64_t i;
    if (!fieldvalues::ToInt64(v, i)) AccessError("Boolean");
    SetAsBooleanValue(i != 0);
}

std::string TBooleanField::GetAsString() const {
    return GetText(false);
}
void TBooleanField::SetAsStringValue(std::string_view v) {
    SetText(v);
}

bool TBooleanField::GetAsBoolean() const {
    Variant v = GetData();
    if (v.IsNull()) return false;
    int64_t i;
    if (!fieldvalues::ToInt64(v, i)) AccessError("Boolean");
    return i != 0;
}

void TBooleanField::SetAsBooleanValue(bool v) {
    if (columnType() == DSType::Boolean)
        SetData(Variant(v));
    else
        SetData(Variant(static_cast<int32_t>(v ? 1 : 0)));
}

int32_t TBooleanField::GetAsInteger() const {
    return GetAsBoolean() ? 1 : 0;
}
void TBooleanField::SetAsIntegerValue(int32_t v) {
    SetAsBooleanValue(v != 0);
}
