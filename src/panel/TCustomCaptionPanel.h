#pragma once
// TCustomCaptionPanel: a panel with a caption band across its top (or down
// its left edge) and an optional status bar, the container of the
// closing-adjustment editor. TCaptionPanel is the class forms create.
//
// Client area for the children: the framework's rectangle (0, 0, Width,
// Height) loses, while the caption shows, everything above Caption().Height()
// minus 2 (cpLeft: left of it), while the status bar shows, everything below
// Height minus its height (cpLeft: right of Width minus it); then the
// panel's border and bevels are taken off every side.
//
// Painting, with Buffered through an off-screen picture of the client size
// copied at (0, 0): the face in Color (a vertical gradient to ColorTo unless
// that is clNone), the background picture, the outer bevel, the border in
// BorderColor and the inner bevel; then, inside the outer bevel, the caption
// band Caption().Height() minus twice the bevel width high in the caption's
// colour (a gradient to its ColorTo unless clNone), and its text in the
// caption's font, transparent, one line, one pixel inside the band's left
// edge plus Indent, at the band's top plus TopIndent, cut with "..." at the
// band's right edge; the panel's own Text centred in the children's area;
// the status bar.
//
// The panel does not react to the mouse: no caption buttons, no collapsing,
// moving or sizing, no hover effects.
//
// Scaling from one resolution to another (ChangeScale) scales the caption's
// height and font besides the bounds and the children.

#include "panel/TAutoSize.h"
#include "panel/TPanelCaption.h"
#include "panel/TPanelImage.h"
#include "panel/TPanelPosition.h"
#include "panel/TPanelStatusBar.h"
#include "platform/widgets/TCustomPanel.h"

#include <QImage>

#include <string>

class TCaptionPanelStyler;
class TPanelSettings;

class TCustomCaptionPanel : public TCustomPanel {
public:
    explicit TCustomCaptionPanel(TComponent* owner);
    ~TCustomCaptionPanel() override;

    TPanelCaption& Caption() { return FCaption; }
    const TPanelCaption& Caption() const { return FCaption; }
    TPanelStatusBar& StatusBar() { return FStatusBar; }
    const TPanelStatusBar& StatusBar() const { return FStatusBar; }
    TPanelPosition& Position() { return FPosition; }
    TAutoSize& AutoSize() { return FAutoSize; }
    const TAutoSize& AutoSize() const { return FAutoSize; }
    TPanelImage& Background() { return FBackground; }
    const TPanelImage& Background() const { return FBackground; }

    TColor ColorTo() const { return FColorTo; }
    void SetColorTo(TColor value);
    // The colour of the border of BorderWidth between the bevels.
    TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(TColor value);
    bool Buffered() const { return FBuffered; }
    void SetBuffered(bool value);
    // The height to give back after collapsing (the panel is never collapsed
    // here); kept for the form's description.
    int FullHeight() const { return FFullHeight; }
    void SetFullHeight(int value) { FFullHeight = value; }
    // "1.0.0.0"; writing it changes nothing.
    const std::string& Version() const;
    void SetVersion(const std::string&) {}
    TCaptionPanelStyler* Styler() const { return FStyler; }

    // Where the band is painted and the box its text is drawn in, in the
    // panel's coordinates (right and bottom exclusive).
    TRect CaptionBandRect() const;
    TRect CaptionTextRect() const;
    // The band's picture as last built (see UpdateShading).
    const QImage& ShadingCache() const { return FShadingCache; }

    void ChangeScale(int M, int D) override;

    // After those of the framework's panel, in this order:
    // Takes the styler's settings now and whenever they change; null leaves
    // the panel as it looks.
    virtual void SetStyler(TCaptionPanelStyler* value);
    virtual void ApplySettings(const TPanelSettings& settings);
    // Builds the band's picture: its colour, or the gradient to its ColorTo,
    // at the band's size.
    virtual void UpdateShading();
    // Runs when the caption is shown or hidden; nothing here.
    virtual void StateChange() {}

protected:
    void Paint(QPainter& canvas) override;
    void AdjustClientRect(TRect& rect) const override;
    void boundsChanged(bool resized) override;
    void childrenChanged() override;

private:
    void captionChanged();
    void captionPositionChanged();
    void doAutoSize();
    bool shadingCacheCurrent() const;
    void paintPanel(QPainter& canvas);
    void paintCaption(QPainter& canvas);
    void paintStatusBar(QPainter& canvas);
    void paintText(QPainter& canvas);

    TPanelCaption FCaption;
    TPanelStatusBar FStatusBar;
    TPanelPosition FPosition;
    TAutoSize FAutoSize;
    TPanelImage FBackground;
    TColor FColorTo = clNone;
    TColor FBorderColor = clBlack;
    bool FBuffered = true;
    int FFullHeight = 0;
    TCaptionPanelStyler* FStyler = nullptr;
    bool FAutoSizing = false;

    // The band's picture, and what it was built from.
    QImage FShadingCache;
    TColor FShadedFrom = clNone, FShadedTo = clNone;
    TGradientDirection FShadedDirection = gdVertical;
};
