// CONTADO_MVERDE_PREF on the sample company: what it posts, the entries it
// makes, and what it refuses or leaves alone.

#include "CompanyDb.h"

#include <gtest/gtest.h>

#include <map>
#include <ostream>
#include <utility>

using namespace dbtest;

namespace {

const char* const kCashSale = "f.fave_cliente in (select clie_id from cliente where clie_nit = "
                              "'222222222222')";

// Net credit (credit minus debit) per voucher and account, in cents.
using Entries = std::map<std::pair<std::string, std::string>, std::int64_t>;

// a / b rounded half away from zero, as the server's ROUND does.
std::int64_t RoundedDiv(std::int64_t a, std::int64_t b) {
    std::int64_t q = (2 * (a < 0 ? -a : a) + b) / (2 * b);
    return a < 0 ? -q : q;
}

// A rate text with up to six decimals, rounded to four, in 1/10000.
std::int64_t RateToFourDecimals(const std::string& rate) {
    size_t point = rate.find('.');
    std::string fraction = point == std::string::npos ? "" : rate.substr(point + 1);
    fraction.resize(6, '0');
    std::int64_t micro = std::stoll(rate.substr(0, point)) * 1000000 + std::stoll(fraction);
    return RoundedDiv(micro, 100);
}

class Posting : public ::testing::Test {
protected:
    std::vector<Row> Post(const std::string& from, const std::string& to,
                          const std::string& prefix) {
        return Query(Db.Path(), "select * from contado_mverde_pref(" + Quoted(from) + ", " +
                                    Quoted(to) + ", " + Quoted(prefix) + ")");
    }

    std::int64_t Invoices(const std::string& where) {
        return Integer(Db.Path(), "select count(*) from factura_venta f where " + where);
    }

    // Everything a posting writes, summed up: equal snapshots, nothing written.
    std::string Snapshot() {
        return Scalar(Db.Path(),
                      "select (select count(*) from comprobante) || '/' || "
                      "(select count(*) from movimiento) || '/' || "
                      "(select coalesce(sum(movi_debito), 0) from movimiento) || '/' || "
                      "(select coalesce(sum(movi_credito), 0) from movimiento) || '/' || "
                      "(select count(*) from factura_venta where fave_comprobante is not null) "
                      "|| '/' || (select count(*) from factura_venta) || '/' || "
                      "(select count(*) from factura_venta_det) from rdb$database");
    }

    Entries ActualEntries() {
        Entries entries;
        for (Row& r : Query(Db.Path(), "select movi_comprobante as v, movi_cuenta as a, "
                                       "movi_credito - movi_debito as n from movimiento"))
            entries[{r["V"], r["A"]}] += Cents(r["N"]);
        return entries;
    }

    // The entries the posted invoices call for, worked out here from their
    // lines; factor gives the closing-adjustment factor (1/10000) of a day
    // and a rate rounded to four decimals.
    template <class FactorOf> Entries ExpectedEntries(FactorOf factor) {
        Entries entries;
        std::string cash = Scalar(Db.Path(), "select empr_cta_caja from empresa");
        for (Row& r : Query(Db.Path(), "select f.fave_comprobante as v, c.comp_fecha as fecha, "
                                       "t.taiv_porc as porc, t.taiv_cta_ingreso as ci, "
                                       "t.taiv_cta_ajuste as ca, t.taiv_cta_iva as cv, "
                                       "sum(d.fvde_base) as b, sum(d.fvde_iva) as i "
                                       "from factura_venta f "
                                       "join comprobante c on c.comp_id = f.fave_comprobante "
                                       "join factura_venta_det d on d.fvde_factura = f.fave_id "
                                       "join tarifa_iva t on t.taiv_codigo = d.fvde_tarifa "
                                       "group by 1, 2, 3, 4, 5, 6, t.taiv_codigo")) {
            std::int64_t base = Cents(r["B"]);
            std::int64_t vat = Cents(r["I"]);
            std::int64_t income =
                RoundedDiv(base * factor(r["FECHA"], RateToFourDecimals(r["PORC"])), 10000);
            entries[{r["V"], r["CI"]}] += income;
            entries[{r["V"], r["CA"]}] += base - income;
            entries[{r["V"], r["CV"]}] += vat;
            entries[{r["V"], cash}] -= base + vat;
        }
        std::erase_if(entries, [](const auto& e) { return e.second == 0; });
        return entries;
    }

