// The geometry owner of the grid: where cells are, which ones are visible,
// how many data rows fit and where the columns can scroll to.

#include "grid/TGridGeometry.h"

#include <gtest/gtest.h>

namespace {

// The configured grid: the indicator (11) and four columns of 64, 64, 100
// and 100 pixels; title 17 high, data rows 17 high; 1-pixel lines.
TGridGeometry configured(int dataRows = 3) {
    TGridGeometry g;
    g.SetColCount(5);
    g.SetFixedCols(1);
    const int widths[] = {11, 64, 64, 100, 100};
    for (int c = 0; c < 5; ++c)
        g.SetColWidth(c, widths[c]);
    g.SetRowCount(1 + dataRows);
    g.SetFixedRows(1);
    g.SetFixedRowHeight(17);
    g.SetDefaultRowHeight(17);
    g.SetLineWidths(1, 1);
    return g;
}

TEST(GridGeometryTest, CellsFollowEachOtherWithTheirLines) {
    const TGridGeometry g = configured();
    EXPECT_EQ(g.CellRect(0, 0), Rect(0, 0, 11, 17));
    EXPECT_EQ(g.CellRect(1, 0), Rect(12, 0, 76, 17));
    EXPECT_EQ(g.CellRect(2, 1), Rect(77, 18, 141, 35));
    EXPECT_EQ(g.CellRect(4, 3), Rect(243, 54, 343, 71));
    EXPECT_EQ(g.CellRect(1, 4), TRect{}) << "no such row";
    EXPECT_EQ(g.FixedWidth(), 12);
    EXPECT_EQ(g.FixedHeight(), 18);
    EXPECT_EQ(g.RowPitch(), 18);
}

TEST(GridGeometryTest, ScrolledOutAndHiddenColumnsHaveNoCell) {
    TGridGeometry g = configured();
    g.SetLeftCol(3);
    EXPECT_EQ(g.CellRect(1, 1), TRect{});
    EXPECT_EQ(g.CellRect(0, 1), Rect(0, 18, 11, 35)) << "fixed columns stay";
    EXPECT_EQ(g.CellRect(3, 1), Rect(12, 18, 112, 35));
    g.SetLeftCol(1);
    g.SetColWidth(2, 0);
    EXPECT_EQ(g.CellRect(2, 1), TRect{});
    EXPECT_EQ(g.CellRect(3, 1), Rect(77, 18, 177, 35)) << "a hidden column takes no line";
}

TEST(GridGeometryTest, VisibleDataRowsAreWholeRowsBelowTheTitle) {
    const TGridGeometry g = configured();
    struct Case {
        int clientHeight;
        int rows;
    };
    // (height - 17 - 1) div 18, at least 1.
    for (const Case& c : std::vector<Case>{{109, 5}, {108, 5}, {107, 4}, {126, 6}, {20, 1}, {0, 1}})
        EXPECT_EQ(g.VisibleDataRows(c.clientHeight), c.rows) << "client height " << c.clientHeight;
}

TEST(GridGeometryTest, VisibleRangeAndEdgesOfTheDrawnGrid) {
    const TGridGeometry g = configured();
    EXPECT_EQ(g.LastVisibleCol(282), 4) << "the last column shows in part";
    EXPECT_EQ(g.LastVisibleCol(200), 3);
    EXPECT_EQ(g.GridRight(400), 344);
    EXPECT_EQ(g.GridRight(282), 282);
    EXPECT_EQ(g.LastVisibleRow(100), 3);
    EXPECT_EQ(g.GridBottom(100), 72);
    EXPECT_EQ(g.LastVisibleRow(40), 2);
}

TEST(GridGeometryTest, ColumnsScrollOnlyAsFarAsTheLastOneNeeds) {
    TGridGeometry g = configured();
    EXPECT_TRUE(g.ColumnsFit(344));
    EXPECT_EQ(g.MaxLeftCol(344), 1);
    EXPECT_FALSE(g.ColumnsFit(343));
    EXPECT_EQ(g.MaxLeftCol(282), 2) << "columns 2 to 4 fill 267 pixels of 270";
    EXPECT_EQ(g.MaxLeftCol(100), 4) << "the last column alone is wider than the view";
    g.SetLeftCol(9);
    EXPECT_EQ(g.LeftCol(), 4);
    g.SetLeftCol(0);
    EXPECT_EQ(g.LeftCol(), 1) << "never a fixed column";
}

TEST(GridGeometryTest, PointsFallIntoCellsWithTheLineAfterThem) {
    TGridGeometry g = configured();
    EXPECT_EQ(g.ColumnAt(0), 0);
    EXPECT_EQ(g.ColumnAt(11), 0);
    EXPECT_EQ(g.ColumnAt(12), 1);
    EXPECT_EQ(g.ColumnAt(343), 4);
    EXPECT_EQ(g.ColumnAt(344), -1);
    EXPECT_EQ(g.RowAt(17), 0);
    EXPECT_EQ(g.RowAt(18), 1);
    EXPECT_EQ(g.RowAt(72), -1);
    g.SetLeftCol(3);
    EXPECT_EQ(g.ColumnAt(12), 3);
}

} // namespace
