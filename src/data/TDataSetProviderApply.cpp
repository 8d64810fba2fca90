// TDataSetProvider, writing: the walk over a delta that turns each change
// into one generated statement, with the transaction, error-count and
// response rules of applying updates.

#include "data/TDataSetProvider.h"

#include "data/TClientDataSet.h"
#include "data/TCustomSQLDataSet.h"
#include "data/TSQLResolver.h"
#include "data/TUpdateSQLGenerator.h"
#include "platform/SysUtils.h"

#include <algorithm>
#include <climits>
#include <exception>

namespace {

// Rows the error packet names although no handler refused them: the change
// log must keep every change that is not in the database after the apply.
constexpr const char* kRolledBack = "Not written: the transaction of this apply was rolled back";
constexpr const char* kNotTried = "Not written: an earlier change stopped the apply";

} // namespace

class TDataSetProvider::TApplyWalk {
public:
    TApplyWalk(TDataSetProvider& provider, TCustomSQLDataSet& dataSet, int maxErrors)
        : P(provider), DS(dataSet), FMaxErrors(maxErrors) {}

    std::optional<std::vector<uint8_t>> Run(const std::vector<uint8_t>& delta, int& errorCount);

private:
    enum class Outcome { NotTried, Written, Failed, RolledBack };
    struct Change {
        TUpdateKind Kind = ukInsert;
        int Row = 0;               // the delta row the error packet names
        std::vector<uint8_t> Old;  // modification, deletion: the row as loaded
        std::vector<uint8_t> New;  // insertion, modification: assigned fields are written
        std::vector<uint8_t> View; // the row the events' dataset shows
        Outcome Result = Outcome::NotTried;
    };
    struct ErrorRow {
        int Row;
        int Response;
        std::string Message;
        int ErrorCode;
    };

    void loadDelta(const TDSPacketReader& reader);
    void findTableName(const TDSPacketReader& reader);
    void createView();
    TClientDataSet* viewOn(int change);
    void readBackView(int change);
    bool applyChange(int index);
    void writeChange(Change& c);
    TResolverResponse handleError(int index, EUpdateError& e);
    void readCurrentValues(const Change& c);
    bool hasMergeConflicts(const Change& c) const;
    void rolledBack();
    void endTransaction(bool commit);

    TDataSetProvider& P;
    TCustomSQLDataSet& DS;
    int FMaxErrors;
    int FLimit = 0;  // L
    int FErrors = 0; // N
    TResolverResponse FPrevious = rrSkip;
    bool FOwnTransaction = false;

    TDSRecordLayout FLayout;
    std::string FTableName;
    std::unique_ptr<TUpdateSQLGenerator> FGenerator;
    std::unique_ptr<TSQLResolver> FResolver;
    std::vector<Change> FChanges;
    std::vector<ErrorRow> FErrorRows;
    std::unique_ptr<TClientDataSet> FView;
    // The changed row as the database holds it now, read again when a change
    // fails: not read (no key to find it by), read, not there any more, or
    // not readable, with the error that stopped the read.
    enum class CurrentRow { NotRead, Read, Missing, Failed };
    CurrentRow FCurrentState = CurrentRow::NotRead;
    std::vector<uint8_t> FCurrent;
    std::exception_ptr FCurrentFailure;
};

std::optional<std::vector<uint8_t>>
TDataSetProvider::ApplyUpdates(const std::vector<uint8_t>& delta, int maxErrors, int& errorCount,
                               Variant& ownerData) {
    errorCount = 0;
    TCustomSQLDataSet& ds = checkSQLDataSet();
    if (FResolveToDataSet) DatabaseError("Operation not allowed on a unidirectional dataset");
    if (BeforeApplyUpdates) BeforeApplyUpdates(this, ownerData);
    std::optional<std::vector<uint8_t>> result =
        TApplyWalk(*this, ds, maxErrors).Run(delta, errorCount);
    if (AfterApplyUpdates) AfterApplyUpdates(this, ownerData);
    return result;
}

