#include "data/TDataSet.h"

#include "data/TDataLink.h"
#include "data/TDataSource.h"
#include "data/TField.h"
#include "data/TNumericFields.h"
#include "platform/SysUtils.h"

#include <algorithm>
#include <cassert>

TFieldType FieldTypeOfDef(const TFieldDef& def) {
    return def.DataType != ftUnknown ? def.DataType : FieldTypeOfDSType(def.Desc.Type);
}

TDataSet::TDataSet(TComponent* owner) : TComponent(owner) {}

TDataSet::~TDataSet() {
    // A descendant closes in its own destructor (InternalClose is no longer
    // reachable here); whatever is left is released without it.
    FState = dsInactive;
    for (TDataSource* source : std::vector<TDataSource*>(FDataSources)) {
        source->FDataSet = nullptr;
        source->notifyLinksState();
    }
    FDataSources.clear();
    freeDefaultFields();
    for (TField* f : FFields) {
        f->FDataSet = nullptr;
        f->FFieldNo = 0;
    }
    FFields.clear();
}

// ---- opening and closing ----------------------------------------------------

void TDataSet::SetActive(bool value) {
    if (value)
        Open();
    else
        Close();
}

void TDataSet::Open() {
    if (FState != dsInactive) return;
    callEvent(BeforeOpen, this);
    FState = dsOpening;
    try {
        openCursor();
    } catch (...) {
        FState = dsInactive;
        // The open's own error is what the caller must see, not a failure
        // to free what it left half made.
        closeCursor();
        checkWindow();
        throw;
    }
    checkWindow();
    setState(dsBrowse);
    callEvent(AfterOpen, this);
    if (!IsEmpty()) DoAfterScroll();
}

void TDataSet::openCursor() {
    FFieldDefs.clear();
    FLayout = TDSRecordLayout();
    InternalOpen();
    if (FFields.empty())
        createDefaultFields();
    else
        bindFields();
    FBuffers.clear();
    FBufferCount = 0;
    clearBuffers();
    updateBufferCount();
    FBOF = true;
}

void TDataSet::Close() {
    if (!Active()) return;
    callEvent(BeforeClose, this);
    setState(dsInactive);
    std::exception_ptr failure = closeCursor();
    checkWindow();
    if (failure) std::rethrow_exception(failure);
    callEvent(AfterClose, this);
}

// Frees the cursor, the default fields and the record window, as a closed
// dataset holds none of them. A failure of InternalClose is returned once
// everything else is released, for the caller to raise or not.
std::exception_ptr TDataSet::closeCursor() {
    std::exception_ptr failure;
    try {
        InternalClose();
    } catch (...) {
        failure = std::current_exception();
    }
    freeDefaultFields();
    for (TField* f : FFields)
        f->FFieldNo = 0;
    FBuffers.clear();
    FBufferCount = 0;
    clearBuffers();
    FFieldDefs.clear();
    FLayout = TDSRecordLayout();
    return failure;
}

void TDataSet::SetFieldDefs(std::vector<TFieldDef> defs) {
    std::vector<DSFieldDesc> descs;
    descs.reserve(defs.size());
    for (const TFieldDef& d : defs)
        descs.push_back(d.Desc);
    FLayout = TDSRecordLayout(std::move(descs));
    FFieldDefs = std::move(defs);
}

void TDataSet::SetFieldDefs(std::vector<TFieldDef> defs, const TDSRecordLayout& layout) {
    assert(static_cast<int>(defs.size()) == layout.FieldCount());
    FLayout = layout;
    FFieldDefs = std::move(defs);
}

void TDataSet::createDefaultFields() {
    for (size_t i = 0; i < FFieldDefs.size(); ++i) {
        const TFieldDef& def = FFieldDefs[i];
        TField* f = CreateFieldOfType(FieldTypeOfDef(def), nullptr);
        f->FFieldName = def.Desc.Name;
        if (def.Desc.Type == DSType::String) f->FSize = def.Desc.Size;
        if (auto* bcd = dynamic_cast<TBCDField*>(f)) {
            if (def.Desc.Type == DSType::Bcd) {
                f->FSize = def.Desc.Scale;
                bcd->SetPrecision(def.Desc.Size);
            } else if (def.Desc.Type == DSType::Currency) {
                f->FSize = 4;
            }
        }
        f->FRequired = (def.Desc.Attributes & fldAttrRequired) != 0;
        f->FReadOnly = (def.Desc.Attributes & fldAttrReadOnly) != 0;
        f->FVisible = (def.Desc.Attributes & fldAttrHidden) == 0;
        f->FProviderFlags = def.Desc.ProviderFlags;
        f->FDataSet = this;
        f->FFieldNo = static_cast<int>(i) + 1;
        FFields.push_back(f);
    }
    FDefaultFields = true;
}

