#pragma once
// Reading and writing a whole blob inside a transaction.

#include "data/firebird/FbAttachment.h"

#include <string>

namespace fb {

// The blob's bytes, at most limit of them when limit is not negative.
bool ReadBlob(FbTransaction& transaction, const ISC_QUAD& id, long limit, std::string& out,
              FbStatus& status);
// A new blob holding bytes; its id in id.
bool WriteBlob(FbTransaction& transaction, const std::string& bytes, ISC_QUAD& id,
               FbStatus& status);

} // namespace fb
