#include "platform/widgets/TForm.h"

#include "platform/CodePage.h"
#include "platform/Dialogs.h"
#include "platform/Exceptions.h"
#include "platform/widgets/TApplication.h"

#include <QApplication>
#include <QEventLoop>
#include <QKeyEvent>
#include <QPointer>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <algorithm>
#include <cassert>

// Takes the key events of the form's window from the application before any
// widget sees them, and follows the focus.
class FormKeyFilter : public QObject {
public:
    explicit FormKeyFilter(TForm* form) : FForm(form) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type type = event->type();
        if (type != QEvent::KeyPress && type != QEvent::KeyRelease) return false;
        if (FForm->FResending || FForm->FDestroying) return false;
        auto* widget = qobject_cast<QWidget*>(watched);
        QWidget* window = FForm->Widget();
        if (!widget || widget->window() != window) return false;
        // Qt offers an event the focus widget leaves to each parent in turn;
        // only the first delivery is the key itself.
        QWidget* first = window->focusWidget();
        if (!first) first = window;
        if (widget != first) return false;
        auto* key = static_cast<QKeyEvent*>(event);
        return type == QEvent::KeyPress ? FForm->dispatchKeyPress(widget, key)
                                        : FForm->dispatchKeyRelease(widget, key);
    }

private:
    TForm* FForm;
};

namespace {

// The typed character of a key event in Windows-1252, as the suite's key
// press handlers take it; false for keys that type nothing there.
bool characterOf(const QKeyEvent* event, char& ch) {
    const QString text = event->text();
    if (text.size() != 1) return false;
    if (event->key() == Qt::Key_Delete) return false;
    // Alt with a letter is a menu key, not a character; Ctrl+Alt is AltGr.
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    const bool alt = event->modifiers() & Qt::AltModifier;
    if (alt && !ctrl) return false;
    // Ctrl types only the control characters (Ctrl+V is 22); Ctrl with a
    // key that has none, Ctrl+' for one, types nothing, as on the suite's
    // home platform, where Qt would give the key's own character.
    if (ctrl && !alt && text.at(0).unicode() >= 32) return false;
    const std::string utf8 = text.toStdString();
    const std::string bytes = Utf8ToWin1252(utf8);
    if (bytes.size() != 1) return false;
    if (bytes[0] == '?' && utf8 != "?") return false;
    ch = bytes[0];
    return true;
}

TWinControl* focusTarget(TForm* form, QWidget* widget) {
    for (TControl* c = TControl::FromWidget(widget); c; c = c->Parent())
        if (auto* w = dynamic_cast<TWinControl*>(c)) return w;
    return form;
}

} // namespace

TForm::TForm(TComponent* owner)
    : TWinControl(owner, new QWidget), FKeyFilter(new FormKeyFilter(this)) {
    assert(qApp && "forms need the application object");
    FVisible = false;
    FWidget->setAttribute(Qt::WA_QuitOnClose, false);
    FWidget->setFocusPolicy(Qt::NoFocus);
    SetColor(clBtnFace);
    SetFont(TFont());
    qApp->installEventFilter(FKeyFilter);
    QObject::connect(qApp, &QApplication::focusChanged, FKeyFilter,
                     [this](QWidget*, QWidget* now) { focusChanged(now); });
}

TForm::~TForm() {
    FDestroying = true;
    if (Application) Application->formDestroying(this);
    // The filter goes first, so that no key or focus change reaches a form
    // that is half destroyed.
    delete FKeyFilter;
    FKeyFilter = nullptr;
    FActiveControl = nullptr;
}

int TForm::OuterWidth() const {
    return FWidget->frameGeometry().width();
}
int TForm::OuterHeight() const {
    return FWidget->frameGeometry().height();
}

bool TForm::Active() const {
    return FWidget->isActiveWindow();
}

void TForm::SetActiveControl(TWinControl* control) {
    if (!control) {
        if (FActiveControl && FWidget->isActiveWindow()) FWidget->setFocus();
        FActiveControl = nullptr;
        return;
    }
    control->SetFocus();
}

void TForm::focusControl(TWinControl* control) {
    if (control == this) {
        FWidget->setFocus(Qt::OtherFocusReason);
        return;
    }
    if (FWidget->isActiveWindow() && FWidget->isVisible()) {
        // Qt reports the change through focusChanged, which runs the exit
        // and enter events.
        control->Widget()->setFocus(Qt::OtherFocusReason);
        if (FActiveControl != control && control->Focused()) setFocusedControl(control);
        return;
    }
    // Not the active window: Qt gives the widget the focus when the window
    // becomes active, and no control is left or entered before that.
    control->Widget()->setFocus(Qt::OtherFocusReason);
    FActiveControl = control;
}

