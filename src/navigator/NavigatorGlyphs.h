#pragma once
// The glyphs of the record navigator's buttons, drawn pixel by pixel in black
// on an 11 x 11 ground whose colour (the bottom-left pixel's) the speed
// button takes as transparent: a bar and a triangle for first and last, a
// triangle for prior and next, plus and minus for insert and delete, a
// triangle pointing up for edit, a check mark for post and a cross for
// cancel.

#include "navigator/TDBNavigator.h"

#include <QImage>

QImage NavigatorGlyph(TNavigateBtn button);
