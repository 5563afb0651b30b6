// The operator's whole road through the real main window, its real dialogs answered as an
// operator would: Connect, the list, a row chosen with the keyboard, Stop, Set Priority, Refresh
// List, About while the list ticks, Disconnect, Connect again, close. Once through the embedded
// engine and once through the private server, with another session changing the processes
// underneath; what the server received is asked of that other session.
#include "app/ib_login_dialog.h"
#include "app/main_velkorcontrol_window.h"
#include "app/platform_bindings.h"
#include "app/select_priority_window.h"
#include "dataset/numeric_fields.h"
#include "db/connection/ib_database.h"
#include "db/connection/ib_transaction.h"
#include "db/dataset/ib_custom_dataset.h"
#include "tests/support/grid_text.h"
#include "tests/support/modal_script.h"
#include "tests/support/other_session.h"
#include "tests/support/temporary_registry.h"
#include "tests/support/test_database.h"
#include "ui/grid/rx_db_grid.h"
#include "ui/spin/rx_spin_edit.h"

#include "app/login_dialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

#include <memory>

namespace velkor {

namespace {

constexpr int kTickMs = 200;

struct TTarget
{
    QString path;     // as the operator types it
    QString password; // what the login dialog is given
};

bool DataButtonsEnabled(const TMainVelkorcontrolWindow &window)
{
    return window.Button6->isEnabled() && window.Button1->isEnabled() &&
           window.Button2->isEnabled() && window.Button3->isEnabled();
}

bool DataButtonsDisabled(const TMainVelkorcontrolWindow &window)
{
    return !window.Button6->isEnabled() && !window.Button1->isEnabled() &&
           !window.Button2->isEnabled() && !window.Button3->isEnabled();
}

// The grid rows' identifiers as the operator reads them.
QStringList ShownIds(TRxDBGrid &grid)
{
    QStringList ids;
    for (int row = 1; row <= test::GridFilledRows(grid); ++row)
        ids << test::GridText(grid, 0, row);
    return ids;
}

} // namespace

class RoadTest : public QObject
{
    Q_OBJECT

    // Waits for `count` more ticks of the window's timer.
    static bool WaitTicks(TMainVelkorcontrolWindow &window, int count)
    {
        QSignalSpy ticks(window.RefreshTimer, &QTimer::timeout);
        return QTest::qWaitFor([&] { return ticks.count() >= count; }, 20 * kTickMs * count);
    }

    // Connect through both dialogs; checks what each offers before answering it.
    static void ConnectThroughDialogs(TMainVelkorcontrolWindow &window, test::TModalScript &script,
                                      const TTarget &target, const QString &offeredPath,
                                      const QString &offeredUser)
    {
        QString shownPath, shownDatabase, shownUser, shownPassword;
        script.Expect(QStringLiteral("Interbase Login"), [&](QWidget &w) {
            auto &dialog = static_cast<TIBLoginDialog &>(w);
            shownPath = dialog.DatabasePathEdit->text();
            test::TypeInto(dialog.DatabasePathEdit, target.path);
            test::Click(dialog.Button1);
        });
        script.Expect(QStringLiteral("Database Login"), [&](QWidget &w) {
            auto &dialog = static_cast<TLoginDialog &>(w);
            shownDatabase = dialog.DatabaseName->text();
            shownUser = dialog.UserName->text();
            shownPassword = dialog.Password->text();
            if (dialog.UserName->text().isEmpty())
                test::TypeInto(dialog.UserName, QStringLiteral("SYSDBA"));
            test::TypeInto(dialog.Password, target.password);
            test::Click(dialog.OKButton);
        });
        test::Click(window.Button5);
        QVERIFY(script.Done());
        QCOMPARE(shownPath, offeredPath);
        QCOMPARE(shownDatabase, target.path);
        QCOMPARE(shownUser, offeredUser);
        QCOMPARE(shownPassword, QString()); // the password is never kept
    }

private slots:
    void the_operators_road_data()
    {
        QTest::addColumn<bool>("server");
        QTest::newRow("embedded") << false;
        QTest::newRow("server") << true;
    }

