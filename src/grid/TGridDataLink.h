#pragma once
// TGridDataLink: the data grid's link to its data source. It holds one
// buffered record per visible data row of the grid, hands every notification
// of the dataset to the grid, and keeps the grid's "cell modified" flag: set
// when the editor's text was allowed to change, cleared when the text has
// been written to the field, when the record is changed from outside, or on
// Esc.

#include "data/TDataLink.h"

class TCustomDBGrid;

class TGridDataLink : public TDataLink {
public:
    explicit TGridDataLink(TCustomDBGrid& grid) : FGrid(grid) {}

    TCustomDBGrid& Grid() const { return FGrid; }

    bool Modified() const { return FModified; }
    void SetModified() { FModified = true; }
    void ResetModified() { FModified = false; }

protected:
    void ActiveChanged() override;
    void DataSetChanged() override;
    void DataSetScrolled(int distance) override;
    void RecordChanged(TField* field) override;
    void EditingChanged() override;
    void LayoutChanged() override;
    void UpdateData() override;

private:
    TCustomDBGrid& FGrid;
    bool FModified = false;
};
