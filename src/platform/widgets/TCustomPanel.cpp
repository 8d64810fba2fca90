#include "platform/widgets/TCustomPanel.h"

#include "platform/widgets/Canvas3D.h"

#include <QFontMetrics>
#include <QPainter>
#include <QWidget>

#include <algorithm>

namespace {

void bevelColors(TBevelCut bevel, TColor& top, TColor& bottom) {
    top = bevel == bvLowered ? clBtnShadow : clBtnHighlight;
    bottom = bevel == bvLowered ? clBtnHighlight : clBtnShadow;
}

} // namespace

TCustomPanel::TCustomPanel(TComponent* owner) : TCustomControl(owner) {
    SetBounds(0, 0, 185, 41);
}

void TCustomPanel::SetBevelOuter(TBevelCut value) {
    FBevelOuter = value;
    changed();
}

void TCustomPanel::SetBevelInner(TBevelCut value) {
    FBevelInner = value;
    changed();
}

void TCustomPanel::SetBevelWidth(int value) {
    FBevelWidth = std::max(1, value);
    changed();
}

void TCustomPanel::SetBorderWidth(int value) {
    FBorderWidth = std::max(0, value);
    changed();
}

void TCustomPanel::SetAlignment(TAlignment value) {
    FAlignment = value;
    Invalidate();
}

void TCustomPanel::SetAutoSize(bool value) {
    FAutoSize = value;
    adjustSize();
}

void TCustomPanel::changed() {
    Realign();
    adjustSize();
    Invalidate();
}

void TCustomPanel::AdjustClientRect(TRect& rect) const {
    InflateRect(rect, -FBorderWidth, -FBorderWidth);
    int bevel =
        (FBevelOuter != bvNone ? FBevelWidth : 0) + (FBevelInner != bvNone ? FBevelWidth : 0);
    InflateRect(rect, -bevel, -bevel);
}

void TCustomPanel::applyText(const std::string& text) {
    TCustomControl::applyText(text);
    Invalidate();
}

void TCustomPanel::applyFont() {
    TCustomControl::applyFont();
    Invalidate();
}

void TCustomPanel::childrenChanged() {
    adjustSize();
}

void TCustomPanel::adjustSize() {
    if (!FAutoSize || FAdjustingSize) return;
    int right = 0, bottom = 0;
    bool any = false;
    for (int i = 0; i < ControlCount(); ++i) {
        TControl* c = Controls(i);
        if (!c->Visible()) continue;
        any = true;
        right = std::max(right, c->Left() + c->Width());
        bottom = std::max(bottom, c->Top() + c->Height());
    }
    if (!any) return;
    TRect inner = ClientRect();
    AdjustClientRect(inner);
    int width = Align() == alTop || Align() == alBottom || Align() == alClient
                    ? Width()
                    : right + (Width() - inner.Right);
    int height = Align() == alLeft || Align() == alRight || Align() == alClient
                     ? Height()
                     : bottom + (Height() - inner.Bottom);
    FAdjustingSize = true;
    SetBounds(Left(), Top(), width, height);
    FAdjustingSize = false;
}

void TCustomPanel::Paint(QPainter& canvas) {
    TRect rect = ClientRect();
    TColor top, bottom;
    if (FBevelOuter != bvNone) {
        bevelColors(FBevelOuter, top, bottom);
        Frame3D(canvas, rect, top, bottom, FBevelWidth);
    }
    Frame3D(canvas, rect, Color(), Color(), FBorderWidth);
    if (FBevelInner != bvNone) {
        bevelColors(FBevelInner, top, bottom);
        Frame3D(canvas, rect, top, bottom, FBevelWidth);
    }
    FillRect(canvas, rect, Color());

    const std::string caption = Caption();
    if (caption.empty()) return;
    canvas.setFont(Widget()->font());
    canvas.setPen(ToQColor(Font().Color()));
    QFontMetrics metrics(canvas.font());
    int height = metrics.height();
    int textTop = (rect.Bottom + rect.Top - height) / 2;
    int flags = Qt::TextSingleLine | Qt::TextExpandTabs | Qt::AlignVCenter;
    flags |= FAlignment == taLeftJustify    ? Qt::AlignLeft
             : FAlignment == taRightJustify ? Qt::AlignRight
                                            : Qt::AlignHCenter;
    canvas.setClipRect(rect.Left, rect.Top, rect.Width(), rect.Height());
    canvas.drawText(QRect(rect.Left, textTop, rect.Width(), height), flags,
                    QString::fromStdString(caption));
    canvas.setClipping(false);
}
