// The caption panel's painting: face, bevels, caption band and its text, the
// panel's own text and the status bar.

#include "panel/TCustomCaptionPanel.h"

#include "platform/widgets/Canvas3D.h"

#include <QFontMetrics>
#include <QLinearGradient>
#include <QPainter>
#include <QWidget>

namespace {

void bevelColors(TBevelCut bevel, TColor& top, TColor& bottom) {
    top = bevel == bvLowered ? clBtnShadow : clBtnHighlight;
    bottom = bevel == bvLowered ? clBtnHighlight : clBtnShadow;
}

// The text as it fits in width pixels: whole, or its longest beginning that
// fits with "..." after it (the dots alone when nothing does).
QString elided(const QFontMetrics& metrics, const QString& text, int width) {
    if (metrics.horizontalAdvance(text) <= width) return text;
    const QString dots = QStringLiteral("...");
    int lo = 0, hi = static_cast<int>(text.size());
    // The longest prefix that fits, by bisection: widths grow with length.
    while (lo < hi) {
        int mid = (lo + hi + 1) / 2;
        if (metrics.horizontalAdvance(text.left(mid) + dots) <= width)
            lo = mid;
        else
            hi = mid - 1;
    }
    // Never split a surrogate pair.
    if (lo > 0 && text.at(lo - 1).isHighSurrogate()) --lo;
    return text.left(lo) + dots;
}

} // namespace

TRect TCustomCaptionPanel::CaptionBandRect() const {
    TRect inner = ClientRect();
    InflateRect(inner, -BevelWidth(), -BevelWidth());
    const int depth = FCaption.Height() - 2 * BevelWidth();
    if (FCaption.Position() == cpLeft)
        return Rect(inner.Left, inner.Top, inner.Left + depth, inner.Bottom);
    return Rect(inner.Left, inner.Top, inner.Right, inner.Top + depth);
}

TRect TCustomCaptionPanel::CaptionTextRect() const {
    TRect inner = ClientRect();
    InflateRect(inner, -BevelWidth(), -BevelWidth());
    if (FCaption.Position() == cpLeft)
        return Rect(inner.Left + FCaption.TopIndent(), inner.Top, inner.Left + FCaption.Height(),
                    inner.Bottom - FCaption.Indent());
    return Rect(inner.Left + FCaption.Indent(), inner.Top + FCaption.TopIndent(), inner.Right,
                inner.Top + FCaption.Height());
}

void TCustomCaptionPanel::Paint(QPainter& canvas) {
    if (!FBuffered) {
        paintPanel(canvas);
        return;
    }
    QImage buffer(std::max(0, ClientWidth()), std::max(0, ClientHeight()), QImage::Format_RGB32);
    if (buffer.isNull()) return;
    {
        QPainter painter(&buffer);
        paintPanel(painter);
    }
    canvas.drawImage(0, 0, buffer);
}

void TCustomCaptionPanel::paintPanel(QPainter& canvas) {
    TRect rect = ClientRect();
    if (FColorTo == clNone) {
        FillRect(canvas, rect, Color());
    } else {
        QLinearGradient gradient(0, rect.Top, 0, rect.Bottom);
        gradient.setColorAt(0, ToQColor(Color()));
        gradient.setColorAt(1, ToQColor(FColorTo));
        canvas.fillRect(rect.Left, rect.Top, rect.Width(), rect.Height(), gradient);
    }
    if (!FBackground.Empty()) {
        TRect body = ClientRect();
        AdjustClientRect(body);
        canvas.save();
        canvas.setClipRect(body.Left, body.Top, body.Width(), body.Height());
        canvas.drawImage(body.Left, body.Top, FBackground.Image());
        canvas.restore();
    }
    TColor top, bottom;
    if (BevelOuter() != bvNone) {
        bevelColors(BevelOuter(), top, bottom);
        Frame3D(canvas, rect, top, bottom, BevelWidth());
    }
    Frame3D(canvas, rect, FBorderColor, FBorderColor, BorderWidth());
    if (BevelInner() != bvNone) {
        bevelColors(BevelInner(), top, bottom);
        Frame3D(canvas, rect, top, bottom, BevelWidth());
    }
    if (FCaption.Visible()) paintCaption(canvas);
    paintText(canvas);
    if (FStatusBar.Visible()) paintStatusBar(canvas);
}

