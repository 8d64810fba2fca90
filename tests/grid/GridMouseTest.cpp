// The grid under the mouse, over the company database: presses on data
// cells move the current record and column, write the cell first and open
// the editor on the current cell or in a date cell's button strip; the
// pointer dragged with the button held follows cells and, outside the data
// area, scrolls on a timer the faster the further away; the wheel moves one
// record a notch.

#include "GridMouseTestHelpers.h"

#include "data/TClientDataSet.h"
#include "grid/TDBGridInplaceEdit.h"

#include <QLineEdit>
#include <QTimerEvent>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

using namespace gridtest;

struct Click {
    int Col;
    int Row;
    Qt::MouseButton Button = Qt::LeftButton;
    bool Double = false;
};

struct ClickCase {
    const char* Name;
    std::vector<Click> Clicks;
    GridState After;
    bool EditorOpen;
};

TEST(GridMouseTest, ClicksOnCells) {
    const GridState start{dsBrowse, 1, 0, "01/01/2024", iiArrow};
    const std::vector<ClickCase> cases = {
        {"a click on another row and column moves there only",
         {{4, 3}},
         {dsBrowse, 3, 3, "0,8", iiArrow},
         false},
        {"a click on the current cell opens the editor", {{1, 1}}, start, true},
        {"a second click on a cell opens the editor there",
         {{3, 2}, {3, 2}},
         {dsBrowse, 2, 2, "2", iiArrow},
         true},
        {"a click on another column of the current row",
         {{2, 1}},
         {dsBrowse, 1, 1, "31/03/2024", iiArrow},
         false},
        {"the indicator chooses the record only",
         {{0, 3}},
         {dsBrowse, 3, 0, "03/01/2024", iiArrow},
         false},
        {"a right click moves but never opens the editor",
         {{3, 2, Qt::RightButton}, {3, 2, Qt::RightButton}},
         {dsBrowse, 2, 2, "2", iiArrow},
         false},
        {"a right click on the current cell", {{1, 1, Qt::RightButton}}, start, false},
        {"the indicator's title does nothing", {{0, 0}}, start, false},
        {"a double click does what its first click did",
         {{3, 2, Qt::LeftButton, true}},
         {dsBrowse, 2, 2, "2", iiArrow},
         false},
    };
    for (const ClickCase& c : cases) {
        GridDatabaseForm f(AdjustmentTableRows(3));
        ShowWide(f);
        int doubleClicks = 0;
        f.Grid->OnDblClick = [&](TObject*) { ++doubleClicks; };
        GridMouse mouse(f.Grid);
        bool anyDouble = false;
        for (const Click& k : c.Clicks) {
            const TPoint at = InCell(f.Grid, k.Col, k.Row);
            if (k.Double)
                mouse.DoubleClick(at);
            else
                mouse.Click(at, k.Button);
            anyDouble = anyDouble || k.Double;
        }
        EXPECT_EQ(StateOf(f.Grid), c.After) << c.Name;
        EXPECT_EQ(f.Grid->EditorShowing(), c.EditorOpen) << c.Name;
        if (c.EditorOpen) {
            EXPECT_EQ(f.Grid->InplaceEditor()->SelText(), c.After.Text) << c.Name << ": all selected";
            EXPECT_TRUE(f.Grid->InplaceEditor()->Widget()->hasFocus()) << c.Name;
        } else {
            EXPECT_TRUE(f.Grid->Focused()) << c.Name;
        }
        EXPECT_EQ(f.Grid->GridState(), gsNormal) << c.Name;
        EXPECT_EQ(doubleClicks, anyDouble ? 1 : 0) << c.Name;
    }
}

