#pragma once
// The provider side of a client dataset: TCustomProvider is what a
// TClientDataSet talks to, through the operations of an application server
// (IAppServer). TDataSetProvider derives from TCustomProvider.
//
// The client never calls a provider directly: it wraps the provider in a
// TLocalAppServer, the in-process adapter, which catches every exception the
// provider raises and raises EOleException with the same message, trailing
// blanks, control characters and periods removed ("Update affected more than
// 1 record." arrives as "Update affected more than 1 record"). EAbort passes
// unchanged (it is silent anyway).

#include "data/Params.h"
#include "data/engine/Variant.h"
#include "platform/Classes.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Options of AS_GetRecords.
enum : int {
    grMetaData = 1, // field descriptions with the rows (first packet of an open)
    grReset = 2,    // end the current reading: close what the provider opened
};

// The provider's settings (TProviderOption, TUpdateMode) belong to the
// dataset provider; the client dataset needs none of them.

class TCustomProvider : public TComponent {
public:
    explicit TCustomProvider(TComponent* owner = nullptr) : TComponent(owner) {}

    // A data packet of up to count rows (-1: all) from the current reading
    // on, starting one when none is open; recsOut is the number packed. With
    // grMetaData the packet carries the field descriptions and attributes
    // (every packet of this system does, so that the engine can load it).
    // With grReset (and count 0) the provider ends its reading and returns an
    // empty packet or none (the client ignores it). commandText, when not
    // empty, replaces the provider's statement. params carry named
    // parameters both ways; ownerData is the client's to pass through.
    virtual std::vector<uint8_t> GetRecords(int count, int& recsOut, int options,
                                            const std::string& commandText, TParams& params,
                                            Variant& ownerData) = 0;

    // Writes a delta (IDSBase::GetDelta) back; errorCount is the number of
    // refused changes; the result is the error packet, or none when no change
    // failed.
    virtual std::optional<std::vector<uint8_t>> ApplyUpdates(const std::vector<uint8_t>& delta,
                                                             int maxErrors, int& errorCount,
                                                             Variant& ownerData) = 0;
};

// The operations a client dataset calls, named as the framework's
// application-server interface. providerName selects the provider.
class IAppServer {
public:
    virtual ~IAppServer() = default;
    virtual std::vector<uint8_t> AS_GetRecords(const std::string& providerName, int count,
                                               int& recsOut, int options,
                                               const std::string& commandText, TParams& params,
                                               Variant& ownerData) = 0;
    virtual std::optional<std::vector<uint8_t>> AS_ApplyUpdates(const std::string& providerName,
                                                                const std::vector<uint8_t>& delta,
                                                                int maxErrors, int& errorCount,
                                                                Variant& ownerData) = 0;
};

// The in-process adapter over one provider (not owned).
class TLocalAppServer : public IAppServer {
public:
    explicit TLocalAppServer(TCustomProvider* provider) : FProvider(provider) {}
    TCustomProvider* Provider() const { return FProvider; }

    std::vector<uint8_t> AS_GetRecords(const std::string& providerName, int count, int& recsOut,
                                       int options, const std::string& commandText, TParams& params,
                                       Variant& ownerData) override;
    std::optional<std::vector<uint8_t>> AS_ApplyUpdates(const std::string& providerName,
                                                        const std::vector<uint8_t>& delta,
                                                        int maxErrors, int& errorCount,
                                                        Variant& ownerData) override;

private:
    TCustomProvider* FProvider;
};

// The message as the adapter passes it on: trailing blanks, control
// characters and periods removed.
std::string ProviderErrorText(const std::string& message);
