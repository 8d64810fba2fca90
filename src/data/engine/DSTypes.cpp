#include "data/engine/DSTypes.h"

#include <cmath>

bool DSValidDesc(const DSFieldDesc& desc) {
    if (!DSValidType(static_cast<uint8_t>(desc.Type))) return false;
    if (desc.Name.empty() || desc.Name.size() > 255 || desc.Origin.size() > 255) return false;
    switch (desc.Type) {
    case DSType::String:
        return desc.Size >= 1 && desc.Size <= kDSMaxStringSize && desc.Scale == 0;
    case DSType::Bcd:
        return desc.Size >= 1 && desc.Size <= kDSMaxBcdPrecision && desc.Scale >= 0 &&
               desc.Scale <= static_cast<int>(desc.Size);
    case DSType::Int16:
    case DSType::Int32:
    case DSType::Int64:
    case DSType::Boolean:
    case DSType::Double:
    case DSType::Currency:
    case DSType::Date:
    case DSType::Time:
    case DSType::DateTime:
        return desc.Scale == 0;
    }
    return false;
}
