// The adjustment editor edited with the keyboard alone on a real company
// database: the window's key preview takes Esc, F2 and F5 first, Enter in
// the grid moves through its cells, and what was typed in the grid and left
// by any move, or still in the cell, is what F5 or F2 writes.

#include "CompanyWindowFixture.h"

#include "grid/TInplaceEdit.h"
#include "platform/DateUtils.h"

using companytest::kAdjustmentRows;
using companytest::Rows;
using companytest::TypeText;
using guitest::PressKey;

namespace {

// Rows of other periods, which no key in March may touch.
const std::vector<std::string> kOtherPeriods{"2016-02-01|2016-02-29|5|0.6",
                                             "2016-02-01|2016-02-29|19|0.7"};

} // namespace

class GridKeysTest : public CompanyWindowTest {
protected:
    // The window connected, the prefix typed, the dates set to March 2016
    // (set, not typed over today's) after leaving the prefix, which sets
    // them to today, and the focus in Desde as after a user's steps.
    Tfcontavtascontado* openMarch() {
        reader().Execute("insert into AJUSTE_CIERRE values (1, '2016-02-01', '2016-02-29', 5, 0.6)",
                         TParams());
        reader().Execute(
            "insert into AJUSTE_CIERRE values (2, '2016-02-01', '2016-02-29', 19, 0.7)", TParams());
        Tfcontavtascontado* w = showMarchOfFV();
        return w;
    }

    std::vector<std::string> march() {
        std::vector<std::string> rows;
        for (const std::string& r : Rows(reader(), kAdjustmentRows))
            if (r.rfind("2016-03", 0) == 0) rows.push_back(r);
        return rows;
    }
    std::vector<std::string> others() {
        std::vector<std::string> rows;
        for (const std::string& r : Rows(reader(), kAdjustmentRows))
            if (r.rfind("2016-03", 0) != 0) rows.push_back(r);
        return rows;
    }
};

TEST_F(GridKeysTest, TheGridIsLaidOutOnceWhenTheWindowIsMade) {
    Tfcontavtascontado* w = createWindow();
    EXPECT_EQ(w->DBGrid2->LayoutCount(), 1);
}

TEST_F(GridKeysTest, TwoFactorsAndAnEndDateTypedThenF5AreWhatTheDatabaseHolds) {
    Tfcontavtascontado* w = openMarch();
    PressKey(Qt::Key_F5);
    ASSERT_TRUE(w->CaptionPanel1->Visible());
    ASSERT_TRUE(w->DBGrid2->Focused());
    // The rows as built: rates 19, 5, 0; the last one current.
    ASSERT_EQ(w->CAjuste->RecNo(), 3);
    ASSERT_EQ(w->CAjusteAJCI_PORC->AsString(), "0");

    PressKey(Qt::Key_End);
    TypeText("0,9");
    PressKey(Qt::Key_Up); // rate 5
    TypeText("0,75");
    // Enter is the grid's: it moves to the next column, then on to the next
    // row's first column.
    PressKey(Qt::Key_Return);
    EXPECT_TRUE(w->CaptionPanel1->Visible());
    EXPECT_EQ(w->CAjuste->RecNo(), 3);
    EXPECT_EQ(w->DBGrid2->SelectedIndex(), 0);
    PressKey(Qt::Key_Up);
    PressKey(Qt::Key_Up); // rate 19
    PressKey(Qt::Key_Return);
    ASSERT_EQ(w->DBGrid2->SelectedIndex(), 1);
    ASSERT_EQ(w->DBGrid2->CellText(w->DBGrid2->Col(), w->DBGrid2->Row()), "31/03/2016");
    TypeText("15/03/2016");
    // Still in the cell when F5 comes.
    ASSERT_TRUE(w->DBGrid2->EditorShowing());
    PressKey(Qt::Key_F5);

    EXPECT_TRUE(env.Dialogs.Boxes().empty());
    EXPECT_FALSE(w->CaptionPanel1->Visible());
    EXPECT_EQ(march(), (std::vector<std::string>{"2016-03-01|2016-03-31|0|0.9",
                                                 "2016-03-01|2016-03-31|5|0.75",
                                                 "2016-03-01|2016-03-15|19|0.8"}));
    EXPECT_EQ(others(), kOtherPeriods);
}

TEST_F(GridKeysTest, AFactorStillInItsCellWhenF2ComesIsWrittenBeforeThePosting) {
    Tfcontavtascontado* w = openMarch();
    PressKey(Qt::Key_F5);
    PressKey(Qt::Key_End);
    PressKey(Qt::Key_Up);
    TypeText("0,5");
    ASSERT_TRUE(w->DBGrid2->EditorShowing());
    PressKey(Qt::Key_F2);

    EXPECT_TRUE(env.Dialogs.Boxes().empty());
    EXPECT_TRUE(app->Terminated()) << "the posting ran and closed the window";
    EXPECT_GT(voucherCount(), 0);
    EXPECT_EQ(march(), (std::vector<std::string>{"2016-03-01|2016-03-31|0|0.8",
                                                 "2016-03-01|2016-03-31|5|0.5",
                                                 "2016-03-01|2016-03-31|19|0.8"}));
    EXPECT_EQ(others(), kOtherPeriods);
}

TEST_F(GridKeysTest, AnEndDateThatIsNoDateKeepsTheEditorOpenAndWritesNothing) {
    Tfcontavtascontado* w = openMarch();
    PressKey(Qt::Key_F5);
    PressKey(Qt::Key_Right);
    TypeText("31/13/2016");
    PressKey(Qt::Key_F5);

    const std::vector<TDialogBox> boxes = env.Dialogs.Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].kind, TDialogBox::Exception);
    EXPECT_EQ(boxes[0].Title, ApplicationTitle());
    EXPECT_EQ(boxes[0].Text, "'31/13/2016' is not a valid date.");
    EXPECT_TRUE(w->CaptionPanel1->Visible());
    EXPECT_TRUE(w->DBGrid2->EditorShowing());
    EXPECT_EQ(w->DBGrid2->InplaceEditor()->Text(), "31/13/2016");
    EXPECT_EQ(march(), std::vector<std::string>{});

    // Mended, F5 writes.
    w->DBGrid2->InplaceEditor()->SelectAll();
    TypeText("30/03/2016");
    PressKey(Qt::Key_F5);
    EXPECT_EQ(env.Dialogs.Boxes().size(), 1u);
    EXPECT_EQ(march(), (std::vector<std::string>{"2016-03-01|2016-03-30|0|0.8",
                                                 "2016-03-01|2016-03-31|5|0.8",
                                                 "2016-03-01|2016-03-31|19|0.8"}));
}

TEST_F(GridKeysTest, EscWithATypedFactorClosesTheWindowAndWritesNothing) {
    Tfcontavtascontado* w = openMarch();
    PressKey(Qt::Key_F5);
    PressKey(Qt::Key_End);
    TypeText("0,1");
    ASSERT_TRUE(w->DBGrid2->EditorShowing());
    PressKey(Qt::Key_Escape);
    EXPECT_TRUE(app->Terminated());
    app.reset();
    fcontavtascontado = nullptr;
    EXPECT_EQ(march(), std::vector<std::string>{});
    EXPECT_EQ(others(), kOtherPeriods);
}
