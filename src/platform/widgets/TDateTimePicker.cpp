#include "platform/widgets/TDateTimePicker.h"

#include "platform/Dialogs.h"
#include "platform/Exceptions.h"
#include "platform/SysUtils.h"

#include <QDate>
#include <QDateEdit>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QValidator>

#include <cctype>
#include <cmath>

namespace {
// Julian day of 30 December 1899, day 0 of the date serials.
constexpr qint64 kJulianDayOfSerialZero = 2415019;

TDateTyping::TSection sectionFromQt(QDateTimeEdit::Section section) {
    switch (section) {
    case QDateTimeEdit::MonthSection:
        return TDateTyping::dsMonth;
    case QDateTimeEdit::YearSection:
        return TDateTyping::dsYear;
    default:
        return TDateTyping::dsDay;
    }
}

QDateTimeEdit::Section sectionToQt(TDateTyping::TSection section) {
    switch (section) {
    case TDateTyping::dsMonth:
        return QDateTimeEdit::MonthSection;
    case TDateTyping::dsYear:
        return QDateTimeEdit::YearSection;
    default:
        return QDateTimeEdit::DaySection;
    }
}

QLineEdit* lineEditOf(QWidget* widget) {
    return widget->findChild<QLineEdit*>();
}
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

TDateTimePicker::TDateTimePicker(TComponent* owner)
    : TWinControl(owner, new QDateEdit), FSettings(FormatSettings) {
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
    // A click that moves the cursor ends the typing, as a key would; the
    // typing's own moves are made with the line's signals blocked.
    if (QLineEdit* line = lineEditOf(edit))
        QObject::connect(line, &QLineEdit::cursorPositionChanged, edit,
                         [this] { HandleExceptions([this] { settleTyping(); }); });
}

void TDateTimePicker::showValue() {
    FShowing = true;
    static_cast<QDateEdit*>(Widget())->setDate(ToQDate(FDateTime));
    FShowing = false;
}

void TDateTimePicker::SetDateTime(TDateTime value) {
    // A date set by the program replaces whatever was being typed.
    FTyping.reset();
    FDateTime = value;
    showValue();
}

TDateTime TDateTimePicker::DateTime() const {
    if (!FTyping) return FDateTime;
    // Typed digits still wait (F2 pressed in the middle of a date): the
    // value is what they make, never the date shown before the typing.
    auto* self = const_cast<TDateTimePicker*>(this);
    const std::string typed = FTyping->Text();
    const TDateTyping::TOutcome outcome = self->FTyping->Finish();
    if (outcome == TDateTyping::toDate) {
        self->apply(outcome);
        return FDateTime;
    }
    self->FTyping.reset();
    self->showValue();
    throw EConvertError(Format("'%s' is not a valid date", {typed}));
}

bool TDateTimePicker::widgetEvent(QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress:
        return typeKey(static_cast<const QKeyEvent*>(event));
    case QEvent::FocusOut:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
        settleTyping();
        break;
    default:
        break;
    }
    return TWinControl::widgetEvent(event);
}

// Digits and, while typing, the separator are read here; any other key ends
// the typing first and then does what it does in the field.
bool TDateTimePicker::typeKey(const QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Meta:
        return false;
    default:
        break;
    }
    const QString text = event->text();
    const bool plain =
        !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
    const char16_t ch = text.size() == 1 ? text[0].unicode() : 0;
    if (plain && ch >= u'0' && ch <= u'9') {
        if (!FTyping) {
            auto* edit = static_cast<QDateEdit*>(Widget());
            FTyping = std::make_unique<TDateTyping>(
                TDateTime(std::trunc(FDateTime.Val())), sectionFromQt(edit->currentSection()),
                FSettings, FromQDate(edit->minimumDate()), FromQDate(edit->maximumDate()));
        }
        apply(FTyping->Type(static_cast<char>(ch)));
        return true;
    }
    if (plain && FTyping && ch == static_cast<unsigned char>(FSettings.DateSeparator)) {
        apply(FTyping->EndSection());
        return true;
    }
    settleTyping();
    return false;
}

void TDateTimePicker::settleTyping() {
    if (FTyping) apply(FTyping->Finish());
}

void TDateTimePicker::apply(TDateTyping::TOutcome outcome) {
    switch (outcome) {
    case TDateTyping::toWaiting:
        showTyping();
        return;
    case TDateTyping::toDate: {
        const TDateTime typed = FTyping->Result();
        const TDateTyping::TSection at = FTyping->Section();
        FTyping.reset();
        const bool changed = typed.Val() != std::trunc(FDateTime.Val());
        FDateTime = TDateTime(typed.Val() + FDateTime.TimePart());
        showValue();
        static_cast<QDateEdit*>(Widget())->setCurrentSection(sectionToQt(at));
        if (changed && OnChange) HandleExceptions([this] { OnChange(this); });
        return;
    }
    case TDateTyping::toImpossible:
        FTyping.reset();
        showValue();
        Beep();
        return;
    }
}

// Shows the digits as typed, with the section the next digit goes to
// selected. The spin box's validator would mend a day its month lacks (31/11
// into 30/11) and its value would follow: it sees none of this, and the
// typing ends before any other key reaches it.
void TDateTimePicker::showTyping() {
    QLineEdit* line = lineEditOf(Widget());
    if (!line) return;
    const std::string text = FTyping->Text();
    const TDateTyping::TSpan span = FTyping->SpanOf(FTyping->Section());
    const auto units = [&](size_t from, size_t count) {
        return static_cast<int>(QString::fromStdString(text.substr(from, count)).size());
    };
    QSignalBlocker blocker(line);
    const QValidator* validator = line->validator();
    line->setValidator(nullptr);
    line->setText(QString::fromStdString(text));
    line->setValidator(validator);
    line->setSelection(units(0, span.Start), units(span.Start, span.Length));
}

TDateTime TDateTimePicker::Date() const {
    return TDateTime(std::trunc(DateTime().Val()));
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
