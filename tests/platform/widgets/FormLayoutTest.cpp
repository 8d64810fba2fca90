// Alignment of the containers, tab order and painting of the form layer.

#include "GuiTestHelpers.h"
#include "TestForm.h"

#include "platform/Exceptions.h"

#include <QPainter>
#include <memory>

namespace {

TRect boundsOf(const TControl* c) {
    return c->BoundsRect();
}

QRect widgetRect(const TControl* c) {
    return c->Widget()->geometry();
}

} // namespace

TEST(FormLayout, AlignedContainersFillTheClientAreaTopDown) {
    TTestForm form;
    EXPECT_EQ(boundsOf(form.Top), Bounds(0, 0, 346, 57));
    EXPECT_EQ(boundsOf(form.BoxA), Bounds(0, 57, 346, 105));
    EXPECT_EQ(boundsOf(form.BoxB), Bounds(0, 162, 346, 70));
    EXPECT_EQ(boundsOf(form.Bottom), Bounds(0, 232, 346, 52));
    // The widgets are where the controls say.
    EXPECT_EQ(widgetRect(form.BoxB), QRect(0, 162, 346, 70));
    EXPECT_EQ(widgetRect(form.Bottom), QRect(0, 232, 346, 52));
    // Floating controls keep their own place.
    EXPECT_EQ(boundsOf(form.Floating), Bounds(24, 72, 305, 169));
}

TEST(FormLayout, ResizingTheFormRealignsAndTheClientControlTakesTheRest) {
    TTestForm form;
    form.SetClientWidth(400);
    form.SetClientHeight(300);
    EXPECT_EQ(boundsOf(form.Top), Bounds(0, 0, 400, 57));
    EXPECT_EQ(boundsOf(form.BoxA), Bounds(0, 57, 400, 105));
    EXPECT_EQ(boundsOf(form.BoxB), Bounds(0, 162, 400, 86));
    EXPECT_EQ(boundsOf(form.Bottom), Bounds(0, 248, 400, 52));
}

TEST(FormLayout, HidingAnAlignedControlGivesItsRoomToTheOthers) {
    TTestForm form;
    form.Top->SetVisible(false);
    EXPECT_EQ(boundsOf(form.BoxA), Bounds(0, 0, 346, 105));
    EXPECT_EQ(boundsOf(form.BoxB), Bounds(0, 105, 346, 127));
    form.Top->SetVisible(true);
    EXPECT_EQ(boundsOf(form.Top), Bounds(0, 0, 346, 57));
    EXPECT_EQ(boundsOf(form.BoxA), Bounds(0, 57, 346, 105));
    EXPECT_EQ(boundsOf(form.BoxB), Bounds(0, 162, 346, 70));
}

TEST(FormLayout, AlignedChildrenOfAPanelStayInsideItsBevels) {
    TTestForm form;
    auto* panel = new TPanel(&form);
    panel->SetParent(&form);
    panel->SetBounds(10, 10, 100, 80);
    panel->SetBevelInner(bvLowered);
    panel->SetBorderWidth(2);
    auto* client = new TCountingControl(&form);
    client->SetParent(panel);
    client->SetAlign(alClient);
    // Outer bevel 1, border 2, inner bevel 1 on every side.
    EXPECT_EQ(boundsOf(client), Rect(4, 4, 96, 76));
}

TEST(FormLayout, AutoSizePanelTakesTheHeightOfItsChildren) {
    TTestForm form;
    form.Bottom->SetAutoSize(true);
    // The button reaches row 51; the panel adds its bevel below.
    EXPECT_EQ(form.Bottom->Height(), 52);
    form.Button->SetHeight(60);
    EXPECT_EQ(form.Bottom->Height(), 62);
    EXPECT_EQ(boundsOf(form.Bottom), Bounds(0, 222, 346, 62));
    EXPECT_EQ(boundsOf(form.BoxB), Bounds(0, 162, 346, 60));
}

TEST(FormLayout, TabOrderGivenWhileLoadingIsFixedWhenLoadingEnds) {
    TTestForm form;
    // Created Top, BoxA, BoxB, Bottom, Floating with orders 3, 0, 1, 2, 4.
    EXPECT_EQ(form.BoxA->TabOrder(), 0);
    EXPECT_EQ(form.BoxB->TabOrder(), 1);
    EXPECT_EQ(form.Bottom->TabOrder(), 2);
    EXPECT_EQ(form.Top->TabOrder(), 3);
    EXPECT_EQ(form.Floating->TabOrder(), 4);
    std::vector<TWinControl*> list;
    form.GetTabOrderList(list);
    std::vector<std::string> names;
    for (TWinControl* c : list)
        names.push_back(c->Name());
    EXPECT_EQ(names, (std::vector<std::string>{"BoxA", "E1", "E2", "E3", "BoxB", "Date", "E4",
                                               "Bottom", "Top", "Floating", "Inside"}));
}

TEST(FormLayout, SettingTabOrderAfterLoadingMovesTheOthers) {
    TTestForm form;
    form.E3->SetTabOrder(0);
    EXPECT_EQ(form.E3->TabOrder(), 0);
    EXPECT_EQ(form.E1->TabOrder(), 1);
    EXPECT_EQ(form.E2->TabOrder(), 2);
    form.E3->SetTabOrder(99); // past the end: last
    EXPECT_EQ(form.E3->TabOrder(), 2);
}

