#pragma once
// TField: one column of a dataset's current record. A field holds no value of
// its own: it reads and writes the dataset's active record buffer through the
// dataset's record layout (TDSRecordLayout), at layout index FieldNo() - 1.
// That makes painting another buffered row cheap: a data link moves the
// dataset's active record and the fields follow.
//
// Two kinds of field, both bound to a dataset by SetDataSet or by the dataset
// itself:
//  - persistent fields, created by a window with an owner before the dataset
//    opens; at every open they are bound by FieldName to the columns of the
//    data, and a column of another type family raises "Type mismatch for
//    field '%s', expecting: %s actual: %s" (FieldType.h names);
//  - default fields, made by the dataset from its field definitions at an
//    open when it has no persistent field, and destroyed at its close. Code
//    that keeps TField pointers (a grid column) drops them when the dataset
//    becomes inactive (the data links' ActiveChanged comes before the fields
//    are freed) and looks them up again after the next open.
//
// Values: As*() read the active record (conversions as the framework does
// them; a kind the field cannot give raises "Cannot access field '%s' as type
// %s"); SetAs*() write it, which needs the dataset in edit or insert state
// ("Dataset not in edit or insert mode"), a writable field ("Field '%s' cannot
// be modified"), runs OnValidate, writes the buffer, marks the record
// modified, notifies the data links (record changed with this field) and runs
// OnChange. A null or unassigned value reads as IsNull(), "", 0, False.

#include "data/FieldType.h"
#include "data/engine/DSIntf.h"
#include "data/engine/Variant.h"
#include "platform/Classes.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

class TDataSet;
class TField;

// Only data fields exist in this system; the kind is kept for the checks that
// name it (required fields, the provider's statements).
enum TFieldKind { fkData, fkCalculated, fkLookup, fkInternalCalc, fkAggregate };

// ProviderFlags: a set of the engine's pfInUpdate, pfInWhere, pfInKey, pfHidden.
using TProviderFlags = uint8_t;

using TFieldNotifyEvent = std::function<void(TField* Sender)>;

class TField : public TComponent {
public:
    explicit TField(TComponent* owner = nullptr);
    ~TField() override;

    // --- binding -------------------------------------------------------------
    TDataSet* DataSet() const { return FDataSet; }
    // Adds the field to the dataset's fields (removes it from the previous
    // one); the dataset must be closed ("Cannot perform this operation on an
    // open dataset").
    void SetDataSet(TDataSet* dataSet);
    const std::string& FieldName() const { return FFieldName; }
    void SetFieldName(std::string name);
    // 1-based column of the dataset's record layout; 0 while not bound.
    int FieldNo() const { return FFieldNo; }
    TFieldType DataType() const { return FDataType; }
    TFieldKind FieldKind() const { return fkData; }
    // Text fields: maximum length in bytes; BCD fields: digits after the
    // decimal point; others 0.
    int Size() const { return FSize; }
    void SetSize(int size);
    // True when the field belongs to the dataset's current index.
    bool IsIndexField() const;

