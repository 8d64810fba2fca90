// The application object: title, loop, closing the main form, the cursor,
// and the Qt message boxes.

#include "GuiTestHelpers.h"
#include "TestForm.h"

#include "platform/Exceptions.h"
#include "platform/Screen.h"
#include "platform/widgets/TApplication.h"
#include "platform/widgets/TQtDialogService.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <csignal>

namespace {

int gArgc = 1;
char gArg0[] = "/opt/talvero/contavtascontadomv.exe.bak";
char* gArgv[] = {gArg0, nullptr};

class Application_ : public ::testing::Test {
protected:
    guitest::DialogAndSettings env;
};

// The box Qt shows next, read and answered by pressing the button with the
// given text.
struct SeenBox {
    QString Title, Text;
    QMessageBox::Icon Icon = QMessageBox::NoIcon;
    QStringList Buttons;
    QString Default, Escape;
};

void answerNextBox(SeenBox& seen, const QString& press) {
    QTimer::singleShot(0, [&seen, press] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        seen.Title = box->windowTitle();
        seen.Text = box->text();
        seen.Icon = box->icon();
        for (QAbstractButton* b : box->buttons())
            seen.Buttons << b->text();
        seen.Default = box->defaultButton() ? box->defaultButton()->text() : QString();
        seen.Escape = box->escapeButton() ? box->escapeButton()->text() : QString();
        for (QAbstractButton* b : box->buttons())
            if (b->text() == press) b->click();
    });
}

} // namespace

TEST_F(Application_, TitleIsTheProgramFileNameCutAtItsFirstDot) {
    EXPECT_EQ(TitleFromProgramPath(gArg0), "contavtascontadomv");
    EXPECT_EQ(TitleFromProgramPath("contavtascontadomv"), "contavtascontadomv");
    TApplication app(gArgc, gArgv);
    // The test program's own file.
    EXPECT_EQ(app.Title(), "test_widgets");
    EXPECT_EQ(ApplicationTitle(), "test_widgets");
}

TEST_F(Application_, RunShowsTheMainFormAndClosingItEndsTheLoop) {
    TApplication app(gArgc, gArgv);
    app.Initialize();
    FormatSettings = DefaultFormatSettings();
    TTestForm* main = nullptr;
    TTestForm* second = nullptr;
    app.CreateForm(main);
    app.CreateForm(second);
    ASSERT_EQ(app.MainForm(), main);
    std::vector<std::string> log;
    main->OnClose = [&](TObject* s, TCloseAction& a) {
        EXPECT_EQ(a, caHide);
        log.push_back("close");
        a = caFree;
    };
    bool shownDuringRun = false;
    QTimer::singleShot(0, [&] {
        shownDuringRun = main->Showing();
        main->Close();
    });
    app.Run();
    EXPECT_TRUE(shownDuringRun);
    EXPECT_EQ(log, std::vector<std::string>{"close"});
    EXPECT_TRUE(app.Terminated());
    EXPECT_FALSE(main->Showing());
    EXPECT_FALSE(second->Showing());
}

TEST_F(Application_, CloseActionNoneKeepsTheMainFormOpen) {
    TApplication app(gArgc, gArgv);
    TTestForm* main = nullptr;
    app.CreateForm(main);
    int closes = 0;
    main->OnClose = [&](TObject*, TCloseAction& a) {
        if (++closes == 1) a = caNone;
    };
    QTimer::singleShot(0, [&] {
        main->Close();
        EXPECT_FALSE(app.Terminated());
        EXPECT_TRUE(main->Showing());
        main->Close();
    });
    app.Run();
    EXPECT_EQ(closes, 2);
}

TEST_F(Application_, TheSystemCloseCommandClosesTheForm) {
    TApplication app(gArgc, gArgv);
    TTestForm* main = nullptr;
    app.CreateForm(main);
    int closes = 0;
    main->OnClose = [&](TObject*, TCloseAction& a) {
        if (++closes == 1) a = caNone;
    };
    QTimer::singleShot(0, [&] {
        EXPECT_FALSE(main->Widget()->close()) << "caNone refuses";
        EXPECT_TRUE(main->Widget()->close());
    });
    app.Run();
    EXPECT_EQ(closes, 2);
    EXPECT_TRUE(app.Terminated());
}