TEST(GridMouseTest, APressTakesTheFocusFirst) {
    GridDatabaseForm f(AdjustmentTableRows(3));
    ShowWide(f);
    GridMouse mouse(f.Grid);
    // A control that keeps the focus keeps the press from the grid.
    f.Other->SetFocus();
    f.Other->OnExit = [&](TObject*) { f.Other->SetFocus(); };
    mouse.Click(InCell(f.Grid, 4, 3));
    EXPECT_TRUE(f.Other->Focused());
    EXPECT_EQ(f.Data->RecNo(), 1);
    EXPECT_EQ(f.Grid->SelectedIndex(), 0);
    EXPECT_EQ(f.Grid->GridState(), gsNormal);
    // Otherwise the grid takes it, and the cell that was current is
    // clicked again.
    f.Other->OnExit = nullptr;
    mouse.Click(InCell(f.Grid, 1, 1));
    EXPECT_TRUE(f.Grid->InplaceEditor() && f.Grid->InplaceEditor()->Widget()->hasFocus());
    EXPECT_TRUE(f.Grid->EditorShowing());
}

TEST(GridMouseTest, BelowTheRowsAndWhileTheDatasetIsClosedAPressMovesNothing) {
    GridDatabaseForm f(AdjustmentTableRows(3));
    ShowWide(f);
    int presses = 0;
    f.Grid->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { ++presses; };
    GridMouse mouse(f.Grid);
    const TRect area = f.Grid->DataArea();
    mouse.Click({InCell(f.Grid, 3, 1).X, area.Bottom + 10});
    EXPECT_EQ(StateOf(f.Grid), (GridState{dsBrowse, 1, 0, "01/01/2024", iiArrow}));
    f.Data->Close();
    mouse.Click(InCell(f.Grid, 3, 1));
    EXPECT_EQ(f.Grid->SelectedIndex(), 0);
    EXPECT_EQ(f.Grid->GridState(), gsNormal);
    EXPECT_EQ(presses, 2) << "the mouse-down event all the same";
}

TEST(GridMouseTest, APressWritesTheCellAndAnotherRowPostsTheRecord) {
    struct Case {
        const char* Name;
        TPoint (*Where)(TDBGrid*);
        GridState After;
        std::string Factor1; // the first record's factor in the dataset
    };
    const std::vector<Case> cases = {
        {"another row: written and posted",
         [](TDBGrid* g) { return InCell(g, 4, 2); },
         {dsBrowse, 2, 3, "0,8", iiArrow},
         "0,85"},
        {"another column of the row: written, still in edit",
         [](TDBGrid* g) { return InCell(g, 3, 1); },
         {dsEdit, 1, 2, "1", iiEdit},
         "0,85"},
        {"the indicator of another row: written and posted",
         [](TDBGrid* g) { return InCell(g, 0, 3); },
         {dsBrowse, 3, 3, "0,8", iiArrow},
         "0,85"},
        {"a title: written before the drag",
         [](TDBGrid* g) { return InCell(g, 2, 0); },
         {dsEdit, 1, 3, "0,85", iiEdit},
         "0,85"},
    };
    for (const Case& c : cases) {
        GridDatabaseForm f(AdjustmentTableRows(3));
        ShowWide(f);
        Press(K(Qt::Key_End));
        Press(Typed("0,85"));
        ASSERT_TRUE(f.Grid->CellModified());
        GridMouse(f.Grid).Click(c.Where(f.Grid));
        EXPECT_FALSE(f.Grid->CellModified()) << c.Name;
        EXPECT_EQ(StateOf(f.Grid), c.After) << c.Name;
        EXPECT_TRUE(f.Env.Dialogs.Boxes().empty()) << c.Name;
        const TBookmark here = f.Data->State() == dsBrowse ? f.Data->Bookmark() : TBookmark();
        if (here) f.Data->First();
        EXPECT_EQ(f.Fields.Factor->AsString(), c.Factor1) << c.Name;
        if (here) f.Data->GotoBookmark(here);
        // Posting is not applying: the database has the old value.
        EXPECT_EQ(f.Stored().front(), "1|2024-01-01|2024-03-31|1|0.8") << c.Name;
    }
}

