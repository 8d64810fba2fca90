#pragma once
// TPanelCaption: the caption band of a caption panel: whether it shows, its
// text, height, colour and font. Every change is reported through OnChange,
// which the panel sets to re-align its children and repaint.

#include "platform/widgets/TColor.h"
#include "platform/widgets/TFont.h"

#include <functional>
#include <string>

class TPanelCaption {
public:
    TPanelCaption();

    bool Visible() const { return FVisible; }
    void SetVisible(bool value);
    const std::string& Text() const { return FText; }
    void SetText(const std::string& value);
    int Height() const { return FHeight; }
    void SetHeight(int value);
    TColor Color() const { return FColor; }
    void SetColor(TColor value);
    const TFont& Font() const { return FFont; }
    void SetFont(const TFont& value);
    // Pixels between the band's left edge (top edge) and the text.
    int Indent() const { return FIndent; }
    void SetIndent(int value);
    int TopIndent() const { return FTopIndent; }
    void SetTopIndent(int value);

    std::function<void()> OnChange;

private:
    void changed();

    bool FVisible = false;
    std::string FText;
    int FHeight = 20;
    TColor FColor = clHighlight;
    TFont FFont;
    int FIndent = 0;
    int FTopIndent = 0;
};
