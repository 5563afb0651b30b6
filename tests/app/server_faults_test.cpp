// The main window against a server that fails under it: killed, restarted, silent, or refusing
// the connection. The test runs a private server of its own, so that killing it disturbs no
// other test, and answers the dialogs and the error boxes as an operator would: every box is
// a real one, closed with OK a moment after it shows.
#include "app/client_configuration.h"
#include "app/main_velkorcontrol_window.h"
#include "app/platform_bindings.h"
#include "dataset/numeric_fields.h"
#include "db/client/platform_hooks.h"
#include "db/connection/ib_database.h"
#include "db/connection/ib_transaction.h"
#include "db/dataset/ib_custom_dataset.h"
#include "db/dataset/ib_dataset.h"
#include "tests/support/raw_sql.h"
#include "tests/support/temporary_registry.h"
#include "tests/support/test_database.h"
#include "ui/error_box.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>

namespace velkor {

namespace {

// Reads the KEY=VALUE lines the server script writes.
std::map<std::string, std::string> ReadEnvFile(const QString &path)
{
    std::map<std::string, std::string> values;
    std::ifstream file(path.toStdString());
    std::string line;
    while (std::getline(file, line))
        if (const auto equals = line.find('='); equals != std::string::npos)
            values[line.substr(0, equals)] = line.substr(equals + 1);
    return values;
}

// A socket that listens and never accepts: the kernel completes the connection, nobody answers.
class TSilentServer
{
public:
    TSilentServer()
    {
        socket_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (socket_ >= 0 &&
            ::bind(socket_, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0 &&
            ::listen(socket_, 8) == 0 &&
            ::getsockname(socket_, reinterpret_cast<sockaddr *>(&address), &length) == 0)
            port_ = ntohs(address.sin_port);
    }
    ~TSilentServer()
    {
        if (socket_ >= 0)
            ::close(socket_);
    }
    TSilentServer(const TSilentServer &) = delete;
    TSilentServer &operator=(const TSilentServer &) = delete;
    [[nodiscard]] int Port() const noexcept { return port_; }

private:
    int socket_ = -1;
    int port_ = 0;
};

} // namespace

class ServerFaultsTest : public QObject
{
    Q_OBJECT

    // The operator: answers the connection dialog with `path_` and closes every error box with
    // OK once it has been up for a moment, counting how many were ever open at once.
    void Watch()
    {
        QWidget *modal = QApplication::activeModalWidget();
        if (modal && modal->objectName() == QLatin1String("IBLoginDialog") && !path_.isEmpty()) {
            modal->findChild<QLineEdit *>(QStringLiteral("DatabasePathEdit"))->setText(path_);
            path_.clear();
            QMetaObject::invokeMethod(modal->findChild<QPushButton *>(QStringLiteral("Button1")),
                                      &QPushButton::click, Qt::QueuedConnection);
        }
        int open = 0;
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            auto *box = qobject_cast<QMessageBox *>(widget);
            if (!box || !box->isVisible())
                continue;
            ++open;
            // A box is marked when first seen: the next one may be made at the same address.
            const QVariant shownAt = box->property("velkorShownAt");
            if (!shownAt.isValid()) {
                box->setProperty("velkorShownAt", QDateTime::currentMSecsSinceEpoch());
                boxTexts_ << box->text();
                boxTitles_ << box->windowTitle();
            } else if (QDateTime::currentMSecsSinceEpoch() - shownAt.toLongLong() >= kBoxUpMs) {
                box->done(QMessageBox::Ok);
            }
        }
        mostOpenAtOnce_ = std::max(mostOpenAtOnce_, open);
    }

    void ForgetBoxes()
    {
        // Every box of the program carries its title.
        QCOMPARE(boxTitles_.filter(QStringLiteral("Velkor control panel")).size(),
                 boxTitles_.size());
        boxTexts_.clear();
        boxTitles_.clear();
        mostOpenAtOnce_ = 0;
    }

    // Lets the window's own timer tick `count` times more; the ticks' boxes are answered.
    void LetTick(TMainVelkorcontrolWindow &window, int count)
    {
        int ticks = 0;
        const auto counting =
            connect(window.RefreshTimer, &QTimer::timeout, this, [&] { ++ticks; });
        QTRY_VERIFY_WITH_TIMEOUT(ticks >= count, 60000);
        disconnect(counting);
    }

    // Connect as the operator does it: the button, the path typed in its dialog, the login.
    void ConnectThroughButton(TMainVelkorcontrolWindow &window, const QString &path)
    {
        path_ = path;
        window.Button5->click();
        QVERIFY2(path_.isEmpty(), "the connection dialog was not shown");
        // A box the connect raised is closed before the test goes on.
        QTRY_VERIFY(!qobject_cast<QMessageBox *>(QApplication::activeModalWidget()));
    }

    // Shown, ticking fast, connected to the test's server and its list filled by a tick.
    void OpenListOnServer(TMainVelkorcontrolWindow &window)
    {
        window.show();
        window.RefreshTimer->setInterval(kFastTickMs);
        ConnectThroughButton(window, Remote(file_->Path()));
        LetTick(window, 1);
        QVERIFY(window.ProceduresList->Active());
    }

