#pragma once
// TDataSetProvider: the provider of a client dataset over an SQL dataset.
//
// Reading: GetRecords packs the rows of its dataset, from the current row on,
// into data packets of Count rows (-1 all), with the field descriptions
// (provider flags, origin, required) and the attributes "LCID" (the
// connection's locale code) and "TABLE_NAME" (when the table is known). The
// dataset stays open between packets and is closed (when the provider opened
// it) as soon as a packet comes back short, on a reset and on any error.
//
// Writing: ApplyUpdates walks a delta and writes one generated SQL statement
// per change (TUpdateSQLGenerator) inside a transaction of its own when none
// is active, reporting every refused change through OnUpdateError. The
// result is the error packet, or none when every change is in the database.

#include "data/DBErrors.h"
#include "data/ProviderTypes.h"
#include "data/TCustomProvider.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TDataSet;
class TClientDataSet;
class TCustomSQLDataSet;

// The events, in the framework's shapes. DeltaDS/DataSet is a client dataset
// over the changes being written, one row per change (a modification shows
// the row as it will be written), positioned on the change concerned; values
// written into it before a change is (re)applied are written with it.
using TProviderRemoteEvent = std::function<void(TObject* Sender, Variant& OwnerData)>;
using TProviderDataEvent = std::function<void(TObject* Sender, TClientDataSet* DataSet)>;
using TBeforeUpdateRecordEvent =
    std::function<void(TObject* Sender, TDataSet* SourceDS, TClientDataSet* DeltaDS,
                       TUpdateKind UpdateKind, bool& Applied)>;
using TAfterUpdateRecordEvent = std::function<void(
    TObject* Sender, TDataSet* SourceDS, TClientDataSet* DeltaDS, TUpdateKind UpdateKind)>;
using TGetTableNameEvent =
    std::function<void(TObject* Sender, TDataSet* DataSet, std::string& TableName)>;
using TResolverErrorEvent =
    std::function<void(TObject* Sender, TClientDataSet* DataSet, EUpdateError& E,
                       TUpdateKind UpdateKind, TResolverResponse& Response)>;

class TDataSetProvider : public TCustomProvider {
public:
    explicit TDataSetProvider(TComponent* owner = nullptr);
    ~TDataSetProvider() override;

    TDataSet* DataSet() const { return FDataSet; }
    void SetDataSet(TDataSet* dataSet);
    TProviderOptions Options() const { return FOptions; }
    void SetOptions(TProviderOptions options) { FOptions = options; }
    TUpdateMode UpdateMode() const { return FUpdateMode; }
    void SetUpdateMode(TUpdateMode mode) { FUpdateMode = mode; }
    // Only generated SQL is supported: True makes ApplyUpdates refuse.
    bool ResolveToDataSet() const { return FResolveToDataSet; }
    void SetResolveToDataSet(bool value) { FResolveToDataSet = value; }
    bool Constraints() const { return FConstraints; }
    void SetConstraints(bool value) { FConstraints = value; }
    bool Exported() const { return FExported; }
    void SetExported(bool value) { FExported = value; }

    TProviderRemoteEvent BeforeApplyUpdates, AfterApplyUpdates;
    TProviderDataEvent OnUpdateData;
    TBeforeUpdateRecordEvent BeforeUpdateRecord;
    TAfterUpdateRecordEvent AfterUpdateRecord;
    TGetTableNameEvent OnGetTableName;
    TResolverErrorEvent OnUpdateError;

    std::vector<uint8_t> GetRecords(int count, int& recsOut, int options,
                                    const std::string& commandText, TParams& params,
                                    Variant& ownerData) override;
    std::optional<std::vector<uint8_t>> ApplyUpdates(const std::vector<uint8_t>& delta,
                                                     int maxErrors, int& errorCount,
                                                     Variant& ownerData) override;
    // Ends the current reading: closes the dataset when the provider opened it.
    void Reset();

    void Notification(TComponent* component, bool removing) override;

private:
    class TApplyWalk;

    TDataSet& checkDataSet() const;
    TCustomSQLDataSet& checkSQLDataSet() const;
    std::vector<DSFieldDesc> packetFields() const;
    std::vector<DSAttribute> packetAttributes() const;

    TDataSet* FDataSet = nullptr;
    TProviderOptions FOptions;
    TUpdateMode FUpdateMode = upWhereAll;
    bool FResolveToDataSet = false;
    bool FConstraints = true;
    bool FExported = true;
    bool FDataSetOpened = false; // the provider opened FDataSet for reading
};
