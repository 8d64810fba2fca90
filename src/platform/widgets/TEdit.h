#pragma once
// TEdit: a one-line text field.
//
// BorderStyle bsSingle gives the sunken frame of an edit field; bsNone with
// BevelKind bkFlat a flat one-pixel frame, as the suite's forms use. A
// PasswordChar other than 0 shows every character as that one.

#include "platform/widgets/TWinControl.h"

enum TBorderStyle { bsNone, bsSingle };
enum TBevelKind { bkNone, bkTile, bkSoft, bkFlat };

class TEdit : public TWinControl {
public:
    explicit TEdit(TComponent* owner);

    char PasswordChar() const { return FPasswordChar; }
    void SetPasswordChar(char value);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle value);
    TBevelKind BevelKind() const { return FBevelKind; }
    void SetBevelKind(TBevelKind value);
    int MaxLength() const;
    void SetMaxLength(int value);
    bool ReadOnly() const;
    void SetReadOnly(bool value);

    // The text changed, by the user or by the program.
    TNotifyEvent OnChange;

protected:
    std::string currentText() const override;
    void applyText(const std::string& text) override;
    void updatePalette() override;

private:
    void updateStyle();

    char FPasswordChar = 0;
    TBorderStyle FBorderStyle = bsSingle;
    TBevelKind FBevelKind = bkNone;
};
