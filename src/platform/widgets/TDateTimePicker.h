#pragma once
// TDateTimePicker: a date field with a calendar that drops down. It holds a
// date and a time (DateTime) and shows the date in the short date format of
// the regional settings as they are when the picker is made.
//
// Digits typed into it are read by TDateTyping: the date changes only to the
// whole date typed, and only when that date exists. A typed day waits for the
// month and year typed after it; digits that cannot make a date beep, and
// the field shows and keeps the date it had. Reading the date while typed
// digits still wait ends the typing first: the value is the date typed, or,
// when none can come of the digits, an EConvertError.

#include "platform/DateTyping.h"
#include "platform/DateUtils.h"
#include "platform/widgets/TWinControl.h"

#include <memory>

class QDate;
class QKeyEvent;

class TDateTimePicker : public TWinControl {
public:
    explicit TDateTimePicker(TComponent* owner);

    TDateTime DateTime() const;
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
    bool widgetEvent(QEvent* event) override;

private:
    void showValue();
    bool typeKey(const QKeyEvent* event);
    void apply(TDateTyping::TOutcome outcome);
    void showTyping();
    // Ends a typing whose digits still wait, as another key does.
    void settleTyping();

    TDateTime FDateTime;
    TFormatSettings FSettings;            // as when the picker was made, like its display
    std::unique_ptr<TDateTyping> FTyping; // while typed digits wait for the rest of a date
    bool FShowing = false;
};
