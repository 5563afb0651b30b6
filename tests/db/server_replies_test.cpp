// Replies of the server whose length fields claim more than the reply holds: the layer reads
// no further than its own buffers, whatever the server says.
#include "db/client/internal/client_api.h"
#include "db/sql/ib_sql.h"
#include "tests/support/statement_fixture.h"

#include <gtest/gtest.h>

#include <string>

namespace velkor {
namespace {

TClientApi gReal;

// Writes 0xFFFF, as the client's little-endian integers are, at `at`.
void ClaimTooMuch(ISC_SCHAR *at) noexcept
{
    at[0] = static_cast<ISC_SCHAR>(0xFF);
    at[1] = static_cast<ISC_SCHAR>(0x7F);
}

ISC_STATUS SqlInfo(ISC_STATUS *status, isc_stmt_handle *statement, short itemsLength,
                   const ISC_SCHAR *items, short bufferLength, ISC_SCHAR *buffer)
{
    const ISC_STATUS result =
        gReal.isc_dsql_sql_info(status, statement, itemsLength, items, bufferLength, buffer);
    if (result == 0 && (items[0] == isc_info_sql_stmt_type || items[0] == isc_info_sql_get_plan))
        ClaimTooMuch(buffer + 1);
    return result;
}

ISC_STATUS DatabaseInfo(ISC_STATUS *status, isc_db_handle *database, short itemsLength,
                        const ISC_SCHAR *items, short bufferLength, ISC_SCHAR *buffer)
{
    const ISC_STATUS result =
        gReal.isc_database_info(status, database, itemsLength, items, bufferLength, buffer);
    if (result == 0)
        ClaimTooMuch(buffer + 1);
    return result;
}

ISC_STATUS Describe(ISC_STATUS *status, isc_stmt_handle *statement, unsigned short dialect,
                    XSQLDA *area)
{
    const ISC_STATUS result = gReal.isc_dsql_describe(status, statement, dialect, area);
    for (int i = 0; result == 0 && i < area->sqln && i < area->sqld; ++i)
        area->sqlvar[i].relname_length = 500;
    return result;
}

ISC_STATUS Fetch(ISC_STATUS *status, isc_stmt_handle *statement, unsigned short dialect,
                 const XSQLDA *area)
{
    const ISC_STATUS result = gReal.isc_dsql_fetch(status, statement, dialect, area);
    for (int i = 0; result == 0 && i < area->sqld; ++i)
        if ((area->sqlvar[i].sqltype & ~1) == SQL_VARYING)
            ClaimTooMuch(area->sqlvar[i].sqldata);
    return result;
}

// Stands in for the reply-giving entries of the client table while it lives; the real calls
// still do the work.
class TOverclaimingServer
{
public:
    TOverclaimingServer()
    {
        auto &api = const_cast<TClientApi &>(ClientApi());
        gReal = api;
        api.isc_dsql_sql_info = &SqlInfo;
        api.isc_database_info = &DatabaseInfo;
        api.isc_dsql_describe = &Describe;
        api.isc_dsql_fetch = &Fetch;
    }
    ~TOverclaimingServer() { const_cast<TClientApi &>(ClientApi()) = gReal; }
    TOverclaimingServer(const TOverclaimingServer &) = delete;
    TOverclaimingServer &operator=(const TOverclaimingServer &) = delete;
};

using ServerReplies = test::StatementFixture;

TEST_F(ServerReplies, lengths_beyond_the_reply_are_cut_to_what_it_holds)
{
    Text("SELECT PROC_NAME FROM VELKOR_PROCESS WHERE PROC_ID = 1");
    sql.Prepare();
    const std::string plan = sql.Plan();
    sql.DropStatement();

    TOverclaimingServer server;
    sql.ExecQuery();
    EXPECT_EQ(sql.StatementKind(), StatementKind::Select) << "the kind is read from 4 bytes";
    EXPECT_EQ(sql.Plan(), plan);
    const TIBXSQLVAR &name = sql.Current()[0];
    EXPECT_EQ(name.StringValue().size(), static_cast<std::size_t>(name.Length()))
        << "a text prefix is cut to the value's buffer";
    EXPECT_LE(name.RelName().size(), 31u);

    database.SetConnected(false);
    database.SetConnected(true);
    EXPECT_EQ(database.DBSQLDialect(), 1) << "an unreadable dialect counts as 1";
}

} // namespace
} // namespace velkor
