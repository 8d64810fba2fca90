// The incremental search at the keyboard, on a real client dataset over the
// company database: Ctrl+F, typed and pasted text, the letter case of the
// data, Ctrl+Enter and Ctrl+Shift+Enter, Backspace, every way it ends, the
// second Ctrl+F opening the find dialog through its hook, and what it looks
// like (the search arrow, the highlighted start of the cell's text).

#include "GridKeyTestHelpers.h"

#include "data/TClientDataSet.h"
#include "data/TSQLQuery.h"
#include "grid/GridSettings.h"
#include "grid/TDBGridCenter.h"

#include <QClipboard>
#include <QGuiApplication>

#include <gtest/gtest.h>

namespace {

using namespace gridtest;

std::string jan(int day) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d/01/2024", day);
    return text;
}

struct SearchCase {
    const char* Name;
    int StartRecord;
    int StartColumn;
    std::vector<Key> Keys;
    GridState After;
    bool Searching;
    std::string SearchText;
    bool EditorOpen = false;
};

TEST(GridIncSearchTest, KeySequences) {
    // Records 1 to 30: the period starts on day i of January 2024, the rate
    // is i. Dates beginning with "1": days 10 to 19.
    const Key ctrlF = Ctrl(Qt::Key_F);
    const Key next = Ctrl(Qt::Key_Return);
    const Key prior = CtrlShift(Qt::Key_Return);
    const std::vector<SearchCase> cases = {
        {"Ctrl+F starts a search",
         25,
         0,
         {ctrlF},
         {dsBrowse, 25, 0, jan(25), iiArrowSearch},
         true,
         ""},
        {"a 1 in a date column goes to the first date beginning with 1, from below",
         25,
         0,
         std::vector{ctrlF} + Typed("1"),
         {dsBrowse, 10, 0, jan(10), iiArrowSearch},
         true,
         "1"},
        {"a character no date continues is dropped",
         25,
         0,
         std::vector{ctrlF} + Typed("1x"),
         {dsBrowse, 10, 0, jan(10), iiArrowSearch},
         true,
         "1"},
        {"more characters narrow it",
         1,
         0,
         std::vector{ctrlF} + Typed("15/"),
         {dsBrowse, 15, 0, jan(15), iiArrowSearch},
         true,
         "15/"},
        {"Ctrl+Enter: the next match",
         25,
         0,
         std::vector{ctrlF} + Typed("1") + std::vector{next},
         {dsBrowse, 11, 0, jan(11), iiArrowSearch},
         true,
         "1"},
        {"Ctrl+Enter at the last match does nothing",
         25,
         0,
         std::vector{ctrlF} + Typed("1") + 12 * next,
         {dsBrowse, 19, 0, jan(19), iiArrowSearch},
         true,
         "1"},
        {"Ctrl+Shift+Enter: the previous match",
         25,
         0,
         std::vector{ctrlF} + Typed("1") + std::vector{next, next, prior},
         {dsBrowse, 11, 0, jan(11), iiArrowSearch},
         true,
         "1"},
        {"Backspace takes the last character back",
         1,
         0,
         std::vector{ctrlF} + Typed("12") + std::vector{K(Qt::Key_Backspace)},
         {dsBrowse, 12, 0, jan(12), iiArrowSearch},
         true,
         "1"},
        {"a number column compares the plain value",
         1,
         2,
         std::vector{ctrlF} + Typed("2"),
         {dsBrowse, 2, 2, "2", iiArrowSearch},
         true,
         "2"},
        {"Enter ends it and moves to the next column",
         25,
         0,
         std::vector{ctrlF} + Typed("1") + std::vector{K(Qt::Key_Return)},
         {dsBrowse, 10, 1, "31/03/2024", iiArrow},
         false,
         ""},
        {"Esc ends it",
         25,
         0,
         std::vector{ctrlF} + Typed("1") + std::vector{K(Qt::Key_Escape)},
         {dsBrowse, 10, 0, jan(10), iiArrow},
         false,
         ""},
        {"F2 ends it and opens the editor",
         25,
         0,
         std::vector{ctrlF} + Typed("1") + std::vector{K(Qt::Key_F2)},
         {dsBrowse, 10, 0, jan(10), iiArrow},
         false,
         "",
         true},
        {"a column change ends it",
         25,
         0,
         std::vector{ctrlF} + Typed("1") + std::vector{K(Qt::Key_Right)},
         {dsBrowse, 10, 1, "31/03/2024", iiArrow},
         false,
         ""},
        {"Left on the first column ends it too",
         25,
         0,
         std::vector{ctrlF} + Typed("1") + std::vector{K(Qt::Key_Left)},
         {dsBrowse, 10, 0, jan(10), iiArrow},
         false,
         ""},
        {"a record move ends it",
         25,
         0,
         std::vector{ctrlF} + Typed("1") + std::vector{K(Qt::Key_Down)},
         {dsBrowse, 11, 0, jan(11), iiArrow},
         false,
         ""},
        {"Ctrl+F again ends it",
         25,
         0,
         std::vector{ctrlF} + Typed("1") + std::vector{ctrlF},
         {dsBrowse, 10, 0, jan(10), iiArrow},
         false,
         ""},
        {"nothing found: the record stays",
         25,
         0,
         std::vector{ctrlF} + Typed("9"),
         {dsBrowse, 25, 0, jan(25), iiArrowSearch},
         true,
         ""},
        {"Ctrl+F closes the open editor",
         25,
         3,
         std::vector{K(Qt::Key_F2), ctrlF},
         {dsBrowse, 25, 3, "0,8", iiArrowSearch},
         true,
         ""},
        {"a digit typed while it runs goes to the search, not to a cell",
         25,
         3,
         std::vector{ctrlF} + Typed("0"),
         {dsBrowse, 1, 3, "0,8", iiArrowSearch},
         true,
         "0"},
    };
    GridDatabaseForm f(AdjustmentTableRows(30));
    f.Show();
    for (const SearchCase& c : cases) {
        f.Grid->StopIncSearch();
        f.Data->Cancel();
        f.Data->SetRecNo(c.StartRecord);
        f.Grid->SetSelectedIndex(c.StartColumn);
        Press(c.Keys);
        EXPECT_EQ(StateOf(f.Grid), c.After) << c.Name;
        EXPECT_EQ(f.Grid->IncSearchRunning(), c.Searching) << c.Name;
        EXPECT_EQ(f.Grid->IncSearchText(), c.SearchText) << c.Name;
        EXPECT_EQ(f.Grid->EditorShowing(), c.EditorOpen) << c.Name;
        EXPECT_EQ(f.Grid->IncSearchTimeOut(), -1) << c.Name << ": Ctrl+F sets no time-out";
    }
    EXPECT_TRUE(f.Env.Dialogs.Entries().empty()) << "no message and no beep";
}