std::optional<std::vector<uint8_t>>
TDataSetProvider::TApplyWalk::Run(const std::vector<uint8_t>& delta, int& errorCount) {
    if (!DS.PSInTransaction()) {
        DS.PSStartTransaction();
        FOwnTransaction = true;
    }
    std::unique_ptr<TDSPacketReader> reader;
    try {
        if (P.FOptions.Contains(poReadOnly))
            DatabaseError("Cannot apply updates to a ReadOnly provider");
        reader = std::make_unique<TDSPacketReader>(delta);
        loadDelta(*reader);
        findTableName(*reader);
        FGenerator = std::make_unique<TUpdateSQLGenerator>(FLayout, FTableName, DS.PSGetQuoteChar(),
                                                           P.FUpdateMode);
        FResolver = std::make_unique<TSQLResolver>(*DS.SQLConnection(),
                                                   [this] { return DS.CreateCommand(); });
        if (P.OnUpdateData || P.BeforeUpdateRecord || P.AfterUpdateRecord || P.OnUpdateError)
            createView();
        if (P.OnUpdateData) {
            FView->First();
            P.OnUpdateData(&P, FView.get());
            for (int i = 0; i < static_cast<int>(FChanges.size()); ++i)
                readBackView(i);
        }

        FLimit = FMaxErrors == -1 ? INT_MAX : FMaxErrors;
        FErrors = 0;
        FPrevious = rrSkip;
        for (int i = 0; i < static_cast<int>(FChanges.size()); ++i)
            if (!applyChange(i)) break;
        FResolver.reset();
    } catch (...) {
        // The client keeps its whole change log when an exception comes
        // back, so nothing this apply wrote may stay.
        FResolver.reset();
        if (FOwnTransaction) endTransaction(false);
        throw;
    }
    errorCount = FErrors;

    if (FOwnTransaction) {
        bool commit = FErrors <= FMaxErrors || FMaxErrors == -1;
        try {
            endTransaction(commit);
        } catch (...) {
            if (commit && DS.PSInTransaction()) endTransaction(false);
            throw;
        }
        if (!commit) rolledBack();
    }

    for (Change& c : FChanges) {
        if (c.Result == Outcome::RolledBack)
            FErrorRows.push_back({c.Row, rrSkip + 1, kRolledBack, 1});
        else if (c.Result == Outcome::NotTried)
            FErrorRows.push_back({c.Row, rrSkip + 1, kNotTried, 1});
    }
    if (FErrorRows.empty()) return std::nullopt;
    std::stable_sort(FErrorRows.begin(), FErrorRows.end(),
                     [](const ErrorRow& a, const ErrorRow& b) { return a.Row < b.Row; });
    TDSErrorPacketBuilder builder(*reader);
    for (const ErrorRow& e : FErrorRows)
        builder.AddError(e.Row, e.Response, e.Message, "", 1, e.ErrorCode);
    return builder.GetPacket();
}

void TDataSetProvider::TApplyWalk::endTransaction(bool commit) {
    // Whatever happens, the provider no longer owns a transaction.
    FOwnTransaction = false;
    if (!DS.PSInTransaction()) return;
    if (commit) {
        DS.PSEndTransaction(true);
    } else {
        try {
            DS.PSEndTransaction(false);
        } catch (...) {
            // A rollback that fails leaves nothing of the transaction either.
        }
    }
}

void TDataSetProvider::TApplyWalk::rolledBack() {
    for (Change& c : FChanges)
        if (c.Result == Outcome::Written) c.Result = Outcome::RolledBack;
}