TEST(GridMouseTest, TextTheFieldRefusesKeepsThePressFromMoving) {
    GridDatabaseForm f(AdjustmentTableRows(3));
    ShowWide(f);
    Press(Typed("abc"));
    GridMouse(f.Grid).Click(InCell(f.Grid, 3, 2));
    const auto boxes = f.Env.Dialogs.Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].Text, "'abc' is not a valid date.");
    EXPECT_EQ(StateOf(f.Grid), (GridState{dsEdit, 1, 0, "abc", iiEdit}));
    EXPECT_TRUE(f.Grid->EditorShowing());
    EXPECT_EQ(f.Grid->GridState(), gsNormal) << "no tracking after the refused press";
}

// Moving off an untouched new record takes its row away: the record that
// was pressed is the one that becomes current all the same.
TEST(GridMouseTest, APressOffAnUntouchedNewRecordGoesToTheRecordPressed) {
    struct Case {
        const char* Name;
        int Records;
        std::vector<Key> Keys; // to the new record
        int Row;               // pressed
    };
    const std::vector<Case> cases = {
        {"appended below the last of three", 3, 3 * K(Qt::Key_Down), 2},
        {"appended below a full window", 20, {Ctrl(Qt::Key_End), K(Qt::Key_Down)}, 1},
        {"inserted above the second record, a row below it",
         5,
         {K(Qt::Key_Down), K(Qt::Key_Insert)},
         4},
        {"inserted, a row above it", 5, {K(Qt::Key_Down), K(Qt::Key_Insert)}, 1},
    };
    for (const Case& c : cases) {
        GridDatabaseForm f(AdjustmentTableRows(c.Records));
        ShowWide(f);
        Press(c.Keys);
        ASSERT_EQ(f.Data->State(), dsInsert) << c.Name;
        const std::string pressed = f.Grid->CellText(1, c.Row);
        ASSERT_FALSE(pressed.empty()) << c.Name;
        GridMouse(f.Grid).Click(InCell(f.Grid, 1, c.Row));
        EXPECT_EQ(f.Data->State(), dsBrowse) << c.Name;
        EXPECT_EQ(f.Data->RecordCount(), c.Records) << c.Name << ": the new record is gone";
        EXPECT_EQ(f.Fields.FecIni->AsString(), pressed) << c.Name;
        EXPECT_EQ(f.Grid->CellText(1, f.Grid->Row()), pressed) << c.Name;
    }
}

// Stands in for the editor's drop-down button: a real child control of the
// editor in its rightmost strip, as wide as a system scroll bar, counting
// what reaches it.
class StripButton : public QToolButton {
public:
    explicit StripButton(QWidget* editor) : QToolButton(editor) {
        editor->installEventFilter(this);
        place();
        show();
    }
    int Presses = 0;
    int Moves = 0;
    int Releases = 0;

protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Resize) place();
        return false;
    }
    void mousePressEvent(QMouseEvent* e) override {
        ++Presses;
        QToolButton::mousePressEvent(e);
    }
    void mouseMoveEvent(QMouseEvent* e) override {
        ++Moves;
        QToolButton::mouseMoveEvent(e);
    }
    void mouseReleaseEvent(QMouseEvent* e) override {
        ++Releases;
        QToolButton::mouseReleaseEvent(e);
    }

private:
    void place() {
        const int w = TCustomGrid::SystemScrollBarWidth();
        const QWidget* editor = parentWidget();
        setGeometry(editor->width() - w, 0, w, editor->height());
    }
};

