#include "data/TClientDataSet.h"

#include "data/FilterExpr.h"
#include "data/TField.h"
#include "data/TNumericFields.h"
#include "platform/Dialogs.h"
#include "platform/SysUtils.h"

TClientDataSet::TClientDataSet(TComponent* owner) : TDataSet(owner) {}

TClientDataSet::~TClientDataSet() {
    try {
        Close();
    } catch (...) {
    }
}

// ---- properties -----------------------------------------------------------------

void TClientDataSet::SetProviderName(std::string name) {
    if (name == FProviderName) return;
    FProviderName = std::move(name);
    if (!Active()) {
        FProvider = nullptr;
        FAppServer.reset();
    }
}

void TClientDataSet::SetCommandText(std::string text) {
    if (text == FCommandText) return;
    FCommandText = std::move(text);
    std::vector<std::string> names;
    ReplaceNamedParams(FCommandText, &names);
    TParams params;
    for (const std::string& name : names) {
        if (params.FindParam(name)) continue;
        if (const TParam* old = FParams.FindParam(name))
            params.Add(old->Name, old->DataType, old->Value);
        else
            params.Add(name);
    }
    FParams = std::move(params);
}

void TClientDataSet::Notification(TComponent* component, bool removing) {
    TDataSet::Notification(component, removing);
    if (removing && component == FProvider) {
        FProvider = nullptr;
        FAppServer.reset();
    }
}

IAppServer& TClientDataSet::appServer() {
    if (!FAppServer) {
        TCustomProvider* provider = nullptr;
        if (Owner() && !FProviderName.empty())
            provider = dynamic_cast<TCustomProvider*>(Owner()->FindComponent(FProviderName));
        if (!provider) DatabaseError("Missing data provider or data packet");
        FProvider = provider;
        FAppServer = std::make_unique<TLocalAppServer>(provider);
    }
    return *FAppServer;
}

// ---- packets ----------------------------------------------------------------------

std::vector<uint8_t> TClientDataSet::fetchPacket(int count, int options, int& recsOut) {
    IAppServer& server = appServer();
    Variant ownerData;
    if (BeforeGetRecords) BeforeGetRecords(this, ownerData);
    recsOut = 0;
    // The command text goes with the first request of an open only.
    static const std::string none;
    std::vector<uint8_t> packet =
        server.AS_GetRecords(FProviderName, count, recsOut, options,
                             (options & grMetaData) ? FCommandText : none, FParams, ownerData);
    if (AfterGetRecords) AfterGetRecords(this, ownerData);
    return packet;
}

bool TClientDataSet::AllFetched() const {
    return !FBase || FBase->EndOfData();
}

void TClientDataSet::fetchMore(int count) {
    if (AllFetched()) return;
    int recsOut = 0;
    std::vector<uint8_t> packet = fetchPacket(count, 0, recsOut);
    FBase->AppendData(packet, count < 0 || recsOut != count);
}

void TClientDataSet::fetchAll() {
    if (!AllFetched()) fetchMore(-1);
}

int TClientDataSet::GetNextPacket() {
    CheckActive();
    if (AllFetched()) return 0;
    int before = FCursor->GetRecordCount();
    fetchMore(FPacketRecords);
    resyncAfterRowsChanged();
    return FCursor->GetRecordCount() - before;
}

void TClientDataSet::SetData(const std::vector<uint8_t>& packet) {
    Close();
    FDataPacket = packet;
    try {
        Open();
    } catch (...) {
        FDataPacket.reset();
        throw;
    }
}

// ---- cursor hooks -----------------------------------------------------------------

void TClientDataSet::InternalOpen() {
    FBase = CreateDSBase();
    if (FDataPacket) {
        FBase->AppendData(*FDataPacket, true);
    } else {
        int recsOut = 0;
        std::vector<uint8_t> packet = fetchPacket(FPacketRecords, grMetaData, recsOut);
        FBase->AppendData(packet, FPacketRecords < 0 || recsOut != FPacketRecords);
    }
    FCursor = FBase->CreateCursor();
    std::vector<TFieldDef> defs;
    for (const DSFieldDesc& desc : FBase->Layout().Fields())
        defs.push_back(TFieldDef{desc});
    SetFieldDefs(std::move(defs), FBase->Layout());
    if (FFiltered) applyFilter();
    FCursor->MoveToBOF();
}

void TClientDataSet::InternalClose() {
    FFilterHandle = -1;
    FCursor.reset();
    FBase.reset();
    FDataPacket.reset();
    if (FAppServer) {
        // Ends the provider's reading (its SQL dataset closes when it opened
        // it) and drops the link to the provider.
        std::unique_ptr<TLocalAppServer> server = std::move(FAppServer);
        FProvider = nullptr;
        int recsOut = 0;
        Variant ownerData;
        server->AS_GetRecords(FProviderName, 0, recsOut, grReset, std::string(), FParams,
                              ownerData);
    }
}

