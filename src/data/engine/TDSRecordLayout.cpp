#include "data/engine/DSErrors.h"
#include "data/engine/DSTypes.h"

#include "platform/SysUtils.h"

#include <cassert>
#include <climits>
#include <cmath>

TDSRecordLayout::TDSRecordLayout(std::vector<DSFieldDesc> fields) : FFields(std::move(fields)) {
    if (FFields.size() > static_cast<size_t>(kDSMaxFields))
        DSRaise(DBERR_INVALIDPARAM, "Too many fields");
    size_t offset = FFields.size(); // the status bytes come first
    FOffsets.reserve(FFields.size());
    for (const DSFieldDesc& f : FFields) {
        if (!DSValidDesc(f))
            DSRaise(DBERR_INVALIDPARAM, Format("Invalid description of field '%s'", {f.Name}));
        FOffsets.push_back(offset);
        offset += DSValueBytes(f.Type, f.Size);
    }
    FRecordSize = offset;
}

int TDSRecordLayout::FieldIndex(std::string_view name) const {
    for (size_t i = 0; i < FFields.size(); ++i)
        if (SameText(FFields[i].Name, name)) return static_cast<int>(i);
    return -1;
}

void TDSRecordLayout::InitRecord(uint8_t* record, DSFieldStatus status) const {
    std::memset(record, 0, FRecordSize);
    std::memset(record, static_cast<int>(status), FFields.size());
}

DSFieldStatus TDSRecordLayout::Status(const uint8_t* record, int field) const {
    assert(field >= 0 && field < FieldCount());
    return static_cast<DSFieldStatus>(record[field]);
}

Variant TDSRecordLayout::GetField(const uint8_t* record, int field) const {
    assert(field >= 0 && field < FieldCount());
    switch (static_cast<DSFieldStatus>(record[field])) {
    case DSFieldStatus::Value:
        break;
    case DSFieldStatus::Null:
        return Variant(Null{});
    default:
        return Variant();
    }
    const DSFieldDesc& f = FFields[field];
    const uint8_t* p = record + FOffsets[field];
    switch (f.Type) {
    case DSType::Int16:
        return Variant(static_cast<int32_t>(DSLoad<int16_t>(p)));
    case DSType::Int32:
        return Variant(DSLoad<int32_t>(p));
    case DSType::Int64:
        return Variant(DSLoad<int64_t>(p));
    case DSType::Boolean:
        return Variant(p[0] != 0);
    case DSType::Double:
        return Variant(DSLoad<double>(p));
    case DSType::Currency:
        return Variant(Currency{DSLoad<int64_t>(p)});
    case DSType::Bcd:
        return Variant(TBcd{DSLoad<int64_t>(p), f.Scale});
    case DSType::Date:
        return Variant(TDateTime(DSLoad<int32_t>(p)));
    case DSType::Time:
        return Variant(TDateTime(DSLoad<int32_t>(p) / double(kDSMsPerDay)));
    case DSType::DateTime:
        return Variant(TDateTime(DSLoad<double>(p)));
    case DSType::String: {
        uint16_t len = DSLoad<uint16_t>(p);
        return Variant(std::string(reinterpret_cast<const char*>(p + 2), len));
    }
    }
    return Variant();
}

namespace {

// The integer a value denotes exactly, when it is an integer kind.
bool integerOf(const Variant& v, int64_t& out) {
    if (auto i = v.GetIf<int32_t>()) return out = *i, true;
    if (auto i = v.GetIf<int64_t>()) return out = *i, true;
    return false;
}

// The exact decimal a value denotes, when it is an exact kind.
bool exactOf(const Variant& v, TBcd& out) {
    int64_t i;
    if (integerOf(v, i)) return out = TBcd{i, 0}, true;
    if (auto c = v.GetIf<Currency>()) return out = TBcd{c->Units, 4}, true;
    if (auto b = v.GetIf<TBcd>()) return out = *b, true;
    return false;
}

// value rescaled exactly to scale, within precision digits (0: within 64
// bits). Kept free of the data layer's helpers so that the engine links on
// its own.
bool fitExact(const TBcd& value, int scale, int precision, int64_t& out) {
    if (value.Scale < 0 || value.Scale > 18) return false;
    __int128 v = value.Value;
    if (scale >= value.Scale) {
        v *= kPow10[scale - value.Scale];
    } else {
        int64_t div = kPow10[value.Scale - scale];
        if (v % div != 0) return false;
        v /= div;
    }
    if (precision == 0 ? (v < INT64_MIN || v > INT64_MAX)
                       : (v <= -kPow10[precision] || v >= kPow10[precision]))
        return false;
    out = static_cast<int64_t>(v);
    return true;
}

int32_t timeOfDayMs(TDateTime t) {
    double frac = std::fabs(t.Val() - std::trunc(t.Val()));
    auto ms = static_cast<int32_t>(std::llround(frac * kDSMsPerDay));
    return ms >= kDSMsPerDay ? kDSMsPerDay - 1 : ms;
}

[[noreturn]] void refuseValue(const DSFieldDesc& f) {
    DSRaise(DBERR_INVALIDPARAM, Format("Invalid value for field '%s'", {f.Name}));
}

} // namespace

