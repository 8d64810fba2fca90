#pragma once
// The dialog service of the program: modal Qt message boxes with the titles,
// icons, buttons and texts the dialog functions give, and the system beep.

#include "platform/Dialogs.h"

class TQtDialogService : public IDialogService {
public:
    // Shows the box over the active window and returns the modal result of
    // the button pressed; a box closed another way answers as its Cancel (or
    // No) button, or as its only button.
    int Show(const TDialogBox& box) override;
    void Beep() override;
};