TEST(GridIncSearchTest, TheSearchTextTakesTheLetterCaseOfTheData) {
    // Text cells: the names of the chart of accounts.
    GridDatabaseForm f(AdjustmentTableRows(3));
    auto* query = new TSQLQuery(f.Form);
    query->SetSQLConnection(f.Connection);
    query->SQL().SetText("select CUEN_NOMBRE from CUENTA order by CUEN_CODIGO");
    auto* provider = new TDataSetProvider(f.Form);
    provider->SetName("PCuentas");
    provider->SetDataSet(query);
    auto* names = new TClientDataSet(f.Form);
    names->SetProviderName("PCuentas");
    auto* source = new TDataSource(f.Form);
    source->SetDataSet(names);
    f.Grid->Columns().Clear();
    f.Grid->Columns().Add()->SetFieldName("CUEN_NOMBRE");
    f.Grid->SetDataSource(source);
    names->Open();
    f.Show();
    Press(Ctrl(Qt::Key_F));
    Press(Typed("ventas G"));
    EXPECT_EQ(f.Grid->IncSearchText(), "Ventas g");
    EXPECT_EQ(names->RecNo(), 6);
    // Pasted text adds to it, with Ctrl+V or Shift+Insert.
    QGuiApplication::clipboard()->setText("RAVADAS AL 1");
    Press(Ctrl(Qt::Key_V));
    EXPECT_EQ(f.Grid->IncSearchText(), "Ventas gravadas al 1");
    EXPECT_EQ(names->RecNo(), 7);
    QGuiApplication::clipboard()->setText("9");
    Press(Shift(Qt::Key_Insert));
    EXPECT_EQ(f.Grid->IncSearchText(), "Ventas gravadas al 19");
    EXPECT_EQ(names->RecNo(), 7);
}

TEST(GridIncSearchTest, AChangeFromOutsideEndsItButTheSearchesOwnMovesDoNot) {
    GridDatabaseForm f(AdjustmentTableRows(30));
    f.Show();
    Press(Ctrl(Qt::Key_F));
    Press(Typed("2"));
    ASSERT_TRUE(f.Grid->IncSearchRunning());
    EXPECT_EQ(f.Data->RecNo(), 20);
    f.Data->Next();
    EXPECT_FALSE(f.Grid->IncSearchRunning());
    Press(Ctrl(Qt::Key_F));
    f.Data->Edit();
    EXPECT_FALSE(f.Grid->IncSearchRunning());
    f.Data->Cancel();
    Press(Ctrl(Qt::Key_F));
    f.Data->Close();
    EXPECT_FALSE(f.Grid->IncSearchRunning());
}