TEST(GridMouseTest, APressInADateCellsButtonStripOpensTheEditorAndGoesOnToTheButton) {
    struct Case {
        const char* Name;
        int Col;
        int Row;
        int FromRight; // pixels left of the cell's right edge
        Qt::MouseButton Button;
        bool Opens;
    };
    const int strip = TCustomGrid::SystemScrollBarWidth();
    const std::vector<Case> cases = {
        {"the strip of a date cell in another row", 2, 3, 1, Qt::LeftButton, true},
        {"the strip's left pixel", 1, 2, strip, Qt::LeftButton, true},
        {"just left of the strip", 1, 2, strip + 1, Qt::LeftButton, false},
        {"a right press in the strip", 1, 2, 1, Qt::RightButton, false},
        {"a number cell has no strip", 3, 2, 1, Qt::LeftButton, false},
    };
    for (const Case& c : cases) {
        GridDatabaseForm f(AdjustmentTableRows(3));
        ShowWide(f);
        // The editor is made on first use; the stand-in button goes into it.
        Press(K(Qt::Key_F2));
        Press(K(Qt::Key_Escape));
        ASSERT_FALSE(f.Grid->EditorShowing());
        auto* button = new StripButton(f.Grid->InplaceEditor()->Widget());
        int clicked = 0;
        QObject::connect(button, &QToolButton::clicked, [&] { ++clicked; });

        GridMouse mouse(f.Grid);
        const TRect cell = f.Grid->CellRect(c.Col, c.Row);
        const TPoint at{cell.Right - c.FromRight, cell.Top + cell.Height() / 2};
        mouse.Press(at, c.Button);
        EXPECT_EQ(f.Data->RecNo(), c.Row) << c.Name;
        EXPECT_EQ(f.Grid->Col(), c.Col) << c.Name;
        EXPECT_EQ(f.Grid->EditorShowing(), c.Opens) << c.Name;
        EXPECT_EQ(button->Presses, c.Opens ? 1 : 0) << c.Name;
        if (c.Opens) {
            EXPECT_EQ(f.Grid->InplaceEditor()->Text(), f.Grid->CellText(c.Col, c.Row)) << c.Name;
            EXPECT_TRUE(button->isDown()) << c.Name;
            EXPECT_EQ(f.Grid->GridState(), gsNormal) << c.Name << ": the button has the mouse";
            mouse.Move({at.X, at.Y + 1});
            EXPECT_EQ(button->Moves, 1) << c.Name;
            EXPECT_EQ(f.Data->RecNo(), c.Row) << c.Name << ": the grid does not track";
        }
        mouse.Release(at, c.Button);
        EXPECT_EQ(button->Releases, c.Opens ? 1 : 0) << c.Name;
        EXPECT_EQ(clicked, c.Opens ? 1 : 0) << c.Name;
        EXPECT_FALSE(button->isDown()) << c.Name;
        EXPECT_EQ(f.Grid->GridState(), gsNormal) << c.Name;
    }
}

// An editor counting its drop-downs, in a grid that makes it.
class CountingEdit : public TDBGridInplaceEdit {
public:
    using TDBGridInplaceEdit::TDBGridInplaceEdit;
    void DropDown() override {
        ++DropDowns;
        TDBGridInplaceEdit::DropDown();
    }
    int DropDowns = 0;
};

class CountingGrid : public TDBGrid {
public:
    explicit CountingGrid(TForm* form) : TDBGrid(form, form) {}
    CountingEdit* Editor() const { return static_cast<CountingEdit*>(InplaceEditor()); }

protected:
    TInplaceEdit* CreateEditor() override { return new CountingEdit(*this); }
};

