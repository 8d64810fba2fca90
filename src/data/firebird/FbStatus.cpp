#include "data/firebird/FbStatus.h"

#include <cstring>

namespace fb {

void FbStatus::reset() {
    std::memset(FVector, 0, sizeof FVector);
}

std::string FbStatus::text(const FbClient& api) const {
    std::string result;
    const ISC_STATUS* p = FVector;
    char line[1024];
    while (api.fb_interpret(line, sizeof line, &p) > 0) {
        if (!result.empty()) result += ' ';
        result += line;
    }
    return result;
}

} // namespace fb
