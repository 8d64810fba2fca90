#include "data/engine/DSTypes.h"

#include <cmath>

const int64_t kDSPow10[19] = {1LL,
                              10LL,
                              100LL,
                              1000LL,
                              10000LL,
                              100000LL,
                              1000000LL,
                              10000000LL,
                              100000000LL,
                              1000000000LL,
                              10000000000LL,
                              100000000000LL,
                              1000000000000LL,
                              10000000000000LL,
                              100000000000000LL,
                              1000000000000000LL,
                              10000000000000000LL,
                              100000000000000000LL,
                              1000000000000000000LL};

size_t DSValueBytes(DSType type, uint16_t size) {
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
        return 2 + static_cast<size_t>(size);
    }
    return 0;
}

bool DSValidDesc(const DSFieldDesc& desc) {
    if (!DSValidType(static_cast<uint8_t>(desc.Type))) return false;
    if (desc.Name.empty() || desc.Name.size() > 255 || desc.Origin.size() > 255) return false;
    switch (desc.Type) {
    case DSType::String:
        return desc.Size >= 1 && desc.Size <= kDSMaxStringSize && desc.Scale == 0;
    case DSType::Bcd:
        return desc.Size >= 1 && desc.Size <= kDSMaxBcdPrecision && desc.Scale >= 0 &&
               desc.Scale <= static_cast<int>(desc.Size);
    default:
        return desc.Scale == 0;
    }
}
