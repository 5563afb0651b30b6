#include "tests/support/bare_select.h"

#include "db/client/internal/client_api.h"
#include "db/client/server_error.h"
#include "db/client/status_vector.h"
#include "db/connection/ib_base.h"

#include <array>
#include <cstring>
#include <vector>

namespace velkor::test {

namespace {

void Check(ISC_STATUS result)
{
    if (result > 0)
        ReportServerError();
}

} // namespace

struct TBareSelect::TStatement
{
    // The bare client calls reach the handles as a statement does, through a link.
    TIBBase link{nullptr};
    isc_stmt_handle handle = 0;
    std::vector<char> area = std::vector<char>(XSQLDA_LENGTH(5));
    std::array<std::vector<char>, 5> buffers;
    std::array<short, 5> nulls{};

    XSQLDA *Out() noexcept { return reinterpret_cast<XSQLDA *>(area.data()); }
};

TBareSelect::TBareSelect(TIBDatabase &database, TIBTransaction &transaction)
    : statement_(std::make_unique<TStatement>())
{
    TStatement &s = *statement_;
    s.link.SetDatabase(&database);
    s.link.SetTransaction(&transaction);
    const TClientApi &api = ClientApi();
    XSQLDA *out = s.Out();
    out->version = SQLDA_VERSION1;
    out->sqln = 5;
    Check(api.isc_dsql_alloc_statement2(ThreadStatusVector(), s.link.DatabaseHandle(), &s.handle));
    Check(api.isc_dsql_prepare(ThreadStatusVector(), s.link.TransactionHandle(), &s.handle, 0,
                               "SELECT * FROM SL_PROC_STATE", 1, out));
    for (int i = 0; i < out->sqld; ++i) {
        XSQLVAR &var = out->sqlvar[i];
        auto &buffer = s.buffers[static_cast<std::size_t>(i)];
        buffer.resize(static_cast<std::size_t>(var.sqllen) + 2);
        var.sqldata = buffer.data();
        var.sqlind = &s.nulls[static_cast<std::size_t>(i)];
    }
}

TBareSelect::~TBareSelect()
{
    ClientApi().isc_dsql_free_statement(ThreadStatusVector(), &statement_->handle, DSQL_drop);
}

void TBareSelect::Execute(bool named)
{
    const TClientApi &api = ClientApi();
    Check(api.isc_dsql_execute(ThreadStatusVector(), statement_->link.TransactionHandle(),
                               &statement_->handle, 1, nullptr));
    if (named)
        Check(api.isc_dsql_set_cursor_name(ThreadStatusVector(), &statement_->handle, "BENCHCURSOR",
                                           0));
}

bool TBareSelect::Fetch()
{
    return ClientApi().isc_dsql_fetch(ThreadStatusVector(), &statement_->handle, 1,
                                      statement_->Out()) == 0;
}

void TBareSelect::Close()
{
    Check(
        ClientApi().isc_dsql_free_statement(ThreadStatusVector(), &statement_->handle, DSQL_close));
}

bool TBareSelect::FirstInteger(std::int32_t &value) const noexcept
{
    std::memcpy(&value, statement_->buffers[0].data(), sizeof value);
    return statement_->nulls[0] != -1;
}

} // namespace velkor::test
