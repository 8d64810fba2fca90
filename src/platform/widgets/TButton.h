#pragma once
// TButton: a push button that takes the focus. An "&" in the caption marks
// the access key of the letter after it ("&&" is one "&"): Alt with that
// letter clicks the button.
//
// A click (the mouse, Space, Enter while the button has the focus, or the
// access key) sets the form's ModalResult to the button's, which closes a
// modal form when it is not mrNone, and runs OnClick. A Cancel button is
// clicked by Esc anywhere in its form, unless the focused control takes
// Esc itself.

#include "platform/widgets/TWinControl.h"

class TButton : public TWinControl {
public:
    explicit TButton(TComponent* owner);

    bool Cancel() const { return FCancel; }
    void SetCancel(bool value) { FCancel = value; }
    int ModalResult() const { return FModalResult; }
    void SetModalResult(int value) { FModalResult = value; }

    // Clicks the button as the user does; exceptions reach the caller.
    void Click() override;

    bool DialogKey(uint16_t key, TShiftState shift) override;

protected:
    std::string currentText() const override;
    void applyText(const std::string& text) override;

private:
    bool FCancel = false;
    int FModalResult = 0;
};
