// The controls of a dialog, driven by keys and the mouse: a pick-only list
// chosen by typing, a free-text box that keeps what is typed, a check box,
// buttons clicked by the mouse, Space, Enter, Esc and their access keys, and
// a label's access key.

#include "DialogForm.h"
#include "GuiTestHelpers.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QSizeGrip>

using guitest::PressKey;

namespace {

class DialogControls : public ::testing::Test {
protected:
    void SetUp() override {
        form = std::make_unique<TDialogForm>();
        form->Show();
        guitest::ShowActive(form->Widget());
    }
    void TearDown() override { form.reset(); }

    static QLineEdit* editOf(TDBComboBox* box) {
        return static_cast<QComboBox*>(box->Widget())->lineEdit();
    }
    static void type(const std::string& text) {
        for (char c : text) {
            const QChar ch = QChar::fromLatin1(c);
            const int key = ch.isLetter() ? ch.toUpper().unicode() : ch.unicode();
            PressKey(key, ch.isUpper() ? Qt::ShiftModifier : Qt::NoModifier, QString(ch));
        }
    }
    void focus(TWinControl* c) {
        c->SetFocus();
        ASSERT_TRUE(c->Focused());
    }

    guitest::DialogAndSettings env;
    std::unique_ptr<TDialogForm> form;
};

struct PickCase {
    const char* Name;
    std::string Keys; // "\b" for Backspace
    std::string Text;
    std::string Selected; // the rest of the item, shown selected
};

TEST_F(DialogControls, TypingInAPickOnlyListSelectsTheFirstItemBeginningWithIt) {
    const std::vector<PickCase> cases = {
        {"one letter", "W", "Whole field", "hole field"},
        {"without case", "w", "Whole field", "hole field"},
        {"the first of two", "F", "From any part of field", "rom any part of field"},
        {"typing on to the second", "From b", "From beging of field", "eging of field"},
        {"the whole item", "whole field", "Whole field", ""},
        {"a character no item continues starts anew", "WF", "From any part of field",
         "rom any part of field"},
        {"one that begins no item is dropped", "Wx", "Whole field", "hole field"},
        {"Backspace takes the last character back", "From b\b", "From any part of field",
         "any part of field"},
        {"Backspace to nothing keeps the item", "W\b", "Whole field", "Whole field"},
    };
    focus(form->Pick);
    for (const PickCase& c : cases) {
        form->Pick->SetText("From beging of field");
        editOf(form->Pick)->selectAll();
        for (char k : c.Keys)
            k == '\b' ? PressKey(Qt::Key_Backspace) : type(std::string(1, k));
        EXPECT_EQ(form->Pick->Text(), c.Text) << c.Name;
        EXPECT_EQ(editOf(form->Pick)->selectedText().toStdString(), c.Selected) << c.Name;
        EXPECT_EQ(form->Pick->ItemIndex(), form->Pick->Items().IndexOf(c.Text)) << c.Name;
    }
    // Keys that would edit a text change nothing.
    form->Pick->SetText("Whole field");
    PressKey(Qt::Key_Delete);
    PressKey(Qt::Key_V, Qt::ControlModifier, QString(QChar(22)));
    EXPECT_EQ(form->Pick->Text(), "Whole field");
    EXPECT_TRUE(env.Dialogs.Entries().empty()) << "nothing beeps";
}

TEST_F(DialogControls, APickOnlyListShowsOnlyItems) {
    form->Pick->SetText("whole FIELD");
    EXPECT_EQ(form->Pick->Text(), "Whole field") << "an item, found without case";
    form->Pick->SetText("nothing of the list");
    EXPECT_EQ(form->Pick->Text(), "");
    EXPECT_EQ(form->Pick->ItemIndex(), -1);
    form->Pick->SetItemIndex(2);
    EXPECT_EQ(form->Pick->Text(), "From beging of field");
    // New items keep the text while it is one of them.
    TStringList items;
    items.Add("Up");
    items.Add("From beging of field");
    form->Pick->SetItems(items);
    form->Pick->SetKeyItems(items);
    EXPECT_EQ(form->Pick->Text(), "From beging of field");
    EXPECT_EQ(form->Pick->ItemIndex(), 1);
    items.Delete(1);
    form->Pick->SetItems(items);
    form->Pick->SetKeyItems(items);
    EXPECT_EQ(form->Pick->Text(), "");
}

TEST_F(DialogControls, AFreeTextBoxKeepsWhatIsTypedAndItsItemsCompleteNothing) {
    TStringList items;
    items.Add("abcdef");
    form->Free->SetItems(items);
    EXPECT_FALSE(form->Free->PickOnly());
    focus(form->Free);
    type("ab");
    EXPECT_EQ(form->Free->Text(), "ab");
    EXPECT_EQ(form->Free->ItemIndex(), -1);
    // New items keep the text.
    items.Add("xyz");
    form->Free->SetItems(items);
    EXPECT_EQ(form->Free->Text(), "ab");
    form->Free->SetItemIndex(1);
    EXPECT_EQ(form->Free->Text(), "xyz");
    EXPECT_EQ(form->Free->ItemIndex(), 1);
    type("!");
    EXPECT_EQ(form->Free->Text(), "xyz!");
    EXPECT_EQ(form->Free->ItemIndex(), -1) << "a typed text is no item";
}

TEST_F(DialogControls, OnChangeRunsWhenTheTextChangesByTheUserOrTheProgram) {
    std::vector<std::string> free, pick;
    form->Free->OnChange = [&](TObject*) { free.push_back(form->Free->Text()); };
    form->Pick->OnChange = [&](TObject*) { pick.push_back(form->Pick->Text()); };
    focus(form->Free);
    type("ab");
    form->Free->SetText("ab");
    form->Free->SetText("x");
    EXPECT_EQ(free, (std::vector<std::string>{"a", "ab", "x"}));
    focus(form->Pick);
    type("F");
    type("r");
    form->Pick->SetItemIndex(1);
    EXPECT_EQ(pick, (std::vector<std::string>{"From any part of field", "Whole field"}))
        << "typing on within one item changes nothing";
}

TEST_F(DialogControls, AClickInAPickOnlyTextOpensTheListAndEnterClosesIt) {
    QLineEdit* text = editOf(form->Pick);
    QTest::mouseClick(text, Qt::LeftButton, Qt::NoModifier, QPoint(10, text->height() / 2));
    EXPECT_TRUE(form->Pick->DroppedDown());
    EXPECT_TRUE(form->Pick->Focused());
    PressKey(Qt::Key_Escape);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !form->Pick->DroppedDown(); }, 5000));
    // In free text a click places the caret.
    QLineEdit* free = editOf(form->Free);
    QTest::mouseClick(free, Qt::LeftButton, Qt::NoModifier, QPoint(10, free->height() / 2));
    EXPECT_FALSE(form->Free->DroppedDown());
    EXPECT_TRUE(form->Free->Focused());
}

