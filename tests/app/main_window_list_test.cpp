// The procedure list of the main window: the refresh tick and Refresh List against a throwaway
// database, with another session stopping processes underneath.
#include "app/main_velkorcontrol_window.h"
#include "dataset/data_source.h"
#include "dataset/numeric_fields.h"
#include "db/connection/ib_database.h"
#include "db/connection/ib_transaction.h"
#include "db/dataset/ib_dataset.h"
#include "db/dataset/ib_fields.h"
#include "db/dataset/ib_stored_proc.h"
#include "tests/support/raw_sql.h"
#include "tests/support/recording_link.h"
#include "tests/support/test_database.h"
#include "ui/grid/rx_db_grid.h"

#include <QTimer>
#include <QtTest>

namespace velkor {

class MainWindowListTest : public QObject
{
    Q_OBJECT

    // Stops processes from a session of its own, as another operator would.
    static void StopElsewhere(const std::string &path, const std::string &where)
    {
        test::ExecuteElsewhere(
            path, "UPDATE VELKOR_PROCESS SET STOPPED_AT = CURRENT_TIMESTAMP WHERE " + where);
    }

private slots:
    void ticks_before_connect_do_nothing()
    {
        TMainVelkorcontrolWindow window;
        QCOMPARE(window.RefreshTimer->interval(), 2000);
        QVERIFY(window.RefreshTimer->isActive());
        window.RefreshTimerTimer();
        QVERIFY(!window.ProceduresList->Active());
        QCOMPARE(window.ProceduresListPROC_ID->AsInteger(), 0);
    }

    void the_list_is_set_up_as_the_window_describes_it()
    {
        TMainVelkorcontrolWindow window;
        TIBDataSet &list = *window.ProceduresList;
        QCOMPARE(QString::fromStdString(list.SelectSQL().Text()),
                 QStringLiteral("SELECT * FROM SL_PROC_STATE\n"));
        QCOMPARE(list.BufferChunks(), 32);
        QCOMPARE(list.FieldCount(), 5);
        const char *labels[] = {"ProcID", "Procedure name", "Priority", "Age, ms", "Age, days"};
        const int widths[] = {12, 73, 12, 12, 12};
        for (int i = 0; i < 5; ++i) {
            QCOMPARE(QString::fromStdString(list.Fields(i).DisplayName()),
                     QString::fromLatin1(labels[i]));
            QCOMPARE(list.Fields(i).DisplayWidth(), widths[i]);
            QVERIFY(list.Fields(i).ReadOnly());
        }
        QCOMPARE(window.ProceduresListPROC_NAME->Size(), 100);
        QCOMPARE(window.ProceduresListSource->DataSet(), &list);
    }

    void the_chosen_row_is_kept_across_ticks_until_it_goes()
    {
        test::TTestDatabase file;
        test::TScriptedLogin login("SYSDBA", "");
        TMainVelkorcontrolWindow window;
        test::TRecordingLink grid;
        grid.SetBufferCount(20);
        grid.SetDataSource(window.ProceduresListSource);
        window.ConnectDatabase(QString::fromStdString(file.Path()));
        QVERIFY2(!window.ProceduresList->Active(), "the list fills at the first tick");

        window.RefreshTimerTimer();
        QVERIFY(window.ProceduresList->Active());
        QCOMPARE(window.ProceduresListPROC_ID->AsInteger(), 1);
        QCOMPARE(window.ProceduresList->RecordCount(), 40); // looking for 0 read every row

        window.ProceduresList->MoveBy(24);
        QCOMPARE(window.ProceduresListPROC_ID->AsInteger(), 25);
        window.RefreshTimerTimer();
        QCOMPARE(window.ProceduresListPROC_ID->AsInteger(), 25);
        QCOMPARE(grid.ActiveRecord(), 19);

        StopElsewhere(file.Path(), "PROC_ID < 10");
        window.RefreshTimerTimer();
        QCOMPARE(window.ProceduresListPROC_ID->AsInteger(), 25);
        QCOMPARE(window.ProceduresList->RecNo(), 16);

        StopElsewhere(file.Path(), "PROC_ID = 25");
        window.RefreshTimerTimer();
        QCOMPARE(window.ProceduresListPROC_ID->AsInteger(), 10); // the first row
        QCOMPARE(window.ProceduresList->RecNo(), 1);

        window.Button1Click();
        QCOMPARE(window.ProceduresListPROC_ID->AsInteger(), 10);
        window.Button6Click();
        QVERIFY(!window.ProceduresList->Active());
        QVERIFY(!grid.Active());
        window.RefreshTimerTimer();
        QVERIFY(!window.ProceduresList->Active());
    }

