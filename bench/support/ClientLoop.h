#pragma once
// The Firebird client library used the plainest way a program can use it by
// hand: isc_* calls on one attachment, an XSQLDA for rows and parameters, no
// layer in between. It is the floor the driver, the chain and Qt SQL's
// driver are measured against. Header only, as only the benchmarks that link
// the client library include it.

#include <ibase.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace clientloop {

constexpr int kDayZero = 15018; // 30 Dec 1899 as days since 17 Nov 1858

// rows rows of AJUSTE_CIERRE's shape in a table the script fills: dates one
// a day over a year, a third of the end dates null, rates 0.5 to 19.5.
inline std::string FillScript(int rows) {
    return "SET TERM ^;\nEXECUTE BLOCK AS DECLARE I INTEGER = 0; BEGIN WHILE (I < " +
           std::to_string(rows) +
           ") DO BEGIN I = I + 1; INSERT INTO AJUSTE_CIERRE VALUES (:I, "
           "DATE '2016-01-01' + MOD(:I, 365), "
           "IIF(MOD(:I, 3) = 0, NULL, DATE '2016-12-31'), MOD(:I, 20) + 0.5, 0.8); "
           "END END^\nSET TERM ;^\nCOMMIT;\n";
}

[[noreturn]] inline void Fail(const std::string& what, const ISC_STATUS* sv = nullptr) {
    std::fprintf(stderr, "client library: %s\n", what.c_str());
    if (sv) {
        char line[512];
        const ISC_STATUS* p = sv;
        while (fb_interpret(line, sizeof line, &p))
            std::fprintf(stderr, "  %s\n", line);
    }
    std::exit(1);
}

class Attachment {
public:
    explicit Attachment(const std::string& database) {
        ISC_STATUS_ARRAY sv;
        std::string dpb{isc_dpb_version1, isc_dpb_user_name, 6};
        dpb += "SYSDBA";
        dpb += static_cast<char>(isc_dpb_lc_ctype);
        dpb += static_cast<char>(4);
        dpb += "UTF8";
        if (isc_attach_database(sv, 0, database.c_str(), &FDb, static_cast<short>(dpb.size()),
                                dpb.data()))
            Fail("attach " + database, sv);
    }
    ~Attachment() {
        ISC_STATUS_ARRAY sv;
        isc_detach_database(sv, &FDb);
    }
    Attachment(const Attachment&) = delete;
    Attachment& operator=(const Attachment&) = delete;

    isc_db_handle* Handle() { return &FDb; }

    // Read committed, record versions, waiting on locks: the driver's and
    // the provider's transactions.
    isc_tr_handle Start() {
        ISC_STATUS_ARRAY sv;
        isc_tr_handle tr = 0;
        static char tpb[] = {isc_tpb_version3, isc_tpb_write, isc_tpb_wait, isc_tpb_read_committed,
                             isc_tpb_rec_version};
        if (isc_start_transaction(sv, &tr, 1, &FDb, static_cast<unsigned short>(sizeof tpb), tpb))
            Fail("start", sv);
        return tr;
    }
    void Commit(isc_tr_handle& tr) {
        ISC_STATUS_ARRAY sv;
        if (isc_commit_transaction(sv, &tr)) Fail("commit", sv);
    }

private:
    isc_db_handle FDb = 0;
};

// Reads every row of a select of integers, dates and scaled integers, and
// sums the values as every side of a fetch benchmark does: integers as they
// are (scaled ones in their units), dates as days since 30 Dec 1899, nulls
// left out. Returns the sum; rows gets the number of rows.
inline int64_t FetchAll(Attachment& a, const char* select, int& rows) {
    ISC_STATUS_ARRAY sv;
    isc_tr_handle tr = a.Start();
    isc_stmt_handle st = 0;
    if (isc_dsql_allocate_statement(sv, a.Handle(), &st)) Fail("allocate", sv);
    constexpr int kMax = 16;
    std::vector<char> area(XSQLDA_LENGTH(kMax));
    auto* out = reinterpret_cast<XSQLDA*>(area.data());
    out->version = SQLDA_VERSION1;
    out->sqln = kMax;
    if (isc_dsql_prepare(sv, &tr, &st, 0, select, 3, out)) Fail("prepare", sv);
    const int n = out->sqld;
    if (n > kMax) Fail("too many columns");
    alignas(8) char data[kMax][8];
    short ind[kMax];
    for (int i = 0; i < n; ++i) {
        out->sqlvar[i].sqldata = data[i];
        out->sqlvar[i].sqlind = &ind[i];
    }
    if (isc_dsql_execute(sv, &tr, &st, 3, nullptr)) Fail("execute", sv);
    int64_t sum = 0;
    rows = 0;
    while (isc_dsql_fetch(sv, &st, 3, out) == 0) {
        for (int i = 0; i < n; ++i) {
            const XSQLVAR& v = out->sqlvar[i];
            if ((v.sqltype & 1) && ind[i] < 0) continue;
            switch (v.sqltype & ~1) {
            case SQL_LONG: {
                int32_t x;
                std::memcpy(&x, data[i], 4);
                sum += x;
                break;
            }
            case SQL_TYPE_DATE: {
                ISC_DATE d;
                std::memcpy(&d, data[i], 4);
                sum += d - kDayZero;
                break;
            }
            case SQL_INT64: {
                int64_t x;
                std::memcpy(&x, data[i], 8);
                sum += x;
                break;
            }
            default:
                Fail("a column of a type this loop does not read");
            }
        }
        ++rows;
    }
    if (sv[0] == 1 && sv[1] != 0) Fail("fetch", sv);
    isc_dsql_free_statement(sv, &st, DSQL_drop);
    a.Commit(tr);
    return sum;
}

