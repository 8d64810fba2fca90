// The statements generated for the changes of a delta, compared as text
// with the parameters in the order of their marks.

#include "data/TUpdateSQLGenerator.h"
#include "platform/DateUtils.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

const std::string Q = "\"";

std::vector<DSFieldDesc> adjustmentFields() {
    std::vector<DSFieldDesc> f(5);
    f[0].Name = "AJCI_ID";
    f[0].Type = DSType::Int32;
    f[0].Attributes = fldAttrRequired;
    f[1].Name = "AJCI_FECINI";
    f[1].Type = DSType::Date;
    f[2].Name = "AJCI_FECFIN";
    f[2].Type = DSType::Date;
    for (int i : {3, 4}) {
        f[i].Type = DSType::Bcd;
        f[i].Size = 18;
        f[i].Scale = 4;
    }
    f[3].Name = "AJCI_PORC";
    f[4].Name = "AJCI_FACTOR";
    return f;
}

struct Rec {
    const TDSRecordLayout& L;
    std::vector<uint8_t> Bytes;
    explicit Rec(const TDSRecordLayout& layout, DSFieldStatus status = DSFieldStatus::Null)
        : L(layout), Bytes(layout.RecordSize()) {
        L.InitRecord(Bytes.data(), status);
    }
    Rec& Set(int field, const Variant& v) {
        L.PutField(Bytes.data(), field, v);
        return *this;
    }
    const uint8_t* Data() const { return Bytes.data(); }
};

// A loaded row of the closing-adjustment table: id 7, March 2016, 19 %, 0.8.
Rec loadedRow(const TDSRecordLayout& l) {
    Rec r(l);
    r.Set(0, int32_t{7})
        .Set(1, EncodeDate(2016, 3, 1))
        .Set(2, EncodeDate(2016, 3, 31))
        .Set(3, TBcd{190000, 4})
        .Set(4, TBcd{8000, 4});
    return r;
}

std::string paramsText(const TParams& p) {
    std::string s;
    for (int i = 0; i < p.Count(); ++i) {
        const Variant& v = p.Items(i).Value;
        std::string t;
        if (v.IsNull())
            t = "null";
        else if (auto* n = v.GetIf<int32_t>())
            t = std::to_string(*n);
        else if (auto* b = v.GetIf<TBcd>())
            t = BcdToStr(*b);
        else if (auto* d = v.GetIf<TDateTime>())
            t = FormatDateTime("yyyy/mm/dd", *d, DefaultFormatSettings());
        else if (auto* str = v.GetIf<std::string>())
            t = "'" + *str + "'";
        else
            t = "?";
        s += (i ? "|" : "") + t + ":" + FieldTypeName(p.Items(i).DataType);
    }
    return s;
}

} // namespace

