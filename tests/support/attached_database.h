#pragma once

#include "db/ib_database.h"
#include "db/ib_transaction.h"
#include "framework/component.h"
#include "tests/support/raw_sql.h"
#include "tests/support/test_database.h"

namespace velkor::test {

// A throwaway database with the panel's connection attached to it and its transaction started,
// as SYSDBA through the embedded engine. Everything goes with the object, components first.
class TAttachedDatabase
{
public:
    explicit TAttachedDatabase(
        TTestDatabase::TContent content = TTestDatabase::TContent::withSamples);
    TAttachedDatabase(const TAttachedDatabase &) = delete;
    TAttachedDatabase &operator=(const TAttachedDatabase &) = delete;

    TTestDatabase file;
    TScriptedLogin login{"SYSDBA", ""};
    TComponent owner{nullptr};
    TIBDatabase &database;
    TIBTransaction &transaction;
};

} // namespace velkor::test
