// Runs the main window's refresh tick many times over one database, for a profiler:
//   valgrind --tool=callgrind --collect-atstart=no --toggle-collect='*RunTicks*'
//            tick_profile [ROWS [KEPT [TICKS [WHAT]]]]
// and divide the instructions by TICKS. WHAT is "tick" (the default), "repaint" (the grid's full
// repaint alone) or "bare" (the bare client library's refresh of the same rows). It times nothing
// itself. Offscreen, the real platform hooks installed (busy cursor, timers), the embedded engine.
#include "app/platform_bindings.h"
#include "bench/tick_case.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

namespace {

// Kept out of line, so that a profiler can collect this function alone.
[[gnu::noinline]] int RunTicks(const std::function<bool()> &tick, int count)
{
    int missed = 0;
    for (int i = 0; i < count; ++i)
        missed += tick() ? 0 : 1;
    return missed;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    velkor::InstallPlatformHooks();
    const velkor::test::TScriptedLogin login("SYSDBA", "");
    const int rows = argc > 1 ? std::atoi(argv[1]) : 40;
    const int kept = argc > 2 ? std::atoi(argv[2]) : 6;
    const int ticks = argc > 3 ? std::atoi(argv[3]) : 200;
    const std::string what = argc > 4 ? argv[4] : "tick";
    velkor::bench::TTickCase tick(rows, kept);
    std::function<bool()> body = [&tick] { return tick.Tick(); };
    if (what == "repaint")
        body = [&tick] {
            tick.window.MainGrid->viewport()->repaint();
            return true;
        };
    else if (what == "bare")
        body = [&tick] { return tick.bare->Run(tick.kept); };
    // Warm: the first runs size the window's buffers and caches.
    for (int i = 0; i < 10; ++i)
        body();
    const int missed = RunTicks(body, ticks);
    std::printf("%d runs of %s over %d rows, kept %d: %d missed the kept row\n", ticks,
                what.c_str(), rows, kept, missed);
    return missed == 0 ? 0 : 1;
}
