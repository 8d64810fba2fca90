// The columns the posting tool relies on, and how AJUSTE_CIERRE keys its rows.

#include "CompanyDb.h"

#include <gtest/gtest.h>

#include <set>

using namespace dbtest;

namespace {

struct ColumnCase {
    const char* Table;
    const char* Column;
    int Type; // RDB$FIELD_TYPE: 8 INTEGER, 12 DATE, 16 64-bit exact numeric
    int Precision;
    int Scale;
};

const ColumnCase kColumns[] = {
    {"AJUSTE_CIERRE", "AJCI_ID", 8, 0, 0},          {"AJUSTE_CIERRE", "AJCI_FECINI", 12, 0, 0},
    {"AJUSTE_CIERRE", "AJCI_FECFIN", 12, 0, 0},     {"AJUSTE_CIERRE", "AJCI_PORC", 16, 15, -4},
    {"AJUSTE_CIERRE", "AJCI_FACTOR", 16, 15, -4},   {"TARIFA_IVA", "TAIV_PORC", 16, 15, -6},
    {"FACTURA_VENTA_DET", "FVDE_BASE", 16, 15, -2}, {"FACTURA_VENTA_DET", "FVDE_IVA", 16, 15, -2},
    {"MOVIMIENTO", "MOVI_DEBITO", 16, 15, -2},      {"MOVIMIENTO", "MOVI_CREDITO", 16, 15, -2},
};

} // namespace

TEST(Schema, ColumnsHaveTheExpectedTypes) {
    CompanyDb db(false);
    for (const ColumnCase& c : kColumns) {
        std::vector<Row> rows =
            Query(db.Path(),
                  std::string("select f.rdb$field_type as t, coalesce(f.rdb$field_precision, 0) "
                              "as p, f.rdb$field_scale as s from rdb$relation_fields r "
                              "join rdb$fields f on f.rdb$field_name = r.rdb$field_source "
                              "where r.rdb$relation_name = '") +
                      c.Table + "' and r.rdb$field_name = '" + c.Column + "'");
        ASSERT_EQ(rows.size(), 1u) << c.Column;
        EXPECT_EQ(std::stoi(rows[0]["T"]), c.Type) << c.Column;
        if (c.Type == 16) {
            EXPECT_EQ(std::stoi(rows[0]["P"]), c.Precision) << c.Column;
        }
        EXPECT_EQ(std::stoi(rows[0]["S"]), c.Scale) << c.Column;
    }
}

TEST(Schema, NoColumnHoldsFloatingPoint) {
    CompanyDb db(false);
    EXPECT_EQ(Integer(db.Path(),
                      "select count(*) from rdb$relation_fields r "
                      "join rdb$fields f on f.rdb$field_name = r.rdb$field_source "
                      "join rdb$relations t on t.rdb$relation_name = r.rdb$relation_name "
                      "where coalesce(t.rdb$system_flag, 0) = 0 "
                      "and f.rdb$field_type in (10, 11, 27)"),
              0);
}

TEST(Schema, AjusteCierreHasOnlyItsPrimaryKey) {
    CompanyDb db(false);
    EXPECT_EQ(Integer(db.Path(), "select count(*) from rdb$relation_constraints where "
                                 "rdb$relation_name = 'AJUSTE_CIERRE' and rdb$constraint_type "
                                 "not in ('PRIMARY KEY', 'NOT NULL')"),
              0);
    EXPECT_EQ(Integer(db.Path(), "select count(*) from rdb$relation_constraints where "
                                 "rdb$relation_name = 'AJUSTE_CIERRE' and rdb$constraint_type "
                                 "= 'PRIMARY KEY'"),
              1);
    // Rows the editor might write: empty fields, duplicates of a period and rate.
    Execute(db.Path(),
            "insert into ajuste_cierre values (0, null, null, null, null);"
            "insert into ajuste_cierre values (0, '2016-03-01', '2016-03-31', 19, 0.8);"
            "insert into ajuste_cierre values (0, '2016-03-01', '2016-03-31', 19, 0.8);");
    EXPECT_EQ(Integer(db.Path(), "select count(*) from ajuste_cierre"), 3);
}

TEST(Schema, AjusteCierreRowsSentWithKeyZeroOrNullGetFreshKeys) {
    CompanyDb db(false);
    testsupport::CommandResult r = Execute(
        db.Path(), "insert into ajuste_cierre values (0, '2016-03-01', '2016-03-31', 19, 0.8);"
                   "insert into ajuste_cierre values (0, '2016-03-01', '2016-03-31', 5, 0.8);"
                   "insert into ajuste_cierre (ajci_fecini, ajci_porc, ajci_factor) "
                   "values ('2016-03-01', 0, 0.8);");
    ASSERT_EQ(r.ExitCode, 0) << r.Output;
    std::vector<Row> rows = Query(db.Path(), "select ajci_id from ajuste_cierre");
    std::set<long> keys;
    for (Row& row : rows)
        keys.insert(std::stol(row["AJCI_ID"]));
    EXPECT_EQ(keys.size(), 3u);
    EXPECT_GT(*keys.begin(), 0);
}

TEST(Schema, AnExplicitKeyMovesTheSequencePastIt) {
    CompanyDb db(false);
    ASSERT_EQ(Execute(db.Path(), "insert into ajuste_cierre values (100, null, null, 19, 1);"
                                 "insert into ajuste_cierre values (0, null, null, 5, 1);")
                  .ExitCode,
              0);
    EXPECT_GT(Integer(db.Path(), "select ajci_id from ajuste_cierre where ajci_porc = 5"), 100);
    // The same key twice is still refused by the primary key.
    testsupport::CommandResult again =
        Execute(db.Path(), "insert into ajuste_cierre values (100, null, null, 0, 1);");
    EXPECT_NE(again.ExitCode, 0);
    EXPECT_NE(again.Output.find("PK_AJUSTE_CIERRE"), std::string::npos) << again.Output;
}

TEST(Schema, TwoRatesEqualToFourDecimalsAreDistinctInTarifaIva) {
    CompanyDb db;
    EXPECT_EQ(Integer(db.Path(), "select count(distinct taiv_porc) from tarifa_iva "
                                 "where round(taiv_porc, 4) = 19"),
              3);
    EXPECT_EQ(Integer(db.Path(), "select count(distinct cast(taiv_porc as numeric(15,4))) "
                                 "from tarifa_iva"),
              3);
}