void TDataSet::freeDefaultFields() {
    if (!FDefaultFields) return;
    std::vector<TField*> fields;
    fields.swap(FFields);
    FDefaultFields = false;
    for (TField* f : fields) {
        f->FDataSet = nullptr;
        delete f;
    }
}

void TDataSet::bindFields() {
    for (TField* f : FFields) {
        int index = FLayout.FieldIndex(f->FieldName());
        if (index < 0) DatabaseError(Format("Field '%s' not found", {f->DisplayName()}));
        TFieldType actual = FieldTypeOfDef(FFieldDefs[index]);
        if (FieldFamily(actual) != FieldFamily(f->DataType()))
            DatabaseError(
                Format("Type mismatch for field '%s', expecting: %s actual: %s",
                       {f->DisplayName(), FieldTypeName(f->DataType()), FieldTypeName(actual)}));
        const DSFieldDesc& desc = FFieldDefs[index].Desc;
        if (auto* bcd = dynamic_cast<TBCDField*>(f);
            bcd && desc.Type == DSType::Bcd && bcd->Precision() <= 0)
            bcd->SetPrecision(desc.Size);
        if (desc.Type == DSType::String && f->FSize <= 0) f->FSize = desc.Size;
        f->FFieldNo = index + 1;
    }
}

void TDataSet::addField(TField* field) {
    FFields.push_back(field);
    field->FDataSet = this;
    field->FFieldNo = 0;
}

void TDataSet::removeField(TField* field) {
    auto it = std::find(FFields.begin(), FFields.end(), field);
    if (it != FFields.end()) FFields.erase(it);
    field->FDataSet = nullptr;
    field->FFieldNo = 0;
}

TField* TDataSet::FindField(std::string_view name) const {
    for (TField* f : FFields)
        if (SameText(f->FieldName(), name)) return f;
    return nullptr;
}

TField* TDataSet::FieldByName(std::string_view name) const {
    TField* f = FindField(name);
    if (!f) DatabaseError(Format("Field '%s' not found", {name}));
    return f;
}

void TDataSet::CheckActive() const {
    if (!Active()) DatabaseError("Cannot perform this operation on a closed dataset");
}

void TDataSet::CheckInactive() const {
    if (FState != dsInactive) DatabaseError("Cannot perform this operation on an open dataset");
}

void TDataSet::setState(TDataSetState state) {
    if (FState == state) return;
    FState = state;
    FModified = false;
    DataEvent(deUpdateState);
}

// ---- notifications ----------------------------------------------------------

void TDataSet::DataEvent(TDataEvent event, std::ptrdiff_t info) {
    if (FDisableCount == 0) {
        notifyLinks(event, info);
    } else if ((event == deUpdateState && FState == dsInactive) || event == deLayoutChange) {
        FEnableEvent = deLayoutChange;
    }
}

void TDataSet::notifyLinks(TDataEvent event, std::ptrdiff_t info) {
    std::vector<TDataSource*> sources = FDataSources;
    for (TDataSource* s : sources)
        if (std::find(FDataSources.begin(), FDataSources.end(), s) != FDataSources.end())
            s->dataEvent(event, info);
}

void TDataSet::DisableControls() {
    if (FDisableCount == 0) {
        FDisableState = FState;
        FEnableEvent = deDataSetChange;
    }
    ++FDisableCount;
}

void TDataSet::EnableControls() {
    if (FDisableCount == 0) return;
    if (--FDisableCount > 0) return;
    if (FDisableState != FState) DataEvent(deUpdateState);
    if (FDisableState != dsInactive && FState != dsInactive) DataEvent(FEnableEvent);
}

void TDataSet::addDataSource(TDataSource* source) {
    FDataSources.push_back(source);
    updateBufferCount();
}

void TDataSet::removeDataSource(TDataSource* source) {
    auto it = std::find(FDataSources.begin(), FDataSources.end(), source);
    if (it != FDataSources.end()) FDataSources.erase(it);
    updateBufferCount();
}

// ---- record buffers -----------------------------------------------------------

void TDataSet::updateBufferCount() {
    if (FState == dsInactive) return;
    int count = 1;
    for (TDataSource* s : FDataSources)
        for (TDataLink* link : s->FLinks)
            count = std::max(count, link->BufferCount());
    setBufferCount(count);
}

