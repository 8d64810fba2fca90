#include "data/TField.h"

#include "data/DBErrors.h"
#include "data/TBooleanField.h"
#include "data/TDataSet.h"
#include "data/TDateTimeFields.h"
#include "data/TNumericFields.h"
#include "data/TStringField.h"
#include "platform/SysUtils.h"

TField::TField(TComponent* owner) : TComponent(owner) {}

TField::TField(TComponent* owner, TFieldType dataType, TAlignment alignment)
    : TComponent(owner), FDataType(dataType), FAlignment(alignment) {}

TField::~TField() {
    if (FDataSet) FDataSet->removeField(this);
}

void TField::SetDataSet(TDataSet* dataSet) {
    if (dataSet == FDataSet) return;
    if (FDataSet) FDataSet->CheckInactive();
    if (dataSet) dataSet->CheckInactive();
    if (FDataSet) FDataSet->removeField(this);
    if (dataSet) dataSet->addField(this);
}

void TField::SetFieldName(std::string name) {
    if (FDataSet) FDataSet->CheckInactive();
    FFieldName = std::move(name);
}

void TField::SetSize(int size) {
    if (FDataSet) FDataSet->CheckInactive();
    FSize = size;
}

bool TField::IsIndexField() const {
    return FDataSet && FDataSet->IsIndexField(this);
}

const std::string& TField::DisplayName() const {
    return FDisplayLabel.empty() ? FFieldName : FDisplayLabel;
}

int TField::DisplayWidth() const {
    return FDisplayWidth > 0 ? FDisplayWidth : DefaultDisplayWidth();
}

bool TField::CanModify() const {
    return !FReadOnly && FDataSet && FDataSet->Active() && FFieldNo > 0 && FDataSet->CanModify();
}

Variant TField::GetData() const {
    if (!FDataSet || FFieldNo <= 0) return Variant(Null{});
    const uint8_t* buffer = FDataSet->ActiveBuffer();
    if (!buffer) return Variant(Null{});
    Variant v = FDataSet->Layout().GetField(buffer, FFieldNo - 1);
    if (v.IsUnassigned()) return Variant(Null{});
    return v;
}

void TField::SetData(const Variant& v) {
    if (!FDataSet || FFieldNo <= 0)
        DatabaseError(Format("Field '%s' is not bound to an open dataset", {DisplayName()}));
    TDataSetState state = FDataSet->State();
    if (state != dsEdit && state != dsInsert) DatabaseError("Dataset not in edit or insert mode");
    if (FReadOnly) DatabaseError(Format("Field '%s' cannot be modified", {DisplayName()}));
    if (OnValidate) OnValidate(this);
    uint8_t* buffer = FDataSet->ActiveBuffer();
    if (v.IsEmpty())
        FDataSet->Layout().PutField(buffer, FFieldNo - 1, Variant(Null{}));
    else
        FDataSet->Layout().PutField(buffer, FFieldNo - 1, v);
    FDataSet->setModified(true);
    FDataSet->DataEvent(deFieldChange, reinterpret_cast<std::ptrdiff_t>(this));
    if (OnChange) OnChange(this);
}

DSType TField::columnType() const {
    if (FDataSet && FFieldNo > 0 && FFieldNo <= FDataSet->Layout().FieldCount())
        return FDataSet->Layout().Fields()[FFieldNo - 1].Type;
    switch (FDataType) {
    case ftSmallint:
        return DSType::Int16;
    case ftInteger:
    case ftWord:
    case ftAutoInc:
        return DSType::Int32;
    case ftLargeint:
        return DSType::Int64;
    case ftBoolean:
        return DSType::Boolean;
    case ftFloat:
        return DSType::Double;
    case ftCurrency:
        return DSType::Currency;
    case ftBCD:
    case ftFMTBcd:
        return DSType::Bcd;
    case ftDate:
        return DSType::Date;
    case ftTime:
        return DSType::Time;
    case ftDateTime:
    case ftTimeStamp:
        return DSType::DateTime;
    default:
        return DSType::String;
    }
}

bool TField::IsNull() const {
    return GetData().IsNull();
}

void TField::Clear() {
    SetData(Variant(Null{}));
}

void TField::SetText(std::string_view text) {
    if (text.empty())
        Clear();
    else
        SetTextValue(text);
}

std::string TField::GetText(bool) const {
    return GetAsString();
}
void TField::SetTextValue(std::string_view text) {
    SetAsStringValue(text);
}

bool TField::IsValidChar(char32_t) const {
    return true;
}

void TField::AccessError(const char* typeName) const {
    DatabaseError(Format("Cannot access field '%s' as type %s", {DisplayName(), typeName}));
}

Variant TField::GetAsVariant() const {
    return GetData();
}
void TField::SetVarValue(const Variant&) {
    AccessError("Variant");
}
std::string TField::GetAsString() const {
    AccessError("String");
}
void TField::SetAsStringValue(std::string_view) {
    AccessError("String");
}
int32_t TField::GetAsInteger() const {
    AccessError("Integer");
}
void TField::SetAsIntegerValue(int32_t) {
    AccessError("Integer");
}
int64_t TField::GetAsLargeInt() const {
    AccessError("LargeInt");
}
void TField::SetAsLargeIntValue(int64_t) {
    AccessError("LargeInt");
}
double TField::GetAsFloat() const {
    AccessError("Float");
}
void TField::SetAsFloatValue(double) {
    AccessError("Float");
}
Currency TField::GetAsCurrency() const {
    AccessError("Currency");
}
void TField::SetAsCurrencyValue(Currency) {
    AccessError("Currency");
}
TBcd TField::GetAsBCD() const {
    AccessError("BCD");
}
void TField::SetAsBCDValue(const TBcd&) {
    AccessError("BCD");
}
TDateTime TField::GetAsDateTime() const {
    AccessError("DateTime");
}
void TField::SetAsDateTimeValue(TDateTime) {
    AccessError("DateTime");
}
bool TField::GetAsBoolean() const {
    AccessError("Boolean");
}
void TField::SetAsBooleanValue(bool) {
    AccessError("Boolean");
}

TField* CreateFieldOfType(TFieldType type, TComponent* owner) {
    TField* f = nullptr;
    switch (type) {
    case ftSmallint:
    case ftWord:
        f = new TSmallintField(owner);
        break;
    case ftInteger:
    case ftAutoInc:
        f = new TIntegerField(owner);
        break;
    case ftLargeint:
        f = new TLargeintField(owner);
        break;
    case ftBoolean:
        f = new TBooleanField(owner);
        break;
    case ftFloat:
        f = new TFloatField(owner);
        break;
    case ftCurrency:
        f = new TCurrencyField(owner);
        break;
    case ftBCD:
        f = new TBCDField(owner);
        break;
    case ftFMTBcd:
        f = new TFMTBCDField(owner);
        break;
    case ftDate:
        f = new TDateField(owner);
        break;
    case ftTime:
        f = new TTimeField(owner);
        break;
    case ftDateTime:
        f = new TDateTimeField(owner);
        break;
    case ftTimeStamp:
        f = new TSQLTimeStampField(owner);
        break;
    default:
        f = new TStringField(owner);
        break;
    }
    if (f->DataType() != type) f->SetDataType(type);
    return f;
}