TGetResult TClientDataSet::GetRecord(TRecordBuffer& buffer, TGetMode mode) {
    int status = DBERR_NONE;
    switch (mode) {
    case gmCurrent:
        break;
    case gmPrior:
        status = FCursor->MoveRelative(-1);
        break;
    case gmNext:
        for (;;) {
            status = FCursor->MoveRelative(1);
            if (status != DBERR_EOF || !FFetchOnDemand || FPacketRecords == 0 || AllFetched())
                break;
            // Past the last row held: ask for the next packet and step again
            // from the last row held, or from the start of an empty view.
            int held = FCursor->GetRecordCount();
            fetchMore(FPacketRecords);
            if (held > 0)
                FCursor->MoveToSequenceNumber(held);
            else
                FCursor->MoveToBOF();
        }
        break;
    }
    if (status == DBERR_BOF) return grBOF;
    if (status == DBERR_EOF) return grEOF;
    if (buffer.Data.size() != Layout().RecordSize()) buffer.Data.assign(Layout().RecordSize(), 0);
    status = FCursor->GetCurrentRecord(buffer.Data.data());
    if (status == DBERR_BOF) return grBOF;
    if (status == DBERR_EOF) return grEOF;
    if (status != DBERR_NONE) return grError;
    buffer.Bookmark = FCursor->GetBookmark();
    buffer.RecNo = FCursor->GetSequenceNumber();
    return grOK;
}

void TClientDataSet::InternalFirst() {
    FCursor->MoveToBOF();
}

void TClientDataSet::InternalLast() {
    fetchAll();
    FCursor->MoveToEOF();
}

void TClientDataSet::InternalSetToRecord(const TRecordBuffer& buffer) {
    switch (buffer.BookmarkFlag) {
    case bfBOF:
        FCursor->MoveToBOF();
        break;
    case bfEOF:
        FCursor->MoveToEOF();
        break;
    default:
        // Buffers are reread after every change of the rows, as the cursor's
        // numbers ask, so a buffer's number spares the cursor a count.
        FCursor->MoveToBookmark(static_cast<uint32_t>(buffer.Bookmark), buffer.RecNo);
        break;
    }
}

void TClientDataSet::InternalGotoBookmark(uint64_t bookmark) {
    if (FCursor->MoveToBookmark(static_cast<uint32_t>(bookmark)) != DBERR_NONE)
        DatabaseError("Record not found");
}

bool TClientDataSet::packetFlag(const char* name) const {
    if (!FBase) return false;
    const Variant* v = FBase->Attribute(name);
    if (!v) return false;
    if (const bool* b = v->GetIf<bool>()) return *b;
    if (const int32_t* i = v->GetIf<int32_t>()) return *i != 0;
    return false;
}

void TClientDataSet::InternalInsert() {
    if (packetFlag("DISABLE_INSERTS")) DatabaseError("Inserts are not allowed");
}

void TClientDataSet::InternalEdit() {
    if (packetFlag("DISABLE_EDITS")) DatabaseError("Modifications are not allowed");
}

void TClientDataSet::InternalPost() {
    if (State() == dsInsert) {
        const TRecordBuffer& b = ActiveRecordBuffer();
        if (b.BookmarkFlag == bfEOF) {
            FCursor->MoveToEOF();
        } else if (b.BookmarkFlag == bfBOF) {
            FCursor->MoveToBOF();
            FCursor->MoveRelative(1);
        }
        FCursor->InsertRecord(ActiveBuffer());
    } else {
        FCursor->ModifyRecord(ActiveBuffer());
    }
}

void TClientDataSet::InternalDelete() {
    if (packetFlag("DISABLE_DELETES")) DatabaseError("Deletes are not allowed");
    FCursor->DeleteRecord();
}

bool TClientDataSet::GetCanModify() const {
    return !FReadOnly;
}
void TClientDataSet::SetReadOnly(bool value) {
    FReadOnly = value;
}

// ---- position --------------------------------------------------------------------

int TClientDataSet::RecNo() const {
    if (!Active() || IsEmpty()) return 0;
    return ActiveRecordBuffer().RecNo;
}

void TClientDataSet::SetRecNo(int value) {
    CheckBrowseMode();
    int count = FCursor->GetRecordCount();
    if (count == 0) return;
    if (value < 1) value = 1;
    if (value > count) value = count;
    if (value == RecNo()) return;
    DoBeforeScroll();
    FCursor->MoveToSequenceNumber(value);
    Resync(true, true);
    DoAfterScroll();
}

