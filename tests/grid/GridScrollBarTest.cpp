// The grid's scroll bars: the vertical one follows the record numbers and
// moves the dataset, the horizontal one scrolls whole columns; both take the
// focus for the grid. Their messages one by one, and the bars used with the
// mouse over the company database.

#include "GridMouseTestHelpers.h"
#include "GridTestFixture.h"

#include "data/TClientDataSet.h"
#include "data/TDataSource.h"
#include "grid/TGridDataLink.h"

#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>

#include <gtest/gtest.h>

namespace {

using gridtest::AdjustmentRows;
using gridtest::AdjustmentTableRows;
using gridtest::GridDatabaseForm;
using gridtest::GridForm;

TEST(GridScrollBarTest, VerticalBarActionsMoveTheDataset) {
    GridForm f(AdjustmentRows(30));
    f.Show();
    f.Other->SetFocus();
    QScrollBar* bar = f.Grid->VertScrollBar();
    const int visible = f.Grid->VisibleRowCount();
    struct Step {
        QAbstractSlider::SliderAction action;
        int recNo; // expected afterwards
    };
    // From record 1 at the top row.
    const Step steps[] = {
        {QAbstractSlider::SliderSingleStepAdd, visible + 1}, // the record below the last row
        {QAbstractSlider::SliderSingleStepSub, 1},           // the record above the first row
        {QAbstractSlider::SliderPageStepAdd, 1 + visible},
        {QAbstractSlider::SliderPageStepAdd, 1 + 2 * visible},
        {QAbstractSlider::SliderPageStepSub, 1 + visible},
        {QAbstractSlider::SliderToMaximum, 30},
        {QAbstractSlider::SliderToMinimum, 1},
    };
    for (const Step& s : steps) {
        bar->triggerAction(s.action);
        EXPECT_EQ(f.Data->RecNo(), s.recNo) << "action " << s.action;
        EXPECT_EQ(bar->value(), s.recNo) << "action " << s.action;
    }
    EXPECT_TRUE(f.Grid->Focused()) << "a scroll message gives the grid the focus";
    // Dragging the thumb follows it.
    bar->setSliderPosition(17);
    EXPECT_EQ(f.Data->RecNo(), 17);
}

TEST(GridScrollBarTest, VerticalBarStaysWhileInserting) {
    GridForm f(AdjustmentRows(10));
    f.Show();
    f.Data->MoveBy(4);
    QScrollBar* bar = f.Grid->VertScrollBar();
    EXPECT_EQ(bar->value(), 5);
    f.Data->Insert();
    EXPECT_EQ(bar->value(), 5);
    f.Data->Cancel();
    EXPECT_EQ(bar->value(), 5);
    f.Data->Next();
    EXPECT_EQ(bar->value(), 6);
}

TEST(GridScrollBarTest, HorizontalBarScrollsWholeColumns) {
    GridForm f;
    f.Show();
    QScrollBar* bar = f.Grid->HorzScrollBar();
    ASSERT_FALSE(bar->isHidden());
    EXPECT_EQ(bar->minimum(), 0);
    EXPECT_EQ(bar->maximum(), 127);
    EXPECT_EQ(bar->value(), 0);
    const int maxLeft = f.Grid->Geometry().MaxLeftCol(f.Grid->ClientRect().Width());
    ASSERT_GT(maxLeft, 1);
    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(f.Grid->Geometry().LeftCol(), 2);
    EXPECT_EQ(bar->value(), 127 / (maxLeft - 1));
    EXPECT_EQ(f.Grid->Col(), 1) << "the current column stays";
    bar->triggerAction(QAbstractSlider::SliderToMaximum);
    EXPECT_EQ(f.Grid->Geometry().LeftCol(), maxLeft);
    EXPECT_EQ(bar->value(), 127);
    // The title of the first column shown now starts right of the indicator.
    EXPECT_EQ(f.Grid->CellRect(maxLeft, 0).Left, f.Grid->Geometry().FixedWidth());
    EXPECT_EQ(f.Grid->CellRect(1, 0), TRect{});
    const QImage shot = f.Shot();
    GridForm::Save(shot, "scrolled-right");
    bar->triggerAction(QAbstractSlider::SliderToMinimum);
    EXPECT_EQ(f.Grid->Geometry().LeftCol(), 1);
    EXPECT_EQ(bar->value(), 0);
}

TEST(GridScrollBarTest, ColumnsFittingHideTheHorizontalBarAndGiveItsRoomToRows) {
    GridForm f(AdjustmentRows(30));
    f.Show();
    const int before = f.Grid->VisibleRowCount();
    f.Grid->SetWidth(420);
    EXPECT_TRUE(f.Grid->HorzScrollBar()->isHidden());
    EXPECT_EQ(f.Grid->Geometry().LeftCol(), 1);
    const int clientHeight = GridForm::GridHeight - 4;
    EXPECT_EQ(f.Grid->ClientRect().Height(), clientHeight);
    EXPECT_EQ(f.Grid->VisibleRowCount(), f.Grid->Geometry().VisibleDataRows(clientHeight));
    EXPECT_GE(f.Grid->VisibleRowCount(), before);
}

TEST(GridColumnsTest, MovingDeletingAndHidingColumnsLaysOutAgain) {
    GridForm f;
    f.Show();
    TDBGridColumns& columns = f.Grid->Columns();
    TDBGridColumn* porc = columns[2];
    porc->SetIndex(3);
    EXPECT_EQ(columns[3], porc);
    EXPECT_EQ(columns.IndexOf(porc), 3);
    EXPECT_EQ(f.Grid->CellText(4, 1), "4") << "Porc is the last column now";
    EXPECT_EQ(f.Grid->CellText(3, 1), "0,8");
    columns.Delete(0);
    EXPECT_EQ(f.Grid->ColCount(), 4);
    EXPECT_EQ(f.Grid->CellText(1, 1), "31/01/2024");
    columns[0]->SetVisible(false);
    EXPECT_EQ(f.Grid->Geometry().ColWidth(1), 0);
    EXPECT_EQ(f.Grid->CellRect(1, 1), TRect{});
    EXPECT_THROW(columns.Delete(7), std::out_of_range);
    columns.Clear();
    EXPECT_EQ(f.Grid->ColCount(), 1);
    EXPECT_EQ(f.Grid->SelectedColumn(), nullptr);
    f.Shot(); // only the indicator: paints without a column
}

TEST(GridColumnsTest, ManyChangesBetweenBeginAndEndUpdateLayOutOnce) {
    GridForm f;
    TDBGridColumns& columns = f.Grid->Columns();
    columns.BeginUpdate();
    TDBGridColumn* id = columns.Add();
    id->SetFieldName("AJCI_ID");
    columns.Delete(0);
    columns.Delete(0);
    EXPECT_EQ(f.Grid->ColCount(), 5) << "not laid out before EndUpdate";
    f.Shot(); // a paint in between shows what the old layout still can
    EXPECT_TRUE(f.Env.Dialogs.Entries().empty()) << "and raises nothing";
    columns.EndUpdate();
    EXPECT_EQ(f.Grid->ColCount(), 4);
    EXPECT_EQ(columns[2], id);
    EXPECT_EQ(f.Grid->CellText(3, 1), "1");
    EXPECT_EQ(id->Field(), f.Id);
    EXPECT_EQ(id->Title().Caption(), "AJCI_ID") << "a field without a label shows its name";
    EXPECT_EQ(id->Alignment(), taRightJustify);
}

TEST(GridColumnsTest, DataSourceThatGoesAwayLeavesAnInactiveGrid) {
    GridForm f;
    f.Show();
    delete f.Source;
    f.Source = nullptr;
    EXPECT_EQ(f.Grid->DataSource(), nullptr);
    EXPECT_FALSE(f.Grid->DataLink().Active());
    EXPECT_EQ(f.Grid->RowCount(), 2);
    f.Shot();
}


// A part of a scroll bar (an arrow, the thumb, the trough) in the bar's
// coordinates, as the bar's style lays it out.
QRect BarPart(QScrollBar* bar, QStyle::SubControl part) {
    QStyleOptionSlider opt;
    opt.initFrom(bar);
    opt.subControls = QStyle::SC_All;
    opt.orientation = bar->orientation();
    opt.minimum = bar->minimum();
    opt.maximum = bar->maximum();
    opt.sliderPosition = bar->sliderPosition();
    opt.sliderValue = bar->value();
    opt.singleStep = bar->singleStep();
    opt.pageStep = bar->pageStep();
    opt.upsideDown = false;
    if (bar->orientation() == Qt::Horizontal) opt.state |= QStyle::State_Horizontal;
    return bar->style()->subControlRect(QStyle::CC_ScrollBar, &opt, part, bar);
}

TEST(GridScrollBarTest, TheVerticalBarShowsWithTwoRecordsOrMoreAndHidesWithOneOrNone) {
    for (int records = 0; records <= 3; ++records) {
        GridDatabaseForm f(AdjustmentTableRows(records));
        f.Show();
        ASSERT_LE(records, f.Grid->VisibleRowCount()) << "all fit";
        EXPECT_EQ(f.Grid->VertScrollBar()->isVisible(), records >= 2) << records << " records";
    }
    GridDatabaseForm f(AdjustmentTableRows(2));
    f.Show();
    const int wide = f.Grid->ClientRect().Width();
    f.Data->Delete();
    EXPECT_FALSE(f.Grid->VertScrollBar()->isVisible()) << "one left";
    EXPECT_EQ(f.Grid->ClientRect().Width(), wide + TCustomGrid::SystemScrollBarWidth())
        << "the cells take the bar's room";
    f.Data->Append();
    f.Fields.Id->SetAsInteger(7);
    f.Data->Post();
    EXPECT_TRUE(f.Grid->VertScrollBar()->isVisible()) << "two again";
    EXPECT_EQ(f.Grid->VertScrollBar()->maximum(), 2);
}

TEST(GridScrollBarTest, TheThumbFollowsTheRecordNumber) {
    GridDatabaseForm f(AdjustmentTableRows(30));
    f.Show();
    QScrollBar* bar = f.Grid->VertScrollBar();
    const int visible = f.Grid->VisibleRowCount();
    EXPECT_EQ(bar->minimum(), 1);
    // Qt leaves the page out of the range: with it the range ends at the
    // record count plus the visible rows less one.
    EXPECT_EQ(bar->maximum() + bar->pageStep() - 1, 30 + visible - 1);
    EXPECT_EQ(bar->pageStep(), visible);
    struct Step {
        const char* Name;
        std::function<void()> Do;
        int RecNo;
    };
    const std::vector<Step> steps = {
        {"Down", [] { gridtest::Press(gridtest::K(Qt::Key_Down)); }, 2},
        {"Page Down", [] { gridtest::Press(gridtest::K(Qt::Key_PageDown)); }, 2 + visible},
        {"a click on the first row",
         [&] { gridtest::GridMouse(f.Grid).Click(gridtest::InCell(f.Grid, 2, 1)); },
         3},
        {"the wheel", [&] { gridtest::GridMouse(f.Grid).Wheel(gridtest::InCell(f.Grid, 2, 1), -240); },
         5},
        {"Ctrl+End", [] { gridtest::Press(gridtest::Ctrl(Qt::Key_End)); }, 30},
        {"Ctrl+Home", [] { gridtest::Press(gridtest::Ctrl(Qt::Key_Home)); }, 1},
    };
    for (const Step& s : steps) {
        s.Do();
        EXPECT_EQ(f.Data->RecNo(), s.RecNo) << s.Name;
        EXPECT_EQ(bar->value(), s.RecNo) << s.Name;
    }
    // A new record has no number: the thumb stays until it has one.
    gridtest::Press(gridtest::K(Qt::Key_Down));
    gridtest::Press(gridtest::K(Qt::Key_Insert));
    ASSERT_EQ(f.Data->State(), dsInsert);
    EXPECT_EQ(bar->value(), 2);
    gridtest::Press(gridtest::K(Qt::Key_Escape));
    EXPECT_EQ(bar->value(), 2);
}

TEST(GridScrollBarTest, EachVerticalScrollMessage) {
    struct Case {
        const char* Name;
        std::vector<std::pair<unsigned, int>> Messages; // code, position
        int RecNo;
        bool Tracking = true;
    };
    // From record 10 in the top row; V rows are visible.
    GridDatabaseForm probe(AdjustmentTableRows(2));
    const int v = probe.Grid->VisibleRowCount();
    const std::vector<Case> cases = {
        {"line up: the record above the top row", {{SB_LINEUP, 0}}, 9},
        {"line down: the record below the bottom row", {{SB_LINEDOWN, 0}}, 10 + v},
        {"page up", {{SB_PAGEUP, 0}}, 10 - v},
        {"page down", {{SB_PAGEDOWN, 0}}, 10 + v},
        {"top", {{SB_TOP, 0}}, 1},
        {"bottom", {{SB_BOTTOM, 0}}, 30},
        {"thumb position", {{SB_THUMBPOSITION, 17}}, 17},
        {"thumb position 1: the first record", {{SB_THUMBPOSITION, 1}}, 1},
        {"thumb position 0: the first record", {{SB_THUMBPOSITION, 0}}, 1},
        {"thumb position at the count: the last", {{SB_THUMBPOSITION, 30}}, 30},
        {"thumb position past the count: the last", {{SB_THUMBPOSITION, 45}}, 30},
        {"thumb tracking", {{SB_THUMBTRACK, 20}}, 20},
        {"thumb tracking, then the position is ignored once",
         {{SB_THUMBTRACK, 20}, {SB_THUMBPOSITION, 25}},
         20},
        {"only once", {{SB_THUMBTRACK, 20}, {SB_THUMBPOSITION, 25}, {SB_THUMBPOSITION, 25}}, 25},
        {"end of scroll", {{SB_ENDSCROLL, 0}}, 10},
        {"thumb tracking without Tracking: nothing", {{SB_THUMBTRACK, 20}}, 10, false},
        {"without Tracking the position goes",
         {{SB_THUMBTRACK, 20}, {SB_THUMBPOSITION, 25}},
         25,
         false},
    };
    for (const Case& c : cases) {
        GridDatabaseForm f(AdjustmentTableRows(30));
        f.Show();
        f.Data->MoveBy(9 + v - 1);
        f.Data->MoveBy(-(v - 1));
        ASSERT_EQ(f.Data->RecNo(), 10);
        ASSERT_EQ(f.Grid->DataLink().ActiveRecord(), 0);
        f.Grid->VertScrollBar()->SetTracking(c.Tracking);
        f.Other->SetFocus();
        for (const auto& [code, pos] : c.Messages)
            f.Grid->Perform(WM_VSCROLL, code, pos);
        EXPECT_EQ(f.Data->RecNo(), c.RecNo) << c.Name;
        EXPECT_EQ(f.Grid->VertScrollBar()->value(), c.RecNo) << c.Name;
        EXPECT_TRUE(f.Grid->Focused()) << c.Name << ": a scroll message focuses the grid";
    }
}

TEST(GridScrollBarTest, DraggingTheThumbWithTheMouse) {
    for (const bool tracking : {true, false}) {
        GridDatabaseForm f(AdjustmentTableRows(30));
        f.Show();
        QScrollBar* bar = f.Grid->VertScrollBar();
        f.Grid->VertScrollBar()->SetTracking(tracking);
        const QRect thumb = BarPart(bar, QStyle::SC_ScrollBarSlider);
        ASSERT_FALSE(thumb.isEmpty());
        const QPoint from = thumb.center();
        QTest::mousePress(bar, Qt::LeftButton, {}, from);
        ASSERT_TRUE(bar->isSliderDown());
        QTest::mouseMove(bar, from + QPoint(0, 25));
        const int position = bar->sliderPosition();
        ASSERT_GT(position, 1);
        EXPECT_EQ(f.Data->RecNo(), tracking ? position : 1) << "tracking " << tracking;
        QTest::mouseRelease(bar, Qt::LeftButton, {}, from + QPoint(0, 25));
        EXPECT_EQ(f.Data->RecNo(), position) << "tracking " << tracking;
        EXPECT_EQ(bar->value(), position) << "tracking " << tracking;
        EXPECT_TRUE(f.Grid->Focused());
    }
}

TEST(GridScrollBarTest, TheHorizontalBarBringsTheFactorColumnIntoView) {
    GridDatabaseForm f(AdjustmentTableRows(3));
    f.Show();
    f.Other->SetFocus();
    QScrollBar* bar = f.Grid->HorzScrollBar();
    ASSERT_TRUE(bar->isVisible());
    const int factor = 4;
    const int clientWidth = f.Grid->ClientRect().Width();
    ASSERT_GT(f.Grid->CellRect(factor, 0).Right, clientWidth) << "Factor does not show whole";
    const QRect arrow = BarPart(bar, QStyle::SC_ScrollBarAddLine);
    ASSERT_FALSE(arrow.isEmpty());
    int clicks = 0;
    while (f.Grid->CellRect(factor, 0).Right > clientWidth && clicks < 4) {
        QTest::mouseClick(bar, Qt::LeftButton, {}, arrow.center());
        ++clicks;
    }
    EXPECT_EQ(clicks, 1) << "one column to the right";
    EXPECT_GE(f.Grid->CellRect(factor, 0).Left, f.Grid->Geometry().FixedWidth());
    EXPECT_LE(f.Grid->CellRect(factor, 0).Right, clientWidth);
    EXPECT_EQ(f.Grid->SelectedIndex(), 0) << "the current column stays";
    EXPECT_TRUE(f.Grid->Focused()) << "the bar gives the grid the focus";
    EXPECT_EQ(bar->value(), f.Grid->Geometry().HorzScrollPosition());
    EXPECT_EQ(f.Grid->CellText(factor, 1), "0,8");
    // The thumb dragged back to the left shows the first column again.
    const QRect thumb = BarPart(bar, QStyle::SC_ScrollBarSlider);
    QTest::mousePress(bar, Qt::LeftButton, {}, thumb.center());
    QTest::mouseMove(bar, thumb.center() - QPoint(bar->width(), 0));
    EXPECT_EQ(f.Grid->Geometry().LeftCol(), 1) << "while the thumb moves";
    QTest::mouseRelease(bar, Qt::LeftButton, {}, thumb.center() - QPoint(bar->width(), 0));
    EXPECT_EQ(f.Grid->Geometry().LeftCol(), 1);
    EXPECT_EQ(bar->value(), 0);
}

TEST(GridScrollBarTest, EachHorizontalScrollMessage) {
    GridDatabaseForm probe(AdjustmentTableRows(1));
    probe.Grid->SetWidth(160);
    const int maxLeft = probe.Grid->Geometry().MaxLeftCol();
    ASSERT_GE(maxLeft, 3);
    // A page: the columns before the last one shown, at least one.
    const int page = std::max(1, probe.Grid->Geometry().LastVisibleCol() - 1);
    struct Case {
        const char* Name;
        std::vector<std::pair<unsigned, int>> Messages;
        int LeftCol;
    };
    const std::vector<Case> cases = {
        {"line right", {{SB_LINERIGHT, 0}}, 2},
        {"line right twice, line left", {{SB_LINERIGHT, 0}, {SB_LINERIGHT, 0}, {SB_LINELEFT, 0}}, 2},
        {"line left at the first", {{SB_LINELEFT, 0}}, 1},
        {"page right", {{SB_PAGERIGHT, 0}}, std::min(1 + page, maxLeft)},
        {"page left at the first", {{SB_PAGELEFT, 0}}, 1},
        {"page right past the end", {{SB_RIGHT, 0}, {SB_PAGERIGHT, 0}}, maxLeft},
        {"the right end", {{SB_RIGHT, 0}}, maxLeft},
        {"line right at the end", {{SB_RIGHT, 0}, {SB_LINERIGHT, 0}}, maxLeft},
        {"the right end, then the left", {{SB_RIGHT, 0}, {SB_LEFT, 0}}, 1},
        {"the thumb at the end", {{SB_THUMBPOSITION, 127}}, maxLeft},
        {"the thumb tracked to the end", {{SB_THUMBTRACK, 127}}, maxLeft},
        {"the thumb at the start", {{SB_RIGHT, 0}, {SB_THUMBPOSITION, 0}}, 1},
    };
    for (const Case& c : cases) {
        GridDatabaseForm f(AdjustmentTableRows(1));
        f.Grid->SetWidth(160);
        f.Show();
        for (const auto& [code, pos] : c.Messages)
            f.Grid->Perform(WM_HSCROLL, code, pos);
        EXPECT_EQ(f.Grid->Geometry().LeftCol(), c.LeftCol) << c.Name;
        EXPECT_EQ(f.Grid->HorzScrollBar()->value(), f.Grid->Geometry().HorzScrollPosition())
            << c.Name;
        EXPECT_EQ(f.Grid->Col(), 1) << c.Name << ": the current column stays";
    }
}

} // namespace
