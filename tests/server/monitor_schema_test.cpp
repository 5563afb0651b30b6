// The demo's monitor schema on the private server: a fresh database with the monitor installed,
// the panel's connection and list as the main window sets them up, and other programs'
// connections made straight with the client library.
#include "dataset/numeric_fields.h"
#include "db/client/ib_error.h"
#include "db/connection/ib_database.h"
#include "db/connection/ib_transaction.h"
#include "db/dataset/ib_custom_dataset.h"
#include "db/dataset/ib_stored_proc.h"
#include "tests/support/client_attachment.h"
#include "tests/support/error_text.h"
#include "tests/support/panel_list.h"
#include "tests/support/raw_sql.h"
#include "tests/support/server_database.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <optional>
#include <thread>
#include <vector>

namespace velkor {
namespace {

using test::TClientAttachment;
using test::TTestServer;

// The server's code for "connection shutdown" (isc_att_shutdown).
constexpr std::int32_t kConnectionShutdown = 335544856;

struct TRow
{
    long id;
    std::string name;
    long priority;
    long ageMs;
    long ageDays;
};

class MonitorSchema : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!TTestServer::Available())
            GTEST_SKIP() << "no test server: run ./test.sh";
        server_ = std::make_unique<test::TServerDatabase>();
        std::string output;
        ASSERT_EQ(test::RunDemoScript("install-monitor.sh", server_->Remote(), output), 0)
            << output;
        EXPECT_EQ(output, "") << "a clean install says nothing";

        login_ = std::make_unique<test::TScriptedLogin>(TTestServer::UserName(),
                                                        TTestServer::Password());
        database_ = &CreateOwned<TIBDatabase>(owner_);
        transaction_ = &CreateOwned<TIBTransaction>(owner_);
        test::WirePanelPair(*database_, *transaction_, server_->Remote());
        database_->SetConnected(true);
        // Started before any other connection exists: what follows is seen only through the
        // schema's fresh reads, as the panel's one long transaction sees it.
        transaction_->StartTransaction();
        list_ = std::make_unique<test::TPanelList>(owner_, *database_, *transaction_);
        ownId_ = test::QueryInteger(*database_, *transaction_,
                                    "SELECT CAST(CURRENT_CONNECTION AS INTEGER) FROM RDB$DATABASE");
    }

    // The list as a refresh tick reads it: closed, opened, every row fetched.
    std::vector<TRow> Refresh()
    {
        list_->list.Close();
        list_->list.Open();
        std::vector<TRow> rows;
        for (list_->list.First(); !list_->list.Eof(); list_->list.Next())
            rows.push_back({list_->procId.AsInteger(), list_->procName.AsString(),
                            list_->priority.AsInteger(), list_->ageMs.AsInteger(),
                            list_->ageDays.AsInteger()});
        return rows;
    }
    static std::optional<TRow> Find(const std::vector<TRow> &rows, long id)
    {
        const auto row =
            std::find_if(rows.begin(), rows.end(), [id](const TRow &r) { return r.id == id; });
        return row == rows.end() ? std::nullopt : std::optional<TRow>(*row);
    }
    static std::vector<long> Ids(const std::vector<TRow> &rows)
    {
        std::vector<long> ids;
        for (const TRow &row : rows)
            ids.push_back(row.id);
        return ids;
    }

    // The panel's two calls, set up as the main window sets them up.
    TIBStoredProc &Call(const char *procedure)
    {
        auto &call = CreateOwned<TIBStoredProc>(owner_);
        call.SetStoredProcName(procedure);
        call.SetDatabase(database_);
        call.SetTransaction(transaction_);
        call.Params().AddParam(TFieldType::ftInteger, "RESULT", TParamType::ptOutput);
        call.Params().AddParam(TFieldType::ftInteger, "PROC_ID", TParamType::ptInput);
        if (std::string(procedure) == "SET_PROC_PRIORITY")
            call.Params().AddParam(TFieldType::ftInteger, "PRIORITY", TParamType::ptInput);
        return call;
    }
    long Stop(long id)
    {
        if (!stop_)
            stop_ = &Call("STOP_PROC");
        stop_->ParamNamed("PROC_ID").SetIntegerValue(static_cast<std::int32_t>(id));
        stop_->ExecProc();
        return stop_->ParamNamed("RESULT").IntegerValue();
    }
    long SetPriority(long id, std::optional<std::int32_t> priority)
    {
        if (!setPriority_)
            setPriority_ = &Call("SET_PROC_PRIORITY");
        setPriority_->ParamNamed("PROC_ID").SetIntegerValue(static_cast<std::int32_t>(id));
        if (priority)
            setPriority_->ParamNamed("PRIORITY").SetIntegerValue(*priority);
        else
            setPriority_->ParamNamed("PRIORITY").ClearValue();
        setPriority_->ExecProc();
        return setPriority_->ParamNamed("RESULT").IntegerValue();
    }
    // Read in a transaction of its own, committed: the panel's snapshot is older.
    long CountElsewhere(const std::string &sql)
    {
        TClientAttachment reader(server_->Remote(), TTestServer::UserName(),
                                 TTestServer::Password());
        return reader.QueryInteger(sql);
    }
    std::unique_ptr<TClientAttachment> Attach(const std::string &processName = {})
    {
        return std::make_unique<TClientAttachment>(server_->Remote(), TTestServer::UserName(),
                                                   TTestServer::Password(), processName);
    }

    std::unique_ptr<test::TServerDatabase> server_;
    std::unique_ptr<test::TScriptedLogin> login_;
    TComponent owner_{nullptr};
    TIBDatabase *database_ = nullptr;
    TIBTransaction *transaction_ = nullptr;
    std::unique_ptr<test::TPanelList> list_;
    TIBStoredProc *stop_ = nullptr;
    TIBStoredProc *setPriority_ = nullptr;
    long ownId_ = 0;
};

