// The caption panel's picture, pixel by pixel: the raised frame, the band in
// the highlight colour, "Tarifas" at the band's top left, a long caption cut
// with "...", the band 23 high at 120 pixels per inch, the band's colour and
// gradient, the caption on the left, the status bar, and nothing at all
// while the panel is hidden.

#include "CaptionPanelFixture.h"

#include <QFontMetrics>

#include <algorithm>

namespace {

const QColor kLight = ToQColor(clBtnHighlight);
const QColor kDark = ToQColor(clBtnShadow);
const QColor kBand = ToQColor(clHighlight);
const QColor kFace = ToQColor(clBtnFace);

// The smallest rectangle (right and bottom exclusive) holding every pixel of
// the area that is not of the colour; empty when there is none.
TRect inkBox(const QImage& image, TRect area, QColor ground) {
    TRect box{area.Right, area.Bottom, area.Left, area.Top};
    for (int y = area.Top; y < area.Bottom; ++y)
        for (int x = area.Left; x < area.Right; ++x)
            if (QColor(image.pixel(x, y)) != ground) {
                box.Left = std::min(box.Left, x);
                box.Top = std::min(box.Top, y);
                box.Right = std::max(box.Right, x + 1);
                box.Bottom = std::max(box.Bottom, y + 1);
            }
    return box.Right > box.Left ? box : TRect{};
}

// Runs of columns that hold ink, from left to right, each with the rows its
// ink spans.
std::vector<TRect> inkRuns(const QImage& image, TRect area, QColor ground) {
    std::vector<TRect> runs;
    bool inRun = false;
    for (int x = area.Left; x <= area.Right; ++x) {
        TRect column =
            x < area.Right ? inkBox(image, Rect(x, area.Top, x + 1, area.Bottom), ground) : TRect{};
        bool ink = column.Right > column.Left;
        if (ink && !inRun) runs.push_back(column);
        if (ink && inRun) {
            runs.back().Right = x + 1;
            runs.back().Top = std::min(runs.back().Top, column.Top);
            runs.back().Bottom = std::max(runs.back().Bottom, column.Bottom);
        }
        inRun = ink;
    }
    return runs;
}

} // namespace

TEST_F(CaptionPanelTest, PaintsARaisedFrameAroundTheFaceAndTheHighlightedBand) {
    QImage image = paint();
    // Top and left edges white, bottom and right edges (with their corners)
    // grey.
    EXPECT_EQ(pixelsOtherThan(image, Rect(0, 0, 304, 1), kLight), 0);
    EXPECT_EQ(pixelsOtherThan(image, Rect(0, 0, 1, 168), kLight), 0);
    EXPECT_EQ(pixelsOtherThan(image, Rect(304, 0, 305, 169), kDark), 0);
    EXPECT_EQ(pixelsOtherThan(image, Rect(0, 168, 305, 169), kDark), 0);
    // The band: x 1 to 303, y 1 to 18; its right part holds no text.
    EXPECT_EQ(pixelsOtherThan(image, Rect(100, 1, 304, 19), kBand), 0);
    EXPECT_EQ(pixelsOtherThan(image, Rect(1, 1, 2, 19), kBand), 0)
        << "the text starts one pixel inside the band";
    // Below the band, the face.
    EXPECT_EQ(pixelsOtherThan(image, Rect(1, 19, 304, 168), kFace), 0);
}

