#pragma once

#include "db/client/ib_error.h"
#include "db/connection/ib_database.h"
#include "db/connection/ib_transaction.h"
#include "db/sql/ib_sql.h"
#include "tests/support/raw_sql.h"
#include "tests/support/test_database.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace velkor::test {

// The client error's message that `action` raises, or "no error".
inline std::string ClientErrorOf(const std::function<void()> &action)
{
    try {
        action();
    } catch (const EIBClientError &error) {
        return error.what();
    }
    return "no error";
}

// One statement on the panel's connection, in a started transaction, over a fresh database with
// the sample processes.
class StatementFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        WirePanelPair(database, transaction, file.Path());
        database.SetConnected(true);
        transaction.StartTransaction();
        sql.SetDatabase(&database);
    }
    void Text(const std::string &text) { sql.SQL().SetLines({text}); }

    TTestDatabase file;
    TScriptedLogin login{"SYSDBA", ""};
    TComponent owner{nullptr};
    TIBDatabase &database = CreateOwned<TIBDatabase>(owner);
    TIBTransaction &transaction = CreateOwned<TIBTransaction>(owner);
    TIBSQL &sql = CreateOwned<TIBSQL>(owner);
};

} // namespace velkor::test
