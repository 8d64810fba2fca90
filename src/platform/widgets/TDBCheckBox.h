#pragma once
// TDBCheckBox: a check box with its caption to the right. An "&" in the
// caption marks the access key of the letter after it: Alt with that letter
// toggles the box and gives it the focus. Space toggles the focused box.
//
// This edition's check box holds its own state only: no window of the
// program ties one to a field.

#include "platform/widgets/TWinControl.h"

class TDBCheckBox : public TWinControl {
public:
    explicit TDBCheckBox(TComponent* owner);

    bool Checked() const;
    // Runs OnClick when the state changes, as the user's toggle does.
    void SetChecked(bool value);

protected:
    std::string currentText() const override;
    void applyText(const std::string& text) override;
};
