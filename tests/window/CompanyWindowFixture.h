#pragma once
// The window over a real company database: an installation folder whose
// SERVIDORES.cfg names the folder itself, with company 01 at
// datos/01/talvero.fdb (a copy of a database made from db/), and the settings
// file pointing at it. The user's steps are sent as key events; what the
// database holds is read back through a connection of the test's own.

#include "WindowFixture.h"

#include "data/TSQLConnection.h"
#include "support/CompanyDatabase.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace companytest {

// A fresh company database with the sample company at path: a copy of one
// made with db/create-database and kept in the build folder until db/ changes.
void CopyCompanyDatabase(const std::string& path);

// A connection configured as the window's, on database, closed.
std::unique_ptr<TSQLConnection> NewConnection(const std::string& database);

// The rows of a query, one text per row with its values separated by "|":
// integers and decimals as written ("0.8"), dates as yyyy-mm-dd, null as
// "null", text as stored.
using testsupport::Rows;
// The first value of the first row.
std::string Value(TSQLConnection& connection, const std::string& sql);
// Rows of every table of the company (system tables aside).
std::map<std::string, int> TableCounts(TSQLConnection& connection);
// Every row of every table of the company, ordered, as text.
std::map<std::string, std::vector<std::string>> TableContents(TSQLConnection& connection);

// Types text into the focused control, one key event per character (ASCII).
void TypeText(const std::string& text);

// Runs f with the effective user "nobody" when the process runs as root, so
// that file permissions hold for it; otherwise runs it as it is.
void AsUnprivileged(const std::function<void()>& f);

// The adjustment rows as the database holds them, in the editor's order.
inline constexpr const char* kAdjustmentRows =
    "select AJCI_FECINI, AJCI_FECFIN, AJCI_PORC, AJCI_FACTOR "
    "from AJUSTE_CIERRE order by AJCI_FECINI, AJCI_PORC";

} // namespace companytest

class CompanyWindowTest : public WindowTest {
protected:
    CompanyWindowTest();

    std::string database() const { return installation() + "/datos/01/talvero.fdb"; }
    // A connection of the test's own on the company database, opened on
    // first use.
    TSQLConnection& reader();

    // Server (the first and only one, already chosen), user, password and
    // company typed with Enter after each, as a user does; Enter in Cia
    // leaves it and connects.
    void connectAsUser(Tfcontavtascontado* w, const std::string& user, const std::string& password,
                       const std::string& company);
    // The dates set as a user does: focus the picker and type the day,
    // month and year.
    void typeDate(TDateTimePicker* picker, int year, int month, int day);
    // The window shown and connected to company 01, the prefix FV typed,
    // then the dates set to March 2016 (set, not typed over today's: leaving
    // the prefix sets them to today) and the focus in Desde, as after a
    // user's steps.
    Tfcontavtascontado* showMarchOfFV();

    // Rows of the cash-sales vouchers made so far, and how many days of the
    // range hold unposted cash-customer invoices of the prefix.
    int voucherCount();
    int daysToPost(const std::string& prefix, const std::string& first, const std::string& last);

private:
    std::unique_ptr<TSQLConnection> FReader;
};
