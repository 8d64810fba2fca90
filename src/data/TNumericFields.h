#pragma once
// Number fields. All are right-aligned and accept the digits, "+" and "-" as
// typed characters; fields with decimals also the user's decimal separator
// (and "E"/"e" for floating point). Display and edit text are the number in
// general format with up to 15 significant digits and the user's decimal
// separator: 0.8 is "0,8" under a "," separator, 19.0000 is "19".
//
// Exact kinds never pass through a double: TCurrencyField holds Currency
// (1/10000 units), TBCDField and TFMTBCDField a TBcd of Size() decimals with
// Precision() digits in all.

#include "data/TField.h"

class TNumericField : public TField {
protected:
    TNumericField(TComponent* owner, TFieldType dataType);

    bool IsValidChar(char32_t ch) const override;
};

// Integer fields of 16, 32 and 64 bits. Text that is not an integer raises
// "'%s' is not a valid integer value"; a value outside the field's range
// raises "%s is not a valid value for field '%s'. The allowed range is %s to
// %s".
class TIntegerField : public TNumericField {
public:
    explicit TIntegerField(TComponent* owner = nullptr);

protected:
    TIntegerField(TComponent* owner, TFieldType dataType, int64_t minValue, int64_t maxValue);

    int DefaultDisplayWidth() const override { return 11; }
    std::string GetText(bool displayText) const override;
    void SetTextValue(std::string_view text) override;

    Variant GetAsVariant() const override;
    void SetVarValue(const Variant& v) override;
    std::string GetAsString() const override;
    void SetAsStringValue(std::string_view v) override;
    int32_t GetAsInteger() const override;
    void SetAsIntegerValue(int32_t v) override;
    int64_t GetAsLargeInt() const override;
    void SetAsLargeIntValue(int64_t v) override;
    double GetAsFloat() const override;
    void SetAsFloatValue(double v) override;
    Currency GetAsCurrency() const override;
    void SetAsCurrencyValue(Currency v) override;
    TBcd GetAsBCD() const override;
    void SetAsBCDValue(const TBcd& v) override;
    bool GetAsBoolean() const override;
    void SetAsBooleanValue(bool v) override;

    int64_t FMinValue;
    int64_t FMaxValue;
};

class TSmallintField : public TIntegerField {
public:
    explicit TSmallintField(TComponent* owner = nullptr);

protected:
    int DefaultDisplayWidth() const override { return 6; }
};

class TLargeintField : public TIntegerField {
public:
    explicit TLargeintField(TComponent* owner = nullptr);

protected:
    int DefaultDisplayWidth() const override { return 15; }
};

// Double precision. Text that is not a number raises "'%s' is not a valid
// floating point value".
class TFloatField : public TNumericField {
public:
    explicit TFloatField(TComponent* owner = nullptr);
    // Significant digits of the text (15).
    int Precision() const { return FPrecision; }
    void SetPrecision(int p) { FPrecision = p; }

protected:
    int DefaultDisplayWidth() const override { return 10; }
    bool IsValidChar(char32_t ch) const override;
    std::string GetText(bool displayText) const override;
    void SetTextValue(std::string_view text) override;

    Variant GetAsVariant() const override;
    void SetVarValue(const Variant& v) override;
    std::string GetAsString() const override;
    void SetAsStringValue(std::string_view v) override;
    int32_t GetAsInteger() const override;
    void SetAsIntegerValue(int32_t v) override;
    int64_t GetAsLargeInt() const override;
    void SetAsLargeIntValue(int64_t v) override;
    double GetAsFloat() const override;
    void SetAsFloatValue(double v) override;
    Currency GetAsCurrency() const override;
    void SetAsCurrencyValue(Currency v) override;
    TBcd GetAsBCD() const override;
    void SetAsBCDValue(const TBcd& v) override;

    int FPrecision = 15;
};

// Exact decimals. TBCDField (ftBCD) and TFMTBCDField (ftFMTBcd) differ only in
// their data type. Text that is not a decimal number raises "%s is not a
// valid BCD value". A value with more decimals than Size() is rounded half
// away from zero; one with more integer digits than Precision() - Size()
// raises "BCD overflow", and such a value already stored shows "BCD overflow"
// as its display text. Default display width: Precision() + 1, or 10 when
// the precision is not positive.
class TBCDField : public TNumericField {
public:
    explicit TBCDField(TComponent* owner = nullptr);
    int Precision() const { return FPrecision; }
    void SetPrecision(int p) { FPrecision = p; }

protected:
    TBCDField(TComponent* owner, TFieldType dataType);

    int DefaultDisplayWidth() const override { return FPrecision > 0 ? FPrecision + 1 : 10; }
    bool IsValidChar(char32_t ch) const override;
    std::string GetText(bool displayText) const override;
    void SetTextValue(std::string_view text) override;

    Variant GetAsVariant() const override;
    void SetVarValue(const Variant& v) override;
    std::string GetAsString() const override;
    void SetAsStringValue(std::string_view v) override;
    int32_t GetAsInteger() const override;
    void SetAsIntegerValue(int32_t v) override;
    int64_t GetAsLargeInt() const override;
    void SetAsLargeIntValue(int64_t v) override;
    double GetAsFloat() const override;
    void SetAsFloatValue(double v) override;
    Currency GetAsCurrency() const override;
    void SetAsCurrencyValue(Currency v) override;
    TBcd GetAsBCD() const override;
    void SetAsBCDValue(const TBcd& v) override;

    // v fitted to Size() decimals and Precision() digits, or "BCD overflow".
    TBcd fitted(const TBcd& v) const;

    int FPrecision = 0;
};

class TFMTBCDField : public TBCDField {
public:
    explicit TFMTBCDField(TComponent* owner = nullptr);
};

// Currency: an exact count of 1/10000 (4 decimals, 18 digits).
class TCurrencyField : public TBCDField {
public:
    explicit TCurrencyField(TComponent* owner = nullptr);

protected:
    int DefaultDisplayWidth() const override { return 10; }
};

// The general-format text of a number with at most `digits` significant
// digits and the given decimal separator ("0,8", "19", "1,5E20", "1E-6").
std::string FloatToGeneralText(double value, int digits, char decimalSeparator);
std::string BcdToGeneralText(const TBcd& value, int digits, char decimalSeparator);
