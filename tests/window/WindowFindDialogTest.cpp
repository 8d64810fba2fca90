// The find dialog in the adjustment editor of the real window, over a real
// company database: F5 shows the rates, Ctrl+F twice in the grid opens the
// dialog, a rate typed and Enter moves the grid to its row, and Esc closes
// the dialog only, leaving the editor open on the row found.

#include "CompanyWindowFixture.h"

#include "grid/TDBGridCenter.h"
#include "grid/TDBGridFindDlg.h"
#include "platform/DateUtils.h"
#include "platform/widgets/TDBComboBox.h"

using companytest::TypeText;
using guitest::PressKey;
using guitest::WhileModal;

namespace {

// Ctrl with a letter types its control character, as a keyboard does.
void PressCtrl(int letterKey) {
    PressKey(letterKey, Qt::ControlModifier, QString(QChar(char16_t(letterKey - Qt::Key_A + 1))));
}

class FindDialogTest : public CompanyWindowTest {
protected:
    FindDialogTest() {
        // As the program does when it starts.
        RegisterDBGridFindDialog();
    }
    ~FindDialogTest() override { ExecuteDBGridFindDialogProc = nullptr; }

    // Connected, the prefix typed, March 2016 set, and F5: the rows 19, 5
    // and 0 shown, the last one current.
    Tfcontavtascontado* openEditor() {
        Tfcontavtascontado* w = showMarchOfFV();
        PressKey(Qt::Key_F5);
        EXPECT_TRUE(w->CaptionPanel1->Visible());
        EXPECT_TRUE(w->DBGrid2->Focused());
        EXPECT_EQ(w->CAjuste->RecNo(), 3);
        return w;
    }
};

} // namespace

TEST_F(FindDialogTest, CtrlFTwiceOpensTheDialogAndARateTypedWithEnterMovesToItsRow) {
    Tfcontavtascontado* w = openEditor();
    // To the rate column of the last row.
    PressKey(Qt::Key_End);
    PressKey(Qt::Key_Left);
    ASSERT_EQ(w->DBGrid2->SelectedField(), w->CAjusteAJCI_PORC);

    PressCtrl(Qt::Key_F);
    ASSERT_TRUE(w->DBGrid2->IncSearchRunning()) << "the first Ctrl+F searches";
    ASSERT_EQ(QApplication::activeModalWidget(), nullptr);

    const bool ran = WhileModal([] { PressCtrl(Qt::Key_F); },
                                [&](QWidget* modal) {
                                    TDBGridFindDlg* d = DBGridFindDlg();
                                    ASSERT_NE(d, nullptr);
                                    ASSERT_EQ(modal, d->Widget());
                                    EXPECT_EQ(d->Caption(), "Find text");
                                    EXPECT_TRUE(d->cbText->Focused());
                                    EXPECT_EQ(d->cbFindIn->Text(), "Porc");
                                    EXPECT_EQ(d->cbFindIn->Items().Lines(),
                                              (std::vector<std::string>{"F.Desde", "F.Hasta",
                                                                        "Porc", "Factor", "<All>"}));
                                    TypeText("19");
                                    PressKey(Qt::Key_Return);
                                    EXPECT_EQ(w->CAjuste->RecNo(), 1) << "the row of rate 19";
                                    EXPECT_TRUE(d->Visible());
                                    // Esc is the dialog's, not the window's.
                                    PressKey(Qt::Key_Escape);
                                    EXPECT_EQ(d->ModalResult(), mrCancel);
                                });
    EXPECT_TRUE(ran) << "the second Ctrl+F opened the dialog";
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_FALSE(DBGridFindDlg()->Visible());

    EXPECT_TRUE(QTest::qWaitForWindowActive(w->Widget()));
    EXPECT_TRUE(w->CaptionPanel1->Visible()) << "the editor stays open";
    EXPECT_TRUE(w->DBGrid2->Focused());
    EXPECT_EQ(w->CAjuste->RecNo(), 1);
    EXPECT_EQ(w->CAjusteAJCI_PORC->AsString(), "19");
    EXPECT_EQ(w->DBGrid2->SelectedField(), w->CAjusteAJCI_PORC);
    EXPECT_TRUE(env.Dialogs.Entries().empty()) << "no message, no beep";
}
