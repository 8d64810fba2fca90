#pragma once
// TCustomControl: a control that paints itself and takes the mouse itself:
// the base of panels, the caption panel, the data grid and the navigator.
//
// Paint draws the whole control whenever Qt asks (the widget is double
// buffered by Qt, so nothing flickers). The mouse arrives translated: button,
// shift set and client coordinates (from ClientOrigin, which a control with
// a border of its own moves inside it); a double click is DblClick followed
// by a MouseDown with ssDouble. A click does not take the focus by itself: a
// control that wants it calls SetFocus in MouseDown. Handlers that raise are
// shown by the default display.

#include "platform/widgets/TWinControl.h"

class QPainter;
class ControlSurface;

class TCustomControl : public TWinControl {
public:
    explicit TCustomControl(TComponent* owner);
    ~TCustomControl() override;

    // Keys the control claims from the form's dialog handling: none unless a
    // subclass says so.
    unsigned DialogCodes() const override { return 0; }

    // Where the client area begins in the control's widget.
    virtual TPoint ClientOrigin() const { return {}; }

    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;

protected:
    virtual void Paint(QPainter& canvas) {}
    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseMove(TShiftState shift, int x, int y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    virtual void DblClick();
    // wheelDelta in the suite's units: 120 per notch, positive away from the
    // user; mousePos in client coordinates. True when the control used it.
    virtual bool DoMouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos) { return false; }

private:
    friend class ControlSurface;
};