void TDataSet::setBufferCount(int value) {
    if (value < 1 || FUniDirectional) value = 1;
    if (value == FBufferCount) return;
    std::vector<TDataLink*> links;
    for (TDataSource* s : FDataSources)
        for (TDataLink* link : s->FLinks)
            links.push_back(link);
    if (value < FBufferCount && FRecordCount > 0) {
        // Keep the current record and every link's first record: drop only
        // records before all of them.
        int delta = FActiveRecord;
        for (TDataLink* link : links)
            if (link->FActive) delta = std::min(delta, link->FFirstRecord);
        std::rotate(FBuffers.begin(), FBuffers.begin() + delta, FBuffers.end());
        FRecordCount -= delta;
        FActiveRecord -= delta;
        FCurrentRecord = FCurrentRecord >= delta ? FCurrentRecord - delta : -1;
        for (TDataLink* link : links)
            if (link->FActive) link->FFirstRecord -= delta;
        if (FRecordCount > value) FRecordCount = value;
        if (FActiveRecord >= FRecordCount) FActiveRecord = FRecordCount - 1;
        if (FCurrentRecord >= FRecordCount) FCurrentRecord = -1;
    }
    // Buffers past the window are freed; the records kept are at its front.
    size_t size = static_cast<size_t>(value) + 1;
    if (FBuffers.size() > size) FBuffers.resize(size);
    while (FBuffers.size() < size) {
        auto b = std::make_unique<TRecordBuffer>();
        b->Data.assign(FLayout.RecordSize(), 0);
        FLayout.InitRecord(b->Data.data());
        FBuffers.push_back(std::move(b));
    }
    FBufferCount = value;
    getNextRecords();
    int added = getPriorRecords();
    for (TDataLink* link : links)
        if (link->FActive) link->FFirstRecord += added;
    checkWindow();
}

#ifndef NDEBUG
// The record window's invariants, checked (in a build with assertions) at
// the end of every operation that moves it.
void TDataSet::checkWindow() const {
    if (FState == dsInactive) {
        // A closed dataset holds no window.
        assert(FBuffers.empty() && FBufferCount == 0 && FRecordCount == 0);
        return;
    }
    // One buffer per record in view and one for scratch; a forward-only
    // cursor keeps a single record.
    assert(FBufferCount >= 1 && (!FUniDirectional || FBufferCount == 1));
    assert(FBuffers.size() == static_cast<size_t>(FBufferCount) + 1);
    assert(FRecordCount >= 0 && FRecordCount <= FBufferCount);
    // The active record is a held one, or the first slot of an empty window;
    // the cursor stands on a held record or is unknown.
    assert(FRecordCount == 0 ? FActiveRecord == 0
                             : FActiveRecord >= 0 && FActiveRecord < FRecordCount);
    assert(FCurrentRecord >= -1 && FCurrentRecord < FRecordCount);
    // An empty window is at both ends.
    assert(FRecordCount > 0 || (FBOF && FEOF));
    // Every link's window starts inside the dataset's.
    for (const TDataSource* s : FDataSources)
        for (const TDataLink* link : s->FLinks)
            assert(!link->FActive ||
                   (link->FFirstRecord >= 0 && link->FFirstRecord < FBufferCount));
}
#endif

void TDataSet::clearBuffers() {
    FRecordCount = 0;
    FActiveRecord = 0;
    FCurrentRecord = -1;
    FBOF = true;
    FEOF = true;
}

void TDataSet::activateBuffers() {
    FRecordCount = 1;
    FActiveRecord = 0;
    FCurrentRecord = 0;
    FBOF = false;
    FEOF = false;
}

void TDataSet::moveBuffer(int from, int to) {
    if (from == to) return;
    auto b = FBuffers.begin();
    if (from < to)
        std::rotate(b + from, b + from + 1, b + to + 1);
    else
        std::rotate(b + to, b + from, b + from + 1);
}

void TDataSet::setCurrentRecord(int index) {
    if (FCurrentRecord == index) return;
    if (!FUniDirectional) InternalSetToRecord(*FBuffers[index]);
    FCurrentRecord = index;
}

void TDataSet::UpdateCursorPos() {
    if (FRecordCount > 0 && FActiveRecord < FRecordCount) setCurrentRecord(FActiveRecord);
}

