// Opening and closing the connection: the configuration checks, loading the
// driver, the events, the hourglass, failures that leave it closed with its
// parameters, and opening on demand.

#include "TSQLConnectionTestSupport.h"
#include "support/FirebirdServer.h"
#include "support/TestSupport.h"

#include "platform/Exceptions.h"
#include "platform/Screen.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

using connectiontest::ConfigureLikeTheWindow;

namespace {

class TSQLConnectionConnectTest : public ::testing::Test {
protected:
    void SetUp() override {
        db = dir.File("talvero.fdb");
        testsupport::CreateDatabase(db, "CREATE TABLE X (ID INTEGER NOT NULL PRIMARY KEY, "
                                        "NAME VARCHAR(20), PAD CHAR(6));");
        ConfigureLikeTheWindow(c, db);
    }
    void TearDown() override { SetScreenCursorHandler(nullptr); }

    std::string failure(const std::function<void()>& action) {
        try {
            action();
        } catch (const EDatabaseError& e) {
            return e.what();
        } catch (const std::exception& e) {
            return std::string("other exception: ") + e.what();
        }
        return "no exception";
    }

    testsupport::TempDir dir;
    std::string db;
    TSQLConnection c;
};

// A client that gives up its statement when told, as an SQL dataset does.
class Client : public TSQLConnectionClient {
public:
    explicit Client(TSQLConnection& c) : C(c) { C.RegisterClient(this); }
    ~Client() override { C.UnregisterClient(this); }
    void ConnectionClosing() override {
        ++Closing;
        Command.reset();
    }
    void ConnectionOpened() override { ++Opened; }
    TSQLConnection& C;
    std::unique_ptr<ISQLCommand> Command;
    int Closing = 0, Opened = 0;
};

} // namespace

TEST_F(TSQLConnectionConnectTest, OpensAndClosesWithItsEvents) {
    std::vector<std::string> events;
    c.BeforeConnect = [&](TObject* s) {
        events.push_back(std::string("BeforeConnect ") + (c.Connected() ? "open" : "closed"));
        EXPECT_EQ(s, &c);
    };
    c.AfterConnect = [&](TObject*) {
        events.push_back(std::string("AfterConnect ") + (c.Connected() ? "open" : "closed"));
    };
    c.BeforeDisconnect = [&](TObject*) {
        events.push_back(std::string("BeforeDisconnect ") + (c.Connected() ? "open" : "closed"));
    };
    c.AfterDisconnect = [&](TObject*) {
        events.push_back(std::string("AfterDisconnect ") + (c.Connected() ? "open" : "closed"));
    };
    c.SetConnected(true);
    EXPECT_TRUE(c.Connected());
    EXPECT_EQ(c.State(), TConnectionState::csStateOpen);
    c.SetConnected(true); // already open: nothing
    c.Close();
    EXPECT_FALSE(c.Connected());
    c.Close(); // already closed: nothing
    EXPECT_EQ(events,
              (std::vector<std::string>{"BeforeConnect closed", "AfterConnect open",
                                        "BeforeDisconnect open", "AfterDisconnect closed"}));
}

TEST_F(TSQLConnectionConnectTest, MetaDataGivesQuoteAndTransactionSupport) {
    c.Open();
    EXPECT_EQ(c.QuoteChar(), "\"");
    EXPECT_TRUE(c.TransactionsSupported());
    EXPECT_FALSE(c.MultipleTransactionsSupported());
    EXPECT_EQ(c.LocaleCode(), 0);
    EXPECT_EQ(c.DefaultBlobSize(), -1);
}

TEST_F(TSQLConnectionConnectTest, ShowsTheHourglassWhileConnecting) {
    std::vector<int> cursors;
    SetScreenCursorHandler([&](int cursor) { cursors.push_back(cursor); });
    c.Open();
    EXPECT_EQ(cursors, (std::vector<int>{crHourGlass, crDefault}));
    c.Close();

    // And the default comes back when the connect fails.
    cursors.clear();
    c.Params().SetValues("Database", dir.File("none.fdb"));
    failure([&] { c.Open(); });
    EXPECT_EQ(cursors, (std::vector<int>{crHourGlass, crDefault}));
    EXPECT_EQ(ScreenCursor(), crDefault);
}

