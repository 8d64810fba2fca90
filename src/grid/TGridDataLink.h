#pragma once
// TGridDataLink: the data grid's link to its data source. It holds one
// buffered record per visible data row of the grid and hands every
// notification of the dataset to the grid.

#include "data/TDataLink.h"

class TDBGrid;

class TGridDataLink : public TDataLink {
public:
    explicit TGridDataLink(TDBGrid& grid) : FGrid(grid) {}

    TDBGrid& Grid() const { return FGrid; }

protected:
    void ActiveChanged() override;
    void DataSetChanged() override;
    void DataSetScrolled(int distance) override;
    void RecordChanged(TField* field) override;
    void EditingChanged() override;
    void LayoutChanged() override;

private:
    TDBGrid& FGrid;
};
