// The grid at the keyboard, moving: each row of a table is a user's key
// sequence from the first cell of a real client dataset over the company
// database, and the state afterwards (dataset state, current record and
// column, the current cell's text, the indicator's glyph).

#include "GridKeyTestHelpers.h"

#include "data/TClientDataSet.h"

#include <gtest/gtest.h>

namespace {

using namespace gridtest;

std::string jan(int day) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d/01/2024", day);
    return text;
}

struct MoveCase {
    const char* Name;
    int Records;
    std::vector<Key> Keys;
    GridState After;
};

void runMoves(const std::vector<MoveCase>& cases) {
    for (const MoveCase& c : cases) {
        GridDatabaseForm f(AdjustmentTableRows(c.Records));
        f.Show();
        Press(c.Keys);
        EXPECT_EQ(StateOf(f.Grid), c.After) << c.Name;
        EXPECT_TRUE(f.Env.Dialogs.Entries().empty()) << c.Name;
        EXPECT_TRUE(f.Grid->Focused() || f.Grid->EditorShowing()) << c.Name;
    }
}

TEST(GridKeyboardTest, RowDownAndRowUpAppendAndCancelAtTheEnd) {
    runMoves({
        {"Down", 3, {K(Qt::Key_Down)}, {dsBrowse, 2, 0, "02/01/2024", iiArrow}},
        {"Down on the last record appends", 3, 3 * K(Qt::Key_Down), {dsInsert, 0, 0, "", iiInsert}},
        {"Up from the appended record removes it",
         3,
         3 * K(Qt::Key_Down) + std::vector{K(Qt::Key_Up)},
         {dsBrowse, 3, 0, "03/01/2024", iiArrow}},
        {"Down on the appended record does nothing",
         3,
         5 * K(Qt::Key_Down),
         {dsInsert, 0, 0, "", iiInsert}},
        {"Up on the first record stays",
         3,
         {K(Qt::Key_Up)},
         {dsBrowse, 1, 0, "01/01/2024", iiArrow}},
        {"Shift does not change Down",
         3,
         {Shift(Qt::Key_Down)},
         {dsBrowse, 2, 0, "02/01/2024", iiArrow}},
        {"Down on an empty dataset appends", 0, {K(Qt::Key_Down)}, {dsInsert, 0, 0, "", iiInsert}},
        {"Insert: a new record here",
         3,
         {K(Qt::Key_Down), K(Qt::Key_Insert)},
         {dsInsert, 0, 0, "", iiInsert}},
        {"Down from an inserted record in the middle cancels it",
         3,
         {K(Qt::Key_Down), K(Qt::Key_Insert), K(Qt::Key_Down)},
         {dsBrowse, 2, 0, "02/01/2024", iiArrow}},
        {"Up from an inserted record in the middle moves up",
         3,
         {K(Qt::Key_Down), K(Qt::Key_Insert), K(Qt::Key_Up)},
         {dsBrowse, 1, 0, "01/01/2024", iiArrow}},
        {"Esc cancels the new record",
         3,
         3 * K(Qt::Key_Down) + std::vector{K(Qt::Key_Escape)},
         {dsBrowse, 3, 0, "03/01/2024", iiArrow}},
        {"Shift+Insert is no insert",
         3,
         {Shift(Qt::Key_Insert)},
         {dsBrowse, 1, 0, "01/01/2024", iiArrow}},
    });
}

