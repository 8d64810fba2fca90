#include "CompanyWindowFixture.h"

#include "platform/DateUtils.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <unistd.h>

namespace companytest {

void CopyCompanyDatabase(const std::string& path) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::filesystem::copy_file(testsupport::CompanyDatabaseTemplate(), path);
}

std::unique_ptr<TSQLConnection> NewConnection(const std::string& database) {
    auto c = std::make_unique<TSQLConnection>();
    c->SetName("Lector");
    c->SetConnectionName("Lector");
    c->SetDriverName("Interbase");
    c->SetLibraryName("libfbdriver.so");
    c->SetGetDriverFunc("getSQLDriverINTERBASE");
    c->SetVendorLib("libfbclient.so.2");
    c->SetLoginPrompt(false);
    TStrings& p = c->Params();
    p.Add("Database=" + database);
    p.Add("User_Name=SYSDBA");
    p.Add("Password=masterkey");
    p.Add("SQLDialect=3");
    return c;
}

std::string Value(TSQLConnection& connection, const std::string& sql) {
    std::vector<std::string> rows = Rows(connection, sql);
    if (rows.empty()) return {};
    return rows.front().substr(0, rows.front().find('|'));
}

namespace {
std::vector<std::string> tableNames(TSQLConnection& connection) {
    std::vector<std::string> names;
    for (std::string n : Rows(connection, "select trim(rdb$relation_name) from rdb$relations "
                                          "where coalesce(rdb$system_flag, 0) = 0 "
                                          "and rdb$view_blr is null order by 1"))
        names.push_back(n);
    return names;
}
} // namespace

std::map<std::string, int> TableCounts(TSQLConnection& connection) {
    std::map<std::string, int> counts;
    for (const std::string& t : tableNames(connection))
        counts[t] = std::stoi(Value(connection, "select count(*) from \"" + t + "\""));
    return counts;
}

std::map<std::string, std::vector<std::string>> TableContents(TSQLConnection& connection) {
    std::map<std::string, std::vector<std::string>> contents;
    for (const std::string& t : tableNames(connection)) {
        std::vector<std::string> rows = Rows(connection, "select * from \"" + t + "\"");
        std::sort(rows.begin(), rows.end());
        contents[t] = rows;
    }
    return contents;
}

void TypeText(const std::string& text) {
    for (char c : text) {
        const unsigned char u = static_cast<unsigned char>(c);
        const int key = std::toupper(u);
        const bool shifted =
            std::isupper(u) ||
            std::string_view("\"!#$%&()*+:<>?@^_{|}~").find(c) != std::string_view::npos;
        guitest::PressKey(key, shifted ? Qt::ShiftModifier : Qt::NoModifier,
                          QString(QChar(static_cast<char16_t>(u))));
    }
}

void AsUnprivileged(const std::function<void()>& f) {
    if (geteuid() != 0) return f();
    const uid_t nobody = 65534;
    ASSERT_EQ(setegid(nobody), 0);
    ASSERT_EQ(seteuid(nobody), 0);
    struct Restore {
        ~Restore() {
            if (seteuid(0) != 0 || setegid(0) != 0) std::abort();
        }
    } restore;
    f();
}

} // namespace companytest

CompanyWindowTest::CompanyWindowTest() {
    pointSettingsAtInstallation();
    writeServers(installation() + "\r\n");
    companytest::CopyCompanyDatabase(database());
}

TSQLConnection& CompanyWindowTest::reader() {
    if (!FReader) FReader = companytest::NewConnection(database());
    if (!FReader->Connected()) FReader->Open();
    return *FReader;
}

void CompanyWindowTest::connectAsUser(Tfcontavtascontado* w, const std::string& user,
                                      const std::string& password, const std::string& company) {
    w->Servidor->SetFocus();
    guitest::PressKey(Qt::Key_Return);
    companytest::TypeText(user);
    guitest::PressKey(Qt::Key_Return);
    companytest::TypeText(password);
    guitest::PressKey(Qt::Key_Return);
    companytest::TypeText(company);
    guitest::PressKey(Qt::Key_Return);
}

Tfcontavtascontado* CompanyWindowTest::showMarchOfFV() {
    Tfcontavtascontado* w = showWindow();
    connectAsUser(w, "SYSDBA", "x", "01");
    w->Pref->SetFocus();
    companytest::TypeText("FV");
    w->EFecIni->SetFocus();
    w->EFecIni->SetDate(EncodeDate(2016, 3, 1));
    w->EFecFin->SetDate(EncodeDate(2016, 3, 31));
    return w;
}

void CompanyWindowTest::typeDate(TDateTimePicker* picker, int year, int month, int day) {
    picker->SetFocus();
    // Select the day's two digits, then type day, month and year: each
    // section moves on to the next once it is full.
    guitest::PressKey(Qt::Key_Home);
    guitest::PressKey(Qt::Key_Right, Qt::ShiftModifier);
    guitest::PressKey(Qt::Key_Right, Qt::ShiftModifier);
    char text[16];
    std::snprintf(text, sizeof text, "%02d%02d%04d", day, month, year);
    companytest::TypeText(text);
}

int CompanyWindowTest::voucherCount() {
    return std::stoi(companytest::Value(reader(), "select count(*) from COMPROBANTE"));
}

int CompanyWindowTest::daysToPost(const std::string& prefix, const std::string& first,
                                  const std::string& last) {
    return std::stoi(companytest::Value(
        reader(), "select count(distinct f.FAVE_FECHA) from FACTURA_VENTA f "
                  "join CLIENTE c on c.CLIE_ID = f.FAVE_CLIENTE "
                  "join EMPRESA e on e.EMPR_NIT_CONTADO = c.CLIE_NIT "
                  "where f.FAVE_COMPROBANTE is null and f.FAVE_PREFIJO = '" +
                      prefix + "' and f.FAVE_FECHA between '" + first + "' and '" + last + "'"));
}
