#include "data/TDataSource.h"

#include "data/TDataLink.h"
#include "data/TDataSet.h"

#include <algorithm>

TDataSource::TDataSource(TComponent* owner) : TComponent(owner) {}

TDataSource::~TDataSource() {
    OnStateChange = nullptr;
    OnDataChange = nullptr;
    OnUpdateData = nullptr;
    SetDataSet(nullptr);
    while (!FLinks.empty()) {
        TDataLink* link = FLinks.back();
        FLinks.pop_back();
        link->FDataSource = nullptr;
        link->updateState();
    }
}

void TDataSource::SetDataSet(TDataSet* dataSet) {
    if (dataSet == FDataSet) return;
    if (FDataSet) FDataSet->removeDataSource(this);
    FDataSet = dataSet;
    if (FDataSet) FDataSet->addDataSource(this);
    notifyLinksState();
}

void TDataSource::SetEnabled(bool value) {
    if (FEnabled == value) return;
    FEnabled = value;
    notifyLinksState();
}

TDataSetState TDataSource::State() const {
    if (!FEnabled || !FDataSet) return dsInactive;
    return FDataSet->State();
}

void TDataSource::Edit() {
    if (FDataSet && FDataSet->State() == dsBrowse && FDataSet->CanModify()) FDataSet->Edit();
}

void TDataSource::Notification(TComponent* component, bool removing) {
    if (removing && component == FDataSet) SetDataSet(nullptr);
}

void TDataSource::addLink(TDataLink* link) {
    FLinks.push_back(link);
    link->FDataSource = this;
    if (FDataSet) FDataSet->updateBufferCount();
}

void TDataSource::removeLink(TDataLink* link) {
    auto it = std::find(FLinks.begin(), FLinks.end(), link);
    if (it != FLinks.end()) FLinks.erase(it);
    link->FDataSource = nullptr;
    if (FDataSet) FDataSet->updateBufferCount();
}

void TDataSource::notifyLinksState() {
    TDataSetState state = State();
    std::vector<TDataLink*> links = FLinks;
    for (TDataLink* link : links)
        if (std::find(FLinks.begin(), FLinks.end(), link) != FLinks.end()) link->updateState();
    if (state != FState) {
        FState = state;
        if (OnStateChange) OnStateChange(this);
    }
}

void TDataSource::dataEvent(int event, std::ptrdiff_t info) {
    if (event == deUpdateState) {
        notifyLinksState();
        return;
    }
    if (!FEnabled) return;
    std::vector<TDataLink*> links = FLinks;
    for (TDataLink* link : links)
        if (std::find(FLinks.begin(), FLinks.end(), link) != FLinks.end())
            link->dataEvent(event, info);
    switch (event) {
    case deFieldChange:
    case deRecordChange:
        if (OnDataChange) OnDataChange(this, reinterpret_cast<TField*>(info));
        break;
    case deDataSetChange:
    case deDataSetScroll:
    case deLayoutChange:
        if (OnDataChange) OnDataChange(this, nullptr);
        break;
    case deUpdateRecord:
        if (OnUpdateData) OnUpdateData(this);
        break;
    default:
        break;
    }
}
