#include "data/DBErrors.h"

void DatabaseError(const std::string& message) {
    throw EDatabaseError(message);
}
