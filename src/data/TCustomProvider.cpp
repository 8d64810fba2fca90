#include "data/TCustomProvider.h"

#include "data/DBErrors.h"

std::string ProviderErrorText(const std::string& message) {
    size_t n = message.size();
    while (n > 0) {
        unsigned char c = static_cast<unsigned char>(message[n - 1]);
        if (c > ' ' && c != '.') break;
        --n;
    }
    return message.substr(0, n);
}

// Everything the provider raises crosses the adapter as EOleException, so a
// provider failure never reaches a dataset error event. EAbort stays silent.
template <class F> static auto crossAdapter(F&& f) -> decltype(f()) {
    try {
        return f();
    } catch (const EAbort&) {
        throw;
    } catch (const EOleException&) {
        throw;
    } catch (const std::exception& e) {
        throw EOleException(ProviderErrorText(e.what()));
    } catch (...) {
        throw EOleException("Unknown provider error");
    }
}

std::vector<uint8_t> TLocalAppServer::AS_GetRecords(const std::string&, int count, int& recsOut,
                                                    int options, const std::string& commandText,
                                                    TParams& params, Variant& ownerData) {
    return crossAdapter([&] {
        return FProvider->GetRecords(count, recsOut, options, commandText, params, ownerData);
    });
}

std::optional<std::vector<uint8_t>>
TLocalAppServer::AS_ApplyUpdates(const std::string&, const std::vector<uint8_t>& delta,
                                 int maxErrors, int& errorCount, Variant& ownerData) {
    return crossAdapter(
        [&] { return FProvider->ApplyUpdates(delta, maxErrors, errorCount, ownerData); });
}
