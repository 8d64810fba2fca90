// TDataSet: moving through the rows and editing them. The buffer window and
// the notifications follow the rules in TDataSet.h; the scroll distance of
// deDataSetScroll is how far the buffered records moved in the window (-1
// when the window advanced one row), which each link turns into its own
// window's move.

#include "data/TDataSet.h"

#include "data/TField.h"
#include "platform/SysUtils.h"

static void uniDirectionalError() {
    DatabaseError("Operation not allowed on a unidirectional dataset");
}

void TDataSet::DoBeforeScroll() {
    callEvent(BeforeScroll, this);
}
void TDataSet::DoAfterScroll() {
    callEvent(AfterScroll, this);
}

bool TDataSet::IsEmpty() const {
    return FRecordCount == 0;
}

void TDataSet::CheckBrowseMode() {
    CheckActive();
    DataEvent(deCheckBrowseMode);
    if (FState == dsEdit || FState == dsInsert) {
        UpdateRecord();
        if (FModified)
            Post();
        else
            Cancel();
    }
}

void TDataSet::UpdateRecord() {
    if (FState != dsEdit && FState != dsInsert) DatabaseError("Dataset not in edit or insert mode");
    DataEvent(deUpdateRecord);
}

void TDataSet::First() {
    CheckBrowseMode();
    if (FUniDirectional) {
        // A forward-only cursor starts again by running its statement anew.
        if (!FBOF) {
            Close();
            Open();
        }
        return;
    }
    DoBeforeScroll();
    clearBuffers();
    try {
        InternalFirst();
        getNextRecord();
        getNextRecords();
    } catch (...) {
        FBOF = true;
        DataEvent(deDataSetChange);
        throw;
    }
    FBOF = true;
    checkWindow();
    DataEvent(deDataSetChange);
    DoAfterScroll();
}

void TDataSet::Last() {
    if (FUniDirectional) uniDirectionalError();
    CheckBrowseMode();
    DoBeforeScroll();
    clearBuffers();
    try {
        InternalLast();
        getPriorRecord();
        getPriorRecords();
    } catch (...) {
        FEOF = true;
        DataEvent(deDataSetChange);
        throw;
    }
    FEOF = true;
    checkWindow();
    DataEvent(deDataSetChange);
    DoAfterScroll();
}

int TDataSet::MoveBy(int distance) {
    if (distance < 0 && FUniDirectional) uniDirectionalError();
    CheckBrowseMode();
    int result = 0;
    if ((distance > 0 && !FEOF) || (distance < 0 && !FBOF)) {
        DoBeforeScroll();
        FBOF = false;
        FEOF = false;
        int oldRecordCount = FRecordCount;
        int scroll = 0;
        try {
            while (distance > 0) {
                if (FActiveRecord < FRecordCount - 1) {
                    ++FActiveRecord;
                } else {
                    int shift = FRecordCount < FBufferCount ? 0 : 1;
                    if (!getNextRecord()) {
                        FEOF = true;
                        break;
                    }
                    scroll -= shift;
                    if (shift == 0) FActiveRecord = FRecordCount - 1;
                }
                --distance;
                ++result;
            }
            while (distance < 0) {
                if (FActiveRecord > 0) {
                    --FActiveRecord;
                } else {
                    int shift = FRecordCount < FBufferCount ? 0 : 1;
                    if (!getPriorRecord()) {
                        FBOF = true;
                        break;
                    }
                    scroll += shift;
                    FActiveRecord = 0;
                }
                ++distance;
                --result;
            }
        } catch (...) {
            if (FRecordCount != oldRecordCount)
                DataEvent(deDataSetChange);
            else
                DataEvent(deDataSetScroll, scroll);
            throw;
        }
        checkWindow();
        if (FRecordCount != oldRecordCount)
            DataEvent(deDataSetChange);
        else
            DataEvent(deDataSetScroll, scroll);
        DoAfterScroll();
    }
    return result;
}

TBookmark TDataSet::Bookmark() const {
    if (FActiveRecord >= FRecordCount) return std::nullopt;
    const TRecordBuffer& b = *FBuffers[FActiveRecord];
    if (b.BookmarkFlag != bfCurrent || (FState == dsInsert)) return std::nullopt;
    return b.Bookmark;
}

void TDataSet::GotoBookmark(const TBookmark& bookmark) {
    if (!bookmark) return;
    CheckBrowseMode();
    DoBeforeScroll();
    InternalGotoBookmark(*bookmark);
    Resync(true, true);
    DoAfterScroll();
}

// ---- editing ----------------------------------------------------------------------

