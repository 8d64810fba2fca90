// What the caption panel does when things happen to it: the mouse (nothing),
// showing and hiding (its children with it, no input while hidden), resizing
// (everything repainted), the caption's change events, and a styler.

#include "CaptionPanelFixture.h"

#include "panel/TCaptionPanelStyler.h"
#include "panel/TPanelSettings.h"
#include "platform/Exceptions.h"

#include <QCursor>

namespace {

// Everything about the panel that a click could change, as text.
std::string panelState(const TCaptionPanel& p, const TControl& grid, const TControl& nav) {
    auto r = [](TRect b) {
        return std::to_string(b.Left) + "," + std::to_string(b.Top) + "," +
               std::to_string(b.Width()) + "," + std::to_string(b.Height());
    };
    return r(p.BoundsRect()) + " " + r(grid.BoundsRect()) + " " + r(nav.BoundsRect()) + " " +
           (p.Visible() ? "visible" : "hidden") + " " + p.Caption().Text() + " " +
           std::to_string(p.Caption().Height());
}

} // namespace

TEST_F(CaptionPanelTest, MousePressesClicksAndDoubleClicksDoNothing) {
    showForm();
    QWidget* w = panel->Widget();
    const QImage picture = paint();
    const std::string state = panelState(*panel, *grid, *navigator);
    struct Case {
        const char* Name;
        QPoint At;
    };
    const Case places[] = {{"band, on the text", {10, 8}},
                           {"band, right end", {300, 10}},
                           {"frame, top left", {0, 0}},
                           {"frame, bottom right corner", {304, 168}},
                           {"frame, left edge below the band", {0, 100}}};
    for (const Case& c : places) {
        QTest::mousePress(w, Qt::LeftButton, Qt::NoModifier, c.At);
        QTest::mouseRelease(w, Qt::LeftButton, Qt::NoModifier, c.At);
        QTest::mouseClick(w, Qt::RightButton, Qt::NoModifier, c.At);
        QTest::mouseDClick(w, Qt::LeftButton, Qt::NoModifier, c.At);
        // A drag from there: no moving and no sizing.
        QTest::mousePress(w, Qt::LeftButton, Qt::NoModifier, c.At);
        QTest::mouseMove(w, c.At + QPoint(-20, 30));
        QTest::mouseRelease(w, Qt::LeftButton, Qt::NoModifier, c.At + QPoint(-20, 30));
        EXPECT_EQ(panelState(*panel, *grid, *navigator), state) << c.Name;
        EXPECT_EQ(paint(), picture) << c.Name;
    }
    EXPECT_TRUE(env.Dialogs.Entries().empty());
    EXPECT_EQ(grid->Presses, 0);
}

TEST_F(CaptionPanelTest, HoveringChangesNeitherTheCursorNorAnyColour) {
    showForm();
    QWidget* w = panel->Widget();
    const QImage picture = paint();
    for (QPoint p : {QPoint(10, 8), QPoint(200, 10), QPoint(0, 50), QPoint(304, 168)}) {
        QTest::mouseMove(w, p);
        QEvent enter(QEvent::Enter);
        QApplication::sendEvent(w, &enter);
        EXPECT_FALSE(w->testAttribute(Qt::WA_SetCursor));
        EXPECT_EQ(w->cursor().shape(), Qt::ArrowCursor);
        EXPECT_EQ(paint(), picture);
    }
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(w, &leave);
    EXPECT_EQ(paint(), picture);
}

