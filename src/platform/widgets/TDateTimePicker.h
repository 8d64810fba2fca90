#pragma once
// TDateTimePicker: a date field with a calendar that drops down. It holds a
// date and a time (DateTime) and shows the date in the short date format of
// the regional settings as they are when the picker is made.

#include "platform/DateUtils.h"
#include "platform/widgets/TWinControl.h"

class QDate;

class TDateTimePicker : public TWinControl {
public:
    explicit TDateTimePicker(TComponent* owner);

    TDateTime DateTime() const { return FDateTime; }
    void SetDateTime(TDateTime value);
    // The date part. Setting it keeps the time of day.
    TDateTime Date() const;
    void SetDate(TDateTime value);

    // The user changed the date.
    TNotifyEvent OnChange;

    // Qt's date of a date serial and back (whole days).
    static QDate ToQDate(TDateTime value);
    static TDateTime FromQDate(const QDate& date);
    // Qt's display format for one of the suite's date formats ("dd/mm/yyyy"
    // with the settings' separator for "/").
    static QString QtDateFormat(const TFormatSettings& settings);

protected:
    std::string currentText() const override;
    void applyText(const std::string& text) override;
    void updatePalette() override;

private:
    void showValue();

    TDateTime FDateTime;
    bool FShowing = false;
};
