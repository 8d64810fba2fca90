// Records: the layout's offsets, and which values each field type takes.

#include "EngineTestSupport.h"

using namespace enginetest;

namespace {

TEST(RecordLayoutTest, StatusBytesComeFirstThenEachFieldAtItsOffset) {
    TDSRecordLayout layout(AjusteFields());
    EXPECT_EQ(layout.FieldCount(), 5);
    EXPECT_EQ(layout.FieldOffset(0), 5u);
    EXPECT_EQ(layout.FieldOffset(1), 9u);
    EXPECT_EQ(layout.FieldOffset(3), 17u);
    EXPECT_EQ(layout.RecordSize(), 33u);
    std::vector<uint8_t> r(layout.RecordSize(), 0xAA);
    layout.InitRecord(r.data());
    for (int f = 0; f < 5; ++f)
        EXPECT_EQ(layout.Status(r.data(), f), DSFieldStatus::Null);
    layout.InitRecord(r.data(), DSFieldStatus::Unassigned);
    EXPECT_TRUE(layout.GetField(r.data(), 2).IsUnassigned());
}

struct Put {
    DSFieldDesc Field;
    Variant In;
    std::optional<Variant> Out; // nullopt: refused
};

TEST(RecordLayoutTest, PutFieldTakesCompatibleValuesExactly) {
    const DSFieldDesc i16 = Field("A", DSType::Int16), i32 = Field("B", DSType::Int32),
                      i64 = Field("C", DSType::Int64), cur = Field("D", DSType::Currency),
                      bcd = Field("E", DSType::Bcd, 15, 4), bcd2 = Field("F", DSType::Bcd, 4, 2),
                      dbl = Field("G", DSType::Double), date = Field("H", DSType::Date),
                      time = Field("I", DSType::Time), str = Field("J", DSType::String, 3),
                      boolean = Field("K", DSType::Boolean);
    const Put cases[] = {
        {i16, Variant(int32_t{-32768}), Variant(int32_t{-32768})},
        {i16, Variant(int32_t{32768}), std::nullopt},
        {i16, Variant(int64_t{5}), Variant(int32_t{5})},
        {i32, Variant(int64_t{INT32_MAX}), Variant(int32_t{INT32_MAX})},
        {i32, Variant(int64_t{INT32_MAX} + 1), std::nullopt},
        {i32, Variant(1.0), std::nullopt},
        {i32, Variant("1"), std::nullopt},
        {i64, Variant(int32_t{-7}), Variant(int64_t{-7})},
        {cur, Variant(TBcd{8, 1}), Variant(Currency{8000})},
        {cur, Variant(TBcd{12345, 5}), std::nullopt},
        {cur, Variant(TBcd{12340, 5}), Variant(Currency{1234})},
        {cur, Variant(int32_t{3}), Variant(Currency{30000})},
        {bcd, Variant(Currency{8000}), Variant(TBcd{8000, 4})},
        {bcd, Variant(TBcd{-19, 0}), Variant(TBcd{-190000, 4})},
        {bcd, Variant(TBcd{1, 5}), std::nullopt},
        {bcd, Variant(0.8), std::nullopt},
        {bcd2, Variant(TBcd{9999, 2}), Variant(TBcd{9999, 2})},
        {bcd2, Variant(TBcd{100, 0}), std::nullopt},
        {dbl, Variant(TBcd{25, 1}), Variant(2.5)},
        {dbl, Variant(int32_t{2}), Variant(2.0)},
        {date, Variant(TDateTime(42430.75)), Variant(TDateTime(42430))},
        {date, Variant(TDateTime(-1.5)), Variant(TDateTime(-1))},
        {date, Variant(TDateTime(3e6)), std::nullopt},
        {date, Variant("01/03/2016"), std::nullopt},
        {time, Variant(TDateTime(42430.5)), Variant(TDateTime(0.5))},
        {str, Variant("abc"), Variant("abc")},
        {str, Variant("abcd"), std::nullopt},
        {str, Variant(int32_t{1}), std::nullopt},
        {boolean, Variant(true), Variant(true)},
        {boolean, Variant(int32_t{1}), std::nullopt},
        {str, Variant(Null{}), Variant(Null{})},
        {i32, Variant(), Variant()},
    };
    for (const Put& c : cases) {
        SCOPED_TRACE(testing::Message() << c.Field.Name << " case " << (&c - cases));
        TDSRecordLayout layout({c.Field});
        std::vector<uint8_t> r(layout.RecordSize());
        layout.InitRecord(r.data());
        int code = EngineErrorOf([&] { layout.PutField(r.data(), 0, c.In); });
        if (!c.Out) {
            EXPECT_EQ(code, DBERR_INVALIDPARAM);
            EXPECT_EQ(layout.Status(r.data(), 0), DSFieldStatus::Null) << "left as it was";
            continue;
        }
        ASSERT_EQ(code, 0);
        EXPECT_TRUE(layout.GetField(r.data(), 0) == *c.Out);
    }
}

TEST(RecordLayoutTest, SameFieldComparesStatusAndValueOnly) {
    TDSRecordLayout layout({Field("S", DSType::String, 5)});
    std::vector<uint8_t> a(layout.RecordSize()), b(layout.RecordSize());
    layout.InitRecord(a.data());
    layout.InitRecord(b.data());
    EXPECT_TRUE(layout.SameField(a.data(), b.data(), 0));
    layout.PutField(a.data(), 0, Variant("abcde"));
    layout.PutField(a.data(), 0, Variant("ab"));
    layout.PutField(b.data(), 0, Variant("ab"));
    EXPECT_TRUE(layout.SameField(a.data(), b.data(), 0));
    layout.PutField(b.data(), 0, Variant(""));
    EXPECT_FALSE(layout.SameField(a.data(), b.data(), 0));
    layout.PutField(b.data(), 0, Variant(Null{}));
    EXPECT_FALSE(layout.SameField(a.data(), b.data(), 0));
}

} // namespace
