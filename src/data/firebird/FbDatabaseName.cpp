#include "data/firebird/FbDatabaseName.h"

#include <cctype>

namespace fb {

const char* const kEmbeddedOnlyConfig = "Providers=Engine12";

namespace {

bool hasDriveLetter(const std::string& name) {
    return name.size() >= 3 && std::isalpha(static_cast<unsigned char>(name[0])) &&
           name[1] == ':' && (name[2] == '\\' || name[2] == '/');
}

// "inet://host[:port]/path" (also inet4, inet6): the path is what follows the
// first slash after the host, so "//abs/path" names "/abs/path".
bool readUrl(const std::string& name, FbDatabaseName& out) {
    const size_t scheme = name.find("://");
    if (scheme == std::string::npos || name.compare(0, 4, "inet") != 0) return false;
    const std::string rest = name.substr(scheme + 3);
    const size_t slash = rest.find('/');
    std::string authority = rest.substr(0, slash);
    out.Path = slash == std::string::npos ? std::string() : rest.substr(slash + 1);
    const size_t bracket = authority.rfind(']');
    const size_t colon = authority.rfind(':');
    if (colon != std::string::npos && (bracket == std::string::npos || colon > bracket)) {
        out.Port = authority.substr(colon + 1);
        authority.resize(colon);
    }
    if (authority.size() >= 2 && authority.front() == '[' && authority.back() == ']')
        authority = authority.substr(1, authority.size() - 2);
    out.Host = authority;
    out.Server = true;
    return true;
}

// "host[/port]:path" or "[address][/port]:path", as the client splits it:
// the host is what comes before the first colon outside brackets.
bool readHostPath(const std::string& name, FbDatabaseName& out) {
    size_t colon;
    std::string host;
    if (!name.empty() && name[0] == '[') {
        const size_t close = name.find(']');
        if (close == std::string::npos) return false;
        colon = name.find(':', close);
        if (colon == std::string::npos) return false;
        host = name.substr(1, close - 1);
        const std::string between = name.substr(close + 1, colon - close - 1);
        if (!between.empty() && between[0] == '/') out.Port = between.substr(1);
    } else {
        colon = name.find(':');
        if (colon == std::string::npos || colon == 0) return false;
        host = name.substr(0, colon);
        const size_t slash = host.find('/');
        if (slash != std::string::npos) {
            out.Port = host.substr(slash + 1);
            host.resize(slash);
        }
    }
    out.Host = host;
    out.Path = name.substr(colon + 1);
    out.Server = true;
    return true;
}

} // namespace

FbDatabaseName ReadDatabaseName(const std::string& database, const std::string& hostName,
                                const std::string& serverPort) {
    FbDatabaseName out;
    if (!hostName.empty()) {
        FbDatabaseName named;
        // A letter and a colon is a drive of the server's, as it always was
        // with a host given.
        const bool drive = database.size() >= 2 && database[1] == ':';
        if (!drive && (readUrl(database, named) || readHostPath(database, named))) {
            named.ClientName = database;
            return named;
        }
        // The server's own file name, drive letter and all.
        out.Server = true;
        out.Host = hostName;
        out.Port = serverPort;
        out.Path = database;
        out.ClientName = hostName + (serverPort.empty() ? "" : "/" + serverPort) + ":" + database;
        return out;
    }
    if (hasDriveLetter(database)) {
        out.EmbeddedOnly = true;
#if defined(_WIN32)
        out.Path = database;
#else
        out.Path = database.substr(2);
        for (char& c : out.Path)
            if (c == '\\') c = '/';
#endif
        out.ClientName = out.Path;
        return out;
    }
    if (readUrl(database, out) || readHostPath(database, out)) {
        out.ClientName = database;
        return out;
    }
    out.Path = database;
    out.ClientName = database;
    return out;
}

} // namespace fb
