#include "tests/support/first_integer.h"

#include "db/client/internal/client_api.h"
#include "db/client/server_error.h"
#include "db/client/status_vector.h"

#include <vector>

namespace velkor::test {

namespace {
void Check(ISC_STATUS result)
{
    if (result > 0)
        ReportServerError();
}
} // namespace

long QueryFirstInteger(isc_db_handle *database, isc_tr_handle *transaction, const std::string &sql)
{
    const TClientApi &api = ClientApi();
    isc_stmt_handle statement = 0;
    Check(api.isc_dsql_alloc_statement2(ThreadStatusVector(), database, &statement));
    std::vector<char> area(XSQLDA_LENGTH(1));
    auto *out = reinterpret_cast<XSQLDA *>(area.data());
    out->version = SQLDA_VERSION1;
    out->sqln = 1;
    ISC_INT64 value = 0;
    short isNull = 0;
    long result = -1;
    try {
        Check(api.isc_dsql_prepare(ThreadStatusVector(), transaction, &statement, 0, sql.c_str(), 1,
                                   out));
        // Attachment ids are BIGINT; every integer column fits.
        out->sqlvar[0].sqltype = SQL_INT64 | 1;
        out->sqlvar[0].sqllen = sizeof value;
        out->sqlvar[0].sqlscale = 0;
        out->sqlvar[0].sqldata = reinterpret_cast<char *>(&value);
        out->sqlvar[0].sqlind = &isNull;
        Check(api.isc_dsql_execute(ThreadStatusVector(), transaction, &statement, 1, nullptr));
        const ISC_STATUS fetched = api.isc_dsql_fetch(ThreadStatusVector(), &statement, 1, out);
        Check(fetched == 100 ? 0 : fetched);
        if (fetched == 0)
            result = isNull ? 0 : static_cast<long>(value);
    } catch (...) {
        api.isc_dsql_free_statement(ThreadStatusVector(), &statement, DSQL_drop);
        throw;
    }
    api.isc_dsql_free_statement(ThreadStatusVector(), &statement, DSQL_drop);
    return result;
}

} // namespace velkor::test