TEST_F(TSQLConnectionConnectTest, ConfigurationIsCheckedFirst) {
    struct Case {
        std::function<void(TSQLConnection&)> Change;
        const char* Message;
    } cases[] = {
        {[](TSQLConnection& x) { x.SetDriverName(""); }, "Missing DriverName property"},
        {[](TSQLConnection& x) { x.SetLibraryName(""); }, "DLL/Shared Library Name not Set"},
        {[](TSQLConnection& x) { x.SetVendorLib(""); }, "DLL/Shared Library Name not Set"},
        {[](TSQLConnection& x) { x.Params().SetValues("Database", ""); },
         "Missing Database property"},
        {[](TSQLConnection& x) { x.Params().SetValues("Database", "   "); },
         "Missing Database property"},
        {[](TSQLConnection& x) {
             x.Params().SetValues("Database", "");
             x.SetConnectionName("");
         },
         "Connection name missing"},
        {[](TSQLConnection& x) {
             x.SetDriverName("");
             x.Params().SetValues("Database", "");
         },
         "Missing DriverName property"},
        {[](TSQLConnection& x) { x.SetLibraryName("libfbdriver-missing.so"); },
         "Unable to Load libfbdriver-missing.so"},
        {[](TSQLConnection& x) { x.SetLibraryName(" libfbdriver-missing.so "); },
         "Unable to Load libfbdriver-missing.so"},
        {[](TSQLConnection& x) { x.SetGetDriverFunc("getSQLDriverNONE"); },
         "Unable to Find Procedure getSQLDriverNONE"},
        {[](TSQLConnection& x) { x.SetVendorLib("libfbclient-missing.so.2"); },
         "Unable to Load libfbclient-missing.so.2"},
    };
    for (const Case& k : cases) {
        TSQLConnection x;
        ConfigureLikeTheWindow(x, db);
        k.Change(x);
        std::string before = x.Params().Text();
        bool events = false;
        x.AfterConnect = [&](TObject*) { events = true; };
        EXPECT_EQ(failure([&] { x.Open(); }), k.Message);
        EXPECT_FALSE(x.Connected());
        EXPECT_EQ(x.State(), TConnectionState::csStateClosed);
        EXPECT_EQ(x.Params().Text(), before);
        EXPECT_FALSE(events);
    }
}

TEST_F(TSQLConnectionConnectTest, IntegerParametersThatAreNotNumbersStopTheConnect) {
    struct Case {
        const char* Name;
        const char* Value;
        const char* Message;
    } cases[] = {
        {"SQLDialect", "three", "'three' is not a valid integer value"},
        {"BlobSize", "big", "'big' is not a valid integer value"},
        {"Connection Timeout", "soon", "'soon' is not a valid integer value"},
    };
    for (const Case& k : cases) {
        TSQLConnection x;
        ConfigureLikeTheWindow(x, db);
        x.Params().SetValues(k.Name, k.Value);
        try {
            x.Open();
            ADD_FAILURE() << k.Name;
        } catch (const EConvertError& e) {
            EXPECT_STREQ(e.what(), k.Message);
        }
        EXPECT_FALSE(x.Connected()) << k.Name;
        EXPECT_EQ(x.State(), TConnectionState::csStateClosed);
    }
}

TEST_F(TSQLConnectionConnectTest, FailedConnectLeavesItClosedAndTheNextTryUsesTheSameParameters) {
    std::string missing = dir.File("later.fdb");
    c.Params().SetValues("Database", missing);
    std::string before = c.Params().Text();
    EXPECT_EQ(failure([&] { c.Open(); }),
              "Database Error: [0x0015]: Connection failed\r\nSQL Server Error: I/O error during "
              "\"open\" operation for file \"" +
                  missing + "\" Error while trying to open file No such file or directory");
    EXPECT_FALSE(c.Connected());
    EXPECT_EQ(c.State(), TConnectionState::csStateClosed);
    EXPECT_EQ(c.Params().Text(), before);

    // The database appears; running a statement opens the connection on
    // demand with the parameters it holds.
    testsupport::CreateDatabase(missing, "CREATE TABLE Y (ID INTEGER);");
    TParams none;
    EXPECT_EQ(c.Execute("INSERT INTO Y VALUES (1)", none), 1);
    EXPECT_TRUE(c.Connected());
}