TEST(GridKeyboardTest, TabAndEnterMoveThroughTheColumnsAndRows) {
    runMoves({
        {"Tab", 3, {K(Qt::Key_Tab)}, {dsBrowse, 1, 1, "31/03/2024", iiArrow}},
        {"Tab past the last column goes to the next record",
         3,
         4 * K(Qt::Key_Tab),
         {dsBrowse, 2, 0, "02/01/2024", iiArrow}},
        {"Tab past the last column of the last record appends",
         3,
         12 * K(Qt::Key_Tab),
         {dsInsert, 0, 0, "", iiInsert}},
        {"Shift+Tab at the first cell of the first record: the last column",
         3,
         {Shift(Qt::Key_Backtab)},
         {dsBrowse, 1, 3, "0,8", iiArrow}},
        {"Shift+Tab before the first column goes up a record",
         3,
         {K(Qt::Key_Down), Shift(Qt::Key_Backtab)},
         {dsBrowse, 1, 3, "0,8", iiArrow}},
        {"Enter moves as Tab", 3, 2 * K(Qt::Key_Return), {dsBrowse, 1, 2, "1", iiArrow}},
        {"Enter past the last column of the last record appends",
         3,
         12 * K(Qt::Key_Return),
         {dsInsert, 0, 0, "", iiInsert}},
        {"Shift+Enter moves as Shift+Tab",
         3,
         {K(Qt::Key_Down), Shift(Qt::Key_Return)},
         {dsBrowse, 1, 3, "0,8", iiArrow}},
        {"Ctrl+Tab does nothing", 3, {Ctrl(Qt::Key_Tab)}, {dsBrowse, 1, 0, "01/01/2024", iiArrow}},
    });
}

TEST(GridKeyboardTest, ColumnKeys) {
    runMoves({
        {"Right", 3, {K(Qt::Key_Right)}, {dsBrowse, 1, 1, "31/03/2024", iiArrow}},
        {"Right stops at the last column",
         3,
         6 * K(Qt::Key_Right),
         {dsBrowse, 1, 3, "0,8", iiArrow}},
        {"Left stops at the first column",
         3,
         {K(Qt::Key_Left)},
         {dsBrowse, 1, 0, "01/01/2024", iiArrow}},
        {"End: the last column", 3, {K(Qt::Key_End)}, {dsBrowse, 1, 3, "0,8", iiArrow}},
        {"Home: the first column",
         3,
         {K(Qt::Key_End), K(Qt::Key_Home)},
         {dsBrowse, 1, 0, "01/01/2024", iiArrow}},
        {"Ctrl+Right: the last column", 3, {Ctrl(Qt::Key_Right)}, {dsBrowse, 1, 3, "0,8", iiArrow}},
        {"Ctrl+Left: the first column",
         3,
         {K(Qt::Key_End), Ctrl(Qt::Key_Left)},
         {dsBrowse, 1, 0, "01/01/2024", iiArrow}},
    });
}

TEST(GridKeyboardTest, PagesAndEnds) {
    GridDatabaseForm probe(AdjustmentTableRows(1));
    const int page = probe.Grid->VisibleRowCount();
    ASSERT_GE(page, 3);
    runMoves({
        {"Page Down", 30, {K(Qt::Key_PageDown)}, {dsBrowse, 1 + page, 0, jan(1 + page), iiArrow}},
        {"Page Up",
         30,
         {K(Qt::Key_PageDown), K(Qt::Key_PageDown), K(Qt::Key_PageUp)},
         {dsBrowse, 1 + page, 0, jan(1 + page), iiArrow}},
        {"Ctrl+End", 30, {Ctrl(Qt::Key_End)}, {dsBrowse, 30, 0, "30/01/2024", iiArrow}},
        {"Ctrl+Home",
         30,
         {Ctrl(Qt::Key_End), Ctrl(Qt::Key_Home)},
         {dsBrowse, 1, 0, "01/01/2024", iiArrow}},
        {"Ctrl+Down: the bottom visible row",
         30,
         {Ctrl(Qt::Key_Down)},
         {dsBrowse, page, 0, jan(page), iiArrow}},
        {"Ctrl+Page Down likewise",
         30,
         {Ctrl(Qt::Key_PageDown)},
         {dsBrowse, page, 0, jan(page), iiArrow}},
        {"Ctrl+Up: the top visible row",
         30,
         {Ctrl(Qt::Key_End), Ctrl(Qt::Key_Up)},
         {dsBrowse, 31 - page, 0, jan(31 - page), iiArrow}},
        {"Ctrl+Page Up likewise",
         30,
         {Ctrl(Qt::Key_End), Ctrl(Qt::Key_PageUp)},
         {dsBrowse, 31 - page, 0, jan(31 - page), iiArrow}},
    });
}

// The texts in the page rows depend on how many rows fit: checked apart.
TEST(GridKeyboardTest, PageRowsShowTheirRecords) {
    GridDatabaseForm f(AdjustmentTableRows(30));
    f.Show();
    Press(K(Qt::Key_PageDown));
    const int page = f.Grid->VisibleRowCount();
    EXPECT_EQ(f.Grid->CellText(1, f.Grid->Row()), jan(1 + page));
    Press(Ctrl(Qt::Key_Up));
    EXPECT_EQ(f.Grid->Row(), 1);
}