TEST_F(CaptionPanelTest, AHiddenPanelHidesItsChildrenAndTheyTakeNoInput) {
    showForm();
    panel->SetVisible(false);
    EXPECT_FALSE(grid->Showing());
    EXPECT_FALSE(navigator->Showing());
    EXPECT_FALSE(grid->CanFocus());
    EXPECT_THROW(grid->SetFocus(), EInvalidOperation);
    QWidget* under = form.Widget()->childAt(24 + 50, 72 + 50);
    EXPECT_TRUE(under == nullptr || !panel->ContainsControl(TControl::FromWidget(under)));
    QTest::mouseClick(form.Widget(), Qt::LeftButton, Qt::NoModifier, QPoint(24 + 50, 72 + 50));
    EXPECT_EQ(grid->Presses, 0);

    panel->SetVisible(true);
    EXPECT_TRUE(grid->Showing());
    EXPECT_TRUE(navigator->Showing());
    EXPECT_TRUE(grid->CanFocus());
    QTest::mouseClick(grid->Widget(), Qt::LeftButton, Qt::NoModifier, QPoint(50, 50));
    EXPECT_EQ(grid->Presses, 1);
}

TEST_F(CaptionPanelTest, ResizingRepaintsThePanelAndEveryChild) {
    // A child that neither moves nor changes size with the panel.
    auto* fixed = new TGridStandIn(&form);
    fixed->SetParent(panel);
    fixed->SetBounds(200, 2, 40, 10);
    showForm();
    QApplication::processEvents();
    panel->Paints = grid->Paints = fixed->Paints = 0;
    panel->SetBounds(24, 72, 305, 150);
    QApplication::processEvents();
    EXPECT_GT(panel->Paints, 0);
    EXPECT_GT(grid->Paints, 0);
    EXPECT_GT(fixed->Paints, 0);
    EXPECT_EQ(navigator->BoundsRect(), Bounds(1, 131, 303, 18));
}

TEST_F(CaptionPanelTest, CaptionEventsRealignRepaintAndRunTheHooks) {
    // Hiding the band: children realigned first (OnChange), then the hook.
    int gridTopAtHook = -1;
    panel->Caption().OnStateChange = [&](TObject*) {
        gridTopAtHook = grid->Top();
        panel->StateChange();
    };
    panel->Caption().SetVisible(false);
    EXPECT_EQ(gridTopAtHook, 1);
    EXPECT_EQ(panel->Calls, std::vector<std::string>{"state"});

    panel->Calls.clear();
    panel->Caption().SetVisible(true);
    panel->Caption().SetText("Otra");
    panel->Caption().SetHeight(30);
    panel->Caption().SetIndent(4);
    EXPECT_EQ(panel->Calls, std::vector<std::string>{"state"}) << "only visibility runs the hook";
    EXPECT_EQ(grid->Top(), 29);

    panel->Calls.clear();
    panel->Caption().SetPosition(cpLeft);
    EXPECT_EQ(panel->Calls, std::vector<std::string>{"shading"});
    EXPECT_EQ(grid->Left(), 29);
    EXPECT_EQ(panel->ShadingCache().size(), QSize(28, 167));

    // Setting what is already there reports nothing.
    panel->Calls.clear();
    panel->Caption().SetColor(clHighlight);
    panel->Caption().SetVisible(true);
    EXPECT_TRUE(panel->Calls.empty());
}

TEST_F(CaptionPanelTest, AStylerGivesItsLookToItsPanelsUntilItGoes) {
    auto* styler = new TCaptionPanelStyler(&form);
    TPanelSettings look;
    look.Color = clSilver;
    look.CaptionColor = clNavy;
    look.CaptionFont = TFont("Tahoma", -12, clYellow);
    styler->SetSettings(look);
    panel->SetStyler(styler);
    EXPECT_EQ(panel->Color(), clSilver);
    EXPECT_EQ(panel->Caption().Color(), clNavy);
    EXPECT_EQ(panel->Caption().Font(), TFont("Tahoma", -12, clYellow));
    QImage image = paint();
    EXPECT_EQ(at(image, 200, 10), ToQColor(clNavy));
    EXPECT_EQ(at(image, 200, 100), ToQColor(clSilver));

    look.CaptionColor = clGray;
    styler->SetSettings(look);
    EXPECT_EQ(panel->Caption().Color(), clGray);

    delete styler;
    EXPECT_EQ(panel->Styler(), nullptr);
    EXPECT_EQ(panel->Caption().Color(), clGray) << "the look stays";
}
