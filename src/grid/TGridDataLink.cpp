#include "grid/TGridDataLink.h"

#include "grid/TCustomDBGrid.h"

void TGridDataLink::ActiveChanged() {
    FModified = false;
    FGrid.linkActiveChanged();
}

void TGridDataLink::DataSetChanged() {
    FGrid.linkDataSetChanged();
}

void TGridDataLink::DataSetScrolled(int distance) {
    FGrid.linkDataSetScrolled(distance);
}

void TGridDataLink::RecordChanged(TField* field) {
    FGrid.linkRecordChanged(field);
}

void TGridDataLink::EditingChanged() {
    FGrid.linkEditingChanged();
}

void TGridDataLink::LayoutChanged() {
    FGrid.linkLayoutChanged();
}

void TGridDataLink::UpdateData() {
    FGrid.linkUpdateData();
}
