// Start-up of the panel against a bare Qt window with six buttons that also loads the client
// library (bare_window): time from starting the process to its first exposed window and to that
// window painted, and the resident memory 2 s later, as medians over alternating runs; then, when
// valgrind is installed, the instructions each executes up to its painted window, which the load
// of a shared machine does not move. Both run with shown_clock_shim preloaded, on the platform of
// the environment (offscreen when there is no DISPLAY), with a fresh configuration and cache
// folder each.
//   start_bench [RUNS]
#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

struct TRun
{
    double startMs = 0;
    double paintedMs = 0;
    long rssKb = 0;
};

long long Now()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

QProcessEnvironment Environment(const QTemporaryDir &home)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LD_PRELOAD"), QStringLiteral(VELKOR_SHOWN_CLOCK_SHIM));
    if (!env.contains(QStringLiteral("DISPLAY")) &&
        !env.contains(QStringLiteral("QT_QPA_PLATFORM")))
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("XDG_CACHE_HOME"), home.filePath(QStringLiteral("cache")));
    return env;
}

bool RunOnce(const QString &program, TRun &run)
{
    QTemporaryDir home;
    QProcess process;
    process.setProcessEnvironment(Environment(home));
    process.setProcessChannelMode(QProcess::SeparateChannels);
    const long long started = Now();
    process.start(program, {});
    if (!process.waitForFinished(30000)) {
        process.kill();
        process.waitForFinished();
        return false;
    }
    bool shown = false;
    for (const QByteArray &line : process.readAllStandardError().split('\n')) {
        if (line.startsWith("shown ")) {
            run.startMs = static_cast<double>(line.mid(6).toLongLong() - started) / 1e6;
            shown = true;
        } else if (line.startsWith("painted ")) {
            run.paintedMs = static_cast<double>(line.mid(8).toLongLong() - started) / 1e6;
        } else if (line.startsWith("rss ")) {
            run.rssKb = line.mid(4).toLong();
        }
    }
    return shown && run.paintedMs > 0 && run.rssKb > 0;
}

// Instructions up to the painted window under callgrind, or -1 without valgrind.
long long Instructions(const QString &program)
{
    QTemporaryDir home;
    QProcess process;
    QProcessEnvironment env = Environment(home);
    env.insert(QStringLiteral("VELKOR_SHOWN_EXIT"), QStringLiteral("1"));
    process.setProcessEnvironment(env);
    process.start(QStringLiteral("valgrind"),
                  {QStringLiteral("--tool=callgrind"),
                   QStringLiteral("--callgrind-out-file=/dev/null"), program});
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
        return -1;
    }
    for (const QByteArray &line : process.readAllStandardError().split('\n'))
        if (const qsizetype at = line.indexOf("Collected :"); at >= 0)
            return line.mid(at + 11).trimmed().toLongLong();
    return -1;
}

template<typename T> T Median(std::vector<T> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 11;
    const QString programs[] = {QStringLiteral(VELKOR_PANEL_PROGRAM),
                                QStringLiteral(VELKOR_BARE_WINDOW_PROGRAM)};
    std::vector<double> start[2];
    std::vector<double> painted[2];
    std::vector<long> rss[2];
    // One of each first, unmeasured: the page cache then holds both.
    for (const QString &program : programs) {
        TRun warm;
        if (!RunOnce(program, warm)) {
            std::fprintf(stderr, "start_bench: %s never showed a window\n", qPrintable(program));
            return 1;
        }
    }
    for (int i = 0; i < runs; ++i)
        for (int p = 0; p < 2; ++p) {
            TRun run;
            if (!RunOnce(programs[p], run)) {
                std::fprintf(stderr, "start_bench: %s never showed a window\n",
                             qPrintable(programs[p]));
                return 1;
            }
            start[p].push_back(run.startMs);
            painted[p].push_back(run.paintedMs);
            rss[p].push_back(run.rssKb);
        }
    const double panelMs = Median(start[0]);
    const double bareMs = Median(start[1]);
    const double panelPaintedMs = Median(painted[0]);
    const double barePaintedMs = Median(painted[1]);
    const long panelKb = Median(rss[0]);
    const long bareKb = Median(rss[1]);
    std::printf("medians of %d runs each (platform: %s)\n", runs,
                qEnvironmentVariableIsSet("DISPLAY") ? "xcb" : "offscreen");
    std::printf("start to exposed window: panel %.1f ms, bare window %.1f ms, ratio %.3f\n",
                panelMs, bareMs, panelMs / bareMs);
    std::printf("start to painted window: panel %.1f ms, bare window %.1f ms, ratio %.3f\n",
                panelPaintedMs, barePaintedMs, panelPaintedMs / barePaintedMs);
    std::printf("idle RSS after 2 s: panel %ld kB, bare window %ld kB, ratio %.3f\n", panelKb,
                bareKb, static_cast<double>(panelKb) / static_cast<double>(bareKb));
    const long long panelInstructions = Instructions(programs[0]);
    const long long bareInstructions = Instructions(programs[1]);
    if (panelInstructions > 0 && bareInstructions > 0)
        std::printf("instructions to painted window (callgrind): panel %lld, bare window %lld, "
                    "ratio %.3f\n",
                    panelInstructions, bareInstructions,
                    static_cast<double>(panelInstructions) / static_cast<double>(bareInstructions));
    return 0;
}
