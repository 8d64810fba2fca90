// How the grid follows its data link: a scroll by a few records moves the
// painted rows and repaints only what changed, a bigger one repaints all, a
// field change repaints the current row, the editing state and the focus
// reach the screen, and the grid never posts a record itself.

#include "GridTestFixture.h"

#include "data/TClientDataSet.h"
#include "grid/TGridDataLink.h"
#include "grid/TIndicatorImages.h"

#include <QEvent>
#include <QPaintEvent>
#include <QWidget>

#include <gtest/gtest.h>

#include <cstdio>

namespace {

using gridtest::AdjustmentRows;
using gridtest::GridForm;
using gridtest::Rgb;

// Records what the grid's widget is asked to paint.
class PaintRecorder : public QObject {
public:
    explicit PaintRecorder(QWidget* widget) : FWidget(widget) { widget->installEventFilter(this); }
    ~PaintRecorder() override { FWidget->removeEventFilter(this); }

    QRegion Painted;
    int Paints = 0;

    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            Painted += static_cast<QPaintEvent*>(event)->region();
            ++Paints;
        }
        return false;
    }

private:
    QWidget* FWidget;
};

// Rows first..last of the grid, as widget coordinates across the client.
QRect rowsOnWidget(const GridForm& f, int first, int last) {
    const QRect a = f.CellOnWidget(0, first);
    const QRect b = f.CellOnWidget(0, last);
    const int pitch = f.Grid->DefaultRowHeight() + 1;
    return QRect(f.Grid->ClientOrigin().X, a.y(), f.Grid->ClientRect().Width(),
                 b.y() - a.y() + pitch);
}

// The client area of a picture of the grid.
QImage client(const GridForm& f, const QImage& image) {
    const TPoint o = f.Grid->ClientOrigin();
    return image.copy(o.X, o.Y, f.Grid->ClientRect().Width(), f.Grid->ClientRect().Height());
}

TEST(GridNotificationTest, ScrollByOneMovesTheRowsAndPaintsTwo) {
    GridForm f(AdjustmentRows(20));
    f.Show();
    const int visible = f.Grid->VisibleRowCount();
    ASSERT_GE(visible, 3);
    f.Data->MoveBy(visible - 1);
    ASSERT_EQ(f.Grid->Row(), visible) << "the bottom row, without scrolling";
    GridForm::Settle();

    PaintRecorder recorder(f.Grid->Widget());
    f.Data->Next();
    // Painted before Next returned: the uncovered bottom row, and the old
    // current row now one above it.
    EXPECT_GE(recorder.Paints, 1);
    EXPECT_EQ(recorder.Painted.boundingRect(), rowsOnWidget(f, visible - 1, visible));
    EXPECT_EQ(f.Grid->Row(), visible);
    char day[16];
    std::snprintf(day, sizeof day, "%02d/01/2024", visible + 1);
    EXPECT_EQ(f.Grid->CellText(1, visible), day) << "record " << visible + 1;
    GridForm::Settle();
    EXPECT_EQ(recorder.Painted.boundingRect(), rowsOnWidget(f, visible - 1, visible))
        << "nothing more later";
    // The screen shows what a full paint shows.
    const QImage screen = f.OnScreen();
    GridForm::Save(screen, "scrolled-down");
    EXPECT_EQ(client(f, screen), client(f, f.Shot()));
}

TEST(GridNotificationTest, ScrollUpByOneMovesTheRowsTheOtherWay) {
    GridForm f(AdjustmentRows(20));
    f.Show();
    const int visible = f.Grid->VisibleRowCount();
    f.Data->MoveBy(visible + 2);
    f.Data->MoveBy(-(visible - 1));
    ASSERT_EQ(f.Grid->Row(), 1) << "the top row";
    GridForm::Settle();

    PaintRecorder recorder(f.Grid->Widget());
    f.Data->Prior();
    EXPECT_EQ(recorder.Painted.boundingRect(), rowsOnWidget(f, 1, 2));
    EXPECT_EQ(client(f, f.OnScreen()), client(f, f.Shot()));
}

TEST(GridNotificationTest, MovingInsideTheRowsPaintsTheOldAndTheNewCurrentRow) {
    GridForm f(AdjustmentRows(20));
    f.Show();
    PaintRecorder recorder(f.Grid->Widget());
    f.Data->MoveBy(2);
    EXPECT_EQ(recorder.Painted, QRegion(rowsOnWidget(f, 1, 1)) + rowsOnWidget(f, 3, 3));
    EXPECT_EQ(client(f, f.OnScreen()), client(f, f.Shot()));
}

TEST(GridNotificationTest, ScrollBeyondTheVisibleRowsRepaintsAll) {
    GridForm f(AdjustmentRows(40));
    f.Show();
    const int visible = f.Grid->VisibleRowCount();
    f.Data->MoveBy(visible - 1);
    GridForm::Settle();
    PaintRecorder recorder(f.Grid->Widget());
    f.Data->MoveBy(visible + 3);
    GridForm::Settle();
    EXPECT_EQ(recorder.Painted.boundingRect(), f.Grid->Widget()->rect());
    EXPECT_EQ(client(f, f.OnScreen()), client(f, f.Shot()));
}

