// The grid's editing flow at the keyboard, on a real client dataset over the
// company database: opening the in-place editor by typing and by F2, what it
// is filled with, the record put into edit, writing the cell on a move and
// posting by moving, Esc twice, characters a number field refuses, text a
// field cannot convert, leaving the grid, Ctrl+Delete and Ctrl+'.

#include "GridKeyTestHelpers.h"

#include "data/TClientDataSet.h"

#include <QClipboard>
#include <QGuiApplication>

#include <gtest/gtest.h>

namespace {

using namespace gridtest;

struct EditCase {
    const char* Name;
    std::vector<Key> Keys;
    GridState After;
    bool EditorOpen;
    std::string FirstRecord; // the first record's values afterwards
};

const char* const kFirst = "1|01/01/2024|31/03/2024|1|0,8";

TEST(GridEditingTest, TypingF2AndEscInAFactorCell) {
    const std::vector<EditCase> cases = {
        {"a digit replaces the text", Typed("5"), {dsEdit, 1, 3, "5", iiEdit}, true, kFirst},
        {"typing goes on after it", Typed("0,85"), {dsEdit, 1, 3, "0,85", iiEdit}, true, kFirst},
        {"F2 keeps the text, the caret at its end",
         {K(Qt::Key_F2)},
         {dsBrowse, 1, 3, "0,8", iiArrow},
         true,
         kFirst},
        {"F2 then a digit adds to it",
         std::vector{K(Qt::Key_F2)} + Typed("5"),
         {dsEdit, 1, 3, "0,85", iiEdit},
         true,
         kFirst},
        {"Backspace opens the editor and takes the selection",
         {K(Qt::Key_Backspace)},
         {dsEdit, 1, 3, "", iiEdit},
         true,
         kFirst},
        {"a letter beeps and changes nothing",
         Typed("a"),
         {dsBrowse, 1, 3, "0,8", iiArrow},
         true,
         kFirst},
        {"the first Esc restores the cell",
         Typed("9") + std::vector{K(Qt::Key_Escape)},
         {dsEdit, 1, 3, "0,8", iiEdit},
         false,
         kFirst},
        {"the second Esc cancels the record",
         Typed("9") + std::vector{K(Qt::Key_Escape), K(Qt::Key_Escape)},
         {dsBrowse, 1, 3, "0,8", iiArrow},
         false,
         kFirst},
        {"Down writes the cell and posts the record",
         Typed("0,85") + std::vector{K(Qt::Key_Down)},
         {dsBrowse, 2, 3, "0,8", iiArrow},
         false,
         "1|01/01/2024|31/03/2024|1|0,85"},
        {"Shift+Tab writes the cell without posting",
         Typed("1,5") + std::vector{Shift(Qt::Key_Backtab)},
         {dsEdit, 1, 2, "1", iiEdit},
         false,
         "1|01/01/2024|31/03/2024|1|1,5"},
        {"Left and Right stay in the editor",
         Typed("12") + std::vector{K(Qt::Key_Left)} + Typed("3") + std::vector{K(Qt::Key_Right)},
         {dsEdit, 1, 3, "132", iiEdit},
         true,
         kFirst},
        {"Tab past the last column posts",
         Typed("2") + std::vector{K(Qt::Key_Tab)},
         {dsBrowse, 2, 0, "02/01/2024", iiArrow},
         false,
         "1|01/01/2024|31/03/2024|1|2"},
        {"Enter moves on as Tab",
         Typed("3") + std::vector{K(Qt::Key_Return)},
         {dsBrowse, 2, 0, "02/01/2024", iiArrow},
         false,
         "1|01/01/2024|31/03/2024|1|3"},
        {"Up from the editor",
         std::vector{K(Qt::Key_Down)} + Typed("4") + std::vector{K(Qt::Key_Up)},
         {dsBrowse, 1, 3, "0,8", iiArrow},
         false,
         kFirst},
        {"an emptied cell stores null",
         std::vector{K(Qt::Key_Backspace), K(Qt::Key_Down), K(Qt::Key_Up)},
         {dsBrowse, 1, 3, "", iiArrow},
         false,
         "1|01/01/2024|31/03/2024|1|null"},
        {"Home and End move the caret in the editor",
         std::vector{K(Qt::Key_F2), K(Qt::Key_Home)} + Typed("1") + std::vector{K(Qt::Key_End)} +
             Typed("5"),
         {dsEdit, 1, 3, "10,85", iiEdit},
         true,
         kFirst},
    };
    for (const EditCase& c : cases) {
        GridDatabaseForm f(AdjustmentTableRows(3));
        f.Show();
        Press(K(Qt::Key_End));
        Press(c.Keys);
        EXPECT_EQ(StateOf(f.Grid), c.After) << c.Name;
        EXPECT_EQ(f.Grid->EditorShowing(), c.EditorOpen) << c.Name;
        const TBookmark here = f.Data->Bookmark();
        if (f.Data->State() == dsBrowse) {
            f.Data->First();
            EXPECT_EQ(f.CurrentValues(), c.FirstRecord) << c.Name;
            f.Data->GotoBookmark(here);
        } else if (f.Data->RecNo() == 1) {
            EXPECT_EQ(f.CurrentValues(), c.FirstRecord) << c.Name;
        }
        const int beeps = f.Env.Dialogs.BeepCount();
        EXPECT_EQ(beeps, std::string(c.Name) == "a letter beeps and changes nothing" ? 1 : 0)
            << c.Name;
        EXPECT_TRUE(f.Env.Dialogs.Boxes().empty()) << c.Name;
        // Nothing reaches the database before the changes are applied.
        EXPECT_EQ(f.Stored().front(), "1|2024-01-01|2024-03-31|1|0.8") << c.Name;
    }
}

TEST(GridEditingTest, TheEditorIsFilledWithTheWholeTextSelectedAndKeptForTheGrid) {
    GridDatabaseForm f(AdjustmentTableRows(3));
    f.Show();
    Press(K(Qt::Key_F2));
    TInplaceEdit* editor = f.Grid->InplaceEditor();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->Text(), "01/01/2024");
    EXPECT_EQ(editor->SelLength(), 0) << "F2: nothing selected";
    EXPECT_EQ(editor->SelStart(), 10) << "F2: the caret at the end";
    EXPECT_EQ(editor->MaxLength(), 0) << "no length limit";
    EXPECT_TRUE(editor->Widget()->hasFocus());
    // Placed over the current cell, inside the grid.
    const QRect cell = f.CellOnWidget(f.Grid->Col(), f.Grid->Row());
    EXPECT_EQ(editor->Widget()->geometry(), cell);
    // Moving on closes it; typing opens it on the new cell, all selected.
    Press(K(Qt::Key_Down));
    EXPECT_FALSE(f.Grid->EditorShowing());
    EXPECT_TRUE(f.Grid->Focused());
    Press(K(Qt::Key_Right));
    Press(K(Qt::Key_Backspace));
    EXPECT_EQ(f.Grid->InplaceEditor(), editor) << "one editor, kept";
    EXPECT_EQ(editor->Widget()->geometry(), f.CellOnWidget(f.Grid->Col(), f.Grid->Row()));
    EXPECT_EQ(editor->Text(), "");
    EXPECT_EQ(f.Grid->EditText(), "") << "every change reaches the grid";
    EXPECT_TRUE(f.Grid->CellModified());
}