TEST_F(TSQLConnectionConnectTest, OpeningOnDemandUsesTheParametersOfTheMoment) {
    std::string other = dir.File("other.fdb");
    testsupport::CreateDatabase(other, "CREATE TABLE ONLY_OTHER (ID INTEGER);");
    c.Params().SetValues("Database", other);
    int connects = 0;
    c.AfterConnect = [&](TObject*) { ++connects; };
    auto command = c.CreateCommand();
    EXPECT_TRUE(c.Connected());
    EXPECT_EQ(connects, 1);
    EXPECT_EQ(command->prepare("SELECT * FROM ONLY_OTHER", 0), DBXERR_NONE);
    command.reset();
    c.Close();

    c.Params().SetValues("Database", db);
    c.StartTransaction(c.DefaultTransactionDesc());
    EXPECT_TRUE(c.Connected());
    EXPECT_TRUE(c.InTransaction());
    EXPECT_EQ(connects, 2);
    TParams none;
    EXPECT_EQ(c.Execute("INSERT INTO X (ID) VALUES (1)", none), 1);
    c.Commit(c.DefaultTransactionDesc());
}

TEST_F(TSQLConnectionConnectTest, ClientsAreToldBeforeTheConnectionCloses) {
    Client a(c), b(c);
    c.Open();
    EXPECT_EQ(a.Opened, 1);
    a.Command = c.CreateCommand();
    ASSERT_EQ(a.Command->prepare("SELECT * FROM X", 0), DBXERR_NONE);
    c.UnregisterClient(&b);
    c.Close();
    EXPECT_EQ(a.Closing, 1);
    EXPECT_EQ(a.Command, nullptr);
    EXPECT_EQ(b.Closing, 0);
    c.Close();
    EXPECT_EQ(a.Closing, 1);
}

TEST_F(TSQLConnectionConnectTest, DestroyingAnOpenConnectionFiresNoEvents) {
    auto* owner = new TComponent;
    auto* x = new TSQLConnection(owner);
    ConfigureLikeTheWindow(*x, db);
    x->Open();
    bool fired = false;
    x->BeforeDisconnect = [&](TObject*) { fired = true; };
    x->AfterDisconnect = [&](TObject*) { fired = true; };
    Client client(c); // a client of another connection is not affected
    delete owner;
    EXPECT_FALSE(fired);
    EXPECT_EQ(client.Closing, 0);
}

TEST_F(TSQLConnectionConnectTest, BooleanParametersAreTrueOnlyForTheWordTrue) {
    TParams none;
    c.Execute("INSERT INTO X (ID, PAD) VALUES (1, 'ab')", none);
    struct Case {
        const char* Value;
        bool Trimmed;
    } cases[] = {
        {"True", true}, {" true ", true}, {"TRUE", true},   {"yes", false},
        {"1", false},   {"", false},      {"False", false},
    };
    for (const Case& k : cases) {
        TSQLConnection x;
        ConfigureLikeTheWindow(x, db);
        x.Params().Add(std::string("Trim Char=") + k.Value);
        x.Open();
        auto command = x.CreateCommand();
        ASSERT_EQ(command->prepare("SELECT PAD FROM X", 0), DBXERR_NONE);
        ISQLCursor* raw = nullptr;
        ASSERT_EQ(command->execute(&raw), DBXERR_NONE);
        std::unique_ptr<ISQLCursor> cursor(raw);
        ASSERT_EQ(cursor->next(), DBXERR_NONE);
        TDBXValue v;
        cursor->getValue(1, v);
        EXPECT_EQ(v.Text, k.Trimmed ? "ab" : "ab    ") << "'" << k.Value << "'";
    }
}

TEST_F(TSQLConnectionConnectTest, WaitOnLocksDecidesWhetherAConflictWaits) {
    TParams none;
    c.Execute("INSERT INTO X (ID) VALUES (1)", none);
    c.StartTransaction(c.DefaultTransactionDesc());
    c.Execute("UPDATE X SET NAME = 'a'", none);

    // Not "True": the conflict is reported at once.
    TSQLConnection noWait;
    ConfigureLikeTheWindow(noWait, db);
    noWait.Params().SetValues("WaitOnLocks", "yes");
    std::string message = failure([&] { noWait.Execute("UPDATE X SET NAME = 'b'", none); });
    EXPECT_NE(message.find("update conflicts with concurrent update"), std::string::npos)
        << message;

    // " true ": it waits until the other transaction ends.
    TSQLConnection waits;
    ConfigureLikeTheWindow(waits, db);
    waits.Params().SetValues("WaitOnLocks", " true ");
    waits.Open();
    std::atomic<bool> done{false};
    int rows = -1;
    std::string waitFailure;
    std::thread t([&] {
        waitFailure = failure([&] { rows = waits.Execute("UPDATE X SET NAME = 'c'", none); });
        done = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    EXPECT_FALSE(done);
    c.Rollback(c.DefaultTransactionDesc());
    t.join();
    EXPECT_EQ(waitFailure, "no exception");
    EXPECT_EQ(rows, 1);
}
