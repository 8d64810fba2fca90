// LEER_FECHA: the date texts the posting accepts and the ones it refuses.

#include "CompanyDb.h"

#include <gtest/gtest.h>

using namespace dbtest;

namespace {

class DateText : public ::testing::Test {
protected:
    static void SetUpTestSuite() { Db = new CompanyDb(false); }
    static void TearDownTestSuite() {
        delete Db;
        Db = nullptr;
    }
    static CompanyDb* Db;
};

CompanyDb* DateText::Db = nullptr;

TEST_F(DateText, ReadsDayFirstAndIsoTexts) {
    const std::pair<const char*, const char*> cases[] = {
        {"01/03/2016", "2016-03-01"}, {"1/3/2016", "2016-03-01"},     {"31/03/2016", "2016-03-31"},
        {"29/02/2016", "2016-02-29"}, {"29/02/2000", "2000-02-29"},   {"2016-03-01", "2016-03-01"},
        {"2016-3-1", "2016-03-01"},   {" 01/03/2016 ", "2016-03-01"}, {"31/12/9999", "9999-12-31"},
        {"01/01/0001", "0001-01-01"},
    };
    for (const auto& [text, date] : cases)
        EXPECT_EQ(Scalar(Db->Path(), "select leer_fecha(" + Quoted(text) + ") from rdb$database"),
                  date)
            << text;
}

TEST_F(DateText, RefusesEverythingElseNamingTheText) {
    const char* const cases[] = {
        "2016/31/03",  "31-03-2016x",      "",
        "hoy",         "29/02/2015",       "29/02/1900",
        "31/04/2016",  "32/01/2016",       "01/13/2016",
        "00/01/2016",  "01/00/2016",       "01/03/0000",
        "01/03/16",    "01.03.2016",       "2016/03/01",
        "x01/03/2016", "01/03/2016 10:00", "2016-03-01x",
        "123/03/2016", "-1/03/2016",
    };
    for (const char* text : cases) {
        testsupport::CommandResult r =
            Execute(Db->Path(), "select leer_fecha(" + Quoted(text) + ") from rdb$database;");
        EXPECT_NE(r.ExitCode, 0) << text;
        EXPECT_NE(r.Output.find("E_FECHA_INCORRECTA"), std::string::npos) << text << r.Output;
        EXPECT_NE(r.Output.find(std::string("Fecha incorrecta: \"") + text + "\""),
                  std::string::npos)
            << r.Output;
    }
}

TEST_F(DateText, RefusesNull) {
    testsupport::CommandResult r =
        Execute(Db->Path(), "select leer_fecha(null) from rdb$database;");
    EXPECT_NE(r.ExitCode, 0);
    EXPECT_NE(r.Output.find("Fecha incorrecta: \"(nula)\""), std::string::npos) << r.Output;
}

} // namespace
