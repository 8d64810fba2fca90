#include "grid/TGridGeometry.h"

#include <algorithm>
#include <cassert>

void TGridGeometry::SetColCount(int value) {
    assert(value >= 0);
    FColWidths.resize(static_cast<size_t>(value), 64);
    FFixedCols = std::min(FFixedCols, value);
    SetLeftCol(FLeftCol);
    SetCol(FCol);
}

void TGridGeometry::SetFixedCols(int value) {
    assert(value >= 0 && value <= ColCount());
    FFixedCols = value;
    SetLeftCol(FLeftCol);
    SetCol(FCol);
}

void TGridGeometry::SetColWidth(int col, int width) {
    FColWidths.at(col) = std::max(0, width);
}

void TGridGeometry::SetRowCount(int value) {
    assert(value >= 0);
    FRowCount = value;
    FFixedRows = std::min(FFixedRows, value);
}

void TGridGeometry::SetFixedRows(int value) {
    assert(value >= 0 && value <= FRowCount);
    FFixedRows = value;
}

void TGridGeometry::SetLineWidths(int vertical, int horizontal) {
    FVertLineWidth = std::max(0, vertical);
    FHorzLineWidth = std::max(0, horizontal);
}

void TGridGeometry::SetLeftCol(int value) {
    const int last = std::max(FFixedCols, ColCount() - 1);
    FLeftCol = std::clamp(value, FFixedCols, last);
}

int TGridGeometry::FixedWidth() const {
    int width = 0;
    for (int c = 0; c < FFixedCols; ++c)
        if (FColWidths[c] > 0) width += FColWidths[c] + FVertLineWidth;
    return width;
}

int TGridGeometry::FixedHeight() const {
    return FFixedRows * (FFixedRowHeight + FHorzLineWidth);
}

int TGridGeometry::ColLeft(int col) const {
    if (col < 0 || col >= ColCount() || FColWidths[col] <= 0) return -1;
    int x = 0;
    if (col < FFixedCols) {
        for (int c = 0; c < col; ++c)
            if (FColWidths[c] > 0) x += FColWidths[c] + FVertLineWidth;
        return x;
    }
    if (col < FLeftCol) return -1;
    x = FixedWidth();
    for (int c = FLeftCol; c < col; ++c)
        if (FColWidths[c] > 0) x += FColWidths[c] + FVertLineWidth;
    return x;
}

int TGridGeometry::RowTop(int row) const {
    if (row < FFixedRows) return row * (FFixedRowHeight + FHorzLineWidth);
    return FixedHeight() + (row - FFixedRows) * RowPitch();
}

TRect TGridGeometry::CellRect(int col, int row) const {
    if (row < 0 || row >= FRowCount) return {};
    const int left = ColLeft(col);
    if (left < 0) return {};
    const int top = RowTop(row);
    return Bounds(left, top, FColWidths[col], RowHeight(row));
}

int TGridGeometry::LastVisibleCol(int clientWidth) const {
    int last = -1;
    int x = 0;
    for (int c = 0; c < ColCount(); ++c) {
        if (c == FFixedCols) {
            // The scrolled-out columns take no room.
            c = FLeftCol;
            if (c >= ColCount()) break;
        }
        if (FColWidths[c] <= 0) continue;
        if (x >= clientWidth) break;
        last = c;
        x += FColWidths[c] + FVertLineWidth;
    }
    return last;
}

int TGridGeometry::LastVisibleRow(int clientHeight) const {
    if (FRowCount == 0) return -1;
    int last = -1;
    for (int r = 0; r < FRowCount; ++r) {
        if (RowTop(r) >= clientHeight) break;
        last = r;
    }
    return last;
}

int TGridGeometry::GridRight(int clientWidth) const {
    const int last = LastVisibleCol(clientWidth);
    if (last < 0) return 0;
    return std::min(clientWidth, ColLeft(last) + FColWidths[last] + FVertLineWidth);
}

int TGridGeometry::GridBottom(int clientHeight) const {
    const int last = LastVisibleRow(clientHeight);
    if (last < 0) return 0;
    return std::min(clientHeight, RowTop(last) + RowHeight(last) + FHorzLineWidth);
}

