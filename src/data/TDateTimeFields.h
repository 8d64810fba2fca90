#pragma once
// Date and time fields. Display and edit text: TDateField the short date
// format, TTimeField the long time format, TDateTimeField and
// TSQLTimeStampField the date followed by a blank and the time (the time left
// out when it is midnight). Text that cannot be read raises "'%s' is not a
// valid date" ("... time", "... date and time"). Any character may be typed.
// A TDateField keeps the whole day only; a TTimeField the time of day only.

#include "data/TField.h"

class TDateTimeField : public TField {
public:
    explicit TDateTimeField(TComponent* owner = nullptr);

protected:
    TDateTimeField(TComponent* owner, TFieldType dataType);

    int DefaultDisplayWidth() const override { return 18; }
    std::string GetText(bool displayText) const override;
    void SetTextValue(std::string_view text) override;

    Variant GetAsVariant() const override;
    void SetVarValue(const Variant& v) override;
    std::string GetAsString() const override;
    void SetAsStringValue(std::string_view v) override;
    double GetAsFloat() const override;
    void SetAsFloatValue(double v) override;
    TDateTime GetAsDateTime() const override;
    void SetAsDateTimeValue(TDateTime v) override;

    // The value as this class stores it (a date field drops the time).
    virtual TDateTime normalized(TDateTime v) const { return v; }
};

class TDateField : public TDateTimeField {
public:
    explicit TDateField(TComponent* owner = nullptr);

protected:
    int DefaultDisplayWidth() const override { return 10; }
    std::string GetText(bool displayText) const override;
    void SetTextValue(std::string_view text) override;
    TDateTime normalized(TDateTime v) const override;
};

class TTimeField : public TDateTimeField {
public:
    explicit TTimeField(TComponent* owner = nullptr);

protected:
    int DefaultDisplayWidth() const override { return 10; }
    std::string GetText(bool displayText) const override;
    void SetTextValue(std::string_view text) override;
    TDateTime normalized(TDateTime v) const override;
};

// A database timestamp (ftTimeStamp); reads and writes like TDateTimeField.
class TSQLTimeStampField : public TDateTimeField {
public:
    explicit TSQLTimeStampField(TComponent* owner = nullptr);
};
