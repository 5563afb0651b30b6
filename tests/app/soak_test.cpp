// The real main window against the private server, its timer at a test interval, for 20,000
// ticks with a Stop and a Set Priority every 1,000: nothing may grow, neither in this process
// (memory, open files, threads) nor on the server (the panel's statements and transactions).
#include "app/main_velkorcontrol_window.h"
#include "app/select_priority_window.h"
#include "dataset/numeric_fields.h"
#include "db/connection/ib_database.h"
#include "db/dataset/ib_custom_dataset.h"
#include "db/dataset/ib_dataset.h"
#include "db/dataset/ib_stored_proc.h"
#include "tests/support/modal_script.h"
#include "tests/support/other_session.h"
#include "tests/support/raw_sql.h"
#include "tests/support/server_database.h"
#include "tests/support/test_database.h"
#include "ui/spin/rx_spin_edit.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <unistd.h>

#include <cstdio>
#include <string>

namespace velkor {

namespace {

constexpr int kTicks = 20000;
constexpr int kActionEvery = 1000;
constexpr long kRssGrowthBytes = 1024 * 1024;

struct TFigures
{
    long rssBytes = 0;
    long files = 0;
    long threads = 0;
    long statements = 0;
    long transactions = 0;
};

long ResidentBytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toLong() * sysconf(_SC_PAGESIZE) : -1;
}

long Entries(const char *folder)
{
    return static_cast<long>(QDir(QString::fromLatin1(folder))
                                 .entryList(QDir::AllEntries | QDir::NoDotAndDotDot)
                                 .size());
}

// Enough processes for every Stop to take one and leave a list longer than the grid.
void FillProcesses(test::TOtherSession &other)
{
    other.Execute("EXECUTE BLOCK AS DECLARE I INTEGER = 1; BEGIN WHILE (I <= 100) DO BEGIN "
                  "INSERT INTO VELKOR_PROCESS (PROC_ID, PROC_NAME, PROC_PRIORITY) VALUES "
                  "(:I, 'process ' || :I, MOD(:I, 10)); I = I + 1; END END");
}

// The panel's attachment, as the other session sees it on the server.
long PanelAttachment(test::TOtherSession &other)
{
    return other.Query(
        "SELECT MIN(MON$ATTACHMENT_ID) FROM MON$ATTACHMENTS WHERE MON$SYSTEM_FLAG = 0 "
        "AND MON$ATTACHMENT_ID <> CURRENT_CONNECTION");
}

TFigures Measure(test::TOtherSession &other, const std::string &ofPanel)
{
    TFigures now;
    now.rssBytes = ResidentBytes();
    now.files = Entries("/proc/self/fd");
    now.threads = Entries("/proc/self/task");
    now.statements = other.Query("SELECT COUNT(*) FROM MON$STATEMENTS" + ofPanel);
    now.transactions = other.Query("SELECT COUNT(*) FROM MON$TRANSACTIONS" + ofPanel);
    return now;
}

void StopAndSetPriority(TMainVelkorcontrolWindow &window, int priority)
{
    // Stop the current procedure; the list drops it at the next tick.
    window.Button2->click();
    // Set Priority through its dialog, answered from inside its own loop.
    QTimer::singleShot(0, [priority] {
        auto *dialog = qobject_cast<TSelectPriorityWindow *>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        dialog->PriorityValue->SetIntegerValue(priority % 10);
        dialog->Button2->click();
    });
    window.Button3->click();
}

void PrintFigures(int ticks, double seconds, int stops, int priorities, const TFigures &first,
                  const TFigures &last)
{
    std::printf("soak: %d ticks in %.1f s, %d Stop and %d Set Priority\n"
                "soak: after tick %d -> after tick %d: RSS %ld -> %ld kB (%+ld kB), "
                "open files %ld -> %ld, threads %ld -> %ld, the panel's statements on the "
                "server %ld -> %ld, its transactions %ld -> %ld\n",
                ticks, seconds, stops, priorities, kActionEvery, ticks, first.rssBytes / 1024,
                last.rssBytes / 1024, (last.rssBytes - first.rssBytes) / 1024, first.files,
                last.files, first.threads, last.threads, first.statements, last.statements,
                first.transactions, last.transactions);
}

void ExpectNothingGrew(const TFigures &first, const TFigures &last)
{
    QVERIFY2(last.rssBytes - first.rssBytes <= kRssGrowthBytes, "resident memory grew");
    QVERIFY2(last.files <= first.files, "open files grew");
    QVERIFY2(last.threads <= first.threads, "threads grew");
    QVERIFY2(last.statements <= first.statements, "the panel's statements grew on the server");
    QVERIFY2(last.transactions <= first.transactions,
             "the panel's transactions grew on the server");
}

} // namespace

class SoakTest : public QObject
{
    Q_OBJECT

private slots:
    void twenty_thousand_ticks_grow_nothing()
    {
        if (!test::TTestServer::Available())
            QSKIP("no test server: run ./test.sh");
        test::TTestDatabase file(test::TTestDatabase::TContent::empty);
        const std::string path = test::TTestServer::Remote(file.Path());
        const std::string user = test::TTestServer::UserName();
        const std::string password = test::TTestServer::Password();
        test::TOtherSession other(path, user, password);
        FillProcesses(other);

        test::TScriptedLogin login(user, password);
        TMainVelkorcontrolWindow window;
        window.RefreshTimer->setInterval(0);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.ConnectDatabase(QString::fromStdString(path));
        const long panel = PanelAttachment(other);
        QVERIFY(panel > 0);
        const std::string ofPanel = " WHERE MON$ATTACHMENT_ID = " + std::to_string(panel);

        int ticks = 0;
        connect(window.RefreshTimer, &QTimer::timeout, this, [&ticks] { ++ticks; });
        int stops = 0;
        int priorities = 0;
        QElapsedTimer clock;
        clock.start();
        TFigures first;
        int nextAction = kActionEvery;
        while (ticks < kTicks) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
            if (ticks >= nextAction && nextAction < kTicks) {
                StopAndSetPriority(window, priorities);
                ++stops;
                ++priorities;
                // The first Stop and Set Priority prepare their statements, which stay.
                if (nextAction == kActionEvery)
                    first = Measure(other, ofPanel);
                nextAction += kActionEvery;
            }
            QVERIFY2(clock.elapsed() < 240000, "the ticks came too slowly");
        }
        const TFigures last = Measure(other, ofPanel);
        PrintFigures(ticks, clock.elapsed() / 1000.0, stops, priorities, first, last);
        QCOMPARE(stops, kTicks / kActionEvery - 1);
        QCOMPARE(priorities, stops);
        QVERIFY(window.ProceduresList->Active());
        QCOMPARE(other.Query("SELECT COUNT(*) FROM VELKOR_PROCESS WHERE STOPPED_AT IS NOT NULL"),
                 long{stops});
        ExpectNothingGrew(first, last);
    }
};

} // namespace velkor

QTEST_MAIN(velkor::SoakTest)
#include "soak_test.moc"
