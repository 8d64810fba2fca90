#pragma once
// Field data types, in the framework's order, and their names as messages
// show them ("Type mismatch for field '%s', expecting: %s actual: %s").

#include <cstdint>
#include <string>

enum TFieldType : int {
    ftUnknown, ftString, ftSmallint, ftInteger, ftWord, ftBoolean, ftFloat, ftCurrency, ftBCD,
    ftDate, ftTime, ftDateTime, ftBytes, ftVarBytes, ftAutoInc, ftBlob, ftMemo, ftGraphic,
    ftFmtMemo, ftParadoxOle, ftDBaseOle, ftTypedBinary, ftCursor, ftFixedChar, ftWideString,
    ftLargeint, ftADT, ftArray, ftReference, ftDataSet, ftOraBlob, ftOraClob, ftVariant,
    ftInterface, ftIDispatch, ftGuid, ftTimeStamp, ftFMTBcd,
};

const char* FieldTypeName(TFieldType type);

enum class DSType : uint8_t;
// The type that fits a value of an engine type: a field made from a packet
// column takes it, and so does a parameter bound from that column.
TFieldType FieldTypeOfDSType(DSType type);

// The families a persistent field may bind to: a field of one family accepts a
// packet column of any type of the same family.
enum class TFieldFamily { Other, Text, Integer, Float, Exact, DateTime, Boolean, Blob };
TFieldFamily FieldFamily(TFieldType type);
