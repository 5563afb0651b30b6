// The list select through the bare client library and through TIBSQL, over one database of
// 100,000 processes; prints how much the statement layer costs on top of the client.
#include "bench/fill_processes.h"
#include "db/connection/ib_database.h"
#include "db/connection/ib_transaction.h"
#include "db/sql/ib_sql.h"
#include "tests/support/bare_select.h"
#include "tests/support/raw_sql.h"
#include "tests/support/test_database.h"

#include <benchmark/benchmark.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <stdexcept>
#include <vector>

namespace {

using namespace velkor;

constexpr const char *kListSelect = "SELECT * FROM SL_PROC_STATE";
constexpr int kRows = 100000;

// Naming the cursor, as TIBSQL does, makes the two do the same server calls.
const bool kNamed = std::getenv("BENCH_UNNAMED") == nullptr;

int RunBare(test::TBareSelect &bare, int rows)
{
    bare.Execute(kNamed);
    int fetched = 0;
    while (fetched < rows && bare.Fetch())
        ++fetched;
    bare.Close();
    return fetched;
}

int RunThroughStatement(TIBSQL &sql, int rows)
{
    sql.ExecQuery(); // brings the first row
    int fetched = sql.AtEnd() ? 0 : 1;
    while (fetched < rows && sql.FetchNext())
        ++fetched;
    sql.CloseCursor();
    return fetched;
}

// Keeps each run's time per iteration as well as printing it.
class TRatioReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &run : runs)
            if (run.run_type == Run::RT_Iteration)
                times[run.benchmark_name()] = run.GetAdjustedRealTime();
    }
    std::map<std::string, double> times;
};

} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    test::TTestDatabase file(test::TTestDatabase::TContent::empty);
    test::TScriptedLogin login("SYSDBA", "");
    TComponent owner(nullptr);
    auto &database = CreateOwned<TIBDatabase>(owner);
    auto &transaction = CreateOwned<TIBTransaction>(owner);
    test::WirePanelPair(database, transaction, file.Path());
    database.SetConnected(true);
    transaction.StartTransaction();
    bench::FillProcesses(database, transaction, kRows);
    transaction.Commit();
    transaction.StartTransaction();

    test::TBareSelect bare(database, transaction);
    auto &sql = CreateOwned<TIBSQL>(owner);
    sql.SetDatabase(&database);
    sql.SQL().SetLines({kListSelect});
    sql.Prepare();

    const std::vector<int> sizes = {12, 1000, kRows};
    for (const int rows : sizes) {
        benchmark::RegisterBenchmark(("bare/" + std::to_string(rows)).c_str(),
                                     [&bare, rows](benchmark::State &state) {
                                         for (auto _ : state)
                                             if (RunBare(bare, rows) != rows)
                                                 state.SkipWithError("rows missing");
                                     })
            ->Unit(benchmark::kMicrosecond);
        benchmark::RegisterBenchmark(("ibsql/" + std::to_string(rows)).c_str(),
                                     [&sql, rows](benchmark::State &state) {
                                         for (auto _ : state)
                                             if (RunThroughStatement(sql, rows) != rows)
                                                 state.SkipWithError("rows missing");
                                     })
            ->Unit(benchmark::kMicrosecond);
    }
    TRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    for (const int rows : sizes) {
        const std::string n = std::to_string(rows);
        const double a = reporter.times["bare/" + n];
        const double b = reporter.times["ibsql/" + n];
        if (a > 0)
            std::printf("N = %-7d TIBSQL / bare = %.3f\n", rows, b / a);
    }
    benchmark::Shutdown();
    return 0;
}
