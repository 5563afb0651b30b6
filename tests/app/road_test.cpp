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

#include <array>
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

// The road's steps, in the order the operator takes them, over one window and one other session.
class TRoad
{
public:
    explicit TRoad(const TTarget &target)
        : target_(target)
        , other_(target.path.toStdString(), "SYSDBA", target.password.toStdString())
    {
        window_.RefreshTimer->setInterval(kTickMs);
    }

    // The steps of the road, in order; each returns at its first failed check.
    using TStep = void (TRoad::*)();
    [[nodiscard]] static auto Steps()
    {
        return std::to_array<TStep>(
            {&TRoad::Connect, &TRoad::ChooseRowWhileTicking, &TRoad::StopTheChosenProcess,
             &TRoad::SetPriority, &TRoad::CancelPriority, &TRoad::RefreshList,
             &TRoad::AboutWhileTicking, &TRoad::Disconnect, &TRoad::ConnectAgain, &TRoad::Close});
    }

private:
    // Waits for `count` more ticks of the window's timer.
    [[nodiscard]] bool WaitTicks(int count)
    {
        QSignalSpy ticks(window_.RefreshTimer, &QTimer::timeout);
        return QTest::qWaitFor([&] { return ticks.count() >= count; }, 20 * kTickMs * count);
    }

    [[nodiscard]] long StoppedAt(int id)
    {
        return other_.Query("SELECT COUNT(*) FROM VELKOR_PROCESS WHERE STOPPED_AT IS NOT NULL "
                            "AND PROC_ID = " +
                            std::to_string(id));
    }

    // Connect through both dialogs; checks what each offers before answering it.
    void ConnectThroughDialogs(const QString &offeredPath, const QString &offeredUser)
    {
        QString shownPath, shownDatabase, shownUser, shownPassword;
        script_.Expect(QStringLiteral("Interbase Login"), [&](QWidget &w) {
            auto &dialog = static_cast<TIBLoginDialog &>(w);
            shownPath = dialog.DatabasePathEdit->text();
            test::TypeInto(dialog.DatabasePathEdit, target_.path);
            test::Click(dialog.Button1);
        });
        script_.Expect(QStringLiteral("Database Login"), [&](QWidget &w) {
            auto &dialog = static_cast<TLoginDialog &>(w);
            shownDatabase = dialog.DatabaseName->text();
            shownUser = dialog.UserName->text();
            shownPassword = dialog.Password->text();
            if (dialog.UserName->text().isEmpty())
                test::TypeInto(dialog.UserName, QStringLiteral("SYSDBA"));
            test::TypeInto(dialog.Password, target_.password);
            test::Click(dialog.OKButton);
        });
        test::Click(window_.Button5);
        QVERIFY(script_.Done());
        QCOMPARE(shownPath, offeredPath);
        QCOMPARE(shownDatabase, target_.path);
        QCOMPARE(shownUser, offeredUser);
        QCOMPARE(shownPassword, QString()); // the password is never kept
    }

