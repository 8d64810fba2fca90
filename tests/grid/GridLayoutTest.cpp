// The grid's layout on a real widget: row and title heights from the font's
// metrics, column widths by the default-width formula, the rows the window's
// 303 x 131 grid holds, the row count in each dataset state, column defaults
// that follow the grid and the fields, and what a change of font or size
// recomputes.

#include "GridTestFixture.h"

#include "data/TClientDataSet.h"
#include "grid/TGridDataLink.h"

#include <QFontMetrics>
#include <QScrollBar>

#include <gtest/gtest.h>

namespace {

using gridtest::AdjustmentRows;
using gridtest::GridForm;

int textHeight(const TFont& font) {
    return QFontMetrics(ToQFont(font)).height();
}

int defaultWidth(const TFont& font, int displayWidth) {
    return QFontMetrics(ToQFont(font)).horizontalAdvance(QLatin1Char('0')) * displayWidth + 4;
}

TEST(GridLayoutTest, RowAndTitleHeightsFromTheFontMetrics) {
    GridForm f;
    const int text = textHeight(f.Grid->Font());
    EXPECT_EQ(f.Grid->DefaultRowHeight(), text + 3 + 1);
    EXPECT_EQ(f.Grid->TitleRowHeight(), textHeight(f.Grid->TitleFont()) + 4);
    if (text == 13) {
        // The configured 8-point face measures 13 at 96 dpi, as on the suite's
        // home platform.
        EXPECT_EQ(f.Grid->DefaultRowHeight(), 17);
        EXPECT_EQ(f.Grid->TitleRowHeight(), 17);
    }
    f.Grid->SetFlat(true);
    EXPECT_EQ(f.Grid->DefaultRowHeight(), text + 1 + 1);
    EXPECT_EQ(f.Grid->TitleRowHeight(), textHeight(f.Grid->TitleFont()) + 2);
}

TEST(GridLayoutTest, ColumnWidthsByTheDefaultWidthFormula) {
    GridForm f;
    const TFont font = f.Grid->Font();
    const int widths[] = {11, defaultWidth(font, 10), defaultWidth(font, 10),
                          defaultWidth(font, 16), defaultWidth(font, 16)};
    for (int col = 0; col < 5; ++col)
        EXPECT_EQ(f.Grid->Geometry().ColWidth(col), widths[col]) << "column " << col;
    EXPECT_EQ(f.FecIni->DisplayWidth(), 10);
    EXPECT_EQ(f.Porc->DisplayWidth(), 16);
    // The caption does not widen a column.
    f.Grid->Columns()[0]->Title().SetCaption("A caption far wider than ten digits");
    EXPECT_EQ(f.Grid->Geometry().ColWidth(1), widths[1]);
    // A field's own display width counts.
    f.Data->Close();
    f.FecFin->SetDisplayWidth(4);
    f.Data->Open();
    EXPECT_EQ(f.Grid->Geometry().ColWidth(2), defaultWidth(font, 4));
}

TEST(GridLayoutTest, ColumnWithoutItsFieldShowsNothingAndIs64Wide) {
    GridForm f;
    f.Grid->Columns()[1]->SetFieldName("NO_SUCH_FIELD");
    EXPECT_EQ(f.Grid->Columns()[1]->Field(), nullptr);
    EXPECT_EQ(f.Grid->Geometry().ColWidth(2), 64);
    EXPECT_EQ(f.Grid->CellText(2, 1), "");
    EXPECT_EQ(f.Grid->Columns()[1]->Title().Caption(), "F.Hasta") << "the caption that was set";
    f.Grid->Columns()[1]->Title().RestoreDefaults();
    EXPECT_EQ(f.Grid->Columns()[1]->Title().Caption(), "NO_SUCH_FIELD");
    f.Grid->Columns()[1]->SetFieldName("AJCI_FECFIN");
    EXPECT_EQ(f.Grid->Columns()[1]->Field(), f.FecFin) << "bound again at the next layout";
    EXPECT_EQ(f.Grid->Columns()[1]->Title().Caption(), "F.Hasta") << "the field's display label";
}

TEST(GridLayoutTest, TheWindowsGridHoldsTheRowsThatFit) {
    GridForm f(AdjustmentRows(20));
    f.Show();
    const int border = 2;
    const bool horz = !f.Grid->HorzScrollBar()->isHidden();
    const bool vert = !f.Grid->VertScrollBar()->isHidden();
    EXPECT_TRUE(vert) << "20 records";
    EXPECT_TRUE(horz) << "the four columns are wider than the grid";
    const int bar = TDBGrid::SystemScrollBarWidth();
    const int clientHeight = GridForm::GridHeight - 2 * border - (horz ? bar : 0);
    EXPECT_EQ(f.Grid->ClientRect().Height(), clientHeight);
    EXPECT_EQ(f.Grid->ClientRect().Width(), GridForm::GridWidth - 2 * border - (vert ? bar : 0));
    const int expected = std::max(1, (clientHeight - f.Grid->TitleRowHeight() - 1) /
                                         (f.Grid->DefaultRowHeight() + 1));
    EXPECT_EQ(f.Grid->VisibleRowCount(), expected);
    EXPECT_EQ(f.Grid->DataLink().BufferCount(), expected);
    EXPECT_EQ(f.Grid->DataLink().RecordCount(), expected);
    EXPECT_EQ(f.Grid->RowCount(), 1 + expected);
    std::cout << "[ info ] 303 x 131 grid: row " << f.Grid->DefaultRowHeight() << ", title "
              << f.Grid->TitleRowHeight() << ", scroll bar " << bar << ", rows " << expected
              << "\n";
    if (f.Grid->DefaultRowHeight() == 17 && f.Grid->TitleRowHeight() == 17 && bar >= 15 &&
        bar <= 17) {
        EXPECT_EQ(expected, 5);
    }
}

TEST(GridLayoutTest, RowCountForEachDatasetState) {
    GridForm inactive(AdjustmentRows(3), false);
    EXPECT_EQ(inactive.Grid->RowCount(), 2) << "title and one empty row";
    GridForm empty(AdjustmentRows(0));
    EXPECT_EQ(empty.Grid->RowCount(), 2);
    EXPECT_TRUE(empty.Grid->VertScrollBar()->isHidden());
    GridForm three(AdjustmentRows(3));
    EXPECT_EQ(three.Grid->RowCount(), 4);
    EXPECT_EQ(three.Grid->DataLink().RecordCount(), 3);
    three.Data->Append();
    EXPECT_EQ(three.Grid->RowCount(), 5) << "the appended record";
    three.Data->Cancel();
    EXPECT_EQ(three.Grid->RowCount(), 4);
    GridForm one(AdjustmentRows(1));
    EXPECT_TRUE(one.Grid->VertScrollBar()->isHidden()) << "one record: the page covers all";
    EXPECT_FALSE(three.Grid->VertScrollBar()->isHidden());
    EXPECT_EQ(three.Grid->VertScrollBar()->minimum(), 1);
    EXPECT_EQ(three.Grid->VertScrollBar()->maximum(), 3);
    EXPECT_EQ(three.Grid->VertScrollBar()->pageStep(), three.Grid->VisibleRowCount());
    three.Data->Last();
    EXPECT_EQ(three.Grid->VertScrollBar()->value(), 3);
}

TEST(GridLayoutTest, ColumnDefaultsFollowTheGridAndTheFields) {
    GridForm f;
    TDBGridColumn* date = f.Grid->Columns()[0];
    TDBGridColumn* porc = f.Grid->Columns()[2];
    EXPECT_EQ(date->Alignment(), taLeftJustify);
    EXPECT_EQ(porc->Alignment(), taRightJustify);
    EXPECT_EQ(date->Color(), clWindow);
    EXPECT_EQ(date->Title().Color(), clBtnFace);
    EXPECT_EQ(date->Title().Alignment(), taLeftJustify);
    EXPECT_EQ(date->Title().Font(), f.Grid->TitleFont());
    EXPECT_EQ(date->Font(), f.Grid->Font());
    EXPECT_TRUE(date->Visible());
    EXPECT_FALSE(date->ReadOnly());

    f.Grid->SetColor(clSilver);
    f.Grid->SetFixedColor(clGray);
    const TFont title("Tahoma", -13, clNavy);
    f.Grid->SetTitleFont(title);
    EXPECT_EQ(date->Color(), clSilver);
    EXPECT_EQ(date->Title().Color(), clGray);
    EXPECT_EQ(date->Title().Font(), title);
    EXPECT_EQ(f.Grid->TitleRowHeight(), textHeight(title) + 4);

    date->SetColor(clYellow);
    f.Grid->SetColor(clWindow);
    EXPECT_EQ(date->Color(), clYellow) << "a colour set on the column stays";
    EXPECT_EQ(porc->Color(), clWindow);
}

TEST(GridLayoutTest, WindowFontChangesHeightsAndDefaultWidthsButNotAStoredWidth) {
    GridForm f;
    f.Grid->Columns()[3]->SetWidth(80);
    const TFont bigger("MS Sans Serif", -16, clWindowText);
    f.Form->SetFont(bigger);
    EXPECT_EQ(f.Grid->Font(), bigger);
    EXPECT_EQ(f.Grid->DefaultRowHeight(), textHeight(bigger) + 4);
    EXPECT_EQ(f.Grid->TitleRowHeight(), textHeight(bigger) + 4) << "the titles follow the window";
    EXPECT_EQ(f.Grid->Geometry().ColWidth(1), defaultWidth(bigger, 10));
    EXPECT_EQ(f.Grid->Geometry().ColWidth(3), defaultWidth(bigger, 16));
    EXPECT_EQ(f.Grid->Geometry().ColWidth(4), 80) << "the resized column keeps its width";
    EXPECT_GT(textHeight(bigger), textHeight(TFont()));
}

TEST(GridLayoutTest, ScalingTheWindowScalesFontsBoundsAndStoredWidths) {
    GridForm f;
    f.Grid->Columns()[0]->SetWidth(80);
    f.Form->ChangeScale(120, 96);
    EXPECT_EQ(f.Grid->Width(), MulDiv(8 + GridForm::GridWidth, 120, 96) - MulDiv(8, 120, 96));
    EXPECT_EQ(f.Grid->Font().Size(), 10) << "8 points at 120 pixels per inch";
    EXPECT_EQ(f.Grid->TitleFont(), f.Grid->Font()) << "the titles follow the window";
    EXPECT_EQ(f.Grid->Geometry().ColWidth(1), 100) << "a stored width";
    EXPECT_EQ(f.Grid->Geometry().ColWidth(2), defaultWidth(f.Grid->Font(), 10));
    EXPECT_EQ(f.Grid->DefaultRowHeight(), textHeight(f.Grid->Font()) + 4);

    // A grid with fonts of its own scales its title font itself.
    GridForm own;
    own.Grid->SetFont(TFont("MS Sans Serif", -11));
    own.Grid->ChangeScale(150, 100);
    EXPECT_EQ(own.Grid->TitleFont().Size(), 12);
    EXPECT_EQ(own.Grid->Font().Size(), 12);
}

TEST(GridLayoutTest, ResizingChangesTheRowsHeld) {
    GridForm f(AdjustmentRows(30));
    const int before = f.Grid->VisibleRowCount();
    f.Grid->SetBounds(8, 8, GridForm::GridWidth,
                      GridForm::GridHeight + 3 * (f.Grid->DefaultRowHeight() + 1));
    EXPECT_EQ(f.Grid->VisibleRowCount(), before + 3);
    EXPECT_EQ(f.Grid->DataLink().BufferCount(), f.Grid->VisibleRowCount());
    EXPECT_EQ(f.Grid->RowCount(), 1 + f.Grid->VisibleRowCount());
}

TEST(GridLayoutTest, ColumnsBindAtEveryLayoutAndDropFreedFields) {
    GridForm f(AdjustmentRows(2), false);
    EXPECT_EQ(f.Grid->Columns()[0]->Field(), f.FecIni) << "persistent fields of a closed dataset";
    f.Data->Open();
    EXPECT_EQ(f.Grid->Columns()[0]->Field(), f.FecIni);
    f.Data->Close();
    delete f.FecFin;
    f.FecFin = nullptr;
    EXPECT_EQ(f.Grid->Columns()[1]->Field(), nullptr) << "the field went away";
    f.Data->Open();
    EXPECT_EQ(f.Grid->Columns()[1]->Field(), nullptr);
    EXPECT_EQ(f.Grid->Geometry().ColWidth(2), 64);
    EXPECT_EQ(f.Grid->CellText(2, 1), "");
    EXPECT_EQ(f.Grid->CellText(1, 1), "01/01/2024");
}

TEST(GridLayoutTest, DefaultFieldsAreLetGoWhenTheDatasetCloses) {
    // A dataset without persistent fields makes its own at the open and
    // frees them at the close.
    GridForm f(AdjustmentRows(2), false);
    TClientDataSet* plain = new TClientDataSet(f.Form);
    plain->SetProviderName("PAjuste");
    f.Source->SetDataSet(plain);
    plain->Open();
    ASSERT_TRUE(plain->DefaultFields());
    EXPECT_EQ(f.Grid->Columns()[0]->Field(), plain->FindField("AJCI_FECINI"));
    EXPECT_EQ(f.Grid->Columns()[0]->Title().Caption(), "F.Desde");
    plain->Close();
    EXPECT_EQ(f.Grid->Columns()[0]->Field(), nullptr);
    f.Grid->Widget()->grab(); // paints without touching a freed field
    plain->Open();
    EXPECT_EQ(f.Grid->CellText(1, 1), "01/01/2024");
}

} // namespace
