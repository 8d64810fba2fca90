#pragma once
// TDBGridInplaceEdit: the data grid's cell editor, one per grid, reused for
// every cell. Filling it for a cell chooses the cell's edit style, takes the
// column's font and colour and its read-only setting, and sets the text to
// the field's edit text with no mask and no length limit (a text field's
// size for string fields).
//
// The edit style decides the editor's button and drop-down: a date column
// gets the date-calendar style, any other column the plain one. Styles with
// a button keep the button's strip on the right of the editor, outside the
// text area (ButtonsWidth); drop-downs open and close through DropDown and
// CloseUp. The editor of this grid has no button and no drop-down of its
// own yet: every style edits as plain text, and the strip is 0 pixels wide.

#include "grid/TInplaceEdit.h"

class TCustomDBGrid;
class TDBGridColumn;

enum TEditStyle {
    esSimple,
    esEllipsis,
    esPickList,
    esDataList,
    esDateCalendar,
    esUpDown,
    esDropDown,
    esAltUpDown,
    esAltDropDown,
    esAltDateCalendar,
};

class TDBGridInplaceEdit : public TInplaceEdit {
public:
    explicit TDBGridInplaceEdit(TCustomDBGrid& grid);

    TCustomDBGrid& DBGrid() const { return FDBGrid; }
    TEditStyle EditStyle() const { return FEditStyle; }
    // The style a column's cells are edited in.
    static TEditStyle EditStyleOf(const TDBGridColumn& column);

    // The width the buttons of the style take on the right.
    virtual int ButtonsWidth() const { return 0; }
    // Opening and closing the style's drop-down; none here.
    virtual void DropDown() {}
    virtual void CloseUp(bool accept) {}

    void UpdateContents() override;

protected:
    // The text area: from (2, 2) to (width - 2, height) in a grid that is not
    // flat, from (2, 1) to (width - 2, height - 1) in a flat one, less the
    // buttons' strip.
    void LayoutTextArea() override;

private:
    TCustomDBGrid& FDBGrid;
    TEditStyle FEditStyle = esSimple;
};