TEST(GridMouseTest, APressInTheButtonStripDropsTheEditorDownWhereNoButtonTakesIt) {
    struct Case {
        const char* Name;
        int Col;
        int Row;
        int FromRight;
        Qt::MouseButton Button;
        int DropDowns;
    };
    const int strip = TCustomGrid::SystemScrollBarWidth();
    const std::vector<Case> cases = {
        {"the strip of a date cell in another row", 2, 3, 1, Qt::LeftButton, 1},
        {"the strip of the current cell", 1, 1, strip, Qt::LeftButton, 1},
        {"just left of the strip: the editor only", 1, 1, strip + 1, Qt::LeftButton, 0},
        {"a right press in the strip", 2, 2, 1, Qt::RightButton, 0},
        {"a number cell has no strip", 4, 2, 1, Qt::LeftButton, 0},
    };
    for (const Case& c : cases) {
        CountingGrid* grid = nullptr;
        GridDatabaseForm f(AdjustmentTableRows(3), [&](TForm* form) {
            grid = new CountingGrid(form);
            return grid;
        });
        ShowWide(f);
        const TRect cell = f.Grid->CellRect(c.Col, c.Row);
        GridMouse(f.Grid).Click({cell.Right - c.FromRight, cell.Top + cell.Height() / 2},
                                c.Button);
        EXPECT_EQ(f.Data->RecNo(), c.Row) << c.Name;
        EXPECT_EQ(f.Grid->Col(), c.Col) << c.Name;
        const int dropDowns = grid->Editor() ? grid->Editor()->DropDowns : 0;
        EXPECT_EQ(dropDowns, c.DropDowns) << c.Name;
        if (c.DropDowns > 0) EXPECT_TRUE(f.Grid->EditorShowing()) << c.Name;
        EXPECT_EQ(f.Grid->GridState(), gsNormal) << c.Name;
    }
}

TEST(GridMouseTest, ThePointerDraggedOverTheCellsMovesTheCurrentCell) {
    GridDatabaseForm f(AdjustmentTableRows(3));
    ShowWide(f);
    GridMouse mouse(f.Grid);
    mouse.Press(InCell(f.Grid, 1, 1));
    EXPECT_EQ(f.Grid->GridState(), gsTracking);
    mouse.Move(InCell(f.Grid, 4, 3));
    EXPECT_EQ(StateOf(f.Grid), (GridState{dsBrowse, 3, 3, "0,8", iiArrow}));
    mouse.Move(InCell(f.Grid, 2, 2));
    EXPECT_EQ(StateOf(f.Grid), (GridState{dsBrowse, 2, 1, "31/03/2024", iiArrow}));
    // Over the indicator the pointer is held in the first data column.
    mouse.Move(InCell(f.Grid, 0, 1));
    EXPECT_EQ(StateOf(f.Grid), (GridState{dsBrowse, 1, 0, "01/01/2024", iiArrow}));
    mouse.Release(InCell(f.Grid, 0, 1));
    EXPECT_EQ(f.Grid->GridState(), gsNormal);
    EXPECT_FALSE(f.Grid->EditorShowing()) << "the press was on the current cell, the release is not";
    // Without the button held the pointer moves nothing.
    mouse.Move(InCell(f.Grid, 4, 3));
    EXPECT_EQ(f.Data->RecNo(), 1);
}

void Tick(TDBGrid* grid) {
    QTimerEvent tick(grid->AutoScrollTimerId());
    QApplication::sendEvent(grid->Widget(), &tick);
}

