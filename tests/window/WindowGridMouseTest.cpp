// The adjustment editor used with the mouse on a real company database: a
// user clicks a factor cell, clicks it again to edit it or just types, and
// F5 writes what was typed.

#include "CompanyWindowFixture.h"

#include "grid/TInplaceEdit.h"
#include "platform/DateUtils.h"

#include <QtTest/QTest>

using companytest::kAdjustmentRows;
using companytest::Rows;
using companytest::TypeText;
using guitest::PressKey;

namespace {

// The middle of the part of a cell the grid shows, on its widget.
QPoint cellOnWidget(TDBGrid* grid, int col, int row) {
    const TRect cell = grid->CellRect(col, row);
    const int right = std::min(cell.Right, grid->ClientRect().Width());
    const TPoint o = grid->ClientOrigin();
    return {o.X + (cell.Left + right) / 2, o.Y + cell.Top + cell.Height() / 2};
}

// A click as the window system delivers it, far enough in time from the
// one before not to make a double click of the two.
void click(TDBGrid* grid, int col, int row) {
    QTest::mouseClick(grid->Widget(), Qt::LeftButton, {}, cellOnWidget(grid, col, row));
    QTest::qWait(QApplication::doubleClickInterval() + 20);
}

} // namespace

class GridMouseWindowTest : public CompanyWindowTest {
protected:
    Tfcontavtascontado* openMarch() {
        Tfcontavtascontado* w = showMarchOfFV();
        return w;
    }
};

TEST_F(GridMouseWindowTest, AFactorCellClickedAndTypedIsWhatF5Writes) {
    Tfcontavtascontado* w = openMarch();
    PressKey(Qt::Key_F5);
    TDBGrid* grid = w->DBGrid2;
    ASSERT_TRUE(grid->Focused());
    // Rates 19, 5 and 0 in the rows, the last one current.
    ASSERT_EQ(w->CAjuste->RecNo(), 3);
    const int factor = 4;
    ASSERT_EQ(grid->Columns()[factor - 1]->Title().Caption(), "Factor");
    ASSERT_LT(grid->CellRect(factor, 1).Left, grid->ClientRect().Width()) << "Factor shows";

    // One click chooses the cell, a second one opens its editor, the factor
    // all selected, so that typing replaces it.
    click(grid, factor, 1);
    EXPECT_EQ(w->CAjusteAJCI_PORC->AsString(), "19");
    EXPECT_EQ(grid->SelectedIndex(), factor - 1);
    EXPECT_FALSE(grid->EditorShowing());
    click(grid, factor, 1);
    ASSERT_TRUE(grid->EditorShowing());
    EXPECT_EQ(grid->InplaceEditor()->SelText(), "0,8");
    TypeText("0,7");

    // A click on the next row writes that factor and moves there; typing
    // goes straight into the cell clicked.
    click(grid, factor, 2);
    EXPECT_EQ(w->CAjusteAJCI_PORC->AsString(), "5");
    EXPECT_FALSE(grid->EditorShowing());
    TypeText("0,65");
    EXPECT_TRUE(env.Dialogs.Boxes().empty());
    PressKey(Qt::Key_F5);

    EXPECT_TRUE(env.Dialogs.Boxes().empty());
    EXPECT_FALSE(w->CaptionPanel1->Visible());
    EXPECT_EQ(Rows(reader(), kAdjustmentRows),
              (std::vector<std::string>{"2016-03-01|2016-03-31|0|0.8",
                                        "2016-03-01|2016-03-31|5|0.65",
                                        "2016-03-01|2016-03-31|19|0.7"}));
}
