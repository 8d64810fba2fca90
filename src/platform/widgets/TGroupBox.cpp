#include "platform/widgets/TGroupBox.h"

#include "platform/widgets/Canvas3D.h"

#include <QFontMetrics>
#include <QPainter>
#include <QWidget>

namespace {

// The outline of a rectangle one pixel wide, right and bottom exclusive.
void frameRect(QPainter& canvas, const TRect& r, TColor color) {
    if (r.Width() <= 0 || r.Height() <= 0) return;
    const QColor c = ToQColor(color);
    canvas.fillRect(r.Left, r.Top, r.Width(), 1, c);
    canvas.fillRect(r.Left, r.Bottom - 1, r.Width(), 1, c);
    canvas.fillRect(r.Left, r.Top, 1, r.Height(), c);
    canvas.fillRect(r.Right - 1, r.Top, 1, r.Height(), c);
}

} // namespace

TGroupBox::TGroupBox(TComponent* owner) : TCustomControl(owner) {
    SetBounds(0, 0, 185, 105);
}

void TGroupBox::AdjustClientRect(TRect& rect) const {
    rect.Top += QFontMetrics(Widget()->font()).height();
    InflateRect(rect, -2, -2);
}

void TGroupBox::applyText(const std::string& text) {
    TCustomControl::applyText(text);
    Invalidate();
}

void TGroupBox::applyFont() {
    TCustomControl::applyFont();
    Realign();
    Invalidate();
}

void TGroupBox::Paint(QPainter& canvas) {
    FillRect(canvas, ClientRect(), Color());
    canvas.setFont(Widget()->font());
    QFontMetrics metrics(canvas.font());
    const int h = metrics.height();
    // The etched line: a light frame one pixel right and down, the shadow
    // frame over it.
    TRect r = Rect(0, h / 2 - 1, Width(), Height());
    frameRect(canvas, Rect(r.Left + 1, r.Top + 1, r.Right, r.Bottom), clBtnHighlight);
    frameRect(canvas, Rect(r.Left, r.Top, r.Right - 1, r.Bottom - 1), clBtnShadow);

    const QString text = QString::fromStdString(Caption());
    if (text.isEmpty()) return;
    QRect caption(8, 0, metrics.horizontalAdvance(text), h);
    canvas.fillRect(caption, ToQColor(Color()));
    canvas.setPen(ToQColor(Font().Color()));
    canvas.drawText(caption, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
}
