// Runs refresh_bench's refresh (close, open, locate the kept PROC_ID) many times over one
// embedded database, for a profiler:
//   valgrind --tool=callgrind --collect-atstart=no --toggle-collect='*RunRefreshes*'
//            refresh_profile [ROWS [KEPT [RUNS [WHAT]]]]
// or `perf stat -e instructions` at two values of RUNS; divide the difference by the runs.
// WHAT is "panel" (the default) or "bare" (the bare client library doing the same). It times
// nothing itself.
#include "bench/refresh_case.h"

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

namespace {

using namespace velkor;

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

    bench::TRefreshDatabase db{rows};
    test::TPanelList &panel = db.panel;
    TIBDatabase &database = db.database;
    TIBTransaction &transaction = db.transaction;
    std::unique_ptr<bench::TBareRefresh> bare;
    if (what == "bare") {
        // Alone on the server, as the panel is alone in its runs.
        panel.list.Close();
        bare = std::make_unique<bench::TBareRefresh>(database, transaction, 20);
    }

    std::function<bool()> body = [&panel, kept] { return bench::PanelRefresh(panel, kept); };
    if (what == "bare")
        body = [&bare, kept] { return bare->Run(kept); };
    // Warm: the first runs size the window's buffers and caches.
    for (int i = 0; i < 10; ++i)
        body();
    const int missed = RunRefreshes(body, runs);
    std::printf("%d runs of %s over %d rows, kept %d: %d missed the kept row\n", runs, what.c_str(),
                rows, kept, missed);
    panel.list.Close();
    db.link.SetDataSource(nullptr);
    return missed == 0 ? 0 : 1;
}
