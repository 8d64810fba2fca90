#pragma once
// A status vector and what the driver makes of it: the status code it
// returns (the server's own error code) and the server's text.

#include "data/firebird/FbClient.h"

#include <cstdint>
#include <string>

namespace fb {

class FbStatus {
public:
    FbStatus() { reset(); }
    void reset();
    ISC_STATUS* get() { return FVector; }
    // The client reports an error only when the vector says so; the return
    // value of the call is not enough (warnings fill the vector too).
    bool failed() const { return FVector[0] == 1 && FVector[1] != 0; }
    // The server's error code, e.g. 335544665 for a key violation.
    int32_t code() const { return static_cast<int32_t>(FVector[1]); }
    // The lines fb_interpret gives, joined with a blank.
    std::string text(const FbClient& api) const;

private:
    ISC_STATUS_ARRAY FVector;
};

} // namespace fb
