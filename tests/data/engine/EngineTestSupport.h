#pragma once
// Shared by the engine tests: the closing-adjustment table's fields, records
// built from values, packets built from rows, and reading a view back.

#include "data/engine/DSIntf.h"
#include "platform/DateUtils.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace enginetest {

inline DSFieldDesc Field(std::string name, DSType type, uint16_t size = 0, int8_t scale = 0) {
    DSFieldDesc f;
    f.Name = std::move(name);
    f.Type = type;
    f.Size = size;
    f.Scale = scale;
    return f;
}

// AJUSTE_CIERRE: AJCI_ID, AJCI_FECINI, AJCI_FECFIN, AJCI_PORC, AJCI_FACTOR.
inline std::vector<DSFieldDesc> AjusteFields() {
    return {Field("AJCI_ID", DSType::Int32), Field("AJCI_FECINI", DSType::Date),
            Field("AJCI_FECFIN", DSType::Date), Field("AJCI_PORC", DSType::Bcd, 15, 4),
            Field("AJCI_FACTOR", DSType::Bcd, 15, 4)};
}

// The start dates and the end of the period the adjustment rows use.
inline const TDateTime kMarch = EncodeDate(2016, 3, 1);
inline const TDateTime kFeb = EncodeDate(2016, 2, 1);
inline const TDateTime kEnd = EncodeDate(2016, 3, 31);

// Day first with "/", a decimal comma: the settings the editor's filters
// are written under.
inline TFormatSettings SpanishSettings() {
    TFormatSettings s = DefaultFormatSettings();
    s.ShortDateFormat = "dd/mm/yyyy";
    s.DateSeparator = '/';
    s.DecimalSeparator = ',';
    s.TimeSeparator = ':';
    return s;
}

inline TBcd Dec(int64_t unitsOf10000) {
    return TBcd{unitsOf10000, 4};
}

struct AjusteRow {
    int32_t Id;
    TDateTime From;
    std::optional<TDateTime> To;
    int64_t Porc;   // 1/10000
    int64_t Factor; // 1/10000
};

// A record of layout with the values given, one per field (Unassigned keeps
// the field unassigned).
inline std::vector<uint8_t> MakeRecord(const TDSRecordLayout& layout,
                                       const std::vector<Variant>& values) {
    std::vector<uint8_t> r(layout.RecordSize());
    layout.InitRecord(r.data());
    for (size_t i = 0; i < values.size(); ++i)
        layout.PutField(r.data(), static_cast<int>(i), values[i]);
    return r;
}

inline std::vector<Variant> AjusteValues(const AjusteRow& row) {
    return {Variant(row.Id), Variant(row.From), row.To ? Variant(*row.To) : Variant(Null{}),
            Variant(Dec(row.Porc)), Variant(Dec(row.Factor))};
}

inline std::vector<uint8_t> MakePacket(const std::vector<DSFieldDesc>& fields,
                                       const std::vector<std::vector<Variant>>& rows,
                                       const std::vector<DSAttribute>& attributes = {}) {
    auto writer = CreateDSWriter();
    writer->Init(fields, attributes);
    for (const auto& values : rows)
        writer->AddRecord(MakeRecord(writer->Layout(), values).data());
    return writer->GetDataPacket();
}

inline std::vector<uint8_t> AjustePacket(const std::vector<AjusteRow>& rows) {
    std::vector<std::vector<Variant>> values;
    for (const AjusteRow& r : rows)
        values.push_back(AjusteValues(r));
    return MakePacket(AjusteFields(), values,
                      {{"TABLE_NAME", Variant("AJUSTE_CIERRE")}, {"LCID", Variant(int32_t{3082})}});
}

// The values of one field over the whole view, from its first row.
inline std::vector<Variant> Column(IDSCursor& cursor, int field) {
    std::vector<Variant> out;
    std::vector<uint8_t> record(cursor.Layout().RecordSize());
    cursor.MoveToBOF();
    while (cursor.MoveRelative(1) == DBERR_NONE) {
        EXPECT_EQ(cursor.GetCurrentRecord(record.data()), DBERR_NONE);
        out.push_back(cursor.Layout().GetField(record.data(), field));
    }
    return out;
}

inline std::vector<int32_t> Ids(IDSCursor& cursor, int field = 0) {
    std::vector<int32_t> out;
    for (const Variant& v : Column(cursor, field))
        out.push_back(v.IsNull() ? -1 : v.Get<int32_t>());
    return out;
}

inline Variant Current(const IDSCursor& cursor, int field) {
    std::vector<uint8_t> record(cursor.Layout().RecordSize());
    if (cursor.GetCurrentRecord(record.data()) != DBERR_NONE) return Variant();
    return cursor.Layout().GetField(record.data(), field);
}

// A copy of the current record with some fields changed.
inline std::vector<uint8_t> Changed(const IDSCursor& cursor,
                                    const std::vector<std::pair<int, Variant>>& changes) {
    std::vector<uint8_t> record(cursor.Layout().RecordSize());
    EXPECT_EQ(cursor.GetCurrentRecord(record.data()), DBERR_NONE);
    for (const auto& [field, value] : changes)
        cursor.Layout().PutField(record.data(), field, value);
    return record;
}

// A base loaded with adjustment rows and a cursor on it, before its first
// row.
class AjusteViewTest : public testing::Test {
public:
    void Load(const std::vector<AjusteRow>& rows) {
        base->AppendData(AjustePacket(rows), true);
        cursor = base->CreateCursor();
    }

    std::unique_ptr<IDSBase> base = CreateDSBase();
    std::unique_ptr<IDSCursor> cursor;
};

// Runs f and returns the EDBClient's code, or 0 when nothing was raised.
template <class F> int EngineErrorOf(F f, std::string* message = nullptr) {
    try {
        f();
    } catch (const EDBClient& e) {
        if (message) *message = e.Message;
        return e.ErrorCode;
    }
    return 0;
}

} // namespace enginetest
