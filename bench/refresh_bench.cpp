// The panel's refresh (close, open, locate the kept PROC_ID) against the bare client library
// doing the same server work: execute, fetch the rows the refresh needs, compare, close.
// Embedded engine always; the private server over loopback when ./test.sh's variables are set.
#include "bench/refresh_case.h"

#include <benchmark/benchmark.h>

#include <array>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

std::atomic<long> gAllocations{0};

} // namespace

// Every heap allocation of the process is counted (the client library's too, so that the bare
// side shows what the server work itself costs), by standing in for the C allocator.
extern "C" {
void *__libc_malloc(std::size_t size);
void *__libc_calloc(std::size_t count, std::size_t size);
void *__libc_realloc(void *block, std::size_t size);
void __libc_free(void *block);

void *malloc(std::size_t size)
{
    gAllocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_malloc(size);
}
void *calloc(std::size_t count, std::size_t size)
{
    gAllocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_calloc(count, size);
}
void *realloc(void *block, std::size_t size)
{
    gAllocations.fetch_add(1, std::memory_order_relaxed);
    return __libc_realloc(block, size);
}
void free(void *block)
{
    __libc_free(block);
}
}

namespace {

using namespace velkor;

using bench::PanelRefresh;
using TBenchDatabase = bench::TRefreshDatabase;
constexpr int kWindow = bench::kRefreshWindow;

struct TCase
{
    std::string where;
    int rows;
    std::int32_t kept;
};

class TRatioReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &run : runs)
            // The median when runs are repeated, else the one run.
            if (run.run_type == Run::RT_Iteration ||
                (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")) {
                cpu[run.run_name.function_name] = run.GetAdjustedCPUTime();
                wall[run.run_name.function_name] = run.GetAdjustedRealTime();
            }
    }
    std::map<std::string, double> cpu;
    std::map<std::string, double> wall;
};

// Allocations per refresh by case name, the bare client's and the panel's.
struct TAllocationCounts
{
    std::map<std::string, double> bare;
    std::map<std::string, double> panel;
};

// The bare refresh and the panel's of one case, one after the other.
void RegisterPair(TBenchDatabase &db, const std::string &name, std::int32_t kept,
                  TAllocationCounts &allocations)
{
    benchmark::RegisterBenchmark(("bare/" + name).c_str(), [&db, kept, name,
                                                            &allocations](benchmark::State &state) {
        // The panel's list is closed first, so that both sides run alone: while its cursor
        // is open the engine keeps the view's inner EXECUTE STATEMENT prepared, and the bare
        // refresh would skip the compile (about 0.2M instructions) that every reopen of the
        // panel's pays.
        db.panel.list.Close();
        const long before = gAllocations.load();
        long runs = 0;
        for (auto _ : state) {
            if (!db.bare->Run(kept))
                state.SkipWithError("kept row missing");
            ++runs;
        }
        allocations.bare[name] =
            static_cast<double>(gAllocations.load() - before) / static_cast<double>(runs);
    })->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("panel/" + name).c_str(), [&db, kept, name, &allocations](
                                                                benchmark::State &state) {
        const long before = gAllocations.load();
        long runs = 0;
        for (auto _ : state) {
            if (!PanelRefresh(db.panel, kept))
                state.SkipWithError("kept row missing");
            ++runs;
        }
        allocations.panel[name] =
            static_cast<double>(gAllocations.load() - before) / static_cast<double>(runs);
    })->Unit(benchmark::kMillisecond);
}

// One line per case, the ratios after the name.
void PrintRatios(TRatioReporter &reporter, const std::vector<std::string> &names,
                 std::map<std::string, std::unique_ptr<TBenchDatabase>> &databases,
                 TAllocationCounts &allocations)
{
    std::printf("\n%-34s %8s %8s %8s %12s %12s %10s\n", "case", "rows", "b/a cpu", "b/a wall",
                "allocs bare", "allocs panel", "extra/row");
    for (const std::string &name : names) {
        const double aCpu = reporter.cpu["bare/" + name];
        const double bCpu = reporter.cpu["panel/" + name];
        const double aWall = reporter.wall["bare/" + name];
        const double bWall = reporter.wall["panel/" + name];
        TBenchDatabase &db = *databases[name.substr(0, name.rfind('/'))];
        if (!db.panel.list.Active())
            db.panel.list.Open();
        const double rows = db.panel.list.RecordCount();
        const double extra = allocations.panel[name] - allocations.bare[name];
        if (aCpu > 0 && aWall > 0)
            std::printf("%-34s %8.0f %8.3f %8.3f %12.3f %12.3f %10.5f\n", name.c_str(), rows,
                        bCpu / aCpu, bWall / aWall, allocations.bare[name], allocations.panel[name],
                        extra / rows);
    }
}

} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    test::TScriptedLogin login("SYSDBA", "");
    std::vector<TCase> cases = {{"embedded", 40, 6},
                                {"embedded", 1000, 1000},
                                {"embedded", 100000, 1},
                                {"embedded", 100000, 100000}};
    const char *port = std::getenv("VELKOR_TEST_SERVER_PORT");
    const char *password = std::getenv("VELKOR_TEST_SERVER_PASSWORD");
    if (port && *port) {
        cases.push_back({"server", 40, 6});
        cases.push_back({"server", 100000, 1});
        cases.push_back({"server", 100000, 100000});
    } else {
        std::printf("No private server (run under ./test.sh's variables for the loopback cases)\n");
    }

    std::map<std::string, std::unique_ptr<TBenchDatabase>> databases;
    TAllocationCounts allocations;
    std::vector<std::string> names;
    for (const TCase &c : cases) {
        const std::string key = c.where + "/" + std::to_string(c.rows);
        if (!databases.count(key)) {
            const std::string prefix =
                c.where == "server" ? std::string("127.0.0.1/") + port + ":" : std::string();
            databases[key] = std::make_unique<TBenchDatabase>(
                c.rows, prefix, c.where == "server" && password ? password : "");
            databases[key]->bare = std::make_unique<bench::TBareRefresh>(
                databases[key]->database, databases[key]->transaction, kWindow);
        }
        TBenchDatabase &db = *databases[key];
        const std::string name = key + "/kept" + std::to_string(c.kept);
        names.push_back(name);
        RegisterPair(db, name, c.kept, allocations);
    }
    TRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    PrintRatios(reporter, names, databases, allocations);
    databases.clear();
    benchmark::Shutdown();
    return 0;
}
