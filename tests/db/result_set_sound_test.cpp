// The result set never crashes and never shows another column or row than the one asked for:
// odd selects, statements that are not selects, a schema changed by another session, a
// uni-directional cache. A navigation that once crashed runs first in a child process.
#include "dataset/data_source.h"
#include "dataset/field.h"
#include "db/connection/ib_database.h"
#include "db/connection/ib_transaction.h"
#include "db/dataset/ib_dataset.h"
#include "tests/support/client_call_counter.h"
#include "tests/support/error_text.h"
#include "tests/support/panel_list_fixture.h"
#include "tests/support/raw_sql.h"
#include "tests/support/recording_link.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace velkor {
namespace {

using test::ErrorText;

class ResultSetSound : public test::PanelListTest
{
protected:
    void SetUp() override
    {
        PanelListTest::SetUp();
        // The child runs the test program again up to the statement: no client library state
        // is shared with a forked copy of this process.
        GTEST_FLAG_SET(death_test_style, "threadsafe");
    }
    // A plain result set of its own on the panel's connection, making its own fields.
    TIBDataSet &Plain(const std::string &name, const std::string &text)
    {
        auto &set = CreateOwned<TIBDataSet>(owner);
        set.SetName(name);
        set.SetDatabase(&database);
        set.SetTransaction(&transaction);
        set.SelectSQL().SetText(text);
        return set;
    }
    void Define(const std::string &ddl)
    {
        test::ExecuteRaw(database, transaction, ddl);
        transaction.Commit();
        transaction.StartTransaction();
    }
    // Runs `moves` in a child first: a crash there fails the test without taking this
    // process along. The child leaves at once, its attachment as it is: the client library's
    // clean-up at exit is no part of the test.
    void SurvivesInChild(const std::function<void()> &moves)
    {
        EXPECT_EXIT(
            {
                moves();
                std::_Exit(0);
            },
            ::testing::ExitedWithCode(0), "");
    }
};

TEST_P(ResultSetSound, every_field_reads_its_own_column_behind_the_key_column)
{
    Select("SELECT RDB$DB_KEY AS IBX_INTERNAL_DBKEY, PROC_ID, PROC_NAME, PROC_PRIORITY, "
           "PROC_ID * 1000 AS PROC_AGE_MS, 7 AS PROC_AGE_DAYS FROM VELKOR_PROCESS "
           "ORDER BY PROC_ID");
    panel.list.Open();
    EXPECT_EQ(panel.procId.AsInteger(), 1);
    EXPECT_EQ(panel.procName.AsString(), "scheduler");
    EXPECT_EQ(panel.priority.AsInteger(), 10);
    EXPECT_EQ(panel.ageMs.AsInteger(), 1000);
    EXPECT_EQ(panel.ageDays.AsInteger(), 7);
    EXPECT_TRUE(panel.list.Locate("PROC_ID", TVariant(7), {}));
    EXPECT_EQ(panel.procName.AsString(), "mail relay");
    EXPECT_EQ(panel.ageMs.AsInteger(), 7000);
}

TEST_P(ResultSetSound, opening_a_statement_that_is_no_select_runs_it_and_leaves_an_empty_set)
{
    Select("UPDATE VELKOR_PROCESS SET PROC_PRIORITY = 99 WHERE PROC_ID = 3");
    auto navigate = [&] {
        panel.list.Open();
        panel.list.First();
        panel.list.Last();
        (void)panel.list.Locate("PROC_ID", TVariant(3), {});
        (void)panel.list.MoveBy(2);
        (void)panel.list.MoveBy(-2);
        panel.list.GotoBookmark(panel.list.Bookmark());
    };
    SurvivesInChild(navigate);
    if (HasFailure())
        return;
    navigate();
    EXPECT_TRUE(panel.list.Active());
    EXPECT_TRUE(panel.list.IsEmpty());
    EXPECT_TRUE(panel.list.Eof());
    EXPECT_EQ(panel.list.RecordCount(), 0);
    EXPECT_EQ(panel.list.RecNo(), 0);
    EXPECT_EQ(panel.procId.AsInteger(), 0);
    EXPECT_EQ(panel.procName.AsString(), "");
    EXPECT_EQ(test::QueryInteger(database, transaction,
                                 "SELECT PROC_PRIORITY FROM VELKOR_PROCESS WHERE PROC_ID = 3"),
              99)
        << "the statement ran";
    panel.list.Close();
    EXPECT_FALSE(panel.list.Active());
}

TEST_P(ResultSetSound, a_select_for_update_is_read_as_the_select_it_is)
{
    Select("SELECT PROC_ID, PROC_NAME, PROC_PRIORITY, 0 AS PROC_AGE_MS, 0 AS PROC_AGE_DAYS "
           "FROM VELKOR_PROCESS WHERE STOPPED_AT IS NULL FOR UPDATE");
    auto navigate = [&] {
        panel.list.Open();
        panel.list.First();
        (void)panel.list.Locate("PROC_ID", TVariant(12), {});
        panel.list.Last();
    };
    SurvivesInChild(navigate);
    if (HasFailure())
        return;
    navigate();
    EXPECT_EQ(panel.list.FieldDefs().Count(), 5);
    EXPECT_EQ(panel.list.RecordCount(), 40);
    EXPECT_EQ(panel.procId.AsInteger(), 40);
    panel.list.First();
    EXPECT_EQ(panel.procName.AsString(), "scheduler");
    EXPECT_TRUE(panel.list.Locate("PROC_ID", TVariant(7), {}));
    EXPECT_EQ(panel.procName.AsString(), "mail relay");
}

TEST_P(ResultSetSound, definitions_follow_columns_another_session_reordered)
{
    Define("CREATE TABLE REORDERED (A INTEGER, B VARCHAR(10))");
    test::ExecuteRaw(database, transaction, "INSERT INTO REORDERED VALUES (1, 'xyz')");
    transaction.Commit();
    transaction.StartTransaction();
    TIBDataSet &set = Plain("Reordered", "SELECT * FROM REORDERED");
    set.Open();
    EXPECT_EQ(set.FieldByName("A").AsInteger(), 1);
    EXPECT_EQ(set.FieldByName("B").AsString(), "xyz");
    set.Close();
    transaction.Commit();
    test::ExecuteElsewhere(attached.path, "ALTER TABLE REORDERED ALTER COLUMN B POSITION 1");
    transaction.StartTransaction();

    set.Open();
    ASSERT_EQ(set.FieldDefs().Count(), 2);
    EXPECT_EQ(set.FieldDefs()[0].name, "B");
    EXPECT_EQ(set.FieldByName("A").AsInteger(), 1);
    EXPECT_EQ(set.FieldByName("B").AsString(), "xyz");
    set.Close();

    transaction.Commit();
    test::ExecuteElsewhere(attached.path, "ALTER TABLE REORDERED ADD C INTEGER");
    transaction.StartTransaction();
    set.Open();
    EXPECT_EQ(set.FieldDefs().Count(), 3) << "a new column gets its definition";
    EXPECT_TRUE(set.FieldByName("C").IsNull());
    EXPECT_EQ(set.FieldByName("B").AsString(), "xyz");
}

TEST_P(ResultSetSound, kept_definitions_cost_no_catalogue_query_when_nothing_changed)
{
    panel.list.Open();
    panel.list.Close();
    transaction.Commit();
    transaction.StartTransaction();
    test::TClientCallCounter counter;
    panel.list.Open();
    EXPECT_EQ(counter.prepare, 1) << "the dropped select only";
    EXPECT_EQ(panel.list.FieldDefs().Count(), 5);
    EXPECT_EQ(panel.procId.AsInteger(), 1);
    EXPECT_EQ(panel.procName.AsString(), "scheduler");
}

TEST_P(ResultSetSound, a_uni_directional_set_never_shows_a_row_it_no_longer_holds)
{
    TIBDataSet &set =
        Plain("Forward", "SELECT PROC_ID FROM VELKOR_PROCESS WHERE PROC_ID <= 6 ORDER BY PROC_ID");
    set.SetUniDirectional(true);
    set.Open();
    TField &id = set.FieldByName("PROC_ID");
    EXPECT_EQ(id.AsInteger(), 1);
    set.Next();
    set.Next();
    set.Next();
    EXPECT_EQ(id.AsInteger(), 4);
    set.Prior();
    EXPECT_EQ(id.AsInteger(), 3) << "the row before the last is still held";
    EXPECT_EQ(ErrorText([&] { set.Prior(); }),
              "Forward: Operation not allowed on a unidirectional dataset");
    EXPECT_EQ(id.AsInteger(), 3) << "no other row shown in its place";
    set.Next();
    EXPECT_EQ(id.AsInteger(), 4);
    set.Next();
    set.Next();
    EXPECT_EQ(id.AsInteger(), 6);
    EXPECT_EQ(ErrorText([&] { set.First(); }),
              "Forward: Operation not allowed on a unidirectional dataset");
    EXPECT_TRUE(id.IsNull()) << "an emptied window, not the wrong row";
    set.Close();
    set.Open();
    // The default fields are made again at each open: the old reference is gone.
    EXPECT_EQ(set.FieldByName("PROC_ID").AsInteger(), 1) << "reopening starts again";
}

TEST_P(ResultSetSound, every_column_type_reads_its_own_value_row_after_row_with_nulls_between)
{
    // Every way a fetched column goes into a record, with a row of nulls between two rows of
    // values, read as fetched, again from the cache, and after a reopen.
    const std::string values =
        "FROM MON$ATTACHMENTS A WHERE A.MON$ATTACHMENT_ID = CURRENT_CONNECTION";
    TIBDataSet &set = Plain(
        "Types",
        "SELECT 1 AS N, CAST(-7 AS SMALLINT) AS S, CAST('ab' AS CHAR(4)) AS C, "
        "CAST(123.45 AS NUMERIC(9,2)) AS M, CAST(-1.5 AS NUMERIC(4,1)) AS SM, "
        "CAST(2.5 AS DOUBLE PRECISION) AS D, CAST('2024-02-29 18:00:00' AS DATE) AS T, "
        "CAST('longer text' AS VARCHAR(20)) AS V, A.MON$ATTACHMENT_ID AS B " +
            values +
            " UNION ALL SELECT 2, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL FROM RDB$DATABASE "
            "UNION ALL SELECT 3, CAST(32000 AS SMALLINT), CAST('xyz' AS CHAR(4)), "
            "CAST(-0.05 AS NUMERIC(9,2)), CAST(0.5 AS NUMERIC(4,1)), "
            "CAST(-1.0E10 AS DOUBLE PRECISION), CAST('1999-12-31 12:00:00' AS DATE), "
            "CAST('tiny' AS VARCHAR(20)), -A.MON$ATTACHMENT_ID " +
            values + " ORDER BY 1");
    auto expectRow = [&set](int row) {
        SCOPED_TRACE("row " + std::to_string(row));
        ASSERT_EQ(set.FieldByName("N").AsInteger(), row);
        const std::vector<std::string> names{"S", "C", "M", "SM", "D", "T", "V", "B"};
        for (const std::string &name : names)
            EXPECT_EQ(set.FieldByName(name).IsNull(), row == 2) << name;
        if (row == 2) {
            EXPECT_EQ(set.FieldByName("V").AsString(), "");
            EXPECT_EQ(set.FieldByName("B").AsLargeInt(), 0);
            return;
        }
        const bool first = row == 1;
        EXPECT_EQ(set.FieldByName("S").AsInteger(), first ? -7 : 32000);
        EXPECT_EQ(set.FieldByName("C").AsString(), first ? "ab  " : "xyz ");
        EXPECT_DOUBLE_EQ(set.FieldByName("M").AsFloat(), first ? 123.45 : -0.05);
        EXPECT_DOUBLE_EQ(set.FieldByName("SM").AsFloat(), first ? -1.5 : 0.5);
        EXPECT_DOUBLE_EQ(set.FieldByName("D").AsFloat(), first ? 2.5 : -1.0E10);
        // Days since 30 December 1899.
        EXPECT_DOUBLE_EQ(set.FieldByName("T").AsFloat(), first ? 45351.75 : 36525.5);
        EXPECT_EQ(set.FieldByName("V").AsString(), first ? "longer text" : "tiny");
    };
    for (int pass = 0; pass < 2; ++pass) {
        set.Open();
        const std::int64_t attachment = set.FieldByName("B").AsLargeInt();
        EXPECT_GT(attachment, 0);
        expectRow(1);
        set.Next();
        expectRow(2);
        set.Next();
        expectRow(3);
        EXPECT_EQ(set.FieldByName("B").AsLargeInt(), -attachment);
        set.Next();
        EXPECT_TRUE(set.Eof());
        set.First();
        expectRow(1);
        EXPECT_TRUE(set.Locate("N", TVariant(3), {}));
        expectRow(3);
        set.Prior();
        expectRow(2);
        set.Close();
    }
    // The panel's integer field on a small-integer column reads it widened, sign and all.
    Select("SELECT PROC_ID, PROC_NAME, CAST(-PROC_PRIORITY AS SMALLINT) AS PROC_PRIORITY, "
           "PROC_AGE_MS, PROC_AGE_DAYS FROM SL_PROC_STATE");
    panel.list.Open();
    EXPECT_EQ(panel.priority.AsInteger(), -10);
    EXPECT_TRUE(panel.list.Locate("PROC_ID", TVariant(8), {}));
    EXPECT_EQ(panel.priority.AsInteger(), -6);
}

TEST_P(ResultSetSound, move_by_that_does_not_move_runs_before_scroll_only)
{
    // Kept as it is: the check for a move comes after BeforeScroll, and nothing follows it.
    std::vector<std::string> events;
    panel.list.BeforeScroll = [&](TObject *) { events.push_back("before"); };
    panel.list.AfterScroll = [&](TObject *) { events.push_back("after"); };
    panel.list.Open();
    events.clear();
    link.calls.clear();
    EXPECT_EQ(panel.list.MoveBy(0), 0);
    EXPECT_EQ(panel.list.MoveBy(-1), 0) << "at the first row";
    EXPECT_EQ(events, (std::vector<std::string>{"before", "before"}));
    EXPECT_TRUE(link.calls.empty());
    panel.list.Last();
    events.clear();
    EXPECT_EQ(panel.list.MoveBy(1), 0) << "after the last row";
    EXPECT_EQ(events, (std::vector<std::string>{"before"}));
    EXPECT_EQ(panel.list.MoveBy(-1), -1);
    EXPECT_EQ(events, (std::vector<std::string>{"before", "before", "after"}));
}

VELKOR_ON_BOTH_ENGINES(ResultSetSound);

} // namespace
} // namespace velkor
