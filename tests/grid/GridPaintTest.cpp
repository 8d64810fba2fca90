// What the grid shows, read from its pixels at the places the layout gives:
// titles, the indicator glyphs, the current cell's highlight and focus
// rectangle, text placement, empty cells, grid lines, the area beyond the
// cells, and the looks of an empty and of an inactive dataset.

#include "GridTestFixture.h"

#include "data/TClientDataSet.h"
#include "grid/TIndicatorImages.h"

#include <QScrollBar>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

using gridtest::AdjustmentRows;
using gridtest::CountDark;
using gridtest::GridForm;
using gridtest::InkBounds;
using gridtest::Part;
using gridtest::ReferenceText;
using gridtest::Rgb;

// The glyph an indicator cell shows: -1 for none, else the image whose
// pixels it holds, over the fixed colour.
int glyphIn(const QImage& shot, const QRect& cell) {
    const int x = cell.x() + cell.width() - 8;
    const int y = cell.y() + (cell.height() - TIndicatorImages::Height) / 2;
    for (int i = 0; i < TIndicatorImages::Count; ++i) {
        const QImage& glyph = TIndicatorImages::Shared().Image(i);
        bool same = true;
        for (int gy = 0; gy < glyph.height() && same; ++gy)
            for (int gx = 0; gx < glyph.width() && same; ++gx) {
                const QRgb g = glyph.pixel(gx, gy);
                const QRgb want = qAlpha(g) ? (g | 0xFF000000u) : Rgb(clBtnFace);
                same = shot.pixel(x + gx, y + gy) == want;
            }
        if (same) return i;
    }
    // No glyph: the inside of the raised frame is plain.
    const QRect inside = cell.adjusted(1, 1, -1, -1);
    return InkBounds(shot, inside, Rgb(clBtnFace)).isEmpty() ? -1 : -2;
}

int CountColour(const QImage& image, const QRect& area, QRgb colour) {
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += image.pixel(x, y) == colour;
    return n;
}

QRgb at(const QImage& image, int x, int y) {
    return image.pixel(x, y);
}

TEST(GridPaintTest, TitlesShowTheirCaptionsInTheTitleFont) {
    GridForm f;
    f.Show();
    const QImage shot = f.Shot();
    GridForm::Save(shot, "window-grid");
    const char* const captions[] = {"F.Desde", "F.Hasta", "Porc", "Factor"};
    for (int col = 1; col <= 4; ++col) {
        const QRect cell = f.CellOnWidget(col, 0);
        const QRect visible = f.Visible(cell);
        const QRect text(cell.x() + 2, cell.y() + 2, 20, f.Grid->TitleRowHeight() - 4);
        EXPECT_GT(CountDark(shot, text.intersected(visible)), 8) << captions[col - 1];
        // The same text drawn by Qt alone, 2 pixels in and 2 down.
        const QImage want = ReferenceText(cell.size(), Rgb(clBtnFace), captions[col - 1],
                                          f.Grid->TitleFont(), clWindowText, 2, 2);
        const QRect inner = visible.adjusted(1, 1, -1, -1);
        EXPECT_EQ(Part(shot, inner), Part(want, inner.translated(-cell.topLeft())))
            << captions[col - 1];
    }
    // The indicator's title cell has no text.
    EXPECT_TRUE(
        InkBounds(shot, f.CellOnWidget(0, 0).adjusted(1, 1, -1, -1), Rgb(clBtnFace)).isEmpty());
}

