// Keys and focus as the form dispatches them: key preview, Key = 0, Enter as
// message 40, OnEnter/OnExit, speed buttons.

#include "GuiTestHelpers.h"
#include "TestForm.h"

#include "platform/Exceptions.h"

#include <QCalendarWidget>
#include <QDateEdit>
#include <QLineEdit>

using guitest::PressKey;

namespace {

class FormKeys : public ::testing::Test {
protected:
    void SetUp() override {
        form = std::make_unique<TTestForm>();
        form->Show();
        guitest::ShowActive(form->Widget());
    }
    void TearDown() override { form.reset(); }

    QString textOf(TEdit* e) { return static_cast<QLineEdit*>(e->Widget())->text(); }
    void focus(TWinControl* c) {
        c->SetFocus();
        ASSERT_TRUE(c->Focused());
    }

    guitest::DialogAndSettings env;
    std::unique_ptr<TTestForm> form;
    std::vector<std::string> log;
};

std::string keyName(uint16_t key) {
    return std::to_string(key);
}

} // namespace

TEST_F(FormKeys, ShowingTheFormFocusesTheFirstControlInTabOrder) {
    EXPECT_EQ(form->ActiveControl(), form->E1);
    EXPECT_TRUE(form->E1->Focused());
}

TEST_F(FormKeys, KeyPreviewSeesEveryKeyBeforeTheControl) {
    form->SetKeyPreview(true);
    form->OnKeyDown = [&](TObject* s, uint16_t& k, TShiftState sh) {
        log.push_back("form down " + keyName(k) + " shift " + std::to_string(sh));
    };
    form->OnKeyPress = [&](TObject*, char& k) { log.push_back("form press " + std::string(1, k)); };
    form->E1->OnKeyDown = [&](TObject* s, uint16_t& k, TShiftState) {
        log.push_back(std::string(s == form->E1 ? "E1" : "?") + " down " + keyName(k));
    };
    form->E1->OnKeyPress = [&](TObject*, char& k) {
        log.push_back("E1 press " + std::string(1, k));
    };
    PressKey(Qt::Key_A);
    PressKey(Qt::Key_F5, Qt::ShiftModifier);
    EXPECT_EQ(log,
              (std::vector<std::string>{"form down 65 shift 0", "E1 down 65", "form press a",
                                        "E1 press a", "form down 116 shift 1", "E1 down 116"}));
    EXPECT_EQ(textOf(form->E1), "a");
}

TEST_F(FormKeys, WithoutKeyPreviewTheFormSeesNothing) {
    form->OnKeyDown = [&](TObject*, uint16_t&, TShiftState) { log.push_back("form"); };
    form->E1->OnKeyDown = [&](TObject*, uint16_t&, TShiftState) { log.push_back("E1"); };
    PressKey(Qt::Key_F2);
    EXPECT_EQ(log, std::vector<std::string>{"E1"});
}

TEST_F(FormKeys, KeyDownSetToZeroByTheFormStopsTheKeyButNotItsCharacter) {
    form->SetKeyPreview(true);
    form->OnKeyDown = [&](TObject*, uint16_t& k, TShiftState) { k = 0; };
    form->E1->OnKeyDown = [&](TObject*, uint16_t&, TShiftState) { log.push_back("E1 down"); };
    form->E1->OnKeyPress = [&](TObject*, char& k) { log.push_back("E1 press"); };
    static_cast<QLineEdit*>(form->E1->Widget())->setText("xyz");
    PressKey(Qt::Key_Backspace); // its action (deleting) is kept from the field
    PressKey(Qt::Key_Home);      // no character at all
    EXPECT_EQ(log, (std::vector<std::string>{"E1 press"})) << "Backspace types #8";
    EXPECT_EQ(textOf(form->E1), "xyz");
    PressKey(Qt::Key_B); // the character still arrives, as on the suite's home platform
    EXPECT_EQ(textOf(form->E1), "xyzb");
}

TEST_F(FormKeys, KeyPressSetToZeroSwallowsTheCharacterAndAChangedOneIsTyped) {
    form->E1->OnKeyPress = [&](TObject*, char& k) {
        if (k == 'x') k = 0;
        if (k == 'a') k = 'b';
    };
    PressKey(Qt::Key_X);
    PressKey(Qt::Key_A);
    PressKey(Qt::Key_C);
    EXPECT_EQ(textOf(form->E1), "bc");
}

TEST_F(FormKeys, KeyPressGetsWindows1252Characters) {
    std::string seen;
    form->E1->OnKeyPress = [&](TObject*, char& k) { seen += k; };
    PressKey(Qt::Key_Ntilde, Qt::NoModifier, QStringLiteral("ñ"));
    PressKey(Qt::Key_unknown, Qt::NoModifier, QString(QChar(0x20AC))); // the euro sign
    PressKey(Qt::Key_unknown, Qt::NoModifier, QString(QChar(0x0416))); // not in the code page
    EXPECT_EQ(seen, std::string("\xF1\x80"));
    EXPECT_EQ(textOf(form->E1), QStringLiteral("ñ€Ж"));
}