TEST(GridMouseTest, BelowOrAboveTheGridTheRecordsScrollTheFasterTheFurtherAway) {
    struct Case {
        const char* Name;
        int Distance; // pixels below the data area, negative above
        int Interval; // milliseconds, -1 for no timer
        int PerTick;  // records a tick moves
    };
    const std::vector<Case> cases = {
        {"on the last row", 0, -1, 0},
        {"3 below", 3, 155, 0},
        {"6 below: a record every 110 ms", 6, 110, 1},
        {"12 below", 12, 20, 2},
        {"13 below", 13, 5, 2},
        {"30 below: 5 records at the shortest interval", 30, 0, 5},
        {"60 below: never more than 8", 60, 0, 8},
        {"6 above", -6, 110, -1},
        {"30 above", -30, 0, -5},
    };
    for (const Case& c : cases) {
        GridDatabaseForm f(AdjustmentTableRows(60));
        ShowWide(f);
        f.Data->MoveBy(29); // record 30, in the last row
        GridMouse mouse(f.Grid);
        const int rows = f.Grid->VisibleRowCount();
        const int firstRow = f.Grid->Geometry().FixedRows();
        const int startRow = c.Distance < 0 ? firstRow : firstRow + rows - 1;
        mouse.Press(InCell(f.Grid, 2, startRow));
        const TRect area = f.Grid->DataArea();
        const int y = c.Distance < 0 ? area.Top + c.Distance : area.Bottom - 1 + c.Distance;
        mouse.Move({InCell(f.Grid, 2, 1).X, y});
        EXPECT_EQ(f.Grid->AutoScrollInterval(), c.Interval) << c.Name;
        EXPECT_EQ(f.Grid->AutoScrollTimerId() != 0, c.Interval >= 0) << c.Name;
        const int before = f.Data->RecNo();
        if (c.Interval >= 0) {
            Tick(f.Grid);
            EXPECT_EQ(f.Data->RecNo() - before, c.PerTick) << c.Name;
            Tick(f.Grid);
            EXPECT_EQ(f.Data->RecNo() - before, 2 * c.PerTick) << c.Name;
            EXPECT_EQ(f.Grid->AutoScrollInterval(), c.Interval) << c.Name;
            EXPECT_EQ(f.Grid->Row(), c.Distance < 0 ? firstRow : firstRow + rows - 1)
                << c.Name << ": the current record stays at the edge";
        }
        mouse.Release({InCell(f.Grid, 2, 1).X, y});
        EXPECT_EQ(f.Grid->AutoScrollInterval(), -1) << c.Name;
        EXPECT_EQ(f.Grid->AutoScrollTimerId(), 0) << c.Name << ": the release stops the timer";
        EXPECT_TRUE(f.Env.Dialogs.Boxes().empty()) << c.Name;
    }
}

TEST(GridMouseTest, TheTimerSlowsDownAsThePointerComesBackAndStopsInside) {
    GridDatabaseForm f(AdjustmentTableRows(60));
    ShowWide(f);
    GridMouse mouse(f.Grid);
    mouse.Press(InCell(f.Grid, 3, 1));
    const TRect area = f.Grid->DataArea();
    const int x = InCell(f.Grid, 3, 1).X;
    mouse.Move({x, area.Bottom - 1 + 40});
    EXPECT_EQ(f.Grid->AutoScrollInterval(), 0);
    mouse.Move({x, area.Bottom - 1 + 8});
    EXPECT_EQ(f.Grid->AutoScrollInterval(), 80);
    const int before = f.Data->RecNo();
    Tick(f.Grid);
    EXPECT_EQ(f.Data->RecNo(), before + 1);
    mouse.Move({x, area.Bottom - 2});
    EXPECT_EQ(f.Grid->AutoScrollInterval(), -1) << "back inside: no timer";
    EXPECT_EQ(f.Grid->GridState(), gsTracking);
    // The real timer runs the ticks as well.
    mouse.Move({x, area.Bottom - 1 + 40});
    const int moving = f.Data->RecNo();
    EXPECT_TRUE(QTest::qWaitFor([&] { return f.Data->RecNo() > moving + 16; }, 5000));
    mouse.Release({x, area.Bottom - 1 + 40});
    const int stopped = f.Data->RecNo();
    QTest::qWait(50);
    EXPECT_EQ(f.Data->RecNo(), stopped);
}