int TGridGeometry::VisibleDataRows(int clientHeight) const {
    const int pitch = RowPitch();
    if (pitch <= 0) return 1;
    // The first data row's top line is the fixed rows' bottom line.
    const int room = clientHeight - FFixedRows * FFixedRowHeight - FHorzLineWidth;
    return std::max(1, room / pitch);
}

int TGridGeometry::MaxLeftCol(int clientWidth) const {
    int room = clientWidth - FixedWidth();
    int result = ColCount() - 1;
    // Walk back from the last column while the columns still fit whole.
    for (int c = ColCount() - 1; c >= FFixedCols; --c) {
        if (FColWidths[c] <= 0) {
            result = c;
            continue;
        }
        room -= FColWidths[c] + FVertLineWidth;
        if (room < 0 && c != ColCount() - 1) break;
        result = c;
        if (room < 0) break;
    }
    return std::max(FFixedCols, result);
}

int TGridGeometry::ColumnAt(int x) const {
    if (x < 0) return -1;
    for (int c = 0; c < ColCount(); ++c) {
        const int left = ColLeft(c);
        if (left < 0) continue;
        if (x >= left && x < left + FColWidths[c] + FVertLineWidth) return c;
    }
    return -1;
}

int TGridGeometry::RowAt(int y) const {
    if (y < 0) return -1;
    for (int r = 0; r < FRowCount; ++r) {
        const int top = RowTop(r);
        if (y >= top && y < top + RowHeight(r) + FHorzLineWidth) return r;
    }
    return -1;
}

void TGridGeometry::MoveColumn(int from, int to) {
    assert(from >= FFixedCols && from < ColCount() && to >= FFixedCols && to < ColCount());
    const int width = FColWidths[from];
    FColWidths.erase(FColWidths.begin() + from);
    FColWidths.insert(FColWidths.begin() + to, width);
}

void TGridGeometry::SetClientSize(int width, int height) {
    FClientWidth = std::max(0, width);
    FClientHeight = std::max(0, height);
    SetLeftCol(std::min(FLeftCol, MaxLeftCol()));
}

void TGridGeometry::SetCol(int value) {
    const int last = std::max(FFixedCols, ColCount() - 1);
    FCol = std::clamp(value, FFixedCols, last);
}

bool TGridGeometry::MakeColVisible(int col) {
    if (col < FFixedCols || col >= ColCount()) return false;
    const int old = FLeftCol;
    if (col < FLeftCol) SetLeftCol(col);
    // Right until the column ends inside the view, or is the first shown.
    while (FLeftCol < col) {
        const int left = ColLeft(col);
        if (left >= 0 && left + FColWidths[col] <= FClientWidth) break;
        SetLeftCol(FLeftCol + 1);
    }
    return FLeftCol != old;
}

int TGridGeometry::LeftColAfter(TScrollAction action, int thumbPosition) const {
    const int fixed = FFixedCols;
    const int maxLeft = MaxLeftCol();
    int left = FLeftCol;
    const int shown = std::max(1, LastVisibleCol() - left);
    switch (action) {
    case saLineLeft:
        --left;
        break;
    case saLineRight:
        ++left;
        break;
    case saPageLeft:
        left -= shown;
        break;
    case saPageRight:
        left += shown;
        break;
    case saFirst:
        left = fixed;
        break;
    case saLast:
        left = maxLeft;
        break;
    case saThumb:
        left = fixed + (thumbPosition * (maxLeft - fixed) + HorzScrollRange / 2) / HorzScrollRange;
        break;
    }
    // Hidden columns are never the first one shown.
    left = std::clamp(left, fixed, std::max(fixed, maxLeft));
    while (left < maxLeft && FColWidths[left] <= 0)
        ++left;
    return left;
}

int TGridGeometry::HorzScrollPosition() const {
    const int fixed = FFixedCols;
    const int maxLeft = MaxLeftCol();
    return maxLeft > fixed ? (FLeftCol - fixed) * HorzScrollRange / (maxLeft - fixed) : 0;
}
