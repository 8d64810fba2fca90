// What the driver makes of a database name: a local file or a server (host,
// port, path), and the name the Firebird client is given. A drive letter is
// a local file here, never the host "C" the client would look up.

#include "data/firebird/FbDatabaseName.h"

#include <gtest/gtest.h>

using fb::FbDatabaseName;
using fb::ReadDatabaseName;

TEST(FbDatabaseName, EveryFormOfNameIsReadAsTheClientShouldReachIt) {
    struct Case {
        const char* Database;
        const char* HostName;
        const char* Port;
        bool Server;
        bool EmbeddedOnly;
        const char* Host;
        const char* ExpectedPort;
        const char* Path;
        const char* ClientName;
    };
    const Case cases[] = {
        // A drive letter, a colon and a backslash or a slash: a local file.
        {"C:\\TALvero\\sop\\talvero.fdb", "", "", false, true, "", "", "/TALvero/sop/talvero.fdb",
         "/TALvero/sop/talvero.fdb"},
        {"c:/talvero/datos/01/talvero.fdb", "", "", false, true, "", "",
         "/talvero/datos/01/talvero.fdb", "/talvero/datos/01/talvero.fdb"},
        {"D:\\", "", "", false, true, "", "", "/", "/"},
        {"z:\\Datos/mixto\\t.fdb", "", "", false, true, "", "", "/Datos/mixto/t.fdb",
         "/Datos/mixto/t.fdb"},
        // Local paths, as they were: the embedded engine first.
        {"/srv/talvero/datos/01/talvero.fdb", "", "", false, false, "", "",
         "/srv/talvero/datos/01/talvero.fdb", "/srv/talvero/datos/01/talvero.fdb"},
        {"/datos/01/talvero.fdb", "", "", false, false, "", "", "/datos/01/talvero.fdb",
         "/datos/01/talvero.fdb"},
        {"demo/datos/01/talvero.fdb", "", "", false, false, "", "", "demo/datos/01/talvero.fdb",
         "demo/datos/01/talvero.fdb"},
        // Servers, as they were.
        {"server:/srv/talvero/datos/01/talvero.fdb", "", "", true, false, "server", "",
         "/srv/talvero/datos/01/talvero.fdb", "server:/srv/talvero/datos/01/talvero.fdb"},
        {"127.0.0.1/3351:/tmp/x/datos/01/talvero.fdb", "", "", true, false, "127.0.0.1", "3351",
         "/tmp/x/datos/01/talvero.fdb", "127.0.0.1/3351:/tmp/x/datos/01/talvero.fdb"},
        {"srv/gds_db:talvero", "", "", true, false, "srv", "gds_db", "talvero",
         "srv/gds_db:talvero"},
        {"server:C:\\TALvero\\sop\\talvero.fdb", "", "", true, false, "server", "",
         "C:\\TALvero\\sop\\talvero.fdb", "server:C:\\TALvero\\sop\\talvero.fdb"},
        {"[::1]/3050:/srv/t.fdb", "", "", true, false, "::1", "3050", "/srv/t.fdb",
         "[::1]/3050:/srv/t.fdb"},
        {"inet://host:3051//abs/path.fdb", "", "", true, false, "host", "3051", "/abs/path.fdb",
         "inet://host:3051//abs/path.fdb"},
        {"inet://host/alias", "", "", true, false, "host", "", "alias", "inet://host/alias"},
        // A letter and a colon without a folder separator stays the client's
        // host name.
        {"C:talvero.fdb", "", "", true, false, "C", "", "talvero.fdb", "C:talvero.fdb"},
        // With HostName a name that names no server goes to that host, drive
        // letter and all (a file name of the server's); one that names a
        // server keeps it.
        {"/srv/t.fdb", "srv", "", true, false, "srv", "", "/srv/t.fdb", "srv:/srv/t.fdb"},
        {"/srv/t.fdb", "srv", "3051", true, false, "srv", "3051", "/srv/t.fdb",
         "srv/3051:/srv/t.fdb"},
        {"C:\\TALvero\\t.fdb", "srv", "", true, false, "srv", "", "C:\\TALvero\\t.fdb",
         "srv:C:\\TALvero\\t.fdb"},
        {"other/3052:/x.fdb", "srv", "3051", true, false, "other", "3052", "/x.fdb",
         "other/3052:/x.fdb"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.Database) + " host " + c.HostName + " port " + c.Port);
        const FbDatabaseName n = ReadDatabaseName(c.Database, c.HostName, c.Port);
        EXPECT_EQ(n.Server, c.Server);
        EXPECT_EQ(n.EmbeddedOnly, c.EmbeddedOnly);
        EXPECT_EQ(n.Host, c.Host);
        EXPECT_EQ(n.Port, c.ExpectedPort);
        EXPECT_EQ(n.Path, c.Path);
        EXPECT_EQ(n.ClientName, c.ClientName);
    }
}