TEST(GridIncSearchTest, CtrlFTwiceOpensTheFindDialogThroughItsHook) {
    GridDatabaseForm f(AdjustmentTableRows(5));
    f.Show();
    std::vector<std::string> opened;
    ExecuteDBGridFindDialogProc = [&](TCustomDBGrid& grid, const std::string& text,
                                      const std::vector<TDBGridColumn*>& columns, bool modal) {
        EXPECT_EQ(&grid, f.Grid);
        EXPECT_TRUE(columns.empty());
        EXPECT_TRUE(modal);
        EXPECT_FALSE(f.Grid->IncSearchRunning()) << "the search has ended first";
        opened.push_back(text);
    };
    Press(Ctrl(Qt::Key_F));
    EXPECT_TRUE(opened.empty()) << "the first Ctrl+F searches";
    Press(Typed("0"));
    Press(Ctrl(Qt::Key_F));
    EXPECT_EQ(opened, std::vector<std::string>{""});
    EXPECT_FALSE(f.Grid->IncSearchRunning());
    // Without the incremental search, Ctrl+F opens the dialog at once; from
    // the editor with the text selected there.
    TDBGridOptionsEx ex = f.Grid->OptionsEx();
    ex.erase(dghIncSearch);
    f.Grid->SetOptionsEx(ex);
    Press(K(Qt::Key_F2));
    Press(K(Qt::Key_Home));
    Press({Key{Qt::Key_Right, Qt::ShiftModifier}, Key{Qt::Key_Right, Qt::ShiftModifier}});
    Press(Ctrl(Qt::Key_F));
    EXPECT_EQ(opened, (std::vector<std::string>{"", "01"}));
    // Without either option Ctrl+F does nothing.
    ex.erase(dghDialogFind);
    f.Grid->SetOptionsEx(ex);
    Press(Ctrl(Qt::Key_F));
    EXPECT_EQ(opened.size(), 2u);
    ExecuteDBGridFindDialogProc = nullptr;
}

TEST(GridIncSearchTest, ASearchStartedByTypingEndsAfterItsTimeOut) {
    GridDatabaseForm f(AdjustmentTableRows(30));
    TDBGridOptionsEx ex = f.Grid->OptionsEx();
    ex.insert(dghPreferIncSearch);
    f.Grid->SetOptionsEx(ex);
    f.Show();
    Press(Typed("2"));
    EXPECT_TRUE(f.Grid->IncSearchRunning());
    EXPECT_EQ(f.Grid->IncSearchTimeOut(), DBGridSettings().IncSearchTimeOut);
    EXPECT_EQ(f.Data->RecNo(), 20);
    EXPECT_FALSE(f.Grid->EditorShowing());
    // The grid's own timer ends it; wait for it, not for a fixed time.
    EXPECT_TRUE(QTest::qWaitFor([&] { return !f.Grid->IncSearchRunning(); }, 10000));
}

TEST(GridIncSearchTest, TheFoundStartOfTheTextIsHighlightedWithTheCellsAlignment) {
    GridDatabaseForm f(AdjustmentTableRows(30));
    f.Show();
    const QRgb yellow = Rgb(clYellow);
    auto yellowBounds = [&](const QRect& cell) {
        const QImage shot = f.Shot();
        QRect box;
        for (int y = cell.top(); y <= cell.bottom(); ++y)
            for (int x = cell.left(); x <= cell.right(); ++x)
                if ((shot.pixel(x, y) | 0xFF000000u) == (yellow | 0xFF000000u))
                    box |= QRect(x, y, 1, 1);
        return box;
    };
    Press(Ctrl(Qt::Key_F));
    EXPECT_TRUE(yellowBounds(f.CellOnWidget(1, f.Grid->Row())).isEmpty()) << "nothing found yet";
    Press(Typed("1"));
    QRect cell = f.CellOnWidget(1, f.Grid->Row());
    QRect yellowBox = yellowBounds(cell);
    ASSERT_FALSE(yellowBox.isEmpty());
    const QFontMetrics metrics(ToQFont(f.Grid->Font()));
    // Left-aligned: from 2 pixels inside the cell, as wide as "1".
    EXPECT_EQ(yellowBox.left(), cell.left() + 2);
    EXPECT_EQ(yellowBox.width(), metrics.horizontalAdvance("1"));
    EXPECT_EQ(yellowBox.top(), cell.top() + 2);
    EXPECT_GT(CountDark(Part(f.Shot(), yellowBox), QRect(QPoint(0, 0), yellowBox.size())), 0)
        << "black text on it";
    // The indicator shows the arrow in the search colour.
    const QRect indicator = f.CellOnWidget(0, f.Grid->Row());
    EXPECT_FALSE(yellowBounds(indicator).isEmpty());

    // Right-aligned: where the text begins.
    Press(K(Qt::Key_Escape));
    f.Grid->SetSelectedIndex(2);
    Press(Ctrl(Qt::Key_F));
    Press(Typed("2"));
    ASSERT_EQ(f.Data->RecNo(), 2);
    Press(Typed("3"));
    ASSERT_EQ(f.Data->RecNo(), 23);
    cell = f.CellOnWidget(3, f.Grid->Row());
    yellowBox = yellowBounds(cell);
    ASSERT_FALSE(yellowBox.isEmpty());
    const int textLeft = cell.right() + 1 - 3 - metrics.horizontalAdvance("23");
    EXPECT_EQ(yellowBox.left(), textLeft);
    EXPECT_EQ(yellowBox.width(), metrics.horizontalAdvance("23"));
    GridForm::Save(f.Shot(), "incremental-search");

    // Without the focus the cell shows no search.
    f.Other->SetFocus();
    EXPECT_TRUE(yellowBounds(cell).isEmpty());
}

} // namespace
