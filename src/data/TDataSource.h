#pragma once
// TDataSource: names the dataset that data-aware controls show, and passes the
// dataset's notifications on to the data links attached to it.
//
// A disabled source (Enabled False) makes its links inactive. OnStateChange
// runs when the dataset's state changes; OnDataChange when the record or the
// rows changed (field is the changed field, or null); OnUpdateData before a
// post.

#include "platform/Classes.h"

#include <cstddef>
#include <functional>
#include <vector>

class TDataLink;
class TDataSet;
class TField;
enum TDataSetState : int;

class TDataSource : public TComponent {
public:
    explicit TDataSource(TComponent* owner = nullptr);
    ~TDataSource() override;

    TDataSet* DataSet() const { return FDataSet; }
    void SetDataSet(TDataSet* dataSet);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool value);
    // The dataset's state, or dsInactive without an open dataset or when
    // disabled.
    TDataSetState State() const;
    // Puts the dataset in edit state when it is browsing and can be modified.
    void Edit();

    std::function<void(TDataSource* Sender)> OnStateChange;
    std::function<void(TDataSource* Sender, TField* Field)> OnDataChange;
    std::function<void(TDataSource* Sender)> OnUpdateData;

    void Notification(TComponent* component, bool removing) override;

private:
    friend class TDataLink;
    friend class TDataSet;

    void dataEvent(int event, std::ptrdiff_t info);
    void addLink(TDataLink* link);
    void removeLink(TDataLink* link);
    void notifyLinksState();

    TDataSet* FDataSet = nullptr;
    bool FEnabled = true;
    TDataSetState FState{};
    std::vector<TDataLink*> FLinks;
};
