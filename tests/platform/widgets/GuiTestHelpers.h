#pragma once
// Helpers of the GUI tests: environment variables set for one test, windows
// shown and activated on the offscreen platform, keys sent as a keyboard
// would send them to the focused widget.

#include "platform/DateUtils.h"
#include "platform/Dialogs.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <optional>
#include <string>

namespace guitest {

// Sets (or, with nullopt, unsets) an environment variable and restores it.
class ScopedEnv {
public:
    ScopedEnv(const char* name, std::optional<std::string> value) : FName(name) {
        if (const char* old = std::getenv(name)) FOld = old;
        if (value)
            setenv(name, value->c_str(), 1);
        else
            unsetenv(name);
    }
    ~ScopedEnv() {
        if (FOld)
            setenv(FName, FOld->c_str(), 1);
        else
            unsetenv(FName);
    }

private:
    const char* FName;
    std::optional<std::string> FOld;
};

// Shows a window and waits until it is the active one.
inline void ShowActive(QWidget* window) {
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window)) << "the window did not become active";
}

// The widget a key goes to: the focus widget, else the active window.
inline QWidget* KeyTarget() {
    if (QWidget* w = QApplication::focusWidget()) return w;
    return QApplication::activeWindow();
}

// Presses and releases a key at the focused widget, with the text a keyboard
// gives it ("\r" for Enter, "\x1b" for Esc, the letter for a letter key).
inline void PressKey(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
                     const QString& text = QString()) {
    QString t = text;
    if (t.isNull()) {
        switch (key) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            t = QStringLiteral("\r");
            break;
        case Qt::Key_Escape:
            t = QStringLiteral("\x1b");
            break;
        case Qt::Key_Tab:
            t = QStringLiteral("\t");
            break;
        case Qt::Key_Backspace:
            t = QStringLiteral("\b");
            break;
        default:
            if (key >= Qt::Key_Space && key <= Qt::Key_AsciiTilde) {
                QChar c(key);
                t = (modifiers & Qt::ShiftModifier) ? QString(c) : QString(c).toLower();
            }
        }
    }
    QWidget* target = KeyTarget();
    ASSERT_NE(target, nullptr);
    QKeyEvent press(QEvent::KeyPress, key, modifiers, t);
    QApplication::sendEvent(target, &press);
    target = KeyTarget();
    if (!target) return;
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, t);
    QApplication::sendEvent(target, &release);
}

// Runs open, which shows a modal window and returns when it closes, and
// runs script from inside that window's loop once the window is shown and
// active. The window is closed afterwards if the script left it open.
// Fails, and closes the window, when none comes up within 10 seconds; so a
// test never hangs on a modal loop. Returns whether the script ran.
inline bool WhileModal(const std::function<void()>& open,
                       const std::function<void(QWidget* modal)>& script) {
    bool ran = false;
    QElapsedTimer clock;
    clock.start();
    QTimer poll;
    poll.setInterval(10);
    // Closes what the script left open, from the window's own loop: a script
    // that ended the loop leaves it nothing to do.
    QTimer closer;
    closer.setSingleShot(true);
    closer.setInterval(50);
    QPointer<QWidget> shown;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (shown && shown->isVisible()) shown->close();
    });
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QPointer<QWidget> modal = QApplication::activeModalWidget();
        const bool up = modal && modal->isVisible() && modal->isActiveWindow();
        if (!up) {
            if (clock.elapsed() < 10000) return;
            poll.stop();
            ADD_FAILURE() << "no modal window came up and became active";
            if (modal) modal->close();
            return;
        }
        poll.stop();
        shown = modal;
        script(modal);
        ran = true;
        closer.start();
    });
    poll.start();
    open();
    poll.stop();
    closer.stop();
    return ran;
}

// Installs a recording dialog service and the C regional settings for one
// test, restoring what was there.
class DialogAndSettings {
public:
    DialogAndSettings() : FGuard(&Dialogs), FSettings(FormatSettings) {
        FormatSettings = DefaultFormatSettings();
    }
    ~DialogAndSettings() { FormatSettings = FSettings; }
    TRecordingDialogService Dialogs;

private:
    TScopedDialogService FGuard;
    TFormatSettings FSettings;
};

} // namespace guitest
