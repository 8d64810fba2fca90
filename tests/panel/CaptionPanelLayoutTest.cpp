// Where the caption panel puts its children: below the band and inside the
// bevel, the navigator along the bottom and the grid in the rest; with the
// band hidden, on the left, a status bar; after scaling to 120 pixels per
// inch; and the configured properties.

#include "CaptionPanelFixture.h"

TEST_F(CaptionPanelTest, ChildrenFillTheAreaBelowTheCaptionBand) {
    EXPECT_EQ(grid->BoundsRect(), Bounds(1, 19, 303, 131));
    EXPECT_EQ(navigator->BoundsRect(), Bounds(1, 150, 303, 18));
    EXPECT_EQ(grid->Widget()->geometry(), QRect(1, 19, 303, 131));
    EXPECT_EQ(navigator->Widget()->geometry(), QRect(1, 150, 303, 18));
    EXPECT_EQ(panel->CaptionBandRect(), Rect(1, 1, 304, 19));
}

TEST_F(CaptionPanelTest, CaptionChangesMoveTheChildren) {
    struct Case {
        const char* Name;
        std::function<void(TCaptionPanel&)> Change;
        TRect Grid;
        TRect Navigator;
    };
    const std::vector<Case> cases = {
        {"band hidden", [](TCaptionPanel& p) { p.Caption().SetVisible(false); },
         Bounds(1, 1, 303, 149), Bounds(1, 150, 303, 18)},
        {"band 25 high", [](TCaptionPanel& p) { p.Caption().SetHeight(25); },
         Bounds(1, 24, 303, 126), Bounds(1, 150, 303, 18)},
        // A band lower than the bevel and the fixed 2 leaves the inset alone.
        {"band 2 high", [](TCaptionPanel& p) { p.Caption().SetHeight(2); }, Bounds(1, 1, 303, 149),
         Bounds(1, 150, 303, 18)},
        {"band on the left", [](TCaptionPanel& p) { p.Caption().SetPosition(cpLeft); },
         Bounds(19, 1, 285, 149), Bounds(19, 150, 285, 18)},
        {"status bar",
         [](TCaptionPanel& p) {
             p.StatusBar().SetHeight(20);
             p.StatusBar().SetVisible(true);
         },
         Bounds(1, 19, 303, 111), Bounds(1, 130, 303, 18)},
        {"wider bevel", [](TCaptionPanel& p) { p.SetBevelWidth(2); }, Bounds(2, 20, 301, 129),
         Bounds(2, 149, 301, 18)},
        {"border and inner bevel",
         [](TCaptionPanel& p) {
             p.SetBorderWidth(2);
             p.SetBevelInner(bvLowered);
         },
         Bounds(4, 22, 297, 125), Bounds(4, 147, 297, 18)},
    };
    for (const Case& c : cases) {
        c.Change(*panel);
        EXPECT_EQ(grid->BoundsRect(), c.Grid) << c.Name;
        EXPECT_EQ(navigator->BoundsRect(), c.Navigator) << c.Name;
        // Back to the configuration for the next case.
        panel->Caption().SetVisible(true);
        panel->Caption().SetHeight(20);
        panel->Caption().SetPosition(cpTop);
        panel->StatusBar().SetVisible(false);
        panel->SetBevelWidth(1);
        panel->SetBorderWidth(0);
        panel->SetBevelInner(bvNone);
        EXPECT_EQ(grid->BoundsRect(), Bounds(1, 19, 303, 131)) << c.Name;
    }
}

TEST_F(CaptionPanelTest, ScalingTo120PixelsPerInchScalesTheBandAndTheChildren) {
    panel->ChangeScale(120, 96);
    EXPECT_EQ(panel->Caption().Height(), 25);
    EXPECT_EQ(panel->Caption().Font().Size(), 10);
    EXPECT_EQ(panel->Caption().Font().Height(), -13);
    EXPECT_EQ(panel->BoundsRect(), Bounds(30, 90, 381, 211));
    EXPECT_EQ(panel->CaptionBandRect(), Rect(1, 1, 380, 24)) << "23 pixels high";
    EXPECT_EQ(grid->Top(), 24);
    EXPECT_EQ(grid->BoundsRect(), Bounds(1, 24, 379, 164));
    EXPECT_EQ(navigator->BoundsRect(), Bounds(1, 188, 379, 22));
    EXPECT_EQ(navigator->Buttons(nbCancel)->BoundsRect().Right, 379)
        << "the buttons share the new width";
    // The caption's change events were not used for it.
    EXPECT_TRUE(panel->Calls.empty());

    // And back: the same bounds as designed.
    panel->ChangeScale(96, 120);
    EXPECT_EQ(panel->Caption().Height(), 20);
    EXPECT_EQ(panel->BoundsRect(), Bounds(24, 72, 305, 169));
    EXPECT_EQ(grid->BoundsRect(), Bounds(1, 19, 303, 131));
    EXPECT_EQ(navigator->BoundsRect(), Bounds(1, 150, 303, 18));
}

