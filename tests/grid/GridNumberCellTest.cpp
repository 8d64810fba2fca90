// Number cells on the real grid over the company database: either decimal
// key gives the user's separator, other characters beep, pasting keeps only
// what the field takes, an emptied cell stores null, and numbers beyond the
// field's digits are the field's to store, round or refuse.

#include "GridKeyTestHelpers.h"

#include "data/TClientDataSet.h"
#include "grid/TDBGridInplaceEdit.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>

#include <gtest/gtest.h>

namespace {

using namespace gridtest;

TDBGridInplaceEdit* editorOf(TDBGrid* grid) {
    return static_cast<TDBGridInplaceEdit*>(grid->InplaceEditor());
}

TEST(GridNumberCellTest, EitherDecimalKeyTypesTheUsersSeparator) {
    struct Case {
        const char* Name;
        char Separator;
        int Column;
        std::string Typing;
        std::string Text;
        int Beeps;
    };
    const Case cases[] = {
        {"a full stop under a comma", ',', 3, "1.5", "1,5", 0},
        {"a comma under a comma", ',', 3, "1,5", "1,5", 0},
        {"a comma under a full stop", '.', 3, "0,85", "0.85", 0},
        {"a full stop under a full stop", '.', 2, "21.5", "21.5", 0},
        {"signs pass", ',', 2, "-2.25", "-2,25", 0},
        {"a letter beeps and changes nothing", ',', 3, "1a", "1", 1},
        {"a blank beeps", ',', 3, "1 5", "15", 1},
        {"a date cell takes the full stop as it is", ',', 0, "1.2.2024", "1.2.2024", 0},
        {"a date cell takes a letter", ',', 1, "x", "x", 0},
    };
    for (const Case& c : cases) {
        GridDatabaseForm f(AdjustmentTableRows(3));
        FormatSettings.DecimalSeparator = c.Separator;
        f.Show();
        f.Grid->SetSelectedIndex(c.Column);
        Press(Typed(c.Typing));
        ASSERT_TRUE(f.Grid->EditorShowing()) << c.Name;
        EXPECT_EQ(f.Grid->InplaceEditor()->Text(), c.Text) << c.Name;
        EXPECT_EQ(f.Env.Dialogs.BeepCount(), c.Beeps) << c.Name;
        EXPECT_TRUE(f.Env.Dialogs.Boxes().empty()) << c.Name;
    }
}

TEST(GridNumberCellTest, PastingKeepsWhatTheFieldTakesWithoutConvertingSeparators) {
    struct Case {
        const char* Name;
        int Column;
        std::string Clipboard;
        int SelectFrom, SelectLength; // in the cell's text, "0,8" or "31/03/2024"
        std::string Text;
        int Caret;
    };
    const Case cases[] = {
        {"1.5 under a comma gives 15", 3, "1.5", 0, 3, "15", 2},
        {"1,5 stays", 3, "1,5", 0, 3, "1,5", 3},
        {"letters, blanks and a line end go", 3, "12 345,6 EUR\n", 0, 3, "12345,6", 7},
        {"in place of the selection", 3, "25", 2, 1, "0,25", 4},
        {"at the caret", 3, "1", 3, 0, "0,81", 4},
        {"a date cell takes the text whole", 1, "1.5.2024 x", 0, 10, "1.5.2024 x", 10},
        {"a line end never reaches a date cell", 1, "5/6/2024\r\n", 0, 10, "5/6/2024", 8},
    };
    for (const Case& c : cases) {
        for (const Key& paste : {Ctrl(Qt::Key_V), Shift(Qt::Key_Insert)}) {
            GridDatabaseForm f(AdjustmentTableRows(3));
            f.Show();
            f.Grid->SetSelectedIndex(c.Column);
            Press(K(Qt::Key_F2));
            QLineEdit* edit = editorOf(f.Grid)->LineEdit();
            edit->setSelection(c.SelectFrom, c.SelectLength);
            QGuiApplication::clipboard()->setText(QString::fromStdString(c.Clipboard));
            Press(paste);
            EXPECT_EQ(f.Grid->InplaceEditor()->Text(), c.Text) << c.Name;
            EXPECT_EQ(edit->cursorPosition(), c.Caret) << c.Name;
            EXPECT_EQ(f.Data->State(), dsEdit) << c.Name;
            EXPECT_EQ(f.Env.Dialogs.BeepCount(), 0) << c.Name;
        }
    }
}

TEST(GridNumberCellTest, AnEmptiedCellStoresNull) {
    for (const int column : {0, 1, 2, 3}) {
        GridDatabaseForm f(AdjustmentTableRows(3));
        f.Show();
        f.Grid->SetSelectedIndex(column);
        Press(K(Qt::Key_Backspace));
        ASSERT_EQ(f.Grid->InplaceEditor()->Text(), "") << column;
        // Leaving the row writes the cell and posts.
        Press(K(Qt::Key_Down));
        EXPECT_EQ(f.Data->State(), dsBrowse) << column;
        EXPECT_TRUE(f.Env.Dialogs.Boxes().empty()) << column;
        f.Data->First();
        EXPECT_TRUE(f.Grid->Columns()[column]->Field()->IsNull()) << column;
        ASSERT_EQ(f.Data->ApplyUpdates(0), 0) << column;
        std::vector<std::string> stored = f.Stored();
        const char* const expected[] = {"1|null|2024-03-31|1|0.8",
                                        "1|2024-01-01|null|1|0.8",
                                        "1|2024-01-01|2024-03-31|null|0.8",
                                        "1|2024-01-01|2024-03-31|1|null"};
        EXPECT_EQ(stored[0], expected[column]) << column;
    }
}

// A factor typed with more digits than the field holds: the editor does not
// limit them; the field stores the number as typed or refuses it, and the
// cell stays in edit with the text typed.
TEST(GridNumberCellTest, DigitsBeyondTheFieldAreLeftToTheField) {
    struct Case {
        const char* Name;
        std::string Typing;
        std::string Message; // empty: taken
        std::string Stored;
    };
    const Case cases[] = {
        {"four decimals", "0,1234", "", "0.1234"},
        {"fifteen digits", "12345678901,1234", "", "12345678901.1234"},
        // Typed, a fifth decimal is refused rather than rounded into a
        // factor nobody entered.
        {"a fifth decimal is refused", "0,12345", "0,12345 is not a valid BCD value.", ""},
        {"a fifth decimal that is a zero", "0,85000", "", "0.85"},
        {"too many integer digits", "123456789012", "BCD overflow.", ""},
    };
    for (const Case& c : cases) {
        GridDatabaseForm f(AdjustmentTableRows(3));
        f.Show();
        f.Grid->SetSelectedIndex(3);
        Press(Typed(c.Typing));
        Press(K(Qt::Key_Down));
        const auto boxes = f.Env.Dialogs.Boxes();
        if (c.Message.empty()) {
            EXPECT_TRUE(boxes.empty()) << c.Name;
            EXPECT_EQ(f.Data->State(), dsBrowse) << c.Name;
            ASSERT_EQ(f.Data->ApplyUpdates(0), 0) << c.Name;
            EXPECT_EQ(f.Stored()[0], "1|2024-01-01|2024-03-31|1|" + c.Stored) << c.Name;
        } else {
            ASSERT_EQ(boxes.size(), 1u) << c.Name;
            EXPECT_EQ(boxes[0].Text, c.Message) << c.Name;
            EXPECT_EQ(StateOf(f.Grid), (GridState{dsEdit, 1, 3, c.Typing, iiEdit})) << c.Name;
            EXPECT_EQ(f.Fields.Factor->AsString(), "0,8") << c.Name;
        }
    }
}

} // namespace