bool TDataSet::getNextRecord() {
    TGetMode mode = gmNext;
    if (FRecordCount > 0) {
        setCurrentRecord(FRecordCount - 1);
        if (FState == dsInsert && FCurrentRecord == FActiveRecord &&
            FBuffers[FActiveRecord]->BookmarkFlag == bfCurrent)
            mode = gmCurrent;
    }
    bool ok = GetRecord(*FBuffers[FRecordCount], mode) == grOK;
    if (ok) {
        FBuffers[FRecordCount]->BookmarkFlag = bfCurrent;
        if (FRecordCount == 0) {
            activateBuffers();
        } else if (FRecordCount < FBufferCount) {
            ++FRecordCount;
        } else {
            moveBuffer(0, FRecordCount);
        }
        FCurrentRecord = FRecordCount - 1;
    } else {
        CursorPosChanged();
    }
    return ok;
}

bool TDataSet::getPriorRecord() {
    if (FUniDirectional) return false;
    if (FRecordCount > 0) setCurrentRecord(0);
    bool ok = GetRecord(*FBuffers[FRecordCount], gmPrior) == grOK;
    if (ok) {
        FBuffers[FRecordCount]->BookmarkFlag = bfCurrent;
        if (FRecordCount == 0) {
            activateBuffers();
        } else {
            moveBuffer(FRecordCount, 0);
            if (FRecordCount < FBufferCount) {
                ++FRecordCount;
                ++FActiveRecord;
            }
        }
        FCurrentRecord = 0;
    } else {
        CursorPosChanged();
    }
    return ok;
}

int TDataSet::getNextRecords() {
    int n = 0;
    while (FRecordCount < FBufferCount && getNextRecord())
        ++n;
    return n;
}

int TDataSet::getPriorRecords() {
    int n = 0;
    while (FRecordCount < FBufferCount && getPriorRecord())
        ++n;
    return n;
}

void TDataSet::Resync(bool exact, bool center) {
    if (FUniDirectional) return;
    TRecordBuffer& scratch = *FBuffers[FRecordCount];
    if (exact) {
        CursorPosChanged();
        if (GetRecord(scratch, gmCurrent) != grOK) DatabaseError("Record not found");
    } else if (GetRecord(scratch, gmCurrent) != grOK && GetRecord(scratch, gmNext) != grOK &&
               GetRecord(scratch, gmPrior) != grOK) {
        clearBuffers();
        checkWindow();
        DataEvent(deDataSetChange);
        return;
    }
    scratch.BookmarkFlag = bfCurrent;
    int count = center ? (FBufferCount - 1) / 2 : FActiveRecord;
    moveBuffer(FRecordCount, 0);
    activateBuffers();
    try {
        while (count > 0 && getPriorRecord())
            --count;
        getNextRecords();
        getPriorRecords();
    } catch (...) {
        DataEvent(deDataSetChange);
        throw;
    }
    checkWindow();
    DataEvent(deDataSetChange);
}

uint8_t* TDataSet::ActiveBuffer() {
    if (FActiveRecord < 0 || FActiveRecord >= FRecordCount) return nullptr;
    return FBuffers[FActiveRecord]->Data.data();
}

const uint8_t* TDataSet::ActiveBuffer() const {
    if (FActiveRecord < 0 || FActiveRecord >= FRecordCount) return nullptr;
    return FBuffers[FActiveRecord]->Data.data();
}

const TDataSet::TRecordBuffer& TDataSet::ActiveRecordBuffer() const {
    assert(FActiveRecord < FRecordCount);
    return *FBuffers[FActiveRecord];
}

// ---- default hooks ----------------------------------------------------------------

void TDataSet::InternalLast() {
    DatabaseError("Operation not allowed on a unidirectional dataset");
}

void TDataSet::InternalSetToRecord(const TRecordBuffer& buffer) {
    if (buffer.BookmarkFlag == bfCurrent || buffer.BookmarkFlag == bfInserted)
        InternalGotoBookmark(buffer.Bookmark);
}

void TDataSet::InternalGotoBookmark(uint64_t) {
    DatabaseError("Capability not supported");
}

void TDataSet::InternalInitRecord(TRecordBuffer& buffer) {
    buffer.Data.assign(FLayout.RecordSize(), 0);
    FLayout.InitRecord(buffer.Data.data());
    buffer.RecNo = 0;
}

void TDataSet::InternalPost() {
    DatabaseError("Capability not supported");
}
void TDataSet::InternalDelete() {
    DatabaseError("Capability not supported");
}

bool TDataSet::CanModify() const {
    return Active() && GetCanModify();
}

int TDataSet::RecNo() const {
    return -1;
}
void TDataSet::SetRecNo(int) {}
int TDataSet::RecordCount() const {
    return -1;
}

bool TDataSet::BookmarkValid(const TBookmark& bookmark) const {
    return false;
}

bool TDataSet::Locate(const std::string&, const std::vector<Variant>&, TLocateOptions) {
    DatabaseError("Capability not supported");
}