    static bool Disconnected(const TMainVelkorcontrolWindow &window)
    {
        return !window.MainDatabase->Connected() && !window.MainTransaction->Active() &&
               window.Button5->isEnabled() && !window.Button6->isEnabled() &&
               !window.Button1->isEnabled() && !window.Button2->isEnabled() &&
               !window.Button3->isEnabled();
    }

    void Server(const char *command)
    {
        const QString line = QStringLiteral("%1 %2 '%3' >/dev/null")
                                 .arg(QStringLiteral(VELKOR_TEST_SERVER_SCRIPT),
                                      QLatin1String(command), serverDir_.path());
        QCOMPARE(std::system(line.toLocal8Bit().constData()), 0);
    }

    QString Remote(const std::string &path) const
    {
        return QStringLiteral("localhost/%1:%2").arg(port_, QString::fromStdString(path));
    }

    // The list is open on the demo rows and the window connected.
    static void VerifyListWorks(TMainVelkorcontrolWindow &window)
    {
        QVERIFY(window.MainDatabase->Connected());
        window.RefreshTimerTimer();
        QVERIFY(window.ProceduresList->Active());
        QCOMPARE(window.ProceduresListPROC_ID->AsInteger(), 1);
        QCOMPARE(window.ProceduresList->RecordCount(), 40);
    }

    static constexpr int kBoxUpMs = 300;
    static constexpr int kFastTickMs = 100;

    QTemporaryDir serverDir_;
    QTemporaryDir cacheHome_;
    std::unique_ptr<TemporaryConfigHome> configHome_;
    QString port_;
    std::string password_;
    std::unique_ptr<test::TTestDatabase> file_;
    std::unique_ptr<test::TScriptedLogin> login_;
    QTimer watcher_;
    QString path_;
    QStringList boxTexts_;
    QStringList boxTitles_;
    int mostOpenAtOnce_ = 0;

private slots:
    void initTestCase()
    {
        // The program's own client configuration, before the first component loads the library.
        SetApplicationTitle(QStringLiteral("Velkor control panel"));
        qputenv("XDG_CACHE_HOME", cacheHome_.path().toUtf8());
        qunsetenv("FIREBIRD");
        QVERIFY(!PrepareClientConfiguration().isEmpty());
        InstallPlatformHooks();
        configHome_ = std::make_unique<TemporaryConfigHome>();

        Server("start");
        const auto env = ReadEnvFile(serverDir_.filePath(QStringLiteral("server.env")));
        port_ = QString::fromStdString(env.at("VELKOR_TEST_SERVER_PORT"));
        password_ = env.at("VELKOR_TEST_SERVER_PASSWORD");
        file_ = std::make_unique<test::TTestDatabase>();
        login_ = std::make_unique<test::TScriptedLogin>("SYSDBA", password_);

        connect(&watcher_, &QTimer::timeout, this, &ServerFaultsTest::Watch);
        watcher_.start(10);
    }

    void cleanupTestCase()
    {
        watcher_.stop();
        if (QFile::exists(serverDir_.filePath(QStringLiteral("server.env"))))
            Server("stop");
    }

    void init() { ForgetBoxes(); }

    void cleanup()
    {
        ForgetBoxes();
        login_->password = password_;
    }

    void a_killed_server_fails_every_tick_with_one_box_at_a_time_and_the_panel_recovers()
    {
        TMainVelkorcontrolWindow window;
        OpenListOnServer(window);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(boxTexts_.size(), 0);

        Server("kill");
        int failures = 0;
        const auto counting = connect(window.RefreshTimer, &QTimer::timeout, this,
                                      [&] { failures += window.ProceduresList->Active() ? 0 : 1; });
        LetTick(window, 12);
        disconnect(counting);
        qInfo() << "after kill -9:" << failures << "of 12 ticks failed," << boxTexts_.size()
                << "boxes shown, at most" << mostOpenAtOnce_
                << "open at once; first:" << boxTexts_.value(0);
        QCOMPARE(failures, 12);
        // The loss is told once; the ticks after it fail quietly until Disconnect.
        QCOMPARE(boxTexts_.size(), 1);
        QCOMPARE(mostOpenAtOnce_, 1);
        QVERIFY(window.MainDatabase->Connected());

        ForgetBoxes();
        window.Button6->click();
        QTRY_VERIFY(!qobject_cast<QMessageBox *>(QApplication::activeModalWidget()));
        qInfo() << "Disconnect after kill -9 showed" << boxTexts_;
        QVERIFY(Disconnected(window));
        QCOMPARE(boxTexts_, QStringList());

        Server("restart");
        ForgetBoxes();
        ConnectThroughButton(window, Remote(file_->Path()));
        QCOMPARE(boxTexts_, QStringList());
        VerifyListWorks(window);
        window.Button6->click();
        QVERIFY(Disconnected(window));
    }

