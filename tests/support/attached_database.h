#pragma once

#include "db/connection/ib_database.h"
#include "db/connection/ib_transaction.h"
#include "framework/component.h"
#include "tests/support/raw_sql.h"
#include "tests/support/test_database.h"

#include <string>

namespace velkor::test {

// Where a test's database is reached: the embedded engine in this process, or the private
// server that ./test.sh starts.
enum class TEngine { embedded, server };

// A throwaway database with the panel's connection attached to it and its transaction started,
// as SYSDBA through the embedded engine or through the private server. Everything goes with the
// object, components first.
class TAttachedDatabase
{
public:
    explicit TAttachedDatabase(
        TTestDatabase::TContent content = TTestDatabase::TContent::withSamples,
        TEngine engine = TEngine::embedded);
    TAttachedDatabase(const TAttachedDatabase &) = delete;
    TAttachedDatabase &operator=(const TAttachedDatabase &) = delete;

    TTestDatabase file;
    // The database as the connection names it: the file, or the file on the server.
    std::string path;
    TScriptedLogin login;
    TComponent owner{nullptr};
    TIBDatabase &database;
    TIBTransaction &transaction;
};

} // namespace velkor::test
