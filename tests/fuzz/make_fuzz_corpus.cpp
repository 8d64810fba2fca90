// Writes the seed packets of fuzz_packet into the folder given: data packets
// of several shapes (every type, nulls, an empty one), a delta and an error
// packet. Run it after a change of the packet layout and commit the output.

#include "data/engine/DSIntf.h"

#include <cstdio>
#include <fstream>
#include <string>

namespace {

DSFieldDesc field(const char* name, DSType type, uint16_t size = 0, int8_t scale = 0) {
    DSFieldDesc f;
    f.Name = name;
    f.Type = type;
    f.Size = size;
    f.Scale = scale;
    return f;
}

void write(const std::string& folder, const char* name, const std::vector<uint8_t>& bytes) {
    std::ofstream out(folder + "/" + name, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

std::vector<uint8_t> packet(const std::vector<DSFieldDesc>& fields,
                            const std::vector<std::vector<Variant>>& rows,
                            const std::vector<DSAttribute>& attributes = {}) {
    auto writer = CreateDSWriter();
    writer->Init(fields, attributes);
    std::vector<uint8_t> r(writer->Layout().RecordSize());
    for (const auto& values : rows) {
        writer->Layout().InitRecord(r.data());
        for (size_t f = 0; f < values.size(); ++f)
            writer->Layout().PutField(r.data(), static_cast<int>(f), values[f]);
        writer->AddRecord(r.data());
    }
    return writer->GetDataPacket();
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_fuzz_corpus FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    const std::vector<DSFieldDesc> ajuste = {
        field("AJCI_ID", DSType::Int32), field("AJCI_FECINI", DSType::Date),
        field("AJCI_FECFIN", DSType::Date), field("AJCI_PORC", DSType::Bcd, 15, 4),
        field("AJCI_FACTOR", DSType::Bcd, 15, 4)};
    const std::vector<DSAttribute> attributes = {{"LCID", Variant(int32_t{3082})},
                                                 {"TABLE_NAME", Variant("AJUSTE_CIERRE")}};
    const std::vector<uint8_t> ajustePacket =
        packet(ajuste,
               {{int32_t{1}, TDateTime(42430), TDateTime(42460), TBcd{190000, 4}, TBcd{8000, 4}},
                {int32_t{2}, TDateTime(42430), Null{}, TBcd{0, 4}, TBcd{8000, 4}},
                {int32_t{3}, TDateTime(-18000), TDateTime(42460), TBcd{-105000, 4}, Null{}}},
               attributes);
    write(folder, "ajuste", ajustePacket);
    write(folder, "empty", packet(ajuste, {}, attributes));

    const std::vector<DSFieldDesc> every = {
        field("I16", DSType::Int16),      field("I32", DSType::Int32),
        field("I64", DSType::Int64),      field("B", DSType::Boolean),
        field("D", DSType::Double),       field("CUR", DSType::Currency),
        field("BCD", DSType::Bcd, 18, 6), field("DT", DSType::Date),
        field("TM", DSType::Time),        field("DTT", DSType::DateTime),
        field("S", DSType::String, 8)};
    write(folder, "every_type",
          packet(every,
                 {{int32_t{-1}, int32_t{2}, int64_t{-3}, true, 0.5, Currency{8000},
                   TBcd{-123456789, 6}, TDateTime(1), TDateTime(0.5), TDateTime(-1.25),
                   std::string("ñandú")},
                  {Null{}, Null{}, Null{}, Null{}, Null{}, Null{}, Null{}, Null{}, Null{}, Null{},
                   std::string()}},
                 {{"DISABLE_EDITS", Variant(false)}, {"RATE", Variant(TBcd{5, 1})}}));

    // A delta and its error packet, from the editor's kind of changes.
    auto base = CreateDSBase();
    base->AppendData(ajustePacket, true);
    auto cursor = base->CreateCursor();
    std::vector<uint8_t> record(base->Layout().RecordSize());
    cursor->MoveRelative(1);
    cursor->DeleteRecord();
    cursor->GetCurrentRecord(record.data());
    base->Layout().PutField(record.data(), 4, Variant(TBcd{9000, 4}));
    cursor->ModifyRecord(record.data());
    cursor->MoveToEOF();
    cursor->InsertRecord(record.data());
    const std::vector<uint8_t> delta = base->GetDelta();
    write(folder, "delta", delta);
    TDSPacketReader reader(delta);
    TDSErrorPacketBuilder errors(reader);
    errors.AddError(2, 2, "violation of PRIMARY or UNIQUE KEY constraint", "", 1, 335544665);
    write(folder, "errors", errors.GetPacket());
    return 0;
}
