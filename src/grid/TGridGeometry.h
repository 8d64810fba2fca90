#pragma once
// TGridGeometry: where the cells of the grid are. It owns the column widths
// (the fixed columns first), the row heights (the fixed rows' and one height
// for every data row), the widths of the grid lines and the first scrollable
// column shown (LeftCol). Painting, scrolling and the mouse ask it which
// cells are visible, where a cell is and which cell a point falls into.
//
// Coordinates are the grid's client area, (0, 0) at the top-left corner of
// the first fixed cell. A cell is followed by its line: column c spans
// [ColLeft(c), ColLeft(c) + ColWidth(c)) and its vertical line is the
// VertLineWidth() pixels after it; rows likewise with HorzLineWidth(). A
// column of width 0 is hidden and has no line.
//
// Rows never scroll here: the dataset moves its window of records instead, so
// the first data row is always row FixedRows().
//
// It is the one owner of the grid's geometry: besides the sizes it keeps the
// client area the cells are shown in (which the grid sets whenever its size
// or its scroll bars change), the current column (Col) and which columns the
// view shows; scrolling a column into view and paging through the columns
// are answered here, so that sizing or moving a column is a change of this
// object alone.

#include "platform/widgets/TRect.h"

#include <vector>

class TGridGeometry {
public:
    int ColCount() const { return static_cast<int>(FColWidths.size()); }
    // New columns are 64 pixels wide.
    void SetColCount(int value);
    int FixedCols() const { return FFixedCols; }
    void SetFixedCols(int value);
    int ColWidth(int col) const { return FColWidths.at(col); }
    void SetColWidth(int col, int width);

    int RowCount() const { return FRowCount; }
    void SetRowCount(int value);
    int FixedRows() const { return FFixedRows; }
    void SetFixedRows(int value);
    int FixedRowHeight() const { return FFixedRowHeight; }
    void SetFixedRowHeight(int value) { FFixedRowHeight = value; }
    int DefaultRowHeight() const { return FDefaultRowHeight; }
    void SetDefaultRowHeight(int value) { FDefaultRowHeight = value; }
    int RowHeight(int row) const { return row < FFixedRows ? FFixedRowHeight : FDefaultRowHeight; }

    int VertLineWidth() const { return FVertLineWidth; }
    int HorzLineWidth() const { return FHorzLineWidth; }
    void SetLineWidths(int vertical, int horizontal);

    // The first scrollable column shown; kept between FixedCols() and the
    // last column.
    int LeftCol() const { return FLeftCol; }
    void SetLeftCol(int value);

    // The fixed columns and the fixed rows with their lines.
    int FixedWidth() const;
    int FixedHeight() const;
    // A data row with its line.
    int RowPitch() const { return FDefaultRowHeight + FHorzLineWidth; }

    // Left edge of a column; -1 when it is scrolled out to the left or hidden.
    int ColLeft(int col) const;
    int RowTop(int row) const;
    // The cell's rectangle without its lines; empty (all 0) when the column
    // is scrolled out or hidden or the cell does not exist.
    TRect CellRect(int col, int row) const;

    // The last column (row) that begins inside a client area that wide
    // (high), partly visible or not; -1 when none does.
    int LastVisibleCol(int clientWidth) const;
    int LastVisibleRow(int clientHeight) const;
    // The right edge of the last visible column's line, and the bottom edge
    // of the last row's line, cut to the client area.
    int GridRight(int clientWidth) const;
    int GridBottom(int clientHeight) const;

    // Data rows that fit whole below the fixed rows: (client height - fixed
    // rows - line) div (row height + line), at least 1.
    int VisibleDataRows(int clientHeight) const;
    // The largest LeftCol that still shows the last column whole; FixedCols()
    // when every column fits.
    int MaxLeftCol(int clientWidth) const;
    bool ColumnsFit(int clientWidth) const { return MaxLeftCol(clientWidth) <= FFixedCols; }

    // The column (row) a client coordinate falls into, lines counted with
    // the cell before them; -1 outside every cell.
    int ColumnAt(int x) const;
    int RowAt(int y) const;

    // Moves a column's width with the column (from and to are columns of
    // the grid, both scrollable).
    void MoveColumn(int from, int to);

    // --- the client area the cells are shown in --------------------------
    int ClientWidth() const { return FClientWidth; }
    int ClientHeight() const { return FClientHeight; }
    // Keeps LeftCol within what the new width allows.
    void SetClientSize(int width, int height);
    int VisibleDataRows() const { return VisibleDataRows(FClientHeight); }
    int MaxLeftCol() const { return MaxLeftCol(FClientWidth); }
    bool ColumnsFit() const { return ColumnsFit(FClientWidth); }
    int LastVisibleCol() const { return LastVisibleCol(FClientWidth); }
    int LastVisibleRow() const { return LastVisibleRow(FClientHeight); }
    int GridRight() const { return GridRight(FClientWidth); }
    int GridBottom() const { return GridBottom(FClientHeight); }

    // --- the current column ----------------------------------------------
    // Kept between FixedCols() and the last column (FixedCols() when there
    // is no scrollable column).
    int Col() const { return FCol; }
    void SetCol(int value);
    // Scrolls as little as needed for the column to show whole, or to be the
    // first scrollable column shown when it is wider than the view; true when
    // LeftCol changed.
    bool MakeColVisible(int col);

    // Horizontal scrolling by whole columns. The bar's range is 0 to
    // HorzScrollRange when the columns do not all fit.
    static constexpr int HorzScrollRange = 127;
    enum TScrollAction {
        saLineLeft,
        saLineRight,
        saPageLeft,
        saPageRight,
        saFirst,
        saLast,
        saThumb
    };
    // The first scrollable column an action leads to (thumb: the column the
    // bar position maps to), hidden columns skipped, kept between the first
    // scrollable column and MaxLeftCol().
    int LeftColAfter(TScrollAction action, int thumbPosition = 0) const;
    // The bar position that shows LeftCol: (LeftCol - fixed) x range /
    // (MaxLeftCol - fixed), multiplied first.
    int HorzScrollPosition() const;

private:
    std::vector<int> FColWidths;
    int FFixedCols = 0;
    int FRowCount = 0;
    int FFixedRows = 0;
    int FFixedRowHeight = 0;
    int FDefaultRowHeight = 0;
    int FVertLineWidth = 1;
    int FHorzLineWidth = 1;
    int FLeftCol = 0;
    int FCol = 0;
    int FClientWidth = 0;
    int FClientHeight = 0;
};
