#pragma once
// How the driver reads a database name on this platform, and what it gives
// the Firebird client for it.
//
//   "host:path", "host/port:path",       a server over TCP, as the client
//   "[v6 address]/port:path",            reads them; the HostName option
//   "inet://host:port/path"              (with Server Port) puts a server
//                                        before a name that names none
//   "C:\dir\file.fdb", "c:/dir/file.fdb" a local file: the drive is the root
//                                        of the file system and backslashes
//                                        separate folders (/dir/file.fdb);
//                                        only the embedded engine may open it
//   "/dir/file.fdb", "dir/file.fdb"      a local file, given as it is
//
// The client itself would read "C:\..." as the host "C": it would look that
// name up on the network and offer the password to whoever answers. A name
// with a drive letter is never sent to a server, not even the one on the
// loopback address the client tries when the embedded engine cannot open a
// file; its failure is the local file's own ("I/O error during "open"...").

#include <string>

namespace fb {

struct FbDatabaseName {
    bool Server = false;       // reached through a database server over the network
    bool EmbeddedOnly = false; // no server may be asked for it, not even on the loopback
    std::string Host;          // Server: the host, as written
    std::string Port;          // Server: the port or service; empty for the default
    std::string Path;          // the database file (or the server's alias for it)
    std::string ClientName;    // what the client's attach receives
};

// database is the trimmed Database parameter; hostName and serverPort the
// trimmed HostName and "Server Port" options, empty when not given.
FbDatabaseName ReadDatabaseName(const std::string& database, const std::string& hostName,
                                const std::string& serverPort);

// The per-attachment configuration that keeps the client to the embedded
// engine (the value of the database parameter block's config item).
extern const char* const kEmbeddedOnlyConfig;

} // namespace fb
