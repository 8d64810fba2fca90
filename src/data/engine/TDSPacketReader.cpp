#include "data/engine/DSErrors.h"
#include "data/engine/TDSPacketParser.h"

#include "platform/SysUtils.h"

TDSPacketReader::TDSPacketReader(const std::vector<uint8_t>& packet) {
    TDSPacketParser parser(packet.data(), packet.size());
    TDSRecordLayout layout(parser.Fields());
    const size_t recordSize = layout.RecordSize();
    const size_t statusBytes = static_cast<size_t>(layout.FieldCount());
    // Grown row by row, so that a row count the bytes do not back up costs
    // no more than the rows actually read.
    for (uint32_t row = 0; row < parser.RowCount(); ++row) {
        FRecords.resize(FRecords.size() + recordSize);
        uint8_t* record = FRecords.data() + FRecords.size() - recordSize;
        FStatus.push_back(parser.ReadRow(record, record + statusBytes));
    }
    parser.Finish();
    FLayout = std::move(layout);
    FAttributes = std::move(parser.Attributes());
}

const Variant* TDSPacketReader::Attribute(std::string_view name) const {
    for (const DSAttribute& a : FAttributes)
        if (SameText(a.Name, name)) return &a.Value;
    return nullptr;
}
