#pragma once
// Boolean fields: text "True" / "False" (either read without regard to case,
// also "T"/"F", "Y"/"N", "1"/"0"); anything else raises "'%s' is not a valid
// boolean value".

#include "data/TField.h"

class TBooleanField : public TField {
public:
    explicit TBooleanField(TComponent* owner = nullptr);

protected:
    int DefaultDisplayWidth() const override { return 5; }
    std::string GetText(bool displayText) const override;
    void SetTextValue(std::string_view text) override;

    Variant GetAsVariant() const override;
    void SetVarValue(const Variant& v) override;
    std::string GetAsString() const override;
    void SetAsStringValue(std::string_view v) override;
    bool GetAsBoolean() const override;
    void SetAsBooleanValue(bool v) override;
    int32_t GetAsInteger() const override;
    void SetAsIntegerValue(int32_t v) override;
};
