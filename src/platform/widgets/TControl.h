#pragma once
// TControl: the base of every control. A control is a component drawn as one
// Qt widget, which it creates and owns; its parent control (not its owner)
// decides where it sits. Geometry is Left, Top, Width, Height in pixels
// relative to the parent's client area, kept here and handed to the widget,
// so that it reads back exactly as set whatever the widget would prefer.
//
// Subclasses create their widget and pass it to the constructor. Events that
// reach the widget are offered to widgetEvent first (see there), so that a
// subclass sees what it needs without a widget class of its own.

#include "platform/Classes.h"
#include "platform/widgets/Events.h"
#include "platform/widgets/Messages.h"
#include "platform/widgets/TColor.h"
#include "platform/widgets/TFont.h"
#include "platform/widgets/TRect.h"

#include <string>

class QEvent;
class QWidget;
class TForm;
class TWinControl;

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };

// number * numerator / denominator in 64 bits, rounded half away from zero:
// how sizes are scaled from one resolution to another. -1 for a denominator
// of 0.
int MulDiv(int number, int numerator, int denominator);

class TControl : public TComponent {
public:
    ~TControl() override;

    // The widget the control is drawn as.
    QWidget* Widget() const { return FWidget; }
    // The control a widget belongs to: the nearest one up the widget's parent
    // chain (an inner part of a combo box gives the combo box), or null.
    static TControl* FromWidget(const QWidget* widget);

    TWinControl* Parent() const { return FParent; }
    virtual void SetParent(TWinControl* parent);
    // The form the control sits on (the control itself for a form), or null.
    TForm* ParentForm() const;

    int Left() const { return FLeft; }
    int Top() const { return FTop; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    void SetLeft(int value) { SetBounds(value, FTop, FWidth, FHeight); }
    void SetTop(int value) { SetBounds(FLeft, value, FWidth, FHeight); }
    void SetWidth(int value) { SetBounds(FLeft, FTop, value, FHeight); }
    void SetHeight(int value) { SetBounds(FLeft, FTop, FWidth, value); }
    virtual void SetBounds(int left, int top, int width, int height);
    TRect BoundsRect() const { return Bounds(FLeft, FTop, FWidth, FHeight); }
    // The area children are placed in, from (0, 0).
    virtual TRect ClientRect() const { return Rect(0, 0, FWidth, FHeight); }
    int ClientWidth() const { return ClientRect().Width(); }
    int ClientHeight() const { return ClientRect().Height(); }

    // Aligned controls are placed by their parent (TWinControl::Realign).
    TAlign Align() const { return FAlign; }
    void SetAlign(TAlign value);

    bool Visible() const { return FVisible; }
    virtual void SetVisible(bool value);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    // On the screen: visible, and so are its parents and its window.
    bool Showing() const;
    bool Enabled() const { return FEnabled; }
    virtual void SetEnabled(bool value);

    // Caption and Text are one text: labels, panels and buttons call it a
    // caption, edit fields a text.
    std::string Caption() const { return currentText(); }
    void SetCaption(const std::string& value) { SetText(value); }
    std::string Text() const { return currentText(); }
    void SetText(const std::string& value);

    // With ParentFont (the default) the control shows its parent's font.
    const TFont& Font() const;
    void SetFont(const TFont& font);
    bool ParentFont() const { return FParentFont; }
    void SetParentFont(bool value);
    // With ParentColor the control shows its parent's colour.
    TColor Color() const;
    void SetColor(TColor value);
    bool ParentColor() const { return FParentColor; }
    void SetParentColor(bool value);

    // Sends a message to the control's own message handling, synchronously,
    // and returns its result.
    intptr_t Perform(unsigned msg, uintptr_t wParam, intptr_t lParam);
    // Paints the control now, before returning, instead of when the loop is
    // idle: for handlers that block the loop right after a change.
    void Repaint();
    // Asks for a paint when the loop is idle.
    void Invalidate();

    // Scales the control by M / D, e.g. from the design resolution of 96
    // pixels per inch to a screen of 120 (M 120, D 96): each edge of its
    // bounds and the point size of a font of its own, each with MulDiv.
    // Containers scale their children too and then align them again.
    virtual void ChangeScale(int M, int D);

    TNotifyEvent OnClick;

protected:
    // widget: a new widget without parent; the control takes it over.
    TControl(TComponent* owner, QWidget* widget);

    virtual void WndProc(TMessage& message);
    // Runs OnClick; exceptions go to the default display.
    virtual void Click();

    // Hooks for subclasses.
    virtual std::string currentText() const { return FText; }
    virtual void applyText(const std::string& text);
    virtual void applyFont();  // the effective font changed
    virtual void applyColor(); // the effective colour changed
    // Sets the widget's palette from the font colour and the colour the
    // control has of its own.
    virtual void updatePalette();
    virtual void boundsChanged(bool resized) {}
    virtual void visibleChanged() {}
    // Offered every event of the widget before the widget sees it; true keeps
    // it from the widget.
    virtual bool widgetEvent(QEvent* event) { return false; }

    // Tells the parent that an aligned control changed.
    void requestAlign();
    // Placement by the parent's alignment: geometry without asking for a new
    // alignment.
    void setAlignedBounds(int left, int top, int width, int height);
    const std::string& storedText() const { return FText; }

private:
    friend class TWinControl;
    friend class TForm;
    friend class ControlEventFilter;
    void updateWidgetGeometry();
    void propagateFontChange();
    void propagateColorChange();

    QWidget* FWidget;
    TWinControl* FParent = nullptr;
    int FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
    TAlign FAlign = alNone;
    bool FVisible = true;
    bool FEnabled = true;
    std::string FText;
    TFont FFont;
    bool FParentFont = true;
    TColor FColor = clBtnFace;
    bool FParentColor = true;
};
