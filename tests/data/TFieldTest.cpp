// Field texts, conversions and checks, read and written through a client
// dataset opened on packets made by the engine's writer.

#include "ClientDataSetFixtures.h"

#include "data/TBooleanField.h"
#include "data/TDateTimeFields.h"
#include "data/TNumericFields.h"
#include "data/TStringField.h"

#include <gtest/gtest.h>

using namespace fixtures;

namespace {

// A dataset with one column of the given kind holding one value.
struct OneValue {
    TComponent owner;
    TClientDataSet* ds = new TClientDataSet(&owner);

    OneValue(DSFieldDesc desc, Variant value) { ds->SetData(MakePacket({desc}, {Row{value}})); }
    TField* field() { return ds->Fields(0); }
};

class FieldTest : public ::testing::Test {
protected:
    TSettingsGuard settings;
};

} // namespace

struct DisplayCase {
    const char* name;
    DSFieldDesc desc;
    Variant value;
    char decimalSeparator;
    const char* display;
    const char* edit;
};

TEST_F(FieldTest, DisplayAndEditTextByTypeAndSeparator) {
    const TDateTime day = EncodeDate(2016, 3, 15);
    const DisplayCase cases[] = {
        {"bcd 0.8 comma", {"F", DSType::Bcd, 15, 4}, TBcd{8000, 4}, ',', "0,8", "0,8"},
        {"bcd 0.8 point", {"F", DSType::Bcd, 15, 4}, TBcd{8000, 4}, '.', "0.8", "0.8"},
        {"bcd 19.0000", {"F", DSType::Bcd, 15, 4}, TBcd{190000, 4}, ',', "19", "19"},
        {"bcd negative", {"F", DSType::Bcd, 15, 4}, TBcd{-12345000, 4}, ',', "-1234,5", "-1234,5"},
        {"bcd zero", {"F", DSType::Bcd, 15, 4}, TBcd{0, 4}, ',', "0", "0"},
        {"bcd null", {"F", DSType::Bcd, 15, 4}, Null{}, ',', "", ""},
        {"bcd 11 integer digits",
         {"F", DSType::Bcd, 15, 4},
         TBcd{999999999999999, 4},
         ',',
         "99999999999,9999",
         "99999999999,9999"},
        {"currency", {"F", DSType::Currency}, Currency{8000}, ',', "0,8", "0,8"},
        {"float 0.8", {"F", DSType::Double}, 0.8, ',', "0,8", "0,8"},
        {"float third",
         {"F", DSType::Double},
         1.0 / 3,
         ',',
         "0,333333333333333",
         "0,333333333333333"},
        {"float large", {"F", DSType::Double}, 1.5e20, ',', "1,5E20", "1,5E20"},
        {"float small", {"F", DSType::Double}, 1e-6, '.', "1E-6", "1E-6"},
        {"float 1e14", {"F", DSType::Double}, 1e14, ',', "100000000000000", "100000000000000"},
        {"integer", {"F", DSType::Int32}, int32_t(-42), ',', "-42", "-42"},
        {"largeint", {"F", DSType::Int64}, int64_t(9000000000), ',', "9000000000", "9000000000"},
        {"date", {"F", DSType::Date}, day, ',', "15/03/2016", "15/03/2016"},
        {"date null", {"F", DSType::Date}, Null{}, ',', "", ""},
        {"datetime",
         {"F", DSType::DateTime},
         TDateTime(day.Val() + 0.5),
         ',',
         "15/03/2016 12:00:00",
         "15/03/2016 12:00:00"},
        {"datetime midnight", {"F", DSType::DateTime}, day, ',', "15/03/2016", "15/03/2016"},
        {"time", {"F", DSType::Time}, TDateTime(0.75), ',', "18:00:00", "18:00:00"},
        {"string", {"F", DSType::String, 10}, "abc", ',', "abc", "abc"},
        {"boolean", {"F", DSType::Boolean}, true, ',', "True", "True"},
    };
    for (const DisplayCase& c : cases) {
        SCOPED_TRACE(c.name);
        FormatSettings.DecimalSeparator = c.decimalSeparator;
        OneValue v(c.desc, c.value);
        EXPECT_EQ(v.field()->DisplayText(), c.display);
        EXPECT_EQ(v.field()->EditText(), c.edit);
        EXPECT_EQ(v.field()->IsNull(), c.value.IsNull());
    }
}

