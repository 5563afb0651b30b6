#pragma once

// The real main window connected to a database made for the run, its timer stopped so that only
// the caller ticks: what tick_bench times and tick_profile runs under a profiler.
#include "app/main_velkorcontrol_window.h"
#include "bench/bare_refresh.h"
#include "bench/fill_processes.h"
#include "dataset/numeric_fields.h"
#include "db/connection/ib_database.h"
#include "db/connection/ib_transaction.h"
#include "db/dataset/ib_custom_dataset.h"
#include "db/dataset/ib_dataset.h"
#include "tests/support/raw_sql.h"
#include "tests/support/test_database.h"
#include "ui/grid/rx_db_grid.h"
#include "ui/text_codec.h"

#include <QCoreApplication>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <cstdint>
#include <cstdio>
#include <memory>

namespace velkor::bench {

// repaint() paints only a window the platform has exposed.
inline void ShowExposed(QWidget &window)
{
    window.show();
    for (int i = 0; i < 1000 && !(window.windowHandle() && window.windowHandle()->isExposed()); ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    if (!window.windowHandle() || !window.windowHandle()->isExposed())
        std::fprintf(stderr, "the window was never exposed; repaints do nothing\n");
    QCoreApplication::processEvents();
}

// A database of `rows` processes, every other one with a Cyrillic name.
inline std::unique_ptr<test::TTestDatabase> MakeDatabase(int rows)
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
    FillProcesses(database, transaction, rows, DatabaseBytes(QStringLiteral("Процесс ")));
    transaction.Commit();
    database.SetConnected(false);
    return file;
}

// One tick is RefreshTimerTimer and the repaint of the grid it asked for, forced with repaint().
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
        bare = std::make_unique<TBareRefresh>(*window.MainDatabase, *window.MainTransaction,
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
    std::unique_ptr<TBareRefresh> bare;
};

} // namespace velkor::bench