TEST_F(CaptionPanelTest, CaptionTextSitsAtTheBandsTopLeft) {
    QImage image = paint();
    TRect ink = inkBox(image, Rect(1, 1, 304, 19), kBand);
    // Where Qt puts the ink of "Tarifas" in that font, drawn at x 2 with its
    // top at y 1.
    QFontMetrics metrics(ToQFont(TFont("MS Sans Serif", -11)));
    QRect expected = metrics.tightBoundingRect("Tarifas").translated(2, 1 + metrics.ascent());
    EXPECT_NEAR(ink.Left, expected.left(), 1);
    EXPECT_NEAR(ink.Right, expected.right() + 1, 1);
    EXPECT_NEAR(ink.Top, expected.top(), 1);
    EXPECT_NEAR(ink.Bottom, expected.bottom() + 1, 1);
    EXPECT_LE(ink.Bottom, 17) << "at the band's top, not centred";
    // The text is in the highlight text colour: white, smoothed into the
    // band at its edges.
    int white = 0, foreign = 0;
    for (int y = ink.Top; y < ink.Bottom; ++y)
        for (int x = ink.Left; x < ink.Right; ++x) {
            QColor c = at(image, x, y);
            white += c == QColor(Qt::white);
            foreign += c.green() < kBand.green() - 2 || c.blue() < kBand.blue() - 2;
        }
    EXPECT_GE(white, 5);
    EXPECT_EQ(foreign, 0) << "nothing but white over the band";
}

TEST_F(CaptionPanelTest, ALongCaptionIsCutWithThreeDotsAtTheBandsRightEdge) {
    panel->Caption().SetText("Tarifas del ajuste de cierre para todos los periodos contables "
                             "del año en curso");
    QImage image = paint();
    EXPECT_EQ(pixelsOtherThan(image, Rect(304, 0, 305, 169), kDark), 0) << "the frame stays";
    std::vector<TRect> runs = inkRuns(image, Rect(1, 1, 304, 19), kBand);
    ASSERT_GE(runs.size(), 4u);
    const TRect* dots = &runs[runs.size() - 3];
    const TRect& letter = runs[runs.size() - 4];
    for (int i = 0; i < 3; ++i) {
        EXPECT_LE(dots[i].Width(), 3) << "dot " << i;
        EXPECT_LE(dots[i].Height(), 3) << "dot " << i;
        EXPECT_NEAR(dots[i].Bottom, dots[0].Bottom, 1) << "dot " << i;
    }
    EXPECT_GT(letter.Height(), 4) << "a letter before the dots";
    EXPECT_NEAR(dots[0].Bottom, letter.Bottom, 1) << "the dots on the text's baseline";
    EXPECT_LE(dots[2].Right, 304) << "inside the band";
    EXPECT_GE(dots[2].Right, 290) << "as much text as fits";

    // A caption that fits is not cut.
    panel->Caption().SetText("Tarifas");
    runs = inkRuns(paint(), Rect(1, 1, 304, 19), kBand);
    ASSERT_FALSE(runs.empty());
    EXPECT_GT(runs.back().Height(), 4) << "ends with the s, no dots";
}

TEST_F(CaptionPanelTest, PaintsTheSameWithoutTheOffScreenBuffer) {
    QImage buffered = paint();
    panel->SetBuffered(false);
    EXPECT_EQ(paint(), buffered);
}

TEST_F(CaptionPanelTest, At120PixelsPerInchTheBandIs23High) {
    panel->ChangeScale(120, 96);
    QImage image = paint();
    ASSERT_EQ(image.size(), QSize(381, 211));
    EXPECT_EQ(pixelsOtherThan(image, Rect(150, 1, 380, 24), kBand), 0);
    EXPECT_EQ(pixelsOtherThan(image, Rect(1, 24, 380, 210), kFace), 0);
    EXPECT_EQ(pixelsOtherThan(image, Rect(380, 0, 381, 211), kDark), 0);
    // The text in the scaled font, still at the top left.
    TRect ink = inkBox(image, Rect(1, 1, 380, 24), kBand);
    QFontMetrics metrics(ToQFont(TFont("MS Sans Serif", -13)));
    QRect expected = metrics.tightBoundingRect("Tarifas").translated(2, 1 + metrics.ascent());
    EXPECT_NEAR(ink.Left, expected.left(), 1);
    EXPECT_NEAR(ink.Right, expected.right() + 1, 1);
    EXPECT_NEAR(ink.Bottom, expected.bottom() + 1, 1);
}

