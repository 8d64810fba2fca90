#pragma once
// TIndicatorImages: the glyphs of the grid's indicator column, one image list
// shared by every grid of the process and built once, when the grid unit
// starts (GridUnit.h).
//
// Each image is 6 x 11 pixels, made from a bitmap and its transparent colour
// (the pixels of that colour stay transparent):
//   0 DBGARROW      black triangle pointing right   on white
//   1 DBEDIT        black I-beam                    on white
//   2 DBINSERT      black star                      on white
//   3 DBMULTIDOT    black dot                       on white
//   4 DBMULTIARROW  triangle with a dot             on white
//   5 DBGARROWW     white triangle pointing right   on teal
//   6 image 5 drawn with white transparent onto the incremental-search
//     colour of the grid-wide settings, added with teal transparent: the
//     triangle in that colour.

#include "grid/GridCellRules.h"

#include <QImage>

#include <array>

class QPainter;

class TIndicatorImages {
public:
    static constexpr int Width = 6;
    static constexpr int Height = 11;
    static constexpr int Count = 7;
    // The background of image 6 when the search colour is teal itself.
    static constexpr TColor TealStandIn = RGBColor(0, 127, 127);

    static const TIndicatorImages& Shared();

    // ARGB32 with transparent pixels.
    const QImage& Image(int index) const { return FImages.at(index); }
    void Draw(QPainter& canvas, int x, int y, int index) const;

    // The opaque bitmap behind images 0 to 5, as the resources hold them.
    static QImage Bitmap(int index);
    // The bitmap with every pixel of the transparent colour made transparent.
    static QImage Masked(const QImage& bitmap, TColor transparent);
    // Image 6 for a search colour, from the white arrow's bitmap.
    static QImage SearchArrow(const QImage& whiteArrowBitmap, TColor searchColor);

private:
    TIndicatorImages();

    std::array<QImage, Count> FImages;
};
