#include "data/engine/DSErrors.h"
#include "data/engine/DSTypes.h"

namespace {

// Long enough for any server message; longer texts are cut.
constexpr uint16_t kMessageSize = 8192;
constexpr uint16_t kContextSize = 1024;

std::vector<DSFieldDesc> errorFields(const TDSRecordLayout& delta) {
    auto field = [](const char* name, DSType type, uint16_t size = 0) {
        DSFieldDesc f;
        f.Name = name;
        f.Type = type;
        f.Size = size;
        return f;
    };
    std::vector<DSFieldDesc> fields = {
        field("ERROR_RECORDNO", DSType::Int32),
        field("ERROR_RESPONSE", DSType::Int32),
        field("ERROR_MESSAGE", DSType::String, kMessageSize),
        field("ERROR_CONTEXT", DSType::String, kContextSize),
        field("ERROR_CATEGORY", DSType::Int32),
        field("ERROR_CODE", DSType::Int32),
    };
    fields.insert(fields.end(), delta.Fields().begin(), delta.Fields().end());
    return fields;
}

// Longer texts are cut at a character boundary rather than refused: the
// error must reach the user whatever its length.
std::string fitText(const std::string& s, size_t size) {
    if (s.size() <= size) return s;
    size_t n = size;
    while (n > 0 && (static_cast<unsigned char>(s[n]) & 0xC0) == 0x80)
        --n;
    return s.substr(0, n);
}

} // namespace

TDSErrorPacketBuilder::TDSErrorPacketBuilder(const TDSPacketReader& delta)
    : FDelta(delta), FWriter(CreateDSWriter()) {
    FWriter->Init(errorFields(delta.Layout()), delta.Attributes());
    FRecord.resize(FWriter->Layout().RecordSize());
}

void TDSErrorPacketBuilder::AddError(int row, int response, const std::string& message,
                                     const std::string& context, int category, int errorCode) {
    if (row < 0 || row >= FDelta.RowCount())
        DSRaise(DBERR_INVALIDPARAM, "The error names a row that is not in the delta");
    const TDSRecordLayout& out = FWriter->Layout();
    const TDSRecordLayout& in = FDelta.Layout();
    out.InitRecord(FRecord.data());
    out.PutField(FRecord.data(), 0, Variant(static_cast<int32_t>(row + 1)));
    out.PutField(FRecord.data(), 1, Variant(static_cast<int32_t>(response)));
    out.PutField(FRecord.data(), 2, Variant(fitText(message, kMessageSize)));
    out.PutField(FRecord.data(), 3, Variant(fitText(context, kContextSize)));
    out.PutField(FRecord.data(), 4, Variant(static_cast<int32_t>(category)));
    out.PutField(FRecord.data(), 5, Variant(static_cast<int32_t>(errorCode)));
    const uint8_t* source = FDelta.Record(row);
    for (int i = 0; i < in.FieldCount(); ++i) {
        const DSFieldDesc& f = in.Fields()[i];
        FRecord[6 + i] = source[i];
        std::memcpy(FRecord.data() + out.FieldOffset(6 + i), source + in.FieldOffset(i),
                    DSValueBytes(f.Type, f.Size));
    }
    FWriter->AddRecord(FRecord.data(), FDelta.RowStatus(row));
}
