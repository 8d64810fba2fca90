#include "platform/widgets/TLabel.h"

#include "platform/widgets/TWinControl.h"

#include <QFontMetrics>
#include <QLabel>

TLabel::TLabel(TComponent* owner) : TGraphicControl(owner, new QLabel) {
    auto* label = static_cast<QLabel*>(Widget());
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setContentsMargins(0, 0, 0, 0);
    label->setMargin(0);
    label->setIndent(0);
    label->setFocusPolicy(Qt::NoFocus);
    SetBounds(0, 0, 65, 13);
}

void TLabel::SetParent(TWinControl* parent) {
    TGraphicControl::SetParent(parent);
    adjustBounds();
}

void TLabel::SetAutoSize(bool value) {
    FAutoSize = value;
    adjustBounds();
}

void TLabel::SetWordWrap(bool value) {
    FWordWrap = value;
    static_cast<QLabel*>(Widget())->setWordWrap(value);
    adjustBounds();
}

void TLabel::SetAlignment(TAlignment value) {
    FAlignment = value;
    Qt::Alignment h = value == taLeftJustify    ? Qt::AlignLeft
                      : value == taRightJustify ? Qt::AlignRight
                                                : Qt::AlignHCenter;
    static_cast<QLabel*>(Widget())->setAlignment(h | Qt::AlignTop);
}

std::string TLabel::currentText() const {
    return static_cast<QLabel*>(Widget())->text().toStdString();
}

void TLabel::applyText(const std::string& text) {
    static_cast<QLabel*>(Widget())->setText(QString::fromStdString(text));
    adjustBounds();
}

void TLabel::applyFont() {
    TGraphicControl::applyFont();
    adjustBounds();
}

TWinControl* TLabel::FocusControl() const {
    return dynamic_cast<TWinControl*>(FromWidget(static_cast<QLabel*>(Widget())->buddy()));
}

void TLabel::SetFocusControl(TWinControl* control) {
    // Qt keeps the buddy as a guarded pointer: a focus control destroyed
    // first leaves the label without one.
    static_cast<QLabel*>(Widget())->setBuddy(control ? control->Widget() : nullptr);
    adjustBounds();
}

void TLabel::adjustBounds() {
    if (!FAutoSize) return;
    QFontMetrics metrics(Widget()->font());
    QString text = QString::fromStdString(currentText());
    // The marks of an access key take no room.
    if (static_cast<QLabel*>(Widget())->buddy()) {
        text.replace(QLatin1String("&&"), QStringLiteral("\x01"));
        text.remove(QLatin1Char('&'));
        text.replace(QChar(1), QLatin1Char('&'));
    }
    if (FWordWrap) {
        QRect r = metrics.boundingRect(QRect(0, 0, Width(), 1 << 20),
                                       Qt::TextWordWrap | Qt::TextExpandTabs, text);
        SetBounds(Left(), Top(), Width(), std::max(r.height(), metrics.height()));
        return;
    }
    SetBounds(Left(), Top(), metrics.horizontalAdvance(text), metrics.height());
}
