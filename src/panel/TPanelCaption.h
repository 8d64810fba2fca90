#pragma once
// TPanelCaption: the caption band of a caption panel: whether it shows, its
// text, size, colours and font, and where it sits (across the top, or down
// the left edge).
//
// Changes are reported to the panel through the events, which the panel sets
// to its own handlers when it is built:
//   OnChange          text, height, font, indents, visibility, colour-to,
//                     gradient direction: the panel aligns its children again
//                     and repaints;
//   OnShadeChange     colour: the panel rebuilds the band's cached picture,
//                     then OnChange follows;
//   OnStateChange     visibility, after OnChange: the panel's state hook;
//   OnPositionChange  position: the panel sizes itself, rebuilds the cached
//                     picture and repaints.
// A setter given the value it holds reports nothing.
//
// The text is drawn as it stands: one line, cut with "..." when too wide.

#include "platform/Classes.h"
#include "platform/widgets/Events.h"
#include "platform/widgets/TColor.h"
#include "platform/widgets/TFont.h"

#include <string>

enum TCaptionPosition { cpTop, cpLeft };
enum TGradientDirection { gdVertical, gdHorizontal };

class TPanelCaption : public TObject {
public:
    TPanelCaption();

    bool Visible() const { return FVisible; }
    void SetVisible(bool value);
    const std::string& Text() const { return FText; }
    void SetText(const std::string& value);
    // The band's height (its width with cpLeft), the panel's bevel included:
    // the painted band is Height minus twice the bevel width.
    int Height() const { return FHeight; }
    void SetHeight(int value);
    TColor Color() const { return FColor; }
    void SetColor(TColor value);
    // The far end of a gradient from Color; clNone paints the band solid.
    TColor ColorTo() const { return FColorTo; }
    void SetColorTo(TColor value);
    TGradientDirection GradientDirection() const { return FGradientDirection; }
    void SetGradientDirection(TGradientDirection value);
    const TFont& Font() const { return FFont; }
    void SetFont(const TFont& value);
    // Pixels between the band's left edge (top edge) and the text's box.
    int Indent() const { return FIndent; }
    void SetIndent(int value);
    int TopIndent() const { return FTopIndent; }
    void SetTopIndent(int value);
    TCaptionPosition Position() const { return FPosition; }
    void SetPosition(TCaptionPosition value);

    // Scales the height and the font's point size by M / D, reporting
    // nothing: the panel that scales aligns its children afterwards.
    void ChangeScale(int M, int D);

    TNotifyEvent OnChange;
    TNotifyEvent OnShadeChange;
    TNotifyEvent OnStateChange;
    TNotifyEvent OnPositionChange;

private:
    void changed();
    void shadeChanged();

    bool FVisible = false;
    std::string FText;
    int FHeight = 20;
    TColor FColor = clHighlight;
    TColor FColorTo = clNone;
    TGradientDirection FGradientDirection = gdVertical;
    TFont FFont;
    int FIndent = 0;
    int FTopIndent = 0;
    TCaptionPosition FPosition = cpTop;
};
