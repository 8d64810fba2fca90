// The posting tool in a process of its own, driven by the program itself as
// a user drives it, for the tests that need the program's whole life: the
// application object, the window and the message loop exactly as
// contavtascontadomv runs them, and the way the process ends. Boxes are
// recorded instead of shown and printed as "box: <text>".
//
//   window_session connect USER PASSWORD COMPANY
//       Enter in Servidor (its first line chosen), then the user, the
//       password and the company, each followed by Enter as a user types
//       them; prints "connected" and runs the loop until the window closes
//       (a termination signal closes it). Exit status 3 when it did not
//       connect.
//   window_session f2 [DATABASE]
//       F2 before any connection, on the stored parameters (with DATABASE as
//       the Database parameter when given); prints the boxes and
//       "f2: <ms> ms", the time F2 took, and ends.

#include "cntvtascontadomvpref.h"
#include "platform/Dialogs.h"
#include "platform/widgets/TApplication.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <cctype>
#include <chrono>
#include <cstdio>
#include <string>

namespace {

void pressKey(int key, const QString& text = QString()) {
    for (QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
        QWidget* target = QApplication::focusWidget();
        if (!target) target = QApplication::activeWindow();
        if (!target) return;
        QKeyEvent event(type, key, Qt::NoModifier, text);
        QApplication::sendEvent(target, &event);
    }
}

void typeText(const std::string& text) {
    for (char c : text)
        pressKey(std::toupper(static_cast<unsigned char>(c)),
                 QString(QChar(static_cast<char16_t>(static_cast<unsigned char>(c)))));
}

void printBoxes(const TRecordingDialogService& dialogs) {
    for (const TDialogBox& box : dialogs.Boxes())
        std::printf("box: %s\n", box.Text.c_str());
    std::fflush(stdout);
}

int usage() {
    std::fprintf(stderr, "usage: window_session connect USER PASSWORD COMPANY | f2 [DATABASE]\n");
    return 2;
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc < 2) return usage();
    const std::string mode = argv[1];
    if (!(mode == "connect" && argc == 5) && !(mode == "f2" && (argc == 2 || argc == 3)))
        return usage();

    TRecordingDialogService dialogs;
    TScopedDialogService installed(&dialogs);
    int status = 0;
    {
        TApplication application(argc, argv);
        Application->Initialize();
        Application->CreateForm(fcontavtascontado);
        QTimer::singleShot(0, [&] {
            QWidget* window = fcontavtascontado->Widget();
            window->activateWindow();
            if (!QTest::qWaitForWindowActive(window)) {
                std::printf("the window did not become active\n");
                status = 4;
                Application->Terminate();
                return;
            }
            if (mode == "f2") {
                if (argc == 3) fcontavtascontado->Talvero->Params().SetValues("Database", argv[2]);
                const auto start = std::chrono::steady_clock::now();
                pressKey(Qt::Key_F2);
                const auto took = std::chrono::steady_clock::now() - start;
                printBoxes(dialogs);
                std::printf(
                    "f2: %lld ms\n",
                    static_cast<long long>(
                        std::chrono::duration_cast<std::chrono::milliseconds>(took).count()));
                std::fflush(stdout);
                fcontavtascontado->Close();
                return;
            }
            fcontavtascontado->Servidor->SetFocus();
            pressKey(Qt::Key_Return, QStringLiteral("\r"));
            for (int field = 2; field <= 4; ++field) {
                typeText(argv[field]);
                pressKey(Qt::Key_Return, QStringLiteral("\r"));
            }
            if (!fcontavtascontado->Talvero->Connected()) {
                printBoxes(dialogs);
                status = 3;
                fcontavtascontado->Close();
                return;
            }
            std::printf("connected\n");
            std::fflush(stdout);
        });
        Application->Run();
    }
    return status;
}
