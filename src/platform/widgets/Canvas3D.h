#pragma once
// The 3D edges the controls draw, pixel for pixel as the suite draws them.

#include "platform/widgets/TColor.h"
#include "platform/widgets/TRect.h"

class QPainter;

// Draws width one-pixel frames inside rect, each inside the last: top and
// left edges in topColor, bottom and right edges (and the two corners they
// share with the others) in bottomColor. rect comes back narrowed by width on
// every side.
void Frame3D(QPainter& canvas, TRect& rect, TColor topColor, TColor bottomColor, int width);

// Fills rect with a colour.
void FillRect(QPainter& canvas, const TRect& rect, TColor color);