TEST_F(MonitorSchema, every_connection_is_listed_afresh_with_its_age_and_the_own_one_is_marked)
{
    std::vector<TRow> rows = Refresh();
    ASSERT_EQ(Ids(rows), std::vector<long>{ownId_}) << "the server's own attachments stay out";
    EXPECT_EQ(rows[0].name.rfind("(this connection) SYSDBA@127.0.0.1/", 0), 0u) << rows[0].name;
    EXPECT_NE(rows[0].name.find(" monitor_schema_tests"), std::string::npos) << rows[0].name;

    auto idle = Attach();
    auto busy = Attach();
    busy->StartTransaction();
    EXPECT_EQ(busy->QueryInteger("SELECT COUNT(*) FROM VELKOR_MONITOR_PRIORITY"), 0);
    rows = Refresh();
    ASSERT_EQ(Ids(rows), (std::vector<long>{ownId_, idle->Id(), busy->Id()}));
    for (const TRow &row : rows) {
        EXPECT_GE(row.ageMs, 0) << row.name;
        EXPECT_LT(row.ageMs, 120000) << row.name;
        EXPECT_EQ(row.ageDays, 0) << row.name;
        EXPECT_EQ(row.priority, 0) << row.name;
        EXPECT_EQ(row.name.find("(this connection)") == 0, row.id == ownId_) << row.name;
    }
    EXPECT_EQ(rows[1].name.rfind("SYSDBA@127.0.0.1/", 0), 0u) << rows[1].name;
    EXPECT_LE(rows[1].ageMs, rows[0].ageMs) << "attached after the panel";

    // Ages grow from one refresh to the next: each select reads the clock anew.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const std::vector<TRow> later = Refresh();
    ASSERT_EQ(later.size(), 3u);
    for (std::size_t i = 0; i < later.size(); ++i)
        EXPECT_GE(later[i].ageMs - rows[i].ageMs, 250) << later[i].name;

    idle.reset();
    EXPECT_EQ(Ids(Refresh()), (std::vector<long>{ownId_, busy->Id()})) << "a detached one goes";
}

TEST_F(MonitorSchema, stop_ends_that_connection_alone_and_never_the_callers_own)
{
    auto idle = Attach();
    auto busy = Attach();
    busy->StartTransaction();
    busy->Execute("INSERT INTO VELKOR_MONITOR_PRIORITY VALUES (-1, 5)");
    ASSERT_EQ(Refresh().size(), 3u);

    EXPECT_EQ(Stop(busy->Id()), 1);
    try {
        busy->Execute("INSERT INTO VELKOR_MONITOR_PRIORITY VALUES (-2, 5)");
        ADD_FAILURE() << "the stopped connection still works";
    } catch (const EIBInterBaseError &error) {
        EXPECT_EQ(error.ServerErrorCode(), kConnectionShutdown);
        EXPECT_NE(std::string(error.what()).find("connection shutdown"), std::string::npos)
            << error.what();
    }
    EXPECT_EQ(idle->QueryInteger("SELECT 7 FROM RDB$DATABASE"), 7) << "the other one stays";
    EXPECT_EQ(Ids(Refresh()), (std::vector<long>{ownId_, idle->Id()}));
    EXPECT_EQ(CountElsewhere("SELECT COUNT(*) FROM VELKOR_MONITOR_PRIORITY"), 0)
        << "the stopped connection's work was rolled back";

    // Ids that name no live connection of ours end nothing.
    EXPECT_EQ(Stop(busy->Id()), 0) << "already ended";
    for (long id : {0L, -1L, 2147483647L})
        EXPECT_EQ(Stop(id), 0) << id;

    // The caller's own connection is refused and goes on working.
    EXPECT_EQ(Stop(ownId_), 0);
    EXPECT_EQ(test::QueryInteger(*database_, *transaction_, "SELECT 8 FROM RDB$DATABASE"), 8);
    EXPECT_EQ(Ids(Refresh()), (std::vector<long>{ownId_, idle->Id()}));

    // A connection that never started a transaction ends as well.
    EXPECT_EQ(Stop(idle->Id()), 1);
    EXPECT_NE(test::ErrorText([&] {
                  (void)idle->QueryInteger("SELECT 1 FROM RDB$DATABASE");
              }).find("connection shutdown"),
              std::string::npos);
    EXPECT_EQ(Ids(Refresh()), std::vector<long>{ownId_});
}

