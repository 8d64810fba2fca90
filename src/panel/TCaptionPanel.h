#pragma once
// TCaptionPanel: a panel with a caption band across its top, the container
// of the closing-adjustment editor. Its children are aligned below the band.
//
// Painting: the panel's face and bevels as a panel's, then the band inside
// the outer bevel, Caption().Height() minus the two bevel edges high, in the
// caption colour, and the caption text on it: one line, left-aligned one
// pixel inside the band, at the band's top, cut with "..." when too wide.
//
// Caption() is the band, as the suite's caption panel calls it; the
// control's own text (Text) is not drawn.

#include "panel/TPanelCaption.h"
#include "platform/widgets/TCustomPanel.h"

class TCaptionPanel : public TCustomPanel {
public:
    explicit TCaptionPanel(TComponent* owner);

    TPanelCaption& Caption() { return FCaption; }
    const TPanelCaption& Caption() const { return FCaption; }

    // The band as painted, in the panel's coordinates, and the rectangle the
    // caption text is drawn in.
    TRect CaptionBandRect() const;
    TRect CaptionTextRect() const;

protected:
    void Paint(QPainter& canvas) override;
    // Below the band when it shows, then inside the bevels.
    void AdjustClientRect(TRect& rect) const override;

private:
    TPanelCaption FCaption;
};
