#include "tests/support/client_call_counter.h"

#include "db/client/internal/client_api.h"

namespace velkor::test {

namespace {

TClientCallCounter *gCounter = nullptr;
TClientApi gReal;

ISC_STATUS Prepare(ISC_STATUS *s, isc_tr_handle *t, isc_stmt_handle *h, unsigned short l,
                   const ISC_SCHAR *q, unsigned short d, XSQLDA *x)
{
    ++gCounter->prepare;
    gCounter->prepared.emplace_back(q);
    return gReal.isc_dsql_prepare(s, t, h, l, q, d, x);
}

ISC_STATUS Execute2(ISC_STATUS *s, isc_tr_handle *t, isc_stmt_handle *h, unsigned short d,
                    const XSQLDA *in, const XSQLDA *out)
{
    ++gCounter->execute;
    return gReal.isc_dsql_execute2(s, t, h, d, in, out);
}

ISC_STATUS Fetch(ISC_STATUS *s, isc_stmt_handle *h, unsigned short d, const XSQLDA *x)
{
    ++gCounter->fetch;
    return gReal.isc_dsql_fetch(s, h, d, x);
}

} // namespace

TClientCallCounter::TClientCallCounter()
{
    auto &api = const_cast<TClientApi &>(ClientApi());
    gReal = api;
    gCounter = this;
    api.isc_dsql_prepare = &Prepare;
    api.isc_dsql_execute2 = &Execute2;
    api.isc_dsql_fetch = &Fetch;
}

TClientCallCounter::~TClientCallCounter()
{
    const_cast<TClientApi &>(ClientApi()) = gReal;
    gCounter = nullptr;
}

} // namespace velkor::test
