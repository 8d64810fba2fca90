// Font substitution and heights, and the classic colour table.

#include "platform/widgets/TColor.h"
#include "platform/widgets/TFont.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <gtest/gtest.h>

TEST(Fonts, WindowsFacesAreDrawnWithTheFirstInstalledStandIn) {
    // scripts/install-deps installs the Liberation and DejaVu fonts.
    EXPECT_EQ(SubstituteFontFamily("MS Sans Serif"), "Liberation Sans");
    EXPECT_EQ(SubstituteFontFamily("ms sans serif"), "Liberation Sans");
    EXPECT_EQ(SubstituteFontFamily("Arial Narrow"), "Liberation Sans Narrow");
    EXPECT_EQ(SubstituteFontFamily("Tahoma"), "DejaVu Sans");
    // An installed face stands for itself; an unknown one is left to Qt.
    EXPECT_EQ(SubstituteFontFamily("DejaVu Sans"), "DejaVu Sans");
    EXPECT_EQ(SubstituteFontFamily("No Such Face"), "No Such Face");
    QFontInfo info(ToQFont(TFont("Arial Narrow", -11)));
    EXPECT_EQ(info.family(), "Liberation Sans Narrow");
}

TEST(Fonts, NegativeHeightIsTheCharacterHeightInPixels) {
    struct Case {
        int Height;
        int Points;
    };
    const Case cases[] = {{-11, 8}, {-13, 10}, {-16, 12}};
    for (const Case& c : cases) {
        TFont f("MS Sans Serif", c.Height);
        EXPECT_EQ(ToQFont(f).pixelSize(), -c.Height);
        EXPECT_EQ(f.Size(), c.Points);
        TFont g;
        g.SetSize(c.Points);
        EXPECT_EQ(g.Height(), c.Height);
    }
}

TEST(Fonts, PositiveHeightIsTheCellHeight) {
    QFont f = ToQFont(TFont("MS Sans Serif", 16));
    QFontMetrics m(f);
    EXPECT_LE(m.ascent() + m.descent(), 17);
    EXPECT_GE(m.ascent() + m.descent(), 14);
    EXPECT_LT(f.pixelSize(), 16);
}

TEST(Fonts, StylesCarryOver) {
    QFont f = ToQFont(TFont("Tahoma", -11, clBlack, fsBold | fsItalic | fsUnderline));
    EXPECT_TRUE(f.bold());
    EXPECT_TRUE(f.italic());
    EXPECT_TRUE(f.underline());
    EXPECT_FALSE(f.strikeOut());
}

TEST(Colors, SystemColoursComeFromTheClassicPalette) {
    struct Case {
        TColor Color;
        int R, G, B;
    };
    const Case cases[] = {
        {clBtnFace, 240, 240, 240},
        {clBtnHighlight, 255, 255, 255},
        {clBtnShadow, 160, 160, 160},
        {clHighlight, 0, 120, 215},
        {clHighlightText, 255, 255, 255},
        {clWindow, 255, 255, 255},
        {clWindowText, 0, 0, 0},
        {clSilver, 192, 192, 192},
        {clGray, 128, 128, 128},
        {clNavy, 0, 0, 128},
        {clYellow, 255, 255, 0},
        {clRed, 255, 0, 0},
        {RGBColor(224, 223, 227), 224, 223, 227},
    };
    for (const Case& c : cases) {
        QColor q = ToQColor(c.Color);
        EXPECT_EQ(q, QColor(c.R, c.G, c.B)) << std::hex << c.Color;
    }
    EXPECT_EQ(ColorToRGB(clNavy), 0x800000);
    EXPECT_EQ(ColorToRGB(clBtnFace), RGBColor(240, 240, 240));
    QPalette p = ClassicPalette();
    EXPECT_EQ(p.color(QPalette::Window), QColor(240, 240, 240));
    EXPECT_EQ(p.color(QPalette::Highlight), QColor(0, 120, 215));
}
