#include "platform/widgets/TButton.h"

#include "platform/Dialogs.h"
#include "platform/widgets/TForm.h"

#include <QPushButton>

TButton::TButton(TComponent* owner) : TWinControl(owner, new QPushButton) {
    auto* button = static_cast<QPushButton*>(Widget());
    button->setFocusPolicy(Qt::StrongFocus);
    // Enter is a dialog key of the form (DialogKey), never the widget's own.
    button->setAutoDefault(false);
    SetTabStop(true);
    SetBounds(0, 0, 75, 25);
    QObject::connect(button, &QPushButton::clicked, button,
                     [this] { HandleExceptions([this] { Click(); }); });
}

void TButton::Click() {
    if (TForm* form = ParentForm(); form && FModalResult != 0) form->SetModalResult(FModalResult);
    TWinControl::Click();
}

bool TButton::DialogKey(uint16_t key, TShiftState shift) {
    if (shift & (ssShift | ssAlt | ssCtrl)) return false;
    const bool mine = (key == VK_RETURN && Focused()) || (key == VK_ESCAPE && FCancel);
    if (!mine || !CanFocus()) return false;
    Click();
    return true;
}

std::string TButton::currentText() const {
    return static_cast<QPushButton*>(Widget())->text().toStdString();
}

void TButton::applyText(const std::string& text) {
    static_cast<QPushButton*>(Widget())->setText(QString::fromStdString(text));
}