TEST_F(MonitorSchema, a_priority_shows_at_the_next_refresh_and_goes_with_its_connection)
{
    auto idle = Attach();
    auto busy = Attach();
    busy->StartTransaction();

    EXPECT_EQ(SetPriority(idle->Id(), 7), 1);
    std::vector<TRow> rows = Refresh();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(Find(rows, idle->Id())->priority, 7);
    EXPECT_EQ(Find(rows, busy->Id())->priority, 0);
    EXPECT_EQ(Find(rows, ownId_)->priority, 0);

    // Changed, on the caller's own connection too, negative values as well.
    EXPECT_EQ(SetPriority(idle->Id(), -3), 1);
    EXPECT_EQ(SetPriority(ownId_, 2147483647), 1);
    rows = Refresh();
    EXPECT_EQ(Find(rows, idle->Id())->priority, -3);
    EXPECT_EQ(Find(rows, ownId_)->priority, 2147483647);

    // No live connection with that id: nothing kept.
    for (long id : {0L, -1L, 2147483647L})
        EXPECT_EQ(SetPriority(id, 4), 0) << id;
    EXPECT_EQ(CountElsewhere("SELECT COUNT(*) FROM VELKOR_MONITOR_PRIORITY"), 2);

    // A null priority clears the kept value.
    EXPECT_EQ(SetPriority(ownId_, std::nullopt), 1);
    EXPECT_EQ(Find(Refresh(), ownId_)->priority, 0);

    // The row of an ended connection goes at the next refresh.
    const long idleId = idle->Id();
    idle.reset();
    EXPECT_EQ(CountElsewhere("SELECT COUNT(*) FROM VELKOR_MONITOR_PRIORITY"), 1);
    EXPECT_EQ(Ids(Refresh()), (std::vector<long>{ownId_, busy->Id()}));
    EXPECT_EQ(CountElsewhere("SELECT COUNT(*) FROM VELKOR_MONITOR_PRIORITY WHERE ATTACHMENT_ID = " +
                             std::to_string(idleId)),
              0);
    EXPECT_EQ(SetPriority(idleId, 1), 0) << "ended";
}

TEST_F(MonitorSchema, names_are_cut_to_100_characters_and_unknown_letters_show_as_question_marks)
{
    auto longName = Attach("/opt/plant/" + std::string(240, 'x'));
    // Program names from a Windows client, and one in letters that WIN1251 has and lacks.
    auto windows = Attach("C:\\Program Files\\Plant\\watch.exe");
    auto foreign = Attach("/opt/\xE5\xB7\xA5\xE5\x8E\x82/\xE7\x9B\x91-\xD0\x96\xD1\x91");
    const std::vector<TRow> rows = Refresh();
    ASSERT_EQ(rows.size(), 4u);

    const std::string cut = Find(rows, longName->Id())->name;
    EXPECT_EQ(cut.size(), 100u);
    EXPECT_EQ(cut.rfind("SYSDBA@127.0.0.1/", 0), 0u) << cut;
    EXPECT_EQ(cut.back(), 'x');

    const std::string fromWindows = Find(rows, windows->Id())->name;
    EXPECT_EQ(fromWindows.substr(fromWindows.size() - 10), " watch.exe") << fromWindows;

    // The panel reads WIN1251: Cyrillic arrives as such, the rest as '?'.
    const std::string mixed = Find(rows, foreign->Id())->name;
    EXPECT_EQ(mixed.substr(mixed.size() - 5), " ?-\xC6\xB8") << mixed;
}

