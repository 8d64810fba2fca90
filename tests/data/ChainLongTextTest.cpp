// Long texts through the window's chain, SQL query → provider → client
// dataset, with MaxBlobSize -1 as the window sets it: a text blob, the
// longest string a UTF8 column holds and a long string of a column without
// character set (as older company schemas have them) must read back whole,
// and a row holding them must take an edit of its other columns.

#include "TSQLDataSetFixtures.h"

#include "data/TField.h"
#include "platform/Exceptions.h"
#include "support/FirebirdServer.h"

#include <gtest/gtest.h>

using namespace sqlfixtures;

namespace {

// What the server's RPAD('', characters, pattern) gives: the pattern
// repeated and cut after that many characters (UTF-8 text).
std::string repeated(const std::string& pattern, size_t characters) {
    std::vector<std::string> chars;
    for (unsigned char byte : pattern) {
        if ((byte & 0xC0) != 0x80) chars.emplace_back();
        chars.back() += static_cast<char>(byte);
    }
    std::string out;
    for (size_t i = 0; i < characters; ++i)
        out += chars[i % chars.size()];
    return out;
}

const std::string kTexto = repeated("Año contable: café, pingüino. ", 40000);
const std::string kLargo = repeated("€😀a", 8191);
const std::string kMasLargo = repeated("Texto largo; ", 16000);

// The database's default character set is WIN1252, as the company's; the
// script runs over a UTF8 connection.
const char* const kSchema = R"(
CREATE TABLE NOTAS (
    ID        INTEGER NOT NULL,
    TITULO    VARCHAR(40),
    TEXTO     BLOB SUB_TYPE TEXT,
    LARGO     VARCHAR(8191) CHARACTER SET UTF8,
    MAS_LARGO VARCHAR(16000) CHARACTER SET NONE,
    CONSTRAINT PK_NOTAS PRIMARY KEY (ID));
INSERT INTO NOTAS VALUES (1, 'Cierre de marzo',
    RPAD(CAST('' AS BLOB SUB_TYPE TEXT), 40000, 'Año contable: café, pingüino. '),
    RPAD('', 8191, '€😀a'), RPAD('', 16000, 'Texto largo; '));
INSERT INTO NOTAS VALUES (2, 'Vacía', NULL, '', NULL);
)";

class ChainLongText : public ::testing::Test {
protected:
    void SetUp() override {
        Database = Dir.File("notas.fdb");
        testsupport::CreateDatabase(Database, kSchema);
        Connection = NewConnection(Database, &Owner);
        Query = new TSQLQuery(&Owner);
        Query->SetName("QNotas");
        Query->SetSQLConnection(Connection);
        Query->SetMaxBlobSize(-1);
        Query->SetCommandText("select * from NOTAS order by ID");
        Provider = new TDataSetProvider(&Owner);
        Provider->SetName("PNotas");
        Provider->SetDataSet(Query);
        Client = new TClientDataSet(&Owner);
        Client->SetName("CNotas");
        Client->SetProviderName("PNotas");
        Client->SetPacketRecords(1000);
    }
    // The first row's values as the dataset shows them.
    std::vector<std::string> firstRow(TDataSet& d) {
        std::vector<std::string> values;
        for (const char* name : {"ID", "TITULO", "TEXTO", "LARGO", "MAS_LARGO"})
            values.push_back(d.FieldByName(name)->AsString());
        return values;
    }
    std::vector<std::string> expectedFirstRow(const std::string& titulo) {
        return {"1", titulo, kTexto, kLargo, kMasLargo};
    }

    testsupport::TempDir Dir;
    std::string Database;
    TComponent Owner;
    TSQLConnection* Connection = nullptr;
    TSQLQuery* Query = nullptr;
    TDataSetProvider* Provider = nullptr;
    TClientDataSet* Client = nullptr;
};

} // namespace

TEST_F(ChainLongText, EveryValueReadsBackWholeAndAnEditOfAnotherColumnApplies) {
    // What the database holds, counted by the server itself.
    ASSERT_EQ(Rows(*Connection, "select char_length(TEXTO), octet_length(LARGO), "
                                "char_length(LARGO), octet_length(MAS_LARGO) from NOTAS "
                                "where ID = 1"),
              std::vector<std::string>{"40000|" + std::to_string(kLargo.size()) + "|8191|16000"});

    Query->Open();
    EXPECT_EQ(firstRow(*Query), expectedFirstRow("Cierre de marzo"));
    Query->Close();

    Client->Open();
    ASSERT_EQ(Client->RecordCount(), 2);
    EXPECT_EQ(firstRow(*Client), expectedFirstRow("Cierre de marzo"));
    Client->Next();
    EXPECT_TRUE(Client->FieldByName("TEXTO")->IsNull());
    EXPECT_EQ(Client->FieldByName("LARGO")->AsString(), "");
    EXPECT_TRUE(Client->FieldByName("MAS_LARGO")->IsNull());

    Client->First();
    Client->Edit();
    Client->FieldByName("TITULO")->SetAsString("Cierre revisado");
    Client->Post();
    EXPECT_EQ(Client->ApplyUpdates(0), 0);
    EXPECT_EQ(Client->ChangeCount(), 0);
    EXPECT_EQ(Rows(*Connection, "select TITULO from NOTAS order by ID"),
              (std::vector<std::string>{"Cierre revisado", "Vacía"}));

    // Read again, the long values are as they were.
    Client->Close();
    Client->Open();
    EXPECT_EQ(firstRow(*Client), expectedFirstRow("Cierre revisado"));
}

// Past what a string field of the engine can hold, the value is refused with
// its field named; it is never cut.
TEST_F(ChainLongText, ABlobLongerThanAFieldCanHoldIsRefusedNotCut) {
    Exec(*Connection, "update NOTAS set TEXTO = rpad(cast('' as blob sub_type text), 70000, "
                      "'x') where ID = 2");
    try {
        Client->Open();
        FAIL() << "the open succeeded";
    } catch (const EOleException& e) {
        EXPECT_STREQ(e.what(), "Value of field 'TEXTO' is longer than 65535 bytes");
    }
    EXPECT_FALSE(Client->Active());
    EXPECT_FALSE(Query->Active());
}
