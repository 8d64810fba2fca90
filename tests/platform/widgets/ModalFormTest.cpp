// A form shown modal: its loop ends by a button's ModalResult, by Esc through
// the Cancel button, by Close, by the system close command and when the
// application terminates; OnClose may keep it open; the other windows take
// no input meanwhile and the one active before is active again afterwards.
// A dialog border keeps the size the program gives it.

#include "DialogForm.h"
#include "GuiTestHelpers.h"
#include "TestForm.h"

#include "platform/Exceptions.h"
#include "platform/widgets/TApplication.h"

#include <QScreen>
#include <QTimer>

using guitest::PressKey;
using guitest::WhileModal;

namespace {

class ModalForm : public ::testing::Test {
protected:
    void SetUp() override {
        owner = std::make_unique<TTestForm>();
        owner->Show();
        guitest::ShowActive(owner->Widget());
        dialog = std::make_unique<TDialogForm>();
    }
    void TearDown() override {
        dialog.reset();
        owner.reset();
    }

    // Shows the dialog modal, runs script inside its loop, and returns what
    // ShowModal returned.
    int showModal(const std::function<void()>& script) {
        // As a user, who acts in the window once it is active again.
        EXPECT_TRUE(QTest::qWaitForWindowActive(owner->Widget()));
        int result = -1;
        EXPECT_TRUE(WhileModal([&] { result = dialog->ShowModal(); },
                               [&](QWidget* modal) {
                                   EXPECT_EQ(modal, dialog->Widget());
                                   script();
                               }));
        return result;
    }

    guitest::DialogAndSettings env;
    std::unique_ptr<TTestForm> owner;
    std::unique_ptr<TDialogForm> dialog;
};

TEST_F(ModalForm, AButtonsModalResultEndsTheLoopAndIsReturned) {
    dialog->Go->SetModalResult(mrOk);
    int clicks = 0;
    dialog->Go->OnClick = [&](TObject*) { ++clicks; };
    const int result = showModal([&] {
        EXPECT_TRUE(dialog->Modal());
        EXPECT_EQ(QApplication::activeModalWidget(), dialog->Widget());
        QTest::mouseClick(dialog->Go->Widget(), Qt::LeftButton);
    });
    EXPECT_EQ(result, mrOk);
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(dialog->Visible());
    EXPECT_FALSE(dialog->Modal());
    EXPECT_TRUE(QTest::qWaitForWindowActive(owner->Widget()))
        << "the window active before is active again";
}

TEST_F(ModalForm, EscClosesItThroughTheCancelButton) {
    int cancels = 0;
    dialog->Cancel->OnClick = [&](TObject*) { ++cancels; };
    const int result = showModal([&] {
        dialog->Plain->SetFocus();
        PressKey(Qt::Key_Escape);
    });
    EXPECT_EQ(result, mrCancel);
    EXPECT_EQ(cancels, 1);
}

TEST_F(ModalForm, CloseTheSystemCloseCommandAndHidingEndItWithCancel) {
    const std::vector<std::pair<const char*, std::function<void()>>> ways = {
        {"Close", [&] { dialog->Close(); }},
        {"the system close command", [&] { dialog->Widget()->close(); }},
        {"Hide", [&] { dialog->Hide(); }},
    };
    for (const auto& [name, close] : ways) {
        const int result = showModal([&, close = close, name = name] {
            close();
            EXPECT_EQ(dialog->ModalResult(), mrCancel) << name;
        });
        EXPECT_EQ(result, mrCancel) << name;
        EXPECT_FALSE(dialog->Visible()) << name;
    }
    // Shown again, the result starts anew.
    dialog->Go->SetModalResult(mrOk);
    EXPECT_EQ(showModal([&] {
                  EXPECT_EQ(dialog->ModalResult(), mrNone);
                  dialog->Go->Click();
              }),
              mrOk);
}

// Shows the dialog modal with step run from its own loop, not from a loop
// nested in it, and returns what ShowModal returned. After 10 seconds the
// dialog is ended with mrAbort, failing.
int runModal(TForm& form, const std::function<void()>& step) {
    QTimer::singleShot(0, form.Widget(), step);
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [&] {
        ADD_FAILURE() << "still modal";
        form.OnClose = nullptr;
        form.SetModalResult(mrAbort);
    });
    watchdog.start(10000);
    return form.ShowModal();
}

TEST_F(ModalForm, OnCloseCanKeepItOpen) {
    std::vector<int> results;
    bool visibleBetween = false;
    int resultBetween = -1;
    dialog->Go->SetModalResult(mrOk);
    dialog->OnClose = [&](TObject*, TCloseAction& action) {
        results.push_back(dialog->ModalResult());
        if (results.size() > 1) return;
        action = caNone;
        QTimer::singleShot(0, dialog->Widget(), [&] {
            visibleBetween = dialog->Visible();
            resultBetween = dialog->ModalResult();
            dialog->Go->Click();
        });
    };
    EXPECT_EQ(runModal(*dialog, [&] { dialog->Cancel->Click(); }), mrOk);
    EXPECT_EQ(results, (std::vector<int>{mrCancel, mrOk}));
    EXPECT_TRUE(visibleBetween) << "kept open";
    EXPECT_EQ(resultBetween, mrNone);
    EXPECT_FALSE(dialog->Visible());
}

TEST_F(ModalForm, TerminatingTheApplicationEndsIt) {
    static int argc = 1;
    static char arg0[] = "test_widgets";
    static char* argv[] = {arg0, nullptr};
    TApplication app(argc, argv);
    EXPECT_EQ(runModal(*dialog, [&] { app.Terminate(); }), mrCancel);
    EXPECT_FALSE(dialog->Visible());
}

TEST_F(ModalForm, AVisibleFormCannotBeMadeModal) {
    dialog->Show();
    try {
        dialog->ShowModal();
        FAIL() << "shown already";
    } catch (const EInvalidOperation& e) {
        EXPECT_STREQ(e.what(), "Cannot make a visible window modal");
    }
    EXPECT_FALSE(dialog->Modal());
}

TEST_F(ModalForm, ADialogBorderKeepsTheSizeTheProgramGives) {
    const QWidget* w = dialog->Widget();
    EXPECT_EQ(dialog->BorderStyle(), bsDialog);
    EXPECT_EQ(w->minimumSize(), QSize(300, 140));
    EXPECT_EQ(w->maximumSize(), QSize(300, 140));
    EXPECT_FALSE(w->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(w->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(w->windowFlags() & Qt::WindowCloseButtonHint);
    dialog->SetClientHeight(100);
    EXPECT_EQ(w->size(), QSize(300, 100));
    EXPECT_EQ(w->maximumSize(), QSize(300, 100));
    // Centred on the screen when shown.
    showModal([&] {
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        const QRect frame = w->frameGeometry();
        EXPECT_LE(std::abs(frame.center().x() - screen.center().x()), 1);
        EXPECT_LE(std::abs(frame.center().y() - screen.center().y()), 1);
    });
}

} // namespace
