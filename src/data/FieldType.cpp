#include "data/FieldType.h"

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
