#pragma once
// TDBGridColumns: the grid's collection of columns, in display order. The
// columns the program adds are persistent: the grid never rebuilds them from
// the dataset's fields. Every change of the collection or of a column lays
// the grid out again; BeginUpdate and EndUpdate gather the changes made in
// between into one layout.

#include "grid/TDBGridColumn.h"

#include <memory>
#include <vector>

class TCustomDBGrid;

class TDBGridColumns {
public:
    explicit TDBGridColumns(TCustomDBGrid& grid) : FGrid(grid) {}
    TDBGridColumns(const TDBGridColumns&) = delete;
    TDBGridColumns& operator=(const TDBGridColumns&) = delete;

    TCustomDBGrid& Grid() const { return FGrid; }

    // A new column at the end.
    TDBGridColumn* Add();
    int Count() const { return static_cast<int>(FItems.size()); }
    TDBGridColumn* Items(int index) const { return FItems.at(index).get(); }
    TDBGridColumn* operator[](int index) const { return Items(index); }
    void Delete(int index);
    void Clear();
    // The place of a column, -1 when it is not one of these.
    int IndexOf(const TDBGridColumn* column) const;
    // Moves a column; the others keep their order.
    void Move(int from, int to);

    void BeginUpdate();
    void EndUpdate();

private:
    friend class TDBGridColumn;
    void changed();

    TCustomDBGrid& FGrid;
    std::vector<std::unique_ptr<TDBGridColumn>> FItems;
};
