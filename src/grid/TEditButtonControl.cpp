#include "grid/TEditButtonControl.h"

#include "platform/Dialogs.h"
#include "platform/widgets/Canvas3D.h"

#include <QAbstractButton>
#include <QMouseEvent>
#include <QPainter>
#include <QWidget>

#include <algorithm>

TEditButtonControl::TEditButtonControl(TComponent* owner) : TSpeedButton(owner) {
    // The editor's I-beam would otherwise show over the button.
    Widget()->setCursor(Qt::ArrowCursor);
}

void TEditButtonControl::SetStyle(TEditButtonStyle value) {
    if (value == FStyle) return;
    FStyle = value;
    Invalidate();
}

void TEditButtonControl::SetPressed(bool value) {
    if (value == FPressed) return;
    FPressed = value;
    Repaint();
}

bool TEditButtonControl::held() const {
    return Enabled() && static_cast<QAbstractButton*>(Widget())->isDown();
}

bool TEditButtonControl::ShowsPressed() const {
    return FPressed || held();
}

bool TEditButtonControl::widgetEvent(QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        auto* e = static_cast<QMouseEvent*>(event);
        if (e->button() != Qt::LeftButton) break;
        FDragTaken = false;
        if (OnLeftDown) HandleExceptions(OnLeftDown);
        break;
    }
    case QEvent::MouseMove: {
        auto* e = static_cast<QMouseEvent*>(event);
        if (!(e->buttons() & Qt::LeftButton) || !DragTo) break;
        const QPoint global = e->globalPosition().toPoint();
        bool taken = false;
        HandleExceptions([&] { taken = DragTo(global); });
        if (taken && !FDragTaken) {
            FDragTaken = true;
            // The mouse is no longer this button's: it stands up again.
            static_cast<QAbstractButton*>(Widget())->setDown(false);
            Repaint();
        }
        if (FDragTaken) return true;
        break;
    }
    case QEvent::MouseButtonRelease: {
        auto* e = static_cast<QMouseEvent*>(event);
        if (e->button() != Qt::LeftButton) break;
        const bool over = !FDragTaken && Widget()->rect().contains(e->position().toPoint());
        const bool taken = FDragTaken;
        FDragTaken = false;
        if (OnLeftUp) {
            const QPoint global = e->globalPosition().toPoint();
            HandleExceptions([&] { OnLeftUp(global, over); });
        }
        if (taken) return true;
        break;
    }
    default:
        break;
    }
    return TSpeedButton::widgetEvent(event);
}

// A filled triangle of odd width, centred in area, pointing up or down.
void TEditButtonControl::paintArrow(QPainter& canvas, const TRect& area, bool up,
                                    int shift) const {
    const int half = std::max(1, (std::min(area.Width(), area.Height()) - 4) / 4);
    const int rows = half + 1;
    const int cx = area.Left + (area.Width() - 1) / 2 + shift;
    const int top = area.Top + (area.Height() - rows) / 2 + shift;
    const QColor ink = ToQColor(Enabled() ? clBtnText : clGrayText);
    for (int i = 0; i < rows; ++i) {
        const int spread = up ? i : half - i;
        canvas.fillRect(cx - spread, top + i, 2 * spread + 1, 1, ink);
    }
}

void TEditButtonControl::Paint(QPainter& canvas) {
    const bool down = ShowsPressed();
    TRect r = ClientRect();
    FillRect(canvas, r, clBtnFace);
    if (!Flat()) {
        if (down) {
            Frame3D(canvas, r, clBtnShadow, clBtnShadow, 1);
        } else {
            Frame3D(canvas, r, cl3DLight, cl3DDkShadow, 1);
            Frame3D(canvas, r, clBtnHighlight, clBtnShadow, 1);
        }
    }
    const int shift = down ? 1 : 0;
    switch (FStyle) {
    case ebsDropDown:
        paintArrow(canvas, r, false, shift);
        break;
    case ebsAltDropDown: {
        // The alternate drop-down: the arrow over a bar.
        TRect arrow = r;
        arrow.Bottom -= 2;
        paintArrow(canvas, arrow, false, shift);
        const int width = std::max(3, r.Width() / 2 - 1) | 1;
        canvas.fillRect(r.Left + (r.Width() - width) / 2 + shift, r.Bottom - 3 + shift, width, 1,
                        ToQColor(Enabled() ? clBtnText : clGrayText));
        break;
    }
    case ebsEllipsis: {
        const QColor ink = ToQColor(Enabled() ? clBtnText : clGrayText);
        const int cx = r.Left + (r.Width() - 1) / 2 + shift;
        const int y = r.Top + (r.Height() - 2) / 2 + shift;
        for (int dx : {-4, 0, 4})
            canvas.fillRect(cx + dx - 1, y, 2, 2, ink);
        break;
    }
    case ebsUpDown:
    case ebsAltUpDown: {
        TRect upper = r, lower = r;
        upper.Bottom = r.Top + r.Height() / 2;
        lower.Top = upper.Bottom;
        paintArrow(canvas, upper, true, shift);
        paintArrow(canvas, lower, false, shift);
        if (FStyle == ebsAltUpDown)
            canvas.fillRect(r.Left + 2, upper.Bottom, r.Width() - 4, 1, ToQColor(clBtnShadow));
        break;
    }
    }
}
