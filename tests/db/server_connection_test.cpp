// Connections through the private server that ./test.sh runs on loopback.
#include "db/client/ib_error.h"
#include "db/connection/ib_database.h"
#include "db/connection/ib_transaction.h"
#include "db/dataset/ib_custom_dataset.h"
#include "db/sql/ib_sql.h"
#include "tests/support/panel_list.h"
#include "tests/support/raw_sql.h"
#include "tests/support/test_database.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace velkor {
namespace {

std::string Env(const char *name)
{
    const char *value = std::getenv(name);
    return value ? value : "";
}

class ServerConnection : public ::testing::Test
{
protected:
    void SetUp() override
    {
        port_ = Env("VELKOR_TEST_SERVER_PORT");
        if (port_.empty())
            GTEST_SKIP() << "no test server: run ./test.sh";
        password_ = Env("VELKOR_TEST_SERVER_PASSWORD");
        file_ = std::make_unique<test::TTestDatabase>(test::TTestDatabase::TContent::withSamples);
        test::WirePanelPair(database_, transaction_, "");
    }

    std::string Remote(const std::string &path) const { return "localhost/" + port_ + ":" + path; }

    static void Server(const std::string &command)
    {
        const std::string line = std::string(VELKOR_TEST_SERVER_SCRIPT) + " " + command + " '" +
                                 Env("VELKOR_TEST_SERVER_DIR") + "' >/dev/null";
        ASSERT_EQ(std::system(line.c_str()), 0) << line;
    }

    std::string ConnectError()
    {
        try {
            database_.SetConnected(true);
        } catch (const EIBInterBaseError &error) {
            EXPECT_FALSE(database_.Connected());
            return error.what();
        }
        ADD_FAILURE() << "connected";
        return {};
    }

    std::string port_;
    std::string password_;
    std::unique_ptr<test::TTestDatabase> file_;
    TComponent owner_{nullptr};
    TIBDatabase &database_ = CreateOwned<TIBDatabase>(owner_);
    TIBTransaction &transaction_ = CreateOwned<TIBTransaction>(owner_);
};

TEST_F(ServerConnection, the_right_password_attaches_and_reads_the_dialect)
{
    test::TScriptedLogin login("SYSDBA", password_);
    database_.SetDatabaseName(Remote(file_->Path()));
    database_.SetConnected(true);
    EXPECT_EQ(database_.DBSQLDialect(), 1);
    transaction_.SetActive(true);
    EXPECT_EQ(test::QueryInteger(database_, transaction_, "SELECT COUNT(*) FROM SL_PROC_STATE"),
              40);
    database_.SetConnected(false);
    EXPECT_FALSE(transaction_.Active());
}

TEST_F(ServerConnection, refusals_carry_the_server_own_lines)
{
    test::TScriptedLogin login("SYSDBA", "wrong-password");
    database_.SetDatabaseName(Remote(file_->Path()));
    EXPECT_NE(ConnectError().find("Your user name and password are not defined"),
              std::string::npos);

    login.password = password_;
    database_.SetDatabaseName(Remote(file_->Folder() + "/missing.fdb"));
    const std::string missing = ConnectError();
    EXPECT_NE(missing.find("missing.fdb"), std::string::npos) << missing;
    EXPECT_NE(missing.find("\r\n"), std::string::npos) << missing;

    // Nothing listens on port 1 of the loopback.
    database_.SetDatabaseName("localhost/1:" + file_->Path());
    EXPECT_NE(ConnectError().find("Unable to complete network request"), std::string::npos);
}

TEST_F(ServerConnection, a_connection_whose_server_died_can_be_closed_and_opened_again)
{
    test::TScriptedLogin login("SYSDBA", password_);
    database_.SetDatabaseName(Remote(file_->Path()));
    database_.SetConnected(true);
    transaction_.SetActive(true);

    Server("kill");
    // The client library may report the lost attachment or release it quietly; either way the
    // connection ends up closed.
    try {
        database_.SetConnected(false);
    } catch (const EIBInterBaseError &error) {
        EXPECT_NE(std::string(error.what()), "");
    }
    EXPECT_FALSE(database_.Connected());
    EXPECT_FALSE(transaction_.Active());
    EXPECT_NO_THROW(database_.SetConnected(false)) << "nothing left to close";

    Server("restart");
    database_.SetConnected(true);
    transaction_.SetActive(true);
    EXPECT_EQ(test::QueryInteger(database_, transaction_, "SELECT COUNT(*) FROM SL_PROC_STATE"),
              40);
}

TEST_F(ServerConnection, opens_on_a_lost_connection_report_the_loss_and_leave_no_cursor_open)
{
    test::TScriptedLogin login("SYSDBA", password_);
    database_.SetDatabaseName(Remote(file_->Path()));
    database_.SetConnected(true);
    transaction_.SetActive(true);
    test::TPanelList panel{owner_, database_, transaction_};
    panel.list.Open();
    ASSERT_EQ(panel.procId.AsInteger(), 1);

    Server("kill");
    // The list's refresh, tick after tick: close, open.
    for (int tick = 1; tick <= 3; ++tick) {
        try {
            panel.list.Close();
        } catch (const EIBError &error) {
            EXPECT_EQ(std::string(error.what()).find("open cursor"), std::string::npos)
                << "tick " << tick << ": " << error.what();
        }
        std::string failure = "opened";
        try {
            panel.list.Open();
        } catch (const EIBError &error) {
            failure = error.what();
        }
        EXPECT_EQ(failure.find("open cursor"), std::string::npos) << "tick " << tick;
        EXPECT_NE(failure, "opened") << "tick " << tick;
        EXPECT_FALSE(panel.list.Active());
        EXPECT_FALSE(panel.list.QSelect().IsOpen());
    }

    Server("restart");
    try {
        database_.SetConnected(false);
    } catch (const EIBInterBaseError &) {
        // The lost attachment may be reported once more; it is closed all the same.
    }
    database_.SetConnected(true);
    transaction_.SetActive(true);
    panel.list.Open();
    EXPECT_EQ(panel.procId.AsInteger(), 1);
}

} // namespace
} // namespace velkor