    // --- presentation --------------------------------------------------------
    const std::string& DisplayLabel() const { return FDisplayLabel; }
    void SetDisplayLabel(std::string label) { FDisplayLabel = std::move(label); }
    // DisplayLabel, or FieldName when no label is set.
    const std::string& DisplayName() const;
    // The width in characters a grid gives the column: the value set when
    // positive, else the field class's default (DefaultDisplayWidth).
    int DisplayWidth() const;
    void SetDisplayWidth(int width) { FDisplayWidth = width; }
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment a) { FAlignment = a; }
    bool Visible() const { return FVisible; }
    void SetVisible(bool v) { FVisible = v; }
    bool Required() const { return FRequired; }
    void SetRequired(bool v) { FRequired = v; }
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool v) { FReadOnly = v; }
    TProviderFlags ProviderFlags() const { return FProviderFlags; }
    void SetProviderFlags(TProviderFlags f) { FProviderFlags = f; }
    // Not read-only, bound to an open dataset that can be modified.
    bool CanModify() const;

    // --- values of the active record ----------------------------------------
    bool IsNull() const;
    Variant AsVariant() const { return GetAsVariant(); }
    void SetAsVariant(const Variant& v) { SetVarValue(v); }
    std::string AsString() const { return GetAsString(); }
    void SetAsString(std::string_view v) { SetAsStringValue(v); }
    int32_t AsInteger() const { return GetAsInteger(); }
    void SetAsInteger(int32_t v) { SetAsIntegerValue(v); }
    int64_t AsLargeInt() const { return GetAsLargeInt(); }
    void SetAsLargeInt(int64_t v) { SetAsLargeIntValue(v); }
    double AsFloat() const { return GetAsFloat(); }
    void SetAsFloat(double v) { SetAsFloatValue(v); }
    Currency AsCurrency() const { return GetAsCurrency(); }
    void SetAsCurrency(Currency v) { SetAsCurrencyValue(v); }
    TBcd AsBCD() const { return GetAsBCD(); }
    void SetAsBCD(const TBcd& v) { SetAsBCDValue(v); }
    TDateTime AsDateTime() const { return GetAsDateTime(); }
    void SetAsDateTime(TDateTime v) { SetAsDateTimeValue(v); }
    bool AsBoolean() const { return GetAsBoolean(); }
    void SetAsBoolean(bool v) { SetAsBooleanValue(v); }
    // Makes the value null (same checks and notifications as a write).
    void Clear();

    // The text a grid shows (DisplayText) and the text an editor edits
    // (EditText); both empty for null. Text is the edit text. Writing text:
    // empty makes the field null, otherwise it is parsed by the field class
    // and a parse failure raises EConvertError with the class's message.
    std::string DisplayText() const { return GetText(true); }
    std::string Text() const { return GetText(false); }
    void SetText(std::string_view text);
    std::string EditText() const { return GetText(false); }
    void SetEditText(std::string_view text) { SetText(text); }

    // Whether a typed character may be part of this field's text.
    virtual bool IsValidChar(char32_t ch) const;

    TFieldNotifyEvent OnChange;   // after a value was written
    TFieldNotifyEvent OnValidate; // before it is written; raise to refuse

protected:
    explicit TField(TComponent* owner, TFieldType dataType, TAlignment alignment);

    // The value of the active record in the layout's natural kind (Null when
    // null or unassigned, or when there is no active record).
    Variant GetData() const;
    // Writes v (a kind the layout accepts) with the checks and notifications
    // described above. A Null value clears.
    void SetData(const Variant& v);

    virtual int DefaultDisplayWidth() const { return 10; }
    virtual std::string GetText(bool displayText) const;
    // Text that is not empty.
    virtual void SetTextValue(std::string_view text);

    virtual Variant GetAsVariant() const;
    virtual void SetVarValue(const Variant& v);
    virtual std::string GetAsString() const;
    virtual void SetAsStringValue(std::string_view v);
    virtual int32_t GetAsInteger() const;
    virtual void SetAsIntegerValue(int32_t v);
    virtual int64_t GetAsLargeInt() const;
    virtual void SetAsLargeIntValue(int64_t v);
    virtual double GetAsFloat() const;
    virtual void SetAsFloatValue(double v);
    virtual Currency GetAsCurrency() const;
    virtual void SetAsCurrencyValue(Currency v);
    virtual TBcd GetAsBCD() const;
    virtual void SetAsBCDValue(const TBcd& v);
    virtual TDateTime GetAsDateTime() const;
    virtual void SetAsDateTimeValue(TDateTime v);
    virtual bool GetAsBoolean() const;
    virtual void SetAsBooleanValue(bool v);

    // "Cannot access field '%s' as type %s".
    [[noreturn]] void AccessError(const char* typeName) const;
    void SetDataType(TFieldType type) { FDataType = type; }

    // The engine type of the column the field is bound to (its natural kind
    // when unbound).
    DSType columnType() const;

private:
    friend class TDataSet;
    friend TField* CreateFieldOfType(TFieldType type, TComponent* owner);

    TDataSet* FDataSet = nullptr;
    std::string FFieldName;
    std::string FDisplayLabel;
    int FFieldNo = 0;
    TFieldType FDataType = ftUnknown;
    int FSize = 0;
    int FDisplayWidth = 0;
    TAlignment FAlignment = taLeftJustify;
    bool FVisible = true;
    bool FRequired = false;
    bool FReadOnly = false;
    TProviderFlags FProviderFlags = pfInUpdate | pfInWhere;
};

// A field of the class that fits a data type (TStringField for ftString,
// TFMTBCDField for ftFMTBcd, ...), owned by owner (may be null). Types without
// a class of their own get the nearest one with that DataType kept.
TField* CreateFieldOfType(TFieldType type, TComponent* owner = nullptr);
