#include "platform/widgets/TDBCheckBox.h"

#include "platform/Dialogs.h"

#include <QCheckBox>

TDBCheckBox::TDBCheckBox(TComponent* owner) : TWinControl(owner, new QCheckBox) {
    auto* box = static_cast<QCheckBox*>(Widget());
    box->setFocusPolicy(Qt::StrongFocus);
    SetTabStop(true);
    SetBounds(0, 0, 97, 17);
    QObject::connect(box, &QCheckBox::toggled, box,
                     [this] { HandleExceptions([this] { Click(); }); });
}

bool TDBCheckBox::Checked() const {
    return static_cast<QCheckBox*>(Widget())->isChecked();
}

void TDBCheckBox::SetChecked(bool value) {
    static_cast<QCheckBox*>(Widget())->setChecked(value);
}

std::string TDBCheckBox::currentText() const {
    return static_cast<QCheckBox*>(Widget())->text().toStdString();
}

void TDBCheckBox::applyText(const std::string& text) {
    static_cast<QCheckBox*>(Widget())->setText(QString::fromStdString(text));
}
