// The grid's three option sets: the class defaults, the window's values, the
// links between the sets, and the cell grid's options derived from them.

#include "GridTestFixture.h"

#include "grid/GridOptions.h"

#include <gtest/gtest.h>

namespace {

const TDBGridOptions kDefaultOptions = {dgEditing,      dgTitles,        dgIndicator,
                                        dgColumnResize, dgColLines,      dgRowLines,
                                        dgTabs,         dgConfirmDelete, dgCancelOnExit};
const TDBGridOptionsEx kWindowOptionsEx = {dghFixed3D,      dghHighlightFocus, dghClearSelection,
                                           dghEnterAsTab,   dghIncSearch,      dghDialogFind,
                                           dghColumnResize, dghColumnMove,     dghExtendVertLines};

TEST(GridOptionsTest, ClassDefaultsAreConsistent) {
    TDBGridOptionSets sets;
    EXPECT_EQ(sets.Options(), kDefaultOptions);
    EXPECT_EQ(sets.IndicatorOptions(), TIndicatorOptions{gioShowRowIndicator});
    // dgColumnResize in the defaults stands for both sizing and moving.
    EXPECT_TRUE(sets.Has(dghColumnResize));
    EXPECT_TRUE(sets.Has(dghColumnMove));
}

TEST(GridOptionsTest, TheWindowsValuesKeepTheDefaultOptions) {
    gridtest::GridForm f;
    EXPECT_EQ(f.Grid->Options(), kDefaultOptions);
    EXPECT_EQ(f.Grid->OptionsEx(), kWindowOptionsEx);
    EXPECT_EQ(f.Grid->IndicatorOptions(), TIndicatorOptions{gioShowRowIndicator});
    EXPECT_EQ(f.Grid->AllowedOperations(),
              (TDBGridAllowedOperations{alopInsert, alopUpdate, alopDelete, alopAppend}));
    EXPECT_FALSE(f.Grid->ReadOnly());
    EXPECT_FALSE(f.Grid->Flat());
    EXPECT_EQ(f.Grid->Color(), clWindow);
    EXPECT_EQ(f.Grid->FixedColor(), clBtnFace);
    EXPECT_EQ(f.Grid->BorderStyle(), bsSingle);
    EXPECT_EQ(f.Grid->TitleFont(), TFont("MS Sans Serif", -11, clWindowText));
    EXPECT_TRUE(f.Grid->ParentFont());
    EXPECT_EQ(f.Grid->Font(), f.Form->Font());
}

TEST(GridOptionsTest, IndicatorOptionAndIndicatorSwitchEachOther) {
    TDBGridOptionSets sets;
    sets.SetIndicatorOptions({});
    EXPECT_FALSE(sets.Has(dgIndicator));
    sets.SetIndicatorOptions({gioShowRowIndicator});
    EXPECT_TRUE(sets.Has(dgIndicator));

    TDBGridOptions withoutIndicator = kDefaultOptions;
    withoutIndicator.erase(dgIndicator);
    sets.SetOptions(withoutIndicator);
    EXPECT_FALSE(sets.Has(gioShowRowIndicator));
    sets.SetOptions(kDefaultOptions);
    EXPECT_TRUE(sets.Has(gioShowRowIndicator));
}

TEST(GridOptionsTest, ColumnResizeStandsForSizingAndMoving) {
    TDBGridOptionSets sets;
    TDBGridOptions withoutResize = kDefaultOptions;
    withoutResize.erase(dgColumnResize);
    sets.SetOptions(withoutResize);
    EXPECT_FALSE(sets.Has(dghColumnResize));
    EXPECT_FALSE(sets.Has(dghColumnMove));

    sets.SetOptionsEx({dghColumnResize});
    EXPECT_FALSE(sets.Has(dgColumnResize)) << "moving is still off";
    sets.SetOptionsEx({dghColumnResize, dghColumnMove});
    EXPECT_TRUE(sets.Has(dgColumnResize));

    sets.SetOptions(kDefaultOptions);
    EXPECT_EQ(sets.OptionsEx(), (TDBGridOptionsEx{dghColumnResize, dghColumnMove}));
}

TEST(GridOptionsTest, TheCellGridOptionsFollowTheSets) {
    TDBGridOptionSets sets;
    sets.SetOptionsEx(kWindowOptionsEx);
    EXPECT_EQ(GridOptionsOf(sets),
              (TGridOptions{goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goColSizing,
                            goColMoving, goEditing, goTabs, goExtendVertLines}));

    TDBGridOptions reduced = kDefaultOptions;
    for (TDBGridOption o : {dgColLines, dgEditing, dgTabs, dgColumnResize})
        reduced.erase(o);
    sets.SetOptions(reduced);
    EXPECT_EQ(GridOptionsOf(sets), (TGridOptions{goFixedHorzLine, goHorzLine, goExtendVertLines}));
}

TEST(GridOptionsTest, GridTakesTheLinkedSetsAndLaysOutAgain) {
    gridtest::GridForm f;
    ASSERT_EQ(f.Grid->IndicatorOffset(), 1);
    ASSERT_EQ(f.Grid->ColCount(), 5);
    f.Grid->SetIndicatorOptions({});
    EXPECT_FALSE(f.Grid->Options().contains(dgIndicator));
    EXPECT_EQ(f.Grid->IndicatorOffset(), 0);
    EXPECT_EQ(f.Grid->ColCount(), 4);
    EXPECT_EQ(f.Grid->SelectedIndex(), 0) << "the current column stays the first data column";

    TDBGridOptions noTitles = f.Grid->Options();
    noTitles.erase(dgTitles);
    f.Grid->SetOptions(noTitles);
    EXPECT_EQ(f.Grid->TitleOffset(), 0);
    EXPECT_EQ(f.Grid->RowCount(), 3);
}

} // namespace
