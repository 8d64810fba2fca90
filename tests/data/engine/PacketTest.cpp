// Packets: what the writer builds the reader gives back, field by field, and
// anything malformed is refused as "Invalid data packet" without reading
// beyond the bytes given.

#include "EngineTestSupport.h"

#include <algorithm>
#include <cstring>
#include <functional>

using namespace enginetest;

namespace {

std::vector<DSFieldDesc> everyType() {
    std::vector<DSFieldDesc> f = {
        Field("I16", DSType::Int16),      Field("I32", DSType::Int32),
        Field("I64", DSType::Int64),      Field("B", DSType::Boolean),
        Field("D", DSType::Double),       Field("CUR", DSType::Currency),
        Field("BCD", DSType::Bcd, 15, 4), Field("DT", DSType::Date),
        Field("TM", DSType::Time),        Field("DTT", DSType::DateTime),
        Field("S", DSType::String, 8),
    };
    f[1].Attributes = fldAttrRequired;
    f[2].ProviderFlags = pfInUpdate | pfInWhere | pfInKey;
    f[10].Origin = "NOMBRE";
    f[5].Attributes = fldAttrReadOnly | fldAttrServerCalc;
    return f;
}

TEST(PacketTest, RoundTripsEveryTypeWithNullsUnassignedAndEdgeValues) {
    const TDateTime before1900 = EncodeDate(1850, 6, 15);
    const TDateTime negativeWithTime(before1900.Val() - 0.25); // 15/06/1850 06:00
    const std::vector<std::vector<Variant>> rows = {
        {int32_t{-32768}, int32_t{INT32_MIN}, int64_t{INT64_MIN}, true, -1.5e300,
         Currency{-922337203685477LL}, TBcd{-999999999999999LL, 4}, before1900, TDateTime(0.5),
         negativeWithTime, std::string("ñandú")},
        {int32_t{32767}, int32_t{INT32_MAX}, int64_t{INT64_MAX}, false, 0.1, Currency{8000},
         TBcd{190000, 4}, EncodeDate(9999, 12, 31), EncodeTime(23, 59, 59, 999),
         TDateTime(42000.75), std::string("abcdefgh")},
        {Null{}, Null{}, Null{}, Null{}, Null{}, Null{}, Null{}, Null{}, Null{}, Null{}, Null{}},
        {Unassigned{}, Unassigned{}, Unassigned{}, Unassigned{}, Unassigned{}, Unassigned{},
         Unassigned{}, Unassigned{}, Unassigned{}, Unassigned{}, std::string()},
    };
    const std::vector<DSAttribute> attributes = {
        {"LCID", Variant(int32_t{3082})},  {"TABLE_NAME", Variant("AJUSTE_CIERRE")},
        {"DISABLE_EDITS", Variant(false)}, {"BIG", Variant(int64_t{1} << 40)},
        {"RATE", Variant(0.25)},           {"MONEY", Variant(Currency{12345})},
        {"EXACT", Variant(TBcd{-5, 1})},   {"WHEN", Variant(TDateTime(40000.5))},
        {"NOTHING", Variant(Null{})},      {"EMPTY", Variant()},
    };
    const DSRowStatus statuses[] = {dsRecInserted, dsRecUnmodified, dsRecDeleted, dsRecModified};

    auto writer = CreateDSWriter();
    writer->Init(everyType(), attributes);
    for (size_t i = 0; i < rows.size(); ++i)
        writer->AddRecord(MakeRecord(writer->Layout(), rows[i]).data(), statuses[i]);
    const std::vector<uint8_t> packet = writer->GetDataPacket();
    ASSERT_GT(packet.size(), 21u);

    TDSPacketReader reader(packet);
    ASSERT_EQ(reader.RowCount(), 4);
    const std::vector<DSFieldDesc>& fields = reader.Layout().Fields();
    ASSERT_EQ(fields.size(), everyType().size());
    for (size_t i = 0; i < fields.size(); ++i) {
        SCOPED_TRACE(fields[i].Name);
        EXPECT_EQ(fields[i].Name, everyType()[i].Name);
        EXPECT_EQ(fields[i].Type, everyType()[i].Type);
        EXPECT_EQ(fields[i].Size, everyType()[i].Size);
        EXPECT_EQ(fields[i].Scale, everyType()[i].Scale);
        EXPECT_EQ(fields[i].Attributes, everyType()[i].Attributes);
        EXPECT_EQ(fields[i].ProviderFlags, everyType()[i].ProviderFlags);
        EXPECT_EQ(fields[i].Origin, everyType()[i].Origin);
    }
    for (int r = 0; r < 4; ++r) {
        EXPECT_EQ(reader.RowStatus(r), statuses[r]);
        for (int f = 0; f < reader.Layout().FieldCount(); ++f) {
            SCOPED_TRACE(testing::Message() << "row " << r << " field " << fields[f].Name);
            Variant got = reader.Layout().GetField(reader.Record(r), f);
            Variant want = rows[r][f];
            if (fields[f].Type == DSType::Int16 && want.GetIf<int32_t>())
                want = Variant(want.Get<int32_t>());
            if (fields[f].Type == DSType::Time && want.GetIf<TDateTime>()) {
                // Kept to the millisecond.
                ASSERT_TRUE(got.GetIf<TDateTime>());
                EXPECT_NEAR(got.Get<TDateTime>().Val(), want.Get<TDateTime>().Val(), 1e-9);
                continue;
            }
            EXPECT_TRUE(got == want);
        }
    }
    ASSERT_EQ(reader.Attributes().size(), attributes.size());
    for (size_t i = 0; i < attributes.size(); ++i) {
        EXPECT_EQ(reader.Attributes()[i].Name, attributes[i].Name);
        EXPECT_TRUE(reader.Attributes()[i].Value == attributes[i].Value) << attributes[i].Name;
    }
    ASSERT_NE(reader.Attribute("lcid"), nullptr);
    EXPECT_EQ(reader.Attribute("lcid")->Get<int32_t>(), 3082);
    EXPECT_EQ(reader.Attribute("missing"), nullptr);
}

TEST(PacketTest, AnEmptyPacketStillCarriesItsFields) {
    std::vector<uint8_t> packet = MakePacket(AjusteFields(), {});
    EXPECT_GT(packet.size(), 21u);
    TDSPacketReader reader(packet);
    EXPECT_EQ(reader.RowCount(), 0);
    EXPECT_EQ(reader.Layout().FieldCount(), 5);
}

// A text blob or a long string of a company table comes as a string field
// as wide as the length word counts: its packet loads and every byte of a
// full value comes back; one byte more is refused, never cut.
TEST(PacketTest, AStringFieldAsWideAsItsLengthWordHoldsAFullValue) {
    const std::vector<DSFieldDesc> fields{Field("ID", DSType::Int32),
                                          Field("TEXTO", DSType::String, 65535)};
    const std::string full(65535, 'x');
    std::vector<uint8_t> packet = MakePacket(fields, {{Variant(int32_t{1}), Variant(full)}});
    auto base = CreateDSBase();
    base->AppendData(packet, true);
    auto cursor = base->CreateCursor();
    const std::vector<Variant> texts = Column(*cursor, 1);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_TRUE(texts[0] == Variant(full));

    TDSRecordLayout layout(fields);
    std::vector<uint8_t> record(layout.RecordSize());
    layout.InitRecord(record.data());
    EXPECT_EQ(EngineErrorOf([&] { layout.PutField(record.data(), 1, Variant(full + "x")); }),
              DBERR_INVALIDPARAM);
}

TEST(PacketTest, WriterRefusesWhatItCouldNotWriteBack) {
    auto writer = CreateDSWriter();
    EXPECT_EQ(EngineErrorOf([&] { writer->Init({}, {}); }), DBERR_INVALIDPARAM);
    EXPECT_EQ(EngineErrorOf([&] { writer->Init({Field("S", DSType::String, 0)}, {}); }),
              DBERR_INVALIDPARAM);
    EXPECT_EQ(EngineErrorOf([&] { writer->Init({Field("N", DSType::Bcd, 19, 2)}, {}); }),
              DBERR_INVALIDPARAM);
    EXPECT_EQ(EngineErrorOf([&] { writer->Init({Field("N", DSType::Bcd, 4, 5)}, {}); }),
              DBERR_INVALIDPARAM);
    EXPECT_EQ(EngineErrorOf([&] { writer->Init({Field("", DSType::Int32)}, {}); }),
              DBERR_INVALIDPARAM);

    writer->Init({Field("S", DSType::String, 3), Field("B", DSType::Boolean)}, {});
    std::vector<uint8_t> record(writer->Layout().RecordSize());
    writer->Layout().InitRecord(record.data());
    const size_t s = writer->Layout().FieldOffset(0);
    record[0] = 0;
    uint16_t tooLong = 4;
    std::memcpy(record.data() + s, &tooLong, 2);
    EXPECT_EQ(EngineErrorOf([&] { writer->AddRecord(record.data()); }), DBERR_INVALIDPARAM);
    writer->Layout().InitRecord(record.data());
    record[1] = 0;
    record[writer->Layout().FieldOffset(1)] = 2; // a boolean is 0 or 1
    EXPECT_EQ(EngineErrorOf([&] { writer->AddRecord(record.data()); }), DBERR_INVALIDPARAM);
    writer->Layout().InitRecord(record.data());
    record[0] = 7; // no such field status
    EXPECT_EQ(EngineErrorOf([&] { writer->AddRecord(record.data()); }), DBERR_INVALIDPARAM);
    EXPECT_EQ(writer->RecordCount(), 0);
    EXPECT_NO_THROW(TDSPacketReader{writer->GetDataPacket()});
}

// A packet of two fields, ID Int32 and NAME String(5), and two rows, whose
// bytes the cases below corrupt at known places:
//   0 header (24)  24 field ID (10)  34 field NAME (12)  46 rows:
//   46 row status, 47 ID status, 48 ID, 52 NAME status, 53 length, 55 "abc"
//   58 second row.
std::vector<uint8_t> smallPacket() {
    return MakePacket({Field("ID", DSType::Int32), Field("NAME", DSType::String, 5)},
                      {{int32_t{7}, std::string("abc")}, {int32_t{8}, Null{}}});
}

void put32(std::vector<uint8_t>& p, size_t at, uint32_t v) {
    std::memcpy(p.data() + at, &v, 4);
}
void put16(std::vector<uint8_t>& p, size_t at, uint16_t v) {
    std::memcpy(p.data() + at, &v, 2);
}
void fixLength(std::vector<uint8_t>& p) {
    put32(p, 20, static_cast<uint32_t>(p.size()));
}

struct Malformed {
    const char* Name;
    std::function<void(std::vector<uint8_t>&)> Corrupt;
    friend void PrintTo(const Malformed& m, std::ostream* os) { *os << m.Name; }
};

const Malformed kMalformed[] = {
    {"empty", [](auto& p) { p.clear(); }},
    {"21 bytes of a valid packet", [](auto& p) { p.resize(21); }},
    {"21 zero bytes", [](auto& p) { p.assign(21, 0); }},
    {"short header", [](auto& p) { p.resize(23); }},
    {"header only",
     [](auto& p) {
         p.resize(24);
         fixLength(p);
     }},
    {"bad magic", [](auto& p) { p[0] = 'X'; }},
    {"unknown version", [](auto& p) { put16(p, 4, 2); }},
    {"unknown flags", [](auto& p) { put16(p, 6, 1); }},
    {"length word differs from size", [](auto& p) { put32(p, 20, 1000); }},
    {"no fields", [](auto& p) { put32(p, 8, 0); }},
    {"more fields than written", [](auto& p) { put32(p, 8, 3); }},
    {"huge field count", [](auto& p) { put32(p, 8, 0xFFFFFFFF); }},
    {"attributes that are not there", [](auto& p) { put32(p, 12, 5); }},
    {"more rows than written", [](auto& p) { put32(p, 16, 3); }},
    {"huge row count", [](auto& p) { put32(p, 16, 0xFFFFFFFF); }},
    {"fewer rows than written (trailing bytes)", [](auto& p) { put32(p, 16, 1); }},
    {"trailing garbage",
     [](auto& p) {
         p.push_back(0);
         fixLength(p);
     }},
    {"empty field name", [](auto& p) { p[24] = 0; }},
    {"field name longer than the packet", [](auto& p) { p[24] = 255; }},
    {"bad type code", [](auto& p) { p[27] = 11; }},
    {"type code 255", [](auto& p) { p[27] = 255; }},
    {"string field of size 0", [](auto& p) { put16(p, 40, 0); }},
    {"int field with a scale", [](auto& p) { p[30] = 2; }},
    {"origin longer than the packet", [](auto& p) { p[33] = 200; }},
    {"bad row status", [](auto& p) { p[46] = 3; }},
    {"row status 255", [](auto& p) { p[46] = 255; }},
    {"bad field status", [](auto& p) { p[47] = 3; }},
    {"string longer than its field", [](auto& p) { put16(p, 53, 6); }},
    {"string length beyond the packet", [](auto& p) { put16(p, 53, 0xFFFF); }},
    {"truncated last row",
     [](auto& p) {
         p.pop_back();
         fixLength(p);
     }},
    {"truncated in the first row",
     [](auto& p) {
         p.resize(50);
         fixLength(p);
     }},
    {"truncated in the fields",
     [](auto& p) {
         p.resize(30);
         fixLength(p);
     }},
};

class MalformedPacketTest : public testing::TestWithParam<Malformed> {};

TEST_P(MalformedPacketTest, IsRefusedByTheReaderAndTheBase) {
    std::vector<uint8_t> packet = smallPacket();
    ASSERT_EQ(packet.size(), 65u) << "the offsets above no longer hold";
    GetParam().Corrupt(packet);
    std::string message;
    EXPECT_EQ(EngineErrorOf([&] { TDSPacketReader reader(packet); }, &message),
              DBERR_INVALIDPACKET);
    EXPECT_EQ(message, "Invalid data packet");

    auto base = CreateDSBase();
    EXPECT_EQ(EngineErrorOf([&] { base->AppendData(packet, true); }), DBERR_INVALIDPACKET);
    EXPECT_FALSE(base->EndOfData());
    EXPECT_EQ(base->CreateCursor()->GetRecordCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, MalformedPacketTest, testing::ValuesIn(kMalformed),
                         [](const auto& info) {
                             std::string name;
                             for (const char* c = info.param.Name; *c; ++c)
                                 name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
                             return name;
                         });

TEST(PacketTest, ValuesOutOfTheirTypesRangeAreRefused) {
    struct Case {
        DSFieldDesc Desc;
        std::vector<uint8_t> Bytes;
    };
    auto bytesOf = [](auto v) {
        std::vector<uint8_t> b(sizeof v);
        std::memcpy(b.data(), &v, sizeof v);
        return b;
    };
    const Case cases[] = {
        {Field("B", DSType::Boolean), {2}},
        {Field("D", DSType::Date), bytesOf(int32_t{2958466})},
        {Field("D", DSType::Date), bytesOf(int32_t{-693594})},
        {Field("T", DSType::Time), bytesOf(int32_t{86400000})},
        {Field("T", DSType::Time), bytesOf(int32_t{-1})},
        {Field("N", DSType::Bcd, 4, 2), bytesOf(int64_t{10000})},
        {Field("N", DSType::Bcd, 4, 2), bytesOf(int64_t{-10000})},
        {Field("X", DSType::DateTime), bytesOf(std::numeric_limits<double>::infinity())},
        {Field("X", DSType::Double), bytesOf(std::numeric_limits<double>::quiet_NaN())},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Desc.Name);
        std::vector<uint8_t> packet = MakePacket({c.Desc}, {{Null{}}});
        // The one value goes where the null was: row status, field status, bytes.
        packet[packet.size() - 1] = 0;
        packet.insert(packet.end(), c.Bytes.begin(), c.Bytes.end());
        fixLength(packet);
        EXPECT_EQ(EngineErrorOf([&] { TDSPacketReader reader(packet); }), DBERR_INVALIDPACKET);
    }
}

TEST(PacketTest, AnAttributeOfNoKnownTypeIsRefused) {
    const std::vector<uint8_t> packet =
        MakePacket({Field("ID", DSType::Int32)}, {}, {DSAttribute{"lcid", Variant(int32_t{3082})}});
    const std::string name = "lcid";
    auto at = std::search(packet.begin(), packet.end(), name.begin(), name.end());
    ASSERT_NE(at, packet.end());
    const size_t typeByte = static_cast<size_t>(at - packet.begin()) + name.size();
    ASSERT_NO_THROW(TDSPacketReader{packet});
    for (uint8_t type : {uint8_t{10}, uint8_t{255}}) {
        std::vector<uint8_t> bad = packet;
        bad[typeByte] = type;
        EXPECT_EQ(EngineErrorOf([&] { TDSPacketReader reader(bad); }), DBERR_INVALIDPACKET)
            << int{type};
    }
}

TEST(PacketTest, EveryPrefixAndEveryByteChangeIsReadSafely) {
    const std::vector<uint8_t> packet = smallPacket();
    for (size_t n = 0; n < packet.size(); ++n) {
        std::vector<uint8_t> prefix(packet.begin(), packet.begin() + n);
        EXPECT_EQ(EngineErrorOf([&] { TDSPacketReader reader(prefix); }), DBERR_INVALIDPACKET) << n;
        if (n >= 24) {
            fixLength(prefix);
            EXPECT_EQ(EngineErrorOf([&] { TDSPacketReader reader(prefix); }), DBERR_INVALIDPACKET)
                << n;
        }
    }
    // Any single byte changed either still reads or is refused; ASan proves no
    // byte outside the packet is touched.
    for (size_t i = 0; i < packet.size(); ++i)
        for (uint8_t v : {0x00, 0x01, 0x05, 0x7F, 0x80, 0xFF}) {
            std::vector<uint8_t> p = packet;
            p[i] = v;
            int code = EngineErrorOf([&] {
                TDSPacketReader reader(p);
                auto base = CreateDSBase();
                base->AppendData(p, true);
            });
            EXPECT_TRUE(code == 0 || code == DBERR_INVALIDPACKET) << i;
        }
}

} // namespace
