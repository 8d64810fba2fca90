#pragma once
// The settings a dataset provider is configured with: which rows its
// generated statements find (TUpdateMode) and what it allows (TProviderOption).

#include <cstdint>
#include <initializer_list>

enum TUpdateMode { upWhereAll, upWhereChanged, upWhereKeyOnly };

enum TProviderOption {
    poFetchBlobsOnDemand,
    poFetchDetailsOnDemand,
    poIncFieldProps,
    poCascadeDeletes,
    poCascadeUpdates,
    poReadOnly,
    poAllowMultiRecordUpdates,
    poDisableInserts,
    poDisableEdits,
    poDisableDeletes,
    poNoReset,
    poAutoRefresh,
    poPropogateChanges,
    poAllowCommandText,
    poRetainServerOrder,
};

// A set of provider options, as the framework's "set of TProviderOption".
class TProviderOptions {
public:
    constexpr TProviderOptions() = default;
    constexpr TProviderOptions(std::initializer_list<TProviderOption> options) {
        for (TProviderOption o : options)
            FBits |= bit(o);
    }
    constexpr bool Contains(TProviderOption o) const { return (FBits & bit(o)) != 0; }
    constexpr TProviderOptions& Include(TProviderOption o) {
        FBits |= bit(o);
        return *this;
    }
    constexpr TProviderOptions& Exclude(TProviderOption o) {
        FBits &= ~bit(o);
        return *this;
    }
    constexpr bool Empty() const { return FBits == 0; }
    friend constexpr bool operator==(TProviderOptions, TProviderOptions) = default;

private:
    static constexpr uint32_t bit(TProviderOption o) { return uint32_t{1} << static_cast<int>(o); }
    uint32_t FBits = 0;
};
