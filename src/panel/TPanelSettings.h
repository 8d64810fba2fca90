#pragma once
// TPanelSettings: the look that a styler shares among the caption panels it
// styles: the body's colours and bevels, and the caption band's colours and
// font. TCustomCaptionPanel::ApplySettings takes them over.

#include "platform/widgets/TColor.h"
#include "platform/widgets/TCustomPanel.h"
#include "platform/widgets/TFont.h"

class TPanelSettings {
public:
    TColor Color = clBtnFace;
    TColor ColorTo = clNone;
    TColor BorderColor = clBlack;
    TBevelCut BevelOuter = bvRaised;
    TBevelCut BevelInner = bvNone;
    TColor CaptionColor = clHighlight;
    TColor CaptionColorTo = clNone;
    TFont CaptionFont{"MS Sans Serif", -11, clHighlightText};
};
