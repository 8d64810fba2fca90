#pragma once
// TDataLink: how a data-aware control (grid, navigator) is attached to a
// dataset, through a TDataSource. The link owns nothing; the control owns the
// link (normally by deriving from it) and overrides the notifications.
//
// Buffer window. Each link asks for BufferCount() records (a grid: its
// visible rows). The dataset keeps as many record buffers as the largest
// link asks for, filled around the current record; each link sees a window of
// its own size into them:
//   RecordCount()   records held in the link's window (0 .. BufferCount()),
//   ActiveRecord()  position of the current record in the window (0-based).
// A control paints row i by SetActiveRecord(i), reading its fields, and then
// restoring the previous value; nothing else may happen in between.
//
// Notifications, all sent synchronously by the dataset (none while its
// controls are disabled, see TDataSet::DisableControls):
//   ActiveChanged()       the dataset opened or closed (or the link was
//                         attached to or detached from an open dataset);
//   DataSetChanged()      rows were added, deleted, reloaded, filtered, or
//                         the whole window refilled: repaint everything;
//   DataSetScrolled(n)    the link's window moved n rows towards the end
//                         (n < 0: towards the start) and the current record
//                         may have moved inside it; the rows still shown
//                         kept their contents. n is 0 when only the current
//                         record moved within the window;
//   RecordChanged(f)      field f of the current record changed (f null:
//                         the whole record, e.g. after Edit);
//   EditingChanged()      Editing() switched (edit or insert state began or
//                         ended);
//   LayoutChanged()       the fields changed;
//   UpdateData()          before a post: write pending control text into
//                         the fields (not called back for the field writes
//                         made inside it);
//   CheckBrowseMode()     before the dataset moves or leaves edit state.

#include <cstddef>

class TDataSet;
class TDataSource;
class TField;

class TDataLink {
public:
    TDataLink() = default;
    virtual ~TDataLink();
    TDataLink(const TDataLink&) = delete;
    TDataLink& operator=(const TDataLink&) = delete;

    TDataSource* DataSource() const { return FDataSource; }
    // Attaches the link (detaching it from the previous source). Null detaches.
    void SetDataSource(TDataSource* source);
    // The source's dataset, or null.
    TDataSet* DataSet() const;

    // Attached to an enabled source whose dataset is open.
    bool Active() const { return FActive; }
    // Active and the dataset in edit or insert state (and it can be modified).
    bool Editing() const { return FEditing; }
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool value);

    int BufferCount() const { return FBufferCount; }
    // At least 1. Changing it may make the dataset read more records; no
    // notification is sent for it: the caller reads RecordCount() afterwards.
    void SetBufferCount(int value);
    int ActiveRecord() const;
    void SetActiveRecord(int value);
    int RecordCount() const;

    // Puts the dataset in edit state unless the link is read-only; true when
    // the link is then editing.
    bool Edit();
    // Asks the dataset to collect pending control edits (UpdateData of every
    // link) without posting.
    void UpdateRecord();
    // Moves the dataset; returns the rows moved.
    int MoveBy(int distance);

protected:
    virtual void ActiveChanged() {}
    virtual void DataSetChanged() { RecordChanged(nullptr); }
    virtual void DataSetScrolled(int distance) { DataSetChanged(); }
    virtual void RecordChanged(TField* field) {}
    virtual void EditingChanged() {}
    virtual void LayoutChanged() { DataSetChanged(); }
    virtual void UpdateData() {}
    virtual void CheckBrowseMode() {}

private:
    friend class TDataSource;
    friend class TDataSet;

    // Called by TDataSource/TDataSet.
    void dataEvent(int event, std::ptrdiff_t info);
    void updateState();
    void setActive(bool value);
    void setEditing(bool value);
    void updateRange();

    TDataSource* FDataSource = nullptr;
    bool FActive = false;
    bool FEditing = false;
    bool FReadOnly = false;
    bool FUpdating = false;
    int FBufferCount = 1;
    int FFirstRecord = 0; // the link's window starts at this dataset buffer
};
