#include "bench/bare_refresh.h"

#include "db/client_library.h"
#include "db/ib_database.h"
#include "db/ib_transaction.h"

#include <cstring>

namespace velkor::bench {

namespace {

void Check(ISC_STATUS result)
{
    if (result > 0)
        ReportServerError();
}

} // namespace

TBareRefresh::TBareRefresh(TIBDatabase &database, TIBTransaction &transaction, int window)
    : transaction_(transaction)
    , window_(window)
{
    const TClientApi &api = ClientApi();
    area_.resize((XSQLDA_LENGTH(5) + sizeof(std::uint64_t) - 1) / sizeof(std::uint64_t));
    XSQLDA *out = Out();
    out->version = SQLDA_VERSION1;
    out->sqln = 5;
    Check(api.isc_dsql_alloc_statement2(ThreadStatusVector(), database.HandleAddress(), &handle_));
    Check(api.isc_dsql_prepare(ThreadStatusVector(), transaction.HandleAddress(), &handle_, 0,
                               "SELECT * FROM SL_PROC_STATE", 1, out));
    for (int i = 0; i < out->sqld; ++i) {
        XSQLVAR &var = out->sqlvar[i];
        buffers_[static_cast<std::size_t>(i)].resize(static_cast<std::size_t>(var.sqllen) + 2);
        var.sqldata = buffers_[static_cast<std::size_t>(i)].data();
        var.sqlind = &nulls_[static_cast<std::size_t>(i)];
    }
}

TBareRefresh::~TBareRefresh()
{
    ClientApi().isc_dsql_free_statement(ThreadStatusVector(), &handle_, DSQL_drop);
}

bool TBareRefresh::Run(std::int32_t kept)
{
    const TClientApi &api = ClientApi();
    Check(api.isc_dsql_execute(ThreadStatusVector(), transaction_.HandleAddress(), &handle_, 1,
                               nullptr));
    // Named as the layer names its cursors, so that both make the same server calls.
    Check(api.isc_dsql_set_cursor_name(ThreadStatusVector(), &handle_, "BENCHCURSOR", 0));
    int fetched = 0;
    bool found = false;
    while ((!found || fetched < window_) &&
           api.isc_dsql_fetch(ThreadStatusVector(), &handle_, 1, Out()) == 0) {
        ++fetched;
        std::int32_t id = 0;
        std::memcpy(&id, buffers_[0].data(), sizeof id);
        if (!found && nulls_[0] != -1 && id == kept)
            found = true;
    }
    Check(api.isc_dsql_free_statement(ThreadStatusVector(), &handle_, DSQL_close));
    return found;
}

} // namespace velkor::bench