void TDataSetProvider::TApplyWalk::loadDelta(const TDSPacketReader& reader) {
    std::vector<DSFieldDesc> fields = reader.Layout().Fields();
    bool anyKey = std::any_of(fields.begin(), fields.end(), [](const DSFieldDesc& f) {
        return (f.ProviderFlags & pfInKey) != 0;
    });
    if (!anyKey) {
        for (const std::string& key : DS.PSGetKeyFields())
            for (DSFieldDesc& f : fields)
                if (SameText(f.Origin.empty() ? f.Name : f.Origin, key)) f.ProviderFlags |= pfInKey;
    }
    FLayout = TDSRecordLayout(std::move(fields));

    const size_t size = FLayout.RecordSize();
    auto copy = [&](int row) {
        const uint8_t* r = reader.Record(row);
        return std::vector<uint8_t>(r, r + size);
    };
    for (int row = 0; row < reader.RowCount();) {
        Change c;
        DSRowStatus status = reader.RowStatus(row);
        if (status & dsRecDeleted) {
            c.Kind = ukDelete;
            c.Row = row;
            c.Old = copy(row);
            ++row;
        } else if (status & dsRecInserted) {
            c.Kind = ukInsert;
            c.Row = row;
            c.New = copy(row);
            ++row;
        } else if (status == dsRecUnmodified && row + 1 < reader.RowCount() &&
                   reader.RowStatus(row + 1) == dsRecModified) {
            c.Kind = ukModify;
            c.Row = row + 1;
            c.Old = copy(row);
            c.New = copy(row + 1);
            row += 2;
        } else {
            throw EDBClient("Invalid data packet", DBERR_INVALIDPACKET);
        }
        FChanges.push_back(std::move(c));
    }
}

void TDataSetProvider::TApplyWalk::findTableName(const TDSPacketReader& reader) {
    if (const Variant* v = reader.Attribute("TABLE_NAME"))
        if (const std::string* s = v->GetIf<std::string>()) FTableName = *s;
    if (FTableName.empty()) FTableName = DS.PSGetTableName();
    if (P.OnGetTableName) P.OnGetTableName(&P, &DS, FTableName);
    FTableName = Trim(FTableName);
}

// The events' dataset: one row per change, a modification shown as the row
// it writes (the loaded row with the changed values over it).
void TDataSetProvider::TApplyWalk::createView() {
    std::unique_ptr<IDSWriter> writer = CreateDSWriter();
    writer->Init(FLayout.Fields(), {});
    const TDSRecordLayout& wl = writer->Layout();
    for (Change& c : FChanges) {
        if (c.Kind == ukInsert) {
            c.View = c.New;
        } else {
            c.View = c.Old;
            if (c.Kind == ukModify)
                for (int f = 0; f < FLayout.FieldCount(); ++f)
                    if (FLayout.Status(c.New.data(), f) != DSFieldStatus::Unassigned)
                        wl.PutField(c.View.data(), f, FLayout.GetField(c.New.data(), f));
        }
        writer->AddRecord(c.View.data());
    }
    FView = std::make_unique<TClientDataSet>();
    FView->SetName("Delta");
    FView->SetData(writer->GetDataPacket());
}

TClientDataSet* TDataSetProvider::TApplyWalk::viewOn(int change) {
    if (!FView) return nullptr;
    if (!FView->Active()) return FView.get();
    FView->CheckBrowseMode();
    FView->SetRecNo(change + 1);
    return FView.get();
}

// Values an event wrote into its dataset become the change's new values.
void TDataSetProvider::TApplyWalk::readBackView(int change) {
    if (!FView || !FView->Active()) return;
    Change& c = FChanges[change];
    if (c.Kind == ukDelete) return;
    FView->CheckBrowseMode();
    if (FView->RecNo() != change + 1) FView->SetRecNo(change + 1);
    const uint8_t* row = FView->ActiveBuffer();
    if (!row || FView->RecNo() != change + 1) return;
    const TDSRecordLayout& vl = FView->Layout();
    for (int f = 0; f < FLayout.FieldCount() && f < vl.FieldCount(); ++f) {
        Variant now = vl.GetField(row, f);
        if (now == FLayout.GetField(c.View.data(), f)) continue;
        Variant value = now.IsUnassigned() ? Variant(Null{}) : now;
        FLayout.PutField(c.New.data(), f, value);
        FLayout.PutField(c.View.data(), f, value);
    }
}