TEST(GridKeyboardTest, ASingleColumnTakesHomeAndEndAsFirstAndLastRecord) {
    GridDatabaseForm f(AdjustmentTableRows(10));
    for (int i = 1; i < 4; ++i)
        f.Grid->Columns()[i]->SetVisible(false);
    f.Show();
    Press(K(Qt::Key_End));
    EXPECT_EQ(f.Data->RecNo(), 10);
    Press(K(Qt::Key_Home));
    EXPECT_EQ(f.Data->RecNo(), 1);
    Press(K(Qt::Key_Right));
    EXPECT_EQ(f.Grid->SelectedIndex(), 0) << "no visible column to the right";
}

TEST(GridKeyboardTest, ColumnMovesSkipInvisibleColumnsAndRaiseTheColumnEvents) {
    GridDatabaseForm f(AdjustmentTableRows(3));
    f.Grid->Columns()[1]->SetVisible(false);
    std::vector<std::string> events;
    f.Grid->OnColExit = [&](TObject*) {
        events.push_back("exit " + std::to_string(f.Grid->SelectedIndex()));
    };
    f.Grid->OnColEnter = [&](TObject*) {
        events.push_back("enter " + std::to_string(f.Grid->SelectedIndex()));
    };
    f.Show();
    Press(K(Qt::Key_Tab));
    EXPECT_EQ(f.Grid->SelectedIndex(), 2);
    Press(K(Qt::Key_Left));
    EXPECT_EQ(f.Grid->SelectedIndex(), 0);
    EXPECT_EQ(events, (std::vector<std::string>{"exit 0", "enter 2", "exit 2", "enter 0"}));
    // An exit handler that moves the column itself has the last word.
    f.Grid->OnColExit = [&](TObject*) { f.Grid->OnColExit = nullptr, f.Grid->SetSelectedIndex(3); };
    events.clear();
    Press(K(Qt::Key_Tab));
    EXPECT_EQ(f.Grid->SelectedIndex(), 3);
    EXPECT_EQ(events, std::vector<std::string>{"enter 3"});
}

TEST(GridKeyboardTest, AColumnScrolledOutOfViewComesIntoView) {
    GridDatabaseForm f(AdjustmentTableRows(3));
    f.Show();
    ASSERT_FALSE(f.Grid->HorzScrollBar()->isHidden());
    Press(K(Qt::Key_End));
    const TRect cell = f.Grid->CellRect(f.Grid->Col(), f.Grid->Row());
    EXPECT_GT(cell.Width(), 0);
    EXPECT_LE(cell.Right, f.Grid->ClientRect().Width());
    Press(K(Qt::Key_Home));
    EXPECT_EQ(f.Grid->Geometry().LeftCol(), 1);
}

TEST(GridKeyboardTest, KeysDoNothingWhileTheDatasetIsClosed) {
    GridDatabaseForm f(AdjustmentTableRows(3));
    f.Data->Close();
    f.Show();
    Press({K(Qt::Key_Down), K(Qt::Key_Tab), K(Qt::Key_Insert)});
    Press(Typed("5"));
    EXPECT_FALSE(f.Data->Active());
    EXPECT_FALSE(f.Grid->EditorShowing());
    EXPECT_EQ(f.Grid->SelectedIndex(), 0);
}

TEST(GridKeyboardTest, TheGridKeepsTabAndTheArrowsFromTheForm) {
    GridDatabaseForm f(AdjustmentTableRows(3));
    f.Show();
    Press({K(Qt::Key_Tab), K(Qt::Key_Down), K(Qt::Key_Right), Shift(Qt::Key_Backtab)});
    EXPECT_TRUE(f.Grid->Focused()) << "the focus never left the grid";
    // Without dgTabs Tab leaves it.
    TDBGridOptions options = f.Grid->Options();
    options.erase(dgTabs);
    f.Grid->SetOptions(options);
    Press(K(Qt::Key_Tab));
    EXPECT_TRUE(f.Other->Focused());
}

} // namespace
