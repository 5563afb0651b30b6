// Statements and their descriptor areas against a real throwaway database.
#include "db/client/ib_error.h"
#include "db/client/internal/client_api.h"
#include "db/connection/ib_database.h"
#include "db/connection/ib_transaction.h"
#include "db/sql/ib_sql.h"
#include "db/sql/scale_conversion.h"
#include "tests/support/raw_sql.h"
#include "tests/support/statement_fixture.h"
#include "tests/support/test_database.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace velkor {
namespace {

// Counts the client calls a statement makes, by standing in for their table entries.
struct TCalls
{
    int prepare = 0;
    int describe = 0;
    int describeBind = 0;
    int execute2 = 0;
    int setCursorName = 0;
    int fetch = 0;
    int failExecute2 = 0; // this many execute2 calls fail before reaching the server
    std::vector<std::string> cursorNames;
};
TCalls *gCalls = nullptr;
TClientApi gReal;

ISC_STATUS Prepare(ISC_STATUS *s, isc_tr_handle *t, isc_stmt_handle *h, unsigned short l,
                   const ISC_SCHAR *q, unsigned short d, XSQLDA *x)
{
    ++gCalls->prepare;
    return gReal.isc_dsql_prepare(s, t, h, l, q, d, x);
}
ISC_STATUS Describe(ISC_STATUS *s, isc_stmt_handle *h, unsigned short d, XSQLDA *x)
{
    ++gCalls->describe;
    return gReal.isc_dsql_describe(s, h, d, x);
}
ISC_STATUS DescribeBind(ISC_STATUS *s, isc_stmt_handle *h, unsigned short d, XSQLDA *x)
{
    ++gCalls->describeBind;
    return gReal.isc_dsql_describe_bind(s, h, d, x);
}
ISC_STATUS Execute2(ISC_STATUS *s, isc_tr_handle *t, isc_stmt_handle *h, unsigned short d,
                    const XSQLDA *in, const XSQLDA *out)
{
    ++gCalls->execute2;
    if (gCalls->failExecute2 > 0) {
        --gCalls->failExecute2;
        s[0] = isc_arg_gds;
        s[1] = isc_req_sync;
        s[2] = isc_arg_end;
        return s[1];
    }
    return gReal.isc_dsql_execute2(s, t, h, d, in, out);
}
ISC_STATUS SetCursorName(ISC_STATUS *s, isc_stmt_handle *h, const ISC_SCHAR *name,
                         unsigned short type)
{
    ++gCalls->setCursorName;
    gCalls->cursorNames.emplace_back(name);
    return gReal.isc_dsql_set_cursor_name(s, h, name, type);
}
ISC_STATUS Fetch(ISC_STATUS *s, isc_stmt_handle *h, unsigned short d, const XSQLDA *x)
{
    ++gCalls->fetch;
    return gReal.isc_dsql_fetch(s, h, d, x);
}

class TCallCounter
{
public:
    TCallCounter()
    {
        auto &api = const_cast<TClientApi &>(ClientApi());
        gReal = api;
        gCalls = &calls;
        api.isc_dsql_prepare = &Prepare;
        api.isc_dsql_describe = &Describe;
        api.isc_dsql_describe_bind = &DescribeBind;
        api.isc_dsql_execute2 = &Execute2;
        api.isc_dsql_set_cursor_name = &SetCursorName;
        api.isc_dsql_fetch = &Fetch;
    }
    ~TCallCounter()
    {
        const_cast<TClientApi &>(ClientApi()) = gReal;
        gCalls = nullptr;
    }
    TCallCounter(const TCallCounter &) = delete;
    TCallCounter &operator=(const TCallCounter &) = delete;
    TCalls calls;
};

using test::ClientErrorOf;
using Statement = test::StatementFixture;

TEST_F(Statement, the_list_select_describes_twice_and_fetches_to_the_end)
{
    TCallCounter counter;
    Text("SELECT * FROM SL_PROC_STATE");
    sql.ExecQuery();
    EXPECT_EQ(sql.StatementKind(), StatementKind::Select);
    EXPECT_EQ(counter.calls.describe, 2) << "first with room for one entry, then for all";
    EXPECT_EQ(counter.calls.describeBind, 0);
    EXPECT_EQ(sql.Params().Block(), nullptr);
    ASSERT_EQ(sql.Current().Count(), 5);
    EXPECT_EQ(sql.Current().Names(),
              (std::vector<std::string>{"PROC_ID", "PROC_NAME", "PROC_PRIORITY", "PROC_AGE_MS",
                                        "PROC_AGE_DAYS"}));
    EXPECT_EQ(sql.ColumnIndexOf("proc_name"), 1);
    int rows = 1; // the first came with the execute
    TIBXSQLDA *first = &sql.Current();
    while (TIBXSQLDA *row = sql.FetchNext()) {
        EXPECT_EQ(row, first) << "every row arrives in the same area";
        ++rows;
    }
    EXPECT_EQ(rows, 40);
    EXPECT_EQ(sql.FetchedCount(), 40);
    EXPECT_TRUE(sql.AtEnd());
    const int fetches = counter.calls.fetch;
    EXPECT_EQ(sql.FetchNext(), nullptr);
    EXPECT_EQ(counter.calls.fetch, fetches) << "no server call after the end";
    sql.CloseCursor();
    EXPECT_EQ(ClientErrorOf([&] { (void)sql.FetchNext(); }), "IBSQL Closed");
}

TEST_F(Statement, refresh_by_close_and_execute_reuses_the_handle)
{
    Text("SELECT * FROM SL_PROC_STATE");
    sql.ExecQuery();
    const TClientHandle handle = sql.StatementHandle();
    sql.CloseCursor();
    TCallCounter counter;
    sql.ExecQuery();
    EXPECT_EQ(sql.StatementHandle(), handle);
    EXPECT_EQ(counter.calls.prepare, 0);
    EXPECT_EQ(counter.calls.describe, 0);
    EXPECT_EQ(counter.calls.execute2, 1);
    EXPECT_EQ(counter.calls.cursorNames, std::vector<std::string>{sql.CursorName()});
    EXPECT_EQ(sql.Current()[0].IntegerValue(), 1);
}

TEST_F(Statement, a_repeated_name_sets_only_its_first_position)
{
    Text("SELECT PROC_ID FROM VELKOR_PROCESS WHERE PROC_ID = :A OR PROC_PRIORITY = :A");
    TIBXSQLDA &params = sql.Params();
    ASSERT_EQ(params.Count(), 2);
    EXPECT_EQ(params[0].Name(), "A");
    EXPECT_EQ(params[1].Name(), "");
    params.GetByName("a").SetIntegerValue(3);
    EXPECT_TRUE(params[0].Modified());
    EXPECT_FALSE(params[1].Modified());
    params[1].SetIntegerValue(-99);
    sql.ExecQuery();
    EXPECT_EQ(sql.Current()[0].IntegerValue(), 3);
    EXPECT_EQ(sql.FetchNext(), nullptr);
}

TEST_F(Statement, a_comment_or_literal_right_after_a_marker_reaches_the_server_as_such)
{
    sql.SQL().SetLines({"SELECT PROC_NAME FROM VELKOR_PROCESS WHERE PROC_ID = :ID--it's :B",
                        "AND PROC_NAME <> :NAME/*:C*/ AND PROC_NAME <> :OTHER||'x:D'"});
    TIBXSQLDA &params = sql.Params();
    ASSERT_EQ(params.Count(), 3) << "no marker inside the comments or the literal";
    EXPECT_EQ(params[2].Name(), "OTHER");
    params.GetByName("ID").SetIntegerValue(7);
    params.GetByName("NAME").SetStringValue("none");
    params.GetByName("OTHER").SetStringValue("none");
    sql.ExecQuery();
    EXPECT_EQ(sql.Current()[0].StringValue(), "mail relay");
}

TEST_F(Statement, a_lower_case_marker_is_found_in_any_case)
{
    Text("SELECT PROC_NAME FROM VELKOR_PROCESS WHERE PROC_ID = :proc_id");
    EXPECT_NE(sql.Params().FindByName("PROC_ID"), nullptr);
    EXPECT_EQ(sql.Params().FindByName("Proc_Id"), &sql.Params()[0]);
    EXPECT_EQ(sql.ProcessedSQL(), "SELECT PROC_NAME FROM VELKOR_PROCESS WHERE PROC_ID = ?\r\n");
    EXPECT_EQ(ClientErrorOf([&] { (void)sql.Params().GetByName("NOPE"); }),
              "Field \"NOPE\" not found");
    EXPECT_EQ(ClientErrorOf([&] { (void)sql.Params()[1]; }), "XSQLDA index out of range");
    EXPECT_EQ(ClientErrorOf([&] { (void)sql.ColumnByIndex(7); }), "Field \"7\" not found");
}

TEST_F(Statement, exec_procedure_tries_once_more_and_reports_the_second_error)
{
    Text("EXECUTE PROCEDURE SET_PROC_PRIORITY :PROC_ID, :PRIORITY");
    sql.Params().GetByName("PROC_ID").SetIntegerValue(1);
    sql.Params().GetByName("PRIORITY").SetIntegerValue(7);
    {
        TCallCounter counter;
        counter.calls.failExecute2 = 1;
        sql.ExecQuery();
        EXPECT_EQ(counter.calls.execute2, 2);
        EXPECT_EQ(counter.calls.prepare, 1) << "prepared again before the second try";
    }
    EXPECT_EQ(sql.StatementKind(), StatementKind::ExecProcedure);
    EXPECT_EQ(sql.Current().GetByName("RESULT").IntegerValue(), 1);
    EXPECT_EQ(test::QueryInteger(database, transaction,
                                 "SELECT PROC_PRIORITY FROM SL_PROC_STATE WHERE PROC_ID = 1"),
              7);

    sql.Params()[0].SetStringValue("not a number");
    TCallCounter counter;
    try {
        sql.ExecQuery();
        FAIL();
    } catch (const EIBInterBaseError &error) {
        EXPECT_NE(std::string(error.what()).find("conversion"), std::string::npos) << error.what();
    }
    EXPECT_EQ(counter.calls.execute2, 2);
    EXPECT_TRUE(sql.IsPrepared()) << "a failed execute leaves the statement prepared";
}

TEST_F(Statement, statement_without_output_ends_with_an_empty_current)
{
    Text("UPDATE VELKOR_PROCESS SET PROC_PRIORITY = 5 WHERE PROC_ID = :ID");
    sql.Params()[0].SetIntegerValue(2);
    sql.ExecQuery();
    EXPECT_EQ(sql.Current().Count(), 0);
    EXPECT_EQ(sql.RowsAffected(), 1);
    EXPECT_FALSE(sql.IsOpen());
}

TEST_F(Statement, bad_uses_are_refused_with_their_messages)
{
    EXPECT_EQ(ClientErrorOf([&] { sql.Prepare(); }), "Empty query");
    Text("SET TRANSACTION");
    EXPECT_EQ(ClientErrorOf([&] { sql.Prepare(); }), "Not permitted");
    EXPECT_EQ(sql.StatementHandle(), 0u);
    EXPECT_FALSE(sql.IsPrepared());
    Text("SELECT * FROM SL_PROC_STATE WHERE PROC_ID = ?");
    EXPECT_EQ(ClientErrorOf([&] { sql.Prepare(); }),
              "SQL Parse Error:\r\n\r\nParameter name expected");
    sql.SetAutoParamNames(true);
    sql.Prepare();
    EXPECT_EQ(sql.Params()[0].Name(), "IBXPARAM0");
    sql.Params()[0].SetIntegerValue(1);
    sql.ExecQuery();
    EXPECT_EQ(ClientErrorOf([&] { sql.ExecQuery(); }), "IBSQL Open");
    EXPECT_EQ(ClientErrorOf([&] { sql.Prepare(); }), "IBSQL Open");
    EXPECT_EQ(ClientErrorOf([&] { Text("SELECT 1 FROM RDB$DATABASE"); }), "IBSQL Open");
    EXPECT_EQ(sql.SQL()[0], "SELECT * FROM SL_PROC_STATE WHERE PROC_ID = ?") << "nothing lost";
    EXPECT_EQ(sql.Current()[1].StringValue(), "scheduler");
    transaction.Commit();
    EXPECT_FALSE(sql.IsOpen()) << "the transaction's end closes the cursor";
    EXPECT_TRUE(sql.IsPrepared());
    transaction.StartTransaction();
    database.SetConnected(false);
    EXPECT_FALSE(sql.IsPrepared()) << "disconnecting drops the handle";
    EXPECT_EQ(sql.StatementHandle(), 0u);
}

TEST_F(Statement, values_convert_as_their_types_say)
{
    Text("SELECT CAST(123.45 AS NUMERIC(9,2)) AS N, CAST('abc' AS CHAR(10)) AS T, "
         "CAST(NULL AS INTEGER) AS Z, 1 AS ID, 2 AS ID, "
         "3 AS ABCDEFGHIJKLMNOPQRSTUVWXYZ01234, 4 AS ABCDEFGHIJKLMNOPQRSTUVWXYZ01234 "
         "FROM RDB$DATABASE");
    sql.ExecQuery();
    TIBXSQLDA &row = sql.Current();
    EXPECT_EQ(row.Names(), (std::vector<std::string>{"N", "T", "Z", "ID", "ID1",
                                                     "ABCDEFGHIJKLMNOPQRSTUVWXYZ01234",
                                                     "ABCDEFGHIJKLMNOPQRSTUVWXYZ01231"}));
    EXPECT_EQ(row[6].AliasName(), "ABCDEFGHIJKLMNOPQRSTUVWXYZ01231");
    const TIBXSQLVAR &n = row[0];
    EXPECT_EQ(n.ColumnType(), SqlType::Long);
    EXPECT_EQ(n.Scale(), -2);
    EXPECT_EQ(n.DoubleValue(), 123.45);
    EXPECT_EQ(n.StringValue(), "123.45");
    EXPECT_EQ(n.CurrencyValue(), TCurrency{1234500});
    EXPECT_EQ(n.VariantValue(), TVariant(TCurrency{1234500}));
    EXPECT_EQ(n.IntegerValue(), 123);
    EXPECT_EQ(row[1].StringValue(), "abc       ");
    EXPECT_EQ(row[1].VariantValue(), TVariant("abc       "));
    EXPECT_EQ(ClientErrorOf([&] { (void)row[1].IntegerValue(); }), "Invalid data conversion");
    EXPECT_EQ(ClientErrorOf([&] { (void)row[1].QuadValue(); }), "Invalid data conversion");
    EXPECT_TRUE(row[2].IsNullValue());
    EXPECT_EQ(row[2].IntegerValue(), 0);
    EXPECT_EQ(row[2].StringValue(), "");
    EXPECT_TRUE(row[2].VariantValue().IsNull());
    EXPECT_EQ(row[2].DataPointer(), nullptr);
    EXPECT_EQ(row[3].VariantValue(), TVariant(1));
}

TEST_F(Statement, setters_rewrite_the_entry_to_their_own_type)
{
    Text("SELECT PROC_NAME FROM VELKOR_PROCESS WHERE PROC_ID = :ID");
    TIBXSQLVAR &id = sql.Params()[0];
    id.SetShortValue(4);
    EXPECT_EQ(id.ColumnType(), SqlType::Short);
    id.SetIntegerValue(4);
    EXPECT_EQ(id.ColumnType(), SqlType::Long);
    EXPECT_EQ(id.Length(), 4);
    id.SetInt64Value(5000000000LL);
    EXPECT_EQ(id.ColumnType(), SqlType::Int64);
    EXPECT_EQ(id.Int64Value(), 5000000000LL);
    EXPECT_EQ(id.StringValue(), "5000000000");
    EXPECT_EQ(ClientErrorOf([&] { (void)id.VariantValue(); }), "Invalid data conversion");
    EXPECT_EQ(ClientErrorOf([&] { (void)id.IntegerValue(); }), "Invalid data conversion");
    id.SetCurrencyValue(TCurrency{12345});
    EXPECT_EQ(id.Scale(), -4);
    EXPECT_EQ(id.DoubleValue(), 1.2345);
    id.SetDateTimeValue(TDateTime{45000.5});
    EXPECT_EQ(id.DateTimeValue(), TDateTime{45000.5});
    EXPECT_EQ(id.StringValue(), "2023-03-15");
    EXPECT_EQ(ClientErrorOf([&] { id.SetStringValue("1"); }), "Invalid data conversion");
    id.SetStringValue("2024-02-29 10:30");
    EXPECT_EQ(id.DateTimeValue(), TDateTime{45351.0 + 10.5 / 24});
    id.SetStringValue("");
    EXPECT_TRUE(id.IsNullValue()) << "an empty text is null for a non-text entry";
    id.SetIntegerValue(0);
    id.SetStringValue("1");
    EXPECT_EQ(id.ColumnType(), SqlType::Text);
    sql.ExecQuery();
    EXPECT_EQ(sql.Current()[0].StringValue(), "scheduler");
    sql.CloseCursor();
    id.SetIsNullValue(true);
    EXPECT_TRUE(id.IsNullValue());
    sql.ExecQuery();
    EXPECT_EQ(sql.FetchedCount(), 0) << "nothing equals null";
}

TEST_F(Statement, a_text_changed_inside_an_update_is_guarded_and_prepared_anew)
{
    Text("SELECT PROC_NAME FROM VELKOR_PROCESS WHERE PROC_ID = 1");
    sql.ExecQuery();
    TStringList &text = sql.SQL();
    text.BeginUpdate();
    EXPECT_EQ(ClientErrorOf([&] { text.Clear(); }), "IBSQL Open");
    text.EndUpdate();
    EXPECT_EQ(text.Lines(),
              std::vector<std::string>{"SELECT PROC_NAME FROM VELKOR_PROCESS WHERE PROC_ID = 1"})
        << "nothing lost";
    EXPECT_EQ(sql.Current()[0].StringValue(), "scheduler");

    sql.CloseCursor();
    text.BeginUpdate();
    text.Clear();
    text.Add("SELECT PROC_ID, PROC_PRIORITY FROM VELKOR_PROCESS");
    text.Add("WHERE PROC_ID = 2");
    text.EndUpdate();
    EXPECT_FALSE(sql.IsPrepared());
    sql.ExecQuery();
    ASSERT_EQ(sql.Current().Count(), 2);
    EXPECT_EQ(sql.Current()[0].IntegerValue(), 2);
}

TEST_F(Statement, select_for_update_is_fetched_through_a_cursor)
{
    Text("SELECT PROC_ID FROM VELKOR_PROCESS WHERE PROC_ID <= 3 ORDER BY PROC_ID FOR UPDATE");
    sql.ExecQuery();
    EXPECT_EQ(sql.StatementKind(), StatementKind::SelectForUpdate);
    EXPECT_TRUE(sql.IsOpen());
    std::vector<int> ids{sql.Current()[0].IntegerValue()};
    while (TIBXSQLDA *row = sql.FetchNext())
        ids.push_back((*row)[0].IntegerValue());
    EXPECT_EQ(ids, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(ClientErrorOf([&] { sql.ExecQuery(); }), "IBSQL Open");
    sql.CloseCursor();
    sql.ExecQuery();
    EXPECT_EQ(sql.Current()[0].IntegerValue(), 1) << "closed and opened again";
    EXPECT_EQ(sql.UniqueRelationName(), "VELKOR_PROCESS");
}

TEST_F(Statement, line_comments_hide_quotes_and_markers_from_the_scanner)
{
    Text("SELECT PROC_NAME FROM VELKOR_PROCESS -- it's :NOT a parameter\r\n"
         "WHERE PROC_ID = :ID -- nor is :THIS");
    ASSERT_EQ(sql.Params().Count(), 1);
    EXPECT_EQ(sql.Params()[0].Name(), "ID");
    sql.Params()[0].SetIntegerValue(1);
    sql.ExecQuery();
    EXPECT_EQ(sql.Current()[0].StringValue(), "scheduler");
}

TEST_F(Statement, a_failed_fetch_reports_its_own_error_and_leaves_the_cursor_closed)
{
    sql.SetGoToFirstRecordOnExecute(false);
    Text("SELECT 100 / (PROC_ID - 5) FROM VELKOR_PROCESS ORDER BY PROC_ID");
    sql.ExecQuery();
    std::string message;
    try {
        while (sql.FetchNext()) {
        }
    } catch (const EIBInterBaseError &error) {
        message = error.what();
    }
    EXPECT_NE(message.find("divide by zero"), std::string::npos) << message;
    EXPECT_EQ(sql.FetchedCount(), 0);
    EXPECT_FALSE(sql.IsOpen());
    EXPECT_EQ(ClientErrorOf([&] { (void)sql.FetchNext(); }), "IBSQL Closed");
}

TEST_F(Statement, dropping_an_open_cursor_closes_it_with_the_handle)
{
    Text("SELECT PROC_ID FROM VELKOR_PROCESS ORDER BY PROC_ID");
    sql.ExecQuery();
    ASSERT_TRUE(sql.IsOpen());
    sql.DropStatement();
    EXPECT_FALSE(sql.IsOpen());
    EXPECT_FALSE(sql.IsPrepared());
    EXPECT_EQ(sql.StatementHandle(), 0u);
    EXPECT_EQ(ClientErrorOf([&] { (void)sql.FetchNext(); }), "IBSQL Closed");
    sql.ExecQuery();
    EXPECT_EQ(sql.Current()[0].IntegerValue(), 1) << "prepared and opened again";
}

TEST(ScaleConversion, scaled_integers_become_doubles_and_currency)
{
    EXPECT_EQ(AdjustScale(12345, -2), 123.45);
    EXPECT_EQ(AdjustScale(12, 3), 12000.0);
    EXPECT_EQ(AdjustScale(1, -18), 1e-18) << "powers beyond 32 bits";
    EXPECT_EQ(AdjustScaleToCurrency(12345, -2), TCurrency{1234500});
    EXPECT_EQ(AdjustScaleToCurrency(-12345, -2), TCurrency{-1234500});
    EXPECT_EQ(AdjustScaleToCurrency(123456, -6), TCurrency{1235});
    EXPECT_EQ(AdjustScaleToCurrency(7, 2), TCurrency{7000000});
    EXPECT_EQ(AdjustScaleToCurrency(7, 0), TCurrency{70000});
    EXPECT_THROW((void)AdjustScaleToCurrency(INT64_MAX / 100, 0), EIBClientError);
}

} // namespace
} // namespace velkor
