// The cell grid under the data grid: the grid unit's start (settings,
// glyphs, cursors), the layout made once when a form has loaded, the
// settings of rows, titles, drawing and scroll bars, the cell-grid options
// derived from the data grid's, a column's width and place changing only the
// geometry, and the mouse state a press would start.

#include "GridTestFixture.h"

#include "data/TClientDataSet.h"
#include "grid/GridSettings.h"
#include "grid/GridUnit.h"
#include "grid/TIndicatorImages.h"

#include <QFontMetrics>
#include <QPixmap>

#include <gtest/gtest.h>

namespace {

using gridtest::GridForm;

TEST(GridLayeringTest, TheUnitStartsWithTheSharedSettingsGlyphsAndCursors) {
    StartGridUnit();
    const TDBGridSettings& s = DBGridSettings();
    EXPECT_TRUE(s.IncSearchKey.Matches('F', ssCtrl));
    EXPECT_FALSE(s.IncSearchKey.Matches('F', ssCtrl | ssShift));
    EXPECT_TRUE(s.FindDialogKey.Matches('F', ssCtrl)) << "the same key as the search";
    EXPECT_TRUE(s.SearchNextKey.Matches(VK_RETURN, ssCtrl));
    EXPECT_TRUE(s.SearchPriorKey.Matches(VK_RETURN, ssCtrl | ssShift));
    EXPECT_TRUE(s.CopyFromAboveKey.Matches(222, ssCtrl | ssLeft)) << "mouse buttons do not count";
    EXPECT_EQ(s.IncSearchTimeOut, 1500);
    EXPECT_EQ(s.IncSearchBackColor, clYellow);
    EXPECT_EQ(s.IncSearchTextColor, clBlack);
    // The search arrow is made in the search colour.
    EXPECT_EQ(QColor(TIndicatorImages::Shared().Image(iiArrowSearch).pixel(1, 5)),
              ToQColor(clYellow));
    for (TGridCursor c : {gcDown, gcRight, gcLeft}) {
        const QCursor& cursor = GridCursor(c);
        EXPECT_EQ(cursor.shape(), Qt::BitmapCursor);
        EXPECT_EQ(cursor.pixmap().size(), QSize(32, 32));
        // The hot spot is the arrow's tip: black there, and nothing beyond.
        const QImage image = cursor.pixmap().toImage();
        const QPoint tip = cursor.hotSpot();
        EXPECT_EQ(qGray(image.pixel(tip)), 0) << "cursor " << c;
    }
    EXPECT_GT(GridCursor(gcRight).hotSpot().x(), GridCursor(gcLeft).hotSpot().x());
}

TEST(GridLayeringTest, ACursorThatCannotBeLoadedFailsTheStart) {
    try {
        LoadCursorResource("NOSUCHCUR", 0, 0);
        FAIL() << "no such resource";
    } catch (const EOutOfResources& e) {
        EXPECT_STREQ(e.what(), "Cannot load cursor resource");
    }
    EXPECT_NO_THROW(LoadCursorResource("DOWNCUR", 16, 21));
}

// A form read from its description: the settings arrive one by one.
class LoadingForm : public TForm {
public:
    LoadingForm() : TForm(nullptr) {}
    using TForm::BeginLoad;
    using TForm::EndLoad;
};

TEST(GridLayeringTest, AGridOnALoadingFormIsLaidOutOnceWhenLoadingEnds) {
    guitest::DialogAndSettings env;
    LoadingForm form;
    form.BeginLoad();
    auto* data = new TClientDataSet(&form);
    auto* source = new TDataSource(&form);
    source->SetDataSet(data);
    auto* grid = new TDBGrid(&form, &form);
    grid->SetBounds(1, 19, 303, 131);
    grid->SetAlign(alClient);
    gridtest::ConfigureAsDBGrid2(grid, source);
    grid->SetTabOrder(0);
    form.SetFont(TFont("MS Sans Serif", -11, clWindowText));
    EXPECT_EQ(grid->LayoutCount(), 0);
    form.EndLoad();
    EXPECT_EQ(grid->LayoutCount(), 1);
    EXPECT_EQ(grid->ColCount(), 5);
    EXPECT_EQ(grid->DefaultRowHeight(), QFontMetrics(ToQFont(grid->Font())).height() + 4);
    // Once loaded, every change lays it out at once.
    grid->SetFlat(true);
    EXPECT_EQ(grid->LayoutCount(), 2);
}

TEST(GridLayeringTest, RowAndTitleHeightsInPixelsOrLines) {
    GridForm f;
    const int text = QFontMetrics(ToQFont(f.Grid->Font())).height();
    const int title = QFontMetrics(ToQFont(f.Grid->TitleFont())).height();
    struct Case {
        int RowHeight, RowLines, TitleHeight, TitleLines;
        int Row, Title;
    };
    const std::vector<Case> cases = {
        {0, 0, 0, 0, text + 4, title + 4},
        {25, 0, 30, 0, 25, 30},
        {0, 2, 0, 3, 2 * text + 4, 3 * title + 4},
        {22, 2, 0, 1, 22, title + 4},
    };
    for (const Case& c : cases) {
        f.Grid->SetRowHeight(c.RowHeight);
        f.Grid->SetRowLines(c.RowLines);
        f.Grid->SetTitleHeight(c.TitleHeight);
        f.Grid->SetTitleLines(c.TitleLines);
        EXPECT_EQ(f.Grid->DefaultRowHeight(), c.Row) << c.RowHeight << "/" << c.RowLines;
        EXPECT_EQ(f.Grid->TitleRowHeight(), c.Title) << c.TitleHeight << "/" << c.TitleLines;
    }
}

TEST(GridLayeringTest, WithoutDefaultDrawingTheCellsShowNoText) {
    GridForm f;
    f.Show();
    const QRect title = f.CellOnWidget(1, 0);
    const QRect cell = f.CellOnWidget(2, 2);
    ASSERT_GT(gridtest::CountDark(f.Shot(), cell), 0);
    f.Grid->SetDefaultDrawing(false);
    const QImage shot = f.Shot();
    EXPECT_EQ(gridtest::CountDark(shot, cell.adjusted(1, 1, -1, -1)), 0);
    EXPECT_EQ(gridtest::CountDark(shot, title.adjusted(2, 2, -2, -2)), 0);
}

TEST(GridLayeringTest, ScrollBarsShowAsTheirVisibleModeSays) {
    GridForm f(gridtest::AdjustmentRows(1));
    TDBGridScrollBar* vert = f.Grid->VertScrollBar();
    EXPECT_EQ(vert->VisibleMode(), sbAutoShow);
    EXPECT_TRUE(vert->Tracking());
    EXPECT_FALSE(vert->SmoothStep());
    EXPECT_TRUE(vert->isHidden()) << "one record";
    const int rows = f.Grid->VisibleRowCount();
    vert->SetVisibleMode(sbAlwaysShow);
    f.Grid->SetWidth(f.Grid->Width() + 1);
    EXPECT_FALSE(vert->isHidden());
    TDBGridScrollBar* horz = f.Grid->HorzScrollBar();
    ASSERT_FALSE(horz->isHidden()) << "the columns are wider than the grid";
    horz->SetVisibleMode(sbNeverShow);
    f.Grid->SetWidth(f.Grid->Width() - 1);
    EXPECT_TRUE(horz->isHidden());
    EXPECT_GT(f.Grid->VisibleRowCount(), rows) << "the bar's room goes to the rows";
}

TEST(GridLayeringTest, TheCellGridOptionsComeFromTheDataGridsOptions) {
    GridForm f;
    const TGridOptions expected{goFixedVertLine, goFixedHorzLine, goVertLine,
                                goHorzLine,      goColSizing,     goColMoving,
                                goEditing,       goTabs,          goExtendVertLines};
    EXPECT_EQ(f.Grid->GridOptions(), expected);
    EXPECT_TRUE(f.Grid->DialogCodes() & TWinControl::dlgcWantTab);
    TDBGridOptions options = f.Grid->Options();
    options.erase(dgTabs);
    options.erase(dgEditing);
    f.Grid->SetOptions(options);
    EXPECT_FALSE(f.Grid->GridOptions().contains(goTabs));
    EXPECT_FALSE(f.Grid->GridOptions().contains(goEditing));
    EXPECT_FALSE(f.Grid->DialogCodes() & TWinControl::dlgcWantTab);
}

TEST(GridLayeringTest, AColumnsWidthAndPlaceChangeOnlyTheGeometry) {
    GridForm f;
    const int layouts = f.Grid->LayoutCount();
    const int porc = f.Grid->Geometry().ColWidth(3);
    f.Grid->Columns()[0]->SetWidth(40);
    EXPECT_EQ(f.Grid->Geometry().ColWidth(1), 40);
    EXPECT_EQ(f.Grid->Columns()[0]->Width(), 40);
    f.Grid->SetSelectedIndex(3);
    f.Grid->Columns().Move(2, 0);
    EXPECT_EQ(f.Grid->Geometry().ColWidth(1), porc);
    EXPECT_EQ(f.Grid->Geometry().ColWidth(2), 40);
    EXPECT_EQ(f.Grid->Columns()[0]->FieldName(), "AJCI_PORC");
    EXPECT_EQ(f.Grid->SelectedColumn()->FieldName(), "AJCI_FACTOR")
        << "the same column stays current";
    EXPECT_EQ(f.Grid->CellText(1, 1), "4");
    EXPECT_EQ(f.Grid->LayoutCount(), layouts) << "no fonts measured, no fields bound again";
    f.Grid->Columns().Move(0, 3);
    EXPECT_EQ(f.Grid->CellText(4, 1), "4");
    EXPECT_EQ(f.Grid->SelectedColumn()->FieldName(), "AJCI_FACTOR");
}

TEST(GridLayeringTest, APressStartsTheMouseStateOfWhereItFalls) {
    GridForm f;
    const TGridGeometry& g = f.Grid->Geometry();
    const TRect first = g.CellRect(1, 0);
    const int line = first.Right; // the boundary's line after column 1
    struct Case {
        const char* Name;
        int X, Y;
        TGridState State;
    };
    const std::vector<Case> cases = {
        {"title, middle", first.Left + 20, 5, gsColMoving},
        {"title, 3 left of the line", line - 3, 5, gsColSizing},
        {"title, 4 left of the line", line - 4, 5, gsColMoving},
        {"title, on the line", line, 5, gsColSizing},
        {"title, 4 right of the line", line + 4, 5, gsColSizing},
        {"title, 5 right of the line", line + 5, 5, gsColMoving},
        {"indicator title", 3, 5, gsNormal},
        {"data cell", first.Left + 20, g.CellRect(1, 1).Top + 3, gsTracking},
        {"indicator cell", 3, g.CellRect(0, 1).Top + 3, gsNormal},
        {"below the rows", first.Left + 20, g.GridBottom() + 5, gsNormal},
    };
    for (const Case& c : cases)
        EXPECT_EQ(f.Grid->GridStateAt(c.X, c.Y), c.State) << c.Name;
    TDBGridOptionsEx ex = f.Grid->OptionsEx();
    ex.erase(dghColumnResize);
    ex.erase(dghColumnMove);
    f.Grid->SetOptionsEx(ex);
    EXPECT_EQ(f.Grid->GridStateAt(line, 5), gsNormal) << "without column sizing";
    EXPECT_EQ(f.Grid->GridStateAt(first.Left + 20, 5), gsNormal) << "without column moving";
    EXPECT_EQ(f.Grid->GridState(), gsNormal);
}

} // namespace