    CompanyDb Db;
};

TEST_F(Posting, MakesOneVoucherPerDayWithCashSalesOfThePrefix) {
    std::vector<Row> days = Query(
        Db.Path(), std::string("select distinct f.fave_fecha as d from factura_venta f where "
                               "f.fave_prefijo = 'FV' and f.fave_fecha between '2016-03-01' and "
                               "'2016-03-31' and ") +
                       kCashSale + " order by 1");
    ASSERT_GT(days.size(), 10u);

    std::vector<Row> rows = Post("01/03/2016", "31/03/2016", "FV");
    ASSERT_EQ(rows.size(), days.size());
    for (size_t i = 0; i < rows.size(); ++i)
        EXPECT_EQ(rows[i]["FECHA"], days[i]["D"]);

    // Sundays and holidays: no sales, no voucher.
    EXPECT_EQ(Integer(Db.Path(), "select count(*) from comprobante where comp_fecha in "
                                 "('2016-03-06', '2016-03-13', '2016-03-20', '2016-03-21', "
                                 "'2016-03-24', '2016-03-25', '2016-03-27')"),
              0);
    EXPECT_EQ(Scalar(Db.Path(), "select comp_detalle from comprobante where comp_fecha = "
                                "'2016-03-01'"),
              "Ventas de contado FV del 01/03/2016");
}

TEST_F(Posting, EveryVoucherBalancesAndReportsItsTotalAndInvoices) {
    std::vector<Row> rows = Post("01/01/2016", "31/03/2016", "FV");
    ASSERT_FALSE(rows.empty());
    std::map<std::string, Row> vouchers;
    for (Row& v :
         Query(Db.Path(), "select c.comp_numero as n, c.comp_total as t, c.comp_facturas as k, "
                          "(select sum(movi_debito) from movimiento where movi_comprobante = "
                          "c.comp_id) as deb, "
                          "(select sum(movi_credito) from movimiento where movi_comprobante = "
                          "c.comp_id) as cre, "
                          "(select sum(d.fvde_base + d.fvde_iva) from factura_venta f join "
                          "factura_venta_det d on d.fvde_factura = f.fave_id where "
                          "f.fave_comprobante = c.comp_id) as fact, "
                          "(select count(*) from factura_venta f where f.fave_comprobante = "
                          "c.comp_id) as nf from comprobante c"))
        vouchers[v["N"]] = v;
    ASSERT_EQ(vouchers.size(), rows.size());

    for (Row& r : rows) {
        SCOPED_TRACE("voucher " + r["NUMERO"] + " of " + r["FECHA"]);
        Row& v = vouchers[r["NUMERO"]];
        EXPECT_EQ(Cents(v["DEB"]), Cents(v["CRE"]));
        EXPECT_EQ(Cents(v["DEB"]), Cents(v["FACT"]));
        EXPECT_EQ(Cents(r["TOTAL"]), Cents(v["FACT"]));
        EXPECT_EQ(Cents(v["T"]), Cents(v["FACT"]));
        EXPECT_EQ(r["FACTURAS"], v["NF"]);
        EXPECT_EQ(v["K"], v["NF"]);
    }
}

TEST_F(Posting, PostsOnlyCashInvoicesOfThePrefixAndTheRange) {
    const std::string march = "f.fave_fecha between '2016-03-01' and '2016-03-31'";
    const std::string cashFvMarch = march + " and f.fave_prefijo = 'FV' and " + kCashSale;
    std::int64_t toPost = Invoices(cashFvMarch);
    ASSERT_GT(toPost, 0);
    ASSERT_GT(Invoices(march + " and f.fave_prefijo = 'FV' and not " + kCashSale), 0);
    ASSERT_EQ(Invoices("f.fave_comprobante is not null"), 0);

    Post("01/03/2016", "31/03/2016", "FV");

    EXPECT_EQ(Invoices("f.fave_comprobante is not null"), toPost);
    EXPECT_EQ(Invoices(cashFvMarch + " and f.fave_comprobante is not null"), toPost);
    // Each invoice went into the voucher of its own day.
    EXPECT_EQ(Invoices("f.fave_comprobante is not null and f.fave_fecha <> (select comp_fecha "
                       "from comprobante where comp_id = f.fave_comprobante)"),
              0);
}

TEST_F(Posting, InvoicesOfCreditCustomersAreNeverPosted) {
    Post("01/01/2016", "31/03/2016", "FV");
    Post("01/01/2016", "31/03/2016", "CA");
    EXPECT_GT(Invoices(std::string("not ") + kCashSale), 0);
    EXPECT_EQ(Invoices(std::string("not ") + kCashSale + " and f.fave_comprobante is not null"), 0);
    EXPECT_EQ(Invoices(std::string(kCashSale) + " and f.fave_comprobante is null"), 0);
}

TEST_F(Posting, DaysWithOnlyCreditSalesGetNoVoucher) {
    // In the sample, CA sells on 5 January only to a credit customer.
    ASSERT_GT(Invoices("f.fave_prefijo = 'CA' and f.fave_fecha = '2016-01-05'"), 0);
    ASSERT_EQ(Invoices(std::string("f.fave_prefijo = 'CA' and f.fave_fecha = '2016-01-05' and ") +
                       kCashSale),
              0);
    Post("01/01/2016", "31/01/2016", "CA");
    EXPECT_EQ(
        Integer(Db.Path(), "select count(*) from comprobante where comp_fecha = '2016-01-05'"), 0);
    EXPECT_GT(Integer(Db.Path(), "select count(*) from comprobante"), 0);
}

TEST_F(Posting, WithoutAdjustmentIncomeGoesWholeToTheIncomeAccounts) {
    Post("01/01/2016", "31/03/2016", "FV");
    EXPECT_EQ(ActualEntries(),
              ExpectedEntries([](const std::string&, std::int64_t) { return 10000; }));
    EXPECT_EQ(Integer(Db.Path(), "select count(*) from movimiento where movi_cuenta = '413595'"),
              0);
}

struct FactorCase {
    const char* Name;
    const char* Rows; // inserted into AJUSTE_CIERRE before posting March
    std::map<std::int64_t, std::int64_t> MarchFactors; // rate to factor, both in 1/10000
};

void PrintTo(const FactorCase& c, std::ostream* os) {
    *os << c.Name;
}

class PostingWithFactor : public Posting, public ::testing::WithParamInterface<FactorCase> {};

TEST_P(PostingWithFactor, SplitsEachRatesIncomeByThePeriodsFactor) {
    const FactorCase& c = GetParam();
    ASSERT_EQ(Execute(Db.Path(), c.Rows).ExitCode, 0);

    std::vector<Row> rows = Post("01/03/2016", "31/03/2016", "FV");
    ASSERT_FALSE(rows.empty());

    auto factor = [&](const std::string& day, std::int64_t rate) -> std::int64_t {
        EXPECT_EQ(day.substr(0, 7), "2016-03");
        auto it = c.MarchFactors.find(rate);
        return it == c.MarchFactors.end() ? 10000 : it->second;
    };
    EXPECT_EQ(ActualEntries(), ExpectedEntries(factor));
    EXPECT_EQ(Integer(Db.Path(), "select count(*) from (select movi_comprobante from movimiento "
                                 "group by 1 having sum(movi_debito) <> sum(movi_credito))"),
              0);
}

INSTANTIATE_TEST_SUITE_P(
    Factors, PostingWithFactor,
    ::testing::Values(
        // All three 19 % tariffs match 19.0000; a factor that leaves odd cents.
        FactorCase{"EightyThreePercent",
                   "insert into ajuste_cierre values (0, '2016-03-01', '2016-03-31', 19, 0.8333);",
                   {{190000, 8333}}},
        FactorCase{"OtherPeriodsAreIgnored",
                   "insert into ajuste_cierre values (0, '2016-02-01', '2016-02-29', 5, 0.5);"
                   "insert into ajuste_cierre values (0, '2016-04-01', '2016-04-30', 19, 0.5);"
                   "insert into ajuste_cierre values (0, '2016-03-01', '2016-03-31', 0, 0.7);",
                   {{0, 7000}}},
        FactorCase{"TheLaterStartingPeriodWins",
                   "insert into ajuste_cierre values (0, '2016-03-01', '2016-03-31', 19, 0.8);"
                   "insert into ajuste_cierre values (0, '2016-01-01', '2016-12-31', 19, 0.5);",
                   {{190000, 8000}}},
        FactorCase{"ZeroMovesAllIncome",
                   "insert into ajuste_cierre values (0, '2016-03-01', '2016-03-31', 5, 0);",
                   {{50000, 0}}},
        FactorCase{"AboveOneDebitsTheAdjustment",
                   "insert into ajuste_cierre values (0, '2016-03-01', '2016-03-31', 19, 1.25);"
                   "insert into ajuste_cierre values (0, '2016-03-01', '2016-03-31', 5, 0.8);",
                   {{190000, 12500}, {50000, 8000}}},
        FactorCase{"RowsWithoutFactorOrDatesDoNotCount",
                   "insert into ajuste_cierre values (0, '2016-03-01', '2016-03-31', 19, null);"
                   "insert into ajuste_cierre values (0, null, '2016-03-31', 5, 0.5);",
                   {}}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(Posting, AFactorAboveOneLeavesADebitOnTheAdjustmentAccount) {
    Execute(Db.Path(),
            "insert into ajuste_cierre values (0, '2016-03-01', '2016-03-31', 19, 1.25);");
    Post("01/03/2016", "31/03/2016", "FV");
    EXPECT_GT(Integer(Db.Path(), "select count(*) from movimiento where movi_cuenta = '413595' "
                                 "and movi_debito > 0 and movi_credito = 0"),
              0);
}

TEST_F(Posting, ASecondRunPostsNothingAndReturnsNoRow) {
    ASSERT_FALSE(Post("01/03/2016", "31/03/2016", "FV").empty());
    std::string after = Snapshot();
    EXPECT_TRUE(Post("01/03/2016", "31/03/2016", "FV").empty());
    EXPECT_EQ(Snapshot(), after);
}

// A concurrent run may post a day between this run listing it and posting
// it; the day's voucher must then not be left behind empty.
TEST_F(Posting, ADayWithNothingLeftToPostLeavesNoVoucher) {
    ASSERT_EQ(Post("01/03/2016", "01/03/2016", "FV").size(), 1u);
    std::string before = Snapshot();
    testsupport::CommandResult r =
        Execute(Db.Path(), "execute procedure contabilizar_dia_contado('2016-03-01', 'FV', "
                           "'222222222222', '110505', 999);");
    ASSERT_EQ(r.ExitCode, 0) << r.Output;
    EXPECT_EQ(Snapshot(), before);
}

TEST_F(Posting, AWiderRangePostsOnlyWhatIsLeft) {
    std::vector<Row> first = Post("01/03/2016", "15/03/2016", "FV");
    std::vector<Row> second = Post("01/03/2016", "31/03/2016", "FV");
    ASSERT_FALSE(first.empty());
    ASSERT_FALSE(second.empty());
    EXPECT_LE(first.back()["FECHA"], "2016-03-15");
    EXPECT_GT(second.front()["FECHA"], "2016-03-15");
    EXPECT_GT(std::stoi(second.front()["NUMERO"]), std::stoi(first.back()["NUMERO"]));
}

TEST_F(Posting, DayFirstAndIsoDatesNameTheSameDay) {
    for (const char* text : {"01/03/2016", "1/3/2016", "2016-03-01"}) {
        CompanyDb fresh;
        std::vector<Row> rows =
            Query(fresh.Path(), "select * from contado_mverde_pref(" + Quoted(text) + ", " +
                                    Quoted(text) + ", 'FV')");
        ASSERT_EQ(rows.size(), 1u) << text;
        EXPECT_EQ(rows[0]["FECHA"], "2016-03-01") << text;
        EXPECT_EQ(Integer(fresh.Path(), "select count(*) from comprobante where comp_fecha <> "
                                        "'2016-03-01'"),
                  0)
            << text;
    }
}

TEST_F(Posting, BadDateTextIsRefusedAndNothingIsWritten) {
    std::string before = Snapshot();
    for (const char* bad : {"2016/31/03", "31-03-2016x", "", "hoy", "31/02/2016"}) {
        for (bool atStart : {true, false}) {
            std::string from = atStart ? bad : "01/03/2016";
            std::string to = atStart ? "31/03/2016" : bad;
            testsupport::CommandResult r =
                Execute(Db.Path(), "select * from contado_mverde_pref(" + Quoted(from) + ", " +
                                       Quoted(to) + ", 'FV');");
            SCOPED_TRACE(std::string("date text '") + bad + "'" +
                         (atStart ? " as start" : " as end"));
            EXPECT_NE(r.ExitCode, 0);
            EXPECT_NE(r.Output.find("E_FECHA_INCORRECTA"), std::string::npos) << r.Output;
            EXPECT_NE(r.Output.find(std::string("Fecha incorrecta: \"") + bad + "\""),
                      std::string::npos)
                << r.Output;
        }
    }
    EXPECT_EQ(Snapshot(), before);
}

TEST_F(Posting, AStartAfterTheEndPostsNothing) {
    std::string before = Snapshot();
    EXPECT_TRUE(Post("31/03/2016", "01/03/2016", "FV").empty());
    EXPECT_EQ(Snapshot(), before);
}

TEST_F(Posting, ThePrefixIsComparedAsAValue) {
    std::string before = Snapshot();
    for (const char* prefix : {"fv", "F", "%", "FV%", "", "FV' or 1=1 --", "FVFVFVFV"})
        EXPECT_TRUE(Post("01/01/2016", "31/03/2016", prefix).empty()) << prefix;
    EXPECT_EQ(Snapshot(), before);
}

TEST_F(Posting, SqlInsideThePrefixIsNeverRun) {
    ASSERT_FALSE(Post("01/01/2016", "31/01/2016", "FV").empty());
    std::string before = Snapshot();
    for (const char* prefix :
         {"x'); delete from factura_venta; --", "x'); delete from movimiento; --",
          "FV'', ''x''); delete from comprobante; --"})
        EXPECT_TRUE(Post("01/01/2016", "31/03/2016", prefix).empty()) << prefix;
    EXPECT_EQ(Snapshot(), before);
}

TEST_F(Posting, EveryWriteIsDoneBeforeTheFirstRow) {
    std::int64_t toPost = Invoices(std::string("f.fave_prefijo = 'FV' and ") + kCashSale);
    // The block stops reading after one row, as a client that fetches one packet
    // and closes its cursor would.
    testsupport::CommandResult r =
        Execute(Db.Path(),
                "SET TERM ^;\n"
                "EXECUTE BLOCK AS DECLARE N INTEGER; BEGIN\n"
                "  FOR SELECT NUMERO FROM CONTADO_MVERDE_PREF('01/01/2016', '31/03/2016', 'FV')\n"
                "    INTO N DO LEAVE;\n"
                "END^\n"
                "SET TERM ;^\n");
    ASSERT_EQ(r.ExitCode, 0) << r.Output;
    EXPECT_EQ(Invoices("f.fave_comprobante is not null"), toPost);
    EXPECT_EQ(Integer(Db.Path(), "select count(*) from comprobante where comp_total = 0 or "
                                 "comp_facturas = 0"),
              0);
}

} // namespace
