// Loading packets into a base in turn, as a client dataset fetches them.

#include "EngineTestSupport.h"

#include <cstring>

using namespace enginetest;

namespace {

std::vector<AjusteRow> rowsFrom(int first, int count) {
    std::vector<AjusteRow> rows;
    for (int i = first; i < first + count; ++i)
        rows.push_back({i, EncodeDate(2016, 1, 1), EncodeDate(2016, 1, 31), 1900, 8000});
    return rows;
}

TEST(BaseLoadTest, PacketsLoadInTurnAndTheLastMarksTheEnd) {
    auto base = CreateDSBase();
    auto cursor = base->CreateCursor();
    base->AppendData(AjustePacket(rowsFrom(1, 3)), false);
    EXPECT_FALSE(base->EndOfData());
    EXPECT_EQ(cursor->GetRecordCount(), 3);
    // The cursor sits on the last row when more arrive; it then goes on.
    cursor->MoveToSequenceNumber(3);
    base->AppendData(AjustePacket(rowsFrom(4, 2)), false);
    EXPECT_EQ(cursor->GetSequenceNumber(), 3);
    EXPECT_EQ(cursor->MoveRelative(1), DBERR_NONE);
    EXPECT_EQ(Current(*cursor, 0).Get<int32_t>(), 4);
    base->AppendData(AjustePacket({}), true);
    EXPECT_TRUE(base->EndOfData());
    EXPECT_EQ(Ids(*cursor), (std::vector<int32_t>{1, 2, 3, 4, 5}));
    EXPECT_EQ(base->GetChangeCount(), 0);
}

TEST(BaseLoadTest, TheFirstPacketGivesFieldsAndAttributes) {
    auto base = CreateDSBase();
    base->AppendData(AjustePacket(rowsFrom(1, 1)), true);
    ASSERT_EQ(base->Layout().FieldCount(), 5);
    EXPECT_EQ(base->Layout().FieldIndex("ajci_porc"), 3);
    EXPECT_EQ(base->Layout().FieldIndex("NOPE"), -1);
    ASSERT_NE(base->Attribute("TABLE_NAME"), nullptr);
    EXPECT_EQ(base->Attribute("table_name")->Get<std::string>(), "AJUSTE_CIERRE");
    EXPECT_EQ(base->Attribute("LCID")->Get<int32_t>(), 3082);
    EXPECT_EQ(base->Attributes().size(), 2u);
}

TEST(BaseLoadTest, ALaterPacketWithOtherFieldsIsRefusedAndChangesNothing) {
    auto base = CreateDSBase();
    auto cursor = base->CreateCursor();
    base->AppendData(AjustePacket(rowsFrom(1, 2)), false);
    std::vector<DSFieldDesc> other = AjusteFields();
    other[4].Scale = 2;
    std::vector<uint8_t> packet = MakePacket(other, {{int32_t{9}, Null{}, Null{}, Null{}, Null{}}});
    std::string message;
    EXPECT_EQ(EngineErrorOf([&] { base->AppendData(packet, true); }, &message),
              DBERR_FIELDMISMATCH);
    EXPECT_EQ(message, "Data packet does not match the fields of the dataset");
    EXPECT_FALSE(base->EndOfData());
    EXPECT_EQ(Ids(*cursor), (std::vector<int32_t>{1, 2}));
}

TEST(BaseLoadTest, ARefusedPacketLeavesNoRowBehind) {
    auto base = CreateDSBase();
    auto cursor = base->CreateCursor();
    base->AppendData(AjustePacket(rowsFrom(1, 2)), false);
    std::vector<uint8_t> packet = AjustePacket(rowsFrom(3, 3));
    packet.resize(packet.size() - 3); // the last row cut short
    uint32_t size = static_cast<uint32_t>(packet.size());
    std::memcpy(packet.data() + 20, &size, 4);
    EXPECT_EQ(EngineErrorOf([&] { base->AppendData(packet, true); }), DBERR_INVALIDPACKET);
    EXPECT_EQ(cursor->GetRecordCount(), 2);
    base->AppendData(AjustePacket(rowsFrom(3, 1)), true);
    EXPECT_EQ(Ids(*cursor), (std::vector<int32_t>{1, 2, 3}));
}

TEST(BaseLoadTest, DataPacketsHoldOnlyUnchangedRowsWithValues) {
    auto base = CreateDSBase();
    auto writer = CreateDSWriter();
    writer->Init(AjusteFields(), {});
    std::vector<uint8_t> record =
        MakeRecord(writer->Layout(), {int32_t{1}, Null{}, Null{}, Null{}, Null{}});
    writer->AddRecord(record.data(), dsRecInserted);
    EXPECT_EQ(EngineErrorOf([&] { base->AppendData(writer->GetDataPacket(), true); }),
              DBERR_INVALIDPACKET);

    writer->Init(AjusteFields(), {});
    record = MakeRecord(writer->Layout(), {int32_t{1}, Unassigned{}, Null{}, Null{}, Null{}});
    writer->AddRecord(record.data());
    EXPECT_EQ(EngineErrorOf([&] { base->AppendData(writer->GetDataPacket(), true); }),
              DBERR_INVALIDPACKET);
}

TEST(BaseLoadTest, StatusTexts) {
    auto base = CreateDSBase();
    EXPECT_EQ(base->StatusText(DBERR_INVALIDPACKET), "Invalid data packet");
    EXPECT_EQ(base->StatusText(DBERR_KEYVIOL).rfind("key", 0), 0u);
    EXPECT_EQ(base->StatusText(DBERR_DETAILRECORDSEXIST),
              "Cannot delete master record with details");
    EXPECT_EQ(base->StatusText(DBERR_NOCURRREC), "No current record");
    EXPECT_FALSE(base->StatusText(0x9999).empty());
    EXPECT_LE(base->StatusText(0x9999).size(), 2048u);
}

} // namespace
