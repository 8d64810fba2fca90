#include "data/engine/TDSBase.h"

#include "data/engine/DSErrors.h"
#include "data/engine/TDSChangeFold.h"
#include "data/engine/TDSCursor.h"
#include "data/engine/TDSDeltaRows.h"
#include "data/engine/TDSReconciler.h"
#include "data/engine/TDSTable.h"

#include "platform/SysUtils.h"

std::unique_ptr<IDSBase> CreateDSBase() {
    return std::make_unique<TDSBase>();
}

TDSBase::TDSBase() : FTable(std::make_shared<TDSTable>()) {}

TDSBase::~TDSBase() = default;

void TDSBase::AppendData(const std::vector<uint8_t>& packet, bool endOfData) {
    FTable->AppendPacket(packet, endOfData);
}

bool TDSBase::EndOfData() const {
    return FTable->EndOfData();
}

const TDSRecordLayout& TDSBase::Layout() const {
    return FTable->Layout();
}

const std::vector<DSAttribute>& TDSBase::Attributes() const {
    return FTable->Attributes();
}

const Variant* TDSBase::Attribute(std::string_view name) const {
    for (const DSAttribute& a : FTable->Attributes())
        if (SameText(a.Name, name)) return &a.Value;
    return nullptr;
}

int TDSBase::GetChangeCount() const {
    return FTable->Log().NetChanges();
}

std::vector<uint8_t> TDSBase::GetDelta() const {
    if (!FTable->HasLayout()) DSRaise(DBERR_INVALIDPARAM, "The dataset has no fields");
    TDSDeltaRows rows(*FTable, FoldChanges(FTable->Log(), FTable->Store()));
    std::unique_ptr<IDSWriter> writer = CreateDSWriter();
    writer->Init(FTable->Layout().Fields(), FTable->Attributes());
    for (int i = 0; i < rows.Count(); ++i)
        writer->AddRecord(rows.Record(i), rows.Status(i));
    return writer->GetDataPacket();
}

void TDSBase::AcceptChanges() {
    TDSChangeLog& log = FTable->MutableLog();
    for (const DSLogEntry& e : log.Entries())
        FTable->AcceptRow(e.Row);
    log.Clear();
}

void TDSBase::CancelChanges() {
    TDSChangeLog& log = FTable->MutableLog();
    std::vector<const DSLogEntry*> newestFirst;
    newestFirst.reserve(log.Entries().size());
    for (auto it = log.Entries().rbegin(); it != log.Entries().rend(); ++it)
        newestFirst.push_back(&*it);
    FTable->UndoEntries(newestFirst);
    log.Clear();
}

void TDSBase::Reconcile(
    const std::vector<uint8_t>& errorPacket,
    const std::function<TDSReconcileAnswer(const DSReconcileError&)>& callback) {
    TDSReconciler(*FTable).Run(errorPacket, callback);
}

std::string TDSBase::StatusText(int status) const {
    return DSStatusText(status);
}

std::unique_ptr<IDSCursor> TDSBase::CreateCursor() {
    return std::make_unique<TDSCursor>(FTable);
}
