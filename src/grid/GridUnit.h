#pragma once
// The start of the grid library, once per process, when the first grid is
// made: the grid-wide settings (GridSettings.h), the indicator glyphs made
// with the search colour, and the cursors DOWNCUR, RIGHTCUR and LEFTCUR from
// the library's resources. A cursor that cannot be loaded fails the start
// with EOutOfResources "Cannot load cursor resource", and the next grid tries
// again.

#include "grid/GridErrors.h"

#include <QCursor>

#include <string>

inline constexpr const char* SCursorLoadError = "Cannot load cursor resource";

enum TGridCursor { gcDown, gcRight, gcLeft };

void StartGridUnit();
// The cursors made at the start (StartGridUnit first).
const QCursor& GridCursor(TGridCursor cursor);

// The cursor of the grid's resource of that name ("DOWNCUR") with its hot
// spot; raises EOutOfResources with SCursorLoadError when the resource is
// missing or is not an image.
QCursor LoadCursorResource(const std::string& name, int hotX, int hotY);