int TClientDataSet::RecordCount() const {
    if (!Active()) return 0;
    return FCursor->GetRecordCount();
}

bool TClientDataSet::BookmarkValid(const TBookmark& bookmark) const {
    if (!bookmark || !FCursor) return false;
    auto* self = const_cast<TClientDataSet*>(this);
    bool valid = FCursor->MoveToBookmark(static_cast<uint32_t>(*bookmark)) == DBERR_NONE;
    self->CursorPosChanged();
    return valid;
}

// ---- filter and locate ------------------------------------------------------------

static TFilterOptions filterOptions(TLocateOptions o) {
    TFilterOptions f;
    f.CaseInsensitive = (o & loCaseInsensitive) != 0;
    f.PartialCompare = (o & loPartialKey) != 0;
    return f;
}

void TClientDataSet::applyFilter() {
    fetchAll();
    DSExprPtr expr = CompileFilterExpression(FFilter, Layout(), filterOptions(FFilterOptions));
    dropFilter();
    FFilterHandle = FCursor->AddFilter(std::move(expr));
}

void TClientDataSet::dropFilter() {
    if (FFilterHandle >= 0 && FCursor) FCursor->DropFilter(FFilterHandle);
    FFilterHandle = -1;
}

void TClientDataSet::SetFilter(std::string text) {
    if (text == FFilter) return;
    if (Active() && FFiltered) {
        CheckBrowseMode();
        std::string old = std::move(FFilter);
        FFilter = std::move(text);
        try {
            applyFilter();
        } catch (...) {
            FFilter = std::move(old);
            throw;
        }
        First();
        return;
    }
    FFilter = std::move(text);
}

void TClientDataSet::SetFiltered(bool value) {
    if (value == FFiltered) return;
    if (Active()) {
        CheckBrowseMode();
        if (value)
            applyFilter();
        else
            dropFilter();
        FFiltered = value;
        First();
        return;
    }
    FFiltered = value;
}

void TClientDataSet::SetFilterOptions(TLocateOptions options) {
    if (options == FFilterOptions) return;
    TLocateOptions old = FFilterOptions;
    FFilterOptions = options;
    if (Active() && FFiltered) {
        CheckBrowseMode();
        try {
            applyFilter();
        } catch (...) {
            FFilterOptions = old;
            throw;
        }
        First();
    }
}

static std::vector<std::string> splitFieldNames(const std::string& names) {
    std::vector<std::string> out;
    size_t start = 0;
    for (;;) {
        size_t semi = names.find(';', start);
        std::string name =
            Trim(names.substr(start, semi == std::string::npos ? std::string::npos : semi - start));
        if (!name.empty()) out.push_back(name);
        if (semi == std::string::npos) break;
        start = semi + 1;
    }
    return out;
}

static bool isNumberType(TFieldType t) {
    switch (t) {
    case ftSmallint:
    case ftInteger:
    case ftWord:
    case ftAutoInc:
    case ftLargeint:
    case ftFloat:
    case ftCurrency:
    case ftBCD:
    case ftFMTBcd:
        return true;
    default:
        return false;
    }
}

static std::string numberText(const Variant& v) {
    char sep = FormatSettings.DecimalSeparator;
    switch (v.Type()) {
    case TVarType::Boolean:
        return v.Get<bool>() ? "1" : "0";
    case TVarType::Integer:
        return IntToStr(v.Get<int32_t>());
    case TVarType::LargeInt:
        return IntToStr(v.Get<int64_t>());
    case TVarType::Double:
        return FloatToGeneralText(v.Get<double>(), 15, sep);
    case TVarType::Currency:
        return BcdToStr(BcdFromCurrency(v.Get<Currency>()), sep);
    case TVarType::Bcd:
        return BcdToStr(v.Get<TBcd>(), sep);
    case TVarType::Date:
        return FloatToGeneralText(v.Get<TDateTime>().Val(), 15, sep);
    case TVarType::String:
        return v.Get<std::string>();
    default:
        return {};
    }
}

static std::string dateText(const Variant& v, TFieldType type) {
    if (const std::string* s = v.GetIf<std::string>()) return *s;
    TDateTime d;
    if (const TDateTime* p = v.GetIf<TDateTime>())
        d = *p;
    else if (const double* p = v.GetIf<double>())
        d = TDateTime(*p);
    else if (const int32_t* p = v.GetIf<int32_t>())
        d = TDateTime(*p);
    else
        DatabaseError("Invalid variant type conversion");
    if (type == ftDate) return DateToStr(d);
    if (type == ftTime) return TimeToStr(d);
    std::string s = DateToStr(d);
    if (d.TimePart() != 0) s += " " + TimeToStr(d);
    return s;
}

