#pragma once

// The list select run straight through the client library, prepared once, as a hand-written
// client would: the baseline the benchmarks hold our layers against.
#include "db/client_library.h"
#include "db/ib_base.h"
#include "db/ib_database.h"
#include "db/ib_transaction.h"
#include "db/internal/client_api.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <vector>

namespace velkor::bench {

inline void Check(ISC_STATUS result)
{
    if (result > 0)
        ReportServerError();
}

class TBareSelect
{
public:
    TBareSelect(TIBDatabase &database, TIBTransaction &transaction)
        : link_(nullptr)
    {
        // The bare client calls reach the handles as a statement does, through a link.
        link_.SetDatabase(&database);
        link_.SetTransaction(&transaction);
        const TClientApi &api = ClientApi();
        area_.resize(XSQLDA_LENGTH(5));
        XSQLDA *out = Out();
        out->version = SQLDA_VERSION1;
        out->sqln = 5;
        Check(
            api.isc_dsql_alloc_statement2(ThreadStatusVector(), link_.DatabaseHandle(), &handle_));
        Check(api.isc_dsql_prepare(ThreadStatusVector(), link_.TransactionHandle(), &handle_, 0,
                                   "SELECT * FROM SL_PROC_STATE", 1, out));
        for (int i = 0; i < out->sqld; ++i) {
            XSQLVAR &var = out->sqlvar[i];
            buffers_[static_cast<std::size_t>(i)].resize(static_cast<std::size_t>(var.sqllen) + 2);
            var.sqldata = buffers_[static_cast<std::size_t>(i)].data();
            var.sqlind = &nulls_[static_cast<std::size_t>(i)];
        }
    }
    ~TBareSelect()
    {
        ClientApi().isc_dsql_free_statement(ThreadStatusVector(), &handle_, DSQL_drop);
    }
    TBareSelect(const TBareSelect &) = delete;
    TBareSelect &operator=(const TBareSelect &) = delete;

    // Executes and names the cursor, as our statements do, so that both make the same calls.
    void Execute(bool named = true)
    {
        const TClientApi &api = ClientApi();
        Check(api.isc_dsql_execute(ThreadStatusVector(), link_.TransactionHandle(), &handle_, 1,
                                   nullptr));
        if (named)
            Check(api.isc_dsql_set_cursor_name(ThreadStatusVector(), &handle_, "BENCHCURSOR", 0));
    }
    bool Fetch()
    {
        return ClientApi().isc_dsql_fetch(ThreadStatusVector(), &handle_, 1, Out()) == 0;
    }
    void Close()
    {
        Check(ClientApi().isc_dsql_free_statement(ThreadStatusVector(), &handle_, DSQL_close));
    }
    // The first column of the fetched row, PROC_ID; false when it is null.
    bool FirstInteger(std::int32_t &value) const noexcept
    {
        std::memcpy(&value, buffers_[0].data(), sizeof value);
        return nulls_[0] != -1;
    }

private:
    XSQLDA *Out() { return reinterpret_cast<XSQLDA *>(area_.data()); }
    TIBBase link_;
    isc_stmt_handle handle_ = 0;
    std::vector<char> area_;
    std::array<std::vector<char>, 5> buffers_;
    std::array<short, 5> nulls_{};
};

} // namespace velkor::bench
