#include "platform/widgets/TColor.h"

#include <iterator>

namespace {

// The classic palette, indexed like the system colours.
constexpr TColor kSystemColors[] = {
    RGBColor(200, 200, 200), // clScrollBar
    RGBColor(0, 0, 0),       // clBackground
    RGBColor(153, 180, 209), // clActiveCaption
    RGBColor(191, 205, 219), // clInactiveCaption
    RGBColor(240, 240, 240), // clMenu
    RGBColor(255, 255, 255), // clWindow
    RGBColor(100, 100, 100), // clWindowFrame
    RGBColor(0, 0, 0),       // clMenuText
    RGBColor(0, 0, 0),       // clWindowText
    RGBColor(0, 0, 0),       // clCaptionText
    RGBColor(180, 180, 180), // clActiveBorder
    RGBColor(244, 247, 252), // clInactiveBorder
    RGBColor(171, 171, 171), // clAppWorkSpace
    RGBColor(0, 120, 215),   // clHighlight
    RGBColor(255, 255, 255), // clHighlightText
    RGBColor(240, 240, 240), // clBtnFace
    RGBColor(160, 160, 160), // clBtnShadow
    RGBColor(109, 109, 109), // clGrayText
    RGBColor(0, 0, 0),       // clBtnText
    RGBColor(0, 0, 0),       // clInactiveCaptionText
    RGBColor(255, 255, 255), // clBtnHighlight
    RGBColor(105, 105, 105), // cl3DDkShadow
    RGBColor(227, 227, 227), // cl3DLight
    RGBColor(0, 0, 0),       // clInfoText
    RGBColor(255, 255, 225), // clInfoBk
};

} // namespace

TColor ColorToRGB(TColor color) {
    if (color == clNone || color == clDefault) return clBlack;
    if ((static_cast<uint32_t>(color) & 0xFF000000u) == 0xFF000000u) {
        unsigned index = static_cast<uint32_t>(color) & 0xFF;
        if (index < std::size(kSystemColors)) return kSystemColors[index];
        return clBlack;
    }
    return color & 0xFFFFFF;
}

QColor ToQColor(TColor color) {
    TColor rgb = ColorToRGB(color);
    return QColor(rgb & 0xFF, (rgb >> 8) & 0xFF, (rgb >> 16) & 0xFF);
}

QPalette ClassicPalette() {
    QPalette p;
    const QColor face = ToQColor(clBtnFace);
    p.setColor(QPalette::Window, face);
    p.setColor(QPalette::WindowText, ToQColor(clWindowText));
    p.setColor(QPalette::Base, ToQColor(clWindow));
    p.setColor(QPalette::AlternateBase, face);
    p.setColor(QPalette::Text, ToQColor(clWindowText));
    p.setColor(QPalette::Button, face);
    p.setColor(QPalette::ButtonText, ToQColor(clBtnText));
    p.setColor(QPalette::Light, ToQColor(clBtnHighlight));
    p.setColor(QPalette::Midlight, ToQColor(cl3DLight));
    p.setColor(QPalette::Mid, ToQColor(clBtnShadow));
    p.setColor(QPalette::Dark, ToQColor(clBtnShadow));
    p.setColor(QPalette::Shadow, ToQColor(cl3DDkShadow));
    p.setColor(QPalette::Highlight, ToQColor(clHighlight));
    p.setColor(QPalette::HighlightedText, ToQColor(clHighlightText));
    p.setColor(QPalette::ToolTipBase, ToQColor(clInfoBk));
    p.setColor(QPalette::ToolTipText, ToQColor(clInfoText));
    p.setColor(QPalette::PlaceholderText, ToQColor(clGrayText));
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, role, ToQColor(clGrayText));
    return p;
}
