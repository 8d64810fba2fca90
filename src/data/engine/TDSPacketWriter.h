#pragma once
// Builds packets (see DSPacketFormat.h). Records are checked as they are
// added, so that a writer never produces a packet that a reader refuses.

#include "data/engine/DSIntf.h"

#include <cstdint>
#include <vector>

class TDSPacketWriter : public IDSWriter {
public:
    void Init(const std::vector<DSFieldDesc>& fields,
              const std::vector<DSAttribute>& attributes) override;
    const TDSRecordLayout& Layout() const override { return FLayout; }
    void AddRecord(const uint8_t* record, DSRowStatus status = dsRecUnmodified) override;
    int RecordCount() const override { return static_cast<int>(FRowCount); }
    std::vector<uint8_t> GetDataPacket() const override;

private:
    TDSRecordLayout FLayout;
    std::vector<DSAttribute> FAttributes;
    std::vector<uint8_t> FRows;
    uint32_t FRowCount = 0;
    bool FInitialized = false;
};
