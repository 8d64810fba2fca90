#pragma once
// TDataSet: the framework's dataset, base of the client dataset and of the
// SQL datasets. It holds the fields, the state (inactive, browse, edit,
// insert), a window of buffered records around the current one for the data
// links (TDataLink.h), the editing steps with their error events, and the
// notifications. Where the rows come from is the descendant's business, told
// through the protected hooks below.
//
// Records are byte arrays in the engine's record layout (TDSRecordLayout):
// the descendant gives field definitions, the dataset builds the layout from
// them, and every record buffer is Layout().RecordSize() bytes. Fields read
// and write ActiveBuffer().
//
// Moving and changing, as callers rely on it:
//  - Every move (First, Last, Next, Prior, MoveBy, RecNo, Bookmark, Locate
//    in descendants) first finishes a pending change: it posts it when a
//    value was changed (Modified), else cancels it.
//  - Bof() is true after Open, First, and a Prior or MoveBy that hit the
//    start; Eof() after Last and a Next or MoveBy that hit the end, and
//    whenever the dataset is empty.
//  - Edit, Post and Delete run their step under OnEditError, OnPostError and
//    OnDeleteError: an EDatabaseError (or descendant) raised by the step is
//    given to the event with the action daFail; daFail raises it again,
//    daAbort raises EAbort and leaves the dataset as it was, daRetry runs the
//    step again. Other exceptions pass by the event. Post's step is the
//    required-field check ("Field '%s' must have a value", the display name
//    of the first required, writable, null data field in field order) and
//    then InternalPost.
//  - DisableControls/EnableControls nest; while above 0 no notification
//    reaches the links, and when it drops back to 0 they are told once that
//    the dataset changed (and the state, when it changed meanwhile).
//
// Notifications to the links per operation (TDataLink.h), with controls
// enabled:
//   Open             ActiveChanged
//   Close            ActiveChanged (a pending change is dropped)
//   First, Last      CheckBrowseMode, DataSetChanged
//   Next/Prior/MoveBy/RecNo/Bookmark
//                    CheckBrowseMode, DataSetScrolled(n) (DataSetChanged
//                    instead when the records held changed in number)
//   Edit             CheckBrowseMode, EditingChanged, RecordChanged(null)
//   Insert, Append   CheckBrowseMode, EditingChanged, DataSetChanged
//   field write      RecordChanged(field)
//   Post             UpdateData, CheckBrowseMode, EditingChanged,
//                    DataSetChanged
//   Cancel           CheckBrowseMode, EditingChanged, DataSetChanged
//   Delete           CheckBrowseMode, DataSetChanged
// where a pending change finished by a move adds its own Post or Cancel
// sequence after the move's first CheckBrowseMode.

#include "data/DBErrors.h"
#include "data/FieldType.h"
#include "data/engine/DSIntf.h"
#include "data/engine/Variant.h"
#include "platform/Classes.h"

#include <cstddef>
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class TDataLink;
class TDataSource;
class TField;

enum TDataSetState : int { dsInactive, dsBrowse, dsEdit, dsInsert, dsOpening };

// Notifications from a dataset to its sources and links.
enum TDataEvent : int {
    deFieldChange,  // info: the TField*
    deRecordChange, // info: a TField* or 0
    deDataSetChange,
    deDataSetScroll, // info: how far the buffered records moved (see below)
    deLayoutChange,
    deUpdateRecord,
    deUpdateState,
    deCheckBrowseMode,
};

enum TGetMode { gmCurrent, gmNext, gmPrior };
enum TGetResult { grOK, grBOF, grEOF, grError };
// Where a buffer's record stands: a row of the data (bfCurrent), a new row
// (bfInserted), or the new row of an Append / an insert into an empty view
// (bfEOF / bfBOF), which have no row to position on.
enum TBookmarkFlag { bfCurrent, bfBOF, bfEOF, bfInserted };

// A row's identity within one open dataset; empty for none.
using TBookmark = std::optional<uint64_t>;

