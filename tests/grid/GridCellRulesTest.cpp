// The rules behind a cell's looks, without pixels: cell kinds and the
// unreachable kind's error, draw states, the current cell's highlight and
// focus rectangle, the indicator glyph per state, line colours and text
// placement; and the shared indicator images.

#include "GridTestFixture.h"

#include "grid/GridCellRules.h"
#include "grid/GridErrors.h"
#include "grid/TIndicatorImages.h"

#include <gtest/gtest.h>

namespace {

TEST(GridCellRulesTest, CellKindFromIndicatorOrDataColumnAndTitleOrDataRow) {
    struct Case {
        int col, row, indicatorOffset, titleOffset;
        TGridCellType type;
    };
    const Case cases[] = {
        {0, 0, 1, 1, ctIndicatorTitle}, {1, 0, 1, 1, ctTitle}, {0, 1, 1, 1, ctIndicator},
        {4, 3, 1, 1, ctData},           {0, 0, 0, 1, ctTitle}, {0, 0, 1, 0, ctIndicator},
        {0, 0, 0, 0, ctData},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CellTypeAt(c.col, c.row, c.indicatorOffset, c.titleOffset, 4), c.type)
            << c.col << "," << c.row << " offsets " << c.indicatorOffset << c.titleOffset;
}

TEST(GridCellRulesTest, RowOutsideTheGridIsAnAlgorithmError) {
    for (int row : {-1, 4, 100}) {
        try {
            CellTypeAt(1, row, 1, 1, 4);
            ADD_FAILURE() << "row " << row;
        } catch (const EInvalidGridOperation& e) {
            EXPECT_STREQ(e.what(), "Algorithm error in TCustomDBGrid.GetCellType");
        }
    }
    gridtest::GridForm f;
    EXPECT_THROW(f.Grid->GetCellType(1, f.Grid->RowCount()), EInvalidGridOperation);
    EXPECT_EQ(f.Grid->GetCellType(1, f.Grid->RowCount() - 1), ctData);
}

TEST(GridCellRulesTest, DrawStates) {
    EXPECT_EQ(CellDrawState(true, false, true), gdFixed);
    EXPECT_EQ(CellDrawState(false, false, true), 0u);
    EXPECT_EQ(CellDrawState(false, true, false), gdCurrent | gdSelected);
    EXPECT_EQ(CellDrawState(false, true, true), gdCurrent | gdSelected | gdFocused);
}

TEST(GridCellRulesTest, GridCellStatesFollowTheCurrentCellAndTheActiveControl) {
    gridtest::GridForm f;
    f.Show();
    EXPECT_EQ(f.Grid->CellState(1, 1), gdCurrent | gdSelected | gdFocused);
    EXPECT_EQ(f.Grid->CellState(2, 1), 0u);
    EXPECT_EQ(f.Grid->CellState(0, 1), gdFixed);
    EXPECT_EQ(f.Grid->CellState(1, 0), gdFixed);
    EXPECT_EQ(f.Grid->CurrentLook(), (TCurrentCellLook{true, false}));
    f.Other->SetFocus();
    EXPECT_EQ(f.Grid->CellState(1, 1), gdCurrent | gdSelected);
    EXPECT_EQ(f.Grid->CurrentLook(), (TCurrentCellLook{false, false}));
}

TEST(GridCellRulesTest, CurrentCellLookInEachSituation) {
    struct Case {
        const char* situation;
        bool hasFocus, activeControl, editorShowing;
        TCurrentCellLook look;
    };
    const Case cases[] = {
        {"the grid has the keyboard focus", true, true, false, {true, false}},
        {"active control of an inactive window", false, true, false, {false, true}},
        {"another control is active", false, false, false, {false, false}},
        {"the in-place editor is open", false, true, true, {false, false}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CurrentCellLook(c.hasFocus, c.activeControl, c.editorShowing, true, false),
                  c.look)
            << c.situation;
    EXPECT_FALSE(CurrentCellLook(true, true, false, false, false).Highlight)
        << "without dghHighlightFocus";
    EXPECT_TRUE(CurrentCellLook(false, false, false, false, true).Highlight)
        << "dgAlwaysShowSelection";
}

TEST(GridCellRulesTest, IndicatorGlyphByDatasetState) {
    EXPECT_EQ(IndicatorImageFor(dsBrowse, false), 0);
    EXPECT_EQ(IndicatorImageFor(dsBrowse, true), 6);
    EXPECT_EQ(IndicatorImageFor(dsEdit, false), 1);
    EXPECT_EQ(IndicatorImageFor(dsInsert, true), 2);
    EXPECT_EQ(IndicatorImageFor(dsInactive, false), -1);
}

TEST(GridCellRulesTest, LineColoursAndTextPlacement) {
    EXPECT_EQ(DataLineColor(clWindow), clSilver);
    EXPECT_EQ(DataLineColor(clSilver), clGray);
    EXPECT_EQ(DataLineColor(RGBColor(192, 192, 192)), clGray);
    EXPECT_EQ(FixedLineColor, clBlack);

    const TRect cell = Rect(12, 18, 76, 35);
    EXPECT_EQ(CellTextLeft(taLeftJustify, cell, 40), 14);
    EXPECT_EQ(CellTextLeft(taRightJustify, cell, 40), 33);
    EXPECT_EQ(CellTextLeft(taCenter, cell, 40), 24);
    EXPECT_EQ(CellTextLeft(taRightJustify, cell, 100), -27) << "clipped at the cell";
    EXPECT_EQ(CellTextTop(cell), 20);
}

// The shape pixels of an image: those that are not transparent.
int opaquePixels(const QImage& image) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += qAlpha(image.pixel(x, y)) != 0;
    return n;
}

TEST(GridIndicatorImagesTest, SevenImagesOfSixByElevenWithTheirTransparentColour) {
    const TIndicatorImages& images = TIndicatorImages::Shared();
    for (int i = 0; i < TIndicatorImages::Count; ++i) {
        const QImage& image = images.Image(i);
        EXPECT_EQ(image.size(), QSize(6, 11)) << i;
        const int shape = opaquePixels(image);
        EXPECT_GT(shape, 0) << i;
        EXPECT_LT(shape, 6 * 11) << "image " << i << " has a transparent background";
    }
    // Black shapes on white: the white is gone, the black stays.
    for (int i = 0; i <= 4; ++i) {
        const QImage bitmap = TIndicatorImages::Bitmap(i);
        for (int y = 0; y < 11; ++y)
            for (int x = 0; x < 6; ++x) {
                const bool black = bitmap.pixel(x, y) == qRgb(0, 0, 0);
                EXPECT_EQ(qAlpha(images.Image(i).pixel(x, y)) != 0, black) << i;
            }
    }
    EXPECT_EQ(TIndicatorImages::Bitmap(5).pixel(0, 0), qRgb(0, 128, 128)) << "teal background";
    EXPECT_NE(images.Image(0), images.Image(1));
    EXPECT_NE(images.Image(1), images.Image(2));
}

TEST(GridIndicatorImagesTest, SearchArrowIsTheWhiteArrowInTheSearchColour) {
    const TIndicatorImages& images = TIndicatorImages::Shared();
    const QImage& white = images.Image(iiArrowWhite);
    const QImage& search = images.Image(iiArrowSearch);
    for (int y = 0; y < 11; ++y)
        for (int x = 0; x < 6; ++x) {
            ASSERT_EQ(qAlpha(search.pixel(x, y)) != 0, qAlpha(white.pixel(x, y)) != 0);
            if (qAlpha(white.pixel(x, y)) != 0) {
                EXPECT_EQ(white.pixel(x, y) | 0xFF000000u, qRgb(255, 255, 255));
                EXPECT_EQ(search.pixel(x, y) | 0xFF000000u, qRgb(255, 255, 0)) << "clYellow";
            }
        }
    // A teal search colour would vanish with the teal background.
    const QImage teal =
        TIndicatorImages::SearchArrow(TIndicatorImages::Bitmap(iiArrowWhite), clTeal);
    EXPECT_EQ(teal.pixel(2, 5), qRgb(0, 127, 127));
    EXPECT_EQ(teal.pixel(0, 0), qRgb(0, 128, 128));
}

TEST(GridIndicatorImagesTest, OneImageListForEveryGrid) {
    const TIndicatorImages* first = &TIndicatorImages::Shared();
    gridtest::GridForm a;
    gridtest::GridForm b;
    a.Grid->Widget()->grab();
    b.Grid->Widget()->grab();
    EXPECT_EQ(&TIndicatorImages::Shared(), first);
    EXPECT_EQ(TIndicatorImages::Shared().Image(0).constBits(), first->Image(0).constBits());
}

} // namespace