TEST_F(MonitorSchema, installing_again_keeps_the_priorities_and_removing_leaves_no_trace)
{
    auto idle = Attach();
    ASSERT_EQ(SetPriority(idle->Id(), 6), 1);
    ASSERT_EQ(Refresh().size(), 2u);

    // Again, while the panel's list is open on it.
    std::string output;
    ASSERT_EQ(test::RunDemoScript("install-monitor.sh", server_->Remote(), output), 0) << output;
    EXPECT_EQ(output, "");
    std::vector<TRow> rows = Refresh();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(Find(rows, idle->Id())->priority, 6);
    EXPECT_EQ(Stop(idle->Id()), 1);

    list_->list.Close();
    database_->SetConnected(false);
    const std::string objects =
        "SELECT (SELECT COUNT(*) FROM RDB$RELATIONS WHERE RDB$SYSTEM_FLAG = 0) + "
        "(SELECT COUNT(*) FROM RDB$PROCEDURES WHERE RDB$SYSTEM_FLAG = 0) + "
        "(SELECT COUNT(*) FROM RDB$EXCEPTIONS WHERE RDB$SYSTEM_FLAG = 0) FROM RDB$DATABASE";
    EXPECT_EQ(CountElsewhere(objects), 6) << "a view, a table, three procedures, an exception";
    for (int run = 0; run < 2; ++run) {
        ASSERT_EQ(test::RunDemoScript("remove-monitor.sh", server_->Remote(), output), 0) << output;
        EXPECT_EQ(output, "");
        EXPECT_EQ(CountElsewhere(objects), 0) << "run " << run;
    }
    ASSERT_EQ(test::RunDemoScript("install-monitor.sh", server_->Remote(), output), 0) << output;
    EXPECT_EQ(CountElsewhere(objects), 6);
}

TEST_F(MonitorSchema, objects_of_the_same_names_that_are_not_its_own_are_never_replaced)
{
    list_->list.Close();
    database_->SetConnected(false);
    std::string output;
    ASSERT_EQ(test::RunDemoScript("remove-monitor.sh", server_->Remote(), output), 0) << output;
    {
        auto owner = Attach();
        owner->Execute("CREATE VIEW SL_PROC_STATE (PROC_ID) AS SELECT 42 FROM RDB$DATABASE");
        owner->Execute("CREATE PROCEDURE STOP_PROC (PROC_ID INTEGER) RETURNS (RESULT INTEGER) "
                       "AS BEGIN RESULT = 42; END");
    }
    EXPECT_EQ(test::RunDemoScript("install-monitor.sh", server_->Remote(), output), 1);
    EXPECT_NE(output.find("SL_PROC_STATE exists and is not part of the monitor"), std::string::npos)
        << output;
    EXPECT_NE(
        output.find("install-monitor.sh: the monitor was not installed into " + server_->Remote()),
        std::string::npos)
        << output;
    EXPECT_EQ(CountElsewhere("SELECT PROC_ID FROM SL_PROC_STATE"), 42);
    // Nothing of the monitor stays behind, not even what came before the refusal.
    EXPECT_EQ(CountElsewhere("SELECT COUNT(*) FROM RDB$PROCEDURES WHERE RDB$SYSTEM_FLAG = 0"), 1);
    EXPECT_EQ(CountElsewhere("SELECT COUNT(*) FROM RDB$RELATIONS WHERE RDB$SYSTEM_FLAG = 0"), 1);
    EXPECT_EQ(CountElsewhere("SELECT COUNT(*) FROM RDB$EXCEPTIONS WHERE RDB$SYSTEM_FLAG = 0"), 0);

    // Removing takes only what is the monitor's.
    ASSERT_EQ(test::RunDemoScript("remove-monitor.sh", server_->Remote(), output), 0) << output;
    EXPECT_EQ(CountElsewhere("SELECT PROC_ID FROM SL_PROC_STATE"), 42);
    EXPECT_EQ(CountElsewhere("SELECT COUNT(*) FROM RDB$PROCEDURES WHERE RDB$PROCEDURE_NAME = "
                             "'STOP_PROC' AND RDB$DESCRIPTION IS NULL"),
              1);
}

TEST(MonitorScripts, refuse_a_missing_database_and_wrong_arguments_with_a_clear_message)
{
    if (!TTestServer::Available())
        GTEST_SKIP() << "no test server: run ./test.sh";
    test::TTempFolder folder;
    const std::string missing = TTestServer::Remote(folder.Path() + "/missing.fdb");
    std::string output;
    EXPECT_EQ(test::RunDemoScript("install-monitor.sh", missing, output), 1);
    EXPECT_NE(output.find("install-monitor.sh: the monitor was not installed into " + missing),
              std::string::npos)
        << output;
    EXPECT_EQ(test::RunDemoScript("remove-monitor.sh", missing, output), 1);
    EXPECT_NE(output.find("remove-monitor.sh: the monitor was not removed from " + missing),
              std::string::npos)
        << output;
    EXPECT_EQ(test::RunDemoScript("install-monitor.sh", "", output), 2);
    EXPECT_EQ(output, "usage: install-monitor.sh DATABASE\n");
    EXPECT_EQ(test::RunDemoScript("remove-monitor.sh", "", output), 2);
    EXPECT_EQ(output, "usage: remove-monitor.sh DATABASE\n");
}

} // namespace
} // namespace velkor
