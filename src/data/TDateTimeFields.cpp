#include "data/TDateTimeFields.h"

#include "data/DBErrors.h"
#include "data/FieldValues.h"
#include "platform/SysUtils.h"

#include <cmath>

static std::string dateTimeText(TDateTime v) {
    std::string s = DateToStr(v);
    if (v.TimePart() != 0) s += " " + TimeToStr(v);
    return s;
}

TDateTimeField::TDateTimeField(TComponent* owner) : TDateTimeField(owner, ftDateTime) {}
TDateTimeField::TDateTimeField(TComponent* owner, TFieldType dataType)
    : TField(owner, dataType, taLeftJustify) {}
TDateField::TDateField(TComponent* owner) : TDateTimeField(owner, ftDate) {}
TTimeField::TTimeField(TComponent* owner) : TDateTimeField(owner, ftTime) {}
TSQLTimeStampField::TSQLTimeStampField(TComponent* owner) : TDateTimeField(owner, ftTimeStamp) {}

std::string TDateTimeField::GetText(bool) const {
    if (IsNull()) return {};
    return dateTimeText(GetAsDateTime());
}

void TDateTimeField::SetTextValue(std::string_view text) {
    std::string t = Trim(text);
    TDateTime d;
    if (TryStrToDateTime(t, d)) return SetAsDateTimeValue(d);
    throw EConvertError(Format("'%s' is not a valid date and time", {t}));
}

Variant TDateTimeField::GetAsVariant() const {
    if (IsNull()) return Variant(Null{});
    return Variant(GetAsDateTime());
}

void TDateTimeField::SetVarValue(const Variant& v) {
    if (v.IsEmpty()) return Clear();
    switch (v.Type()) {
    case TVarType::Date:
        return SetAsDateTimeValue(v.Get<TDateTime>());
    case TVarType::String:
        return SetAsStringValue(v.Get<std::string>());
    default: {
        double d;
        if (!fieldvalues::ToDouble(v, d)) AccessError("DateTime");
        SetAsDateTimeValue(TDateTime(d));
    }
    }
}

std::string TDateTimeField::GetAsString() const {
    return GetText(false);
}
void TDateTimeField::SetAsStringValue(std::string_view v) {
    SetText(v);
}
double TDateTimeField::GetAsFloat() const {
    return GetAsDateTime().Val();
}
void TDateTimeField::SetAsFloatValue(double v) {
    SetAsDateTimeValue(TDateTime(v));
}

TDateTime TDateTimeField::GetAsDateTime() const {
    Variant v = GetData();
    if (v.IsNull()) return TDateTime(0);
    if (v.Type() == TVarType::Date) return v.Get<TDateTime>();
    double d;
    if (!fieldvalues::ToDouble(v, d)) AccessError("DateTime");
    return TDateTime(d);
}

void TDateTimeField::SetAsDateTimeValue(TDateTime v) {
    if (!std::isfinite(v.Val()))
        DatabaseError(Format("Invalid value for field '%s'", {DisplayName()}));
    SetData(Variant(normalized(v)));
}

std::string TDateField::GetText(bool) const {
    if (IsNull()) return {};
    return DateToStr(GetAsDateTime());
}

void TDateField::SetTextValue(std::string_view text) {
    SetAsDateTimeValue(StrToDate(Trim(text)));
}

TDateTime TDateField::normalized(TDateTime v) const {
    return TDateTime(std::trunc(v.Val()));
}

std::string TTimeField::GetText(bool) const {
    if (IsNull()) return {};
    return TimeToStr(GetAsDateTime());
}

void TTimeField::SetTextValue(std::string_view text) {
    TDateTime t;
    std::string s = Trim(text);
    if (!TryStrToTime(s, t)) throw EConvertError(Format("'%s' is not a valid time", {s}));
    SetAsDateTimeValue(t);
}

TDateTime TTimeField::normalized(TDateTime v) const {
    return TDateTime(std::fabs(v.Val() - std::trunc(v.Val())));
}