// A termination signal closes the window as its close command does, even a
// window that refuses to close, and the program ends; afterwards the
// process's own handling of the signal is back.
TEST_F(Application_, TerminationSignalsCloseTheMainFormAndEndTheLoop) {
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
        SCOPED_TRACE(signal);
        struct sigaction before {};
        sigaction(signal, nullptr, &before);
        TApplication app(gArgc, gArgv);
        TTestForm* main = nullptr;
        app.CreateForm(main);
        int closes = 0;
        main->OnClose = [&](TObject*, TCloseAction& a) {
            ++closes;
            a = caNone;
        };
        bool gaveUp = false;
        QTimer::singleShot(0, [signal] { raise(signal); });
        QTimer::singleShot(5000, [&] {
            gaveUp = true;
            app.Terminate();
        });
        app.Run();
        EXPECT_FALSE(gaveUp);
        EXPECT_EQ(closes, 1);
        EXPECT_TRUE(app.Terminated());
        struct sigaction after {};
        sigaction(signal, nullptr, &after);
        EXPECT_EQ(after.sa_handler, before.sa_handler);
    }
}

TEST_F(Application_, ClosingAnotherFormWithCaFreeFreesItLater) {
    TApplication app(gArgc, gArgv);
    TTestForm* main = nullptr;
    TTestForm* other = nullptr;
    app.CreateForm(main);
    app.CreateForm(other);
    other->OnClose = [](TObject*, TCloseAction& a) { a = caFree; };
    other->Show();
    EXPECT_EQ(app.ComponentCount(), 2);
    other->Close();
    EXPECT_FALSE(other->Showing());
    EXPECT_FALSE(app.Terminated());
    EXPECT_EQ(app.ComponentCount(), 2);
    QApplication::processEvents();
    EXPECT_EQ(app.ComponentCount(), 1);
}

TEST_F(Application_, AnExceptionInOnCreateIsShownAndTheFormKept) {
    TApplication app(gArgc, gArgv);
    TTestForm form(&app);
    form.OnCreate = [](TObject*) {
        throw ERegistryException("Invalid data type for 'Directorio'");
    };
    form.DoCreate();
    auto boxes = env.Dialogs.Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].kind, TDialogBox::Exception);
    EXPECT_EQ(boxes[0].Text, "Invalid data type for 'Directorio'");
}

TEST_F(Application_, TheScreenCursorShowsAsTheOverrideCursor) {
    TApplication app(gArgc, gArgv);
    app.Initialize();
    FormatSettings = DefaultFormatSettings();
    {
        TBusyCursor busy;
        ASSERT_NE(QApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    }
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(Application_, InitializeKeepsADialogServiceInstalledBefore) {
    TApplication app(gArgc, gArgv);
    app.Initialize();
    EXPECT_EQ(&DialogService(), &env.Dialogs);
}

TEST(QtDialogService, BoxesShowTheirTitleIconButtonsAndText) {
    TQtDialogService service;
    TScopedDialogService guard(&service);
    SetApplicationTitle("contavtascontadomv");
    struct Case {
        const char* Name;
        std::function<int()> Show;
        QString Press;
        SeenBox Expected;
        int Result;
    };
    const Case cases[] = {
        {"ShowMessage",
         [] {
             ShowMessage("No se encontró la clave");
             return mrOk;
         },
         "OK",
         {"contavtascontadomv",
          QString::fromUtf8("No se encontró la clave"),
          QMessageBox::NoIcon,
          {"OK"},
          "OK",
          "OK"},
         mrOk},
        {"error",
         [] { return MessageDlg("Los campos <b> son obligatorios.", mtError, mbOK, 0); },
         "OK",
         {"Error", "Los campos <b> son obligatorios.", QMessageBox::Critical, {"OK"}, "OK", "OK"},
         mrOk},
        {"confirmation, Cancel pressed",
         [] { return MessageDlg("Delete record?", mtConfirmation, mbOK | mbCancel, 0); },
         "Cancel",
         {"Confirm", "Delete record?", QMessageBox::Question, {"OK", "Cancel"}, "OK", "Cancel"},
         mrCancel},
        {"exception display",
         [] {
             ShowException(Exception("Database Error: boom"));
             return mrOk;
         },
         "OK",
         {"contavtascontadomv", "Database Error: boom.", QMessageBox::Critical, {"OK"}, "OK", "OK"},
         mrOk},
    };
    for (const Case& c : cases) {
        SeenBox seen;
        answerNextBox(seen, c.Press);
        EXPECT_EQ(c.Show(), c.Result) << c.Name;
        EXPECT_EQ(seen.Title, c.Expected.Title) << c.Name;
        EXPECT_EQ(seen.Text, c.Expected.Text) << c.Name;
        EXPECT_EQ(seen.Icon, c.Expected.Icon) << c.Name;
        QStringList sortedSeen = seen.Buttons, sortedExpected = c.Expected.Buttons;
        sortedSeen.sort();
        sortedExpected.sort();
        EXPECT_EQ(sortedSeen, sortedExpected) << c.Name;
        EXPECT_EQ(seen.Default, c.Expected.Default) << c.Name;
        EXPECT_EQ(seen.Escape, c.Expected.Escape) << c.Name;
    }
}
