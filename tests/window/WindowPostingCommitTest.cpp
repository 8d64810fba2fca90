// The end of the posting run's transaction. A procedure that returns more
// than one packet of rows is committed only when the dataset closes after
// the first packet; a commit the server refuses there, or a server that is
// gone by then, must reach the user as an error with the window left open,
// never as the silent close of a successful run.
//
// The company's posting procedure is replaced by one that writes a row of
// its own before returning as many rows as the prefix says, so that the
// packets and what the database kept can be counted.

#include "CompanyWindowFixture.h"

#include "support/FirebirdServer.h"

using companytest::TypeText;
using guitest::PressKey;
using testsupport::FirebirdServer;

namespace {

// A commit-time check that refuses any transaction that posted while the
// switch row says so; it lets every other transaction (readers, the
// switch's own update) through.
const char* const kPostingThatCountsItsRows = R"(
CREATE TABLE POSTEO (TRANSACCION BIGINT);
CREATE TABLE INTERRUPTOR (FALLAR SMALLINT);
INSERT INTO INTERRUPTOR VALUES (0);
CREATE EXCEPTION E_CIERRE_RECHAZADO 'El servidor rechaza el cierre de la contabilizacion';
SET TERM ^;
CREATE OR ALTER PROCEDURE CONTADO_MVERDE_PREF (FECINI VARCHAR(10), FECFIN VARCHAR(10),
                                               PREFIJO VARCHAR(10))
RETURNS (FILA INTEGER)
AS
BEGIN
    INSERT INTO POSTEO VALUES (CURRENT_TRANSACTION);
    FILA = 0;
    WHILE (FILA < CAST(PREFIJO AS INTEGER)) DO
    BEGIN
        FILA = FILA + 1;
        SUSPEND;
    END
END^
CREATE TRIGGER RECHAZAR_CIERRE ON TRANSACTION COMMIT
AS
BEGIN
    IF (EXISTS (SELECT 1 FROM INTERRUPTOR WHERE FALLAR = 1) AND
        EXISTS (SELECT 1 FROM POSTEO WHERE TRANSACCION = CURRENT_TRANSACTION)) THEN
        EXCEPTION E_CIERRE_RECHAZADO;
END^
SET TERM ;^
)";

const char* const kRefusal = "El servidor rechaza el cierre de la contabilizacion";

} // namespace

class PostingCommitTest : public CompanyWindowTest {
protected:
    PostingCommitTest() { testsupport::RunIsql(database(), kPostingThatCountsItsRows); }

    // Connected, with fixed dates, and a prefix that asks for rows rows.
    Tfcontavtascontado* readyToPost(int rows) {
        Tfcontavtascontado* w = showWindow();
        connectAsUser(w, "SYSDBA", "x", "01");
        typeDate(w->EFecIni, 2016, 3, 1);
        typeDate(w->EFecFin, 2016, 3, 2);
        w->Pref->SetFocus();
        TypeText(std::to_string(rows));
        return w;
    }
    std::string postings() { return companytest::Value(reader(), "select count(*) from POSTEO"); }
    void refuseCommits(bool refuse) {
        reader().Execute(std::string("update INTERRUPTOR set FALLAR = ") + (refuse ? "1" : "0"),
                         TParams());
    }
};

TEST_F(PostingCommitTest, ACommitTheServerRefusesIsShownAndKeepsTheWindowWhateverTheRowCount) {
    // Up to 1000 rows the end of the result set comes inside the first
    // packet; from 1001 on it comes when the dataset closes.
    for (int rows : {3, 1000, 1001, 2500}) {
        Tfcontavtascontado* w = readyToPost(rows);
        refuseCommits(true);
        PressKey(Qt::Key_F2);

        const std::vector<TDialogBox> boxes = env.Dialogs.Boxes();
        ASSERT_EQ(boxes.size(), 1u) << rows;
        EXPECT_EQ(boxes[0].kind, TDialogBox::Exception) << rows;
        EXPECT_EQ(boxes[0].Title, ApplicationTitle()) << rows;
        EXPECT_NE(boxes[0].Text.find(kRefusal), std::string::npos) << rows << ": " << boxes[0].Text;
        EXPECT_FALSE(app->Terminated()) << rows;
        EXPECT_TRUE(w->Showing()) << rows;
        EXPECT_FALSE(w->CRepArticulos->Active()) << rows;
        EXPECT_FALSE(w->SQLQuery1->Active()) << rows;
        EXPECT_EQ(postings(), "0") << rows;

        // Once the server accepts, the same window posts and closes.
        refuseCommits(false);
        env.Dialogs.Clear();
        w->Pref->SetFocus();
        PressKey(Qt::Key_F2);
        EXPECT_TRUE(env.Dialogs.Boxes().empty()) << rows;
        EXPECT_TRUE(app->Terminated()) << rows;
        EXPECT_EQ(postings(), "1") << rows;

        app.reset();
        fcontavtascontado = nullptr;
        reader().Execute("delete from POSTEO", TParams());
    }
}

// The window over a company database served by a Firebird server of its
// own on the loopback address.
class PostingServerTest : public CompanyWindowTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(server.Start()) << server.Error();
        const std::string folder = server.DataFolder();
        companytest::CopyCompanyDatabase(served());
        testsupport::RunIsql(served(), kPostingThatCountsItsRows);
        writeServers("127.0.0.1/" + std::to_string(server.Port()) + ":" + folder + "\r\n");
    }
    std::string served() const { return server.DataFolder() + "/datos/01/talvero.fdb"; }

    FirebirdServer server;
};

TEST_F(PostingServerTest, AServerThatDiesBeforeTheCloseIsShownAndNothingIsKept) {
    Tfcontavtascontado* w = showWindow();
    connectAsUser(w, "SYSDBA", FirebirdServer::Password, "01");
    ASSERT_TRUE(w->Talvero->Connected())
        << (env.Dialogs.Boxes().empty() ? std::string() : env.Dialogs.Boxes()[0].Text);
    ASSERT_EQ(w->Talvero->Params().Values("Database"), server.DatabaseUrl(served()));
    typeDate(w->EFecIni, 2016, 3, 1);
    typeDate(w->EFecFin, 2016, 3, 2);
    w->Pref->SetFocus();
    TypeText("1001");
    // The first packet is in; the rest of the result set and its commit are
    // still to come.
    int packets = 0;
    w->CRepArticulos->AfterOpen = [&](TDataSet* d) {
        ++packets;
        EXPECT_EQ(d->RecordCount(), 1000);
        server.Kill();
    };
    PressKey(Qt::Key_F2);

    ASSERT_EQ(packets, 1);
    const std::vector<TDialogBox> boxes = env.Dialogs.Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].kind, TDialogBox::Exception);
    EXPECT_NE(boxes[0].Text.find("SQL Server Error: "), std::string::npos) << boxes[0].Text;
    EXPECT_FALSE(app->Terminated());
    EXPECT_TRUE(w->Showing());
    EXPECT_FALSE(w->CRepArticulos->Active());

    // The server took the posting's writes down with it.
    app.reset();
    fcontavtascontado = nullptr;
    auto lector = companytest::NewConnection(served());
    lector->Open();
    EXPECT_EQ(companytest::Value(*lector, "select count(*) from POSTEO"), "0");
}