TEST_F(DialogControls, TheListShowsItsRowsAndASizableOneHasAGrip) {
    TStringList items;
    for (int i = 0; i < 30; ++i)
        items.Add("text " + std::to_string(i));
    form->Free->SetItems(items);
    form->Pick->SetItems(items);
    form->Pick->SetKeyItems(items);
    auto* free = static_cast<QComboBox*>(form->Free->Widget());
    EXPECT_EQ(free->maxVisibleItems(), 17);
    EXPECT_EQ(form->Pick->DropDownRows(), 7);

    form->Free->SetDroppedDown(true);
    ASSERT_TRUE(form->Free->DroppedDown());
    QWidget* popup = free->view()->window();
    auto* grip = popup->findChild<QSizeGrip*>();
    ASSERT_NE(grip, nullptr);
    EXPECT_TRUE(grip->isVisible());
    EXPECT_EQ(grip->geometry().bottomRight(), popup->rect().bottomRight());
    // The size the user gives the list stays for the next time.
    const QSize larger = popup->size() + QSize(40, 30);
    popup->resize(larger);
    form->Free->SetDroppedDown(false);
    form->Free->SetDroppedDown(true);
    EXPECT_EQ(popup->size(), larger);
    EXPECT_EQ(grip->geometry().bottomRight(), popup->rect().bottomRight());
    form->Free->SetDroppedDown(false);

    form->Pick->SetDroppedDown(true);
    auto* pickGrip =
        static_cast<QComboBox*>(form->Pick->Widget())->view()->window()->findChild<QSizeGrip*>();
    EXPECT_TRUE(!pickGrip || !pickGrip->isVisible());
    form->Pick->SetDroppedDown(false);
}

