// Connections and transactions against a real throwaway database, through the embedded engine.
#include "db/client/ib_error.h"
#include "db/client/internal/client_api.h"
#include "db/client/status_vector.h"
#include "db/connection/ib_database.h"
#include "db/connection/ib_transaction.h"
#include "framework/error_log.h"
#include "tests/support/raw_sql.h"
#include "tests/support/test_database.h"

#include <gtest/gtest.h>

namespace velkor {
namespace {

using test::TScriptedLogin;

int ClientCodeOf(const std::function<void()> &action)
{
    try {
        action();
    } catch (const EIBClientError &error) {
        return error.SQLCode();
    }
    return -1;
}

// The panel's own pair: a connection with lc_ctype and a default transaction.
struct TPanelPair
{
    explicit TPanelPair(const std::string &path)
    {
        database.SetName("MainDatabase");
        test::WirePanelPair(database, transaction, path);
    }
    // Connects and starts the transaction, as the window's Connect does.
    void Open()
    {
        database.SetConnected(true);
        transaction.SetActive(true);
    }
    [[nodiscard]] long ProcessCount(const std::string &condition = "1 = 1")
    {
        return test::QueryInteger(database, transaction,
                                  "SELECT COUNT(*) FROM VELKOR_PROCESS WHERE " + condition);
    }
    TComponent owner{nullptr};
    TIBDatabase &database = CreateOwned<TIBDatabase>(owner);
    TIBTransaction &transaction = CreateOwned<TIBTransaction>(owner);
};

class Connection : public ::testing::Test
{
protected:
    test::TTestDatabase file_{test::TTestDatabase::TContent::empty};
};

TEST_F(Connection, first_and_second_login_offer_what_the_operator_expects)
{
    TScriptedLogin login("SYSDBA", "");
    TPanelPair panel(file_.Path());
    panel.database.SetConnected(true);
    EXPECT_TRUE(panel.database.Connected());
    EXPECT_EQ(login.calls, 1);
    EXPECT_EQ(login.shownDatabase, file_.Path());
    EXPECT_EQ(login.shownUserName, "");
    EXPECT_EQ(login.shownPassword, "");
    EXPECT_EQ(panel.database.Params().Lines(),
              (std::vector<std::string>{"lc_ctype=WIN1251", "user_name=SYSDBA"}));
    EXPECT_EQ(panel.database.DBSQLDialect(), 1);
    panel.database.SetConnected(false);
    EXPECT_FALSE(panel.database.Connected());

    login.userName = "OPERATOR";
    login.password = "secret";
    panel.database.SetConnected(true);
    EXPECT_EQ(login.shownUserName, "SYSDBA");
    EXPECT_EQ(login.shownPassword, "") << "the password is never offered again";
    EXPECT_EQ(panel.database.Params().Lines(),
              (std::vector<std::string>{"lc_ctype=WIN1251", "user_name=OPERATOR"}))
        << "the user line is replaced in place, and no password line is added";
}

TEST_F(Connection, cancelled_login_leaves_the_connection_closed)
{
    TScriptedLogin login("SYSDBA", "", false);
    TPanelPair panel(file_.Path());
    try {
        panel.database.SetConnected(true);
        FAIL();
    } catch (const EIBClientError &error) {
        EXPECT_EQ(error.SQLCode(), 10);
        EXPECT_STREQ(error.what(), "Operation cancelled at user's request");
    }
    EXPECT_FALSE(panel.database.Connected());
    EXPECT_EQ(panel.database.Params().Count(), 1);
}

TEST_F(Connection, bad_names_and_paths_are_refused_with_the_connection_closed)
{
    TScriptedLogin login("SYSDBA", "");
    TPanelPair panel("");
    EXPECT_EQ(ClientCodeOf([&] { panel.database.SetConnected(true); }), 17);
    EXPECT_EQ(login.calls, 0);

    panel.database.SetDatabaseName(file_.Folder() + "/no-such.fdb");
    try {
        panel.database.SetConnected(true);
        FAIL();
    } catch (const EIBInterBaseError &error) {
        EXPECT_NE(std::string(error.what()).find("no-such.fdb"), std::string::npos);
    }
    EXPECT_FALSE(panel.database.Connected());

    panel.database.SetDatabaseName(file_.Path());
    panel.database.Params().Add("page_size=4096");
    EXPECT_EQ(ClientCodeOf([&] { panel.database.SetConnected(true); }), 11);
    EXPECT_FALSE(panel.database.Connected());
    panel.database.Params().Delete(1); // the user line was written by the login, before
    EXPECT_EQ(ClientCodeOf([&] { panel.database.SetConnected(true); }), 11);
    panel.database.Params().Delete(panel.database.Params().IndexOf("page_size=4096"));
    panel.database.SetConnected(true);
    EXPECT_TRUE(panel.database.Connected());
}

TEST_F(Connection, properties_are_guarded_while_attached)
{
    TScriptedLogin login("SYSDBA", "");
    TPanelPair panel(file_.Path());
    panel.database.SetConnected(true);
    EXPECT_EQ(ClientCodeOf([&] { panel.database.SetDatabaseName("other.fdb"); }), 16);
    EXPECT_NO_THROW(panel.database.SetDatabaseName(file_.Path())) << "the same name is no change";
    EXPECT_EQ(ClientCodeOf([&] { panel.database.Params().Add("x=y"); }), 16);
    EXPECT_EQ(panel.database.Params().Count(), 2);
    EXPECT_EQ(ClientCodeOf([&] { panel.database.Attach(); }), 16);
    EXPECT_EQ(ClientCodeOf([&] { panel.database.SetSQLDialect(3); }), 87);
    EXPECT_EQ(ClientCodeOf([&] { panel.database.SetIdleTimer(-1); }), 20);
    panel.database.SetConnected(false);
    EXPECT_EQ(ClientCodeOf([&] { panel.database.Detach(false); }), 15);
    EXPECT_NO_THROW(panel.database.SetConnected(false));
    EXPECT_EQ(ClientCodeOf([&] { panel.database.SetSQLDialect(0); }), 87);
}

TEST_F(Connection, disconnect_commits_the_active_transaction)
{
    TScriptedLogin login("SYSDBA", "");
    TPanelPair writer(file_.Path());
    TPanelPair reader(file_.Path());
    writer.Open();
    reader.database.SetConnected(true);
    test::ExecuteRaw(writer.database, writer.transaction,
                     "INSERT INTO VELKOR_PROCESS (PROC_ID, PROC_NAME) VALUES (1, 'one')");

    reader.transaction.SetActive(true);
    EXPECT_EQ(reader.ProcessCount(), 0);
    reader.transaction.Commit();

    writer.database.SetConnected(false);
    EXPECT_FALSE(writer.transaction.InTransaction());
    writer.transaction.SetActive(false); // what the window does next: nothing left to do

    reader.transaction.SetActive(true);
    EXPECT_EQ(reader.ProcessCount(), 1);
}

TEST_F(Connection, setting_active_false_rolls_back)
{
    TScriptedLogin login("SYSDBA", "");
    TPanelPair panel(file_.Path());
    panel.Open();
    const TClientHandle first = panel.transaction.Handle();
    panel.transaction.SetActive(true);
    EXPECT_EQ(panel.transaction.Handle(), first) << "started once";
    test::ExecuteRaw(panel.database, panel.transaction,
                     "INSERT INTO VELKOR_PROCESS (PROC_ID, PROC_NAME) VALUES (1, 'one')");
    panel.transaction.SetActive(false);
    EXPECT_FALSE(panel.transaction.Active());
    panel.transaction.SetActive(true);
    EXPECT_EQ(panel.ProcessCount(), 0);
}

TEST_F(Connection, destroying_a_connected_window_commits_then_detaches)
{
    TScriptedLogin login("SYSDBA", "");
    {
        TPanelPair panel(file_.Path());
        panel.Open();
        test::ExecuteRaw(panel.database, panel.transaction,
                         "INSERT INTO VELKOR_PROCESS (PROC_ID, PROC_NAME) VALUES (7, 'seven')");
    }
    TPanelPair after(file_.Path());
    after.Open();
    EXPECT_EQ(after.ProcessCount("PROC_ID = 7"), 1);
}

TEST_F(Connection, transaction_guards)
{
    TScriptedLogin login("SYSDBA", "");
    TComponent owner(nullptr);
    auto &lonely = CreateOwned<TIBTransaction>(owner);
    EXPECT_EQ(ClientCodeOf([&] { lonely.StartTransaction(); }), 21);
    EXPECT_EQ(ClientCodeOf([&] { lonely.Commit(); }), 18);

    TPanelPair panel(file_.Path());
    EXPECT_EQ(ClientCodeOf([&] { panel.transaction.SetActive(true); }), 15);
    EXPECT_FALSE(panel.transaction.Active());
    panel.database.SetConnected(true);
    panel.transaction.Params().SetLines({"read_committed", "rec_version", "nowait"});
    panel.transaction.StartTransaction();
    EXPECT_EQ(panel.transaction.TpbBytes(), std::string("\x03\x0f\x11\x07", 4));
    EXPECT_EQ(ClientCodeOf([&] { panel.transaction.StartTransaction(); }), 19);
    EXPECT_EQ(ClientCodeOf([&] { panel.transaction.Params().Add("wait"); }), 19);
    EXPECT_EQ(panel.transaction.Params().Count(), 3);
    panel.transaction.Commit();
    panel.transaction.Params().SetLines({"protected"});
    EXPECT_EQ(ClientCodeOf([&] { panel.transaction.StartTransaction(); }), 13);
    EXPECT_FALSE(panel.transaction.InTransaction());
    panel.transaction.Params().Clear();
    panel.transaction.StartTransaction();
    EXPECT_EQ(panel.transaction.TpbBytes(), "");
}

TEST_F(Connection, a_refused_transaction_line_is_refused_at_every_start)
{
    TScriptedLogin login("SYSDBA", "");
    TPanelPair panel(file_.Path());
    panel.database.SetConnected(true);
    panel.transaction.Params().SetLines({"read_committed", "rec_version", "nowait"});
    panel.transaction.StartTransaction();
    panel.transaction.Commit();
    panel.transaction.Params().SetLines({"protected"});
    EXPECT_EQ(ClientCodeOf([&] { panel.transaction.StartTransaction(); }), 13);
    EXPECT_EQ(ClientCodeOf([&] { panel.transaction.StartTransaction(); }), 13)
        << "the buffer of the lines before must not be used";
    EXPECT_FALSE(panel.transaction.InTransaction());
    panel.transaction.Params().SetLines({"concurrency"});
    panel.transaction.StartTransaction();
    EXPECT_EQ(panel.transaction.TpbBytes(), std::string("\x03\x02", 2));
}

TEST_F(Connection, params_changed_inside_an_update_are_guarded_as_any_change)
{
    TScriptedLogin login("SYSDBA", "");
    TPanelPair panel(file_.Path());
    panel.database.SetConnected(true);
    panel.transaction.StartTransaction();
    TStringList &connectionParams = panel.database.Params();
    const std::vector<std::string> before = connectionParams.Lines();
    connectionParams.BeginUpdate();
    EXPECT_EQ(ClientCodeOf([&] { connectionParams.Add("lc_messages=x"); }), 16);
    connectionParams.EndUpdate();
    EXPECT_EQ(connectionParams.Lines(), before);
    TStringList &transactionParams = panel.transaction.Params();
    transactionParams.BeginUpdate();
    EXPECT_EQ(ClientCodeOf([&] { transactionParams.SetLines({"protected"}); }), 19);
    transactionParams.EndUpdate();
    EXPECT_EQ(transactionParams.Count(), 0);

    panel.transaction.Commit();
    transactionParams.BeginUpdate();
    transactionParams.Add("concurrency");
    transactionParams.Add("nowait");
    transactionParams.EndUpdate();
    panel.transaction.StartTransaction();
    EXPECT_EQ(panel.transaction.TpbBytes(), std::string("\x03\x02\x07", 3))
        << "the buffer is built from the lines of the update";
}

// A commit the server refuses: a trigger on commit that raises while the row 666 is there.
void InstallCommitRefusal(const std::string &path)
{
    TPanelPair setup(path);
    setup.database.SetConnected(true);
    setup.transaction.StartTransaction();
    test::ExecuteRaw(setup.database, setup.transaction,
                     "CREATE EXCEPTION VELKOR_REFUSED 'the plant refuses this commit'");
    test::ExecuteRaw(setup.database, setup.transaction,
                     "CREATE TRIGGER VELKOR_CHECK_COMMIT ON TRANSACTION COMMIT AS BEGIN "
                     "IF (EXISTS(SELECT 1 FROM VELKOR_PROCESS WHERE PROC_ID = 666)) THEN "
                     "EXCEPTION VELKOR_REFUSED; END");
    setup.transaction.Commit();
    setup.database.SetConnected(false);
}

TEST_F(Connection, disconnect_reports_a_refused_commit_after_closing_all_the_same)
{
    TScriptedLogin login("SYSDBA", "");
    InstallCommitRefusal(file_.Path());
    TPanelPair panel(file_.Path());
    std::vector<std::string> log;
    TIBBase link(nullptr);
    link.AfterTrEndHandler = [&log](TIBBase &) { log.push_back("after end"); };
    link.AfterDbDisconnectHandler = [&log](TIBBase &) { log.push_back("after disconnect"); };
    link.SetDatabase(&panel.database);
    panel.Open();
    test::ExecuteRaw(panel.database, panel.transaction,
                     "INSERT INTO VELKOR_PROCESS (PROC_ID, PROC_NAME) VALUES (666, 'refused')");

    std::string message;
    try {
        panel.database.SetConnected(false);
    } catch (const EIBInterBaseError &error) {
        message = error.what();
    }
    EXPECT_NE(message.find("the plant refuses this commit"), std::string::npos) << message;
    EXPECT_FALSE(panel.database.Connected());
    EXPECT_FALSE(panel.transaction.InTransaction());
    EXPECT_EQ(log, (std::vector<std::string>{"after end", "after disconnect"}));

    panel.Open();
    EXPECT_EQ(panel.ProcessCount(), 0) << "rolled back";
    panel.transaction.Commit();
}

TEST_F(Connection, forced_ends_stay_silent_about_a_refused_commit_but_log_it)
{
    TScriptedLogin login("SYSDBA", "");
    InstallCommitRefusal(file_.Path());
    std::vector<std::string> logged;
    SetErrorLogHook([&logged](std::string_view message) { logged.emplace_back(message); });
    {
        TPanelPair panel(file_.Path());
        panel.Open();
        test::ExecuteRaw(panel.database, panel.transaction,
                         "INSERT INTO VELKOR_PROCESS (PROC_ID, PROC_NAME) VALUES (666, 'refused')");
        EXPECT_NO_THROW(panel.transaction.EndTransaction(TTransactionAction::TACommit, true));
        EXPECT_FALSE(panel.transaction.InTransaction());
        panel.transaction.SetActive(true);
        test::ExecuteRaw(panel.database, panel.transaction,
                         "INSERT INTO VELKOR_PROCESS (PROC_ID, PROC_NAME) VALUES (666, 'refused')");
    } // destroyed while connected: commit refused, rolled back, detached, no exception
    SetErrorLogHook({});
    ASSERT_EQ(logged.size(), 1u) << "the forced end asked for is not logged; the destruction is";
    EXPECT_NE(logged[0].find("the plant refuses this commit"), std::string::npos) << logged[0];

    TPanelPair after(file_.Path());
    after.Open();
    EXPECT_EQ(after.ProcessCount(), 0);
}

TEST_F(Connection, an_attachment_gone_behind_its_back_closes_and_reports_once)
{
    TScriptedLogin login("SYSDBA", "");
    TPanelPair panel(file_.Path());
    panel.database.SetConnected(true);
    // Detached through a copy of the handle: the connection's own detach then finds the
    // attachment gone, as after a lost server.
    isc_db_handle copy = panel.database.Handle();
    ASSERT_EQ(ClientApi().isc_detach_database(ThreadStatusVector(), &copy), 0);

    std::string message;
    try {
        panel.database.SetConnected(false);
    } catch (const EIBInterBaseError &error) {
        message = error.what();
    }
    EXPECT_NE(message.find("invalid database handle"), std::string::npos) << message;
    EXPECT_FALSE(panel.database.Connected());
    EXPECT_NO_THROW(panel.database.SetConnected(false)) << "nothing left to close";
    panel.database.SetConnected(true);
    EXPECT_TRUE(panel.database.Connected());
}

TEST_F(Connection, idle_timers_end_what_two_ticks_find_unused)
{
    TScriptedLogin login("SYSDBA", "");
    TPanelPair panel(file_.Path());
    int databaseIdle = 0;
    int transactionIdle = 0;
    panel.database.OnIdleTimer = [&](TObject *) { ++databaseIdle; };
    panel.transaction.OnIdleTimer = [&](TObject *) { ++transactionIdle; };
    panel.database.SetIdleTimer(1000);
    panel.transaction.SetIdleTimer(500);
    EXPECT_EQ(panel.database.IdleTimer(), 1000);
    EXPECT_EQ(ClientCodeOf([&] { panel.transaction.SetIdleTimer(-5); }), 20);
    EXPECT_EQ(panel.transaction.IdleTimer(), 500) << "a refused interval changes nothing";
    panel.database.IdleTimerTimer(); // nothing to end yet
    panel.database.SetConnected(true);
    panel.transaction.StartTransaction();
    test::ExecuteRaw(panel.database, panel.transaction,
                     "INSERT INTO VELKOR_PROCESS (PROC_ID, PROC_NAME) VALUES (1, 'one')");

    panel.transaction.IdleTimerTimer();
    panel.database.IdleTimerTimer();
    panel.transaction.Commit(); // a client call between the ticks keeps both
    panel.transaction.IdleTimerTimer();
    panel.database.IdleTimerTimer();
    EXPECT_TRUE(panel.database.Connected());
    EXPECT_EQ(databaseIdle + transactionIdle, 0);

    panel.transaction.StartTransaction();
    panel.transaction.IdleTimerTimer();
    panel.transaction.IdleTimerTimer();
    EXPECT_FALSE(panel.transaction.InTransaction());
    EXPECT_EQ(transactionIdle, 1);
    panel.database.IdleTimerTimer();
    EXPECT_TRUE(panel.database.Connected()) << "the commit was a client call of the connection";
    panel.database.IdleTimerTimer();
    EXPECT_FALSE(panel.database.Connected());
    EXPECT_EQ(databaseIdle, 1);

    panel.database.SetConnected(true);
    panel.transaction.StartTransaction();
    EXPECT_EQ(panel.ProcessCount(), 1);
}

TEST_F(Connection, retaining_default_action_keeps_the_transaction_running)
{
    TScriptedLogin login("SYSDBA", "");
    TPanelPair panel(file_.Path());
    panel.database.SetConnected(true);
    panel.transaction.SetDefaultAction(TTransactionAction::TACommitRetaining);
    panel.transaction.StartTransaction();
    const TClientHandle handle = panel.transaction.Handle();
    panel.transaction.EndTransaction(TTransactionAction::TACommitRetaining, false);
    EXPECT_EQ(panel.transaction.Handle(), handle);
    panel.transaction.EndTransaction(TTransactionAction::TARollbackRetaining, false);
    EXPECT_TRUE(panel.transaction.InTransaction());
    panel.transaction.Rollback();
    EXPECT_FALSE(panel.transaction.InTransaction());
}

// Records what a statement would be told.
struct TListeningLink
{
    explicit TListeningLink(std::vector<std::string> &log)
        : link(nullptr)
    {
        link.BeforeDbDisconnectHandler = [&log](TIBBase &) { log.push_back("before disconnect"); };
        link.AfterDbDisconnectHandler = [&log](TIBBase &) { log.push_back("after disconnect"); };
        link.BeforeTrEndHandler = [&log](TIBBase &) { log.push_back("before end"); };
        link.AfterTrEndHandler = [&log](TIBBase &) { log.push_back("after end"); };
        link.TrFreeHandler = [&log](TIBBase &) { log.push_back("transaction free"); };
        link.DbFreeHandler = [&log](TIBBase &) { log.push_back("database free"); };
    }
    TIBBase link;
};

TEST_F(Connection, links_are_told_in_order_when_the_connection_closes)
{
    TScriptedLogin login("SYSDBA", "");
    std::vector<std::string> log;
    TListeningLink statement(log);
    {
        TPanelPair panel(file_.Path());
        statement.link.SetDatabase(&panel.database);
        EXPECT_EQ(statement.link.Transaction(), &panel.transaction) << "takes the default";
        EXPECT_EQ(ClientCodeOf([&] { (void)statement.link.DatabaseHandle(); }), 15);
        panel.database.SetConnected(true);
        EXPECT_EQ(ClientCodeOf([&] { (void)statement.link.TransactionHandle(); }), 18);
        panel.transaction.SetActive(true);
        EXPECT_NE(*statement.link.TransactionHandle(), 0u);
        panel.database.SetConnected(false);
        EXPECT_EQ(log, (std::vector<std::string>{"before end", "after end", "before disconnect",
                                                 "after disconnect"}));
        log.clear();
    }
    EXPECT_EQ(log, (std::vector<std::string>{"transaction free", "database free"}));
    EXPECT_EQ(statement.link.Database(), nullptr);
    EXPECT_EQ(statement.link.Transaction(), nullptr);
}

TEST_F(Connection, a_destroyed_default_transaction_is_forgotten)
{
    TComponent owner(nullptr);
    auto &database = CreateOwned<TIBDatabase>(owner);
    auto transaction = std::make_unique<TIBTransaction>(nullptr);
    database.SetDefaultTransaction(transaction.get());
    EXPECT_EQ(transaction->FindDefaultDatabase(), &database);
    TIBBase link(nullptr);
    link.SetTransaction(transaction.get());
    EXPECT_EQ(link.Database(), &database);
    transaction.reset();
    EXPECT_EQ(database.DefaultTransaction(), nullptr);
    EXPECT_EQ(database.FindDefaultTransaction(), nullptr) << "never the internal one";
    EXPECT_EQ(link.Transaction(), nullptr);
    EXPECT_EQ(link.Database(), &database);
}

TEST(ConnectionRegistry, slots_are_reused_after_removal)
{
    TComponent owner(nullptr);
    auto &database = CreateOwned<TIBDatabase>(owner);
    TIBBase a(nullptr), b(nullptr), c(nullptr);
    a.SetDatabase(&database);
    b.SetDatabase(&database);
    const int before = database.SQLObjectCount();
    a.SetDatabase(nullptr);
    c.SetDatabase(&database);
    EXPECT_EQ(database.SQLObjectCount(), before);
    EXPECT_EQ(database.SQLObjects(0), &c);
}

TEST(ConnectionRegistry, find_param_line_accepts_both_spellings)
{
    TComponent owner(nullptr);
    auto &database = CreateOwned<TIBDatabase>(owner);
    database.Params().SetLines({"lc_ctype=WIN1251", "ISC_DPB_USER_NAME=X", "password=p"});
    EXPECT_EQ(database.FindParamLine("user_name"), 1);
    EXPECT_EQ(database.FindParamLine("password"), 2);
    EXPECT_EQ(database.FindParamLine("role"), -1);
}

} // namespace
} // namespace velkor
