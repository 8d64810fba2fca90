#pragma once
// The rules that decide how a grid cell looks, apart from the pixels: what
// kind of cell a position is, its draw state, which glyph the indicator shows,
// when the current cell is highlighted or gets the focus rectangle, the
// colour of the grid lines and where cell text starts. Painting calls these;
// tests call them directly.

#include "data/TDataSet.h"
#include "platform/Classes.h"
#include "platform/widgets/TColor.h"
#include "platform/widgets/TRect.h"

// The message of the cell kind that cannot be reached from the outside.
inline constexpr const char* SGridCellTypeError = "Algorithm error in TCustomDBGrid.GetCellType";

enum TGridCellType {
    ctIndicatorTitle, // title row, indicator column
    ctTitle,          // title row, data column
    ctIndicator,      // data row, indicator column
    ctData,           // data row, data column
};

// The kind of the cell at (col, row) of a grid with indicatorOffset fixed
// columns, titleOffset title rows and rowCount rows in all. A row outside the
// title and data rows raises EInvalidGridOperation with SGridCellTypeError.
TGridCellType CellTypeAt(int col, int row, int indicatorOffset, int titleOffset, int rowCount);

// The state a cell is drawn in.
enum : unsigned {
    gdSelected = 1u << 0, // in the selection, which is just the current cell
    gdFocused = 1u << 1,  // the current cell while the grid is its form's active control
    gdFixed = 1u << 2,    // a title or indicator cell
    gdCurrent = 1u << 3,  // the current cell
};
using TGridDrawState = unsigned;

TGridDrawState CellDrawState(bool fixed, bool current, bool gridIsActiveControl);

// How the current cell stands out. Highlight: clHighlight behind
// clHighlightText. FocusRect: the dotted rectangle drawn over the cell.
struct TCurrentCellLook {
    bool Highlight = false;
    bool FocusRect = false;
    friend bool operator==(const TCurrentCellLook&, const TCurrentCellLook&) = default;
};

// The current cell is highlighted while the grid holds the keyboard focus
// (highlightFocus) or always (alwaysShowSelection); it gets the focus
// rectangle while the grid is its form's active control without holding the
// keyboard focus (the window is not active) and no editor covers it.
TCurrentCellLook CurrentCellLook(bool gridHasFocus, bool gridIsActiveControl, bool editorShowing,
                                 bool highlightFocus, bool alwaysShowSelection);

// The indicator images.
enum TIndicatorImage {
    iiArrow = 0,       // browse
    iiEdit = 1,        // edit: I-beam
    iiInsert = 2,      // insert: star
    iiMultiDot = 3,    // selected record
    iiMultiArrow = 4,  // current and selected
    iiArrowWhite = 5,  // white arrow
    iiArrowSearch = 6, // browse while an incremental search runs
};

// The glyph of the current record's indicator cell for the dataset's state;
// -1 for a state that shows none.
int IndicatorImageFor(TDataSetState state, bool searching);

// Lines between data cells: silver, or gray on a silver grid. Lines that
// border fixed cells are black.
TColor DataLineColor(TColor gridColor);
inline constexpr TColor FixedLineColor = clBlack;

// Text placement in a cell: left-aligned text starts 2 pixels inside the
// left edge, right-aligned text ends 3 pixels inside the right edge, centred
// text is centred; the top of the text is 2 pixels below the cell's top.
int CellTextLeft(TAlignment alignment, const TRect& cell, int textWidth);
inline int CellTextTop(const TRect& cell) {
    return cell.Top + 2;
}
