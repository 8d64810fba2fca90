#pragma once
// Facts about the stored types shared by records, packets and expressions:
// how many bytes a value takes, which values are valid, and unaligned access
// to the bytes.

#include "data/engine/DSIntf.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>

// Records and packets hold values in the machine's order, and packets travel
// only between parts of one process; a big-endian port would add swapping in
// the packet codec.
static_assert(std::endian::native == std::endian::little);

inline constexpr int kDSMinDate = -693593; // 1 January 0001
inline constexpr int kDSMaxDate = 2958465; // 31 December 9999
inline constexpr int32_t kDSMsPerDay = 86400000;
inline constexpr int kDSMaxFields = 4096;
inline constexpr int kDSMaxBcdPrecision = 18;

// Bytes of a value itself: a string's text at its longest, without the
// length word that precedes it in a record.
constexpr size_t DSDataBytes(DSType type, uint16_t size) {
    switch (type) {
    case DSType::Boolean:
        return 1;
    case DSType::Int16:
        return 2;
    case DSType::Int32:
    case DSType::Date:
    case DSType::Time:
        return 4;
    case DSType::Int64:
    case DSType::Double:
    case DSType::Currency:
    case DSType::Bcd:
    case DSType::DateTime:
        return 8;
    case DSType::String:
        return size;
    }
    return 0;
}
// Bytes of a value of the field in a record (a string's length word included).
constexpr size_t DSValueBytes(DSType type, uint16_t size) {
    return DSDataBytes(type, size) + (type == DSType::String ? 2 : 0);
}
// The families within which values compare in expressions: exact and
// floating numbers (which compare with each other), moments on one time
// line, text and booleans.
enum class DSFamily : uint8_t { Exact, Float, Moment, Text, Bool };
constexpr DSFamily DSFamilyOf(DSType type) {
    switch (type) {
    case DSType::Int16:
    case DSType::Int32:
    case DSType::Int64:
    case DSType::Currency:
    case DSType::Bcd:
        return DSFamily::Exact;
    case DSType::Double:
        return DSFamily::Float;
    case DSType::Date:
    case DSType::Time:
    case DSType::DateTime:
        return DSFamily::Moment;
    case DSType::String:
        return DSFamily::Text;
    case DSType::Boolean:
        return DSFamily::Bool;
    }
    return DSFamily::Exact;
}
constexpr bool DSNumericFamily(DSFamily family) {
    return family == DSFamily::Exact || family == DSFamily::Float;
}
// A type code that names a DSType.
inline bool DSValidType(uint8_t code) {
    return code <= static_cast<uint8_t>(DSType::String);
}
// Whether the description can be stored: a known type, a string size of 1 to
// kDSMaxStringSize, a BCD precision of 1 to 18 with a scale within it, a
// scale of 0 for other types, and a name.
bool DSValidDesc(const DSFieldDesc& desc);
// Whether the value bytes of a fixed-size field hold a valid value (a boolean
// 0 or 1, a date in years 1 to 9999, a time within the day, a BCD within its
// precision). Strings are checked by their length word elsewhere.
inline bool DSValidFixedValue(const DSFieldDesc& desc, const uint8_t* bytes);

template <class T> inline T DSLoad(const uint8_t* p) {
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}
template <class T> inline void DSStore(uint8_t* p, T v) {
    std::memcpy(p, &v, sizeof v);
}

inline bool DSValidFixedValue(const DSFieldDesc& desc, const uint8_t* bytes) {
    switch (desc.Type) {
    case DSType::Boolean:
        return bytes[0] <= 1;
    case DSType::Date: {
        int32_t d = DSLoad<int32_t>(bytes);
        return d >= kDSMinDate && d <= kDSMaxDate;
    }
    case DSType::Time: {
        int32_t ms = DSLoad<int32_t>(bytes);
        return ms >= 0 && ms < kDSMsPerDay;
    }
    case DSType::DateTime: {
        double v = DSLoad<double>(bytes);
        return std::isfinite(v) && v > kDSMinDate - 1 && v < kDSMaxDate + 1;
    }
    case DSType::Double:
        return !std::isnan(DSLoad<double>(bytes));
    case DSType::Bcd: {
        int64_t v = DSLoad<int64_t>(bytes);
        int64_t limit = kPow10[desc.Size];
        return v > -limit && v < limit;
    }
    case DSType::Int16:
    case DSType::Int32:
    case DSType::Int64:
    case DSType::Currency:
    case DSType::String:
        return true;
    }
    return true;
}
