#include "data/TDataLink.h"

#include "data/TDataSet.h"
#include "data/TDataSource.h"

TDataLink::~TDataLink() {
    if (FDataSource) {
        // No notification back into a half-destroyed control.
        TDataSource* source = FDataSource;
        FActive = false;
        FEditing = false;
        source->removeLink(this);
    }
}

void TDataLink::SetDataSource(TDataSource* source) {
    if (source == FDataSource) return;
    if (FDataSource) {
        FDataSource->removeLink(this);
        FDataSource = nullptr;
        updateState();
    }
    if (source) {
        source->addLink(this);
        updateState();
    }
}

TDataSet* TDataLink::DataSet() const {
    return FDataSource ? FDataSource->DataSet() : nullptr;
}

void TDataLink::SetReadOnly(bool value) {
    if (FReadOnly == value) return;
    FReadOnly = value;
    updateState();
}

void TDataLink::SetBufferCount(int value) {
    if (value < 1) value = 1;
    if (FBufferCount == value) return;
    FBufferCount = value;
    if (FActive) updateRange();
    if (TDataSet* ds = DataSet()) ds->updateBufferCount();
    if (FActive) updateRange();
}

int TDataLink::ActiveRecord() const {
    if (!FActive) return 0;
    return DataSet()->FActiveRecord - FFirstRecord;
}

void TDataLink::SetActiveRecord(int value) {
    if (!FActive) return;
    DataSet()->FActiveRecord = value + FFirstRecord;
}

int TDataLink::RecordCount() const {
    if (!FActive) return 0;
    int n = DataSet()->FRecordCount - FFirstRecord;
    if (n > FBufferCount) n = FBufferCount;
    return n < 0 ? 0 : n;
}

bool TDataLink::Edit() {
    if (!FReadOnly && FDataSource) FDataSource->Edit();
    return FEditing;
}

void TDataLink::UpdateRecord() {
    if (TDataSet* ds = DataSet(); ds && FActive) ds->UpdateRecord();
}

int TDataLink::MoveBy(int distance) {
    TDataSet* ds = DataSet();
    return ds && FActive ? ds->MoveBy(distance) : 0;
}

void TDataLink::updateRange() {
    TDataSet* ds = DataSet();
    int active = ds->FActiveRecord;
    int lo = active - FBufferCount + 1;
    if (lo < 0) lo = 0;
    int hi = ds->FBufferCount - FBufferCount;
    if (hi > active) hi = active;
    if (hi < 0) hi = 0;
    if (FFirstRecord < lo) FFirstRecord = lo;
    if (FFirstRecord > hi) FFirstRecord = hi;
}

void TDataLink::setActive(bool value) {
    FActive = value;
    FFirstRecord = 0;
    if (value) updateRange();
    ActiveChanged();
}

void TDataLink::setEditing(bool value) {
    if (FEditing == value) return;
    FEditing = value;
    EditingChanged();
}

void TDataLink::updateState() {
    TDataSet* ds = DataSet();
    bool active = FDataSource && FDataSource->Enabled() && ds && ds->Active();
    if (active != FActive) setActive(active);
    bool editing = FActive && (ds->State() == dsEdit || ds->State() == dsInsert) && !FReadOnly &&
                   ds->CanModify();
    setEditing(editing);
}

void TDataLink::dataEvent(int event, std::ptrdiff_t info) {
    if (event == deUpdateState) {
        updateState();
        return;
    }
    if (!FActive) return;
    switch (event) {
    case deFieldChange:
    case deRecordChange:
        if (!FUpdating) RecordChanged(reinterpret_cast<TField*>(info));
        break;
    case deDataSetChange:
    case deDataSetScroll:
    case deLayoutChange: {
        TDataSet* ds = DataSet();
        int active = ds->FActiveRecord;
        int first = FFirstRecord + (event == deDataSetScroll ? static_cast<int>(info) : 0);
        int last = first + FBufferCount - 1;
        int count = 0;
        if (active > last)
            count = active - last;
        else if (active < first)
            count = active - first;
        FFirstRecord = first + count;
        updateRange();
        if (event == deDataSetChange)
            DataSetChanged();
        else if (event == deDataSetScroll)
            DataSetScrolled(count);
        else
            LayoutChanged();
        break;
    }
    case deUpdateRecord:
        FUpdating = true;
        try {
            UpdateData();
        } catch (...) {
            FUpdating = false;
            throw;
        }
        FUpdating = false;
        break;
    case deCheckBrowseMode:
        CheckBrowseMode();
        break;
    default:
        break;
    }
}
