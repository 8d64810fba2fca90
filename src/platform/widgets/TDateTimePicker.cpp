#include "platform/widgets/TDateTimePicker.h"

#include "platform/Dialogs.h"

#include <QDate>
#include <QDateEdit>

#include <cctype>
#include <cmath>

namespace {
// Julian day of 30 December 1899, day 0 of the date serials.
constexpr qint64 kJulianDayOfSerialZero = 2415019;
} // namespace

QDate TDateTimePicker::ToQDate(TDateTime value) {
    return QDate::fromJulianDay(kJulianDayOfSerialZero +
                                static_cast<qint64>(std::trunc(value.Val())));
}

TDateTime TDateTimePicker::FromQDate(const QDate& date) {
    return TDateTime(static_cast<double>(date.toJulianDay() - kJulianDayOfSerialZero));
}

QString TDateTimePicker::QtDateFormat(const TFormatSettings& settings) {
    QString out;
    const std::string& f = settings.ShortDateFormat;
    for (size_t i = 0; i < f.size();) {
        char c = f[i];
        size_t n = 1;
        while (i + n < f.size() && f[i + n] == c)
            ++n;
        switch (c) {
        case 'd':
        case 'D':
            out += n >= 2 ? QStringLiteral("dd") : QStringLiteral("d");
            break;
        case 'm':
        case 'M':
            out += n >= 2 ? QStringLiteral("MM") : QStringLiteral("M");
            break;
        case 'y':
        case 'Y':
            out += n <= 2 ? QStringLiteral("yy") : QStringLiteral("yyyy");
            break;
        case '/':
            for (size_t k = 0; k < n; ++k)
                out += QLatin1Char(settings.DateSeparator);
            break;
        default:
            // Qt reads letters as fields; anything else stands for itself.
            for (size_t k = 0; k < n; ++k) {
                if (std::isalpha(static_cast<unsigned char>(c)))
                    out += QStringLiteral("'") + QLatin1Char(c) + QStringLiteral("'");
                else
                    out += QLatin1Char(c);
            }
        }
        i += n;
    }
    return out;
}

TDateTimePicker::TDateTimePicker(TComponent* owner) : TWinControl(owner, new QDateEdit) {
    auto* edit = static_cast<QDateEdit*>(Widget());
    edit->setCalendarPopup(true);
    edit->setDisplayFormat(QtDateFormat(FormatSettings));
    edit->setFocusPolicy(Qt::StrongFocus);
    edit->setKeyboardTracking(true);
    SetTabStop(true);
    SetColor(clWindow);
    SetBounds(0, 0, 186, 21);
    FDateTime = ::Date();
    showValue();
    QObject::connect(edit, &QDateEdit::dateChanged, edit, [this](const QDate& date) {
        if (FShowing || !date.isValid()) return;
        // The user chose another day; the time of day stays.
        FDateTime = TDateTime(FromQDate(date).Val() + FDateTime.TimePart());
        if (OnChange) HandleExceptions([this] { OnChange(this); });
    });
}

void TDateTimePicker::showValue() {
    FShowing = true;
    static_cast<QDateEdit*>(Widget())->setDate(ToQDate(FDateTime));
    FShowing = false;
}

void TDateTimePicker::SetDateTime(TDateTime value) {
    FDateTime = value;
    showValue();
}

TDateTime TDateTimePicker::Date() const {
    return TDateTime(std::trunc(FDateTime.Val()));
}

void TDateTimePicker::SetDate(TDateTime value) {
    SetDateTime(TDateTime(std::trunc(value.Val()) + FDateTime.TimePart()));
}

std::string TDateTimePicker::currentText() const {
    return static_cast<QDateEdit*>(Widget())->text().toStdString();
}

void TDateTimePicker::applyText(const std::string& text) {
    TDateTime d;
    if (TryStrToDate(text, d)) SetDate(d);
}

void TDateTimePicker::updatePalette() {
    TWinControl::updatePalette();
    QPalette p = Widget()->palette();
    p.setColor(QPalette::Base, ToQColor(Color()));
    Widget()->setPalette(p);
}