TEST(GridPaintTest, FixedCellsHaveARaisedInnerEdge) {
    GridForm f;
    f.Show();
    const QImage shot = f.Shot();
    for (const QRect& cell : {f.CellOnWidget(0, 0), f.CellOnWidget(2, 0), f.CellOnWidget(0, 2)}) {
        const int right = cell.x() + cell.width() - 1, bottom = cell.y() + cell.height() - 1;
        EXPECT_EQ(at(shot, cell.x(), cell.y()), Rgb(clBtnHighlight));
        EXPECT_EQ(at(shot, cell.x() + 3, cell.y()), Rgb(clBtnHighlight));
        EXPECT_EQ(at(shot, cell.x(), cell.y() + 5), Rgb(clBtnHighlight));
        EXPECT_EQ(at(shot, right, cell.y() + 5), Rgb(clBtnShadow));
        EXPECT_EQ(at(shot, cell.x() + 3, bottom), Rgb(clBtnShadow));
        EXPECT_EQ(at(shot, right, bottom), Rgb(clBtnShadow));
        EXPECT_EQ(at(shot, right - 1, cell.y() + 1), Rgb(clBtnFace));
    }
}

TEST(GridPaintTest, IndicatorShowsTheGlyphOfTheCurrentRecordsState) {
    GridForm f;
    f.Show();
    EXPECT_EQ(glyphIn(f.Shot(), f.CellOnWidget(0, 1)), iiArrow);
    EXPECT_EQ(glyphIn(f.Shot(), f.CellOnWidget(0, 2)), -1);
    EXPECT_EQ(glyphIn(f.Shot(), f.CellOnWidget(0, 3)), -1);

    f.Data->Next();
    EXPECT_EQ(glyphIn(f.Shot(), f.CellOnWidget(0, 1)), -1);
    EXPECT_EQ(glyphIn(f.Shot(), f.CellOnWidget(0, 2)), iiArrow);

    f.Data->Edit();
    EXPECT_EQ(glyphIn(f.Shot(), f.CellOnWidget(0, 2)), iiEdit);
    f.Factor->SetAsString("0,5");
    f.Data->Post();
    EXPECT_EQ(glyphIn(f.Shot(), f.CellOnWidget(0, 2)), iiArrow) << "posted";

    f.Data->Insert();
    const QImage inserting = f.Shot();
    GridForm::Save(inserting, "insert");
    EXPECT_EQ(glyphIn(inserting, f.CellOnWidget(0, 2)), iiInsert) << "the new row stands there";
    EXPECT_EQ(f.Grid->RowCount(), 5);
    EXPECT_EQ(f.Grid->CellText(1, 2), "");
    EXPECT_EQ(f.Grid->CellText(1, 3), "02/01/2024");
    f.Data->Cancel();
    EXPECT_EQ(glyphIn(f.Shot(), f.CellOnWidget(0, 2)), iiArrow);
}

TEST(GridPaintTest, CurrentCellIsHighlightedOnlyWhileTheGridHasTheFocus) {
    GridForm f;
    f.Show();
    ASSERT_TRUE(f.Grid->Focused());
    QImage shot = f.Shot();
    const QRect current = f.CellOnWidget(1, 1);
    const QRect other = f.CellOnWidget(2, 1);
    const QPoint corner(current.x() + current.width() - 2, current.y() + 1);
    EXPECT_EQ(at(shot, corner.x(), corner.y()), Rgb(clHighlight));
    EXPECT_GT(InkBounds(shot, current, Rgb(clHighlight)).width(), 20) << "text in white";
    EXPECT_GT(CountColour(shot, current, Rgb(clHighlightText)), 10) << "the text";
    EXPECT_EQ(CountColour(shot, current, Rgb(clBlack)), 0) << "not in the normal colour";
    EXPECT_EQ(at(shot, other.x() + other.width() - 2, other.y() + 1), Rgb(clWhite));

    // Another control of the window takes the focus: normal colours, and no
    // focus rectangle; the current cell stays where it was.
    f.Other->SetFocus();
    gridtest::GridForm::Settle();
    shot = f.Shot();
    EXPECT_EQ(at(shot, corner.x(), corner.y()), Rgb(clWhite));
    EXPECT_EQ(at(shot, current.x(), current.y()), Rgb(clWhite)) << "no focus rectangle";
    EXPECT_EQ(f.Grid->Col(), 1);
    EXPECT_EQ(f.Grid->Row(), 1);
    const QImage want = ReferenceText(current.size(), Rgb(clWhite), "01/01/2024", f.Grid->Font(),
                                      clWindowText, 2, 2);
    EXPECT_EQ(Part(shot, current), want) << "the date, left-aligned in black on white";
}

