// The tariff panel as the window configures it: where its children go and
// what it paints.

#include "platform/widgets/GuiTestHelpers.h"

#include "panel/TCaptionPanel.h"
#include "platform/widgets/TForm.h"

#include <QWidget>

namespace {

// Stands in for the grid and the navigator, which come with their own tasks.
class TChild : public TCustomControl {
public:
    using TCustomControl::TCustomControl;
    int Presses = 0;

protected:
    void MouseDown(TMouseButton, TShiftState, int, int) override { ++Presses; }
};

class CaptionPanel : public ::testing::Test {
protected:
    CaptionPanel() {
        form.SetClientWidth(346);
        form.SetClientHeight(284);
        panel = new TCaptionPanel(&form);
        panel->SetName("CaptionPanel1");
        panel->SetParent(&form);
        panel->SetBounds(24, 72, 305, 169);
        panel->Caption().SetVisible(true);
        panel->Caption().SetText("Tarifas");
        panel->Caption().SetHeight(20);
        panel->Caption().SetColor(clHighlight);
        panel->Caption().SetFont(TFont("MS Sans Serif", -11, clHighlightText));
        grid = new TChild(&form);
        grid->SetParent(panel);
        grid->SetAlign(alClient);
        navigator = new TChild(&form);
        navigator->SetParent(panel);
        navigator->SetHeight(18);
        navigator->SetAlign(alBottom);
    }

    QImage paint() {
        QImage image(panel->Width(), panel->Height(), QImage::Format_RGB32);
        image.fill(Qt::black);
        grid->SetVisible(false);
        navigator->SetVisible(false);
        panel->Widget()->render(&image);
        grid->SetVisible(true);
        navigator->SetVisible(true);
        return image;
    }

    guitest::DialogAndSettings env;
    TForm form{nullptr};
    TCaptionPanel* panel;
    TChild* grid;
    TChild* navigator;
};

} // namespace

TEST_F(CaptionPanel, ChildrenFillTheAreaBelowTheCaptionBand) {
    EXPECT_EQ(grid->BoundsRect(), Bounds(1, 19, 303, 131));
    EXPECT_EQ(navigator->BoundsRect(), Bounds(1, 150, 303, 18));
    EXPECT_EQ(grid->Widget()->geometry(), QRect(1, 19, 303, 131));
}

TEST_F(CaptionPanel, WithoutTheBandTheChildrenStartInsideTheBevel) {
    panel->Caption().SetVisible(false);
    EXPECT_EQ(grid->BoundsRect(), Bounds(1, 1, 303, 149));
    panel->Caption().SetVisible(true);
    panel->Caption().SetHeight(25);
    EXPECT_EQ(grid->BoundsRect(), Bounds(1, 24, 303, 126));
}

TEST_F(CaptionPanel, PaintsARaisedFrameAndTheHighlightedBand) {
    QImage image = paint();
    auto at = [&](int x, int y) { return QColor(image.pixel(x, y)); };
    const QColor light = ToQColor(clBtnHighlight), dark = ToQColor(clBtnShadow),
                 band = ToQColor(clHighlight), face = ToQColor(clBtnFace);
    EXPECT_EQ(at(0, 0), light);
    EXPECT_EQ(at(0, 167), light);
    EXPECT_EQ(at(303, 0), light);
    EXPECT_EQ(at(304, 0), dark);
    EXPECT_EQ(at(304, 168), dark);
    EXPECT_EQ(at(0, 168), dark);
    // The band: x 1 to 303, y 1 to 18.
    EXPECT_EQ(at(1, 1), band);
    EXPECT_EQ(at(303, 18), band);
    EXPECT_EQ(at(303, 1), band);
    EXPECT_EQ(at(1, 18), band);
    EXPECT_EQ(at(1, 19), face);
    EXPECT_EQ(at(150, 19), face);
    // "Tarifas" in the highlight text colour at the band's left, near its top.
    int text = 0, textRight = 0;
    for (int y = 1; y <= 18; ++y)
        for (int x = 1; x <= 303; ++x)
            if (at(x, y).red() > 200 && at(x, y).blue() > 200) {
                ++text;
                textRight = std::max(textRight, x);
            }
    EXPECT_GT(text, 20);
    EXPECT_LT(textRight, 60);
    bool textInFirstColumn = false;
    for (int y = 1; y <= 18; ++y)
        textInFirstColumn |= at(1, y) != band;
    EXPECT_FALSE(textInFirstColumn) << "the text starts one pixel inside the band";
}

TEST_F(CaptionPanel, ALongCaptionIsCutAtTheBandsRightEdge) {
    panel->Caption().SetText(std::string(200, 'W'));
    QImage image = paint();
    // The frame and the last band column stay as they are.
    EXPECT_EQ(QColor(image.pixel(304, 5)), ToQColor(clBtnShadow));
    EXPECT_EQ(QColor(image.pixel(303, 5)), ToQColor(clHighlight));
    int rightmost = 0;
    for (int y = 1; y <= 18; ++y)
        for (int x = 1; x <= 303; ++x)
            if (QColor(image.pixel(x, y)).red() > 200) rightmost = std::max(rightmost, x);
    EXPECT_GT(rightmost, 250);
    EXPECT_LT(rightmost, 303);
}

TEST_F(CaptionPanel, HiddenPanelHidesItsChildrenAndTheyTakeNoInput) {
    form.Show();
    guitest::ShowActive(form.Widget());
    panel->SetVisible(false);
    EXPECT_FALSE(grid->Showing());
    EXPECT_FALSE(navigator->Showing());
    QWidget* under = form.Widget()->childAt(24 + 50, 72 + 50);
    EXPECT_TRUE(under == nullptr || TControl::FromWidget(under) != grid);
    QTest::mouseClick(form.Widget(), Qt::LeftButton, Qt::NoModifier, QPoint(24 + 50, 72 + 50));
    EXPECT_EQ(grid->Presses, 0);
    panel->SetVisible(true);
    EXPECT_TRUE(grid->Showing());
    QTest::mouseClick(grid->Widget(), Qt::LeftButton, Qt::NoModifier, QPoint(50, 50));
    EXPECT_EQ(grid->Presses, 1);
}
