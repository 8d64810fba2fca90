#pragma once
// TEditButtonControl: one button of the grid's cell editor, a child widget
// of the editor standing right of its text. It paints as its style says: a
// combo box's drop-down button with a down arrow (ebsDropDown), an ellipsis,
// up and down arrows, or the alternate forms of these; a button in a flat
// grid shows no edge. A drop-down button shows pressed while the mouse
// holds it and while its drop-down is open (Pressed).
//
// The editor decides what the mouse does; the button reports the left
// button's press (a double-click counts as a press), the pointer dragged
// while the button holds the mouse, and the release, over the button or
// elsewhere. A drag the editor takes over (DragTo returns true) leaves the
// button up; the release of that drag is reported all the same.

#include "grid/EditStyles.h"
#include "platform/widgets/TSpeedButton.h"

#include <QPoint>

#include <functional>

class TEditButtonControl : public TSpeedButton {
public:
    explicit TEditButtonControl(TComponent* owner);

    TEditButtonStyle Style() const { return FStyle; }
    void SetStyle(TEditButtonStyle value);
    bool Pressed() const { return FPressed; }
    void SetPressed(bool value);
    // Drawn pressed now: held by the mouse or Pressed.
    bool ShowsPressed() const;

    std::function<void()> OnLeftDown;
    // Points on the screen.
    std::function<bool(QPoint global)> DragTo;
    std::function<void(QPoint global, bool overButton)> OnLeftUp;

protected:
    void Paint(QPainter& canvas) override;
    bool widgetEvent(QEvent* event) override;

private:
    void paintArrow(QPainter& canvas, const TRect& area, bool up, int shift) const;
    bool held() const;

    TEditButtonStyle FStyle = ebsDropDown;
    bool FPressed = false;
    bool FDragTaken = false;
};
