#pragma once
// TForm: a window of the program, and the dispatcher of its keys and focus.
//
// A form class builds its components in its constructor between BeginLoad
// and EndLoad (its form description) and calls DoCreate last, which runs
// OnCreate; an exception there goes to the default display and the form is
// kept, as the suite does.
//
// Keys. An event filter on the application takes every key event meant for a
// widget of this window before the widget does, translates it, and runs, in
// this order: the focused control's PreProcessKey, which may take the key
// whole; the dialog keys (Tab, and the arrows of controls that do not
// claim them, move the focus); the form's OnKeyDown when KeyPreview is on;
// the focused control's KeyDown; then for a typed character the form's
// OnKeyPress (KeyPreview) and the control's KeyPress. A key-down handler that
// sets Key to 0 keeps the key from the control; as on the suite's home
// platform the character of the key still comes to OnKeyPress. A key-press
// handler that sets Key to 0 swallows the character; one that changes it
// hands the control the new character. Keys in other windows (message
// boxes, the popups of combo boxes and date pickers) are not seen.
//
// Focus. The form keeps its ActiveControl. When the focus moves between
// controls of this window, OnExit runs on the control left (and on each
// container left with it), then OnEnter on the control entered (containers
// first). A switch to another application or window, or to a popup, and
// back, runs neither.
//
// The Width and Height of a form's TControl part are its client size; the
// size with the window frame is OuterWidth and OuterHeight.
//
// Scaling. A form description gives pixels at PixelsPerInch (96). When it
// has loaded, a Scaled form whose resolution differs from the screen's is
// scaled to it with ChangeScale: bounds, fonts and what each control scales
// of its own.
//
// Dialog keys. Enter and Esc that neither the key preview nor the focused
// control took, and that the control does not claim (dlgcWantAllKeys), are
// offered to the form's controls (DialogKey): a focused button takes Enter,
// a Cancel button Esc. A key taken that way types no character.
//
// Modal. ShowModal shows the form above the others, which take no input
// meanwhile, and runs a loop of its own until ModalResult is set (a button's
// ModalResult does it), the form is closed (mrCancel) or the application
// terminates (mrCancel). OnClose then runs; the action caNone keeps the form
// open, every other hides it. The window that was active before is active
// again afterwards.

#include "platform/widgets/TWinControl.h"

class QEventLoop;
class QKeyEvent;
class FormKeyFilter;

// The border of a form. bsSizeable is the default: a sizable window with
// minimise and maximise buttons. bsDialog: the client size is fixed, and the
// title bar has only the close button.
enum TFormBorderStyle { bsSizeable, bsDialog };

enum TPosition {
    poDesigned,
    poDefault,
    poDefaultPosOnly,
    poDefaultSizeOnly,
    poScreenCenter,
    poDesktopCenter,
    poMainFormCenter,
    poOwnerFormCenter,
};

// The logical pixels per inch of the primary screen, or the value set with
// SetScreenPixelsPerInch (0 asks the screen again).
int ScreenPixelsPerInch();
void SetScreenPixelsPerInch(int value);

class TForm : public TWinControl {
public:
    explicit TForm(TComponent* owner);
    ~TForm() override;

    void SetClientWidth(int value) { SetBounds(Left(), Top(), value, Height()); }
    void SetClientHeight(int value) { SetBounds(Left(), Top(), Width(), value); }
    int OuterWidth() const;
    int OuterHeight() const;

    bool KeyPreview() const { return FKeyPreview; }
    void SetKeyPreview(bool value) { FKeyPreview = value; }
    TPosition Position() const { return FPosition; }
    void SetPosition(TPosition value) { FPosition = value; }
    TFormBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TFormBorderStyle value);

    // Shows the form modal and returns its ModalResult. Raises
    // EInvalidOperation "Cannot make a visible window modal" when it is
    // shown already.
    int ShowModal();
    bool Modal() const { return FModalLoop != nullptr; }
    // Not 0 while the form is modal: ends ShowModal with that result.
    int ModalResult() const { return FModalResult; }
    void SetModalResult(int value);

    // The control that has (or, while the window is not active, will get)
    // the focus; null when no control has it.
    TWinControl* ActiveControl() const { return FActiveControl; }
    void SetActiveControl(TWinControl* control);
    // The window is the active one of the application.
    bool Active() const;

    // Showing the form the first time places it by Position and gives the
    // focus to the first control in tab order when none is active.
    void SetVisible(bool value) override;
    // A modal form: sets ModalResult to mrCancel, which closes it as told
    // above. Otherwise runs OnClose with the action caHide. caNone keeps the
    // window open; for the application's main form every other action ends
    // the application's loop; otherwise caHide hides the form, caMinimize
    // minimises it and caFree frees it once the current event is handled.
    void Close();
    // Frees the form once the current event is handled.
    void Release();
    // Between BeginLoad and EndLoad.
    bool Loading() const { return FLoading; }
    bool Scaled() const { return FScaled; }
    void SetScaled(bool value) { FScaled = value; }
    int PixelsPerInch() const { return FPixelsPerInch; }
    void SetPixelsPerInch(int value) { FPixelsPerInch = value; }

    TNotifyEvent OnCreate;
    TCloseEvent OnClose;

protected:
    void BeginLoad() { FLoading = true; }
    // Fixes the tab order given while loading, scales the form to the
    // screen's resolution, tells every owned component it is Loaded and
    // aligns the controls.
    void EndLoad();
    void DoCreate();

    void WndProc(TMessage& message) override;
    bool widgetEvent(QEvent* event) override;
    void boundsChanged(bool resized) override;
    void updatePalette() override;
    void applyText(const std::string& text) override;

private:
    friend class TWinControl;
    friend class FormKeyFilter;
    void focusControl(TWinControl* control);
    void controlDestroying(TWinControl* control);
    void focusChanged(QWidget* now);
    void setFocusedControl(TWinControl* control);
    // A key press in three steps: the focused control's PreProcessKey; the
    // key down (focus keys, the form's and the control's KeyDown, Enter and
    // Esc as dialog keys); the character typed. Each step answers true when
    // the key is used up; the character step answers for the whole event.
    struct KeyDispatch;
    KeyDispatch keyDispatch(QWidget* receiver, QKeyEvent* event);
    bool dispatchKeyPress(QWidget* receiver, QKeyEvent* event);
    bool preProcessKey(KeyDispatch& k, const QKeyEvent* event);
    bool keyDown(KeyDispatch& k, bool& stopped);
    bool focusKey(const KeyDispatch& k, unsigned codes);
    bool typeCharacter(KeyDispatch& k, QKeyEvent* event, bool keyDownStopped);
    bool dispatchKeyRelease(QWidget* receiver, QKeyEvent* event);
    void placeWindow();
    TCloseAction closeForm();
    void applyBorderStyle();

    FormKeyFilter* FKeyFilter;
    TWinControl* FActiveControl = nullptr;
    bool FKeyPreview = false;
    TPosition FPosition = poDesigned;
    TFormBorderStyle FBorderStyle = bsSizeable;
    int FModalResult = 0;
    QEventLoop* FModalLoop = nullptr;
    bool FLoading = false;
    bool FScaled = true;
    int FPixelsPerInch = 96;
    bool FShownOnce = false;
    bool FDestroying = false;
    bool FResending = false;
};