TEST(GridEditingTest, TheOpenEditorFollowsTheRowsWhenTheDataChangesAround) {
    GridDatabaseForm f(AdjustmentTableRows(20));
    f.Show();
    Press(3 * K(Qt::Key_Down) + std::vector{K(Qt::Key_End)});
    Press(Typed("7"));
    // A resize lays the rows out again with the editor over its cell.
    f.Grid->SetHeight(f.Grid->Height() + 40);
    EXPECT_TRUE(f.Grid->EditorShowing());
    EXPECT_EQ(f.Grid->InplaceEditor()->Widget()->geometry(),
              f.CellOnWidget(f.Grid->Col(), f.Grid->Row()));
    EXPECT_EQ(f.Grid->InplaceEditor()->Text(), "7");
    // A scroll of the rows hides it before the pixels move.
    Press(K(Qt::Key_PageDown));
    EXPECT_TRUE(f.Env.Dialogs.Boxes().empty());
    EXPECT_EQ(f.Data->RecNo(), 4 + f.Grid->VisibleRowCount());
    EXPECT_FALSE(f.Grid->EditorShowing());
    EXPECT_TRUE(f.Grid->InplaceEditor()->Widget()->isHidden());
}

struct ConversionCase {
    const char* Name;
    int Column;
    std::vector<Key> Keys; // after the text is in the cell
    std::string Text;
    const char* Message;
};

