// One refresh tick of the real main window, offscreen: RefreshTimerTimer and the grid's repaint
// it causes, forced with repaint(), against the bare client library fetching the same rows; and
// one full repaint of the grid against a stock QTableView over a QStandardItemModel of the same
// rows, columns and size. Embedded engine, databases made for the run.
// With a screen reader's bridge on (QT_QPA_PLATFORM=xcb, QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 and an
// accessibility bus, e.g. under dbus-run-session), the bench asks for the grids' tables as an
// attached reader would, and "tick+events" also runs what the tick queued for the reader.
#include "app/main_control_window.h"
#include "bench/bare_refresh.h"
#include "bench/fill_processes.h"
#include "db/data_source.h"
#include "db/field.h"
#include "db/ib_custom_dataset.h"
#include "db/ib_database.h"
#include "db/ib_transaction.h"
#include "tests/support/raw_sql.h"
#include "tests/support/test_database.h"
#include "ui/control_accessibility.h"
#include "ui/form_font.h"
#include "ui/rx_db_grid.h"
#include "ui/text_codec.h"

#include <QAccessible>
#include <QApplication>
#include <QHeaderView>
#include <QStandardItemModel>
#include <QTableView>
#include <QThread>
#include <QTimer>
#include <QWindow>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace velkor;

// repaint() paints only a window the platform has exposed.
void ShowExposed(QWidget &window)
{
    window.show();
    for (int i = 0; i < 1000 && !(window.windowHandle() && window.windowHandle()->isExposed()); ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    if (!window.windowHandle() || !window.windowHandle()->isExposed())
        std::fprintf(stderr, "tick_bench: the window was never exposed; repaints do nothing\n");
    QCoreApplication::processEvents();
}

// A database of `rows` processes, every other one with a Cyrillic name.
std::unique_ptr<test::TTestDatabase> MakeDatabase(int rows)
{
    auto file = std::make_unique<test::TTestDatabase>(test::TTestDatabase::TContent::empty);
    TComponent owner{nullptr};
    auto &database = CreateOwned<TIBDatabase>(owner);
    auto &transaction = CreateOwned<TIBTransaction>(owner);
    test::WirePanelPair(database, transaction, file->Path());
    database.SetLoginPrompt(false);
    database.Params().Add("user_name=SYSDBA");
    database.SetConnected(true);
    transaction.StartTransaction();
    // "Процесс" in WIN1251, so that the names take the conversion the panel shows them with.
    bench::FillProcesses(database, transaction, rows, DatabaseBytes(QStringLiteral("Процесс ")));
    transaction.Commit();
    database.SetConnected(false);
    return file;
}

// The main window connected to one database, its timer stopped so that only the benchmark ticks.
struct TTickCase
{
    TTickCase(int rows, std::int32_t kept)
        : file(MakeDatabase(rows))
        , kept(kept)
    {
        window.RefreshTimer->stop();
        ShowExposed(window);
        window.ConnectDatabase(QString::fromStdString(file->Path()));
        window.RefreshTimerTimer();
        (void)window.ProceduresList->Locate("PROC_ID", TVariant(kept), {});
        window.MainGrid->viewport()->repaint();
        bare = std::make_unique<bench::TBareRefresh>(*window.MainDatabase, *window.MainTransaction,
                                                     window.MainGrid->VisibleRowCount());
    }

    bool Tick()
    {
        window.RefreshTimerTimer();
        window.MainGrid->viewport()->repaint();
        return window.ProceduresListPROC_ID->AsInteger() == kept;
    }

    std::unique_ptr<test::TTestDatabase> file;
    std::int32_t kept;
    TMainVelkorcontrolWindow window;
    std::unique_ptr<bench::TBareRefresh> bare;
};

// The stock view over the rows the grid shows, at the grid's size and font.
struct TStockView
{
    explicit TStockView(TMainVelkorcontrolWindow &panel)
    {
        TIBDataSet &list = *panel.ProceduresList;
        TRxDBGrid &grid = *panel.MainGrid;
        model.setColumnCount(5);
        for (int col = 0; col < 5; ++col)
            model.setHeaderData(col, Qt::Horizontal, grid.Columns()[col].Title().Caption());
        const std::string keep = list.Bookmark();
        list.First();
        while (!list.Eof()) {
            QList<QStandardItem *> row;
            for (int col = 0; col < 5; ++col) {
                auto *item = new QStandardItem(DatabaseText(list.Fields(col).DisplayText()));
                if (col != 1)
                    item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
                row.append(item); // the model owns its items
            }
            model.appendRow(row);
            list.Next();
        }
        list.GotoBookmark(keep);
        view.setModel(&model);
        view.setFont(FormFont());
        view.resize(grid.size());
        view.verticalHeader()->setDefaultSectionSize(grid.DefaultRowHeight());
        view.setColumnWidth(1, 315);
        ShowExposed(view);
        view.setCurrentIndex(model.index(5, 0));
        view.viewport()->repaint();
    }

    QStandardItemModel model;
    QTableView view;
};

class TMedianReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &run : runs)
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
                wall[run.run_name.function_name] = run.GetAdjustedRealTime();
                cpu[run.run_name.function_name] = run.GetAdjustedCPUTime();
            }
    }
    std::map<std::string, double> wall;
    std::map<std::string, double> cpu;
};

