// Columns sized and moved by their titles with the mouse, over the company
// database: the split cursor over a boundary, the inverted line that starts
// on the boundary, the width kept by the column; the red marker window and
// where a column lands; Esc, the cancel-mode message and the focus leaving
// end a drag without applying it.

#include "GridMouseTestHelpers.h"

#include "grid/TGridMoveLine.h"

#include <QPainter>
#include <QTimerEvent>

#include <gtest/gtest.h>

namespace {

using namespace gridtest;

int TitleY(const TDBGrid* grid) {
    return grid->CellRect(1, 0).Height() / 2;
}

QRgb Inverted(QRgb p) {
    return qRgb(255 - qRed(p), 255 - qGreen(p), 255 - qBlue(p));
}

// Whether the picture shows the column of pixels at client x inverted from
// the reference, over the whole client height, and everything else as the
// reference has it.
::testing::AssertionResult LineInvertedAt(const GridDatabaseForm& f, const QImage& reference,
                                          const QImage& shot, int x) {
    const TPoint o = f.Grid->ClientOrigin();
    const TRect client = f.Grid->ClientRect();
    for (int cy = 0; cy < client.Height(); ++cy) {
        for (int cx = 0; cx < client.Width(); ++cx) {
            const QRgb want = reference.pixel(cx + o.X, cy + o.Y);
            const QRgb got = shot.pixel(cx + o.X, cy + o.Y) & 0xFFFFFF;
            const QRgb expected = (cx == x ? Inverted(want) : want) & 0xFFFFFF;
            if (got != expected)
                return ::testing::AssertionFailure()
                       << "pixel (" << cx << ", " << cy << ") is " << std::hex << got
                       << ", expected " << expected;
        }
    }
    return ::testing::AssertionSuccess();
}

TEST(GridColumnDragTest, TheSplitCursorShowsOverABoundaryOfTheTitles) {
    GridDatabaseForm f(AdjustmentTableRows(3));
    ShowWide(f);
    GridMouse mouse(f.Grid);
    const int line = BoundaryOf(f.Grid, 2);
    const int y = TitleY(f.Grid);
    struct Case {
        const char* Name;
        TPoint At;
        bool Split;
    };
    const std::vector<Case> cases = {
        {"on the line", {line, y}, true},
        {"3 left of it", {line - 3, y}, true},
        {"4 left of it", {line - 4, y}, false},
        {"4 right of it", {line + 4, y}, true},
        {"5 right of it", {line + 5, y}, false},
        {"the middle of a title", InCell(f.Grid, 2, 0), false},
        {"the same line between data cells", {line, InCell(f.Grid, 2, 1).Y}, false},
        {"the indicator's line", {BoundaryOf(f.Grid, 0), y}, false},
    };
    for (const Case& c : cases) {
        mouse.Move(c.At);
        EXPECT_EQ(f.Grid->Widget()->cursor().shape(), c.Split ? Qt::SplitHCursor : Qt::ArrowCursor)
            << c.Name;
    }
}

TEST(GridColumnDragTest, TheSizingLineIsInvertedFromTheBoundaryOnAndTheColumnTakesItsWidth) {
    GridDatabaseForm f(AdjustmentTableRows(3));
    ShowWide(f);
    GridMouse mouse(f.Grid);
    TDBGridColumn* fecFin = f.Grid->Columns()[1];
    const int width = fecFin->Width();
    ASSERT_FALSE(fecFin->WidthStored());
    const int line = BoundaryOf(f.Grid, 2);
    const int y = TitleY(f.Grid);
    const QImage before = f.Shot();

    mouse.Press({line - 2, y});
    EXPECT_EQ(f.Grid->GridState(), gsColSizing);
    EXPECT_EQ(f.Grid->SizingLinePos(), line) << "on the boundary, not under the pointer";
    EXPECT_EQ(f.Grid->Widget()->cursor().shape(), Qt::SplitHCursor);
    EXPECT_TRUE(LineInvertedAt(f, before, f.Shot(), line));
    mouse.Move({line - 2 + 15, y + 30});
    EXPECT_EQ(f.Grid->SizingLinePos(), line + 15);
    const QImage moved = f.Shot();
    GridForm::Save(moved, "column-sizing");
    EXPECT_TRUE(LineInvertedAt(f, before, moved, line + 15)) << "the old line is gone";
    EXPECT_EQ(f.Grid->Geometry().ColWidth(2), width) << "not resized before the release";

    mouse.Release({line - 2 + 15, y + 30});
    EXPECT_EQ(f.Grid->GridState(), gsNormal);
    EXPECT_EQ(f.Grid->SizingLinePos(), -1);
    EXPECT_EQ(fecFin->Width(), width + 15);
    EXPECT_TRUE(fecFin->WidthStored());
    EXPECT_EQ(f.Grid->Geometry().ColWidth(2), width + 15);
    EXPECT_EQ(f.Grid->CellRect(3, 1).Left, f.Grid->CellRect(2, 1).Right + 1);
    // Kept through a later layout, which measures the fonts again and gives
    // the other columns their new default widths.
    const int fecIni = f.Grid->Geometry().ColWidth(1);
    TFont bigger = f.Grid->Font();
    bigger.SetHeight(-16);
    f.Grid->SetFont(bigger);
    EXPECT_NE(f.Grid->Geometry().ColWidth(1), fecIni);
    EXPECT_EQ(f.Grid->Geometry().ColWidth(2), width + 15);
}

TEST(GridColumnDragTest, WhereABoundaryIsLetGo) {
    struct Case {
        const char* Name;
        int PressFromLine; // the press, pixels right of the boundary
        int LineFromLeft;  // where the line is let go, from the column's left edge
        bool Changes;
    };
    const std::vector<Case> cases = {
        {"to the column's own left edge: nothing", 0, 0, false},
        {"one pixel wide: nothing", 0, 1, false},
        {"past the left edge: nothing", -3, -10, false},
        {"two pixels wide", 4, 2, true},
        {"wider, from 3 left of the line", -3, 130, true},
        {"narrower, from 4 right of the line", 4, 20, true},
    };
    for (const Case& c : cases) {
        GridDatabaseForm f(AdjustmentTableRows(3));
        ShowWide(f);
        GridMouse mouse(f.Grid);
        const int width = f.Grid->Columns()[2]->Width();
        const int left = f.Grid->CellRect(3, 0).Left;
        const int line = BoundaryOf(f.Grid, 3);
        const int y = TitleY(f.Grid);
        const int press = line + c.PressFromLine;
        // The pointer keeps its distance from the line.
        const int release = left + c.LineFromLeft + c.PressFromLine;
        int moved = 0;
        f.Grid->OnColumnMoved = [&](TObject*, int, int) { ++moved; };
        mouse.Drag({press, y}, {release, y});
        const int expected = c.Changes ? c.LineFromLeft : width;
        EXPECT_EQ(f.Grid->Columns()[2]->Width(), expected) << c.Name;
        EXPECT_EQ(f.Grid->Columns()[2]->WidthStored(), c.Changes) << c.Name;
        EXPECT_EQ(f.Grid->Geometry().ColWidth(3), expected) << c.Name;
        EXPECT_EQ(Titles(f.Grid), (std::vector<std::string>{"F.Desde", "F.Hasta", "Porc", "Factor"}))
            << c.Name << ": sizing moves no column";
        EXPECT_EQ(moved, 0) << c.Name;
    }
}

struct MoveCase {
    const char* Name;
    int From;        // the grid column dragged by its title
    int Over;        // the grid column let go over
    bool RightHalf;  // over its right half
    std::vector<std::string> Order;
    int EventFrom;   // -1: no OnColumnMoved
    int EventTo;
    Qt::MouseButton Button = Qt::LeftButton;
};

TEST(GridColumnDragTest, AColumnDraggedByItsTitleLandsWhereTheMarkerStood) {
    const std::vector<std::string> unchanged{"F.Desde", "F.Hasta", "Porc", "Factor"};
    const std::vector<MoveCase> cases = {
        {"Porc to the right half of Factor: the last column",
         3, 4, true, {"F.Desde", "F.Hasta", "Factor", "Porc"}, 2, 3},
        {"Porc to the left half of Factor: where it was", 3, 4, false, unchanged, -1, -1},
        {"Porc to the left half of F.Desde: the first column",
         3, 1, false, {"Porc", "F.Desde", "F.Hasta", "Factor"}, 2, 0},
        {"Factor to the right half of F.Desde: after it",
         4, 1, true, {"F.Desde", "Factor", "F.Hasta", "Porc"}, 3, 1},
        {"Porc to the right half of F.Hasta: where it was", 3, 2, true, unchanged, -1, -1},
        {"F.Desde to the right half of F.Hasta",
         1, 2, true, {"F.Hasta", "F.Desde", "Porc", "Factor"}, 0, 1},
        {"Porc over its own title", 3, 3, true, unchanged, -1, -1},
        {"dragged with the right button",
         3, 4, true, {"F.Desde", "F.Hasta", "Factor", "Porc"}, 2, 3, Qt::RightButton},
    };
    for (const MoveCase& c : cases) {
        GridDatabaseForm f(AdjustmentTableRows(3));
        ShowWide(f);
        GridMouse mouse(f.Grid);
        std::vector<std::pair<int, int>> events;
        f.Grid->OnColumnMoved = [&](TObject* sender, int from, int to) {
            EXPECT_EQ(sender, f.Grid);
            events.emplace_back(from, to);
        };
        const TRect over = f.Grid->CellRect(c.Over, 0);
        const int y = TitleY(f.Grid);
        const TPoint to{c.RightHalf ? over.Right - 10 : over.Left + 10, y + 20};
        mouse.Press(InCell(f.Grid, c.From, 0), c.Button);
        EXPECT_EQ(f.Grid->GridState(), gsColMoving) << c.Name;
        mouse.Move(to);

        // The marker: its line on the boundary the column will drop at.
        TGridMoveLine& marker = TGridMoveLine::Shared();
        EXPECT_TRUE(marker.isVisible()) << c.Name;
        const int boundary = c.RightHalf ? over.Right : over.Left - 1;
        const TPoint o = f.Grid->ClientOrigin();
        const QPoint top = f.Grid->Widget()->mapToGlobal(QPoint(o.X + boundary, o.Y));
        EXPECT_EQ(marker.geometry(),
                  QRect(top.x() - 3, top.y() - 4, 7, f.Grid->Geometry().GridBottom() + 8))
            << c.Name;

        mouse.Release(to, c.Button);
        EXPECT_FALSE(marker.isVisible()) << c.Name;
        EXPECT_EQ(f.Grid->GridState(), gsNormal) << c.Name;
        EXPECT_EQ(Titles(f.Grid), c.Order) << c.Name;
        const std::vector<std::pair<int, int>> expected =
            c.EventFrom < 0 ? std::vector<std::pair<int, int>>{}
                            : std::vector<std::pair<int, int>>{{c.EventFrom, c.EventTo}};
        EXPECT_EQ(events, expected) << c.Name;
        // The cells follow their columns.
        for (int i = 0; i < 4; ++i) {
            const std::string& title = c.Order[static_cast<size_t>(i)];
            const std::string text = f.Grid->CellText(i + 1, 1);
            const std::string want = title == "F.Desde"   ? "01/01/2024"
                                     : title == "F.Hasta" ? "31/03/2024"
                                     : title == "Porc"    ? "1"
                                                          : "0,8";
            EXPECT_EQ(text, want) << c.Name << ", column " << i;
        }
    }
}

TEST(GridColumnDragTest, TheTitlesArePaintedInTheNewOrder) {
    GridDatabaseForm f(AdjustmentTableRows(3));
    ShowWide(f);
    const QImage before = f.Shot();
    const QRect porc = f.CellOnWidget(3, 0);
    const QRect factor = f.CellOnWidget(4, 0);
    ASSERT_EQ(porc.size(), factor.size());
    GridMouse mouse(f.Grid);
    const TRect over = f.Grid->CellRect(4, 0);
    mouse.Press(InCell(f.Grid, 3, 0));
    mouse.Move({over.Right - 10, TitleY(f.Grid)});

    // What a user sees meanwhile: the grid with the red marker over it.
    TGridMoveLine& marker = TGridMoveLine::Shared();
    const QImage grid = f.Shot();
    const QImage line = marker.grab().toImage();
    const QPoint at = f.Grid->Widget()->mapFromGlobal(marker.pos());
    QImage picture(grid.width() + 8, grid.height() + 16, QImage::Format_RGB32);
    picture.fill(Rgb(clBtnFace));
    {
        QPainter painter(&picture);
        painter.drawImage(0, 8, grid);
        painter.setClipRegion(TGridMoveLine::Shape(marker.height()).translated(at + QPoint(0, 8)));
        painter.drawImage(at + QPoint(0, 8), line);
    }
    GridForm::Save(picture, "column-moving");
    // The marker's line is red where it crosses the grid, its triangles stand
    // out above and below the rows.
    const int lineX = at.x() + 3;
    EXPECT_EQ(picture.pixel(lineX, 8 + f.Grid->ClientOrigin().Y + 5), Rgb(clRed));
    EXPECT_EQ(picture.pixel(at.x(), at.y() + 8), Rgb(clRed)) << "the top triangle's base";

    mouse.Release({over.Right - 10, TitleY(f.Grid)});
    const QImage after = f.Shot();
    EXPECT_EQ(Part(after, factor), Part(before, porc)) << "Porc's title is painted last";
    EXPECT_EQ(Part(after, porc), Part(before, factor)) << "and Factor's before it";
}

TEST(GridColumnDragTest, TheMarkerIsOneSharedWindowOfRedTriangles) {
    TGridMoveLine& marker = TGridMoveLine::Shared();
    EXPECT_EQ(&marker, &TGridMoveLine::Shared());
    EXPECT_TRUE(marker.isWindow());
    EXPECT_EQ(marker.focusPolicy(), Qt::NoFocus);
    const QRegion shape = TGridMoveLine::Shape(20);
    // Row by row: the x range the shape covers.
    const std::vector<std::pair<int, int>> rows = {
        {0, 6}, {1, 5}, {2, 4}, {3, 3}, {3, 3}, {3, 3}, {3, 3}, {3, 3}, {3, 3}, {3, 3},
        {3, 3}, {3, 3}, {3, 3}, {3, 3}, {3, 3}, {3, 3}, {3, 3}, {2, 4}, {1, 5}, {0, 6}};
    for (int y = 0; y < 20; ++y) {
        for (int x = -1; x <= 7; ++x) {
            const bool in = x >= rows[static_cast<size_t>(y)].first &&
                            x <= rows[static_cast<size_t>(y)].second;
            EXPECT_EQ(shape.contains(QPoint(x, y)), in) << "(" << x << ", " << y << ")";
        }
    }
    // Painted red where the shape is, white (see-through) elsewhere.
    marker.ShowAt(100, 100, 12);
    EXPECT_EQ(marker.size(), QSize(7, 20));
    EXPECT_EQ(marker.mask(), shape);
    const QImage painted = marker.grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(painted.pixel(3, 10), Rgb(clRed));
    EXPECT_EQ(painted.pixel(0, 10), Rgb(clWhite));
    marker.hide();
}

TEST(GridColumnDragTest, DraggedPastTheEdgeTheColumnsScrollOneAtATime) {
    GridDatabaseForm f(AdjustmentTableRows(3));
    f.Grid->SetWidth(200);
    f.Show();
    GridMouse mouse(f.Grid);
    const int y = TitleY(f.Grid);
    const int beyond = f.Grid->ClientRect().Width() + 3;
    mouse.Press(InCell(f.Grid, 1, 0));
    EXPECT_EQ(f.Grid->Geometry().LeftCol(), 1);
    mouse.Move({beyond, y});
    EXPECT_EQ(f.Grid->Geometry().LeftCol(), 2);
    mouse.Move({beyond + 1, y});
    EXPECT_EQ(f.Grid->Geometry().LeftCol(), 3);
    EXPECT_EQ(f.Grid->HorzScrollBar()->value(), f.Grid->Geometry().HorzScrollPosition());
    mouse.Release({beyond + 1, y});
    // Dropped after the last column shown.
    const int last = f.Grid->Geometry().LastVisibleCol();
    EXPECT_EQ(f.Grid->Columns()[last - 1]->Title().Caption(), "F.Desde");
    // And back to the left past the indicator.
    mouse.Press(InCell(f.Grid, last, 0));
    const int leftCol = f.Grid->Geometry().LeftCol();
    mouse.Move({2, y});
    EXPECT_EQ(f.Grid->Geometry().LeftCol(), leftCol - 1);
    mouse.Release({2, y});
}

enum class Ending { Esc, CancelMode, FocusElsewhere, WindowDeactivated };

TEST(GridColumnDragTest, EscCancelModeAndTheFocusLeavingEndADragWithoutApplyingIt) {
    struct Case {
        const char* Name;
        bool Sizing;
        Ending How;
    };
    const std::vector<Case> cases = {
        {"sizing, Esc", true, Ending::Esc},
        {"sizing, the cancel-mode message", true, Ending::CancelMode},
        {"sizing, the focus goes to another control", true, Ending::FocusElsewhere},
        {"sizing, the window is deactivated", true, Ending::WindowDeactivated},
        {"moving, Esc", false, Ending::Esc},
        {"moving, the cancel-mode message", false, Ending::CancelMode},
        {"moving, the focus goes to another control", false, Ending::FocusElsewhere},
        {"moving, the window is deactivated", false, Ending::WindowDeactivated},
    };
    for (const Case& c : cases) {
        GridDatabaseForm f(AdjustmentTableRows(3));
        ShowWide(f);
        GridMouse mouse(f.Grid);
        const int y = TitleY(f.Grid);
        const int width = f.Grid->Columns()[2]->Width();
        const QImage before = f.Shot();
        const TPoint from = c.Sizing ? TPoint{BoundaryOf(f.Grid, 3), y} : InCell(f.Grid, 3, 0);
        const TPoint to{f.Grid->CellRect(4, 0).Right - 5, y};
        mouse.Press(from);
        mouse.Move(to);
        ASSERT_EQ(f.Grid->GridState(), c.Sizing ? gsColSizing : gsColMoving) << c.Name;
        switch (c.How) {
        case Ending::Esc:
            Press(K(Qt::Key_Escape));
            break;
        case Ending::CancelMode:
            f.Grid->Perform(WM_CANCELMODE, 0, 0);
            break;
        case Ending::FocusElsewhere:
            f.Other->SetFocus();
            break;
        case Ending::WindowDeactivated: {
            QEvent deactivate(QEvent::WindowDeactivate);
            QApplication::sendEvent(f.Grid->Widget(), &deactivate);
            break;
        }
        }
        EXPECT_EQ(f.Grid->GridState(), gsNormal) << c.Name;
        EXPECT_EQ(f.Grid->SizingLinePos(), -1) << c.Name;
        EXPECT_FALSE(TGridMoveLine::Shared().isVisible()) << c.Name;
        if (c.How != Ending::FocusElsewhere && c.How != Ending::WindowDeactivated) {
            EXPECT_EQ(f.Shot(), before) << c.Name << ": the line is gone";
        }
        // The release that follows applies nothing.
        mouse.Release(to);
        EXPECT_EQ(f.Grid->Columns()[2]->Width(), width) << c.Name;
        EXPECT_FALSE(f.Grid->Columns()[2]->WidthStored()) << c.Name;
        EXPECT_EQ(Titles(f.Grid), (std::vector<std::string>{"F.Desde", "F.Hasta", "Porc", "Factor"}))
            << c.Name;
    }
}

TEST(GridColumnDragTest, AGridGoneWhileAColumnMovesTakesTheSharedMarkerDown) {
    auto f = std::make_unique<GridDatabaseForm>(AdjustmentTableRows(3));
    ShowWide(*f);
    GridMouse mouse(f->Grid);
    mouse.Press(InCell(f->Grid, 3, 0));
    mouse.Move(InCell(f->Grid, 4, 0));
    ASSERT_TRUE(TGridMoveLine::Shared().isVisible());
    f.reset();
    EXPECT_FALSE(TGridMoveLine::Shared().isVisible());
}

TEST(GridColumnDragTest, TheCancelModeMessageStopsTheAutoScrollOfATracking) {
    GridDatabaseForm f(AdjustmentTableRows(30));
    ShowWide(f);
    GridMouse mouse(f.Grid);
    mouse.Press(InCell(f.Grid, 2, 1));
    mouse.Move({InCell(f.Grid, 2, 1).X, f.Grid->DataArea().Bottom + 20});
    ASSERT_GE(f.Grid->AutoScrollInterval(), 0);
    f.Grid->Perform(WM_CANCELMODE, 0, 0);
    EXPECT_EQ(f.Grid->GridState(), gsNormal);
    EXPECT_EQ(f.Grid->AutoScrollInterval(), -1);
    EXPECT_EQ(f.Grid->AutoScrollTimerId(), 0);
}

} // namespace