TEST(GridEditingTest, TextAFieldCannotTakeIsShownAndTheCellStaysInEdit) {
    const std::vector<ConversionCase> cases = {
        {"a date, leaving the row",
         0,
         {K(Qt::Key_Down)},
         "31/02/2024",
         "'31/02/2024' is not a valid date."},
        {"a date, leaving the column", 1, {K(Qt::Key_Tab)}, "abc", "'abc' is not a valid date."},
        {"a date, Enter", 0, {K(Qt::Key_Return)}, "1/13/2024", "'1/13/2024' is not a valid date."},
        {"a factor of two separators, leaving the row",
         3,
         {K(Qt::Key_Up)},
         "1,2,3",
         "1,2,3 is not a valid BCD value."},
    };
    for (const ConversionCase& c : cases) {
        GridDatabaseForm f(AdjustmentTableRows(3));
        f.Show();
        Press(K(Qt::Key_Down));
        f.Grid->SetSelectedIndex(c.Column);
        if (c.Column == 3) {
            // Pasted, as a number copied from elsewhere.
            QGuiApplication::clipboard()->setText(QString::fromStdString(c.Text));
            Press(K(Qt::Key_F2));
            f.Grid->InplaceEditor()->SelectAll();
            Press(Shift(Qt::Key_Insert));
        } else {
            Press(Typed(c.Text));
        }
        ASSERT_EQ(f.Grid->InplaceEditor()->Text(), c.Text) << c.Name;
        Press(c.Keys);
        const auto boxes = f.Env.Dialogs.Boxes();
        ASSERT_EQ(boxes.size(), 1u) << c.Name;
        EXPECT_EQ(boxes[0].kind, TDialogBox::Exception) << c.Name;
        EXPECT_EQ(boxes[0].Text, c.Message) << c.Name;
        EXPECT_EQ(boxes[0].Title, ApplicationTitle()) << c.Name;
        // The move did not happen and the cell is still in edit with the text.
        EXPECT_EQ(StateOf(f.Grid), (GridState{dsEdit, 2, c.Column, c.Text, iiEdit})) << c.Name;
        EXPECT_TRUE(f.Grid->EditorShowing()) << c.Name;
        EXPECT_TRUE(f.Grid->CellModified()) << c.Name;
        // Mended, the same key goes on.
        f.Grid->InplaceEditor()->SelectAll();
        Press(Typed(c.Column == 3 ? "1" : "15/01/2024"));
        Press(c.Keys);
        EXPECT_EQ(f.Env.Dialogs.Boxes().size(), 1u) << c.Name;
        EXPECT_FALSE(f.Grid->CellModified()) << c.Name;
    }
}

TEST(GridEditingTest, LeavingTheGridWritesTheCellOrCancelsAnUntouchedNewRecord) {
    {
        GridDatabaseForm f(AdjustmentTableRows(3));
        f.Show();
        Press(K(Qt::Key_End));
        Press(Typed("0,5"));
        f.Other->SetFocus();
        EXPECT_EQ(f.Data->State(), dsEdit) << "written, not posted";
        EXPECT_EQ(f.Fields.Factor->AsString(), "0,5");
        EXPECT_FALSE(f.Grid->EditorShowing());
        f.Grid->SetFocus();
        EXPECT_FALSE(f.Grid->EditorShowing()) << "the editor does not come back by itself";
    }
    {
        GridDatabaseForm f(AdjustmentTableRows(3));
        f.Show();
        Press(3 * K(Qt::Key_Down));
        ASSERT_EQ(f.Data->State(), dsInsert);
        f.Other->SetFocus();
        EXPECT_EQ(f.Data->State(), dsBrowse);
        EXPECT_EQ(f.Data->RecordCount(), 3);
    }
    {
        GridDatabaseForm f(AdjustmentTableRows(3));
        f.Show();
        Press(Typed("abc"));
        f.Other->SetFocus();
        ASSERT_EQ(f.Env.Dialogs.Boxes().size(), 1u);
        EXPECT_EQ(f.Env.Dialogs.Boxes()[0].Text, "'abc' is not a valid date.");
        EXPECT_TRUE(f.Grid->Focused() || f.Grid->InplaceEditor()->Widget()->hasFocus())
            << "the grid took the focus back";
        EXPECT_EQ(f.Grid->InplaceEditor()->Text(), "abc");
    }
}

