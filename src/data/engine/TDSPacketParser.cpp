#include "data/engine/TDSPacketParser.h"

#include "data/engine/DSErrors.h"
#include "data/engine/DSPacketFormat.h"
#include "data/engine/DSTypes.h"

#include <cstring>

TDSPacketParser::TDSPacketParser(const uint8_t* data, size_t size) : FData(data), FSize(size) {
    // Nothing this short can hold a header and a field.
    if (size <= 21 || size < kDSPacketHeaderSize) DSRaiseInvalidPacket();
    const uint8_t* h = need(kDSPacketHeaderSize);
    if (std::memcmp(h, kDSPacketMagic, 4) != 0) DSRaiseInvalidPacket();
    if (DSLoad<uint16_t>(h + 4) != kDSPacketVersion || DSLoad<uint16_t>(h + 6) != 0)
        DSRaiseInvalidPacket();
    uint32_t fieldCount = DSLoad<uint32_t>(h + 8);
    uint32_t attributeCount = DSLoad<uint32_t>(h + 12);
    FRowCount = DSLoad<uint32_t>(h + 16);
    if (DSLoad<uint32_t>(h + 20) != size) DSRaiseInvalidPacket();
    if (fieldCount == 0 || fieldCount > static_cast<uint32_t>(kDSMaxFields)) DSRaiseInvalidPacket();

    FFields.reserve(fieldCount);
    for (uint32_t i = 0; i < fieldCount; ++i)
        readField();
    // Descriptions are complete: their addresses no longer move.
    uint32_t offset = 0;
    for (const DSFieldDesc& f : FFields) {
        auto bytes = static_cast<uint32_t>(DSValueBytes(f.Type, f.Size));
        bool checked = f.Type != DSType::Int16 && f.Type != DSType::Int32 &&
                       f.Type != DSType::Int64 && f.Type != DSType::Currency;
        FColumns.push_back(Column{f.Type, f.Size, offset, bytes, checked, &f});
        offset += bytes;
    }
    FDataSize = offset;

    for (uint32_t i = 0; i < attributeCount; ++i)
        readAttribute();

    // Every row takes at least its status bytes; a larger count is a lie.
    if (FRowCount > 0 && (FSize - FPos) / (1 + fieldCount) < FRowCount) DSRaiseInvalidPacket();
}

void TDSPacketParser::truncated() {
    DSRaiseInvalidPacket();
}

std::string TDSPacketParser::text(size_t length) {
    const uint8_t* p = need(length);
    return std::string(reinterpret_cast<const char*>(p), length);
}

void TDSPacketParser::readField() {
    DSFieldDesc f;
    uint8_t nameLength = byte();
    if (nameLength == 0) DSRaiseInvalidPacket();
    f.Name = text(nameLength);
    uint8_t type = byte();
    if (!DSValidType(type)) DSRaiseInvalidPacket();
    f.Type = static_cast<DSType>(type);
    f.Size = DSLoad<uint16_t>(need(2));
    f.Scale = static_cast<int8_t>(byte());
    f.Attributes = byte();
    f.ProviderFlags = byte();
    f.Origin = text(byte());
    if (!DSValidDesc(f)) DSRaiseInvalidPacket();
    FFields.push_back(std::move(f));
}

void TDSPacketParser::readAttribute() {
    DSAttribute a;
    uint8_t nameLength = byte();
    if (nameLength == 0) DSRaiseInvalidPacket();
    a.Name = text(nameLength);
    a.Value = readAttributeValue();
    FAttributes.push_back(std::move(a));
}

Variant TDSPacketParser::readAttributeValue() {
    // Every type is listed, so that a new one cannot be left out; a byte
    // that names none falls through to the refusal.
    switch (static_cast<TVarType>(byte())) {
    case TVarType::Unassigned:
        return Variant();
    case TVarType::Null:
        return Variant(Null{});
    case TVarType::Boolean: {
        uint8_t b = byte();
        if (b > 1) DSRaiseInvalidPacket();
        return Variant(b != 0);
    }
    case TVarType::Integer:
        return Variant(DSLoad<int32_t>(need(4)));
    case TVarType::LargeInt:
        return Variant(DSLoad<int64_t>(need(8)));
    case TVarType::Double:
        return Variant(DSLoad<double>(need(8)));
    case TVarType::Currency:
        return Variant(Currency{DSLoad<int64_t>(need(8))});
    case TVarType::Bcd: {
        int64_t v = DSLoad<int64_t>(need(8));
        uint8_t scale = byte();
        if (scale > 18) DSRaiseInvalidPacket();
        return Variant(TBcd{v, scale});
    }
    case TVarType::Date:
        return Variant(TDateTime(DSLoad<double>(need(8))));
    case TVarType::String: {
        uint32_t length = DSLoad<uint32_t>(need(4));
        return Variant(text(length));
    }
    }
    DSRaiseInvalidPacket();
}

DSRowStatus TDSPacketParser::ReadRow(uint8_t* statuses, uint8_t* data) {
    if (FRowsRead >= FRowCount) DSRaiseInvalidPacket();
    ++FRowsRead;
    uint8_t rowStatus = byte();
    if (rowStatus != dsRecUnmodified && rowStatus != dsRecModified && rowStatus != dsRecInserted &&
        rowStatus != dsRecDeleted)
        DSRaiseInvalidPacket();
    const size_t count = FColumns.size();
    for (size_t i = 0; i < count; ++i) {
        const Column& c = FColumns[i];
        uint8_t* out = data + c.Offset;
        uint8_t status = byte();
        statuses[i] = status;
        if (status != static_cast<uint8_t>(DSFieldStatus::Value)) {
            if (status > static_cast<uint8_t>(DSFieldStatus::Unassigned)) DSRaiseInvalidPacket();
            std::memset(out, 0, c.Bytes);
            continue;
        }
        if (c.Type == DSType::String) {
            uint16_t length = DSLoad<uint16_t>(need(2));
            if (length > c.Size) DSRaiseInvalidPacket();
            const uint8_t* text = need(length);
            DSStore(out, length);
            std::memcpy(out + 2, text, length);
            std::memset(out + 2 + length, 0, c.Size - length);
            continue;
        }
        const uint8_t* in = need(c.Bytes);
        if (c.Checked && !DSValidFixedValue(*c.Desc, in)) DSRaiseInvalidPacket();
        // Sizes the compiler knows become plain moves.
        switch (c.Bytes) {
        case 1:
            out[0] = in[0];
            break;
        case 2:
            std::memcpy(out, in, 2);
            break;
        case 4:
            std::memcpy(out, in, 4);
            break;
        default:
            std::memcpy(out, in, 8);
            break;
        }
    }
    return static_cast<DSRowStatus>(rowStatus);
}

void TDSPacketParser::Finish() const {
    if (FRowsRead != FRowCount || FPos != FSize) DSRaiseInvalidPacket();
}
