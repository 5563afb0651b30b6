// A result-set test's setting: the panel's list with its five fields on a throwaway database of
// 40 processes, a data source and a recording link of ten buffers, on either engine.
#pragma once

#include "dataset/data_source.h"
#include "db/connection/ib_database.h"
#include "db/connection/ib_transaction.h"
#include "tests/support/attached_database.h"
#include "tests/support/engine_test.h"
#include "tests/support/panel_list.h"
#include "tests/support/raw_sql.h"
#include "tests/support/recording_link.h"
#include "tests/support/test_database.h"

#include <string>

namespace velkor::test {

class PanelListTest : public EngineTest
{
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        if (IsSkipped())
            return;
        source.SetDataSet(&panel.list);
        link.SetBufferCount(10);
        link.SetDataSource(&source);
    }
    void Select(const std::string &text) { panel.list.SelectSQL().SetText(text); }
    // Another session's change, committed at once.
    void Elsewhere(const std::string &sql) { ExecuteElsewhere(attached.path, sql); }

    TAttachedDatabase attached{TTestDatabase::TContent::withSamples, Engine()};
    TComponent &owner = attached.owner;
    TIBDatabase &database = attached.database;
    TIBTransaction &transaction = attached.transaction;
    TPanelList panel{owner, database, transaction};
    TDataSource &source = CreateOwned<TDataSource>(owner);
    TRecordingLink link;
};

} // namespace velkor::test
