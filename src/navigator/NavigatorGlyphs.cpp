#include "navigator/NavigatorGlyphs.h"

#include <QColor>

namespace {

constexpr int kSize = 11;
constexpr int kMiddle = kSize / 2;
const QRgb kGround = qRgb(128, 128, 0); // never part of a glyph
const QRgb kInk = qRgb(0, 0, 0);

void dot(QImage& image, int x, int y) {
    if (x >= 0 && y >= 0 && x < kSize && y < kSize) image.setPixel(x, y, kInk);
}

void bar(QImage& image, int left, int top, int width, int height) {
    for (int y = top; y < top + height; ++y)
        for (int x = left; x < left + width; ++x)
            dot(image, x, y);
}

// A triangle 7 rows high, its tip at (tipX, middle), 4 columns wide; step -1
// opens it to the left (pointing right), +1 to the right (pointing left).
void sideTriangle(QImage& image, int tipX, int step) {
    for (int c = 0; c < 4; ++c)
        bar(image, tipX + c * step, kMiddle - c, 1, 2 * c + 1);
}

// Two pixels thick, from (x0, y0) one pixel at a time towards (x1, y1)
// along a diagonal.
void diagonal(QImage& image, int x0, int y0, int x1, int y1) {
    int dx = x1 > x0 ? 1 : -1, dy = y1 > y0 ? 1 : -1;
    for (int x = x0, y = y0;; x += dx, y += dy) {
        dot(image, x, y);
        dot(image, x, y + 1);
        if (x == x1) break;
    }
}

} // namespace

QImage NavigatorGlyph(TNavigateBtn button) {
    QImage image(kSize, kSize, QImage::Format_RGB32);
    image.fill(kGround);
    switch (button) {
    case nbFirst:
        bar(image, 2, kMiddle - 3, 2, 7);
        sideTriangle(image, 5, +1);
        break;
    case nbPrior:
        sideTriangle(image, 4, +1);
        break;
    case nbNext:
        sideTriangle(image, 6, -1);
        break;
    case nbLast:
        sideTriangle(image, 5, -1);
        bar(image, 7, kMiddle - 3, 2, 7);
        break;
    case nbInsert:
        bar(image, 1, kMiddle - 1, 8, 2);
        bar(image, 4, 1, 2, 8);
        break;
    case nbDelete:
        bar(image, 1, kMiddle - 1, 8, 2);
        break;
    case nbEdit:
        for (int r = 0; r < 4; ++r)
            bar(image, kMiddle - r, 3 + r, 2 * r + 1, 1);
        break;
    case nbPost:
        diagonal(image, 1, 4, 3, 6);
        diagonal(image, 4, 5, 8, 1);
        break;
    case nbCancel:
        diagonal(image, 1, 1, 8, 8);
        diagonal(image, 8, 1, 1, 8);
        break;
    }
    return image;
}