TEST(MulDiv, MultipliesThenDividesRoundingHalfAwayFromZero) {
    struct Case {
        int Number, Numerator, Denominator, Result;
    };
    const Case cases[] = {{20, 120, 96, 25},   {8, 120, 96, 10},        {18, 120, 96, 23},
                          {-11, 120, 96, -14}, {169, 120, 96, 211},     {3, 1, 2, 2},
                          {-3, 1, 2, -2},      {3, -1, 2, -2},          {5, 0, 7, 0},
                          {7, 3, 0, -1},       {1 << 30, 4, 4, 1 << 30}};
    for (const Case& c : cases)
        EXPECT_EQ(MulDiv(c.Number, c.Numerator, c.Denominator), c.Result)
            << c.Number << " * " << c.Numerator << " / " << c.Denominator;
}

TEST_F(CaptionPanelTest, PropertiesAsTheWindowConfiguresThem) {
    EXPECT_EQ(panel->BoundsRect(), Bounds(24, 72, 305, 169));
    EXPECT_EQ(panel->Color(), clBtnFace);
    EXPECT_EQ(panel->BevelOuter(), bvRaised);
    EXPECT_EQ(panel->BevelInner(), bvNone);
    EXPECT_EQ(panel->BevelWidth(), 1);
    EXPECT_EQ(panel->BorderWidth(), 0);
    EXPECT_EQ(panel->BorderColor(), clBlack);
    EXPECT_EQ(panel->ColorTo(), clNone);
    EXPECT_TRUE(panel->Buffered());
    EXPECT_EQ(panel->Text(), "");
    EXPECT_EQ(panel->FullHeight(), 0);
    EXPECT_EQ(panel->Styler(), nullptr);

    const TPanelCaption& c = panel->Caption();
    EXPECT_TRUE(c.Visible());
    EXPECT_EQ(c.Text(), "Tarifas");
    EXPECT_EQ(c.Height(), 20);
    EXPECT_EQ(c.Color(), clHighlight);
    EXPECT_EQ(c.ColorTo(), clNone);
    EXPECT_EQ(c.Font(), TFont("MS Sans Serif", -11, clHighlightText));
    EXPECT_EQ(c.Indent(), 0);
    EXPECT_EQ(c.TopIndent(), 0);
    EXPECT_EQ(c.Position(), cpTop);

    EXPECT_FALSE(panel->StatusBar().Visible());
    EXPECT_EQ(panel->StatusBar().Font(), TFont("Tahoma", -11, clWindowText));
    EXPECT_FALSE(panel->AutoSize().Enabled());
    EXPECT_FALSE(panel->Position().Save());
    EXPECT_TRUE(panel->Background().Empty());
}

TEST(CaptionPanel, ANewPanelHasItsCaptionHiddenAndAFixedVersion) {
    TCaptionPanel panel(nullptr);
    EXPECT_FALSE(panel.Caption().Visible());
    EXPECT_EQ(panel.Version(), "1.0.0.0");
    panel.SetVersion("2.0.0.0");
    EXPECT_EQ(panel.Version(), "1.0.0.0");
}

TEST_F(CaptionPanelTest, AutoSizeFitsThePanelToItsUnalignedChildren) {
    TCaptionPanel* other = new TCaptionPanel(&form);
    other->SetParent(&form);
    other->SetBounds(0, 0, 100, 100);
    other->Caption().SetVisible(true);
    auto* child = new TGridStandIn(&form);
    child->SetParent(other);
    child->SetBounds(10, 30, 50, 40);
    other->AutoSize().SetEnabled(true);
    // The child's right and bottom edges plus the bevel.
    EXPECT_EQ(other->Width(), 61);
    EXPECT_EQ(other->Height(), 71);
    child->SetBounds(10, 30, 80, 60);
    EXPECT_EQ(other->Width(), 91);
    EXPECT_EQ(other->Height(), 91);
    other->AutoSize().SetWidth(false);
    child->SetBounds(10, 30, 20, 20);
    EXPECT_EQ(other->Width(), 91);
    EXPECT_EQ(other->Height(), 51);
    // The tariff panel's children are aligned: it keeps its size.
    panel->AutoSize().SetEnabled(true);
    EXPECT_EQ(panel->BoundsRect(), Bounds(24, 72, 305, 169));
}
