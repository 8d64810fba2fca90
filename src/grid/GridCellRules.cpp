#include "grid/GridCellRules.h"

#include "grid/GridErrors.h"

TGridCellType CellTypeAt(int col, int row, int indicatorOffset, int titleOffset, int rowCount) {
    if (row < 0 || row >= rowCount) throw EInvalidGridOperation(SGridCellTypeError);
    const bool indicator = col < indicatorOffset;
    if (row < titleOffset) return indicator ? ctIndicatorTitle : ctTitle;
    return indicator ? ctIndicator : ctData;
}

TGridDrawState CellDrawState(bool fixed, bool current, bool gridIsActiveControl) {
    TGridDrawState state = 0;
    if (fixed) state |= gdFixed;
    if (current && !fixed) {
        state |= gdCurrent | gdSelected;
        if (gridIsActiveControl) state |= gdFocused;
    }
    return state;
}

TCurrentCellLook CurrentCellLook(bool gridHasFocus, bool gridIsActiveControl, bool editorShowing,
                                 bool highlightFocus, bool alwaysShowSelection) {
    TCurrentCellLook look;
    look.Highlight = (gridHasFocus && highlightFocus) || alwaysShowSelection;
    // The open editor covers the cell; with the keyboard focus the highlight
    // marks it instead.
    look.FocusRect = gridIsActiveControl && !gridHasFocus && !editorShowing;
    return look;
}

int IndicatorImageFor(TDataSetState state, bool searching) {
    switch (state) {
    case dsBrowse:
        return searching ? iiArrowSearch : iiArrow;
    case dsEdit:
        return iiEdit;
    case dsInsert:
        return iiInsert;
    default:
        return -1;
    }
}

TColor DataLineColor(TColor gridColor) {
    return ColorToRGB(gridColor) == ColorToRGB(clSilver) ? clGray : clSilver;
}

int CellTextLeft(TAlignment alignment, const TRect& cell, int textWidth) {
    switch (alignment) {
    case taRightJustify:
        return cell.Right - textWidth - 3;
    case taCenter:
        return cell.Left + (cell.Width() - textWidth) / 2;
    default:
        return cell.Left + 2;
    }
}