bool TDataSetProvider::TApplyWalk::applyChange(int index) {
    Change& c = FChanges[index];
    TResolverResponse previous = FPrevious;
    int previousError = 0;
    bool retry = false;
    for (;;) {
        try {
            if (retry) {
                if ((c.Kind == ukInsert && (previous == rrMerge || previous == rrApply)) ||
                    (previous == rrMerge && hasMergeConflicts(c)))
                    DatabaseError("Invalid response");
                if (previous == rrMerge) {
                    // A merge writes over the row as the database holds it
                    // now. When that row could not be read, whether someone
                    // else changed the same fields is unknown: writing anyway
                    // could overwrite their change, so the merge fails with
                    // the reason the row could not be read.
                    if (FCurrentState == CurrentRow::Failed)
                        std::rethrow_exception(FCurrentFailure);
                    if (FCurrentState == CurrentRow::Read) c.Old = FCurrent;
                }
            }
            bool applied = false;
            if (P.BeforeUpdateRecord) {
                P.BeforeUpdateRecord(&P, &DS, viewOn(index), c.Kind, applied);
                readBackView(index);
            }
            if (!applied) writeChange(c);
            if (P.AfterUpdateRecord) P.AfterUpdateRecord(&P, &DS, viewOn(index), c.Kind);
            c.Result = Outcome::Written;
            break;
        } catch (const EAbort&) {
            throw;
        } catch (const Exception& ex) {
            EUpdateError e(ex.Message, "", 1, previousError, std::current_exception());
            TResolverResponse response = handleError(index, e);
            previousError = e.ErrorCode;
            previous = response;
            if (response == rrMerge || response == rrApply) {
                retry = true;
                continue;
            }
            c.Result = response == rrIgnore ? Outcome::Written : Outcome::Failed;
            break;
        }
    }
    FPrevious = rrSkip;
    return FLimit >= FErrors;
}

void TDataSetProvider::TApplyWalk::writeChange(Change& c) {
    DSRowStatus kind = dsRecModified;
    switch (c.Kind) {
    case ukModify:
        if (P.FOptions.Contains(poDisableEdits)) DatabaseError("Modifications are not allowed");
        break;
    case ukInsert:
        if (P.FOptions.Contains(poDisableInserts)) DatabaseError("Inserts are not allowed");
        kind = dsRecInserted;
        break;
    case ukDelete:
        if (P.FOptions.Contains(poDisableDeletes)) DatabaseError("Deletes are not allowed");
        kind = dsRecDeleted;
        break;
    }
    if (FTableName.empty()) DatabaseError("Unable to resolve records.  Table name not found.");
    TGeneratedStatement statement;
    if (!FGenerator->Generate(kind, c.Old.empty() ? nullptr : c.Old.data(),
                              c.New.empty() ? nullptr : c.New.data(), statement))
        return; // nothing changed that could be written
    int rows = FResolver->Execute(statement);
    if (rows > 1 && !P.FOptions.Contains(poAllowMultiRecordUpdates)) {
        // The rows are already changed: only ending the transaction now
        // takes them back, with everything this apply wrote before.
        if (DS.PSInTransaction()) {
            try {
                DS.PSEndTransaction(false);
            } catch (...) {
            }
            rolledBack();
        }
        FOwnTransaction = false;
        DatabaseError("Update affected more than 1 record.");
    }
    if (rows < 1) DatabaseError("Record not found or changed by another user");
}

