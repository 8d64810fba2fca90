#pragma once
// The exception classes every layer shares. Failures are exceptions; the
// message is the text a user finally sees, so it is kept exactly as raised.

#include <stdexcept>
#include <string>

class Exception : public std::exception {
public:
    explicit Exception(std::string message) : Message(std::move(message)) {}
    const char* what() const noexcept override { return Message.c_str(); }

    std::string Message;
};

// The silent exception: it ends the caller's code and nothing is shown.
class EAbort : public Exception {
public:
    EAbort() : Exception("Operation aborted") {}
};

class EConvertError : public Exception {
    using Exception::Exception;
};

class ERegistryException : public Exception {
    using Exception::Exception;
};

class EInvalidOperation : public Exception {
    using Exception::Exception;
};

// Every database error; the dataset error events see this class and its
// descendants only.
class EDatabaseError : public Exception {
    using Exception::Exception;
};

// Raises EAbort, ending the caller's code silently.
[[noreturn]] inline void Abort() { throw EAbort(); }