// The parameters of one execution, set by position: integers, dates as days
// since 30 Dec 1899 and scaled integers in their units, as described.
class Binder {
public:
    explicit Binder(XSQLDA* in) : FIn(in) {}
    void Set(int index, int64_t value) {
        XSQLVAR& v = FIn->sqlvar[index];
        *v.sqlind = 0;
        switch (v.sqltype & ~1) {
        case SQL_LONG: {
            auto x = static_cast<int32_t>(value);
            std::memcpy(v.sqldata, &x, 4);
            break;
        }
        case SQL_TYPE_DATE: {
            auto d = static_cast<ISC_DATE>(value + kDayZero);
            std::memcpy(v.sqldata, &d, 4);
            break;
        }
        case SQL_INT64:
            std::memcpy(v.sqldata, &value, 8);
            break;
        default:
            Fail("a parameter of a type this loop does not bind");
        }
    }

private:
    XSQLDA* FIn;
};

// The rows an insert, update or delete just wrote, as a program checks them
// (an update that wrote no row found its row changed by someone else).
inline int RowsAffected(isc_stmt_handle& st) {
    ISC_STATUS_ARRAY sv;
    const char items[] = {isc_info_sql_records};
    char buffer[64] = {};
    if (isc_dsql_sql_info(sv, &st, sizeof items, items, sizeof buffer, buffer))
        Fail("sql_info", sv);
    if (buffer[0] != isc_info_sql_records) return 0;
    int rows = 0;
    const char* p = buffer + 3;
    while (p < buffer + sizeof buffer && *p != isc_info_end) {
        char item = *p++;
        short length = static_cast<short>(isc_vax_integer(p, 2));
        p += 2;
        int count = isc_vax_integer(p, length);
        p += length;
        if (item == isc_info_req_insert_count || item == isc_info_req_update_count ||
            item == isc_info_req_delete_count)
            rows += count;
    }
    return rows;
}

// Runs sql once for each of rows rows in one transaction: prepared once,
// bound by bind(row, binder) for row 1..rows, executed, each execution
// checked to have written exactly one row, then committed.
inline void RunEach(Attachment& a, const std::string& sql, int rows,
                    const std::function<void(int, Binder&)>& bind) {
    ISC_STATUS_ARRAY sv;
    isc_tr_handle tr = a.Start();
    isc_stmt_handle st = 0;
    if (isc_dsql_allocate_statement(sv, a.Handle(), &st)) Fail("allocate", sv);
    if (isc_dsql_prepare(sv, &tr, &st, 0, sql.c_str(), 3, nullptr)) Fail("prepare " + sql, sv);
    constexpr int kMax = 16;
    std::vector<char> area(XSQLDA_LENGTH(kMax));
    auto* in = reinterpret_cast<XSQLDA*>(area.data());
    in->version = SQLDA_VERSION1;
    in->sqln = kMax;
    if (isc_dsql_describe_bind(sv, &st, SQLDA_VERSION1, in)) Fail("describe_bind", sv);
    if (in->sqld > kMax) Fail("too many parameters");
    alignas(8) char data[kMax][8];
    short ind[kMax];
    for (int i = 0; i < in->sqld; ++i) {
        in->sqlvar[i].sqldata = data[i];
        in->sqlvar[i].sqlind = &ind[i];
        in->sqlvar[i].sqltype |= 1;
    }
    Binder binder(in);
    for (int row = 1; row <= rows; ++row) {
        bind(row, binder);
        if (isc_dsql_execute(sv, &tr, &st, 3, in)) Fail("execute " + sql, sv);
        if (RowsAffected(st) != 1) Fail("a statement that did not write one row: " + sql);
    }
    isc_dsql_free_statement(sv, &st, DSQL_drop);
    a.Commit(tr);
}

} // namespace clientloop