TEST(GridNotificationTest, FieldChangeRepaintsTheCurrentRowOrAllWhenNotShown) {
    GridForm f(AdjustmentRows(5));
    f.Show();
    f.Data->Next();
    f.Data->Edit();
    GridForm::Settle();
    {
        PaintRecorder recorder(f.Grid->Widget());
        f.Factor->SetAsString("0,25");
        GridForm::Settle();
        EXPECT_EQ(recorder.Painted.boundingRect(), rowsOnWidget(f, 2, 2));
        EXPECT_EQ(f.Grid->CellText(4, 2), "0,25");
    }
    {
        PaintRecorder recorder(f.Grid->Widget());
        f.Id->SetAsInteger(99);
        GridForm::Settle();
        EXPECT_EQ(recorder.Painted.boundingRect(), f.Grid->Widget()->rect());
    }
    EXPECT_EQ(client(f, f.OnScreen()), client(f, f.Shot()));
    EXPECT_EQ(f.Data->State(), dsEdit) << "the grid never posts";
}

TEST(GridNotificationTest, EditingStateAndFocusReachTheScreen) {
    GridForm f(AdjustmentRows(3));
    f.Show();
    const QRect indicator = f.CellOnWidget(0, 1);
    const QRect current = f.CellOnWidget(1, 1);
    const int glyphX = indicator.x() + indicator.width() - 8;
    const int glyphY = indicator.y() + (indicator.height() - TIndicatorImages::Height) / 2;
    auto glyphPixel = [&](int image, int x, int y) {
        const QRgb g = TIndicatorImages::Shared().Image(image).pixel(x, y);
        return qAlpha(g) ? (g | 0xFF000000u) : Rgb(clBtnFace);
    };
    // A pixel that differs between the arrow and the I-beam.
    int px = -1, py = -1;
    for (int y = 0; y < 11 && px < 0; ++y)
        for (int x = 0; x < 6 && px < 0; ++x)
            if (glyphPixel(iiArrow, x, y) != glyphPixel(iiEdit, x, y)) px = x, py = y;
    ASSERT_GE(px, 0);

    EXPECT_EQ(f.OnScreen().pixel(glyphX + px, glyphY + py), glyphPixel(iiArrow, px, py));
    f.Data->Edit();
    ASSERT_EQ(f.Data->State(), dsEdit);
    EXPECT_EQ(f.OnScreen().pixel(glyphX + px, glyphY + py), glyphPixel(iiEdit, px, py));
    f.Data->Cancel();
    EXPECT_EQ(f.OnScreen().pixel(glyphX + px, glyphY + py), glyphPixel(iiArrow, px, py));

    const QPoint corner(current.x() + current.width() - 2, current.y() + 1);
    EXPECT_EQ(f.OnScreen().pixel(corner), Rgb(clHighlight));
    f.Other->SetFocus();
    EXPECT_EQ(f.OnScreen().pixel(corner), Rgb(clWhite));
    EXPECT_EQ(f.Grid->Row(), 1);
    f.Grid->SetFocus();
    EXPECT_EQ(f.OnScreen().pixel(corner), Rgb(clHighlight));
}

TEST(GridNotificationTest, ClosingAndOpeningLaysOutAgain) {
    GridForm f(AdjustmentRows(3));
    f.Show();
    f.Data->Close();
    EXPECT_EQ(f.Grid->RowCount(), 2);
    EXPECT_EQ(f.Grid->CellText(1, 1), "");
    f.Data->Open();
    EXPECT_EQ(f.Grid->RowCount(), 4);
    EXPECT_EQ(f.Grid->CellText(1, 3), "03/01/2024");
    EXPECT_EQ(client(f, f.OnScreen()), client(f, f.Shot()));
}

TEST(GridNotificationTest, ChangingTheCurrentColumnRepaintsBothCells) {
    GridForm f(AdjustmentRows(3));
    f.Show();
    f.Grid->SetSelectedIndex(2);
    EXPECT_EQ(f.Grid->Col(), 3);
    EXPECT_EQ(f.Grid->SelectedColumn(), f.Grid->Columns()[2]);
    const QRect porc = f.CellOnWidget(3, 1);
    const QRect date = f.CellOnWidget(1, 1);
    const QImage screen = f.OnScreen();
    EXPECT_EQ(screen.pixel(porc.x() + 1, porc.y() + 1), Rgb(clHighlight));
    EXPECT_EQ(screen.pixel(date.x() + date.width() - 2, date.y() + 1), Rgb(clWhite));
    // The last column is only partly shown: making it current scrolls it in.
    f.Grid->SetSelectedIndex(3);
    EXPECT_GT(f.Grid->Geometry().LeftCol(), 1);
    const QRect factor = f.CellOnWidget(4, 1);
    EXPECT_LE(factor.x() + factor.width(), f.Grid->ClientOrigin().X + f.Grid->ClientRect().Width());
    EXPECT_EQ(client(f, f.OnScreen()), client(f, f.Shot()));
}

} // namespace