void TForm::controlDestroying(TWinControl* control) {
    if (FActiveControl && control->ContainsControl(FActiveControl)) FActiveControl = nullptr;
}

void TForm::focusChanged(QWidget* now) {
    if (FDestroying || !now || now->window() != FWidget) return;
    TWinControl* target = focusTarget(this, now);
    setFocusedControl(target == this ? nullptr : target);
}

void TForm::setFocusedControl(TWinControl* control) {
    if (control == FActiveControl) return;
    TWinControl* old = FActiveControl;
    FActiveControl = control;
    std::vector<TWinControl*> exits;
    for (TWinControl* c = old; c && c != this && !(control && c->ContainsControl(control));
         c = c->Parent())
        exits.push_back(c);
    std::vector<TWinControl*> enters;
    for (TWinControl* c = control; c && c != this && !(old && c->ContainsControl(old));
         c = c->Parent())
        enters.insert(enters.begin(), c);
    // A handler that moves the focus again starts a change of its own; this
    // one then stops. One that raises ends it too, as on the suite's home
    // platform, and the focus stays where it went.
    try {
        for (TWinControl* c : exits) {
            c->DoExit();
            if (FActiveControl != control) return;
        }
        for (TWinControl* c : enters) {
            c->DoEnter();
            if (FActiveControl != control) return;
        }
    } catch (const std::exception& e) {
        ShowException(e);
    }
}

// What one key event's steps share. Any handler may destroy the form or the
// focused control (closing a window, freeing an editor); once either is gone
// no further step runs and the key counts as used.
struct TForm::KeyDispatch {
    TWinControl* Control;
    uint16_t Key;
    TShiftState Shift;
    QPointer<QWidget> Receiver;
    QPointer<QObject> FormAlive;

    bool Alive() const { return FormAlive && Receiver; }
};

TForm::KeyDispatch TForm::keyDispatch(QWidget* receiver, QKeyEvent* event) {
    return KeyDispatch{focusTarget(this, receiver),
                       VirtualKeyFromQt(event->key(), event->modifiers()),
                       ShiftStateFromQt(event->modifiers(), QApplication::mouseButtons()),
                       receiver, FKeyFilter};
}

bool TForm::dispatchKeyPress(QWidget* receiver, QKeyEvent* event) {
    KeyDispatch k = keyDispatch(receiver, event);
    try {
        if (preProcessKey(k, event)) return true;
        bool keyDownStopped = false;
        if (k.Key != 0 && keyDown(k, keyDownStopped)) return true;
        return typeCharacter(k, event, keyDownStopped);
    } catch (const std::exception& e) {
        if (k.FormAlive) FResending = false;
        ShowException(e);
        return true;
    }
}

bool TForm::preProcessKey(KeyDispatch& k, const QKeyEvent* event) {
    if (k.Control == this) return false;
    char typedChar = 0;
    if (!characterOf(event, typedChar)) typedChar = 0;
    if (k.Control->PreProcessKey(k.Key, k.Shift, typedChar)) return true;
    return !k.Alive();
}

bool TForm::keyDown(KeyDispatch& k, bool& stopped) {
    const unsigned codes = k.Control->DialogCodes();
    if (focusKey(k, codes)) return true;
    if (FKeyPreview && k.Control != this) KeyDown(k.Key, k.Shift);
    if (!k.Alive()) return true;
    if (k.Key != 0) k.Control->KeyDown(k.Key, k.Shift);
    if (!k.Alive()) return true;
    stopped = k.Key == 0;
    return (k.Key == VK_RETURN || k.Key == VK_ESCAPE) && !(codes & dlgcWantAllKeys) &&
           DialogKey(k.Key, k.Shift);
}

bool TForm::focusKey(const KeyDispatch& k, unsigned codes) {
    const bool ctrlOrAlt = k.Shift & (ssCtrl | ssAlt);
    if (ctrlOrAlt) return false;
    if (k.Key == VK_TAB && !(codes & (dlgcWantTab | dlgcWantAllKeys))) {
        SelectNext(FActiveControl ? FActiveControl : k.Control, !(k.Shift & ssShift), true);
        return true;
    }
    const bool arrow =
        k.Key == VK_LEFT || k.Key == VK_RIGHT || k.Key == VK_UP || k.Key == VK_DOWN;
    if (arrow && k.Control != this && k.Control->Parent() &&
        !(codes & (dlgcWantArrows | dlgcWantAllKeys))) {
        k.Control->Parent()->SelectNext(k.Control, k.Key == VK_RIGHT || k.Key == VK_DOWN, false);
        return true;
    }
    return false;
}