TEST(ApplyUpdatesSQL, AdjustmentTableStatementsAreTheKnownTexts) {
    TDSRecordLayout l(adjustmentFields());
    TUpdateSQLGenerator gen(l, "AJUSTE_CIERRE", Q, upWhereAll);
    TGeneratedStatement st;

    Rec inserted(l);
    inserted.Set(0, int32_t{0})
        .Set(1, EncodeDate(2016, 3, 1))
        .Set(2, EncodeDate(2016, 3, 31))
        .Set(3, TBcd{190000, 4})
        .Set(4, TBcd{8000, 4});
    ASSERT_TRUE(gen.Generate(dsRecInserted, nullptr, inserted.Data(), st));
    EXPECT_EQ(
        st.SQL,
        "insert into \"AJUSTE_CIERRE\"\r\n"
        "  (\"AJCI_ID\", \"AJCI_FECINI\", \"AJCI_FECFIN\", \"AJCI_PORC\", \"AJCI_FACTOR\")\r\n"
        "values\r\n"
        "  (?, ?, ?, ?, ?)\r\n");
    EXPECT_EQ(paramsText(st.Params),
              "0:Integer|2016/03/01:Date|2016/03/31:Date|19:FMTBcd|0.8:FMTBcd");

    Rec loaded = loadedRow(l);
    ASSERT_TRUE(gen.Generate(dsRecDeleted, loaded.Data(), nullptr, st));
    EXPECT_EQ(st.SQL, "delete from \"AJUSTE_CIERRE\" \r\n"
                      "where\r\n"
                      " \"AJCI_ID\" = ? and\r\n"
                      " \"AJCI_FECINI\" = ? and\r\n"
                      " \"AJCI_FECFIN\" = ? and\r\n"
                      " \"AJCI_PORC\" = ? and\r\n"
                      " \"AJCI_FACTOR\" = ?\r\n");
    EXPECT_EQ(paramsText(st.Params),
              "7:Integer|2016/03/01:Date|2016/03/31:Date|19:FMTBcd|0.8:FMTBcd");

    Rec changed(l, DSFieldStatus::Unassigned);
    changed.Set(4, TBcd{9000, 4});
    ASSERT_TRUE(gen.Generate(dsRecModified, loaded.Data(), changed.Data(), st));
    EXPECT_EQ(st.SQL, "update \"AJUSTE_CIERRE\"  set\r\n"
                      " \"AJCI_FACTOR\" = ?\r\n"
                      "where\r\n"
                      " \"AJCI_ID\" = ? and\r\n"
                      " \"AJCI_FECINI\" = ? and\r\n"
                      " \"AJCI_FECFIN\" = ? and\r\n"
                      " \"AJCI_PORC\" = ? and\r\n"
                      " \"AJCI_FACTOR\" = ?\r\n");
    EXPECT_EQ(paramsText(st.Params),
              "0.9:FMTBcd|7:Integer|2016/03/01:Date|2016/03/31:Date|19:FMTBcd|0.8:FMTBcd");
}

TEST(ApplyUpdatesSQL, NullValuesAsLoadedAreComparedWithIsNull) {
    TDSRecordLayout l(adjustmentFields());
    TUpdateSQLGenerator gen(l, "AJUSTE_CIERRE", Q, upWhereAll);
    Rec loaded = loadedRow(l);
    loaded.Set(2, Null{});
    TGeneratedStatement st;
    ASSERT_TRUE(gen.Generate(dsRecDeleted, loaded.Data(), nullptr, st));
    EXPECT_EQ(st.SQL, "delete from \"AJUSTE_CIERRE\" \r\n"
                      "where\r\n"
                      " \"AJCI_ID\" = ? and\r\n"
                      " \"AJCI_FECINI\" = ? and\r\n"
                      " \"AJCI_FECFIN\" is null and\r\n"
                      " \"AJCI_PORC\" = ? and\r\n"
                      " \"AJCI_FACTOR\" = ?\r\n");
    EXPECT_EQ(paramsText(st.Params), "7:Integer|2016/03/01:Date|19:FMTBcd|0.8:FMTBcd");

    // A value changed to null is written as a null parameter.
    Rec changed(l, DSFieldStatus::Unassigned);
    changed.Set(2, Null{});
    ASSERT_TRUE(gen.Generate(dsRecModified, loadedRow(l).Data(), changed.Data(), st));
    EXPECT_EQ(st.SQL.substr(0, st.SQL.find("where")),
              "update \"AJUSTE_CIERRE\"  set\r\n \"AJCI_FECFIN\" = ?\r\n");
    EXPECT_EQ(paramsText(st.Params),
              "null:Date|7:Integer|2016/03/01:Date|2016/03/31:Date|19:FMTBcd|0.8:FMTBcd");
}

