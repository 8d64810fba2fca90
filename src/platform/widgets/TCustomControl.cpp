#include "platform/widgets/TCustomControl.h"

#include "platform/Dialogs.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <QWidget>

// The widget of a custom control: hands painting and the mouse to it.
class ControlSurface : public QWidget {
public:
    ControlSurface() {
        setFocusPolicy(Qt::NoFocus);
        setMouseTracking(true);
    }
    TCustomControl* Control = nullptr;

protected:
    void paintEvent(QPaintEvent*) override {
        if (!Control) return;
        QPainter painter(this);
        HandleExceptions([&] { Control->Paint(painter); });
    }

    void mousePressEvent(QMouseEvent* e) override {
        TMouseButton button;
        if (!Control || !toButton(e->button(), button)) return;
        FPressed = FPressed || button == mbLeft;
        const QPoint p = clientPoint(e);
        HandleExceptions([&] { Control->MouseDown(button, shiftOf(e), p.x(), p.y()); });
    }

    void mouseDoubleClickEvent(QMouseEvent* e) override {
        TMouseButton button;
        if (!Control || !toButton(e->button(), button)) return;
        const QPoint p = clientPoint(e);
        HandleExceptions([&] {
            if (button == mbLeft) Control->DblClick();
            Control->MouseDown(button, shiftOf(e) | ssDouble, p.x(), p.y());
        });
    }

    void mouseMoveEvent(QMouseEvent* e) override {
        if (!Control) return;
        const QPoint p = clientPoint(e);
        HandleExceptions([&] { Control->MouseMove(shiftOf(e), p.x(), p.y()); });
    }

    void mouseReleaseEvent(QMouseEvent* e) override {
        TMouseButton button;
        if (!Control || !toButton(e->button(), button)) return;
        const bool click = button == mbLeft && FPressed && rect().contains(e->position().toPoint());
        const QPoint p = clientPoint(e);
        if (button == mbLeft) FPressed = false;
        HandleExceptions([&] {
            if (click) Control->Click();
            Control->MouseUp(button, shiftOf(e), p.x(), p.y());
        });
    }

    void wheelEvent(QWheelEvent* e) override {
        if (!Control) return;
        bool used = false;
        const TPoint origin = Control->ClientOrigin();
        const QPoint p = e->position().toPoint() - QPoint(origin.X, origin.Y);
        HandleExceptions([&] {
            used = Control->DoMouseWheel(ShiftStateFromQt(e->modifiers(), e->buttons()),
                                         e->angleDelta().y(), TPoint{p.x(), p.y()});
        });
        e->setAccepted(used);
    }

private:
    static bool toButton(Qt::MouseButton b, TMouseButton& out) {
        switch (b) {
        case Qt::LeftButton:
            out = mbLeft;
            return true;
        case Qt::RightButton:
            out = mbRight;
            return true;
        case Qt::MiddleButton:
            out = mbMiddle;
            return true;
        default:
            return false;
        }
    }
    QPoint clientPoint(const QMouseEvent* e) const {
        const TPoint origin = Control->ClientOrigin();
        return e->position().toPoint() - QPoint(origin.X, origin.Y);
    }
    static TShiftState shiftOf(const QMouseEvent* e) {
        return ShiftStateFromQt(e->modifiers(), e->buttons());
    }
    bool FPressed = false;
};

TCustomControl::TCustomControl(TComponent* owner) : TWinControl(owner, new ControlSurface) {
    static_cast<ControlSurface*>(Widget())->Control = this;
}

TCustomControl::~TCustomControl() {
    // Whatever the widget still receives must not reach a control that is
    // going away.
    static_cast<ControlSurface*>(Widget())->Control = nullptr;
}

void TCustomControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
}

void TCustomControl::MouseMove(TShiftState shift, int x, int y) {
    if (OnMouseMove) OnMouseMove(this, shift, x, y);
}

void TCustomControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
}

void TCustomControl::DblClick() {
    if (OnDblClick) OnDblClick(this);
}
