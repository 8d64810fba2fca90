#pragma once
// TLabel: a line (or, with WordWrap, lines) of text. With AutoSize (the
// default) the label takes the size of its text in its font: its width the
// text's, its height one line's; with WordWrap it keeps its width and takes
// the height of the wrapped lines.
//
// With a FocusControl, an "&" in the caption marks the access key of the
// letter after it, drawn underlined ("&&" is one "&"): Alt with that letter
// gives the focus control the focus.

#include "platform/widgets/TCustomPanel.h" // TAlignment
#include "platform/widgets/TGraphicControl.h"

class TLabel : public TGraphicControl {
public:
    explicit TLabel(TComponent* owner);

    void SetParent(TWinControl* parent) override;

    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool value);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment value);
    TWinControl* FocusControl() const;
    void SetFocusControl(TWinControl* control);

protected:
    std::string currentText() const override;
    void applyText(const std::string& text) override;
    void applyFont() override;

private:
    void adjustBounds();

    bool FAutoSize = true;
    bool FWordWrap = false;
    TAlignment FAlignment = taLeftJustify;
};