enum TLocateOption : unsigned { loCaseInsensitive = 1, loPartialKey = 2 };
using TLocateOptions = unsigned;

class TDataSet;
using TDataSetNotifyEvent = std::function<void(TDataSet* DataSet)>;
using TDataSetErrorEvent =
    std::function<void(TDataSet* DataSet, EDatabaseError& E, TDataAction& Action)>;

// A column of the data as the descendant describes it. DataType ftUnknown
// means the type that fits Desc.Type (FieldTypeOfDSType); a descendant sets
// it to name a more exact type (ftTimeStamp, ftFixedChar, ftBCD, ftMemo,
// ...). Fields take from Desc: the name, Size
// (text bytes; Bcd precision), Scale (decimals), fldAttrRequired,
// fldAttrReadOnly, and the provider flags.
struct TFieldDef {
    DSFieldDesc Desc;
    TFieldType DataType = ftUnknown;
};
TFieldType FieldTypeOfDef(const TFieldDef& def);

class TDataSet : public TComponent {
public:
    explicit TDataSet(TComponent* owner = nullptr);
    // Detaches sources and persistent fields and frees default fields. A
    // descendant's destructor must call Close() itself (errors swallowed):
    // its InternalClose cannot be reached from here.
    ~TDataSet() override;

    // --- opening ---------------------------------------------------------------
    // Open does nothing when open. On failure the dataset stays closed and the
    // exception passes on.
    void Open();
    void Close();
    bool Active() const { return FState != dsInactive && FState != dsOpening; }
    void SetActive(bool value);
    TDataSetState State() const { return FState; }

    // --- moving ----------------------------------------------------------------
    void First();
    void Last();
    void Next() { MoveBy(1); }
    void Prior() { MoveBy(-1); }
    // Moves n rows (backward for negative n), stopping at either end with Eof
    // or Bof set; returns the rows actually moved (negative going back).
    int MoveBy(int distance);
    bool Bof() const { return FBOF; }
    bool Eof() const { return FEOF; }
    bool IsEmpty() const;
    // 1-based number of the current row in the view; -1 when the dataset
    // cannot tell (not sequenced). Setting it finishes a pending change and
    // moves there.
    virtual int RecNo() const;
    virtual void SetRecNo(int value);
    // Rows in the view; -1 when the dataset cannot tell.
    virtual int RecordCount() const;
    TBookmark Bookmark() const;
    void SetBookmark(const TBookmark& bookmark) { GotoBookmark(bookmark); }
    void GotoBookmark(const TBookmark& bookmark);
    virtual bool BookmarkValid(const TBookmark& bookmark) const;
    // Finds the first row of the view whose key fields (names separated by
    // ";") equal the values; true and that row current, or false and no move.
    // This base raises "Capability not supported".
    virtual bool Locate(const std::string& keyFields, const std::vector<Variant>& keyValues,
                        TLocateOptions options = 0);
    bool Locate(const std::string& keyFields, const Variant& keyValue, TLocateOptions options = 0) {
        return Locate(keyFields, std::vector<Variant>{keyValue}, options);
    }

    // --- changing --------------------------------------------------------------
    // Edit does nothing while editing or inserting, inserts on an empty view,
    // refuses a dataset that cannot be modified ("Cannot modify a read-only
    // dataset") and runs InternalEdit under OnEditError.
    void Edit();
    // A new empty row before the current one (Insert) or after the last one
    // (Append), in insert state; OnNewRecord fills it.
    void Insert();
    void Append();
    // Does nothing outside edit and insert state.
    void Post();
    void Cancel();
    // While inserting it cancels the new row; on an empty view it raises
    // "Cannot perform this operation on an empty dataset".
    void Delete();
    virtual bool CanModify() const;
    // A value of the current row was written since edit or insert began.
    bool Modified() const { return FModified; }
    // Finishes a pending change: posts it when modified, else cancels it.
    void CheckBrowseMode();
    // Asks the links to write pending control edits into the fields.
    void UpdateRecord();

