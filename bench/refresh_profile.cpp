// Runs refresh_bench's refresh (close, open, locate the kept PROC_ID) many times over one
// embedded database, for a profiler:
//   valgrind --tool=callgrind --collect-atstart=no --toggle-collect='*RunRefreshes*'
//            refresh_profile [ROWS [KEPT [RUNS [WHAT]]]]
// or `perf stat -e instructions` at two values of RUNS; divide the difference by the runs.
// WHAT is "panel" (the default) or "bare" (the bare client library doing the same). It times
// nothing itself.
#include "bench/bare_refresh.h"
#include "bench/fill_processes.h"
#include "dataset/data_source.h"
#include "dataset/field.h"
#include "db/connection/ib_database.h"
#include "db/connection/ib_transaction.h"
#include "db/dataset/ib_custom_dataset.h"
#include "tests/support/panel_list.h"
#include "tests/support/raw_sql.h"
#include "tests/support/test_database.h"

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

namespace {

using namespace velkor;

// A grid of 20 rows, as refresh_bench has.
class TWindowLink : public TDataLink
{
};

// Kept out of line, so that a profiler can collect this function alone.
[[gnu::noinline]] int RunRefreshes(const std::function<bool()> &refresh, int count)
{
    int missed = 0;
    for (int i = 0; i < count; ++i)
        missed += refresh() ? 0 : 1;
    return missed;
}

} // namespace

int main(int argc, char **argv)
{
    const test::TScriptedLogin login("SYSDBA", "");
    const int rows = argc > 1 ? std::atoi(argv[1]) : 40;
    const std::int32_t kept = argc > 2 ? std::atoi(argv[2]) : 6;
    const int runs = argc > 3 ? std::atoi(argv[3]) : 200;
    const std::string what = argc > 4 ? argv[4] : "panel";

    test::TTestDatabase file{test::TTestDatabase::TContent::empty};
    TComponent owner{nullptr};
    auto &database = CreateOwned<TIBDatabase>(owner);
    auto &transaction = CreateOwned<TIBTransaction>(owner);
    test::WirePanelPair(database, transaction, file.Path());
    database.SetLoginPrompt(false);
    database.Params().Add("user_name=SYSDBA");
    database.SetConnected(true);
    transaction.StartTransaction();
    bench::FillProcesses(database, transaction, rows);
    transaction.Commit();
    transaction.StartTransaction();
    test::TPanelList panel{owner, database, transaction};
    auto &source = CreateOwned<TDataSource>(owner);
    TWindowLink link;
    source.SetDataSet(&panel.list);
    link.SetBufferCount(20);
    link.SetDataSource(&source);
    panel.list.Open();
    std::unique_ptr<bench::TBareRefresh> bare;
    if (what == "bare") {
        // Alone on the server, as the panel is alone in its runs.
        panel.list.Close();
        bare = std::make_unique<bench::TBareRefresh>(database, transaction, 20);
    }

    std::function<bool()> body = [&panel, kept] {
        panel.list.Close();
        panel.list.Open();
        return panel.list.Locate("PROC_ID", TVariant(kept), {}) && panel.procId.AsInteger() == kept;
    };
    if (what == "bare")
        body = [&bare, kept] { return bare->Run(kept); };
    // Warm: the first runs size the window's buffers and caches.
    for (int i = 0; i < 10; ++i)
        body();
    const int missed = RunRefreshes(body, runs);
    std::printf("%d runs of %s over %d rows, kept %d: %d missed the kept row\n", runs, what.c_str(),
                rows, kept, missed);
    panel.list.Close();
    link.SetDataSource(nullptr);
    return missed == 0 ? 0 : 1;
}
