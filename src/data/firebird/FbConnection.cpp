#include "data/firebird/FbConnection.h"

#include "data/firebird/FbCommand.h"
#include "data/firebird/FbDatabaseName.h"
#include "data/firebird/FbMetaData.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>

namespace fb {

namespace {

const char* const closedText = "The connection to the database is closed";

std::string trimmed(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && static_cast<unsigned char>(s[b]) <= ' ')
        ++b;
    while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ')
        --e;
    return s.substr(b, e - b);
}

bool isTrue(const std::string& s) {
    std::string t = trimmed(s);
    for (char& c : t)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return t == "TRUE";
}

bool parseInt(const std::string& s, long& value) {
    std::string t = trimmed(s);
    if (t.empty()) return false;
    char* end = nullptr;
    errno = 0;
    value = std::strtol(t.c_str(), &end, 10);
    return errno == 0 && *end == '\0' && value >= INT_MIN && value <= INT_MAX;
}

// Database parameter block items: one-byte length, then the bytes.
void addText(std::string& dpb, char item, const std::string& text) {
    dpb += item;
    dpb += static_cast<char>(text.size());
    dpb += text;
}

void addInt(std::string& dpb, char item, int32_t value) {
    dpb += item;
    dpb += static_cast<char>(4);
    for (int i = 0; i < 4; ++i)
        dpb += static_cast<char>((value >> (8 * i)) & 0xFF);
}

} // namespace

FbConnection::~FbConnection() {
    if (FAttachment) {
        FbStatus ignored;
        FAttachment->detach(ignored);
    }
}

std::string FbConnection::option(TSQLConnectionOption key) const {
    auto it = FOptions.find(key);
    return it == FOptions.end() ? std::string() : it->second;
}

SQLResult FbConnection::setOption(TSQLConnectionOption key, const std::string& value) {
    return guarded([&]() -> SQLResult {
        long number = 0;
        switch (key) {
        case TSQLConnectionOption::SQLDialect:
            if (!parseInt(value, number) || number < 1 || number > 3)
                return fail(DBXERR_INVALIDPARAM, "Invalid SQL dialect '" + value + "'");
            break;
        case TSQLConnectionOption::BlobSize:
        case TSQLConnectionOption::ConnectionTimeout:
            if (!parseInt(value, number))
                return fail(DBXERR_INVALIDPARAM, "Invalid number '" + value + "'");
            break;
        // Accepted and not acted on: every statement outside the caller's
        // transaction commits itself, calls always block, and one transaction
        // at a time is what this driver offers.
        case TSQLConnectionOption::CustomString:
        case TSQLConnectionOption::OSAuthentication:
        case TSQLConnectionOption::BlockingMode:
        case TSQLConnectionOption::AutoCommit:
        case TSQLConnectionOption::MultipleTransaction:
        case TSQLConnectionOption::CommitRetain:
            FOptions[key] = value;
            return fail(DBXERR_NOTSUPPORTED);
        default:
            break;
        }
        FOptions[key] = value;
        if (key == TSQLConnectionOption::BlobSize && FAttachment)
            FAttachment->settings().BlobLimit = number > 0 ? number * 1024 : -1;
        return DBXERR_NONE;
    });
}

