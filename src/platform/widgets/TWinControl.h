#pragma once
// TWinControl: a control that can hold the focus and other controls.
//
// Children. Every control whose Parent is this one is listed in creation
// order (Controls); the ones that can hold the focus are also listed in tab
// order. Destroying a parent destroys its children first, whoever owns them.
//
// Alignment. Realign places the visible aligned children in the client area
// (ClientRect, narrowed by AdjustClientRect): first the alTop ones from the
// top down, ordered by Top, then alBottom from the bottom up, ordered by
// their bottom edge, then alLeft, alRight, and alClient in what is left.
// Controls at the same place keep their creation order.
//
// Keys and focus are dispatched by the form (TForm): PreProcessKey first,
// then the form's key preview, then KeyDown and KeyPress here, then the
// widget. Tab and the arrow
// keys move the focus unless DialogCodes claims them.

#include "platform/widgets/TControl.h"

#include <vector>

class TWinControl : public TControl {
public:
    ~TWinControl() override;

    int ControlCount() const { return static_cast<int>(FControls.size()); }
    TControl* Controls(int index) const { return FControls.at(index); }
    // This control or one of its descendants.
    bool ContainsControl(const TControl* control) const;

    // The place among the parent's focusable children; setting it moves the
    // control there and the others after it down by one. While the form is
    // loading the value is kept and the order is fixed when loading ends.
    int TabOrder() const;
    void SetTabOrder(int value);
    bool TabStop() const { return FTabStop; }
    void SetTabStop(bool value);

    // Visible and enabled, and so are the parents up to the form.
    bool CanFocus() const;
    bool Focused() const;
    // Raises EInvalidOperation "Cannot focus a disabled or invisible window"
    // when the control cannot take the focus.
    virtual void SetFocus();

    // This control's descendants in tab order, each container before its own.
    void GetTabOrderList(std::vector<TWinControl*>& list) const;
    // The next (or previous) control after current in that list, wrapping
    // around: one that can focus, is a tab stop when checkTabStop, is a direct
    // child when checkParent. Null when there is none.
    TWinControl* FindNextControl(TWinControl* current, bool goForward, bool checkTabStop,
                                 bool checkParent) const;
    void SelectNext(TWinControl* current, bool goForward, bool checkTabStop);

    // Places the aligned children again.
    void Realign();

    // Scales the children, then this control, then aligns the children in
    // the new client area.
    void ChangeScale(int M, int D) override;

    // Keys a control claims from the form's dialog handling.
    enum : unsigned { dlgcWantArrows = 1, dlgcWantTab = 2, dlgcWantAllKeys = 4, dlgcWantChars = 8 };
    virtual unsigned DialogCodes() const { return dlgcWantArrows | dlgcWantChars; }
    // A dialog key (Enter, Esc) the focused control left: offered to the
    // children in turn, each container's before the next; true when one took
    // it (a button clicks).
    virtual bool DialogKey(uint16_t key, TShiftState shift);

    TNotifyEvent OnEnter;
    TNotifyEvent OnExit;
    TKeyEvent OnKeyDown;
    TKeyEvent OnKeyUp;
    TKeyPressEvent OnKeyPress;

    // The control's own look at a key before the form's dialog keys, key
    // preview and key events see it: ch is the character the key types, or
    // 0. A control whose open drop-down owns some keys takes them here and
    // returns true; the key, and its character, then go nowhere else.
    virtual bool PreProcessKey(uint16_t key, TShiftState shift, char ch) { return false; }

    // The key steps of the dispatch, in the order the form runs them.
    // Overrides call the inherited step to keep the events.
    virtual void KeyDown(uint16_t& key, TShiftState shift);
    virtual void KeyUp(uint16_t& key, TShiftState shift);
    virtual void KeyPress(char& key);
    // The focus came to this control (or a child) from another control of
    // the form, or left it for another.
    virtual void DoEnter();
    virtual void DoExit();

protected:
    TWinControl(TComponent* owner, QWidget* widget);

    // The widget children's widgets are placed in.
    virtual QWidget* clientWidget() const { return Widget(); }
    // Narrows the client area before the children are aligned in it.
    virtual void AdjustClientRect(TRect& rect) const {}
    virtual void AlignControls(TRect rect);

    void boundsChanged(bool resized) override;
    void visibleChanged() override;
    // A child was inserted or removed, moved, resized, shown or hidden.
    virtual void childrenChanged() {}

private:
    friend class TControl;
    friend class TForm;
    void insertControl(TControl* control);
    void removeControl(TControl* control);
    void fixupTabList();

    std::vector<TControl*> FControls;
    std::vector<TWinControl*> FTabList;
    bool FTabStop = false;
    int FLoadingTabOrder = -1;
    bool FAligning = false;
    bool FDestroying = false;
};