    // --- fields ----------------------------------------------------------------
    int FieldCount() const { return static_cast<int>(FFields.size()); }
    TField* Fields(int index) const { return FFields.at(index); }
    // Without regard to case; FieldByName raises "Field '%s' not found".
    TField* FindField(std::string_view name) const;
    TField* FieldByName(std::string_view name) const;
    const std::vector<TFieldDef>& FieldDefs() const { return FFieldDefs; }
    // The fields were made by the dataset at its open (no persistent fields);
    // they are freed when it closes.
    bool DefaultFields() const { return FDefaultFields; }
    // True when the field belongs to the current index (none here).
    virtual bool IsIndexField(const TField* field) const { return false; }

    // --- controls --------------------------------------------------------------
    void DisableControls();
    void EnableControls();
    bool ControlsDisabled() const { return FDisableCount > 0; }

    // --- records ---------------------------------------------------------------
    const TDSRecordLayout& Layout() const { return FLayout; }
    size_t RecordSize() const { return FLayout.RecordSize(); }
    // The current record's buffer (the one a data link made active while it
    // paints another row); null when there is no record.
    uint8_t* ActiveBuffer();
    const uint8_t* ActiveBuffer() const;
    bool IsUniDirectional() const { return FUniDirectional; }

    // --- events ----------------------------------------------------------------
    TDataSetNotifyEvent BeforeOpen, AfterOpen, BeforeClose, AfterClose;
    TDataSetNotifyEvent BeforeInsert, AfterInsert, BeforeEdit, AfterEdit;
    TDataSetNotifyEvent BeforePost, AfterPost, BeforeCancel, AfterCancel;
    TDataSetNotifyEvent BeforeDelete, AfterDelete, BeforeScroll, AfterScroll;
    TDataSetNotifyEvent OnNewRecord;
    TDataSetErrorEvent OnEditError, OnPostError, OnDeleteError;

protected:
    // One record buffer. The descendant fills Data, Bookmark and RecNo in
    // GetRecord; the rest is the dataset's.
    struct TRecordBuffer {
        std::vector<uint8_t> Data;
        uint64_t Bookmark = 0;
        TBookmarkFlag BookmarkFlag = bfCurrent;
        int RecNo = 0; // 1-based sequence number, 0 when unknown
    };

    // ---- hooks for descendants ----------------------------------------------
    // Open the cursor, positioned before the first row, and call
    // SetFieldDefs. May raise; the dataset then calls InternalClose and stays
    // closed.
    virtual void InternalOpen() = 0;
    // Free the cursor; must not fail on a half-open cursor.
    virtual void InternalClose() = 0;
    // Read the row at the cursor (gmCurrent), or move the cursor one row
    // forward (gmNext) or back (gmPrior) and read it. On grBOF/grEOF the
    // cursor sits on that crack. Unidirectional datasets are only asked for
    // gmNext and gmCurrent.
    virtual TGetResult GetRecord(TRecordBuffer& buffer, TGetMode mode) = 0;
    // Place the cursor on the crack before the first / after the last row.
    virtual void InternalFirst() = 0;
    virtual void InternalLast();
    // Place the cursor on the buffer's row: its bookmark for bfCurrent and
    // bfInserted, the cracks for bfBOF and bfEOF.
    virtual void InternalSetToRecord(const TRecordBuffer& buffer);
    virtual void InternalGotoBookmark(uint64_t bookmark);
    // A new row's values: every field null.
    virtual void InternalInitRecord(TRecordBuffer& buffer);
    // Checks before a new row enters the buffers ("Inserts are not allowed");
    // not under an error event.
    virtual void InternalInsert() {}
    // The edit step run under OnEditError.
    virtual void InternalEdit() {}
    // Writes ActiveBuffer() as a new row (State() dsInsert; the cursor stands
    // on the row it goes before, or on the crack of an append) or over the
    // current row (dsEdit), leaving the cursor on the written row. Run under
    // OnPostError.
    virtual void InternalPost();
    // Deletes the current row, leaving the cursor on the next row or the EOF
    // crack. Run under OnDeleteError.
    virtual void InternalDelete();
    virtual void InternalCancel() {}
    // True when the descendant can modify rows at all.
    virtual bool GetCanModify() const { return false; }