TEST(ApplyUpdatesSQL, ModificationWithoutWritableChangeSendsNothing) {
    std::vector<DSFieldDesc> fields = adjustmentFields();
    fields[4].ProviderFlags = pfInWhere; // not in updates
    TDSRecordLayout l(fields);
    TUpdateSQLGenerator gen(l, "AJUSTE_CIERRE", Q, upWhereAll);
    TGeneratedStatement st;
    Rec nothing(l, DSFieldStatus::Unassigned);
    EXPECT_FALSE(gen.Generate(dsRecModified, loadedRow(l).Data(), nothing.Data(), st));
    Rec onlyFactor(l, DSFieldStatus::Unassigned);
    onlyFactor.Set(4, TBcd{1, 0});
    EXPECT_FALSE(gen.Generate(dsRecModified, loadedRow(l).Data(), onlyFactor.Data(), st));
    EXPECT_TRUE(st.SQL.empty());
    EXPECT_EQ(st.Params.Count(), 0);
}

// Which fields take part, per provider flags, attributes, size and mode.
TEST(ApplyUpdatesSQL, FieldsTakingPartFollowFlagsAndUpdateMode) {
    struct Case {
        const char* Name;
        TUpdateMode Mode;
        std::function<void(std::vector<DSFieldDesc>&)> Adjust;
        const char* Update; // the whole statement for a change of AJCI_FACTOR
        const char* Params;
    };
    const Case cases[] = {
        {"key only", upWhereKeyOnly, [](auto& f) { f[0].ProviderFlags |= pfInKey; },
         "update \"AJUSTE_CIERRE\"  set\r\n \"AJCI_FACTOR\" = ?\r\nwhere\r\n \"AJCI_ID\" = ?\r\n",
         "0.9:FMTBcd|7:Integer"},
        {"changed and key", upWhereChanged, [](auto& f) { f[0].ProviderFlags |= pfInKey; },
         "update \"AJUSTE_CIERRE\"  set\r\n \"AJCI_FACTOR\" = ?\r\nwhere\r\n \"AJCI_ID\" = ? "
         "and\r\n"
         " \"AJCI_FACTOR\" = ?\r\n",
         "0.9:FMTBcd|7:Integer|0.8:FMTBcd"},
        {"not in where", upWhereAll,
         [](auto& f) {
             f[1].ProviderFlags = pfInUpdate;
             f[2].ProviderFlags = pfInUpdate;
         },
         "update \"AJUSTE_CIERRE\"  set\r\n \"AJCI_FACTOR\" = ?\r\nwhere\r\n \"AJCI_ID\" = ? "
         "and\r\n"
         " \"AJCI_PORC\" = ? and\r\n \"AJCI_FACTOR\" = ?\r\n",
         "0.9:FMTBcd|7:Integer|19:FMTBcd|0.8:FMTBcd"},
        {"server calculated", upWhereAll,
         [](auto& f) {
             f[1].Attributes |= fldAttrServerCalc;
             f[2].Attributes |= fldAttrServerCalc;
         },
         "update \"AJUSTE_CIERRE\"  set\r\n \"AJCI_FACTOR\" = ?\r\nwhere\r\n \"AJCI_ID\" = ? "
         "and\r\n"
         " \"AJCI_PORC\" = ? and\r\n \"AJCI_FACTOR\" = ?\r\n",
         "0.9:FMTBcd|7:Integer|19:FMTBcd|0.8:FMTBcd"},
        {"origin names the column", upWhereKeyOnly,
         [](auto& f) {
             f[0].ProviderFlags |= pfInKey;
             f[0].Origin = "ID";
             f[4].Origin = "FACTOR";
         },
         "update \"AJUSTE_CIERRE\"  set\r\n \"FACTOR\" = ?\r\nwhere\r\n \"ID\" = ?\r\n",
         "0.9:FMTBcd|7:Integer"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        std::vector<DSFieldDesc> fields = adjustmentFields();
        c.Adjust(fields);
        TDSRecordLayout l(fields);
        TUpdateSQLGenerator gen(l, "AJUSTE_CIERRE", Q, c.Mode);
        Rec changed(l, DSFieldStatus::Unassigned);
        changed.Set(4, TBcd{9000, 4});
        TGeneratedStatement st;
        ASSERT_TRUE(gen.Generate(dsRecModified, loadedRow(l).Data(), changed.Data(), st));
        EXPECT_EQ(st.SQL, c.Update);
        EXPECT_EQ(paramsText(st.Params), c.Params);
    }
}

TEST(ApplyUpdatesSQL, HiddenReadOnlyAndServerCalculatedFieldsAreNotWritten) {
    std::vector<DSFieldDesc> fields = adjustmentFields();
    fields[0].ProviderFlags |= pfHidden;
    fields[1].Attributes |= fldAttrReadOnly;
    fields[2].Attributes |= fldAttrServerCalc;
    fields[3].ProviderFlags = pfInWhere;
    TDSRecordLayout l(fields);
    TUpdateSQLGenerator gen(l, "AJUSTE_CIERRE", Q, upWhereAll);
    TGeneratedStatement st;
    ASSERT_TRUE(gen.Generate(dsRecInserted, nullptr, loadedRow(l).Data(), st));
    EXPECT_EQ(st.SQL,
              "insert into \"AJUSTE_CIERRE\"\r\n  (\"AJCI_FACTOR\")\r\nvalues\r\n  (?)\r\n");
    EXPECT_EQ(paramsText(st.Params), "0.8:FMTBcd");
}

TEST(ApplyUpdatesSQL, LongTextsStayOutOfTheWhereClause) {
    std::vector<DSFieldDesc> fields(3);
    fields[0].Name = "ID";
    fields[1].Name = "NOTE", fields[1].Type = DSType::String, fields[1].Size = 8191;
    fields[2].Name = "BODY", fields[2].Type = DSType::String, fields[2].Size = 8192;
    TDSRecordLayout l(fields);
    TUpdateSQLGenerator gen(l, "T", "", upWhereAll);
    Rec row(l);
    row.Set(0, int32_t{1}).Set(1, std::string("a")).Set(2, std::string("b"));
    TGeneratedStatement st;
    ASSERT_TRUE(gen.Generate(dsRecDeleted, row.Data(), nullptr, st));
    EXPECT_EQ(st.SQL, "delete from T \r\nwhere\r\n ID = ? and\r\n NOTE = ?\r\n");
    EXPECT_EQ(paramsText(st.Params), "1:Integer|'a':String");
}

TEST(ApplyUpdatesSQL, NoFieldForTheWhereClauseIsRefused) {
    std::vector<DSFieldDesc> fields = adjustmentFields();
    TDSRecordLayout l(fields);
    TUpdateSQLGenerator gen(l, "AJUSTE_CIERRE", Q, upWhereKeyOnly);
    TGeneratedStatement st;
    Rec changed(l, DSFieldStatus::Unassigned);
    changed.Set(4, TBcd{9000, 4});
    for (DSRowStatus kind : {dsRecModified, dsRecDeleted}) {
        try {
            gen.Generate(kind, loadedRow(l).Data(), changed.Data(), st);
            ADD_FAILURE() << "no error for kind " << kind;
        } catch (const EDatabaseError& e) {
            EXPECT_EQ(e.Message, "Unable to find record.  No key specified");
        }
    }
}

TEST(ApplyUpdatesSQL, TableNamesAreQuotedPartByPart) {
    struct Case {
        const char* Name;
        const char* Quote;
        const char* Expected;
    };
    const Case cases[] = {
        {"AJUSTE_CIERRE", "\"", "\"AJUSTE_CIERRE\""},
        {"AJUSTE_CIERRE", "", "AJUSTE_CIERRE"},
        {"SCHEMA.TABLA", "\"", "\"SCHEMA\".\"TABLA\""},
        {"A.B.C", "`", "`A`.`B`.`C`"},
        {"A.B.C.D", "\"", "\"A\".\"B\".\"C.D\""},
        {"\"Mixed Case\"", "\"", "\"Mixed Case\""},
        {"'quoted'", "\"", "'quoted'"},
        {"table`", "\"", "table`"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TUpdateSQLGenerator::QuoteTableName(c.Name, c.Quote), c.Expected) << c.Name;
}