TResolverResponse TDataSetProvider::TApplyWalk::handleError(int index, EUpdateError& e) {
    Change& c = FChanges[index];
    TResolverResponse response = FErrors >= FLimit ? rrAbort : rrSkip;
    readCurrentValues(c);
    if (P.OnUpdateError) {
        P.OnUpdateError(&P, viewOn(index), e, c.Kind, response);
        readBackView(index);
    }
    switch (response) {
    case rrMerge:
    case rrApply:
    case rrIgnore:
        break;
    default:
        response = response == rrSkip ? rrSkip : rrAbort;
        ++FErrors;
        if (FErrors > FLimit) response = rrAbort;
        if (response == rrAbort) FLimit = FErrors - 1;
        FErrorRows.push_back({c.Row, response + 1, e.Message, e.ErrorCode});
        break;
    }
    return response;
}

// Reads the row as the database holds it now, keyed on the key fields.
// Without key fields there is nothing to key on and nothing is sent. A
// failure of the read is kept, not raised: the error being handled is what
// the handler must see.
void TDataSetProvider::TApplyWalk::readCurrentValues(const Change& c) {
    FCurrentState = CurrentRow::NotRead;
    FCurrentFailure = nullptr;
    std::vector<int> keys;
    for (int f = 0; f < FLayout.FieldCount(); ++f)
        if (FLayout.Fields()[f].ProviderFlags & pfInKey) keys.push_back(f);
    if (keys.empty() || FTableName.empty()) return;
    const std::vector<uint8_t>& source = c.Kind == ukInsert ? c.New : c.Old;
    try {
        std::string quote = DS.PSGetQuoteChar();
        std::string sql =
            "select * from " + TUpdateSQLGenerator::QuoteTableName(FTableName, quote) + " where ";
        TParams params;
        for (size_t i = 0; i < keys.size(); ++i) {
            if (i > 0) sql += " and ";
            sql += quote + FGenerator->ColumnName(keys[i]) + quote;
            if (FLayout.Status(source.data(), keys[i]) == DSFieldStatus::Null) {
                sql += " is null";
            } else {
                sql += " = ?";
                params.Add(FGenerator->ColumnName(keys[i]),
                           FieldTypeOfDSType(FLayout.Fields()[keys[i]].Type),
                           FLayout.GetField(source.data(), keys[i]));
            }
        }
        std::vector<const TParam*> refs;
        for (int i = 0; i < params.Count(); ++i)
            refs.push_back(&params.Items(i));
        std::unique_ptr<ISQLCommand> command = DS.CreateCommand();
        TSQLConnection& connection = *DS.SQLConnection();
        std::unique_ptr<ISQLCursor> cursor = connection.ExecuteCommand(*command, sql, refs);
        if (!cursor || !connection.FetchNext(*cursor)) {
            FCurrentState = CurrentRow::Missing;
            return;
        }
        uint16_t count = 0;
        connection.Check(cursor->getColumnCount(count), cursor.get());
        FCurrent = source;
        for (uint16_t col = 1; col <= count; ++col) {
            TDBXColumn column;
            connection.Check(cursor->getColumn(col, column), cursor.get());
            int f = -1;
            for (int i = 0; i < FLayout.FieldCount(); ++i)
                if (SameText(FGenerator->ColumnName(i), column.Name)) f = i;
            if (f < 0) continue;
            TDBXValue value;
            connection.Check(cursor->getValue(col, value), cursor.get());
            FLayout.PutField(FCurrent.data(), f, TCustomSQLDataSet::ValueOf(value));
        }
        cursor->close();
        FCurrentState = CurrentRow::Read;
    } catch (...) {
        FCurrentState = CurrentRow::Failed;
        FCurrentFailure = std::current_exception();
    }
}

// A field this change writes was changed by someone else since it was loaded.
bool TDataSetProvider::TApplyWalk::hasMergeConflicts(const Change& c) const {
    if (FCurrentState != CurrentRow::Read || c.Kind != ukModify) return false;
    for (int f = 0; f < FLayout.FieldCount(); ++f)
        if (FLayout.Status(c.New.data(), f) != DSFieldStatus::Unassigned &&
            !FLayout.SameField(c.Old.data(), FCurrent.data(), f))
            return true;
    return false;
}