    // Connect: the dialog offers its design-time text on a first run.
    void Connect()
    {
        window_.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window_));
        ConnectThroughDialogs(QStringLiteral("IB_SERVER:/PATH/DATABASE.GDB"), QString());
        if (QTest::currentTestFailed())
            return;
        QVERIFY(window_.MainDatabase->Connected());
        QVERIFY(DataButtonsEnabled(window_));
        QCOMPARE(other_.OtherAttachments(), 1L);
        QVERIFY(WaitTicks(1));
        QTRY_COMPARE(test::GridText(grid_, 0, 1), QStringLiteral("1"));
        QCOMPARE(test::GridFilledRows(grid_), grid_.VisibleRowCount());
    }

    // A row chosen with the keyboard stays chosen while the list ticks and changes.
    void ChooseRowWhileTicking()
    {
        grid_.setFocus();
        for (int i = 0; i < 3; ++i)
            QTest::keyClick(&grid_, Qt::Key_Down);
        QCOMPARE(grid_.Row(), 4);
        QCOMPARE(test::GridText(grid_, 0, grid_.Row()), QStringLiteral("4"));
        QVERIFY(WaitTicks(3));
        QCOMPARE(test::GridText(grid_, 0, grid_.Row()), QStringLiteral("4"));
        other_.Execute("UPDATE VELKOR_PROCESS SET STOPPED_AT = CURRENT_TIMESTAMP "
                       "WHERE PROC_ID IN (1, 2)");
        QVERIFY(WaitTicks(2));
        QCOMPARE(test::GridText(grid_, 0, 1), QStringLiteral("3"));
        QCOMPARE(grid_.Row(), 2);
        QCOMPARE(test::GridText(grid_, 0, grid_.Row()), QStringLiteral("4"));
    }

    // Stop: the server stops the chosen process; the next tick takes it off the list.
    void StopTheChosenProcess()
    {
        test::Click(window_.Button2);
        QCOMPARE(StoppedAt(4), 1L);
        QCOMPARE(StoppedAt(5), 0L);
        QVERIFY(WaitTicks(2));
        QVERIFY(!ShownIds(grid_).contains(QStringLiteral("4")));
        QCOMPARE(test::GridText(grid_, 0, grid_.Row()), QStringLiteral("3"));
    }

    // Set Priority on the row below: the dialog offers its priority, the server gets the
    // value typed, and the list shows it.
    void SetPriority()
    {
        QTest::keyClick(&grid_, Qt::Key_Down);
        QCOMPARE(test::GridText(grid_, 0, grid_.Row()), QStringLiteral("5"));
        const long was = other_.Query("SELECT PROC_PRIORITY FROM VELKOR_PROCESS WHERE PROC_ID = 5");
        sum_ = other_.Query("SELECT SUM(PROC_PRIORITY) FROM VELKOR_PROCESS") - was + 7;
        QString offered;
        script_.Expect(QStringLiteral("Select priority"), [&](QWidget &w) {
            auto &dialog = static_cast<TSelectPriorityWindow &>(w);
            offered = dialog.PriorityValue->text();
            test::TypeInto(dialog.PriorityValue, QStringLiteral("7"));
            test::Click(dialog.Button2);
        });
        test::Click(window_.Button3);
        QVERIFY(script_.Done());
        QCOMPARE(offered, QString::number(was));
        QCOMPARE(other_.Query("SELECT PROC_PRIORITY FROM VELKOR_PROCESS WHERE PROC_ID = 5"), 7L);
        QCOMPARE(other_.Query("SELECT SUM(PROC_PRIORITY) FROM VELKOR_PROCESS"), sum_);
        const int row5 = static_cast<int>(ShownIds(grid_).indexOf(QStringLiteral("5"))) + 1;
        QVERIFY(row5 > 0);
        QCOMPARE(test::GridText(grid_, 2, row5), QStringLiteral("7"));
    }

    // Cancel changes nothing on the server.
    void CancelPriority()
    {
        script_.Expect(QStringLiteral("Select priority"), [&](QWidget &w) {
            auto &dialog = static_cast<TSelectPriorityWindow &>(w);
            test::TypeInto(dialog.PriorityValue, QStringLiteral("9"));
            test::Click(dialog.Button1);
        });
        test::Click(window_.Button3);
        QVERIFY(script_.Done());
        QCOMPARE(other_.Query("SELECT SUM(PROC_PRIORITY) FROM VELKOR_PROCESS"), sum_);
    }

    // Refresh List shows a process started elsewhere at once.
    void RefreshList()
    {
        window_.RefreshTimer->stop();
        other_.Execute("UPDATE VELKOR_PROCESS SET STOPPED_AT = CURRENT_TIMESTAMP "
                       "WHERE PROC_ID = 3");
        QCOMPARE(test::GridText(grid_, 0, 1), QStringLiteral("3"));
        test::Click(window_.Button1);
        QCOMPARE(test::GridText(grid_, 0, 1), QStringLiteral("5"));
        window_.RefreshTimer->start();
    }

    // About while the list goes on ticking behind it.
    void AboutWhileTicking()
    {
        int ticksUnderAbout = 0;
        script_.Expect(QStringLiteral("About"), [&](QWidget &w) {
            QSignalSpy ticks(window_.RefreshTimer, &QTimer::timeout);
            other_.Execute("UPDATE VELKOR_PROCESS SET STOPPED_AT = CURRENT_TIMESTAMP "
                           "WHERE PROC_ID = 5");
            (void)QTest::qWaitFor([&] { return ticks.count() >= 2; }, 40 * kTickMs);
            ticksUnderAbout = static_cast<int>(ticks.count());
            test::Click(w.findChild<QPushButton *>(QStringLiteral("Button1")));
        });
        test::Click(window_.Button4);
        QVERIFY(script_.Done());
        QVERIFY(ticksUnderAbout >= 2);
        QCOMPARE(test::GridText(grid_, 0, 1), QStringLiteral("6"));
    }

    // Disconnect: the panel leaves the server, the grid empties, ticks do nothing.
    void Disconnect()
    {
        test::Click(window_.Button6);
        QVERIFY(!window_.MainDatabase->Connected());
        QVERIFY(DataButtonsDisabled(window_));
        QCOMPARE(test::GridFilledRows(grid_), 0);
        QCOMPARE(other_.OtherAttachments(), 0L);
        QVERIFY(WaitTicks(2));
        QCOMPARE(test::GridFilledRows(grid_), 0);
    }

    // Connect again: the path and the user name are offered, the password is asked for.
    void ConnectAgain()
    {
        ConnectThroughDialogs(target_.path, QStringLiteral("SYSDBA"));
        if (QTest::currentTestFailed())
            return;
        QVERIFY(DataButtonsEnabled(window_));
        QVERIFY(WaitTicks(1));
        QTRY_COMPARE(test::GridText(grid_, 0, 1), QStringLiteral("6"));
        QCOMPARE(other_.OtherAttachments(), 1L);
    }

    // Closing the window, as the close box ends the program, leaves the server too.
    void Close()
    {
        window_.close();
        owned_.reset();
        QCOMPARE(other_.OtherAttachments(), 0L);

        QCOMPARE(script_.boxes, QStringList());
        QCOMPARE(script_.unexpected, QStringList());
    }

    TTarget target_;
    test::TOtherSession other_;
    test::TModalScript script_;
    std::unique_ptr<TMainVelkorcontrolWindow> owned_ = std::make_unique<TMainVelkorcontrolWindow>();
    TMainVelkorcontrolWindow &window_ = *owned_;
    TRxDBGrid &grid_ = *window_.MainGrid;
    long sum_ = 0; // the priorities' sum after Set Priority
};

} // namespace

class RoadTest : public QObject
{
    Q_OBJECT

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
        TRoad road(target);
        for (const TRoad::TStep step : TRoad::Steps()) {
            (road.*step)();
            if (QTest::currentTestFailed())
                return;
        }
    }
};

} // namespace velkor

QTEST_MAIN(velkor::RoadTest)
#include "road_test.moc"
