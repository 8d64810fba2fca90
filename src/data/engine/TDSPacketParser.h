#pragma once
// Reads a packet's bytes (see DSPacketFormat.h) with every length checked
// against what is left, so that no malformed packet is read beyond its end.
// Any fault raises EDBClient "Invalid data packet".
//
// The constructor reads the header, the field descriptions and the
// attributes; the rows are then read one by one with ReadRow, and Finish
// refuses bytes after the last one. The bytes must outlive the parser.

#include "data/engine/DSIntf.h"

#include <cstdint>
#include <vector>

class TDSPacketParser {
public:
    TDSPacketParser(const uint8_t* data, size_t size);

    const std::vector<DSFieldDesc>& Fields() const { return FFields; }
    std::vector<DSAttribute>& Attributes() { return FAttributes; }
    uint32_t RowCount() const { return FRowCount; }
    // The bytes of a record's data area, the part after its status bytes.
    size_t DataSize() const { return FDataSize; }

    // Reads the next row: one status byte per field into statuses, the values
    // into data as a record's data area holds them (bytes of null and
    // unassigned fields, and the unused tail of strings, zeroed).
    DSRowStatus ReadRow(uint8_t* statuses, uint8_t* data);
    // After the last row: refuses anything left over.
    void Finish() const;

private:
    struct Column {
        DSType Type;
        uint16_t Size;
        uint32_t Offset; // in the data area
        uint32_t Bytes;
        bool Checked; // whether some bit patterns are no valid value
        const DSFieldDesc* Desc;
    };

    // The next n bytes, or a refusal when fewer are left.
    const uint8_t* need(size_t n) {
        if (FSize - FPos < n) truncated();
        const uint8_t* p = FData + FPos;
        FPos += n;
        return p;
    }
    [[noreturn]] static void truncated();
    uint8_t byte() { return *need(1); }
    std::string text(size_t length);
    void readField();
    void readAttribute();
    Variant readAttributeValue();

    const uint8_t* FData;
    size_t FSize;
    size_t FPos = 0;
    uint32_t FRowCount = 0;
    uint32_t FRowsRead = 0;
    size_t FDataSize = 0;
    std::vector<DSFieldDesc> FFields;
    std::vector<DSAttribute> FAttributes;
    std::vector<Column> FColumns;
};