TEST_F(FieldTest, FmtBcdValueBeyondItsPrecisionShowsBcdOverflow) {
    TComponent owner;
    auto* ds = new TClientDataSet(&owner);
    auto* f = new TFMTBCDField(&owner);
    f->SetFieldName("F");
    f->SetPrecision(15);
    f->SetSize(4);
    f->SetDataSet(ds);
    // 12 integer digits in a column wider than the field's 15,4.
    ds->SetData(MakePacket({DSFieldDesc{"F", DSType::Bcd, 18, 4}},
                           {Row{Variant(TBcd{1234567890125000, 4})}}));
    EXPECT_EQ(f->DisplayText(), "BCD overflow");
    ds->Edit();
    try {
        f->SetAsString("123456789012");
        FAIL() << "no error";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message, "BCD overflow");
    }
    f->SetAsString("12345678901,23456");
    EXPECT_EQ(f->AsBCD(), (TBcd{123456789012346, 4})) << "rounded to the field's 4 decimals";
    // Text a user typed is never rounded into another number.
    try {
        f->SetText("0,12345");
        FAIL() << "no error";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message, "0,12345 is not a valid BCD value");
    }
    EXPECT_EQ(f->AsBCD(), (TBcd{123456789012346, 4}));
    f->SetText("0,85000");
    EXPECT_EQ(f->AsBCD(), (TBcd{8500, 4}));
}

struct TextErrorCase {
    const char* name;
    DSFieldDesc desc;
    const char* text;
    const char* message;
};

TEST_F(FieldTest, WritingTextThatTheFieldCannotTakeRaisesItsConversionError) {
    const TextErrorCase cases[] = {
        {"date", {"F", DSType::Date}, "31/02/2016", "'31/02/2016' is not a valid date"},
        {"date letters", {"F", DSType::Date}, "abc", "'abc' is not a valid date"},
        {"bcd", {"F", DSType::Bcd, 15, 4}, "1.5", "1.5 is not a valid BCD value"},
        {"bcd letters", {"F", DSType::Bcd, 15, 4}, "x1", "x1 is not a valid BCD value"},
        {"integer", {"F", DSType::Int32}, "12a", "'12a' is not a valid integer value"},
        {"float", {"F", DSType::Double}, "1,2,3", "'1,2,3' is not a valid floating point value"},
        {"boolean", {"F", DSType::Boolean}, "maybe", "'maybe' is not a valid boolean value"},
    };
    for (const TextErrorCase& c : cases) {
        SCOPED_TRACE(c.name);
        OneValue v(c.desc, Null{});
        v.ds->Edit();
        try {
            v.field()->SetText(c.text);
            ADD_FAILURE() << "no error";
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message, c.message);
        }
        EXPECT_TRUE(v.field()->IsNull()) << "the value stays as it was";
        EXPECT_FALSE(v.ds->Modified());
    }
}

TEST_F(FieldTest, WritingTextStoresTheParsedValueAndEmptyTextMakesNull) {
    OneValue bcd({"F", DSType::Bcd, 15, 4}, Null{});
    bcd.ds->Edit();
    bcd.field()->SetText("1,5");
    EXPECT_EQ(bcd.field()->AsCurrency(), Currency{15000});
    EXPECT_TRUE(bcd.ds->Modified());
    bcd.field()->SetText("");
    EXPECT_TRUE(bcd.field()->IsNull());

    OneValue date({"F", DSType::Date}, Null{});
    date.ds->Edit();
    date.field()->SetText("15/03/2016");
    EXPECT_EQ(date.field()->AsDateTime(), EncodeDate(2016, 3, 15));
    date.field()->SetAsDateTime(TDateTime(37641.280825));
    EXPECT_EQ(date.field()->AsDateTime(), TDateTime(37641)) << "a date field keeps the day";

    OneValue small({"F", DSType::Int16}, Null{});
    small.ds->Edit();
    try {
        small.field()->SetText("40000");
        ADD_FAILURE() << "no error";
    } catch (const EDatabaseError& e) {
        EXPECT_EQ(e.Message,
                  "40000 is not a valid value for field 'F'. The allowed range is -32768 to 32767");
    }
}

TEST_F(FieldTest, ValidCharactersFollowTheFieldKindAndTheDecimalSeparator) {
    struct Case {
        DSType type;
        char32_t ch;
        char separator;
        bool valid;
    };
    const Case cases[] = {
        {DSType::Bcd, U'5', ',', true},    {DSType::Bcd, U'+', ',', true},
        {DSType::Bcd, U'-', ',', true},    {DSType::Bcd, U',', ',', true},
        {DSType::Bcd, U'.', ',', false},   {DSType::Bcd, U'.', '.', true},
        {DSType::Bcd, U'a', ',', false},   {DSType::Bcd, U'E', ',', false},
        {DSType::Bcd, U' ', ',', false},   {DSType::Int32, U',', ',', false},
        {DSType::Int32, U'7', ',', true},  {DSType::Double, U'E', ',', true},
        {DSType::Double, U',', ',', true}, {DSType::Date, U'a', ',', true},
        {DSType::Date, U'/', ',', true},   {DSType::String, U'\u00e9', ',', true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << int(c.type) << " '" << char(c.ch) << "' sep " << c.separator);
        FormatSettings.DecimalSeparator = c.separator;
        TField* f = CreateFieldOfType(FieldTypeOfDef(TFieldDef{DSFieldDesc{"F", c.type, 10, 2}}));
        EXPECT_EQ(f->IsValidChar(c.ch), c.valid);
        delete f;
    }
}

