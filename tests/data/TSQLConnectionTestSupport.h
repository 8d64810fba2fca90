#pragma once
// The connection as the window configures it, for the connection's tests.

#include "data/TSQLConnection.h"

#include <string>

namespace connectiontest {

// The window's configured properties and parameter list, with Database,
// User_Name and password set as the company connection sets them.
inline void ConfigureLikeTheWindow(TSQLConnection& c, const std::string& database,
                                   const std::string& user = "SYSDBA",
                                   const std::string& password = "masterkey") {
    c.SetConnectionName("Talvero");
    c.SetDriverName("Interbase");
    c.SetLibraryName("libfbdriver.so");
    c.SetGetDriverFunc("getSQLDriverINTERBASE");
    c.SetVendorLib("libfbclient.so.2");
    c.SetLoginPrompt(false);
    TStrings& p = c.Params();
    p.Clear();
    for (const char* line :
         {"DriverName=Interbase", "BlobSize=-1", "CommitRetain=False",
          "Database=C:\\TALvero\\sop\\talvero.fdb", "ErrorResourceFile=", "LocaleCode=0000",
          "Password=brackwold", "RoleName=RoleName", "ServerCharSet=", "SQLDialect=3",
          "Interbase TransIsolation=ReadCommited", "User_Name=sysdba", "WaitOnLocks=True"})
        p.Add(line);
    p.SetValues("Database", database);
    p.SetValues("User_Name", user);
    p.SetValues("password", password);
}

} // namespace connectiontest
