#pragma once
// The error text every driver object gives about its last failure. Each call
// of the interface starts by clearing it, so a text never belongs to an
// earlier failure than the status the caller is looking at.

#include "data/DriverIntf.h"
#include "data/firebird/FbStatus.h"

#include <algorithm>
#include <limits>
#include <new>
#include <string>

namespace fb {

template <class Interface> class FbObject : public Interface {
public:
    SQLResult getErrorMessageLen(uint16_t& length) override {
        length = static_cast<uint16_t>(
            std::min<size_t>(FError.size(), std::numeric_limits<uint16_t>::max()));
        return DBXERR_NONE;
    }
    SQLResult getErrorMessage(std::string& message) override {
        message = FError.substr(0, std::numeric_limits<uint16_t>::max());
        return DBXERR_NONE;
    }

protected:
    void clearError() { FError.clear(); }
    SQLResult fail(SQLResult code, std::string text = {}) {
        FError = std::move(text);
        return code;
    }
    // A call the server refused: its code and its text.
    SQLResult fail(const FbClient& api, const FbStatus& status) {
        return fail(status.code(), status.text(api));
    }
    // No exception may leave the module: the caller is another library.
    template <class F> SQLResult guarded(F&& body) {
        clearError();
        try {
            return body();
        } catch (const std::bad_alloc&) {
            return fail(DBXERR_NOMEMORY);
        } catch (const std::exception& e) {
            return fail(DBXERR_INVALIDPARAM, e.what());
        }
    }

private:
    std::string FError;
};

} // namespace fb
