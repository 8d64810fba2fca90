#include "grid/TIndicatorImages.h"

#include "grid/GridSettings.h"

#include <QPainter>

#include <cassert>

namespace {

// The bitmaps, one character per pixel: '#' the shape, '.' the background.
struct TBitmapPattern {
    const char* Rows[TIndicatorImages::Height];
    TColor Shape;
    TColor Background;
};

const TBitmapPattern kPatterns[6] = {
    // DBGARROW
    {{"......", "......", ".#....", ".##...", ".###..", ".####.", ".###..", ".##...", ".#....",
      "......", "......"},
     clBlack,
     clWhite},
    // DBEDIT
    {{"......", "##.##.", "..#...", "..#...", "..#...", "..#...", "..#...", "..#...", "..#...",
      "##.##.", "......"},
     clBlack,
     clWhite},
    // DBINSERT
    {{"......", "......", "..#...", "#.#.#.", ".###..", "#####.", ".###..", "#.#.#.", "..#...",
      "......", "......"},
     clBlack,
     clWhite},
    // DBMULTIDOT
    {{"......", "......", "......", "......", "..#...", ".###..", "..#...", "......", "......",
      "......", "......"},
     clBlack,
     clWhite},
    // DBMULTIARROW
    {{"......", "......", "..#...", "..##..", "..###.", "#.####", "..###.", "..##..", "..#...",
      "......", "......"},
     clBlack,
     clWhite},
    // DBGARROWW
    {{"......", "......", ".#....", ".##...", ".###..", ".####.", ".###..", ".##...", ".#....",
      "......", "......"},
     clWhite,
     clTeal},
};

// The transparent colour of each bitmap in the image list.
const TColor kTransparent[6] = {clWhite, clWhite, clWhite, clWhite, clWhite, clTeal};

} // namespace

const TIndicatorImages& TIndicatorImages::Shared() {
    static const TIndicatorImages images;
    return images;
}

TIndicatorImages::TIndicatorImages() {
    for (int i = 0; i < 6; ++i)
        FImages[i] = Masked(Bitmap(i), kTransparent[i]);
    FImages[iiArrowSearch] =
        Masked(SearchArrow(Bitmap(iiArrowWhite), DBGridSettings().IncSearchBackColor), clTeal);
}

QImage TIndicatorImages::Bitmap(int index) {
    assert(index >= 0 && index < 6);
    const TBitmapPattern& p = kPatterns[index];
    QImage image(Width, Height, QImage::Format_RGB32);
    const QRgb shape = ToQColor(p.Shape).rgb();
    const QRgb background = ToQColor(p.Background).rgb();
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x)
            image.setPixel(x, y, p.Rows[y][x] == '#' ? shape : background);
    return image;
}

QImage TIndicatorImages::Masked(const QImage& bitmap, TColor transparent) {
    QImage image = bitmap.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = ToQColor(transparent).rgb();
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if ((image.pixel(x, y) | 0xFF000000u) == key) image.setPixel(x, y, 0);
    return image;
}

QImage TIndicatorImages::SearchArrow(const QImage& whiteArrowBitmap, TColor searchColor) {
    // Teal is the transparent colour of the result: a teal background would
    // make the whole image vanish.
    const TColor background =
        ColorToRGB(searchColor) == ColorToRGB(clTeal) ? TealStandIn : searchColor;
    QImage image(whiteArrowBitmap.size(), QImage::Format_RGB32);
    image.fill(ToQColor(background));
    QPainter painter(&image);
    painter.drawImage(0, 0, Masked(whiteArrowBitmap, clWhite));
    painter.end();
    return image;
}

void TIndicatorImages::Draw(QPainter& canvas, int x, int y, int index) const {
    canvas.drawImage(x, y, FImages.at(index));
}
