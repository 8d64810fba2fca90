#include "data/engine/TDSPacketWriter.h"

#include "data/engine/DSErrors.h"
#include "data/engine/DSPacketFormat.h"
#include "data/engine/DSTypes.h"

#include "platform/SysUtils.h"

#include <climits>

std::unique_ptr<IDSWriter> CreateDSWriter() {
    return std::make_unique<TDSPacketWriter>();
}

namespace {

template <class T> void put(std::vector<uint8_t>& out, T v) {
    size_t at = out.size();
    out.resize(at + sizeof v);
    DSStore(out.data() + at, v);
}

void putBytes(std::vector<uint8_t>& out, const void* p, size_t n) {
    const auto* b = static_cast<const uint8_t*>(p);
    out.insert(out.end(), b, b + n);
}

void putShortText(std::vector<uint8_t>& out, const std::string& s) {
    put<uint8_t>(out, static_cast<uint8_t>(s.size()));
    putBytes(out, s.data(), s.size());
}

void putAttribute(std::vector<uint8_t>& out, const DSAttribute& a) {
    putShortText(out, a.Name);
    put<uint8_t>(out, static_cast<uint8_t>(a.Value.Type()));
    const Variant& v = a.Value;
    switch (v.Type()) {
    case TVarType::Unassigned:
    case TVarType::Null:
        break;
    case TVarType::Boolean:
        put<uint8_t>(out, v.Get<bool>() ? 1 : 0);
        break;
    case TVarType::Integer:
        put(out, v.Get<int32_t>());
        break;
    case TVarType::LargeInt:
        put(out, v.Get<int64_t>());
        break;
    case TVarType::Double:
        put(out, v.Get<double>());
        break;
    case TVarType::Currency:
        put(out, v.Get<Currency>().Units);
        break;
    case TVarType::Bcd:
        put(out, v.Get<TBcd>().Value);
        put<uint8_t>(out, static_cast<uint8_t>(v.Get<TBcd>().Scale));
        break;
    case TVarType::Date:
        put(out, v.Get<TDateTime>().Val());
        break;
    case TVarType::String:
        put(out, static_cast<uint32_t>(v.Get<std::string>().size()));
        putBytes(out, v.Get<std::string>().data(), v.Get<std::string>().size());
        break;
    }
}

} // namespace

void TDSPacketWriter::Init(const std::vector<DSFieldDesc>& fields,
                           const std::vector<DSAttribute>& attributes) {
    if (fields.empty()) DSRaise(DBERR_INVALIDPARAM, "A data packet needs at least one field");
    TDSRecordLayout layout(fields);
    for (const DSAttribute& a : attributes) {
        if (a.Name.empty() || a.Name.size() > 255)
            DSRaise(DBERR_INVALIDPARAM, Format("Invalid packet attribute name '%s'", {a.Name}));
        const TBcd* b = a.Value.GetIf<TBcd>();
        if (b && (b->Scale < 0 || b->Scale > 18))
            DSRaise(DBERR_INVALIDPARAM, Format("Invalid value of packet attribute '%s'", {a.Name}));
    }
    FLayout = std::move(layout);
    FAttributes = attributes;
    FRows.clear();
    FRowCount = 0;
    FInitialized = true;
}

void TDSPacketWriter::AddRecord(const uint8_t* record, DSRowStatus status) {
    if (!FInitialized) DSRaise(DBERR_INVALIDPARAM, "The packet writer has no fields");
    if (status != dsRecUnmodified && status != dsRecModified && status != dsRecInserted &&
        status != dsRecDeleted)
        DSRaise(DBERR_INVALIDPARAM, "Invalid row status");
    const size_t start = FRows.size();
    put<uint8_t>(FRows, status);
    for (int i = 0; i < FLayout.FieldCount(); ++i) {
        const DSFieldDesc& f = FLayout.Fields()[i];
        const uint8_t status = record[i];
        put<uint8_t>(FRows, status);
        if (status == static_cast<uint8_t>(DSFieldStatus::Null) ||
            status == static_cast<uint8_t>(DSFieldStatus::Unassigned))
            continue;
        const uint8_t* value = record + FLayout.FieldOffset(i);
        bool valid = status == static_cast<uint8_t>(DSFieldStatus::Value);
        if (valid && f.Type == DSType::String) {
            uint16_t length = DSLoad<uint16_t>(value);
            valid = length <= f.Size;
            if (valid) putBytes(FRows, value, 2 + static_cast<size_t>(length));
        } else if (valid) {
            valid = DSValidFixedValue(f, value);
            if (valid) putBytes(FRows, value, DSValueBytes(f.Type, f.Size));
        }
        if (!valid) {
            FRows.resize(start);
            DSRaise(DBERR_INVALIDPARAM, Format("Invalid value for field '%s'", {f.Name}));
        }
    }
    ++FRowCount;
}

std::vector<uint8_t> TDSPacketWriter::GetDataPacket() const {
    if (!FInitialized) DSRaise(DBERR_INVALIDPARAM, "The packet writer has no fields");
    std::vector<uint8_t> out;
    out.reserve(kDSPacketHeaderSize + 64 * FLayout.Fields().size() + FRows.size());
    putBytes(out, kDSPacketMagic, 4);
    put(out, kDSPacketVersion);
    put<uint16_t>(out, 0);
    put(out, static_cast<uint32_t>(FLayout.FieldCount()));
    put(out, static_cast<uint32_t>(FAttributes.size()));
    put(out, FRowCount);
    put<uint32_t>(out, 0); // the total length, filled in below
    for (const DSFieldDesc& f : FLayout.Fields()) {
        putShortText(out, f.Name);
        put<uint8_t>(out, static_cast<uint8_t>(f.Type));
        put(out, f.Size);
        put(out, f.Scale);
        put(out, f.Attributes);
        put(out, f.ProviderFlags);
        putShortText(out, f.Origin);
    }
    for (const DSAttribute& a : FAttributes)
        putAttribute(out, a);
    putBytes(out, FRows.data(), FRows.size());
    if (out.size() > UINT32_MAX) DSRaise(DBERR_INVALIDPARAM, "The data packet is too large");
    DSStore(out.data() + 20, static_cast<uint32_t>(out.size()));
    return out;
}