TEST_F(FieldTest, DefaultsOfPresentation) {
    TComponent owner;
    auto* date = new TDateField(&owner);
    auto* bcd = new TFMTBCDField(&owner);
    auto* bcdNoPrecision = new TFMTBCDField(&owner);
    auto* text = new TStringField(&owner);
    auto* integer = new TIntegerField(&owner);
    bcd->SetPrecision(15);
    text->SetSize(20);
    EXPECT_EQ(date->DisplayWidth(), 10);
    EXPECT_EQ(bcd->DisplayWidth(), 16);
    EXPECT_EQ(bcdNoPrecision->DisplayWidth(), 10);
    EXPECT_EQ(text->DisplayWidth(), 20);
    EXPECT_EQ(integer->DisplayWidth(), 11);
    bcd->SetDisplayWidth(7);
    EXPECT_EQ(bcd->DisplayWidth(), 7);

    EXPECT_EQ(date->Alignment(), taLeftJustify);
    EXPECT_EQ(text->Alignment(), taLeftJustify);
    EXPECT_EQ(bcd->Alignment(), taRightJustify);
    EXPECT_EQ(integer->Alignment(), taRightJustify);

    date->SetFieldName("AJCI_FECINI");
    EXPECT_EQ(date->DisplayName(), "AJCI_FECINI");
    date->SetDisplayLabel("F.Desde");
    EXPECT_EQ(date->DisplayName(), "F.Desde");
    EXPECT_EQ(date->ProviderFlags(), pfInUpdate | pfInWhere);
    EXPECT_FALSE(date->IsIndexField());
    EXPECT_EQ(bcd->DataType(), ftFMTBcd);
    EXPECT_EQ(bcd->Size(), 4);
}

TEST_F(FieldTest, ConversionsBetweenExactKindsNeverLoseDigits) {
    OneValue v({"F", DSType::Bcd, 15, 4}, TBcd{8000, 4});
    TField* f = v.field();
    EXPECT_EQ(f->AsCurrency(), Currency{8000});
    EXPECT_EQ(f->AsBCD(), (TBcd{8, 1}));
    EXPECT_EQ(f->AsString(), "0,8");
    EXPECT_DOUBLE_EQ(f->AsFloat(), 0.8);
    v.ds->Edit();
    f->SetAsCurrency(Currency{1900000});
    EXPECT_EQ(f->DisplayText(), "190");
    f->SetAsFloat(0.1);
    EXPECT_EQ(f->AsCurrency(), Currency{1000});
    f->SetAsVariant(Variant(Currency{8000}));
    EXPECT_EQ(f->AsVariant(), Variant(TBcd{8000, 4}));
}

TEST_F(FieldTest, WritesNeedEditStateAndAWritableField) {
    OneValue v({"F", DSType::Int32}, int32_t(1));
    try {
        v.field()->SetAsInteger(2);
        FAIL() << "no error";
    } catch (const EDatabaseError& e) {
        EXPECT_EQ(e.Message, "Dataset not in edit or insert mode");
    }
    v.ds->Edit();
    v.field()->SetReadOnly(true);
    try {
        v.field()->SetAsInteger(2);
        FAIL() << "no error";
    } catch (const EDatabaseError& e) {
        EXPECT_EQ(e.Message, "Field 'F' cannot be modified");
    }
    EXPECT_EQ(v.field()->AsInteger(), 1);
    try {
        v.field()->AsDateTime();
        FAIL() << "no error";
    } catch (const EDatabaseError& e) {
        EXPECT_EQ(e.Message, "Cannot access field 'F' as type DateTime");
    }
}

TEST_F(FieldTest, ChangeAndValidateEventsSurroundAWrite) {
    OneValue v({"F", DSType::Int32}, int32_t(1));
    std::vector<std::string> seen;
    int validations = 0;
    v.field()->OnValidate = [&](TField* f) {
        seen.push_back("validate " + f->AsString());
        if (++validations == 2) throw EDatabaseError("refused");
    };
    v.field()->OnChange = [&](TField* f) { seen.push_back("change " + f->AsString()); };
    v.ds->Edit();
    v.field()->SetAsInteger(5);
    EXPECT_THROW(v.field()->SetAsInteger(6), EDatabaseError);
    EXPECT_EQ(v.field()->AsInteger(), 5);
    EXPECT_EQ(seen, (std::vector<std::string>{"validate 1", "change 5", "validate 5"}));
}

