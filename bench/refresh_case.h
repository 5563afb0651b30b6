#pragma once

// One database of `rows` processes for the refresh benchmarks, attached once for both sides: the
// panel's list read through a window of kRefreshWindow rows, and the same refresh done by hand.
#include "bench/bare_refresh.h"
#include "bench/fill_processes.h"
#include "dataset/data_source.h"
#include "dataset/numeric_fields.h"
#include "db/connection/ib_database.h"
#include "db/connection/ib_transaction.h"
#include "db/dataset/ib_custom_dataset.h"
#include "tests/support/panel_list.h"
#include "tests/support/raw_sql.h"
#include "tests/support/test_database.h"

#include <cstdint>
#include <memory>
#include <string>

namespace velkor::bench {

// A grid's window of rows.
constexpr int kRefreshWindow = 20;

class TWindowLink : public TDataLink
{
};

struct TRefreshDatabase
{
    TRefreshDatabase(int rows, const std::string &prefix = {}, const std::string &password = {})
    {
        test::WirePanelPair(database, transaction, prefix + file.Path());
        if (!password.empty())
            database.Params().Add("password=" + password);
        database.SetLoginPrompt(false);
        database.Params().Add("user_name=SYSDBA");
        database.SetConnected(true);
        transaction.StartTransaction();
        FillProcesses(database, transaction, rows);
        transaction.Commit();
        transaction.StartTransaction();
        source.SetDataSet(&panel.list);
        link.SetBufferCount(kRefreshWindow);
        link.SetDataSource(&source);
        panel.list.Open();
    }

    test::TTestDatabase file{test::TTestDatabase::TContent::empty};
    TComponent owner{nullptr};
    TIBDatabase &database = CreateOwned<TIBDatabase>(owner);
    TIBTransaction &transaction = CreateOwned<TIBTransaction>(owner);
    test::TPanelList panel{owner, database, transaction};
    TDataSource &source = CreateOwned<TDataSource>(owner);
    TWindowLink link;
    std::unique_ptr<TBareRefresh> bare;
};

// The panel's refresh: close, open, locate the kept PROC_ID.
inline bool PanelRefresh(test::TPanelList &panel, std::int32_t kept)
{
    panel.list.Close();
    panel.list.Open();
    return panel.list.Locate("PROC_ID", TVariant(kept), {}) && panel.procId.AsInteger() == kept;
}

} // namespace velkor::bench