SQLResult FbConnection::connect(const std::string& database, const std::string& user,
                                const std::string& password) {
    return guarded([&]() -> SQLResult {
        if (FAttachment && FAttachment->attached())
            return fail(DBXERR_INVALIDHNDL, "The connection is already open");
        FbSettings settings;
        long number = 0;
        if (parseInt(option(TSQLConnectionOption::SQLDialect), number)) settings.Dialect = number;
        if (FOptions.count(TSQLConnectionOption::WaitOnLocks))
            settings.WaitOnLocks = isTrue(option(TSQLConnectionOption::WaitOnLocks));
        settings.TrimChar = isTrue(option(TSQLConnectionOption::TrimChar));
        if (parseInt(option(TSQLConnectionOption::BlobSize), number) && number > 0)
            settings.BlobLimit = number * 1024;

        std::string charset = trimmed(option(TSQLConnectionOption::ServerCharSet));
        if (charset.empty()) charset = "UTF8";
        std::string role = trimmed(option(TSQLConnectionOption::RoleName));
        for (const std::string* s :
             std::initializer_list<const std::string*>{&user, &password, &charset, &role})
            if (s->size() > 255)
                return fail(DBXERR_INVALIDPARAM, "A connection parameter is too long");

        std::string dpb(1, static_cast<char>(isc_dpb_version1));
        if (!user.empty()) addText(dpb, isc_dpb_user_name, user);
        if (!password.empty()) addText(dpb, isc_dpb_password, password);
        addText(dpb, isc_dpb_lc_ctype, charset);
        if (!role.empty()) addText(dpb, isc_dpb_sql_role_name, role);
        addInt(dpb, isc_dpb_sql_dialect, settings.Dialect);
        if (parseInt(option(TSQLConnectionOption::ConnectionTimeout), number) && number > 0)
            addInt(dpb, isc_dpb_connect_timeout, static_cast<int32_t>(number));

        const FbDatabaseName name =
            ReadDatabaseName(database, trimmed(option(TSQLConnectionOption::HostName)),
                             trimmed(option(TSQLConnectionOption::ServerPort)));
        if (name.EmbeddedOnly) addText(dpb, isc_dpb_config, kEmbeddedOnlyConfig);

        auto attachment = std::make_shared<FbAttachment>(FApi, settings);
        FbStatus status;
        if (!attachment->attach(name.ClientName, dpb, status))
            return fail(DBXERR_CONNECTIONFAILED, status.text(FApi));
        FAttachment = std::move(attachment);
        FTransactionID = 0;
        return DBXERR_NONE;
    });
}

SQLResult FbConnection::disconnect() {
    return guarded([&]() -> SQLResult {
        if (!FAttachment) return DBXERR_NONE;
        std::shared_ptr<FbAttachment> attachment = std::move(FAttachment);
        FbStatus status;
        if (!attachment->detach(status)) return fail(FApi, status);
        return DBXERR_NONE;
    });
}

SQLResult FbConnection::getSQLCommand(ISQLCommand** command) {
    return guarded([&]() -> SQLResult {
        *command = nullptr;
        if (!FAttachment || !FAttachment->attached()) return fail(DBXERR_INVALIDHNDL, closedText);
        *command = new FbCommand(FAttachment);
        return DBXERR_NONE;
    });
}

SQLResult FbConnection::getSQLMetaData(ISQLMetaData** metaData) {
    return guarded([&]() -> SQLResult {
        *metaData = nullptr;
        if (!FAttachment || !FAttachment->attached()) return fail(DBXERR_INVALIDHNDL, closedText);
        *metaData = new FbMetaData(FAttachment->settings().Dialect);
        return DBXERR_NONE;
    });
}

SQLResult FbConnection::beginTransaction(const TTransactionDesc& desc) {
    return guarded([&]() -> SQLResult {
        if (!FAttachment || !FAttachment->attached()) return fail(DBXERR_INVALIDHNDL, closedText);
        if (FAttachment->Explicit && FAttachment->Explicit->active())
            return fail(DBXERR_LOCALTRANSACTIVE);
        if (desc.IsolationLevel != xilREADCOMMITTED && desc.IsolationLevel != xilREPEATABLEREAD &&
            desc.IsolationLevel != xilDIRTYREAD)
            return fail(DBXERR_INVALIDISOLATIONLEVEL);
        FbStatus status;
        auto transaction = FbTransaction::Start(FAttachment, desc.IsolationLevel, false, status);
        if (!transaction) return fail(FApi, status);
        FAttachment->Explicit = std::move(transaction);
        FTransactionID = desc.TransactionID;
        return DBXERR_NONE;
    });
}

SQLResult FbConnection::commit(uint32_t transactionID) {
    return guarded([&]() -> SQLResult { return endTransaction(transactionID, true); });
}

SQLResult FbConnection::rollback(uint32_t transactionID) {
    return guarded([&]() -> SQLResult { return endTransaction(transactionID, false); });
}

SQLResult FbConnection::endTransaction(uint32_t transactionID, bool commit) {
    if (!FAttachment || !FAttachment->attached()) return fail(DBXERR_INVALIDHNDL, closedText);
    if (!FAttachment->Explicit || transactionID != FTransactionID) return fail(DBXERR_INVALIDTXNID);
    std::shared_ptr<FbTransaction> transaction = std::move(FAttachment->Explicit);
    FbStatus status;
    bool ok = commit ? transaction->commit(status) : transaction->rollback(status);
    return ok ? DBXERR_NONE : fail(FApi, status);
}

} // namespace fb