bool TForm::typeCharacter(KeyDispatch& k, QKeyEvent* event, bool keyDownStopped) {
    char ch = 0;
    if (!characterOf(event, ch)) return keyDownStopped;
    const char typed = ch;
    if (FKeyPreview && k.Control != this) KeyPress(ch);
    if (!k.Alive()) return true;
    if (ch != 0) k.Control->KeyPress(ch);
    if (!k.Alive() || ch == 0) return true;
    if (!keyDownStopped && ch == typed) return false;
    // The control gets the character the handlers left, without the key's
    // own action when a key-down handler kept that.
    QKeyEvent changed(QEvent::KeyPress, keyDownStopped ? Qt::Key_unknown : event->key(),
                      event->modifiers(),
                      QString::fromStdString(Win1252ToUtf8(std::string(1, ch))),
                      event->isAutoRepeat(), event->count());
    FResending = true;
    QApplication::sendEvent(k.Receiver, &changed);
    if (k.FormAlive) FResending = false;
    return true;
}

bool TForm::dispatchKeyRelease(QWidget* receiver, QKeyEvent* event) {
    KeyDispatch k = keyDispatch(receiver, event);
    if (k.Key == 0) return false;
    try {
        if (FKeyPreview && k.Control != this) KeyUp(k.Key, k.Shift);
        if (!k.Alive()) return true;
        if (k.Key != 0) k.Control->KeyUp(k.Key, k.Shift);
        return !k.Alive() || k.Key == 0;
    } catch (const std::exception& e) {
        ShowException(e);
        return true;
    }
}

void TForm::SetVisible(bool value) {
    if (value == FVisible && value == FWidget->isVisible()) return;
    FVisible = value;
    if (!value) {
        FWidget->hide();
        // Hiding a modal form ends its loop.
        if (FModalLoop && FModalResult == mrNone) SetModalResult(mrCancel);
        return;
    }
    if (!FShownOnce) {
        FShownOnce = true;
        placeWindow();
        if (!FActiveControl) {
            if (TWinControl* first = FindNextControl(nullptr, true, true, false))
                focusControl(first);
        }
    }
    FWidget->show();
    FWidget->activateWindow();
}

void TForm::placeWindow() {
    if (FPosition != poScreenCenter && FPosition != poDesktopCenter) return;
    QScreen* screen = FWidget->screen() ? FWidget->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    QRect area = FPosition == poDesktopCenter ? screen->virtualGeometry() : screen->geometry();
    // The frame is known once the window exists (with a window manager only
    // once it is mapped; then the placement is off by the frame's size).
    FWidget->winId();
    QMargins frame;
    if (QWindow* w = FWidget->windowHandle()) frame = w->frameMargins();
    int outerWidth = Width() + frame.left() + frame.right();
    int outerHeight = Height() + frame.top() + frame.bottom();
    SetBounds(area.x() + (area.width() - outerWidth) / 2,
              area.y() + (area.height() - outerHeight) / 2, Width(), Height());
}

void TForm::Close() {
    if (FModalLoop) {
        SetModalResult(mrCancel);
        return;
    }
    closeForm();
}

void TForm::SetModalResult(int value) {
    FModalResult = value;
    if (FModalLoop && value != mrNone) FModalLoop->quit();
}

int TForm::ShowModal() {
    if (FModalLoop || FWidget->isVisible())
        throw EInvalidOperation("Cannot make a visible window modal");
    QPointer<QWidget> previous = QApplication::activeWindow();
    QPointer<QObject> alive(FKeyFilter);
    FModalResult = mrNone;
    FWidget->setWindowModality(Qt::ApplicationModal);
    // Kept above the window it was opened from.
    if (previous && previous != FWidget) {
        FWidget->winId();
        if (QWindow* own = FWidget->windowHandle())
            own->setTransientParent(previous->windowHandle());
    }
    QEventLoop loop;
    FModalLoop = &loop;
    if (Application) Application->FModalLoops.push_back(&loop);
    struct LoopEnd {
        QEventLoop* Loop;
        ~LoopEnd() {
            if (!Application) return;
            auto& loops = Application->FModalLoops;
            loops.erase(std::remove(loops.begin(), loops.end(), Loop), loops.end());
        }
    } end{&loop};
    try {
        Show();
        while (alive) {
            if (Application && Application->Terminated()) FModalResult = mrCancel;
            if (FModalResult != mrNone) {
                TCloseAction action = caHide;
                if (OnClose) OnClose(this, action);
                if (!alive) break;
                if (action != caNone) break;
                FModalResult = mrNone;
            }
            loop.exec();
        }
    } catch (...) {
        if (alive) {
            FModalLoop = nullptr;
            Hide();
            FWidget->setWindowModality(Qt::NonModal);
        }
        throw;
    }
    // A handler that freed the form ends its modal life.
    if (!alive) return mrCancel;
    FModalLoop = nullptr;
    Hide();
    FWidget->setWindowModality(Qt::NonModal);
    // While it names the window below as its parent, Qt counts that window
    // as active already and would not activate it.
    if (QWindow* own = FWidget->windowHandle()) own->setTransientParent(nullptr);
    if (previous && previous->isVisible()) previous->activateWindow();
    return FModalResult;
}