TEST_F(FormKeys, CtrlTypesOnlyControlCharacters) {
    std::vector<int> typed;
    form->E1->OnKeyPress = [&](TObject*, char& k) {
        typed.push_back(static_cast<unsigned char>(k));
    };
    // Ctrl+V types 22; Ctrl+' and Ctrl+1 type nothing, though Qt gives them
    // their own characters; Ctrl+Alt is AltGr, which types.
    PressKey(Qt::Key_V, Qt::ControlModifier, QStringLiteral("\x16"));
    PressKey(Qt::Key_Apostrophe, Qt::ControlModifier, QStringLiteral("'"));
    PressKey(Qt::Key_1, Qt::ControlModifier, QStringLiteral("1"));
    PressKey(Qt::Key_Q, Qt::ControlModifier | Qt::AltModifier, QStringLiteral("@"));
    EXPECT_EQ(typed, (std::vector<int>{22, '@'}));
}

TEST_F(FormKeys, EnterAsMessage40MovesTheFocusInTabOrder) {
    auto enterAsTab = [&](TObject*, char& k) {
        if (k == 13) {
            k = 0;
            form->Perform(WM_NEXTDLGCTL, 0, 0);
        }
    };
    for (TEdit* e : {form->E1, form->E2, form->E3})
        e->OnKeyPress = enterAsTab;
    form->Date->OnKeyPress = enterAsTab;
    PressKey(Qt::Key_Return);
    EXPECT_TRUE(form->E2->Focused());
    PressKey(Qt::Key_Return);
    PressKey(Qt::Key_Return);
    EXPECT_TRUE(form->Date->Focused());
    PressKey(Qt::Key_Return);
    EXPECT_TRUE(form->E4->Focused());
    EXPECT_EQ(form->ActiveControl(), form->E4);
    // E4 has no handler: Enter leaves the focus where it is.
    PressKey(Qt::Key_Return);
    EXPECT_TRUE(form->E4->Focused());
    // WParam not 0 goes back.
    form->Perform(WM_NEXTDLGCTL, 1, 0);
    EXPECT_TRUE(form->Date->Focused());
}