void TDSRecordLayout::PutField(uint8_t* record, int field, const Variant& value) const {
    assert(field >= 0 && field < FieldCount());
    const DSFieldDesc& f = FFields[field];
    uint8_t* p = record + FOffsets[field];
    const size_t bytes = DSValueBytes(f.Type, f.Size);
    if (value.IsEmpty()) {
        record[field] =
            static_cast<uint8_t>(value.IsNull() ? DSFieldStatus::Null : DSFieldStatus::Unassigned);
        std::memset(p, 0, bytes);
        return;
    }
    int64_t i = 0;
    TBcd exact;
    switch (f.Type) {
    case DSType::Int16:
        if (!integerOf(value, i) || i < INT16_MIN || i > INT16_MAX) refuseValue(f);
        DSStore(p, static_cast<int16_t>(i));
        break;
    case DSType::Int32:
        if (!integerOf(value, i) || i < INT32_MIN || i > INT32_MAX) refuseValue(f);
        DSStore(p, static_cast<int32_t>(i));
        break;
    case DSType::Int64:
        if (!integerOf(value, i)) refuseValue(f);
        DSStore(p, i);
        break;
    case DSType::Boolean:
        if (!value.GetIf<bool>()) refuseValue(f);
        p[0] = value.Get<bool>() ? 1 : 0;
        break;
    case DSType::Double: {
        double d;
        if (auto x = value.GetIf<double>())
            d = *x;
        else if (integerOf(value, i))
            d = static_cast<double>(i);
        else if (exactOf(value, exact) && exact.Scale >= 0 && exact.Scale <= 18)
            d = static_cast<double>(exact.Value) / static_cast<double>(kPow10[exact.Scale]);
        else
            refuseValue(f);
        if (std::isnan(d)) refuseValue(f);
        DSStore(p, d);
        break;
    }
    case DSType::Currency:
        if (!exactOf(value, exact) || !fitExact(exact, 4, 0, i)) refuseValue(f);
        DSStore(p, i);
        break;
    case DSType::Bcd:
        if (!exactOf(value, exact) || !fitExact(exact, f.Scale, f.Size, i)) refuseValue(f);
        DSStore(p, i);
        break;
    case DSType::Date: {
        auto t = value.GetIf<TDateTime>();
        if (!t || !std::isfinite(t->Val())) refuseValue(f);
        double days = std::trunc(t->Val());
        if (days < kDSMinDate || days > kDSMaxDate) refuseValue(f);
        DSStore(p, static_cast<int32_t>(days));
        break;
    }
    case DSType::Time: {
        auto t = value.GetIf<TDateTime>();
        if (!t || !std::isfinite(t->Val())) refuseValue(f);
        DSStore(p, timeOfDayMs(*t));
        break;
    }
    case DSType::DateTime: {
        auto t = value.GetIf<TDateTime>();
        if (!t || !std::isfinite(t->Val()) || t->Val() <= kDSMinDate - 1 ||
            t->Val() >= kDSMaxDate + 1)
            refuseValue(f);
        DSStore(p, t->Val());
        break;
    }
    case DSType::String: {
        auto s = value.GetIf<std::string>();
        if (!s || s->size() > f.Size) refuseValue(f);
        std::memset(p, 0, bytes);
        DSStore(p, static_cast<uint16_t>(s->size()));
        std::memcpy(p + 2, s->data(), s->size());
        break;
    }
    }
    record[field] = static_cast<uint8_t>(DSFieldStatus::Value);
}

bool TDSRecordLayout::SameField(const uint8_t* a, const uint8_t* b, int field) const {
    assert(field >= 0 && field < FieldCount());
    if (a[field] != b[field]) return false;
    if (a[field] != static_cast<uint8_t>(DSFieldStatus::Value)) return true;
    const DSFieldDesc& f = FFields[field];
    const uint8_t* x = a + FOffsets[field];
    const uint8_t* y = b + FOffsets[field];
    if (f.Type == DSType::String) {
        uint16_t n = DSLoad<uint16_t>(x);
        return n == DSLoad<uint16_t>(y) && std::memcmp(x + 2, y + 2, n) == 0;
    }
    return std::memcmp(x, y, DSValueBytes(f.Type, f.Size)) == 0;
}