TEST(FormLayout, NextControlSkipsHiddenDisabledAndNonTabStops) {
    TTestForm form;
    struct Case {
        const char* Name;
        TWinControl* From;
        bool Forward;
        TWinControl* Expected;
    };
    const Case cases[] = {
        {"next in the box", form.E1, true, form.E2},
        {"into the next box", form.E3, true, form.Date},
        {"hidden panel skipped, wraps", form.E4, true, form.E1},
        {"backwards wraps", form.E1, false, form.E4},
        {"backwards into the box before", form.Date, false, form.E3},
        {"no current control starts at the first", nullptr, true, form.E1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(form.FindNextControl(c.From, c.Forward, true, false), c.Expected) << c.Name;

    form.E2->SetEnabled(false);
    EXPECT_EQ(form.FindNextControl(form.E1, true, true, false), form.E3) << "disabled";
    form.Floating->SetVisible(true);
    EXPECT_EQ(form.FindNextControl(form.E4, true, true, false), form.Inside) << "shown panel";
    form.Inside->SetTabStop(false);
    EXPECT_EQ(form.FindNextControl(form.E4, true, true, false), form.E1) << "not a tab stop";
}

TEST(FormLayout, SetFocusOnAControlThatCannotFocusRaises) {
    TTestForm form;
    form.Show();
    try {
        form.Inside->SetFocus();
        FAIL() << "no exception";
    } catch (const EInvalidOperation& e) {
        EXPECT_STREQ(e.what(), "Cannot focus a disabled or invisible window");
    }
}

TEST(FormLayout, RepaintPaintsBeforeReturning) {
    TTestForm form;
    guitest::ShowActive(form.Widget());
    QApplication::processEvents();
    form.Floating->SetVisible(true);
    const int before = form.Floating->Paints;
    // No event is processed in between: the paint happens inside Repaint.
    form.Repaint();
    EXPECT_GT(form.Floating->Paints, before);
}

TEST(FormLayout, HiddenControlIsNotPainted) {
    TTestForm form;
    guitest::ShowActive(form.Widget());
    form.Repaint();
    QApplication::processEvents();
    EXPECT_EQ(form.Floating->Paints, 0);
}

TEST(FormLayout, PanelPaintsBevelsFaceAndCaption) {
    TTestForm form;
    auto* panel = new TPanel(&form);
    panel->SetParent(&form);
    panel->SetBounds(8, 66, 337, 41);
    panel->SetBevelInner(bvLowered);
    panel->SetFont(TFont("MS Sans Serif", -13, clNavy));
    panel->SetCaption("Generando informe. espere un momento...");
    guitest::ShowActive(form.Widget());
    QImage image = panel->Widget()->grab().toImage();
    ASSERT_EQ(image.size(), QSize(337, 41));
    auto at = [&](int x, int y) { return QColor(image.pixel(x, y)); };
    // Outer bevel raised: light top-left, dark bottom-right (corners dark).
    EXPECT_EQ(at(0, 0), ToQColor(clBtnHighlight));
    EXPECT_EQ(at(0, 39), ToQColor(clBtnHighlight));
    EXPECT_EQ(at(336, 0), ToQColor(clBtnShadow));
    EXPECT_EQ(at(0, 40), ToQColor(clBtnShadow));
    EXPECT_EQ(at(336, 40), ToQColor(clBtnShadow));
    // Inner bevel lowered: dark top-left, light bottom-right.
    EXPECT_EQ(at(1, 1), ToQColor(clBtnShadow));
    EXPECT_EQ(at(335, 39), ToQColor(clBtnHighlight));
    EXPECT_EQ(at(3, 3), ToQColor(clBtnFace));
    // The caption is drawn in navy somewhere in the middle row band.
    bool navy = false;
    for (int x = 2; x < 335 && !navy; ++x)
        for (int y = 10; y < 31 && !navy; ++y)
            navy = at(x, y).blue() > 100 && at(x, y).red() < 60;
    EXPECT_TRUE(navy);
}

TEST(FormLayout, FontsAreInheritedUntilAControlSetsItsOwn) {
    TTestForm form;
    form.SetFont(TFont("MS Sans Serif", -11, clWindowText));
    EXPECT_EQ(form.E1->Font(), form.Font());
    EXPECT_TRUE(form.E1->ParentFont());
    EXPECT_EQ(form.E1->Widget()->font().pixelSize(), 11);
    form.Bottom->SetFont(TFont("Arial Narrow", -13, clNavy));
    EXPECT_EQ(form.Button->Font().Name(), "Arial Narrow");
    EXPECT_EQ(form.Button->Widget()->font().pixelSize(), 13);
    EXPECT_EQ(form.E1->Widget()->font().pixelSize(), 11);
    form.SetFont(TFont("Tahoma", -12, clWindowText));
    EXPECT_EQ(form.E1->Widget()->font().pixelSize(), 12);
    EXPECT_EQ(form.Button->Widget()->font().pixelSize(), 13) << "a font of its own stays";
}

TEST(FormLayout, AutoSizeLabelTakesItsTextsSize) {
    TTestForm form;
    auto* label = new TLabel(&form);
    label->SetParent(form.BoxA);
    label->SetBounds(16, 16, 0, 0);
    label->SetCaption("Servidor : ");
    QFontMetrics m(label->Widget()->font());
    EXPECT_EQ(label->Width(), m.horizontalAdvance(QStringLiteral("Servidor : ")));
    EXPECT_EQ(label->Height(), m.height());
    EXPECT_EQ(label->Left(), 16);
    EXPECT_EQ(label->Top(), 16);
}