TEST_F(FormKeys, TabAndShiftTabFollowTheTabOrderAndNeverReachTheHandlers) {
    form->SetKeyPreview(true);
    form->OnKeyDown = [&](TObject*, uint16_t& k, TShiftState) { log.push_back(keyName(k)); };
    PressKey(Qt::Key_Tab);
    EXPECT_TRUE(form->E2->Focused());
    PressKey(Qt::Key_Backtab, Qt::ShiftModifier);
    PressKey(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_TRUE(form->E4->Focused());
    EXPECT_TRUE(log.empty());
}

TEST_F(FormKeys, EnterAndExitRunBetweenControlsWithTheirContainers) {
    auto track = [&](TWinControl* c) {
        c->OnEnter = [this, c](TObject*) { log.push_back("enter " + c->Name()); };
        c->OnExit = [this, c](TObject*) { log.push_back("exit " + c->Name()); };
    };
    for (TWinControl* c : std::initializer_list<TWinControl*>{form->E1, form->E2, form->E3,
                                                              form->BoxA, form->BoxB, form->Date})
        track(c);
    PressKey(Qt::Key_Tab);
    focus(form->Date);
    EXPECT_EQ(log, (std::vector<std::string>{"exit E1", "enter E2", "exit E2", "exit BoxA",
                                             "enter BoxB", "enter Date"}));
}

TEST_F(FormKeys, SwitchingToAnotherWindowAndBackRunsNoEnterOrExit) {
    form->E1->OnExit = [&](TObject*) { log.push_back("exit"); };
    form->E1->OnEnter = [&](TObject*) { log.push_back("enter"); };
    QWidget other;
    other.setFocusPolicy(Qt::StrongFocus);
    guitest::ShowActive(&other);
    other.setFocus();
    guitest::ShowActive(form->Widget());
    EXPECT_TRUE(form->E1->Focused());
    EXPECT_TRUE(log.empty());
}

TEST_F(FormKeys, TheDatePickersCalendarPopupRunsNoEnterOrExit) {
    focus(form->Date);
    form->Date->OnExit = [&](TObject*) { log.push_back("exit"); };
    form->Date->OnEnter = [&](TObject*) { log.push_back("enter"); };
    auto* edit = static_cast<QDateEdit*>(form->Date->Widget());
    // A click on the arrow drops the calendar down.
    QTest::mouseClick(edit, Qt::LeftButton, Qt::NoModifier,
                      QPoint(edit->width() - 6, edit->height() / 2));
    QCalendarWidget* calendar = edit->calendarWidget();
    ASSERT_TRUE(QTest::qWaitFor([&] { return calendar->isVisible(); }));
    PressKey(Qt::Key_Escape); // the popup's key: the form never sees it
    ASSERT_TRUE(QTest::qWaitFor([&] { return !calendar->isVisible(); }));
    EXPECT_TRUE(QTest::qWaitFor([&] { return form->Date->Focused(); }))
        << (QApplication::focusWidget() ? QApplication::focusWidget()->metaObject()->className()
                                        : "no focus");
    EXPECT_TRUE(log.empty());
}

TEST_F(FormKeys, SpeedButtonsNeverTakeTheFocus) {
    form->E2->SetFocus();
    form->E2->OnExit = [&](TObject*) { log.push_back("exit E2"); };
    int clicks = 0;
    form->Button->OnClick = [&](TObject* s) {
        EXPECT_EQ(s, form->Button);
        ++clicks;
    };
    QTest::mouseClick(form->Button->Widget(), Qt::LeftButton, Qt::NoModifier, QPoint(30, 25));
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(form->E2->Focused());
    EXPECT_EQ(form->ActiveControl(), form->E2);
    EXPECT_TRUE(log.empty());
}

TEST_F(FormKeys, DisabledSpeedButtonIgnoresClicks) {
    int clicks = 0;
    form->Button->OnClick = [&](TObject*) { ++clicks; };
    form->Button->SetEnabled(false);
    QTest::mouseClick(form->Button->Widget(), Qt::LeftButton, Qt::NoModifier, QPoint(30, 25));
    EXPECT_EQ(clicks, 0);
}

TEST_F(FormKeys, ExceptionsLeavingHandlersGoToTheDefaultDisplay) {
    struct Case {
        const char* Name;
        std::function<void()> Raise;
        std::vector<std::string> Shown;
    };
    SetApplicationTitle("contavtascontadomv");
    const Case cases[] = {
        {"period appended after a letter",
         [] { throw Exception("Key violation"); },
         {"Key violation."}},
        {"no period after a period", [] { throw Exception("Done."); }, {"Done."}},
        {"no period after a closing quote",
         [] { throw Exception("Invalid data type for 'X'"); },
         {"Invalid data type for 'X'"}},
        {"no period after a blank", [] { throw Exception("Trailing "); }, {"Trailing "}},
        {"Abort shows nothing", [] { Abort(); }, {}},
    };
    for (const Case& c : cases) {
        env.Dialogs.Clear();
        form->Button->OnClick = [&](TObject*) { c.Raise(); };
        QTest::mouseClick(form->Button->Widget(), Qt::LeftButton, Qt::NoModifier, QPoint(30, 25));
        std::vector<std::string> shown;
        for (const TDialogBox& b : env.Dialogs.Boxes()) {
            EXPECT_EQ(b.kind, TDialogBox::Exception) << c.Name;
            EXPECT_EQ(b.Title, "contavtascontadomv") << c.Name;
            EXPECT_EQ(b.Type, mtError) << c.Name;
            EXPECT_EQ(b.Buttons, TMsgDlgButtons(mbOK)) << c.Name;
            shown.push_back(b.Text);
        }
        EXPECT_EQ(shown, c.Shown) << c.Name;
        EXPECT_TRUE(form->Showing()) << c.Name;
    }
}

TEST_F(FormKeys, AnExceptionInAKeyHandlerIsShownAndTheKeyStops) {
    form->E1->OnKeyDown = [](TObject*, uint16_t&, TShiftState) { throw Exception("bad key"); };
    PressKey(Qt::Key_A);
    ASSERT_EQ(env.Dialogs.Boxes().size(), 1u);
    EXPECT_EQ(env.Dialogs.Boxes()[0].Text, "bad key.");
    EXPECT_EQ(textOf(form->E1), "");
}

TEST_F(FormKeys, AnExceptionInOnExitIsShownAndTheFocusStaysWhereItWent) {
    form->E1->OnExit = [](TObject*) { throw Exception("Unable to connect"); };
    form->E2->OnEnter = [&](TObject*) { log.push_back("enter E2"); };
    PressKey(Qt::Key_Tab);
    ASSERT_EQ(env.Dialogs.Boxes().size(), 1u);
    EXPECT_EQ(env.Dialogs.Boxes()[0].Text, "Unable to connect.");
    EXPECT_TRUE(form->E2->Focused());
    EXPECT_EQ(form->ActiveControl(), form->E2);
    EXPECT_TRUE(log.empty());
}

TEST_F(FormKeys, KeysReachTheFormThroughTheWindowSystemToo) {
    // As a real keyboard sends them: to the window, which hands them to its
    // focus widget.
    form->SetKeyPreview(true);
    form->OnKeyDown = [&](TObject*, uint16_t& k, TShiftState) { log.push_back(keyName(k)); };
    QTest::keyClick(form->Widget()->windowHandle(), Qt::Key_F2);
    QTest::keyClick(form->Widget()->windowHandle(), Qt::Key_Q);
    EXPECT_EQ(log, (std::vector<std::string>{"113", "81"}));
    EXPECT_EQ(textOf(form->E1), "q");
}
