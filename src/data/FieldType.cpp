#include "data/FieldType.h"

#include "data/engine/DSIntf.h"

const char* FieldTypeName(TFieldType type) {
    static const char* const names[] = {
        "Unknown", "String", "SmallInt", "Integer", "Word", "Boolean", "Float", "Currency", "BCD",
        "Date", "Time", "DateTime", "Bytes", "VarBytes", "AutoInc", "Blob", "Memo", "Graphic",
        "FmtMemo", "ParadoxOle", "dBaseOle", "TypedBinary", "Cursor", "FixedChar", "WideString",
        "Largeint", "ADT", "Array", "Reference", "DataSet", "OraBlob", "OraClob", "Variant",
        "Interface", "IDispatch", "Guid", "TimeStamp", "FMTBcd"};
    int i = static_cast<int>(type);
    if (i < 0 || i >= static_cast<int>(sizeof names / sizeof names[0])) return "Unknown";
    return names[i];
}

TFieldType FieldTypeOfDSType(DSType type) {
    switch (type) {
    case DSType::Int16:
        return ftSmallint;
    case DSType::Int32:
        return ftInteger;
    case DSType::Int64:
        return ftLargeint;
    case DSType::Boolean:
        return ftBoolean;
    case DSType::Double:
        return ftFloat;
    case DSType::Currency:
        return ftCurrency;
    case DSType::Bcd:
        return ftFMTBcd;
    case DSType::Date:
        return ftDate;
    case DSType::Time:
        return ftTime;
    case DSType::DateTime:
        return ftDateTime;
    case DSType::String:
        return ftString;
    }
    return ftUnknown;
}

TFieldFamily FieldFamily(TFieldType type) {
    switch (type) {
    case ftString: case ftFixedChar: case ftWideString: case ftGuid:
        return TFieldFamily::Text;
    case ftSmallint: case ftInteger: case ftWord: case ftAutoInc: case ftLargeint:
        return TFieldFamily::Integer;
    case ftFloat: case ftCurrency:
        return TFieldFamily::Float;
    case ftBCD: case ftFMTBcd:
        return TFieldFamily::Exact;
    case ftDate: case ftTime: case ftDateTime: case ftTimeStamp:
        return TFieldFamily::DateTime;
    case ftBoolean:
        return TFieldFamily::Boolean;
    case ftBlob: case ftMemo: case ftGraphic: case ftFmtMemo: case ftTypedBinary: case ftOraBlob:
    case ftOraClob: case ftBytes: case ftVarBytes:
        return TFieldFamily::Blob;
    default:
        return TFieldFamily::Other;
    }
}
