// The panel's grid over the panel's list held in memory, in a window of its own.
#pragma once

#include "dataset/data_source.h"
#include "tests/support/grid_window.h"
#include "tests/support/memory_panel_list.h"
#include "ui/grid/rx_db_grid.h"

#include <QPushButton>
#include <QtTest>

namespace velkor::test {

struct TMemoryGridFixture
{
    explicit TMemoryGridFixture(int rows)
        : panel(owner, rows)
    {
    }

    TComponent owner{nullptr};
    TMemoryPanelList panel;
    TDataSource &source = [this]() -> TDataSource & {
        auto &made = CreateOwned<TDataSource>(owner);
        made.SetDataSet(&panel.list);
        return made;
    }();
    TGridWindow view{source};
    QWidget &window = view.window;
    TRxDBGrid *grid = view.grid;
    QPushButton *other = view.other;
};

// Shows the fixture's window and waits until it is the active one.
inline void ShowActive(TMemoryGridFixture &f)
{
    f.window.show();
    f.window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&f.window));
}

} // namespace velkor::test
