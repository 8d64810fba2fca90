#include "platform/widgets/TSpeedButton.h"

#include "platform/Dialogs.h"
#include "platform/widgets/Canvas3D.h"

#include <QAbstractButton>
#include <QFontMetrics>
#include <QPainter>

// The widget of a speed button: a Qt button that paints as the speed button
// says and never takes the focus.
class SpeedButtonWidget : public QAbstractButton {
public:
    SpeedButtonWidget() {
        setFocusPolicy(Qt::NoFocus);
        setAttribute(Qt::WA_Hover);
        QObject::connect(this, &QAbstractButton::clicked, this, [this] {
            if (Control) HandleExceptions([this] { Control->Click(); });
        });
    }
    TSpeedButton* Control = nullptr;

protected:
    void paintEvent(QPaintEvent*) override {
        if (!Control) return;
        QPainter painter(this);
        Control->Paint(painter);
    }
};

namespace {

// The glyph with its transparent colour (the bottom-left pixel's) made
// transparent.
QImage transparentGlyph(const QImage& glyph) {
    QImage out = glyph.convertToFormat(QImage::Format_ARGB32);
    if (out.isNull()) return out;
    const QRgb key = out.pixel(0, out.height() - 1) | 0xFF000000u;
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x)
            if ((line[x] | 0xFF000000u) == key) line[x] = 0;
    }
    return out;
}

// The glyph's shape in one colour: every pixel that is neither transparent
// nor near white, as a disabled glyph shows it.
QImage silhouette(const QImage& transparent, TColor color) {
    QImage out(transparent.size(), QImage::Format_ARGB32);
    out.fill(Qt::transparent);
    const QRgb ink = ToQColor(color).rgb();
    for (int y = 0; y < transparent.height(); ++y) {
        const auto* src = reinterpret_cast<const QRgb*>(transparent.constScanLine(y));
        auto* dst = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < transparent.width(); ++x) {
            QRgb p = src[x];
            bool nearWhite = qRed(p) >= 0xF0 && qGreen(p) >= 0xF0 && qBlue(p) >= 0xF0;
            if (qAlpha(p) != 0 && !nearWhite) dst[x] = ink;
        }
    }
    return out;
}

} // namespace

TSpeedButton::TSpeedButton(TComponent* owner) : TGraphicControl(owner, new SpeedButtonWidget) {
    static_cast<SpeedButtonWidget*>(Widget())->Control = this;
    SetBounds(0, 0, 23, 22);
}

void TSpeedButton::SetGlyph(const QImage& glyph) {
    FGlyph = transparentGlyph(glyph);
    Invalidate();
}

void TSpeedButton::SetFlat(bool value) {
    FFlat = value;
    Invalidate();
}

void TSpeedButton::SetLayout(TButtonLayout value) {
    FLayout = value;
    Invalidate();
}

void TSpeedButton::SetSpacing(int value) {
    FSpacing = value;
    Invalidate();
}

void TSpeedButton::SetMargin(int value) {
    FMargin = value;
    Invalidate();
}

void TSpeedButton::applyFont() {
    TGraphicControl::applyFont();
    Invalidate();
}

void TSpeedButton::applyText(const std::string& text) {
    TGraphicControl::applyText(text);
    Invalidate();
}

void TSpeedButton::Click() {
    TGraphicControl::Click();
}

bool TSpeedButton::isDown() const {
    auto* w = static_cast<QAbstractButton*>(Widget());
    return Enabled() && w->isDown();
}

QRect TSpeedButton::GlyphRect() const {
    QRect glyph, caption;
    layout(isDown(), glyph, caption);
    return glyph;
}

QRect TSpeedButton::CaptionRect() const {
    QRect glyph, caption;
    layout(isDown(), glyph, caption);
    return caption;
}