TEST_F(DialogControls, ACheckBoxTogglesBySpaceTheMouseAndItsAccessKey) {
    int clicks = 0;
    form->Check->OnClick = [&](TObject*) { ++clicks; };
    EXPECT_EQ(form->Check->Caption(), "Match &Case");
    EXPECT_FALSE(form->Check->Checked());
    focus(form->Check);
    PressKey(Qt::Key_Space);
    EXPECT_TRUE(form->Check->Checked());
    QTest::mouseClick(form->Check->Widget(), Qt::LeftButton, Qt::NoModifier, QPoint(6, 7));
    EXPECT_FALSE(form->Check->Checked());
    focus(form->Plain);
    PressKey(Qt::Key_C, Qt::AltModifier, "c");
    EXPECT_TRUE(QTest::qWaitFor([&] { return form->Check->Checked(); }, 5000));
    EXPECT_TRUE(form->Check->Focused());
    form->Check->SetChecked(false);
    EXPECT_EQ(clicks, 4);
}

TEST_F(DialogControls, AButtonClicksByTheMouseSpaceEnterAndItsAccessKey) {
    std::vector<std::string> log;
    form->Go->OnClick = [&](TObject*) { log.push_back("go"); };
    EXPECT_EQ(form->Go->Caption(), "&Go");
    QTest::mouseClick(form->Go->Widget(), Qt::LeftButton);
    EXPECT_TRUE(form->Go->Focused()) << "a click takes the focus";
    PressKey(Qt::Key_Space);
    PressKey(Qt::Key_Return);
    EXPECT_EQ(log.size(), 3u) << "one click each";
    focus(form->Plain);
    PressKey(Qt::Key_G, Qt::AltModifier, "g");
    EXPECT_TRUE(QTest::qWaitFor([&] { return log.size() == 4; }, 5000));
    // Enter in another control is no click of a button that is not focused.
    focus(form->Plain);
    PressKey(Qt::Key_Return);
    EXPECT_EQ(log.size(), 4u);
    EXPECT_EQ(form->ModalResult(), mrNone) << "Go has no modal result";
}

TEST_F(DialogControls, EscClicksTheCancelButtonUnlessAKeyHandlerTookIt) {
    int cancels = 0;
    form->Cancel->OnClick = [&](TObject*) { ++cancels; };
    focus(form->Plain);
    PressKey(Qt::Key_Escape);
    EXPECT_EQ(cancels, 1);
    EXPECT_EQ(form->ModalResult(), mrCancel) << "the button's result, on a form not modal";
    EXPECT_TRUE(form->Visible()) << "which closes only a modal form";
    PressKey(Qt::Key_Escape, Qt::ControlModifier);
    EXPECT_EQ(cancels, 1) << "not with a modifier";
    form->SetKeyPreview(true);
    form->OnKeyDown = [](TObject*, uint16_t& key, TShiftState) {
        if (key == VK_ESCAPE) key = 0;
    };
    PressKey(Qt::Key_Escape);
    EXPECT_EQ(cancels, 1);
    form->Cancel->SetCancel(false);
    form->OnKeyDown = nullptr;
    PressKey(Qt::Key_Escape);
    EXPECT_EQ(cancels, 1);
}

TEST_F(DialogControls, ALabelsAccessKeyFocusesItsControlAndTakesNoRoom) {
    focus(form->Plain);
    PressKey(Qt::Key_N, Qt::AltModifier, "n");
    EXPECT_TRUE(form->Free->Focused());
    EXPECT_EQ(form->ActiveControl(), form->Free);
    EXPECT_EQ(form->Label->FocusControl(), form->Free);
    QFontMetrics metrics(form->Label->Widget()->font());
    EXPECT_EQ(form->Label->Width(), metrics.horizontalAdvance("Find:"));
    delete form->Free;
    form->Free = nullptr;
    EXPECT_EQ(form->Label->FocusControl(), nullptr);
}

} // namespace