// How many PROC_NAME cells one tick paints: the field's text handler counts them.
int NameCellsPerTick(TTickCase &tick)
{
    TIBStringField &name = *tick.window.ProceduresListPROC_NAME;
    int cells = 0;
    name.OnGetText = [&cells](TField &field, std::string &text, bool) {
        ++cells;
        text = field.AsString();
    };
    tick.Tick();
    name.OnGetText = nullptr;
    return cells;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    InstallAccessibility();
    benchmark::Initialize(&argc, argv);
    test::TScriptedLogin login("SYSDBA", "");

    std::printf("Making the databases (40 and twice 100,000 processes)...\n");
    TTickCase small(40, 6);
    TTickCase large(100000, 1);
    TTickCase largeLast(100000, 100000);
    TStockView stock(small.window);
    // The bridge finds the accessibility bus after start-up, from the event loop.
    for (int i = 0;
         i < 500 && qEnvironmentVariableIntValue("QT_LINUX_ACCESSIBILITY_ALWAYS_ON") == 1 &&
         !QAccessible::isActive();
         ++i) {
        QCoreApplication::processEvents();
        QThread::msleep(10);
    }
    const bool reader = QAccessible::isActive();
    if (reader)
        for (TTickCase *tick : {&small, &large, &largeLast})
            (void)QAccessible::queryAccessibleInterface(tick->window.MainGrid)->childCount();
    std::printf("accessibility bridge: %s\n", reader ? "active, a reader's view asked for" : "off");

    const auto wallTime = [](auto &&body) {
        return [body](benchmark::State &state) {
            for (auto _ : state)
                if (!body())
                    state.SkipWithError("the kept row was not found");
        };
    };
    const auto add = [](const char *name, auto &&function) {
        benchmark::RegisterBenchmark(name, function)
            ->Unit(benchmark::kMillisecond)
            ->Repetitions(9)
            ->ReportAggregatesOnly(true)
            ->UseRealTime();
    };
    add("bare/40/kept6", wallTime([&] { return small.bare->Run(6); }));
    add("tick/40/kept6", wallTime([&] { return small.Tick(); }));
    add("tick+events/40/kept6", wallTime([&] {
            const bool kept = small.Tick();
            QCoreApplication::processEvents();
            return kept;
        }));
    add("bare/100000/kept1", wallTime([&] { return large.bare->Run(1); }));
    add("tick/100000/kept1", wallTime([&] { return large.Tick(); }));
    add("bare/100000/keptLast", wallTime([&] { return largeLast.bare->Run(100000); }));
    add("tick/100000/keptLast", wallTime([&] { return largeLast.Tick(); }));
    add("repaint/grid", wallTime([&] {
            small.window.MainGrid->viewport()->repaint();
            return true;
        }));
    add("repaint/QTableView", wallTime([&] {
            stock.view.viewport()->repaint();
            return true;
        }));

    TMedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    auto ms = [&](const char *name) { return reporter.wall[name]; };
    std::printf("\nmedians (ms)           bare      tick   tick-bare\n");
    std::printf("40 rows, kept 6     %8.3f  %8.3f  %8.3f  (target: at most 2 ms more)\n",
                ms("bare/40/kept6"), ms("tick/40/kept6"),
                ms("tick/40/kept6") - ms("bare/40/kept6"));
    std::printf("40 rows, with events %7.3f  %8.3f  %8.3f\n", ms("bare/40/kept6"),
                ms("tick+events/40/kept6"), ms("tick+events/40/kept6") - ms("bare/40/kept6"));
    std::printf("100,000, kept first %8.3f  %8.3f  %8.3f\n", ms("bare/100000/kept1"),
                ms("tick/100000/kept1"), ms("tick/100000/kept1") - ms("bare/100000/kept1"));
    std::printf("100,000, kept last  %8.3f  %8.3f  %8.3f\n", ms("bare/100000/keptLast"),
                ms("tick/100000/keptLast"),
                ms("tick/100000/keptLast") - ms("bare/100000/keptLast"));
    auto cpu = [&](const char *name) { return reporter.cpu[name]; };
    std::printf("\nCPU medians (ms)       bare      tick   tick/bare\n");
    for (const char *kind : {"40/kept6", "100000/kept1", "100000/keptLast"}) {
        const std::string bare = std::string("bare/") + kind, tick = std::string("tick/") + kind;
        std::printf("%-18s %8.3f  %8.3f  %8.2f\n", kind, cpu(bare.c_str()), cpu(tick.c_str()),
                    cpu(bare.c_str()) > 0 ? cpu(tick.c_str()) / cpu(bare.c_str()) : 0.0);
    }
    const double grid = ms("repaint/grid");
    const double table = ms("repaint/QTableView");
    if (table > 0)
        std::printf("full repaint: grid %.3f ms, QTableView %.3f ms, ratio %.3f (target: at most "
                    "0.8)\n",
                    grid, table, grid / table);
    TRxDBGrid &grid100k = *large.window.MainGrid;
    std::printf("100,000 rows: one tick paints %d name cells; the grid holds %d record rows, shows "
                "%d, its link's window %d, the set fetched %d records\n",
                NameCellsPerTick(large), grid100k.RowCount() - grid100k.TitleOffset(),
                grid100k.VisibleRowCount(), grid100k.DataLink().BufferCount(),
                large.window.ProceduresList->RecordCount());
    benchmark::Shutdown();
    return 0;
}