void TSpeedButton::layout(bool down, QRect& glyphRect, QRect& captionRect) const {
    // The client is the button inside its edge; a pressed button moves its
    // contents one pixel right and down.
    TRect client = ClientRect();
    InflateRect(client, FFlat ? -1 : -2, FFlat ? -1 : -2);
    const int offset = down ? 1 : 0;
    const QString text = QString::fromStdString(Caption());
    QFontMetrics metrics(Widget()->font());
    QSize textSize =
        text.isEmpty() ? QSize(0, 0) : QSize(metrics.horizontalAdvance(text), metrics.height());
    QSize glyphSize = FGlyph.isNull() ? QSize(0, 0) : FGlyph.size();
    QSize clientSize(client.Width(), client.Height());
    const bool horizontal = FLayout == blGlyphLeft || FLayout == blGlyphRight;

    QPoint glyphPos, textPos;
    if (horizontal) {
        glyphPos.setY((clientSize.height() - glyphSize.height() + 1) / 2);
        textPos.setY((clientSize.height() - textSize.height() + 1) / 2);
    } else {
        glyphPos.setX((clientSize.width() - glyphSize.width() + 1) / 2);
        textPos.setX((clientSize.width() - textSize.width() + 1) / 2);
    }
    int spacing = FSpacing;
    int margin = FMargin;
    if (textSize.width() == 0 || glyphSize.width() == 0) spacing = 0;
    if (margin == -1) {
        if (spacing == -1) {
            int total = horizontal ? glyphSize.width() + textSize.width()
                                   : glyphSize.height() + textSize.height();
            margin = ((horizontal ? clientSize.width() : clientSize.height()) - total) / 3;
            spacing = margin;
        } else {
            int total = horizontal ? glyphSize.width() + spacing + textSize.width()
                                   : glyphSize.height() + spacing + textSize.height();
            margin = ((horizontal ? clientSize.width() : clientSize.height()) - total + 1) / 2;
        }
    } else if (spacing == -1) {
        int total = horizontal ? clientSize.width() - (margin + glyphSize.width())
                               : clientSize.height() - (margin + glyphSize.height());
        int size = horizontal ? textSize.width() : textSize.height();
        spacing = (total - size) / 2;
    }
    switch (FLayout) {
    case blGlyphLeft:
        glyphPos.setX(margin);
        textPos.setX(glyphPos.x() + glyphSize.width() + spacing);
        break;
    case blGlyphRight:
        glyphPos.setX(clientSize.width() - margin - glyphSize.width());
        textPos.setX(glyphPos.x() - spacing - textSize.width());
        break;
    case blGlyphTop:
        glyphPos.setY(margin);
        textPos.setY(glyphPos.y() + glyphSize.height() + spacing);
        break;
    case blGlyphBottom:
        glyphPos.setY(clientSize.height() - margin - glyphSize.height());
        textPos.setY(glyphPos.y() - spacing - textSize.height());
        break;
    }
    const QPoint origin(client.Left + offset, client.Top + offset);
    glyphRect = QRect(glyphPos + origin, glyphSize);
    captionRect = QRect(textPos + origin, textSize);
}

void TSpeedButton::Paint(QPainter& canvas) {
    auto* w = static_cast<QAbstractButton*>(Widget());
    const bool down = isDown();
    const bool hover = Enabled() && w->underMouse();
    TRect r = ClientRect();
    if (!FFlat) {
        FillRect(canvas, r, clBtnFace);
        if (down) {
            Frame3D(canvas, r, cl3DDkShadow, clBtnHighlight, 1);
            Frame3D(canvas, r, clBtnShadow, cl3DLight, 1);
        } else {
            Frame3D(canvas, r, clBtnHighlight, cl3DDkShadow, 1);
            Frame3D(canvas, r, cl3DLight, clBtnShadow, 1);
        }
    } else if (down || hover) {
        Frame3D(canvas, r, down ? clBtnShadow : clBtnHighlight, down ? clBtnHighlight : clBtnShadow,
                1);
    }

    QRect glyphRect, captionRect;
    layout(down, glyphRect, captionRect);
    if (!FGlyph.isNull()) {
        if (Enabled()) {
            canvas.drawImage(glyphRect.topLeft(), FGlyph);
        } else {
            canvas.drawImage(glyphRect.topLeft() + QPoint(1, 1),
                             silhouette(FGlyph, clBtnHighlight));
            canvas.drawImage(glyphRect.topLeft(), silhouette(FGlyph, clBtnShadow));
        }
    }
    const QString text = QString::fromStdString(Caption());
    if (text.isEmpty()) return;
    canvas.setFont(Widget()->font());
    const int flags = Qt::AlignCenter | Qt::TextSingleLine;
    if (Enabled()) {
        canvas.setPen(ToQColor(Font().Color()));
        canvas.drawText(captionRect, flags, text);
    } else {
        canvas.setPen(ToQColor(clBtnHighlight));
        canvas.drawText(captionRect.translated(1, 1), flags, text);
        canvas.setPen(ToQColor(clBtnShadow));
        canvas.drawText(captionRect, flags, text);
    }
}
