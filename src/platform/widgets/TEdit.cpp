#include "platform/widgets/TEdit.h"

#include "platform/CodePage.h"
#include "platform/Dialogs.h"

#include <QLineEdit>

TEdit::TEdit(TComponent* owner) : TWinControl(owner, new QLineEdit) {
    auto* edit = static_cast<QLineEdit*>(Widget());
    edit->setFocusPolicy(Qt::StrongFocus);
    SetTabStop(true);
    SetColor(clWindow);
    SetBounds(0, 0, 121, 21);
    QObject::connect(edit, &QLineEdit::textChanged, edit, [this] {
        if (OnChange) HandleExceptions([this] { OnChange(this); });
    });
}

std::string TEdit::currentText() const {
    return static_cast<QLineEdit*>(Widget())->text().toStdString();
}

void TEdit::applyText(const std::string& text) {
    static_cast<QLineEdit*>(Widget())->setText(QString::fromStdString(text));
}

void TEdit::SetPasswordChar(char value) {
    FPasswordChar = value;
    static_cast<QLineEdit*>(Widget())->setEchoMode(value ? QLineEdit::Password : QLineEdit::Normal);
    updateStyle();
}

void TEdit::SetBorderStyle(TBorderStyle value) {
    FBorderStyle = value;
    updateStyle();
}

void TEdit::SetBevelKind(TBevelKind value) {
    FBevelKind = value;
    updateStyle();
}

int TEdit::MaxLength() const {
    int n = static_cast<QLineEdit*>(Widget())->maxLength();
    return n == 32767 ? 0 : n;
}

void TEdit::SetMaxLength(int value) {
    static_cast<QLineEdit*>(Widget())->setMaxLength(value > 0 ? value : 32767);
}

bool TEdit::ReadOnly() const {
    return static_cast<QLineEdit*>(Widget())->isReadOnly();
}

void TEdit::SetReadOnly(bool value) {
    static_cast<QLineEdit*>(Widget())->setReadOnly(value);
}

void TEdit::updatePalette() {
    TWinControl::updatePalette();
    QPalette p = Widget()->palette();
    p.setColor(QPalette::Base, ToQColor(Color()));
    Widget()->setPalette(p);
    updateStyle();
}

void TEdit::updateStyle() {
    auto* edit = static_cast<QLineEdit*>(Widget());
    QString sheet;
    if (FBorderStyle == bsNone) {
        if (FBevelKind == bkNone) {
            sheet += QStringLiteral("border: none;");
        } else {
            QColor shadow = ToQColor(clBtnShadow);
            sheet += QStringLiteral("border: 1px solid %1; padding: 0 1px;").arg(shadow.name());
        }
        sheet += QStringLiteral("background: %1;").arg(ToQColor(Color()).name());
    }
    if (FPasswordChar) {
        std::string utf8 = Win1252ToUtf8(std::string(1, FPasswordChar));
        QString ch = QString::fromStdString(utf8);
        if (!ch.isEmpty())
            sheet += QStringLiteral("lineedit-password-character: %1;").arg(ch.at(0).unicode());
    }
    if (sheet.isEmpty()) {
        edit->setStyleSheet(QString());
        edit->setFrame(true);
    } else {
        edit->setStyleSheet(QStringLiteral("QLineEdit {") + sheet + QStringLiteral("}"));
    }
}
