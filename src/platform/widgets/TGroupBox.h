#pragma once
// TGroupBox: a container framed by an etched line, with its caption in the
// top edge. The frame runs at half the caption's height; the caption sits at
// x = 8 on the box's colour. Children are placed relative to the box's
// top-left corner; aligned ones go below the caption and inside the frame.

#include "platform/widgets/TCustomControl.h"

class TGroupBox : public TCustomControl {
public:
    explicit TGroupBox(TComponent* owner);

protected:
    void Paint(QPainter& canvas) override;
    void AdjustClientRect(TRect& rect) const override;
    void applyText(const std::string& text) override;
    void applyFont() override;
};