TEST(GridMouseTest, LeftOrRightOfTheGridTheColumnsScroll) {
    GridDatabaseForm f(AdjustmentTableRows(3));
    f.Grid->SetWidth(200);
    f.Show();
    ASSERT_FALSE(f.Grid->Geometry().ColumnsFit());
    GridMouse mouse(f.Grid);
    // Right past the last column shown: that column becomes current.
    const int last = f.Grid->Geometry().LastVisibleCol();
    const int y = InCell(f.Grid, 1, 2).Y;
    const int right = f.Grid->ClientRect().Width() + 6;
    mouse.Press(InCell(f.Grid, 1, 2));
    mouse.Move({right, y});
    EXPECT_EQ(f.Grid->Col(), last);
    const int d = right - (f.Grid->DataArea().Right - 1);
    EXPECT_EQ(f.Grid->AutoScrollInterval(), std::max(0, 200 - 15 * d));
    const int left = f.Grid->Geometry().LeftCol();
    Tick(f.Grid);
    EXPECT_GE(f.Grid->Geometry().LeftCol(), left + 1);
    EXPECT_EQ(f.Grid->Col(), last + 1) << "one column on";
    EXPECT_EQ(f.Data->RecNo(), 2) << "inside the rows: no record moves";
    // Left past the indicator: the first column shown, then one more.
    mouse.Move({-4, y});
    const int first = f.Grid->Geometry().LeftCol();
    EXPECT_EQ(f.Grid->Col(), first);
    Tick(f.Grid);
    EXPECT_EQ(f.Grid->Geometry().LeftCol(), first - 1);
    EXPECT_EQ(f.Grid->Col(), first - 1);
    EXPECT_EQ(f.Data->RecNo(), 2);
    mouse.Release({-4, y});
    EXPECT_EQ(f.Grid->AutoScrollInterval(), -1);
}

TEST(GridMouseTest, EachWheelNotchMovesOneRecord) {
    GridDatabaseForm f(AdjustmentTableRows(20));
    ShowWide(f);
    GridMouse mouse(f.Grid);
    const TPoint over = InCell(f.Grid, 2, 2);
    mouse.Wheel(over, -3 * 120);
    EXPECT_EQ(f.Data->RecNo(), 4) << "three notches down";
    mouse.Wheel(over, 120);
    EXPECT_EQ(f.Data->RecNo(), 3) << "one up";
    mouse.Wheel(over, -60);
    EXPECT_EQ(f.Data->RecNo(), 3) << "half a notch waits for the rest";
    mouse.Wheel(over, -60);
    EXPECT_EQ(f.Data->RecNo(), 4);
    // Over a scroll bar the wheel is the grid's as well.
    QWidget* bar = f.Grid->VertScrollBar();
    ASSERT_TRUE(bar->isVisible());
    GridMouse::Wheel(bar, QPoint(bar->width() / 2, bar->height() / 2), -120);
    EXPECT_EQ(f.Data->RecNo(), 5);
    EXPECT_EQ(f.Grid->VertScrollBar()->value(), 5);
    // An open editor closes when the record moves on.
    Press(K(Qt::Key_F2));
    mouse.Wheel(over, -120);
    EXPECT_EQ(f.Data->RecNo(), 6);
    EXPECT_FALSE(f.Grid->EditorShowing());
}

// Stands in for an editor whose drop-down is open: it takes every wheel turn.
class TakesTheWheel : public QObject {
protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() != QEvent::Wheel) return false;
        ++Turns;
        return true;
    }

public:
    int Turns = 0;
};

TEST(GridMouseTest, TheWheelGoesToTheOpenEditorFirst) {
    GridDatabaseForm f(AdjustmentTableRows(20));
    ShowWide(f);
    Press(K(Qt::Key_F2));
    ASSERT_TRUE(f.Grid->EditorShowing());
    TakesTheWheel dropDown;
    f.Grid->InplaceEditor()->Widget()->installEventFilter(&dropDown);
    GridMouse mouse(f.Grid);
    mouse.Wheel(InCell(f.Grid, 3, 4), -120);
    EXPECT_EQ(dropDown.Turns, 1);
    EXPECT_EQ(f.Data->RecNo(), 1);
    EXPECT_TRUE(f.Grid->EditorShowing());
    f.Grid->InplaceEditor()->Widget()->removeEventFilter(&dropDown);
    mouse.Wheel(InCell(f.Grid, 3, 4), -120);
    EXPECT_EQ(f.Data->RecNo(), 2) << "an editor that does not want it leaves it to the grid";
}

} // namespace
