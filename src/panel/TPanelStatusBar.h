#pragma once
// TPanelStatusBar: a strip along the bottom of a caption panel (along the
// right edge when the caption is on the left) showing a line of text. Hidden
// by default; hidden it takes no room and is not painted. Every change is
// reported through OnChange, which the panel sets to align its children
// again and repaint.

#include "platform/Classes.h"
#include "platform/widgets/Events.h"
#include "platform/widgets/TColor.h"
#include "platform/widgets/TFont.h"

#include <string>

class TPanelStatusBar : public TObject {
public:
    TPanelStatusBar();

    bool Visible() const { return FVisible; }
    void SetVisible(bool value);
    int Height() const { return FHeight; }
    void SetHeight(int value);
    const std::string& Text() const { return FText; }
    void SetText(const std::string& value);
    TColor Color() const { return FColor; }
    void SetColor(TColor value);
    const TFont& Font() const { return FFont; }
    void SetFont(const TFont& value);

    TNotifyEvent OnChange;

private:
    void changed();

    bool FVisible = false;
    int FHeight = 18;
    std::string FText;
    TColor FColor = clBtnFace;
    TFont FFont;
};
