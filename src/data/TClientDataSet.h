#pragma once
// TClientDataSet: a dataset whose rows live in the in-memory engine
// (engine/DSIntf.h), fed in packets by a provider found by ProviderName among
// the components of its owner, and whose changes stay in the engine's change
// log until ApplyUpdates sends them back.
//
// Open asks the provider for PacketRecords rows with the field descriptions;
// the end of the data is reached when a packet brings a number of rows other
// than PacketRecords. With FetchOnDemand, moving past the last row held asks
// for the next packet; Last, Locate and switching a filter on (also at an
// open with Filtered) fetch all the rest at once. Close asks the provider to
// reset and drops the rows and the change log.

#include "data/TCustomProvider.h"
#include "data/TDataSet.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class TClientDataSet;
using TReconcileErrorEvent = std::function<void(TClientDataSet* DataSet, EReconcileError& E,
                                                TUpdateKind UpdateKind, TReconcileAction& Action)>;
using TRemoteEvent = std::function<void(TClientDataSet* Sender, Variant& OwnerData)>;

class TClientDataSet : public TDataSet {
public:
    explicit TClientDataSet(TComponent* owner = nullptr);
    ~TClientDataSet() override;

    // --- where the rows come from -----------------------------------------------
    const std::string& ProviderName() const { return FProviderName; }
    void SetProviderName(std::string name);
    // Setting the text it has does nothing; otherwise the named parameters of
    // the new text become Params (values of parameters kept by name).
    const std::string& CommandText() const { return FCommandText; }
    void SetCommandText(std::string text);
    TParams& Params() { return FParams; }
    const TParams& Params() const { return FParams; }
    // Rows per packet; -1 all rows in one packet.
    int PacketRecords() const { return FPacketRecords; }
    void SetPacketRecords(int value) { FPacketRecords = value; }
    bool FetchOnDemand() const { return FFetchOnDemand; }
    void SetFetchOnDemand(bool value) { FFetchOnDemand = value; }
    // Asks the provider for the next packet; returns the rows it brought
    // (0 when the end was already reached).
    int GetNextPacket();
    // Every row has come from the provider.
    bool AllFetched() const;

    // Opens the dataset on a packet instead of a provider (closing it
    // first); the data has no provider to apply to.
    void SetData(const std::vector<uint8_t>& packet);

    // --- view ------------------------------------------------------------------
    const std::string& Filter() const { return FFilter; }
    void SetFilter(std::string text);
    bool Filtered() const { return FFiltered; }
    void SetFiltered(bool value);
    // Without regard to case / "*" at the end of a text constant as a prefix.
    TLocateOptions FilterOptions() const { return FFilterOptions; }
    void SetFilterOptions(TLocateOptions options);

    bool Locate(const std::string& keyFields, const std::vector<Variant>& keyValues,
                TLocateOptions options = 0) override;
    using TDataSet::Locate;
    // The expression Locate compiles: "[%s]=%s" per key field joined by
    // " and ", "[%s] IS NULL" for a null value; strings quoted, numbers with
    // the user's decimal separator, dates and times quoted; another field type
    // raises "Field '%s' is of an unsupported type".
    std::string LocateExpression(const std::string& keyFields,
                                 const std::vector<Variant>& keyValues,
                                 TLocateOptions options = 0) const;

    int RecNo() const override;
    void SetRecNo(int value) override;
    int RecordCount() const override;
    bool BookmarkValid(const TBookmark& bookmark) const override;

    // --- changes ---------------------------------------------------------------
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool value);
    // Changes in the change log.
    int ChangeCount() const;
    // Finishes a pending change; with an empty change log returns 0 without
    // calling the provider; otherwise sends the delta and reconciles the
    // change log with the answer. Returns the provider's error count.
    int ApplyUpdates(int maxErrors);
    // Drops every change of the change log, restoring the rows as loaded.
    void CancelUpdates();

    // Called per error row while ApplyUpdates reconciles; DataSet is this
    // dataset (its current row is not moved to the refused change), Action
    // comes in as raSkip when the provider's response was rrSkip, else raAbort.
    TReconcileErrorEvent OnReconcileError;
    TRemoteEvent BeforeApplyUpdates, AfterApplyUpdates;
    TRemoteEvent BeforeGetRecords, AfterGetRecords;

    void Notification(TComponent* component, bool removing) override;

protected:
    void InternalOpen() override;
    void InternalClose() override;
    TGetResult GetRecord(TRecordBuffer& buffer, TGetMode mode) override;
    void InternalFirst() override;
    void InternalLast() override;
    void InternalSetToRecord(const TRecordBuffer& buffer) override;
    void InternalGotoBookmark(uint64_t bookmark) override;
    void InternalInsert() override;
    void InternalEdit() override;
    void InternalPost() override;
    void InternalDelete() override;
    bool GetCanModify() const override;

private:
    IAppServer& appServer();
    std::vector<uint8_t> fetchPacket(int count, int options, int& recsOut);
    void fetchMore(int count);
    void fetchAll();
    void applyFilter();
    void dropFilter();
    bool packetFlag(const char* name) const;
    void reconcile(const std::vector<uint8_t>& errorPacket);
    void resyncAfterRowsChanged();

    std::string FProviderName;
    std::string FCommandText;
    TParams FParams;
    int FPacketRecords = -1;
    bool FFetchOnDemand = true;
    bool FReadOnly = false;
    std::string FFilter;
    bool FFiltered = false;
    TLocateOptions FFilterOptions = 0;

    TCustomProvider* FProvider = nullptr;
    std::unique_ptr<TLocalAppServer> FAppServer;
    std::optional<std::vector<uint8_t>> FDataPacket; // SetData's packet
    std::unique_ptr<IDSBase> FBase;
    std::unique_ptr<IDSCursor> FCursor;
    int FFilterHandle = -1;
};
