#include "panel/TCaptionPanel.h"

#include "platform/widgets/Canvas3D.h"

#include <QFontMetrics>
#include <QPainter>

TCaptionPanel::TCaptionPanel(TComponent* owner) : TCustomPanel(owner) {
    FCaption.OnChange = [this] {
        Realign();
        Invalidate();
    };
}

void TCaptionPanel::AdjustClientRect(TRect& rect) const {
    // A fixed 2 whatever the bevel: the band's lowest row is the first one
    // the children may use.
    if (FCaption.Visible() && rect.Top < FCaption.Height()) rect.Top = FCaption.Height() - 2;
    TCustomPanel::AdjustClientRect(rect);
}

TRect TCaptionPanel::CaptionBandRect() const {
    TRect inner = ClientRect();
    InflateRect(inner, -BevelWidth(), -BevelWidth());
    return Rect(inner.Left, inner.Top, inner.Right,
                inner.Top + FCaption.Height() - 2 * BevelWidth());
}

TRect TCaptionPanel::CaptionTextRect() const {
    TRect inner = ClientRect();
    InflateRect(inner, -BevelWidth(), -BevelWidth());
    return Rect(inner.Left + FCaption.Indent(), inner.Top + FCaption.TopIndent(), inner.Right,
                inner.Top + FCaption.Height());
}

void TCaptionPanel::Paint(QPainter& canvas) {
    // The panel's own text is not drawn: the caption band carries the text.
    TRect rect = ClientRect();
    FillRect(canvas, rect, Color());
    if (BevelOuter() != bvNone) {
        bool lowered = BevelOuter() == bvLowered;
        Frame3D(canvas, rect, lowered ? clBtnShadow : clBtnHighlight,
                lowered ? clBtnHighlight : clBtnShadow, BevelWidth());
    }
    if (!FCaption.Visible()) return;
    FillRect(canvas, CaptionBandRect(), FCaption.Color());

    TRect text = CaptionTextRect();
    canvas.setFont(ToQFont(FCaption.Font()));
    canvas.setPen(ToQColor(FCaption.Font().Color()));
    QRect area(text.Left + 1, text.Top, text.Width() - 1, text.Height());
    QString elided =
        QFontMetrics(canvas.font())
            .elidedText(QString::fromStdString(FCaption.Text()), Qt::ElideRight, area.width());
    canvas.setClipRect(area);
    canvas.drawText(area, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, elided);
    canvas.setClipping(false);
}