TEST(GridPaintTest, FocusRectangleWhileTheWindowIsNotActive) {
    GridForm f;
    f.Show();
    QWidget elsewhere;
    elsewhere.resize(100, 60);
    guitest::ShowActive(&elsewhere);
    GridForm::Settle();
    ASSERT_FALSE(f.Form->Active());
    ASSERT_EQ(f.Form->ActiveControl(), f.Grid);
    const QImage shot = f.Shot();
    GridForm::Save(shot, "inactive-window");
    const QRect cell = f.CellOnWidget(1, 1);
    const int right = cell.x() + cell.width() - 1, bottom = cell.y() + cell.height() - 1;
    // Every other pixel of the cell's edge inverted: black dots on white.
    EXPECT_EQ(at(shot, cell.x(), cell.y()), Rgb(clBlack));
    EXPECT_EQ(at(shot, cell.x() + 1, cell.y()), Rgb(clWhite));
    EXPECT_EQ(at(shot, cell.x() + 2, cell.y()), Rgb(clBlack));
    EXPECT_EQ(at(shot, cell.x(), cell.y() + 1), Rgb(clWhite));
    EXPECT_EQ(at(shot, cell.x(), cell.y() + 2), Rgb(clBlack));
    EXPECT_EQ(at(shot, right, bottom),
              (cell.width() + cell.height()) % 2 == 0 ? Rgb(clBlack) : Rgb(clWhite));
    EXPECT_EQ(at(shot, cell.x() + cell.width() - 2, cell.y() + 3), Rgb(clWhite)) << "no highlight";
    // Only the current cell has one.
    const QRect other = f.CellOnWidget(2, 1);
    EXPECT_EQ(at(shot, other.x(), other.y()), Rgb(clWhite));
}

TEST(GridPaintTest, DatesAreLeftAlignedAndNumbersRightAligned) {
    GridForm f;
    // Wide enough for every column to show whole.
    f.Grid->SetWidth(400);
    f.Show();
    const QImage shot = f.Shot();
    struct Case {
        int col;
        const char* text;
        bool right;
    };
    // Row 2 is not the current one.
    const Case cases[] = {
        {1, "02/01/2024", false}, {2, "31/01/2024", false}, {3, "8", true}, {4, "0,8", true}};
    const QFontMetrics metrics(ToQFont(f.Grid->Font()));
    for (const Case& c : cases) {
        const QRect cell = f.CellOnWidget(c.col, 2);
        ASSERT_EQ(f.Grid->CellText(c.col, 2), c.text);
        const QRect ink = InkBounds(shot, cell, Rgb(clWhite));
        ASSERT_TRUE(ink.isValid()) << c.text;
        const int width = metrics.horizontalAdvance(QString::fromLatin1(c.text));
        const int x = c.right ? cell.width() - width - 3 : 2;
        if (c.right) {
            EXPECT_LE(ink.right(), cell.x() + cell.width() - 4) << c.text;
            EXPECT_GE(ink.right(), cell.x() + cell.width() - 7) << c.text;
        } else {
            EXPECT_GE(ink.left(), cell.x() + 2) << c.text;
            EXPECT_LE(ink.left(), cell.x() + 4) << c.text;
        }
        EXPECT_GE(ink.top(), cell.y() + 2) << c.text;
        const QImage want =
            ReferenceText(cell.size(), Rgb(clWhite), c.text, f.Grid->Font(), clWindowText, x, 2);
        EXPECT_EQ(Part(shot, cell), want) << c.text;
    }
}

