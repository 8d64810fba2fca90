#include "ClientDataSetFixtures.h"

#include "data/engine/DSIntf.h"

#include <algorithm>

namespace fixtures {

std::vector<uint8_t> MakePacket(const std::vector<DSFieldDesc>& fields,
                                const std::vector<Row>& rows,
                                const std::vector<DSAttribute>& attributes) {
    auto writer = CreateDSWriter();
    writer->Init(fields, attributes);
    const TDSRecordLayout& layout = writer->Layout();
    std::vector<uint8_t> record(layout.RecordSize());
    for (const Row& row : rows) {
        layout.InitRecord(record.data());
        for (size_t i = 0; i < row.size(); ++i)
            if (!row[i].IsNull()) layout.PutField(record.data(), static_cast<int>(i), row[i]);
        writer->AddRecord(record.data());
    }
    return writer->GetDataPacket();
}

std::vector<DSFieldDesc> SimpleFields() {
    DSFieldDesc id{"ID", DSType::Int32};
    id.Attributes = fldAttrRequired;
    DSFieldDesc name{"NAME", DSType::String, 20};
    DSFieldDesc amount{"AMOUNT", DSType::Bcd, 15, 4};
    return {id, name, amount};
}

std::vector<Row> SimpleRows(int n) {
    std::vector<Row> rows;
    rows.reserve(n);
    for (int i = 1; i <= n; ++i)
        rows.push_back(Row{Variant(int32_t(i)), Variant("row" + std::to_string(i)),
                           Variant(TBcd{int64_t(i) * 10000 + 5000, 4})});
    return rows;
}

std::vector<DSFieldDesc> AdjustmentFields() {
    return {DSFieldDesc{"AJCI_ID", DSType::Int32}, DSFieldDesc{"AJCI_FECINI", DSType::Date},
            DSFieldDesc{"AJCI_FECFIN", DSType::Date}, DSFieldDesc{"AJCI_PORC", DSType::Bcd, 15, 4},
            DSFieldDesc{"AJCI_FACTOR", DSType::Bcd, 15, 4}};
}

Row AdjustmentRow(int id, TDateTime from, TDateTime to, int64_t porcUnits, int64_t factorUnits) {
    return Row{Variant(int32_t(id)), Variant(from), Variant(to), Variant(TBcd{porcUnits, 4}),
               Variant(TBcd{factorUnits, 4})};
}

TPacketProvider::TPacketProvider(TComponent* owner, std::string name,
                                 std::vector<DSFieldDesc> fields, std::vector<Row> rows,
                                 std::vector<DSAttribute> attributes)
    : TCustomProvider(owner), Rows(std::move(rows)), FFields(std::move(fields)),
      FAttributes(std::move(attributes)) {
    SetName(std::move(name));
}

std::vector<uint8_t> TPacketProvider::GetRecords(int count, int& recsOut, int options,
                                                 const std::string& commandText, TParams&,
                                                 Variant&) {
    if (!FailWith.empty()) {
        std::string message = FailWith;
        FailWith.clear();
        Reading = false;
        Calls.push_back({count, options, commandText, 0});
        throw EDatabaseError(message);
    }
    if (options & grReset) {
        Reading = false;
        FNext = 0;
        recsOut = 0;
        Calls.push_back({count, options, commandText, 0});
        return {};
    }
    if (!Reading) {
        Reading = true;
        FNext = 0;
    }
    size_t remaining = Rows.size() - FNext;
    size_t n = count < 0 ? remaining : std::min(remaining, static_cast<size_t>(count));
    std::vector<Row> part(Rows.begin() + FNext, Rows.begin() + FNext + n);
    FNext += n;
    recsOut = static_cast<int>(n);
    if (count < 0 || static_cast<int>(n) < count) Reading = false;
    Calls.push_back({count, options, commandText, recsOut});
    return MakePacket(FFields, part, FAttributes);
}

std::optional<std::vector<uint8_t>> TPacketProvider::ApplyUpdates(const std::vector<uint8_t>& delta,
                                                                  int maxErrors, int& errorCount,
                                                                  Variant&) {
    Deltas.push_back(delta);
    MaxErrorsSeen.push_back(maxErrors);
    errorCount = 0;
    if (!ApplyFailWith.empty()) throw EDatabaseError(ApplyFailWith);
    if (!OnApply) return std::nullopt;
    TDSPacketReader reader(delta);
    TDSErrorPacketBuilder errors(reader);
    OnApply(reader, errors, errorCount);
    if (errors.Empty()) return std::nullopt;
    return errors.GetPacket();
}

void TRecordingLink::RecordChanged(TField* field) {
    Events.push_back(field ? "record " + field->FieldName() : "record");
}

} // namespace fixtures