TEST_F(CaptionPanelTest, ANewBandColourRebuildsTheBandsPictureAndRepaints) {
    panel->Caption().SetColor(clNavy);
    EXPECT_EQ(panel->Calls, std::vector<std::string>{"shading"});
    EXPECT_EQ(panel->ShadingCache().size(), QSize(303, 18));
    EXPECT_EQ(QColor(panel->ShadingCache().pixel(0, 0)), ToQColor(clNavy));
    QImage image = paint();
    EXPECT_EQ(pixelsOtherThan(image, Rect(100, 1, 304, 19), ToQColor(clNavy)), 0);
}

TEST_F(CaptionPanelTest, AColourToMakesTheBandAGradient) {
    panel->Caption().SetColorTo(clNavy);
    QImage image = paint();
    // Vertical by default: each row one colour, from the highlight to navy.
    QColor top = at(image, 200, 1), bottom = at(image, 200, 18);
    EXPECT_EQ(pixelsOtherThan(image, Rect(100, 1, 304, 2), top), 0);
    EXPECT_LT(std::abs(top.blue() - 215), 12);
    EXPECT_LT(std::abs(bottom.blue() - 128), 12);
    EXPECT_LT(bottom.green(), top.green());
    panel->Caption().SetColorTo(clNone);
    EXPECT_EQ(pixelsOtherThan(paint(), Rect(100, 1, 304, 19), kBand), 0);
}

TEST_F(CaptionPanelTest, ACaptionOnTheLeftIsABandDownTheLeftEdgeReadUpwards) {
    panel->Caption().SetPosition(cpLeft);
    EXPECT_EQ(panel->CaptionBandRect(), Rect(1, 1, 19, 168));
    QImage image = paint();
    EXPECT_EQ(pixelsOtherThan(image, Rect(1, 1, 19, 100), kBand), 0);
    EXPECT_EQ(pixelsOtherThan(image, Rect(19, 1, 304, 168), kFace), 0);
    TRect ink = inkBox(image, Rect(1, 1, 19, 168), kBand);
    EXPECT_GE(ink.Left, 1);
    EXPECT_LE(ink.Left, 4) << "the letters' tops face the left edge";
    EXPECT_GE(ink.Bottom, 160) << "the text begins at the bottom";
    EXPECT_LE(ink.Bottom, 167);
    EXPECT_GT(ink.Height(), ink.Width());
}

TEST_F(CaptionPanelTest, AVisibleStatusBarIsPaintedAlongTheBottom) {
    panel->StatusBar().SetColor(clYellow);
    panel->StatusBar().SetHeight(20);
    EXPECT_EQ(pixelsOtherThan(paint(), Rect(1, 148, 304, 168), kFace), 0) << "hidden";
    panel->StatusBar().SetText("Listo");
    panel->StatusBar().SetVisible(true);
    QImage image = paint();
    EXPECT_EQ(pixelsOtherThan(image, Rect(100, 148, 304, 168), ToQColor(clYellow)), 0);
    EXPECT_GT(pixelsOtherThan(image, Rect(1, 148, 60, 168), ToQColor(clYellow)), 10) << "its text";
    EXPECT_EQ(pixelsOtherThan(image, Rect(1, 19, 304, 148), kFace), 0);
}

TEST_F(CaptionPanelTest, NothingOfAHiddenPanelIsPainted) {
    showForm();
    auto bandPixels = [](const QImage& image) {
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                n += QColor(image.pixel(x, y)) == kBand;
        return n;
    };
    QImage shown = paintForm();
    EXPECT_EQ(at(shown, 24 + 150, 72 + 5), kBand);
    EXPECT_EQ(at(shown, 24 + 150, 72 + 60), QColor(Qt::white)) << "the grid";

    panel->SetVisible(false);
    QImage hidden = paintForm();
    EXPECT_EQ(bandPixels(hidden), 0);
    EXPECT_EQ(pixelsOtherThan(hidden, Bounds(24, 72, 305, 169), kFace), 0)
        << "the form's face where the panel was, no grid, no navigator";
}
