#pragma once
// Text fields: UTF-8 text of at most Size() bytes. Any character is valid;
// display and edit text are the value itself.

#include "data/TField.h"

class TStringField : public TField {
public:
    explicit TStringField(TComponent* owner = nullptr);

protected:
    int DefaultDisplayWidth() const override { return Size() > 0 ? Size() : 20; }
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
    TDateTime GetAsDateTime() const override;
    void SetAsDateTimeValue(TDateTime v) override;
    bool GetAsBoolean() const override;
    void SetAsBooleanValue(bool v) override;
};