TEST(GridPaintTest, NullValuesShowAsEmptyCells) {
    std::vector<fixtures::Row> rows = AdjustmentRows(2);
    rows[1][2] = Variant(Null{});
    rows[1][4] = Variant(Null{});
    GridForm f(rows);
    f.Show();
    const QImage shot = f.Shot();
    EXPECT_TRUE(InkBounds(shot, f.CellOnWidget(2, 2), Rgb(clWhite)).isEmpty()) << "null date";
    EXPECT_TRUE(InkBounds(shot, f.Visible(f.CellOnWidget(4, 2)), Rgb(clWhite)).isEmpty())
        << "null number";
    EXPECT_FALSE(InkBounds(shot, f.CellOnWidget(3, 2), Rgb(clWhite)).isEmpty());
    EXPECT_EQ(f.Grid->CellText(2, 2), "");
}

TEST(GridPaintTest, SilverLinesBetweenDataCellsBlackOnesAroundFixedCells) {
    GridForm f;
    f.Show();
    const QImage shot = f.Shot();
    const QRect data = f.CellOnWidget(1, 2);
    const QRect title = f.CellOnWidget(1, 0);
    const QRect indicator = f.CellOnWidget(0, 2);
    const int dataRight = data.x() + data.width(), dataBottom = data.y() + data.height();
    EXPECT_EQ(at(shot, dataRight, data.y() + 5), Rgb(clSilver)) << "between data columns";
    EXPECT_EQ(at(shot, data.x() + 5, dataBottom), Rgb(clSilver)) << "between data rows";
    EXPECT_EQ(at(shot, dataRight, dataBottom), Rgb(clSilver)) << "where they cross";
    EXPECT_EQ(at(shot, title.x() + 5, title.y() + title.height()), Rgb(clBlack)) << "below titles";
    EXPECT_EQ(at(shot, title.x() + title.width(), title.y() + 5), Rgb(clBlack)) << "between titles";
    EXPECT_EQ(at(shot, title.x() + title.width(), title.y() + title.height()), Rgb(clBlack));
    EXPECT_EQ(at(shot, indicator.x() + indicator.width(), indicator.y() + 5), Rgb(clBlack))
        << "right of the indicator";
    EXPECT_EQ(at(shot, indicator.x() + 5, indicator.y() + indicator.height()), Rgb(clBlack))
        << "between indicator cells";

    f.Grid->SetColor(clSilver);
    const QImage silver = f.Shot();
    EXPECT_EQ(at(silver, dataRight, data.y() + 5), Rgb(clGray)) << "gray on a silver grid";
    EXPECT_EQ(at(silver, data.x() + 5, dataBottom), Rgb(clGray));
    EXPECT_EQ(at(silver, data.x() + data.width() - 2, data.y() + 1), Rgb(clSilver));
}

TEST(GridPaintTest, BelowTheLastRowOnlyTheExtendedVerticalLines) {
    GridForm f(AdjustmentRows(2));
    f.Show();
    const QImage shot = f.Shot();
    GridForm::Save(shot, "two-rows");
    ASSERT_EQ(f.Grid->RowCount(), 3);
    ASSERT_GT(f.Grid->VisibleRowCount(), 2);
    const QRect last = f.CellOnWidget(1, 2);
    const int y = last.y() + last.height() + 1 + 4; // below the last row's line
    const QRect indicator = f.CellOnWidget(0, 2);
    const int clientBottom = f.Grid->ClientOrigin().Y + f.Grid->ClientRect().Height() - 1;
    for (int yy : {y, clientBottom}) {
        EXPECT_EQ(at(shot, last.x() + last.width(), yy), Rgb(clSilver)) << "data line at " << yy;
        EXPECT_EQ(at(shot, indicator.x() + indicator.width(), yy), Rgb(clBlack))
            << "indicator line at " << yy;
        EXPECT_EQ(at(shot, last.x() + 10, yy), Rgb(clWhite)) << "the grid's colour";
        EXPECT_EQ(at(shot, indicator.x() + 5, yy), Rgb(clWhite)) << "also below the indicator";
    }
    EXPECT_EQ(at(shot, last.x() + 10, last.y() + last.height()), Rgb(clSilver))
        << "the last row's own line";
}

