// The grid's scroll bars: the vertical one follows the record numbers and
// moves the dataset, the horizontal one scrolls whole columns; both take the
// focus for the grid.

#include "GridTestFixture.h"

#include "data/TClientDataSet.h"
#include "data/TDataSource.h"
#include "grid/TGridDataLink.h"

#include <QScrollBar>

#include <gtest/gtest.h>

namespace {

using gridtest::AdjustmentRows;
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

} // namespace