    // ---- services for descendants -------------------------------------------
    // The columns of the data; builds the layout. Call from InternalOpen.
    void SetFieldDefs(std::vector<TFieldDef> defs);
    // Same, with the layout the rows come in (equal to one built from defs).
    void SetFieldDefs(std::vector<TFieldDef> defs, const TDSRecordLayout& layout);
    void SetUniDirectional(bool value) { FUniDirectional = value; }
    void CheckActive() const;   // "Cannot perform this operation on a closed dataset"
    void CheckInactive() const; // "Cannot perform this operation on an open dataset"
    // Sends a notification to the sources and links (unless disabled).
    void DataEvent(TDataEvent event, std::ptrdiff_t info = 0);
    // Rereads the buffers around the cursor's row and tells the links the
    // dataset changed. exact: the cursor's row must exist ("Record not
    // found"); center: the current row goes to the middle of the window,
    // else it keeps its position in the window.
    void Resync(bool exact, bool center);
    // Positions the cursor on the current record when it was moved away.
    void UpdateCursorPos();
    // The cursor no longer stands on a buffered record.
    void CursorPosChanged() { FCurrentRecord = -1; }
    // Runs op under an error event, as described above.
    void CheckOperation(const std::function<void()>& op, const TDataSetErrorEvent& errorEvent);
    // Raises "Field '%s' must have a value" for the first required null field.
    void CheckRequiredFields();
    const TRecordBuffer& ActiveRecordBuffer() const;
    void DoBeforeScroll();
    void DoAfterScroll();

private:
    friend class TField;
    friend class TDataLink;
    friend class TDataSource;

    void openCursor();
    std::exception_ptr closeCursor();
#ifdef NDEBUG
    void checkWindow() const {}
#else
    void checkWindow() const;
#endif
    void bindFields();
    void createDefaultFields();
    void freeDefaultFields();
    void setState(TDataSetState state);
    void setModified(bool value) { FModified = value; }
    void addField(TField* field);
    void removeField(TField* field);
    void addDataSource(TDataSource* source);
    void removeDataSource(TDataSource* source);
    void updateBufferCount();
    void setBufferCount(int value);
    void clearBuffers();
    void activateBuffers();
    void moveBuffer(int from, int to);
    void setCurrentRecord(int index);
    bool getNextRecord();
    bool getPriorRecord();
    int getNextRecords();
    int getPriorRecords();
    void beginInsertAppend();
    void endInsertAppend();
    void notifyLinks(TDataEvent event, std::ptrdiff_t info);
    static void callEvent(const TDataSetNotifyEvent& e, TDataSet* ds) {
        if (e) e(ds);
    }

    TDataSetState FState = dsInactive;
    bool FBOF = true;
    bool FEOF = true;
    bool FModified = false;
    bool FUniDirectional = false;
    bool FDefaultFields = false;
    int FDisableCount = 0;
    TDataSetState FDisableState = dsInactive;
    TDataEvent FEnableEvent = deDataSetChange;

    std::vector<TFieldDef> FFieldDefs;
    TDSRecordLayout FLayout;
    std::vector<TField*> FFields;

    // The record window (checkWindow states its invariants). FBuffers holds
    // FBufferCount + 1 buffers while open; the first FRecordCount hold
    // records in view order, the one at FRecordCount is scratch space.
    // Moving a record in the window moves its owning pointer.
    std::vector<std::unique_ptr<TRecordBuffer>> FBuffers;
    int FBufferCount = 0;
    int FRecordCount = 0;
    int FActiveRecord = 0;
    int FCurrentRecord = -1; // buffer the cursor stands on, -1 when unknown

    std::vector<TDataSource*> FDataSources;
};