TEST(GridPaintTest, RightOfTheLastColumnTheGridsColour) {
    GridForm f;
    f.Grid->Columns()[2]->SetVisible(false);
    f.Grid->Columns()[3]->SetVisible(false);
    f.Show();
    ASSERT_TRUE(f.Grid->HorzScrollBar()->isHidden()) << "two columns fit";
    const QImage shot = f.Shot();
    GridForm::Save(shot, "two-columns");
    const QRect lastTitle = f.CellOnWidget(2, 0);
    const int x = lastTitle.x() + lastTitle.width() + 1 + 5;
    for (int row = 0; row <= 3; ++row) {
        const QRect cell = f.CellOnWidget(1, row);
        EXPECT_EQ(at(shot, x, cell.y() + 3), Rgb(clWhite)) << "row " << row;
        EXPECT_EQ(at(shot, x, cell.y() + cell.height()), Rgb(clWhite)) << "no line there";
    }
    EXPECT_EQ(at(shot, lastTitle.x() + lastTitle.width(), lastTitle.y() + 3), Rgb(clBlack));
}

TEST(GridPaintTest, ActiveEmptyDatasetShowsOneBlankRowWithTheBrowseArrow) {
    GridForm f(AdjustmentRows(0));
    f.Show();
    const QImage shot = f.Shot();
    GridForm::Save(shot, "empty");
    EXPECT_EQ(f.Grid->RowCount(), 2);
    EXPECT_TRUE(f.Grid->VertScrollBar()->isHidden());
    EXPECT_EQ(glyphIn(shot, f.CellOnWidget(0, 1)), iiArrow);
    const QRect current = f.CellOnWidget(1, 1);
    EXPECT_TRUE(InkBounds(shot, current, Rgb(clHighlight)).isEmpty())
        << "painted as a data cell: the current one highlighted, with no text";
    for (int col = 2; col <= 4; ++col) {
        const QRect cell = f.Visible(f.CellOnWidget(col, 1));
        EXPECT_TRUE(InkBounds(shot, cell, Rgb(clWhite)).isEmpty()) << col;
    }
    EXPECT_EQ(at(shot, current.x() + 5, current.y() + current.height()), Rgb(clSilver))
        << "the row's line";
}

TEST(GridPaintTest, InactiveDatasetShowsTitlesAndOneEmptyRow) {
    GridForm f(AdjustmentRows(3), false);
    f.Show();
    const QImage shot = f.Shot();
    GridForm::Save(shot, "inactive");
    EXPECT_EQ(f.Grid->RowCount(), 2);
    EXPECT_TRUE(f.Grid->VertScrollBar()->isHidden());
    EXPECT_EQ(glyphIn(shot, f.CellOnWidget(0, 1)), -1) << "no glyph";
    for (int col = 1; col <= 4; ++col) {
        const QRect cell = f.Visible(f.CellOnWidget(col, 1));
        EXPECT_TRUE(InkBounds(shot, cell, Rgb(clWhite)).isEmpty())
            << "column colour, nothing else, even the current cell: " << col;
        EXPECT_GT(CountDark(shot, f.Visible(f.CellOnWidget(col, 0))), 8) << "title " << col;
    }
}

TEST(GridPaintTest, BorderIsASunkenEdge) {
    GridForm f;
    f.Show();
    const QImage shot = f.Shot();
    const int w = shot.width(), h = shot.height();
    EXPECT_EQ(at(shot, 5, 0), Rgb(clBtnShadow));
    EXPECT_EQ(at(shot, 0, 5), Rgb(clBtnShadow));
    EXPECT_EQ(at(shot, 5, 1), Rgb(cl3DDkShadow));
    EXPECT_EQ(at(shot, w - 1, 5), Rgb(clBtnHighlight));
    EXPECT_EQ(at(shot, 5, h - 1), Rgb(clBtnHighlight));
    EXPECT_EQ(at(shot, w - 2, 5), Rgb(cl3DLight));
}

} // namespace
