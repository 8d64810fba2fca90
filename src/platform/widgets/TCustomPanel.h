#pragma once
// TCustomPanel: a container drawn with bevels and a one-line caption. The
// children are aligned inside the bevels and the border.
//
// Painting, from the outside in: the outer bevel (raised: light top and left
// edges, dark bottom and right; lowered: the other way round), a border of
// BorderWidth in the panel's colour, the inner bevel, the face in the
// panel's colour, and the caption centred vertically in what is left,
// aligned by Alignment, in the panel's font.
//
// With AutoSize the panel takes the height its visible children need below
// their lowest edge plus its bevels and border (the width too unless an
// alignment fixes it).

#include "platform/widgets/TCustomControl.h"

enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };

class TCustomPanel : public TCustomControl {
public:
    explicit TCustomPanel(TComponent* owner);

    TBevelCut BevelOuter() const { return FBevelOuter; }
    void SetBevelOuter(TBevelCut value);
    TBevelCut BevelInner() const { return FBevelInner; }
    void SetBevelInner(TBevelCut value);
    int BevelWidth() const { return FBevelWidth; }
    void SetBevelWidth(int value);
    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment value);
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool value);

protected:
    void Paint(QPainter& canvas) override;
    // Narrows by the border and by the bevel width of each bevel drawn.
    void AdjustClientRect(TRect& rect) const override;
    void applyText(const std::string& text) override;
    void applyFont() override;
    void childrenChanged() override;

private:
    void changed();
    void adjustSize();

    TBevelCut FBevelOuter = bvRaised;
    TBevelCut FBevelInner = bvNone;
    int FBevelWidth = 1;
    int FBorderWidth = 0;
    TAlignment FAlignment = taCenter;
    bool FAutoSize = false;
    bool FAdjustingSize = false;
};
