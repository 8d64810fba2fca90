#include "grid/TGridDataLink.h"

#include "grid/TDBGrid.h"

void TGridDataLink::ActiveChanged() {
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