    void a_server_restarted_between_two_ticks_is_reported_once_and_reconnect_works()
    {
        TMainVelkorcontrolWindow window;
        OpenListOnServer(window);
        if (QTest::currentTestFailed())
            return;

        window.RefreshTimer->stop();
        Server("kill");
        Server("restart");
        window.RefreshTimer->start();
        LetTick(window, 10);
        qInfo() << "after a restart:" << boxTexts_.size() << "boxes over 10 ticks:" << boxTexts_;
        QCOMPARE(boxTexts_.size(), 1);
        QCOMPARE(mostOpenAtOnce_, 1);

        ForgetBoxes();
        window.Button6->click();
        QTRY_VERIFY(!qobject_cast<QMessageBox *>(QApplication::activeModalWidget()));
        QVERIFY(Disconnected(window));
        ConnectThroughButton(window, Remote(file_->Path()));
        QCOMPARE(boxTexts_, QStringList());
        VerifyListWorks(window);
    }

    void a_server_that_never_answers_is_given_up_within_the_timeout_under_the_hourglass()
    {
        TSilentServer silent;
        QVERIFY(silent.Port() > 0);
        TMainVelkorcontrolWindow window;
        window.show();
        window.RefreshTimer->stop();

        QElapsedTimer clock;
        QList<QPair<bool, qint64>> busy;
        SetBusyHook([&](bool on) {
            busy.append({on, clock.elapsed()});
            if (on)
                QGuiApplication::setOverrideCursor(Qt::WaitCursor);
            else
                QGuiApplication::restoreOverrideCursor();
        });
        clock.start();
        ConnectThroughButton(window,
                             QStringLiteral("localhost/%1:/velkor/silent.fdb").arg(silent.Port()));
        const qint64 elapsed = clock.elapsed();
        SetBusyHook({});
        qInfo() << "a silent server was given up after" << elapsed << "ms, boxes:" << boxTexts_
                << "busy cursor:" << busy;

        QVERIFY2(elapsed >= (kConnectionTimeoutSeconds - 1) * 1000, "gave up before the timeout");
        QVERIFY2(elapsed <= (kConnectionTimeoutSeconds + 3) * 1000, "not bounded by the timeout");
        QCOMPARE(boxTexts_.size(), 1);
        QVERIFY(!boxTexts_[0].isEmpty());
        // The hourglass was up for the whole wait, and is down again.
        QVERIFY(busy.size() >= 2);
        QCOMPARE(busy[0].first, true);
        QCOMPARE(busy[1].first, false);
        QVERIFY(busy[1].second - busy[0].second >= (kConnectionTimeoutSeconds - 1) * 1000);
        QVERIFY(!QGuiApplication::overrideCursor());
        QVERIFY(Disconnected(window));
    }

    void a_refused_connection_shows_the_server_text_once_and_connect_works_after_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("expected");
        QTest::newRow("wrong password") << "password"
                                        << "Your user name and password are not defined";
        QTest::newRow("missing file") << "missing"
                                      << "missing.fdb";
        QTest::newRow("folder") << "folder"
                                << "I/O error";
        QTest::newRow("not a database") << "text"
                                        << "not a valid database";
        QTest::newRow("closed port") << "port"
                                     << "Unable to complete network request";
    }

    void a_refused_connection_shows_the_server_text_once_and_connect_works_after()
    {
        QFETCH(QString, kind);
        QFETCH(QString, expected);
        const QString folder = QString::fromStdString(file_->Folder());
        QString path = Remote(file_->Path());
        if (kind == QLatin1String("password")) {
            login_->password = "not-" + password_;
        } else if (kind == QLatin1String("missing")) {
            path = Remote(file_->Folder() + "/missing.fdb");
        } else if (kind == QLatin1String("folder")) {
            path = Remote(file_->Folder());
        } else if (kind == QLatin1String("text")) {
            QFile text(folder + QStringLiteral("/notes.fdb"));
            QVERIFY(text.open(QIODevice::WriteOnly));
            text.write(QByteArray(16384, 'x'));
            text.close();
            path = Remote(text.fileName().toStdString());
        } else {
            // The silent server's port once it is closed: nothing listens there.
            int closed = 0;
            {
                const TSilentServer gone;
                closed = gone.Port();
            }
            path = QStringLiteral("localhost/%1:%2")
                       .arg(closed)
                       .arg(QString::fromStdString(file_->Path()));
        }

        TMainVelkorcontrolWindow window;
        window.show();
        window.RefreshTimer->setInterval(kFastTickMs);
        ConnectThroughButton(window, path);
        LetTick(window, 3);
        qInfo() << kind << "showed" << boxTexts_;
        QCOMPARE(boxTexts_.size(), 1);
        QVERIFY2(boxTexts_[0].contains(expected), qPrintable(boxTexts_[0]));
        QVERIFY(Disconnected(window));

        ForgetBoxes();
        login_->password = password_;
        ConnectThroughButton(window, Remote(file_->Path()));
        QCOMPARE(boxTexts_, QStringList());
        VerifyListWorks(window);
    }
};

} // namespace velkor

QTEST_MAIN(velkor::ServerFaultsTest)
#include "server_faults_test.moc"