TEST(GridEditingTest, CtrlDeleteAsksAndDeletesOnlyOnOk) {
    struct Case {
        const char* Name;
        int Records;
        int Answer;
        size_t Boxes;
        int RecordsAfter;
    };
    const std::vector<Case> cases = {
        {"an empty dataset: nothing", 0, mrOk, 0, 0},
        {"Cancel keeps the record", 3, mrCancel, 1, 3},
        {"OK deletes it", 3, mrOk, 1, 2},
    };
    for (const Case& c : cases) {
        GridDatabaseForm f(AdjustmentTableRows(c.Records));
        f.Show();
        if (c.Records > 0) Press(K(Qt::Key_Down));
        f.Env.Dialogs.QueueAnswer(c.Answer);
        Press(Ctrl(Qt::Key_Delete));
        const auto boxes = f.Env.Dialogs.Boxes();
        ASSERT_EQ(boxes.size(), c.Boxes) << c.Name;
        if (!boxes.empty()) {
            EXPECT_EQ(boxes[0].Title, "Confirm") << c.Name;
            EXPECT_EQ(boxes[0].Text, "Delete record?") << c.Name;
            EXPECT_EQ(boxes[0].Type, mtConfirmation) << c.Name;
            EXPECT_EQ(boxes[0].Buttons, unsigned(mbOK | mbCancel)) << c.Name;
        }
        EXPECT_EQ(f.Data->RecordCount(), c.RecordsAfter) << c.Name;
        EXPECT_TRUE(f.Grid->Focused()) << c.Name << ": the focus back in the grid";
        if (c.RecordsAfter == 2) {
            EXPECT_EQ(f.Fields.Id->AsInteger(), 3) << "the record after the deleted one";
        }
    }
    // From the open editor too.
    GridDatabaseForm f(AdjustmentTableRows(3));
    f.Show();
    Press(Typed("1"));
    Press(Ctrl(Qt::Key_Delete));
    EXPECT_EQ(f.Data->RecordCount(), 2);
}

TEST(GridEditingTest, CtrlQuoteCopiesTheValueFromTheRowAbove) {
    GridDatabaseForm f({"1, '2024-01-05', '2024-01-31', 19, 0.8", "2, '2024-02-05', null, 5, 0.85",
                        "3, '2024-03-05', '2024-03-31', 0, 1"});
    f.Show();
    const Key ctrlQuote{Qt::Key_Apostrophe, Qt::ControlModifier};
    // The top row has nothing above it.
    Press(ctrlQuote);
    EXPECT_EQ(StateOf(f.Grid), (GridState{dsBrowse, 1, 0, "05/01/2024", iiArrow}));
    EXPECT_FALSE(f.Grid->EditorShowing());
    // The factor 0.85 of record 2 onto record 3.
    Press({K(Qt::Key_Down), K(Qt::Key_Down), K(Qt::Key_End), ctrlQuote});
    EXPECT_EQ(StateOf(f.Grid), (GridState{dsEdit, 3, 3, "0,85", iiEdit}));
    EXPECT_TRUE(f.Grid->EditorShowing());
    EXPECT_EQ(f.Grid->InplaceEditor()->SelText(), "0,85") << "all of it selected";
    EXPECT_EQ(f.Fields.Factor->AsString(), "0,85") << "the value is written at once";
    // A null is copied as a value too: record 2's end date onto record 3.
    Press({Shift(Qt::Key_Backtab), Shift(Qt::Key_Backtab)});
    ASSERT_EQ(f.Grid->SelectedIndex(), 1);
    Press(ctrlQuote);
    EXPECT_TRUE(f.Fields.FecFin->IsNull());
    EXPECT_EQ(f.Grid->InplaceEditor()->Text(), "");
    Press(K(Qt::Key_Up));
    EXPECT_EQ(f.Data->RecNo(), 2);
    f.Data->Last();
    EXPECT_TRUE(f.Fields.FecFin->IsNull());
    EXPECT_EQ(f.Fields.Factor->AsString(), "0,85");
    EXPECT_EQ(f.Fields.FecIni->AsString(), "05/03/2024");
}

TEST(GridEditingTest, AReadOnlyGridOrColumnTakesNoTyping) {
    GridDatabaseForm f(AdjustmentTableRows(3));
    f.Show();
    f.Grid->Columns()[0]->SetReadOnly(true);
    Press(Typed("5"));
    EXPECT_EQ(f.Data->State(), dsBrowse);
    EXPECT_EQ(f.Grid->InplaceEditor()->Text(), "01/01/2024");
    f.Grid->SetReadOnly(true);
    Press({K(Qt::Key_Escape), K(Qt::Key_Right)});
    Press(Typed("5"));
    EXPECT_EQ(f.Data->State(), dsBrowse);
    Press({K(Qt::Key_Escape), K(Qt::Key_Insert), Ctrl(Qt::Key_Delete)});
    EXPECT_EQ(f.Data->State(), dsBrowse);
    EXPECT_EQ(f.Data->RecordCount(), 3);
    EXPECT_TRUE(f.Env.Dialogs.Boxes().empty());
}

} // namespace
