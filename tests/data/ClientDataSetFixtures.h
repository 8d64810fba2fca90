#pragma once
// Shared by the field, dataset and client dataset tests: packets built with
// the engine's writer, and a small provider that serves them in packets the
// way a dataset provider does (a real provider of the test: real packets
// through the real engine), recording every request.

#include "data/DBErrors.h"
#include "data/TClientDataSet.h"
#include "data/TCustomProvider.h"
#include "data/TDataLink.h"
#include "data/TDataSource.h"
#include "data/TField.h"
#include "platform/DateUtils.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace fixtures {

// One row: values in field order (Null{} for null).
using Row = std::vector<Variant>;

std::vector<uint8_t> MakePacket(const std::vector<DSFieldDesc>& fields,
                                const std::vector<Row>& rows,
                                const std::vector<DSAttribute>& attributes = {});

// ID Int32 (required), NAME String(20), AMOUNT Bcd(15,4).
std::vector<DSFieldDesc> SimpleFields();
// Rows ID 1..n, NAME "row<i>", AMOUNT i + 0.5.
std::vector<Row> SimpleRows(int n);

// AJCI_ID Int32, AJCI_FECINI Date, AJCI_FECFIN Date, AJCI_PORC Bcd(15,4),
// AJCI_FACTOR Bcd(15,4), as the closing-adjustment table.
std::vector<DSFieldDesc> AdjustmentFields();
Row AdjustmentRow(int id, TDateTime from, TDateTime to, int64_t porcUnits, int64_t factorUnits);

struct GetRecordsCall {
    int Count;
    int Options;
    std::string CommandText;
    int RecsOut;
};

class TPacketProvider : public TCustomProvider {
public:
    TPacketProvider(TComponent* owner, std::string name, std::vector<DSFieldDesc> fields,
                    std::vector<Row> rows, std::vector<DSAttribute> attributes = {});

    std::vector<uint8_t> GetRecords(int count, int& recsOut, int options,
                                    const std::string& commandText, TParams& params,
                                    Variant& ownerData) override;
    std::optional<std::vector<uint8_t>> ApplyUpdates(const std::vector<uint8_t>& delta,
                                                     int maxErrors, int& errorCount,
                                                     Variant& ownerData) override;

    std::vector<Row> Rows;
    std::vector<GetRecordsCall> Calls;
    // True between the first packet of a reading and its end or reset.
    bool Reading = false;
    // Set to make the next GetRecords raise this message.
    std::string FailWith;

    // Apply: what was received, and what to answer. With ApplyResult unset
    // every change is accepted (null result).
    std::vector<std::vector<uint8_t>> Deltas;
    std::vector<int> MaxErrorsSeen;
    // Given the parsed delta, fills the error packet (none: accept all).
    std::function<void(const TDSPacketReader&, TDSErrorPacketBuilder&, int& errorCount)> OnApply;
    std::string ApplyFailWith;

private:
    std::vector<DSFieldDesc> FFields;
    std::vector<DSAttribute> FAttributes;
    size_t FNext = 0;
};

// A data link that records every notification as text.
class TRecordingLink : public TDataLink {
public:
    std::vector<std::string> Events;
    std::vector<std::string> Take() {
        std::vector<std::string> e;
        e.swap(Events);
        return e;
    }

protected:
    void ActiveChanged() override { Events.push_back(Active() ? "active" : "inactive"); }
    void DataSetChanged() override { Events.push_back("changed"); }
    void DataSetScrolled(int distance) override {
        Events.push_back("scrolled " + std::to_string(distance));
    }
    void RecordChanged(TField* field) override;
    void EditingChanged() override { Events.push_back(Editing() ? "editing" : "browsing"); }
    void LayoutChanged() override { Events.push_back("layout"); }
    void UpdateData() override { Events.push_back("update"); }
    void CheckBrowseMode() override { Events.push_back("check"); }
};

// Puts the C/POSIX settings in place for a test and restores the previous.
class TSettingsGuard {
public:
    TSettingsGuard() : FSaved(FormatSettings) { FormatSettings = DefaultFormatSettings(); }
    ~TSettingsGuard() { FormatSettings = FSaved; }

private:
    TFormatSettings FSaved;
};

} // namespace fixtures
