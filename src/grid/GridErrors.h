#pragma once
// The grid's own errors: an operation the grid cannot carry out, and a
// resource of the grid library that cannot be loaded.

#include "platform/Exceptions.h"

class EInvalidGridOperation : public Exception {
    using Exception::Exception;
};

class EOutOfResources : public Exception {
    using Exception::Exception;
};
