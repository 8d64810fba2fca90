#include "platform/widgets/Canvas3D.h"

#include <QPainter>

void Frame3D(QPainter& canvas, TRect& rect, TColor topColor, TColor bottomColor, int width) {
    const QColor top = ToQColor(topColor);
    const QColor bottom = ToQColor(bottomColor);
    // Inclusive right and bottom edges of the frame being drawn.
    int left = rect.Left, upper = rect.Top, right = rect.Right - 1, lower = rect.Bottom - 1;
    for (; width > 0; --width) {
        if (right < left || lower < upper) break;
        canvas.fillRect(left, upper, right - left, 1, top);  // top edge, not its last pixel
        canvas.fillRect(left, upper, 1, lower - upper, top); // left edge, not its last pixel
        canvas.fillRect(right, upper, 1, lower - upper + 1, bottom);
        canvas.fillRect(left, lower, right - left + 1, 1, bottom);
        ++left, ++upper, --right, --lower;
    }
    rect = Rect(left, upper, right + 1, lower + 1);
}

void FillRect(QPainter& canvas, const TRect& rect, TColor color) {
    if (rect.Width() <= 0 || rect.Height() <= 0) return;
    canvas.fillRect(rect.Left, rect.Top, rect.Width(), rect.Height(), ToQColor(color));
}
