#include "data/engine/TDSReconciler.h"

#include "data/engine/DSErrors.h"
#include "data/engine/DSTypes.h"
#include "data/engine/TDSDeltaRows.h"
#include "data/engine/TDSPacketParser.h"
#include "data/engine/TDSTable.h"

#include "platform/SysUtils.h"

#include <unordered_set>

namespace {

constexpr int kErrorFields = 6;
const char* const kErrorNames[kErrorFields] = {"ERROR_RECORDNO", "ERROR_RESPONSE", "ERROR_MESSAGE",
                                               "ERROR_CONTEXT",  "ERROR_CATEGORY", "ERROR_CODE"};

// The error packet must carry the error fields and then the base's fields.
void checkLayout(const TDSRecordLayout& errors, const TDSRecordLayout& base) {
    if (errors.FieldCount() != kErrorFields + base.FieldCount()) DSRaiseInvalidPacket();
    for (int i = 0; i < kErrorFields; ++i) {
        const DSFieldDesc& f = errors.Fields()[i];
        bool text = i == 2 || i == 3;
        if (!SameText(f.Name, kErrorNames[i]) || f.Type != (text ? DSType::String : DSType::Int32))
            DSRaiseInvalidPacket();
    }
    for (int i = 0; i < base.FieldCount(); ++i) {
        const DSFieldDesc& a = errors.Fields()[kErrorFields + i];
        const DSFieldDesc& b = base.Fields()[i];
        if (a.Type != b.Type || a.Size != b.Size || a.Scale != b.Scale) DSRaiseInvalidPacket();
    }
}

int intOf(const Variant& v) {
    return v.GetIf<int32_t>() ? v.Get<int32_t>() : 0;
}
std::string textOf(const Variant& v) {
    return v.GetIf<std::string>() ? v.Get<std::string>() : "";
}

// Copies the delta part of an error row into a record of the base's layout.
void copyDeltaPart(const TDSRecordLayout& errors, const uint8_t* errorRow,
                   const TDSRecordLayout& base, uint8_t* record) {
    for (int i = 0; i < base.FieldCount(); ++i) {
        const DSFieldDesc& f = base.Fields()[i];
        record[i] = errorRow[kErrorFields + i];
        std::memcpy(record + base.FieldOffset(i), errorRow + errors.FieldOffset(kErrorFields + i),
                    DSValueBytes(f.Type, f.Size));
    }
}

} // namespace

void TDSReconciler::Run(
    const std::vector<uint8_t>& errorPacket,
    const std::function<TDSReconcileAnswer(const DSReconcileError&)>& callback) {
    if (!FTable.HasLayout()) DSRaise(DBERR_INVALIDPARAM, "The dataset has no fields");
    const TDSRecordLayout& base = FTable.Layout();
    TDSDeltaRows delta(FTable, FoldChanges(FTable.Log(), FTable.Store()));

    // The error rows are read one at a time, twice: first to refuse a packet
    // that is malformed or names rows the delta does not have, before any
    // callback; then to call back. A packet of many errors with long texts
    // thus never lies in memory as records.
    auto readErrors = [&](const std::function<void(const TDSRecordLayout&, const uint8_t*,
                                                   int change, int deltaRow)>& each) {
        TDSPacketParser parser(errorPacket.data(), errorPacket.size());
        TDSRecordLayout errors(parser.Fields());
        checkLayout(errors, base);
        std::vector<uint8_t> row(errors.RecordSize());
        for (uint32_t r = 0; r < parser.RowCount(); ++r) {
            parser.ReadRow(row.data(), row.data() + errors.FieldCount());
            Variant recordNo = errors.GetField(row.data(), 0);
            if (!recordNo.GetIf<int32_t>()) DSRaiseInvalidPacket();
            int deltaRow = recordNo.Get<int32_t>() - 1;
            if (deltaRow < 0 || deltaRow >= delta.Count()) DSRaiseInvalidPacket();
            each(errors, row.data(), delta.ChangeOf(deltaRow), deltaRow);
        }
        parser.Finish();
    };
    readErrors([](const TDSRecordLayout&, const uint8_t*, int, int) {});

    // Then every callback, with nothing changed yet.
    std::vector<int> answers(delta.Changes().size(), -1);
    std::vector<uint8_t> record(base.RecordSize());
    readErrors([&](const TDSRecordLayout& errors, const uint8_t* row, int change, int deltaRow) {
        const DSNetChange& c = delta.Changes()[change];
        DSReconcileError e;
        e.RecordNo = deltaRow + 1;
        e.Response = intOf(errors.GetField(row, 1));
        e.Message = textOf(errors.GetField(row, 2));
        e.Context = textOf(errors.GetField(row, 3));
        e.Category = intOf(errors.GetField(row, 4));
        e.ErrorCode = intOf(errors.GetField(row, 5));
        e.UpdateKind = c.Kind;
        copyDeltaPart(errors, row, base, record.data());
        e.DeltaRecord = record.data();
        e.OldRecord =
            c.Kind == dsRecModified ? delta.Record(static_cast<int>(c.FirstDeltaRow)) : nullptr;
        answers[change] = callback(e);
    });

    // Then the change log: undo, keep or accept each row's changes.
    std::unordered_set<uint32_t> undo, keep;
    for (size_t i = 0; i < answers.size(); ++i) {
        if (answers[i] < 0) continue;
        uint32_t row = delta.Changes()[i].Row;
        if (answers[i] == dsrCancel || answers[i] == dsrRefresh)
            undo.insert(row);
        else
            keep.insert(row);
    }
    TDSChangeLog& log = FTable.MutableLog();
    std::vector<const DSLogEntry*> newestFirst;
    for (auto it = log.Entries().rbegin(); it != log.Entries().rend(); ++it)
        if (undo.count(it->Row)) newestFirst.push_back(&*it);
    FTable.UndoEntries(newestFirst);
    for (const DSLogEntry& e : log.Entries())
        if (!undo.count(e.Row) && !keep.count(e.Row)) FTable.AcceptRow(e.Row);
    log.Retain([&keep](uint32_t row) { return keep.count(row) != 0; });
}