    void the_operators_road()
    {
        QFETCH(bool, server);
        const QByteArray port = qgetenv("VELKOR_TEST_SERVER_PORT");
        if (server && port.isEmpty())
            QSKIP("no test server: run ./test.sh");
        TemporaryConfigHome home;
        InstallPlatformHooks();
        test::TTestDatabase file;
        const TTarget target{
            server ? QStringLiteral("localhost/%1:%2")
                         .arg(QString::fromUtf8(port), QString::fromStdString(file.Path()))
                   : QString::fromStdString(file.Path()),
            server ? QString::fromUtf8(qgetenv("VELKOR_TEST_SERVER_PASSWORD")) : QString()};
        test::TOtherSession other(target.path.toStdString(), "SYSDBA",
                                  target.password.toStdString());
        auto stoppedAt = [&](int id) {
            return other.Query("SELECT COUNT(*) FROM VELKOR_PROCESS WHERE STOPPED_AT IS NOT NULL "
                               "AND PROC_ID = " +
                               std::to_string(id));
        };

        test::TModalScript script;
        auto owned = std::make_unique<TMainVelkorcontrolWindow>();
        TMainVelkorcontrolWindow &window = *owned;
        window.RefreshTimer->setInterval(kTickMs);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        TRxDBGrid &grid = *window.MainGrid;

        // Connect: the dialog offers its design-time text on a first run.
        ConnectThroughDialogs(window, script, target,
                              QStringLiteral("IB_SERVER:/PATH/DATABASE.GDB"), QString());
        QVERIFY(window.MainDatabase->Connected());
        QVERIFY(DataButtonsEnabled(window));
        QCOMPARE(other.OtherAttachments(), 1L);
        QVERIFY(WaitTicks(window, 1));
        QTRY_COMPARE(test::GridText(grid, 0, 1), QStringLiteral("1"));
        QCOMPARE(test::GridFilledRows(grid), grid.VisibleRowCount());

        // A row chosen with the keyboard stays chosen while the list ticks and changes.
        grid.setFocus();
        for (int i = 0; i < 3; ++i)
            QTest::keyClick(&grid, Qt::Key_Down);
        QCOMPARE(grid.Row(), 4);
        QCOMPARE(test::GridText(grid, 0, grid.Row()), QStringLiteral("4"));
        QVERIFY(WaitTicks(window, 3));
        QCOMPARE(test::GridText(grid, 0, grid.Row()), QStringLiteral("4"));
        other.Execute("UPDATE VELKOR_PROCESS SET STOPPED_AT = CURRENT_TIMESTAMP "
                      "WHERE PROC_ID IN (1, 2)");
        QVERIFY(WaitTicks(window, 2));
        QCOMPARE(test::GridText(grid, 0, 1), QStringLiteral("3"));
        QCOMPARE(grid.Row(), 2);
        QCOMPARE(test::GridText(grid, 0, grid.Row()), QStringLiteral("4"));

        // Stop: the server stops the chosen process; the next tick takes it off the list.
        test::Click(window.Button2);
        QCOMPARE(stoppedAt(4), 1L);
        QCOMPARE(stoppedAt(5), 0L);
        QVERIFY(WaitTicks(window, 2));
        QVERIFY(!ShownIds(grid).contains(QStringLiteral("4")));
        QCOMPARE(test::GridText(grid, 0, grid.Row()), QStringLiteral("3"));

        // Set Priority on the row below: the dialog offers its priority, the server gets the
        // value typed, and the list shows it.
        QTest::keyClick(&grid, Qt::Key_Down);
        QCOMPARE(test::GridText(grid, 0, grid.Row()), QStringLiteral("5"));
        const long was = other.Query("SELECT PROC_PRIORITY FROM VELKOR_PROCESS WHERE PROC_ID = 5");
        const long sum = other.Query("SELECT SUM(PROC_PRIORITY) FROM VELKOR_PROCESS") - was + 7;
        QString offered;
        script.Expect(QStringLiteral("Select priority"), [&](QWidget &w) {
            auto &dialog = static_cast<TSelectPriorityWindow &>(w);
            offered = dialog.PriorityValue->text();
            test::TypeInto(dialog.PriorityValue, QStringLiteral("7"));
            test::Click(dialog.Button2);
        });
        test::Click(window.Button3);
        QVERIFY(script.Done());
        QCOMPARE(offered, QString::number(was));
        QCOMPARE(other.Query("SELECT PROC_PRIORITY FROM VELKOR_PROCESS WHERE PROC_ID = 5"), 7L);
        QCOMPARE(other.Query("SELECT SUM(PROC_PRIORITY) FROM VELKOR_PROCESS"), sum);
        const int row5 = static_cast<int>(ShownIds(grid).indexOf(QStringLiteral("5"))) + 1;
        QVERIFY(row5 > 0);
        QCOMPARE(test::GridText(grid, 2, row5), QStringLiteral("7"));

        // Cancel changes nothing on the server.
        script.Expect(QStringLiteral("Select priority"), [&](QWidget &w) {
            auto &dialog = static_cast<TSelectPriorityWindow &>(w);
            test::TypeInto(dialog.PriorityValue, QStringLiteral("9"));
            test::Click(dialog.Button1);
        });
        test::Click(window.Button3);
        QVERIFY(script.Done());
        QCOMPARE(other.Query("SELECT SUM(PROC_PRIORITY) FROM VELKOR_PROCESS"), sum);

        // Refresh List shows a process started elsewhere at once.
        window.RefreshTimer->stop();
        other.Execute("UPDATE VELKOR_PROCESS SET STOPPED_AT = CURRENT_TIMESTAMP "
                      "WHERE PROC_ID = 3");
        QCOMPARE(test::GridText(grid, 0, 1), QStringLiteral("3"));
        test::Click(window.Button1);
        QCOMPARE(test::GridText(grid, 0, 1), QStringLiteral("5"));
        window.RefreshTimer->start();

        // About while the list goes on ticking behind it.
        int ticksUnderAbout = 0;
        script.Expect(QStringLiteral("About"), [&](QWidget &w) {
            QSignalSpy ticks(window.RefreshTimer, &QTimer::timeout);
            other.Execute("UPDATE VELKOR_PROCESS SET STOPPED_AT = CURRENT_TIMESTAMP "
                          "WHERE PROC_ID = 5");
            (void)QTest::qWaitFor([&] { return ticks.count() >= 2; }, 40 * kTickMs);
            ticksUnderAbout = static_cast<int>(ticks.count());
            test::Click(w.findChild<QPushButton *>(QStringLiteral("Button1")));
        });
        test::Click(window.Button4);
        QVERIFY(script.Done());
        QVERIFY(ticksUnderAbout >= 2);
        QCOMPARE(test::GridText(grid, 0, 1), QStringLiteral("6"));

        // Disconnect: the panel leaves the server, the grid empties, ticks do nothing.
        test::Click(window.Button6);
        QVERIFY(!window.MainDatabase->Connected());
        QVERIFY(DataButtonsDisabled(window));
        QCOMPARE(test::GridFilledRows(grid), 0);
        QCOMPARE(other.OtherAttachments(), 0L);
        QVERIFY(WaitTicks(window, 2));
        QCOMPARE(test::GridFilledRows(grid), 0);

        // Connect again: the path and the user name are offered, the password is asked for.
        ConnectThroughDialogs(window, script, target, target.path, QStringLiteral("SYSDBA"));
        QVERIFY(DataButtonsEnabled(window));
        QVERIFY(WaitTicks(window, 1));
        QTRY_COMPARE(test::GridText(grid, 0, 1), QStringLiteral("6"));
        QCOMPARE(other.OtherAttachments(), 1L);

        // Closing the window, as the close box ends the program, leaves the server too.
        window.close();
        owned.reset();
        QCOMPARE(other.OtherAttachments(), 0L);

        QCOMPARE(script.boxes, QStringList());
        QCOMPARE(script.unexpected, QStringList());
    }
};

} // namespace velkor

QTEST_MAIN(velkor::RoadTest)
#include "road_test.moc"
