// The buffered result set and its fields against a real throwaway database: the panel's list
// of 40 processes, read as the panel reads it.
#include "dataset/data_source.h"
#include "dataset/field.h"
#include "db/client/ib_error.h"
#include "db/connection/ib_database.h"
#include "db/connection/ib_transaction.h"
#include "db/dataset/ib_dataset.h"
#include "tests/support/attached_database.h"
#include "tests/support/client_call_counter.h"
#include "tests/support/error_text.h"
#include "tests/support/panel_list_fixture.h"
#include "tests/support/raw_sql.h"
#include "tests/support/recording_link.h"
#include "tests/support/test_database.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <functional>

namespace velkor {
namespace {

using test::ErrorText;

// The panel's list as the panel reads it.
class ResultSet : public test::PanelListTest
{
};

TEST_P(ResultSet, open_fetches_only_the_rows_of_the_window_and_the_cache_grows_by_chunks)
{
    // Prepared first, so that only the list's own fetches are counted.
    panel.list.Open();
    panel.list.Close();
    test::TClientCallCounter counter;
    panel.list.Open();
    EXPECT_EQ(counter.fetch, 10);
    EXPECT_EQ(panel.list.RecordCount(), 10);
    EXPECT_EQ(panel.list.RecNo(), 1);
    EXPECT_EQ(panel.procId.AsInteger(), 1);
    EXPECT_EQ(panel.list.CacheGrowths(), 1u);

    // 32 records fit the first chunk; the 33rd makes the one growth that 40 rows need.
    EXPECT_EQ(panel.list.MoveBy(31), 31);
    EXPECT_EQ(panel.list.RecordCount(), 32);
    EXPECT_EQ(panel.list.CacheGrowths(), 1u);
    panel.list.Next();
    EXPECT_EQ(panel.list.CacheGrowths(), 2u);
    panel.list.Last();
    EXPECT_EQ(panel.list.RecordCount(), 40);
    EXPECT_EQ(panel.list.CacheGrowths(), 2u);
    EXPECT_EQ(panel.procId.AsInteger(), 40);
    EXPECT_TRUE(panel.list.Eof());
    EXPECT_EQ(counter.fetch, 41) << "every row once, and the end";
}

TEST_P(ResultSet, locate_finds_the_first_match_and_fetches_only_as_far_as_the_window_needs)
{
    panel.list.Open();
    link.calls.clear();
    EXPECT_TRUE(panel.list.Locate("PROC_ID", TVariant(35), {}));
    EXPECT_EQ(panel.procId.AsInteger(), 35);
    EXPECT_EQ(panel.list.RecNo(), 35);
    EXPECT_EQ(panel.list.RecordCount(), 35);
    EXPECT_EQ(link.calls, (std::vector<std::string>{"changed"})) << "one notification at the end";
    EXPECT_EQ(link.ActiveRecord(), 9) << "the found row is the window's last";
}

TEST_P(ResultSet, locate_miss_reads_every_row_and_goes_back_to_where_it_was)
{
    panel.list.Open();
    panel.list.MoveBy(4);
    link.calls.clear();
    EXPECT_FALSE(panel.list.Locate("PROC_ID", TVariant(4000), {}));
    EXPECT_EQ(panel.list.RecordCount(), 40);
    EXPECT_EQ(panel.procId.AsInteger(), 5);
    EXPECT_EQ(link.calls, (std::vector<std::string>{"changed"}));

    panel.list.Close();
    panel.list.Open();
    EXPECT_FALSE(panel.list.Locate("PROC_ID", TVariant(0), {}));
    EXPECT_EQ(panel.procId.AsInteger(), 1) << "right after open: the first row";
}

TEST_P(ResultSet, locate_on_an_empty_list_moves_nothing_and_unknown_keys_are_named)
{
    Elsewhere("UPDATE VELKOR_PROCESS SET STOPPED_AT = CURRENT_TIMESTAMP");
    panel.list.Open();
    EXPECT_TRUE(panel.list.IsEmpty());
    EXPECT_FALSE(panel.list.Locate("PROC_ID", TVariant(1), {}));
    EXPECT_TRUE(panel.list.IsEmpty());
    EXPECT_EQ(panel.procId.AsInteger(), 0);
    EXPECT_EQ(ErrorText([&] { (void)panel.list.Locate("NO_SUCH", TVariant(1), {}); }),
              "ProceduresList: Field 'NO_SUCH' not found");
}

TEST_P(ResultSet, locate_compares_text_by_its_options_and_keys_of_two_fields)
{
    panel.list.Open();
    EXPECT_TRUE(panel.list.Locate("PROC_NAME", TVariant("mail relay"), {}));
    EXPECT_EQ(panel.procId.AsInteger(), 7);
    EXPECT_FALSE(panel.list.Locate("PROC_NAME", TVariant("MAIL RELAY"), {}));
    EXPECT_TRUE(panel.list.Locate("PROC_NAME", TVariant("MAIL RELAY"), {true, false}));
    EXPECT_TRUE(panel.list.Locate("PROC_NAME", TVariant("queue worker 2"), {false, true}));
    EXPECT_EQ(panel.procId.AsInteger(), 21) << "the first name that begins so";
    const std::vector<TVariant> keys{TVariant(8), TVariant(6)};
    EXPECT_TRUE(panel.list.Locate("PROC_ID; PROC_PRIORITY", keys, {}));
    EXPECT_EQ(panel.procId.AsInteger(), 8);
    const std::vector<TVariant> wrong{TVariant(8), TVariant(5)};
    EXPECT_FALSE(panel.list.Locate("PROC_ID;PROC_PRIORITY", wrong, {}));
}

TEST_P(ResultSet, a_null_key_is_never_found)
{
    Select("SELECT CAST(NULL AS INTEGER) AS PROC_ID, 'ghost' AS PROC_NAME, "
           "CAST(NULL AS INTEGER) AS PROC_PRIORITY, 0 AS PROC_AGE_MS, 0 AS PROC_AGE_DAYS "
           "FROM RDB$DATABASE UNION ALL SELECT * FROM SL_PROC_STATE");
    panel.list.Open();
    EXPECT_TRUE(panel.procId.IsNull());
    EXPECT_EQ(panel.procId.AsInteger(), 0);
    EXPECT_FALSE(panel.list.Locate("PROC_ID", TVariant::Null(), {}));
    EXPECT_FALSE(panel.list.Locate("PROC_ID", TVariant(0), {}));
    EXPECT_EQ(panel.list.RecNo(), 1);
    EXPECT_EQ(panel.priority.AsInteger(), 0);
    EXPECT_EQ(panel.priority.DisplayText(), "");
    EXPECT_TRUE(panel.priority.AsVariant().IsNull());
}

TEST_P(ResultSet, reopening_reuses_the_prepared_statement_and_a_reconnect_prepares_again)
{
    panel.list.Open();
    {
        test::TClientCallCounter counter;
        panel.list.Close();
        panel.list.Open();
        EXPECT_EQ(counter.prepare, 0);
        EXPECT_EQ(counter.execute, 1);
    }
    database.SetConnected(false);
    EXPECT_FALSE(panel.list.Active());
    EXPECT_FALSE(panel.list.Prepared());
    database.SetConnected(true);
    transaction.StartTransaction();
    test::TClientCallCounter counter;
    panel.list.Open();
    EXPECT_EQ(counter.prepare, 1 + 5) << "the select, then one catalogue query per column";
    EXPECT_EQ(panel.procId.AsInteger(), 1);
}

TEST_P(ResultSet, a_changed_text_prepares_again_and_is_refused_while_open)
{
    panel.list.Open();
    EXPECT_EQ(ErrorText([&] { Select("SELECT * FROM SL_PROC_STATE WHERE PROC_ID > 5"); }),
              "Dataset open");
    EXPECT_EQ(ErrorText([&] {
                  panel.list.SelectSQL().BeginUpdate();
                  panel.list.SelectSQL().Clear();
                  panel.list.SelectSQL().EndUpdate();
              }),
              "Dataset open");
    EXPECT_EQ(panel.list.SelectSQL().Text(), "SELECT * FROM SL_PROC_STATE\n");
    panel.list.Close();
    Select("SELECT * FROM SL_PROC_STATE WHERE PROC_ID > 5");
    EXPECT_FALSE(panel.list.Prepared());
    panel.list.Open();
    EXPECT_EQ(panel.procId.AsInteger(), 6);
}

TEST_P(ResultSet, bad_opens_leave_the_set_closed_with_a_clear_error)
{
    Select("");
    EXPECT_EQ(ErrorText([&] { panel.list.Open(); }), "Empty query");
    EXPECT_FALSE(panel.list.Active());

    Select("SELECT * FROM NO_SUCH_TABLE");
    EXPECT_NE(ErrorText([&] { panel.list.Open(); }).find("NO_SUCH_TABLE"), std::string::npos);
    EXPECT_FALSE(panel.list.Active());
    EXPECT_FALSE(panel.list.Prepared());

    for (const std::function<void()> &move :
         std::vector<std::function<void()>>{[&] { panel.list.First(); }, [&] { panel.list.Next(); },
                                            [&] { (void)panel.list.MoveBy(3); }})
        EXPECT_EQ(ErrorText(move),
                  "ProceduresList: Cannot perform this operation on a closed dataset");

    TComponent bare{nullptr};
    auto &unassigned = CreateOwned<TIBDataSet>(bare);
    unassigned.SelectSQL().SetText("SELECT * FROM SL_PROC_STATE");
    EXPECT_EQ(ErrorText([&] { unassigned.Open(); }), "Database not assigned");
}

TEST_P(ResultSet, integer_reads_give_zero_on_a_list_never_opened_closed_or_empty)
{
    EXPECT_EQ(panel.procId.AsInteger(), 0);
    EXPECT_EQ(panel.procName.AsString(), "");
    EXPECT_TRUE(panel.procId.AsVariant().IsNull());
    panel.list.Open();
    panel.list.Close();
    EXPECT_EQ(panel.procId.AsInteger(), 0);
    Select("SELECT * FROM SL_PROC_STATE WHERE PROC_ID < 0");
    panel.list.Open();
    EXPECT_TRUE(panel.list.IsEmpty());
    EXPECT_EQ(panel.procId.AsInteger(), 0);
    EXPECT_EQ(panel.priority.AsInteger(), 0);
    EXPECT_EQ(panel.list.RecNo(), 0);
}

TEST_P(ResultSet, names_keep_their_length_and_fields_bind_by_name_in_any_order)
{
    Select("SELECT PROC_AGE_DAYS, PROC_AGE_MS, CAST(PROC_NAME AS CHAR(100)) AS PROC_NAME, "
           "PROC_PRIORITY, PROC_ID FROM SL_PROC_STATE");
    panel.list.Open();
    EXPECT_EQ(panel.procId.AsInteger(), 1);
    EXPECT_EQ(panel.priority.AsInteger(), 10);
    EXPECT_EQ(panel.procName.AsString(), "scheduler" + std::string(91, ' '))
        << "a fixed-length column keeps its blanks";
    panel.list.Close();
    Select("SELECT * FROM SL_PROC_STATE");
    panel.list.Open();
    EXPECT_EQ(panel.procName.AsString(), "scheduler");
    EXPECT_EQ(panel.procName.DisplayText(), "scheduler");
    EXPECT_EQ(panel.procId.DisplayText(), "1");
}

TEST_P(ResultSet, a_text_longer_than_the_field_is_cut_to_its_size)
{
    panel.procName.SetSize(5);
    panel.list.Open();
    EXPECT_EQ(panel.procName.AsString(), "sched");
    EXPECT_EQ(panel.procId.AsInteger(), 1) << "nothing written past the name's buffer";
}

TEST_P(ResultSet, binding_failures_name_the_field_by_its_label)
{
    Select("SELECT PROC_NAME, PROC_PRIORITY, PROC_AGE_MS, PROC_AGE_DAYS FROM SL_PROC_STATE");
    EXPECT_EQ(ErrorText([&] { panel.list.Open(); }), "ProceduresList: Field 'ProcID' not found");
    EXPECT_FALSE(panel.list.Active());

    Select("SELECT CAST(PROC_ID AS DOUBLE PRECISION) AS PROC_ID, PROC_NAME, PROC_PRIORITY, "
           "PROC_AGE_MS, PROC_AGE_DAYS FROM SL_PROC_STATE");
    EXPECT_EQ(ErrorText([&] { panel.list.Open(); }),
              "ProceduresList: Type mismatch for field 'ProcID', expecting: Integer actual: Float");

    Select("SELECT PROC_ID, PROC_ID AS PROC_NAME, PROC_PRIORITY, PROC_AGE_MS, PROC_AGE_DAYS "
           "FROM SL_PROC_STATE");
    EXPECT_EQ(ErrorText([&] { panel.list.Open(); }),
              "ProceduresList: Type mismatch for field 'Procedure name', expecting: String "
              "actual: Integer");
    EXPECT_FALSE(panel.list.Active());
}

TEST(ResultSetTypes, a_64_bit_identifier_is_a_type_mismatch)
{
    // Only a dialect-3 database has 64-bit integers.
    test::TTempFolder folder;
    const std::string path = folder.Path() + "/dialect3.fdb";
    const std::string script =
        "SET SQL DIALECT 3; CREATE DATABASE '" + path +
        "' USER 'SYSDBA'; CREATE VIEW SL_PROC_STATE (PROC_ID, PROC_NAME, PROC_PRIORITY, "
        "PROC_AGE_MS, PROC_AGE_DAYS) AS SELECT CAST(1 AS BIGINT), 'x', 0, 0, 0 FROM RDB$DATABASE;";
    std::ofstream(folder.Path() + "/make.sql") << script << "\n";
    ASSERT_EQ(
        std::system(("ISC_USER=SYSDBA isql-fb -q -b -i " + folder.Path() + "/make.sql").c_str()),
        0);
    test::TScriptedLogin login{"SYSDBA", ""};
    TComponent owner{nullptr};
    auto &database = CreateOwned<TIBDatabase>(owner);
    auto &transaction = CreateOwned<TIBTransaction>(owner);
    test::WirePanelPair(database, transaction, path);
    database.SetSQLDialect(3);
    database.SetConnected(true);
    transaction.StartTransaction();
    test::TPanelList panel{owner, database, transaction};
    EXPECT_EQ(
        ErrorText([&] { panel.list.Open(); }),
        "ProceduresList: Type mismatch for field 'ProcID', expecting: Integer actual: LargeInt");
    EXPECT_FALSE(panel.list.Active());
}

TEST_P(ResultSet, notifications_of_open_scroll_and_close_reach_the_link_in_order)
{
    std::vector<std::string> sourceCalls;
    source.OnStateChange = [&](TObject *) { sourceCalls.push_back("state"); };
    source.OnDataChange = [&](TDataSource &, TField *) { sourceCalls.push_back("data"); };
    panel.list.AfterOpen = [&](TObject *) { sourceCalls.push_back("after open"); };
    panel.list.AfterScroll = [&](TObject *) { sourceCalls.push_back("after scroll"); };
    panel.list.Open();
    EXPECT_EQ(link.calls, (std::vector<std::string>{"active"}));
    EXPECT_EQ(sourceCalls,
              (std::vector<std::string>{"state", "data", "after open", "after scroll"}));
    EXPECT_EQ(link.RecordCount(), 10);

    link.calls.clear();
    panel.list.MoveBy(9);
    EXPECT_EQ(link.calls, (std::vector<std::string>{"scrolled 0"})) << "inside the window";
    panel.list.Next();
    EXPECT_EQ(link.calls.back(), "scrolled 1") << "the window slid: the link scrolls one row";
    EXPECT_EQ(link.FirstRecord(), 0);
    EXPECT_EQ(link.ActiveRecord(), 9);
    EXPECT_EQ(panel.procId.AsInteger(), 11);
    panel.list.MoveBy(-10);
    EXPECT_EQ(link.ActiveRecord(), 0);
    EXPECT_EQ(panel.procId.AsInteger(), 1);
    EXPECT_EQ(panel.list.MoveBy(-1), 0);
    EXPECT_TRUE(panel.list.Bof());

    link.calls.clear();
    panel.list.Close();
    EXPECT_EQ(link.calls, (std::vector<std::string>{"inactive"}));
}

TEST_P(ResultSet, presentation_changes_relayout_only_an_open_list)
{
    panel.procId.SetDisplayWidth(20);
    EXPECT_TRUE(link.calls.empty());
    panel.list.Open();
    link.calls.clear();
    panel.procId.SetDisplayWidth(14);
    panel.procId.SetDisplayLabel("PROC_ID");
    EXPECT_EQ(link.calls, (std::vector<std::string>{"layout", "layout"}));
    EXPECT_EQ(panel.procId.DisplayLabel(), "") << "the same as the field name is stored empty";
    EXPECT_EQ(panel.procId.DisplayName(), "PROC_ID");
    EXPECT_EQ(ErrorText([&] { panel.procId.SetFieldKind(TFieldKind::fkData); }),
              "ProceduresList: Cannot perform this operation on an open dataset");
}

TEST_P(ResultSet, the_key_column_fills_the_record_not_a_field_and_the_catalogue_marks_fields)
{
    test::ExecuteRaw(database, transaction,
                     "ALTER TABLE VELKOR_PROCESS ADD DOUBLED COMPUTED BY (PROC_ID * 2)");
    transaction.Commit();
    transaction.StartTransaction();
    TComponent other{nullptr};
    auto &plain = CreateOwned<TIBDataSet>(other);
    plain.SetDatabase(&database);
    plain.SetTransaction(&transaction);
    plain.SelectSQL().SetText("SELECT RDB$DB_KEY AS IBX_INTERNAL_DBKEY, PROC_ID, PROC_NAME, "
                              "PROC_PRIORITY, DOUBLED FROM VELKOR_PROCESS ORDER BY PROC_ID");
    plain.Open();
    ASSERT_EQ(plain.FieldDefs().Count(), 4);
    EXPECT_EQ(plain.FieldDefs()[0].name, "PROC_ID");
    EXPECT_EQ(plain.FieldDefs()[0].fieldNo, 2);
    EXPECT_TRUE(plain.FieldDefs()[1].required) << "not null without a default";
    // The catalogue query reads the default of the column's domain; a default declared on the
    // column itself is not seen there.
    EXPECT_TRUE(plain.FieldDefs()[2].required);
    EXPECT_TRUE(plain.FieldDefs()[3].internalCalcField);
    EXPECT_TRUE(plain.FieldDefs()[3].readOnly);
    ASSERT_EQ(plain.FieldCount(), 4) << "fields made from the definitions";
    EXPECT_EQ(plain.FieldByName("proc_id").AsInteger(), 1);
    EXPECT_EQ(plain.FieldByName("DOUBLED").AsInteger(), 2);
    plain.Close();
    EXPECT_EQ(plain.FieldCount(), 0) << "made fields go with the close";
}

TEST_P(ResultSet, disconnecting_closes_the_list_and_empties_the_link)
{
    panel.list.Open();
    link.calls.clear();
    database.SetConnected(false);
    EXPECT_FALSE(panel.list.Active());
    EXPECT_EQ(link.calls, (std::vector<std::string>{"inactive"}));
    EXPECT_EQ(panel.procId.AsInteger(), 0);
}

TEST_P(ResultSet, rows_another_session_stops_are_gone_at_the_next_open)
{
    panel.list.Open();
    EXPECT_TRUE(panel.list.Locate("PROC_ID", TVariant(6), {}));
    Elsewhere("UPDATE VELKOR_PROCESS SET STOPPED_AT = CURRENT_TIMESTAMP WHERE PROC_ID < 4");
    panel.list.Close();
    panel.list.Open();
    EXPECT_EQ(panel.procId.AsInteger(), 4);
    EXPECT_TRUE(panel.list.Locate("PROC_ID", TVariant(6), {}));
    EXPECT_EQ(panel.list.RecNo(), 3);
}

VELKOR_ON_BOTH_ENGINES(ResultSet);

} // namespace
} // namespace velkor