void TCustomCaptionPanel::paintCaption(QPainter& canvas) {
    const TRect band = CaptionBandRect();
    if (band.Width() <= 0 || band.Height() <= 0) return;
    if (!shadingCacheCurrent()) UpdateShading();
    canvas.drawImage(band.Left, band.Top, FShadingCache);

    const QString text = QString::fromStdString(FCaption.Text());
    if (text.isEmpty()) return;
    canvas.save();
    canvas.setFont(ToQFont(FCaption.Font()));
    canvas.setPen(ToQColor(FCaption.Font().Color()));
    const TRect box = CaptionTextRect();
    const QFontMetrics metrics(canvas.font());
    const int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine;
    if (FCaption.Position() == cpLeft) {
        // Read from the bottom up: the text's top faces the band's left edge.
        canvas.setClipRect(box.Left, box.Top, box.Width(), box.Height());
        canvas.translate(box.Left, box.Bottom);
        canvas.rotate(-90);
        QRect area(1, 0, box.Height() - 1, box.Width());
        canvas.drawText(area, flags, elided(metrics, text, area.width()));
    } else {
        QRect area(box.Left + 1, box.Top, box.Width() - 1, box.Height());
        canvas.setClipRect(area);
        canvas.drawText(area, flags, elided(metrics, text, area.width()));
    }
    canvas.restore();
}

void TCustomCaptionPanel::paintText(QPainter& canvas) {
    const QString text = QString::fromStdString(Text());
    if (text.isEmpty()) return;
    TRect body = ClientRect();
    AdjustClientRect(body);
    if (body.Width() <= 0 || body.Height() <= 0) return;
    canvas.save();
    canvas.setFont(Widget()->font());
    canvas.setPen(ToQColor(Font().Color()));
    int flags = Qt::TextSingleLine | Qt::AlignVCenter;
    flags |= Alignment() == taLeftJustify    ? Qt::AlignLeft
             : Alignment() == taRightJustify ? Qt::AlignRight
                                             : Qt::AlignHCenter;
    QRect area(body.Left, body.Top, body.Width(), body.Height());
    canvas.setClipRect(area);
    canvas.drawText(area, flags, elided(QFontMetrics(canvas.font()), text, area.width()));
    canvas.restore();
}

void TCustomCaptionPanel::paintStatusBar(QPainter& canvas) {
    // The strip the client area gave up, inside the bevels.
    TRect inner = ClientRect();
    InflateRect(inner, -BevelWidth(), -BevelWidth());
    const int inset = Width() - inner.Right;
    TRect bar =
        FCaption.Position() == cpLeft
            ? Rect(Width() - FStatusBar.Height() - inset, inner.Top, inner.Right, inner.Bottom)
            : Rect(inner.Left, Height() - FStatusBar.Height() - inset, inner.Right, inner.Bottom);
    if (bar.Width() <= 0 || bar.Height() <= 0) return;
    FillRect(canvas, bar, FStatusBar.Color());
    const QString text = QString::fromStdString(FStatusBar.Text());
    if (text.isEmpty()) return;
    canvas.save();
    canvas.setFont(ToQFont(FStatusBar.Font()));
    canvas.setPen(ToQColor(FStatusBar.Font().Color()));
    QRect area(bar.Left + 2, bar.Top, bar.Width() - 4, bar.Height());
    canvas.setClipRect(area);
    canvas.drawText(area, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                    elided(QFontMetrics(canvas.font()), text, area.width()));
    canvas.restore();
}
