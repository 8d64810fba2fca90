#pragma once
// The exception classes of the data layer beyond EDatabaseError and EAbort
// (platform/Exceptions.h) and EDBClient (engine/DSIntf.h), and the answer
// values of the error events that carry them.

#include "data/engine/DSIntf.h"
#include "platform/Exceptions.h"

#include <exception>
#include <string>

// Answer of OnEditError, OnPostError and OnDeleteError.
enum TDataAction { daFail, daAbort, daRetry };

// Answer of a provider's OnUpdateError.
enum TResolverResponse { rrSkip, rrAbort, rrMerge, rrApply, rrIgnore };

// The kind of one change of a delta.
enum TUpdateKind { ukModify, ukInsert, ukDelete };

// Answer of a client dataset's OnReconcileError; same values as the engine's
// TDSReconcileAnswer.
enum TReconcileAction { raSkip, raAbort, raMerge, raCorrect, raCancel, raRefresh };

// Raises EDatabaseError with the message.
[[noreturn]] void DatabaseError(const std::string& message);

// One change that the database refused while a provider applied a delta.
// ErrorCode is 1 for every refused change; PreviousError is the code of the
// previous error of the same change (0 on the first try); OriginalException
// is what refused it.
class EUpdateError : public EDatabaseError {
public:
    EUpdateError(std::string message, std::string context, int errorCode, int previousError,
                 std::exception_ptr originalException)
        : EDatabaseError(std::move(message)), Context(std::move(context)), ErrorCode(errorCode),
          PreviousError(previousError), OriginalException(std::move(originalException)) {}

    std::string Context;
    int ErrorCode;
    int PreviousError;
    std::exception_ptr OriginalException;
};

// One row of an error packet as a client dataset sees it while reconciling.
class EReconcileError : public EDBClient {
public:
    EReconcileError(std::string message, std::string context, int errorCode, int previousError)
        : EDBClient(std::move(message), errorCode), Context(std::move(context)),
          PreviousError(previousError) {}

    std::string Context;
    int PreviousError;
};

// An exception raised inside a provider, as the client receives it through
// the in-process adapter. Deliberately not an EDatabaseError: the dataset
// error events never see it.
class EOleException : public Exception {
public:
    explicit EOleException(std::string message, int errorCode = 0, std::string source = {})
        : Exception(std::move(message)), ErrorCode(errorCode), Source(std::move(source)) {}

    int ErrorCode;
    std::string Source;
};