TEST_F(FieldTest, PersistentFieldsBindByNameAndRefuseAnotherTypeFamily) {
    TComponent owner;
    auto* ds = new TClientDataSet(&owner);
    auto* id = new TIntegerField(&owner);
    id->SetFieldName("AJCI_ID");
    id->SetDataSet(ds);
    auto* porc = new TFMTBCDField(&owner);
    porc->SetFieldName("AJCI_PORC");
    porc->SetPrecision(15);
    porc->SetSize(4);
    porc->SetDataSet(ds);

    auto packet =
        MakePacket(AdjustmentFields(),
                   {AdjustmentRow(7, EncodeDate(2016, 3, 1), EncodeDate(2016, 3, 31), 1900, 8000)});
    ds->SetData(packet);
    ASSERT_EQ(ds->FieldCount(), 2) << "only the persistent fields";
    EXPECT_EQ(id->AsInteger(), 7);
    EXPECT_EQ(porc->FieldNo(), 4);
    EXPECT_EQ(porc->DisplayText(), "0,19");
    ds->Close();
    EXPECT_EQ(ds->FieldCount(), 2) << "persistent fields outlive the close";

    auto* wrong = new TDateField(&owner);
    wrong->SetFieldName("AJCI_FACTOR");
    wrong->SetDisplayLabel("Factor");
    wrong->SetDataSet(ds);
    try {
        ds->SetData(packet);
        FAIL() << "no error";
    } catch (const EDatabaseError& e) {
        EXPECT_EQ(e.Message, "Type mismatch for field 'Factor', expecting: Date actual: FMTBcd");
    }
    EXPECT_FALSE(ds->Active());
    try {
        wrong->SetDataSet(nullptr);
        wrong->SetFieldName("NOPE");
        wrong->SetDataSet(ds);
        ds->SetData(packet);
        FAIL() << "no error";
    } catch (const EDatabaseError& e) {
        EXPECT_EQ(e.Message, "Field 'Factor' not found");
    }
    delete wrong;
    ds->SetData(packet);
    EXPECT_TRUE(ds->Active());
    EXPECT_THROW(porc->SetDataSet(nullptr), EDatabaseError) << "the dataset is open";
}

TEST_F(FieldTest, DefaultFieldsAreMadeFromThePacketAtEveryOpen) {
    TComponent owner;
    auto* ds = new TClientDataSet(&owner);
    ds->SetData(MakePacket(SimpleFields(), SimpleRows(2)));
    ASSERT_EQ(ds->FieldCount(), 3);
    EXPECT_EQ(ds->Fields(0)->DataType(), ftInteger);
    EXPECT_TRUE(ds->Fields(0)->Required());
    EXPECT_EQ(ds->Fields(1)->DataType(), ftString);
    EXPECT_EQ(ds->Fields(1)->Size(), 20);
    EXPECT_EQ(ds->Fields(2)->DataType(), ftFMTBcd);
    EXPECT_EQ(dynamic_cast<TFMTBCDField*>(ds->Fields(2))->Precision(), 15);
    EXPECT_EQ(ds->FieldByName("amount")->DisplayText(), "1,5");
    EXPECT_EQ(ds->FindField("missing"), nullptr);
    try {
        ds->FieldByName("missing");
        FAIL() << "no error";
    } catch (const EDatabaseError& e) {
        EXPECT_EQ(e.Message, "Field 'missing' not found");
    }
    ds->Close();
    EXPECT_EQ(ds->FieldCount(), 0);
    ds->SetData(MakePacket({DSFieldDesc{"X", DSType::Date}}, {}));
    ASSERT_EQ(ds->FieldCount(), 1);
    EXPECT_EQ(ds->Fields(0)->DataType(), ftDate);
}

TEST_F(FieldTest, DateTextsFollowTheShortDateFormatAndItsSeparator) {
    struct Case {
        const char* format;
        char separator;
        const char* text;
    };
    const Case cases[] = {
        {"dd/mm/yyyy", '/', "05/03/2016"},
        {"dd/mm/yyyy", '.', "05.03.2016"},
        {"yyyy/mm/dd", '-', "2016-03-05"},
        {"d/m/yy", '/', "5/3/16"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.format);
        FormatSettings.ShortDateFormat = c.format;
        FormatSettings.DateSeparator = c.separator;
        OneValue v({"F", DSType::Date}, EncodeDate(2016, 3, 5));
        EXPECT_EQ(v.field()->DisplayText(), c.text);
        EXPECT_EQ(v.field()->EditText(), c.text);
        v.ds->Edit();
        v.field()->SetText(c.text);
        EXPECT_EQ(v.field()->AsDateTime(), EncodeDate(2016, 3, 5)) << "its own text reads back";
    }
}
