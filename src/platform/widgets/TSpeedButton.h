#pragma once
// TSpeedButton: a button with a glyph and a caption that never takes the
// focus, so that clicking it leaves the field being edited focused (no
// OnExit runs).
//
// The glyph's bottom-left pixel gives its transparent colour. Layout puts the
// glyph left, right, above or below the caption; with Margin -1 glyph and
// caption are centred together, Spacing pixels apart. A flat button shows no
// edge until the mouse is over it (raised) or it is pressed (sunken). A
// disabled button shows its glyph and caption embossed in grey.

#include "platform/widgets/TGraphicControl.h"

#include <QImage>

class QPainter;
class SpeedButtonWidget;

enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

class TSpeedButton : public TGraphicControl {
public:
    explicit TSpeedButton(TComponent* owner);

    const QImage& Glyph() const { return FGlyph; }
    void SetGlyph(const QImage& glyph);
    bool Flat() const { return FFlat; }
    void SetFlat(bool value);
    TButtonLayout Layout() const { return FLayout; }
    void SetLayout(TButtonLayout value);
    int Spacing() const { return FSpacing; }
    void SetSpacing(int value);
    int Margin() const { return FMargin; }
    void SetMargin(int value);

    // Where Paint puts the glyph and the caption, in the button's
    // coordinates, for the button's state now.
    QRect GlyphRect() const;
    QRect CaptionRect() const;

    // Runs OnClick, as a click of the mouse does.
    void Click() override;

protected:
    virtual void Paint(QPainter& canvas);
    void applyFont() override;
    void applyText(const std::string& text) override;

private:
    friend class SpeedButtonWidget;
    void layout(bool down, QRect& glyph, QRect& caption) const;
    bool isDown() const;

    QImage FGlyph;
    bool FFlat = false;
    TButtonLayout FLayout = blGlyphLeft;
    int FSpacing = 4;
    int FMargin = -1;
};
