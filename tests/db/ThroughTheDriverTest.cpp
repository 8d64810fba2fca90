// The posting as the program runs it: the statement text through the
// connection and the driver module, with the cursor closed after one row.

#include "CompanyDb.h"

#include "data/TField.h"
#include "data/TSQLConnection.h"
#include "data/TSQLQuery.h"

#include <gtest/gtest.h>

#include <memory>

using namespace dbtest;

namespace {

// Set up as the window's connection, on the company database.
std::unique_ptr<TSQLConnection> Connect(const std::string& database) {
    auto c = std::make_unique<TSQLConnection>();
    c->SetConnectionName("Talvero");
    c->SetDriverName("Interbase");
    c->SetLibraryName("libfbdriver.so");
    c->SetGetDriverFunc("getSQLDriverINTERBASE");
    c->SetVendorLib("libfbclient.so.2");
    c->SetLoginPrompt(false);
    for (const char* line :
         {"DriverName=Interbase", "BlobSize=-1", "CommitRetain=False",
          "ErrorResourceFile=", "LocaleCode=0000", "Password=masterkey", "SQLDialect=3",
          "Interbase TransIsolation=ReadCommited", "User_Name=sysdba", "WaitOnLocks=True"})
        c->Params().Add(line);
    c->Params().Add("Database=" + database);
    c->Open();
    return c;
}

const char* const kPosting = "select * from contado_mverde_pref('01/03/2016', '31/03/2016', 'FV')";

TEST(ThroughTheDriver, OneRowReadAndTheCursorClosedPostsTheWholeRange) {
    CompanyDb db;
    std::int64_t toPost = Integer(db.Path(), "select count(*) from factura_venta f join cliente c "
                                             "on c.clie_id = f.fave_cliente where c.clie_nit = "
                                             "'222222222222' and f.fave_prefijo = 'FV' and "
                                             "f.fave_fecha between '2016-03-01' and '2016-03-31'");
    {
        std::unique_ptr<TSQLConnection> connection = Connect(db.Path());
        TSQLQuery query;
        query.SetSQLConnection(connection.get());
        query.SetCommandText(kPosting);
        query.Open();
        ASSERT_FALSE(query.Eof());
        EXPECT_EQ(query.FieldByName("NUMERO")->AsInteger(), 1);
        query.Close();
        connection->Close();
    }
    EXPECT_EQ(Integer(db.Path(), "select count(*) from factura_venta where fave_comprobante is "
                                 "not null"),
              toPost);
    EXPECT_EQ(Integer(db.Path(), "select count(distinct comp_fecha) from comprobante where "
                                 "comp_fecha between '2016-03-01' and '2016-03-31'"),
              Integer(db.Path(), "select count(*) from comprobante"));

    // Run again, the posting finds nothing left.
    std::unique_ptr<TSQLConnection> connection = Connect(db.Path());
    TSQLQuery again;
    again.SetSQLConnection(connection.get());
    again.SetCommandText(kPosting);
    again.Open();
    EXPECT_TRUE(again.Eof());
    again.Close();
}

} // namespace