    void stop_sends_the_current_rows_identifier()
    {
        test::TTestDatabase file;
        test::TScriptedLogin login("SYSDBA", "");
        TMainVelkorcontrolWindow window;
        window.ConnectDatabase(QString::fromStdString(file.Path()));
        window.Button2Click();
        QCOMPARE(window.StopProcedure->ParamNamed("PROC_ID").IntegerValue(), 0); // closed list
        QCOMPARE(window.StopProcedure->ParamNamed("RESULT").IntegerValue(), 0);

        window.RefreshTimerTimer();
        window.ProceduresList->MoveBy(2);
        window.Button2Click();
        QCOMPARE(window.StopProcedure->ParamNamed("PROC_ID").IntegerValue(), 3);
        QCOMPARE(window.StopProcedure->ParamNamed("RESULT").IntegerValue(), 1);
        QCOMPARE(window.ProceduresListPROC_ID->AsInteger(), 3); // not refreshed here
        window.RefreshTimerTimer();
        QCOMPARE(window.ProceduresListPROC_ID->AsInteger(), 1); // the stopped row is gone
        QVERIFY(!window.ProceduresList->Locate("PROC_ID", TVariant(3), {}));
    }

    void the_grid_shows_the_list_and_a_clicked_row_stays_across_ticks()
    {
        test::TTestDatabase file;
        test::TScriptedLogin login("SYSDBA", "");
        TMainVelkorcontrolWindow window;
        window.show();
        TRxDBGrid &grid = *window.MainGrid;
        QCOMPARE(grid.DataSource(), window.ProceduresListSource);
        QCOMPARE(grid.Columns().Count(), 5);
        QCOMPARE(grid.Columns()[1].Width(), 315);
        QCOMPARE(grid.TitleFont(), window.font());
        QCOMPARE(grid.RowCount(), 2);
        window.ConnectDatabase(QString::fromStdString(file.Path()));
        window.RefreshTimerTimer();
        QCOMPARE(grid.RowCount(), grid.VisibleRowCount() + 1);
        QCOMPARE(grid.DataLink().BufferCount(), grid.VisibleRowCount());

        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, grid.CellRect(2, 4).center());
        QCOMPARE(window.ProceduresListPROC_ID->AsInteger(), 4);
        window.RefreshTimerTimer();
        QCOMPARE(window.ProceduresListPROC_ID->AsInteger(), 4);
        QCOMPARE(grid.Row(), 4);

        // Farther down the window has to slide; the tick finds the row again.
        QTest::keyClick(&grid, Qt::Key_PageDown);
        QTest::keyClick(&grid, Qt::Key_PageDown);
        const int kept = window.ProceduresListPROC_ID->AsInteger();
        QVERIFY(kept > grid.VisibleRowCount());
        window.RefreshTimerTimer();
        QCOMPARE(window.ProceduresListPROC_ID->AsInteger(), kept);
        QCOMPARE(grid.Row(), 1 + grid.DataLink().ActiveRecord());

        // The operator's column width lasts until the window closes.
        grid.Columns()[1].SetWidth(200);
        window.RefreshTimerTimer();
        QCOMPARE(grid.ColWidths(2), 200);

        window.Button6Click();
        QCOMPARE(grid.RowCount(), 2);
        QCOMPARE(grid.ColWidths(2), 200);
    }

    void the_timer_refreshes_the_list_by_itself()
    {
        test::TTestDatabase file;
        test::TScriptedLogin login("SYSDBA", "");
        TMainVelkorcontrolWindow window;
        window.RefreshTimer->setInterval(50);
        window.ConnectDatabase(QString::fromStdString(file.Path()));
        QTRY_VERIFY_WITH_TIMEOUT(window.ProceduresList->Active(), 5000);
        QCOMPARE(window.ProceduresListPROC_ID->AsInteger(), 1);
    }
};

} // namespace velkor

QTEST_MAIN(velkor::MainWindowListTest)
#include "main_window_list_test.moc"
