// A list of 100,000 processes through the real main window: a tick fetches only the rows the grid
// shows while the chosen row is near the top, and finds the last row again when that is chosen.
#include "app/main_velkorcontrol_window.h"
#include "dataset/numeric_fields.h"
#include "db/dataset/ib_custom_dataset.h"
#include "db/dataset/ib_dataset.h"
#include "tests/support/client_call_counter.h"
#include "tests/support/grid_text.h"
#include "tests/support/modal_script.h"
#include "tests/support/raw_sql.h"
#include "tests/support/test_database.h"
#include "ui/grid/grid_data_link.h"
#include "ui/grid/rx_db_grid.h"

#include <QtTest>

#include <string>

namespace velkor {

namespace {
constexpr int kRows = 100000;
}

class LongListTest : public QObject
{
    Q_OBJECT

    test::TTestDatabase *file_ = nullptr;

private slots:
    void initTestCase()
    {
        file_ = new test::TTestDatabase(test::TTestDatabase::TContent::empty);
        test::TScriptedLogin login("SYSDBA", "");
        test::ExecuteElsewhere(
            file_->Path(),
            "EXECUTE BLOCK AS DECLARE I INTEGER = 1; BEGIN WHILE (I <= " + std::to_string(kRows) +
                ") DO BEGIN INSERT INTO VELKOR_PROCESS (PROC_ID, PROC_NAME) VALUES (:I, "
                "'process ' || :I); I = I + 1; END END");
    }
    void cleanupTestCase() { delete file_; }

    void a_tick_fetches_what_the_grid_shows_and_finds_the_last_row_again()
    {
        test::TScriptedLogin login("SYSDBA", "");
        TMainVelkorcontrolWindow window;
        window.RefreshTimer->stop(); // the ticks are counted one by one here
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.ConnectDatabase(QString::fromStdString(file_->Path()));
        TRxDBGrid &grid = *window.MainGrid;
        const int shown = grid.VisibleRowCount();

        // The first tick looks for the "0" of the closed list, which reads every row once (and
        // the column descriptions of the first open).
        {
            test::TClientCallCounter calls;
            window.RefreshTimerTimer();
            QVERIFY(calls.fetch > kRows);
            QCOMPARE(window.ProceduresList->RecordCount(), kRows);
        }
        QCOMPARE(test::GridText(grid, 0, 1), QStringLiteral("1"));
        QCOMPARE(test::GridText(grid, 0, shown), QString::number(shown));

        // The first row chosen: a tick fetches the grid's rows and one more at most.
        for (int tick = 0; tick < 2; ++tick) {
            test::TClientCallCounter calls;
            window.RefreshTimerTimer();
            QVERIFY2(calls.fetch <= grid.DataLink().BufferCount() + 1,
                     qPrintable(QString::number(calls.fetch)));
            QCOMPARE(calls.prepare, 0);
            QCOMPARE(grid.Row(), 1);
            QCOMPARE(test::GridText(grid, 1, shown), QStringLiteral("process %1").arg(shown));
        }

        // The last row chosen with the keyboard: found again at every tick, shown at the bottom.
        grid.setFocus();
        QTest::keyClick(&grid, Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(test::GridText(grid, 0, grid.Row()), QString::number(kRows));
        QCOMPARE(grid.Row(), shown);
        for (int tick = 0; tick < 2; ++tick) {
            test::TClientCallCounter calls;
            window.RefreshTimerTimer();
            QCOMPARE(calls.fetch, kRows); // found on the last row, before the end is asked for
            QCOMPARE(window.ProceduresList->RecordCount(), kRows);
            QCOMPARE(test::GridText(grid, 0, grid.Row()), QString::number(kRows));
            QCOMPARE(test::GridText(grid, 0, 1), QString::number(kRows - shown + 1));
        }

        // Back to the top, the tick is cheap again.
        QTest::keyClick(&grid, Qt::Key_Home, Qt::ControlModifier);
        test::TClientCallCounter calls;
        window.RefreshTimerTimer();
        QVERIFY(calls.fetch <= grid.DataLink().BufferCount() + 1);
        QCOMPARE(test::GridText(grid, 0, grid.Row()), QStringLiteral("1"));
    }
};

} // namespace velkor

QTEST_MAIN(velkor::LongListTest)
#include "long_list_test.moc"
