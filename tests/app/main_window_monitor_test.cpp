// The real panel on a live server with the demo's monitor installed: it lists another
// program's connection, keeps a priority for it and stops it, all through its own buttons.
#include "app/main_velkorcontrol_window.h"
#include "app/select_priority_window.h"
#include "dataset/numeric_fields.h"
#include "db/connection/ib_database.h"
#include "db/dataset/ib_custom_dataset.h"
#include "db/dataset/ib_dataset.h"
#include "db/dataset/ib_fields.h"
#include "db/dataset/ib_stored_proc.h"
#include "tests/support/client_attachment.h"
#include "tests/support/error_box_recorder.h"
#include "tests/support/error_text.h"
#include "tests/support/raw_sql.h"
#include "tests/support/server_database.h"
#include "ui/grid/rx_db_grid.h"
#include "ui/spin/rx_spin_edit.h"

#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

namespace velkor {

class MainWindowMonitorTest : public QObject
{
    Q_OBJECT

    static QString Name(TMainVelkorcontrolWindow &window)
    {
        return QString::fromStdString(window.ProceduresListPROC_NAME->AsString());
    }

private slots:
    void the_panel_lists_another_connection_keeps_its_priority_and_stops_it()
    {
        if (!test::TTestServer::Available())
            QSKIP("no test server: run ./test.sh");
        test::TServerDatabase server;
        std::string output;
        QCOMPARE(test::RunDemoScript("install-monitor.sh", server.Remote(), output), 0);
        const std::string user = test::TTestServer::UserName();
        const std::string password = test::TTestServer::Password();
        test::TClientAttachment other(server.Remote(), user, password);
        test::TClientAttachment stays(server.Remote(), user, password);

        test::TErrorBoxRecorder errors;
        test::TScriptedLogin login(user, password);
        TMainVelkorcontrolWindow window;
        window.RefreshTimer->setInterval(50);
        window.show();
        window.ConnectDatabase(QString::fromStdString(server.Remote()));
        QTRY_VERIFY_WITH_TIMEOUT(window.ProceduresList->Active(), 5000);
        QCOMPARE(window.ProceduresList->RecordCount(), 3);

        // The rows come in the order the connections were made: the panel's own is last.
        TRxDBGrid &grid = *window.MainGrid;
        QCOMPARE(grid.RowCount(), 1 + 3); // the title row and the three connections
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, grid.CellRect(2, 3).center());
        QVERIFY2(Name(window).startsWith(QStringLiteral("(this connection) SYSDBA@")),
                 qPrintable(Name(window)));
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, grid.CellRect(2, 1).center());
        QCOMPARE(window.ProceduresListPROC_ID->AsInteger(), other.Id());
        QVERIFY2(Name(window).startsWith(QStringLiteral("SYSDBA@127.0.0.1/")),
                 qPrintable(Name(window)));
        QVERIFY(window.ProceduresListPROC_AGE_MS->AsInteger() >= 0);
        QCOMPARE(window.ProceduresListPROC_AGE_DAYS->AsInteger(), 0);

        // Set Priority: the dialog offers 0, the list shows what was chosen.
        QString offered;
        QTimer::singleShot(0, [&offered] {
            auto *dialog = qobject_cast<TSelectPriorityWindow *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            offered = dialog->PriorityValue->text();
            dialog->PriorityValue->SetIntegerValue(4);
            dialog->Button2->click();
        });
        QTest::mouseClick(window.Button3, Qt::LeftButton);
        QCOMPARE(offered, QStringLiteral("0"));
        QCOMPARE(window.SetPriorityProcedure->ParamNamed("RESULT").IntegerValue(), 1);
        QVERIFY(
            window.ProceduresList->Locate("PROC_ID", TVariant(static_cast<int>(other.Id())), {}));
        QCOMPARE(window.ProceduresListPROC_PRIORITY->AsInteger(), 4);

        // Stop: the chosen connection ends at once, the other stays, the row goes at a tick.
        QTest::mouseClick(window.Button2, Qt::LeftButton);
        QCOMPARE(window.StopProcedure->ParamNamed("PROC_ID").IntegerValue(), other.Id());
        QCOMPARE(window.StopProcedure->ParamNamed("RESULT").IntegerValue(), 1);
        const std::string stopped =
            test::ErrorText([&] { (void)other.QueryInteger("SELECT 1 FROM RDB$DATABASE"); });
        QVERIFY2(stopped.find("connection shutdown") != std::string::npos, stopped.c_str());
        QCOMPARE(stays.QueryInteger("SELECT 2 FROM RDB$DATABASE"), 2L);
        QTRY_COMPARE_WITH_TIMEOUT(window.ProceduresList->RecordCount(), 2, 5000);
        QVERIFY(
            !window.ProceduresList->Locate("PROC_ID", TVariant(static_cast<int>(other.Id())), {}));

        // Its own row cannot be stopped: the panel carries on.
        QVERIFY(
            window.ProceduresList->Locate("PROC_ID", TVariant(static_cast<int>(stays.Id())), {}));
        window.ProceduresList->Next();
        QVERIFY(Name(window).startsWith(QStringLiteral("(this connection)")));
        QTest::mouseClick(window.Button2, Qt::LeftButton);
        QCOMPARE(window.StopProcedure->ParamNamed("RESULT").IntegerValue(), 0);
        QTest::mouseClick(window.Button1, Qt::LeftButton);
        QCOMPARE(window.ProceduresList->RecordCount(), 2);
        QVERIFY2(errors.texts.isEmpty(), qPrintable(errors.texts.join(QStringLiteral("\n"))));

        QTest::mouseClick(window.Button6, Qt::LeftButton);
        QVERIFY(!window.MainDatabase->Connected());
    }
};

} // namespace velkor

QTEST_MAIN(velkor::MainWindowMonitorTest)
#include "main_window_monitor_test.moc"
