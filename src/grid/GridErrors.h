#pragma once
// The grid's own error: an operation the grid cannot carry out.

#include "platform/Exceptions.h"

class EInvalidGridOperation : public Exception {
    using Exception::Exception;
};
