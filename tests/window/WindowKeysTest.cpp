// The window's keys: Enter as Tab through the fields, Tab order, the key map
// of FormKeyDown and closing with Esc or the cancel button.

#include "WindowFixture.h"

#include <QTimer>

using guitest::PressKey;

namespace {

std::string focusedName(Tfcontavtascontado* w) {
    TWinControl* a = w->ActiveControl();
    return a && a->Focused() ? a->Name() : "(none)";
}

} // namespace

TEST_F(WindowTest, EnterMovesThroughTheFieldsAndStopsInPref) {
    pointSettingsAtInstallation();
    Tfcontavtascontado* w = showWindow();
    std::vector<std::string> visited{focusedName(w)};
    for (int i = 0; i < 6; ++i) {
        PressKey(Qt::Key_Return);
        visited.push_back(focusedName(w));
    }
    EXPECT_EQ(visited, (std::vector<std::string>{"Servidor", "Tusua", "TClave", "Cia", "EFecIni",
                                                 "EFecFin", "Pref"}));
    // Pref has no Enter handling: the focus stays.
    PressKey(Qt::Key_Return);
    EXPECT_EQ(focusedName(w), "Pref");
    PressKey(Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(focusedName(w), "Pref");
}

TEST_F(WindowTest, EnterTypesNothingIntoTheFields) {
    pointSettingsAtInstallation();
    Tfcontavtascontado* w = showWindow();
    w->Tusua->SetFocus();
    PressKey(Qt::Key_A);
    PressKey(Qt::Key_N);
    PressKey(Qt::Key_A);
    PressKey(Qt::Key_Return);
    EXPECT_EQ(w->Tusua->Text(), "ana");
    EXPECT_EQ(focusedName(w), "TClave");
    PressKey(Qt::Key_X);
    EXPECT_EQ(w->TClave->Text(), "x");
}

TEST_F(WindowTest, TabFollowsTheTabOrderAndWrapsAround) {
    pointSettingsAtInstallation();
    Tfcontavtascontado* w = showWindow();
    const std::vector<std::string> order{"Servidor", "Tusua",   "TClave", "Cia",
                                         "EFecIni",  "EFecFin", "Pref",   "Servidor"};
    std::vector<std::string> visited{focusedName(w)};
    for (int i = 0; i < 7; ++i) {
        PressKey(Qt::Key_Tab);
        visited.push_back(focusedName(w));
    }
    EXPECT_EQ(visited, order);
    // Backwards too.
    PressKey(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(focusedName(w), "Pref");
    // The grid joins the tab order while the tariff panel shows; the panel
    // and the navigator are no tab stops.
    w->CaptionPanel1->SetVisible(true);
    PressKey(Qt::Key_Tab);
    EXPECT_EQ(focusedName(w), "DBGrid2");
    w->CaptionPanel1->SetVisible(false);
    w->Pref->SetFocus();
    PressKey(Qt::Key_Tab);
    EXPECT_EQ(focusedName(w), "Servidor");
}

TEST_F(WindowTest, EscClosesTheWindowAndEndsTheLoop) {
    pointSettingsAtInstallation();
    Tfcontavtascontado* w = createWindow();
    bool escSent = false;
    QTimer::singleShot(0, [&] {
        ASSERT_TRUE(w->Showing());
        if (!QTest::qWaitForWindowActive(w->Widget())) return w->Close();
        w->Tusua->SetFocus();
        PressKey(Qt::Key_Escape);
        escSent = true;
    });
    app->Run();
    EXPECT_TRUE(escSent);
    EXPECT_TRUE(app->Terminated());
    EXPECT_FALSE(w->Showing());
    EXPECT_TRUE(env.Dialogs.Boxes().empty());
}

TEST_F(WindowTest, TheCancelButtonClosesTheWindowAndEndsTheLoop) {
    pointSettingsAtInstallation();
    Tfcontavtascontado* w = createWindow();
    std::vector<std::string> exits;
    w->Pref->OnExit = [&](TObject*) { exits.push_back("Pref"); };
    QTimer::singleShot(0, [&] {
        if (!QTest::qWaitForWindowActive(w->Widget())) return w->Close();
        w->Pref->SetFocus();
        QTest::mouseClick(w->SpeedButton2->Widget(), Qt::LeftButton, Qt::NoModifier,
                          QPoint(30, 25));
    });
    app->Run();
    EXPECT_TRUE(app->Terminated());
    EXPECT_FALSE(w->Showing());
    // Clicking a speed button does not leave the field being edited.
    EXPECT_TRUE(exits.empty());
}

TEST_F(WindowTest, FormCloseFreesTheWindow) {
    pointSettingsAtInstallation();
    Tfcontavtascontado* w = createWindow();
    TCloseAction action = caHide;
    w->FormClose(w, action);
    EXPECT_EQ(action, caFree);
}

TEST_F(WindowTest, KeyMapActsOnlyWithoutShiftAltOrCtrl) {
    pointSettingsAtInstallation();
    // Esc closes; F2 starts the posting, which here fails to open the
    // stored database and leaves its box; with a modifier nothing happens,
    // and F5 neither opens nor closes the editor.
    struct Case {
        const char* Name;
        int Key;
        Qt::KeyboardModifiers Modifiers;
        bool Closes;
        bool Posts;
    };
    const Case cases[] = {
        {"Esc", Qt::Key_Escape, Qt::NoModifier, true, false},
        {"Shift+Esc", Qt::Key_Escape, Qt::ShiftModifier, false, false},
        {"Alt+Esc", Qt::Key_Escape, Qt::AltModifier, false, false},
        {"Ctrl+Esc", Qt::Key_Escape, Qt::ControlModifier, false, false},
        {"F2", Qt::Key_F2, Qt::NoModifier, false, true},
        {"Shift+F2", Qt::Key_F2, Qt::ShiftModifier, false, false},
        {"Alt+F2", Qt::Key_F2, Qt::AltModifier, false, false},
        {"Ctrl+F2", Qt::Key_F2, Qt::ControlModifier, false, false},
        {"Shift+F5", Qt::Key_F5, Qt::ShiftModifier, false, false},
        {"Alt+F5", Qt::Key_F5, Qt::AltModifier, false, false},
        {"Ctrl+F5", Qt::Key_F5, Qt::ControlModifier, false, false},
        {"Ctrl+Shift+Esc", Qt::Key_Escape, Qt::ControlModifier | Qt::ShiftModifier, false, false},
    };
    for (const Case& c : cases) {
        Tfcontavtascontado* w = showWindow();
        // The tariff panel stands for an open editor, except where F2 would
        // write it back.
        w->CaptionPanel1->SetVisible(!c.Posts);
        w->Cia->SetFocus();
        PressKey(c.Key, c.Modifiers);
        EXPECT_EQ(app->Terminated(), c.Closes) << c.Name;
        EXPECT_EQ(w->Showing(), !c.Closes) << c.Name;
        EXPECT_EQ(w->CaptionPanel1->Visible(), !c.Posts) << c.Name;
        EXPECT_EQ(w->Panel5->Visible(), c.Posts) << c.Name;
        EXPECT_EQ(env.Dialogs.Boxes().size(), c.Posts ? 1u : 0u) << c.Name;
        env.Dialogs.Clear();
        app.reset();
        fcontavtascontado = nullptr;
    }
}

TEST_F(WindowTest, F2RunsThePostingEvenWhileTheRunButtonIsDisabled) {
    // Before any company connection the posting opens the database the
    // stored parameters name, C:\TALvero\sop\talvero.fdb: a local file
    // here, which this machine does not have.
    pointSettingsAtInstallation();
    Tfcontavtascontado* w = showWindow();
    ASSERT_FALSE(w->SpeedButton3->Enabled());
    w->Pref->SetFocus();
    PressKey(Qt::Key_F2);
    EXPECT_TRUE(w->Showing());
    EXPECT_FALSE(app->Terminated());
    const std::vector<TDialogBox> boxes = env.Dialogs.Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].kind, TDialogBox::Exception);
    EXPECT_EQ(boxes[0].Title, ApplicationTitle());
    EXPECT_EQ(boxes[0].Text,
              "Database Error: [0x0015]: Connection failed\r\nSQL Server Error: I/O error during "
              "\"open\" operation for file \"/TALvero/sop/talvero.fdb\" Error while trying to "
              "open file No such file or directory.");
    EXPECT_TRUE(w->Panel5->Visible());
    EXPECT_EQ(w->Panel5->Caption(), "Generando informe. espere un momento...");
    EXPECT_FALSE(w->CRepArticulos->Active());
}

TEST_F(WindowTest, EnteratabSwallowsOnlyEnter) {
    pointSettingsAtInstallation();
    Tfcontavtascontado* w = showWindow();
    struct Case {
        char Key;
        char After;
    };
    const Case cases[] = {{13, 0}, {'a', 'a'}, {27, 27}, {9, 9}, {10, 10}, {'\xF1', '\xF1'}};
    for (const Case& c : cases) {
        w->Tusua->SetFocus();
        char key = c.Key;
        w->Enteratab(w->Tusua, key);
        EXPECT_EQ(key, c.After) << int(static_cast<unsigned char>(c.Key));
        EXPECT_EQ(focusedName(w), c.Key == 13 ? "TClave" : "Tusua");
    }
}
