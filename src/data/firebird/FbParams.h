#pragma once
// The input parameters of a prepared statement: what the server described
// for each, the value bound to it, and the XSQLDA that carries them.
// Values keep their own type (an exact decimal goes as a scaled 64-bit
// integer, a date as a date) and the server converts to the column's.

#include "data/DriverIntf.h"
#include "data/firebird/FbAttachment.h"
#include "data/firebird/FbSqlda.h"

#include <string>
#include <vector>

namespace fb {

class FbParams {
public:
    FbSqlda& sqlda() { return FSqlda; }
    // Takes the described parameters; every one starts unset.
    void described();
    int count() const { return static_cast<int>(FSlots.size()); }
    // DBXERR_NONE, or a framework status with the reason in error.
    SQLResult set(int index, const TDBXValue& value, std::string& error);
    bool allSet() const;
    // Writes the blob parameters in the transaction the statement runs in.
    bool writeBlobs(FbTransaction& transaction, FbStatus& status);

private:
    struct Slot {
        short DescribedType = 0;
        short DescribedSubType = 0;
        short DescribedScale = 0;
        bool Set = false;
        bool PendingBlob = false;
        short Indicator = -1;
        alignas(8) unsigned char Fixed[16] = {};
        std::string Bytes;
    };
    FbSqlda FSqlda;
    std::vector<Slot> FSlots;
};

} // namespace fb