void TForm::SetBorderStyle(TFormBorderStyle value) {
    FBorderStyle = value;
    applyBorderStyle();
}

void TForm::applyBorderStyle() {
    if (FBorderStyle == bsDialog) {
        FWidget->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                                Qt::MSWindowsFixedSizeDialogHint);
        FWidget->setFixedSize(Width(), Height());
    } else {
        FWidget->setWindowFlags(Qt::Window);
        FWidget->setMinimumSize(0, 0);
        FWidget->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    }
}

void TForm::boundsChanged(bool resized) {
    TWinControl::boundsChanged(resized);
    // A dialog's size changes only when the program sets it.
    if (resized && FBorderStyle == bsDialog) FWidget->setFixedSize(Width(), Height());
}

TCloseAction TForm::closeForm() {
    TCloseAction action = caHide;
    if (OnClose) OnClose(this, action);
    if (action == caNone) return action;
    if (Application && Application->MainForm() == this) {
        Hide();
        Application->Terminate();
        return action;
    }
    switch (action) {
    case caHide:
        Hide();
        break;
    case caMinimize:
        FWidget->showMinimized();
        break;
    case caFree:
        Release();
        break;
    default:
        break;
    }
    return action;
}

void TForm::Release() {
    Hide();
    QPointer<QObject> alive(FKeyFilter);
    QMetaObject::invokeMethod(
        qApp,
        [alive, this] {
            if (alive) delete this;
        },
        Qt::QueuedConnection);
}

void TForm::applyText(const std::string& text) {
    TWinControl::applyText(text);
    FWidget->setWindowTitle(QString::fromStdString(text));
}

namespace {
int screenPixelsPerInchSet = 0;
} // namespace

int ScreenPixelsPerInch() {
    if (screenPixelsPerInchSet > 0) return screenPixelsPerInchSet;
    QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? qRound(screen->logicalDotsPerInchY()) : 96;
}

void SetScreenPixelsPerInch(int value) {
    screenPixelsPerInchSet = value;
}

void TForm::EndLoad() {
    fixupTabList();
    // Scaling is part of loading: components that wait for the end of it
    // see the scaled settings once.
    if (FScaled) {
        const int screen = ScreenPixelsPerInch();
        if (screen != FPixelsPerInch) ChangeScale(screen, FPixelsPerInch);
    }
    FLoading = false;
    for (int i = 0; i < ComponentCount(); ++i)
        Components(i)->Loaded();
    Realign();
}

void TForm::DoCreate() {
    if (!OnCreate) return;
    // The form is kept whatever OnCreate raises.
    try {
        OnCreate(this);
    } catch (const std::exception& e) {
        ShowException(e);
    }
}

void TForm::WndProc(TMessage& message) {
    if (message.Msg == WM_NEXTDLGCTL) {
        if (message.LParam != 0) {
            if (auto* c = reinterpret_cast<TWinControl*>(message.WParam)) c->SetFocus();
        } else {
            SelectNext(FActiveControl, message.WParam == 0, true);
        }
        return;
    }
    TWinControl::WndProc(message);
}

bool TForm::widgetEvent(QEvent* event) {
    switch (event->type()) {
    case QEvent::Close: {
        // The system close command closes the form as Close does; a modal
        // form's loop hides it.
        if (FModalLoop) {
            SetModalResult(mrCancel);
            event->ignore();
            return true;
        }
        TCloseAction action = caNone;
        try {
            action = closeForm();
        } catch (const std::exception& e) {
            ShowException(e);
        }
        event->setAccepted(action != caNone);
        return true;
    }
    case QEvent::Resize: {
        QSize s = FWidget->size();
        if (s.width() != Width() || s.height() != Height())
            setAlignedBounds(Left(), Top(), s.width(), s.height());
        return false;
    }
    case QEvent::WindowActivate:
        // Coming back to the window (or showing it) puts the focus where the
        // form keeps it, whatever Qt remembered.
        if (FActiveControl && !FActiveControl->Focused() && FActiveControl->CanFocus())
            FActiveControl->Widget()->setFocus(Qt::ActiveWindowFocusReason);
        return false;
    case QEvent::Move: {
        QPoint p = FWidget->frameGeometry().topLeft();
        FLeft = p.x();
        FTop = p.y();
        return false;
    }
    default:
        return false;
    }
}

void TForm::updatePalette() {
    QPalette p = ClassicPalette();
    QColor text = ToQColor(Font().Color());
    for (auto group : {QPalette::Active, QPalette::Inactive})
        for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
            p.setColor(group, role, text);
    p.setColor(QPalette::Window, ToQColor(Color()));
    FWidget->setPalette(p);
}