static std::string stringText(const Variant& v) {
    switch (v.Type()) {
    case TVarType::String:
        return v.Get<std::string>();
    case TVarType::Boolean:
        return v.Get<bool>() ? "True" : "False";
    case TVarType::Date:
        return dateText(v, ftDateTime);
    default:
        return numberText(v);
    }
}

std::string TClientDataSet::LocateExpression(const std::string& keyFields,
                                             const std::vector<Variant>& keyValues,
                                             TLocateOptions options) const {
    std::vector<std::string> names = splitFieldNames(keyFields);
    if (names.size() != keyValues.size())
        DatabaseError("Number of key values does not match the key fields");
    std::string expr;
    for (size_t i = 0; i < names.size(); ++i) {
        TField* f = FieldByName(names[i]);
        const Variant& v = keyValues[i];
        if (i > 0) expr += " and ";
        if (v.IsEmpty()) {
            expr += Format("[%s] IS NULL", {f->FieldName()});
            continue;
        }
        TFieldType t = f->DataType();
        std::string value;
        if (FieldFamily(t) == TFieldFamily::Text) {
            std::string s = stringText(v);
            if ((options & loPartialKey) && i + 1 == names.size()) s += "*";
            value = QuotedStr(s);
        } else if (isNumberType(t)) {
            value = numberText(v);
        } else if (t == ftDate || t == ftTime || t == ftDateTime || t == ftTimeStamp) {
            value = QuotedStr(dateText(v, t));
        } else {
            DatabaseError(Format("Field '%s' is of an unsupported type", {f->FieldName()}));
        }
        expr += Format("[%s]=%s", {f->FieldName(), value});
    }
    return expr;
}

bool TClientDataSet::Locate(const std::string& keyFields, const std::vector<Variant>& keyValues,
                            TLocateOptions options) {
    CheckBrowseMode();
    fetchAll();
    std::string text = LocateExpression(keyFields, keyValues, options);
    DSExprPtr expr = CompileFilterExpression(text, Layout(), filterOptions(options));
    DoBeforeScroll();
    bool found = FCursor->Locate(*expr);
    CursorPosChanged();
    if (!found) return false;
    Resync(true, true);
    DoAfterScroll();
    return true;
}

// ---- changes ----------------------------------------------------------------------

int TClientDataSet::ChangeCount() const {
    return FBase ? FBase->GetChangeCount() : 0;
}

int TClientDataSet::ApplyUpdates(int maxErrors) {
    CheckActive();
    CheckBrowseMode();
    if (ChangeCount() == 0) return 0;
    IAppServer& server = appServer();
    Variant ownerData;
    if (BeforeApplyUpdates) BeforeApplyUpdates(this, ownerData);
    std::vector<uint8_t> delta = FBase->GetDelta();
    int errorCount = 0;
    std::optional<std::vector<uint8_t>> errors =
        server.AS_ApplyUpdates(FProviderName, delta, maxErrors, errorCount, ownerData);
    if (!errors)
        FBase->AcceptChanges();
    else
        reconcile(*errors);
    resyncAfterRowsChanged();
    if (AfterApplyUpdates) AfterApplyUpdates(this, ownerData);
    return errorCount;
}

void TClientDataSet::reconcile(const std::vector<uint8_t>& errorPacket) {
    FBase->Reconcile(errorPacket, [this](const DSReconcileError& err) {
        // The provider stored its response plus one: rrSkip is 1.
        TReconcileAction action = err.Response == rrSkip + 1 ? raSkip : raAbort;
        try {
            EReconcileError e(err.Message, err.Context, err.ErrorCode, 0);
            TUpdateKind kind = err.UpdateKind == dsRecInserted  ? ukInsert
                               : err.UpdateKind == dsRecDeleted ? ukDelete
                                                                : ukModify;
            if (OnReconcileError) OnReconcileError(this, e, kind, action);
        } catch (const std::exception& ex) {
            ShowException(ex);
            action = raAbort;
        }
        return static_cast<TDSReconcileAnswer>(action);
    });
}

void TClientDataSet::CancelUpdates() {
    if (!Active()) return;
    Cancel();
    FBase->CancelChanges();
    resyncAfterRowsChanged();
}

void TClientDataSet::resyncAfterRowsChanged() {
    // The engine's cursor may have been moved off the active row (a fetch, a
    // row leaving the view): back to it, and the window read again around it.
    CursorPosChanged();
    UpdateCursorPos();
    Resync(false, false);
}