void TDataSet::CheckOperation(const std::function<void()>& op,
                              const TDataSetErrorEvent& errorEvent) {
    for (;;) {
        try {
            UpdateCursorPos();
            op();
            return;
        } catch (EDatabaseError& e) {
            TDataAction action = daFail;
            if (errorEvent) errorEvent(this, e, action);
            if (action == daFail) throw;
            if (action == daAbort) Abort();
        }
    }
}

void TDataSet::CheckRequiredFields() {
    for (TField* f : FFields)
        if (f->Required() && !f->ReadOnly() && f->FieldKind() == fkData && f->IsNull())
            DatabaseError(Format("Field '%s' must have a value", {f->DisplayName()}));
}

void TDataSet::Edit() {
    if (FState == dsEdit || FState == dsInsert) return;
    if (FRecordCount == 0) {
        Insert();
        return;
    }
    CheckBrowseMode();
    if (!CanModify()) DatabaseError("Cannot modify a read-only dataset");
    callEvent(BeforeEdit, this);
    CheckOperation([this] { InternalEdit(); }, OnEditError);
    setState(dsEdit);
    DataEvent(deRecordChange, 0);
    callEvent(AfterEdit, this);
}

void TDataSet::beginInsertAppend() {
    CheckBrowseMode();
    if (!CanModify()) DatabaseError("Cannot modify a read-only dataset");
    callEvent(BeforeInsert, this);
    InternalInsert();
}

void TDataSet::endInsertAppend() {
    setState(dsInsert);
    try {
        callEvent(OnNewRecord, this);
    } catch (...) {
        UpdateCursorPos();
        setState(dsBrowse);
        Resync(false, false);
        throw;
    }
    FModified = false;
    DataEvent(deDataSetChange);
    callEvent(AfterInsert, this);
}

void TDataSet::Insert() {
    beginInsertAppend();
    bool haveCurrent = FRecordCount > 0;
    TRecordBuffer old;
    if (haveCurrent) {
        old.Bookmark = FBuffers[FActiveRecord]->Bookmark;
        old.BookmarkFlag = FBuffers[FActiveRecord]->BookmarkFlag;
        old.RecNo = FBuffers[FActiveRecord]->RecNo;
    }
    moveBuffer(FRecordCount, FActiveRecord);
    TRecordBuffer& buffer = *FBuffers[FActiveRecord];
    InternalInitRecord(buffer);
    if (haveCurrent) {
        // The new row goes before the row that was current.
        buffer.Bookmark = old.Bookmark;
        buffer.BookmarkFlag = old.BookmarkFlag;
        buffer.RecNo = old.RecNo;
    } else {
        buffer.BookmarkFlag = bfBOF;
    }
    if (FRecordCount < FBufferCount) ++FRecordCount;
    FBOF = false;
    FEOF = false;
    CursorPosChanged();
    checkWindow();
    endInsertAppend();
}

void TDataSet::Append() {
    beginInsertAppend();
    clearBuffers();
    TRecordBuffer& buffer = *FBuffers[0];
    InternalInitRecord(buffer);
    buffer.BookmarkFlag = bfEOF;
    FRecordCount = 1;
    FActiveRecord = 0;
    FBOF = false;
    getPriorRecords();
    checkWindow();
    endInsertAppend();
}

void TDataSet::Post() {
    if (FState != dsEdit && FState != dsInsert) return;
    UpdateRecord();
    DataEvent(deCheckBrowseMode);
    callEvent(BeforePost, this);
    CheckOperation(
        [this] {
            CheckRequiredFields();
            InternalPost();
        },
        OnPostError);
    setState(dsBrowse);
    Resync(false, false);
    callEvent(AfterPost, this);
}

void TDataSet::Cancel() {
    if (FState != dsEdit && FState != dsInsert) return;
    DataEvent(deCheckBrowseMode);
    callEvent(BeforeCancel, this);
    bool scrolls = FState == dsInsert;
    if (scrolls) DoBeforeScroll();
    UpdateCursorPos();
    InternalCancel();
    setState(dsBrowse);
    Resync(false, false);
    callEvent(AfterCancel, this);
    if (scrolls) DoAfterScroll();
}

void TDataSet::Delete() {
    CheckActive();
    if (FState == dsInsert) {
        Cancel();
        return;
    }
    if (FRecordCount == 0) DatabaseError("Cannot perform this operation on an empty dataset");
    if (!CanModify()) DatabaseError("Cannot modify a read-only dataset");
    DataEvent(deCheckBrowseMode);
    callEvent(BeforeDelete, this);
    DoBeforeScroll();
    CheckOperation([this] { InternalDelete(); }, OnDeleteError);
    setState(dsBrowse);
    Resync(false, false);
    callEvent(AfterDelete, this);
    DoAfterScroll();
}
