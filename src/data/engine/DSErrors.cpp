#include "data/engine/DSErrors.h"

#include <cstdio>

std::string DSStatusText(int status) {
    switch (status) {
    case DBERR_NONE:
        return "Success";
    case DBERR_BOF:
        return "At beginning of table";
    case DBERR_EOF:
        return "At end of table";
    case DBERR_NOCURRREC:
        return "No current record";
    case DBERR_RECNOTFOUND:
        return "Record not found";
    case DBERR_INVALIDPACKET:
        return "Invalid data packet";
    case DBERR_FIELDMISMATCH:
        return "Data packet does not match the fields of the dataset";
    case DBERR_READONLY:
        return "Dataset is read-only";
    case DBERR_NOTSUPPORTED:
        return "Operation not supported";
    case DBERR_INVALIDPARAM:
        return "Invalid parameter";
    // Error handlers recognise key violations by this leading word.
    case DBERR_KEYVIOL:
        return "key violation";
    case DBERR_DETAILRECORDSEXIST:
        return "Cannot delete master record with details";
    }
    char text[64];
    std::snprintf(text, sizeof text, "Unknown engine error 0x%04X", static_cast<unsigned>(status));
    return text;
}

void DSRaise(int status) {
    throw EDBClient(DSStatusText(status), status);
}

void DSRaise(int status, std::string message) {
    throw EDBClient(std::move(message), status);
}

void DSRaiseInvalidPacket() {
    DSRaise(DBERR_INVALIDPACKET);
}
