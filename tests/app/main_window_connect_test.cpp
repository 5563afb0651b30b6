// Connect and Disconnect of the main window against a throwaway database.
#include "app/main_velkorcontrol_window.h"
#include "db/client/ib_error.h"
#include "db/connection/ib_database.h"
#include "db/connection/ib_transaction.h"
#include "tests/support/raw_sql.h"
#include "tests/support/test_database.h"

#include <QPushButton>
#include <QtTest>

namespace velkor {

class MainWindowConnectTest : public QObject
{
    Q_OBJECT

    static bool DataButtonsEnabled(const TMainVelkorcontrolWindow &window, bool enabled)
    {
        for (QPushButton *button : {window.Button6, window.Button1, window.Button2, window.Button3})
            if (button->isEnabled() != enabled)
                return false;
        return window.Button5->isEnabled() && window.Button4->isEnabled();
    }

private slots:
    void connect_starts_the_transaction_and_disconnect_ends_it()
    {
        test::TTestDatabase file;
        test::TScriptedLogin login("SYSDBA", "");
        TMainVelkorcontrolWindow window;
        window.ConnectDatabase(QString::fromStdString(file.Path()));
        QVERIFY(window.MainDatabase->Connected());
        QVERIFY(window.MainTransaction->Active());
        QVERIFY(DataButtonsEnabled(window, true));
        QCOMPARE(window.MainDatabase->Params().Count(), 2);

        window.Button6Click();
        QVERIFY(!window.MainDatabase->Connected());
        QVERIFY(!window.MainTransaction->Active());
        QVERIFY(DataButtonsEnabled(window, false));
    }

    void cancelled_login_leaves_everything_disconnected()
    {
        test::TTestDatabase file;
        test::TScriptedLogin login("SYSDBA", "", false);
        TMainVelkorcontrolWindow window;
        QVERIFY_THROWS_EXCEPTION(EIBClientError,
                                 window.ConnectDatabase(QString::fromStdString(file.Path())));
        QVERIFY(!window.MainDatabase->Connected());
        QVERIFY(!window.MainTransaction->Active());
        QVERIFY(DataButtonsEnabled(window, false));
    }

    void connect_to_another_path_while_connected_changes_nothing()
    {
        test::TTestDatabase file;
        test::TScriptedLogin login("SYSDBA", "");
        TMainVelkorcontrolWindow window;
        const QString path = QString::fromStdString(file.Path());
        window.ConnectDatabase(path);
        const TClientHandle transaction = window.MainTransaction->Handle();
        try {
            window.ConnectDatabase(path + QStringLiteral(".other"));
            QFAIL("connected twice");
        } catch (const EIBClientError &error) {
            QCOMPARE(QString::fromUtf8(error.what()),
                     QStringLiteral("Cannot perform operation -- DB is currently open"));
        }
        QVERIFY(window.MainDatabase->Connected());
        QCOMPARE(window.MainTransaction->Handle(), transaction);
        QCOMPARE(window.MainDatabase->DatabaseName(), file.Path());
    }

    void closing_the_window_while_connected_commits()
    {
        test::TTestDatabase file(test::TTestDatabase::TContent::empty);
        test::TScriptedLogin login("SYSDBA", "");
        {
            TMainVelkorcontrolWindow window;
            window.ConnectDatabase(QString::fromStdString(file.Path()));
            test::ExecuteRaw(*window.MainDatabase, *window.MainTransaction,
                             "INSERT INTO VELKOR_PROCESS (PROC_ID, PROC_NAME) VALUES (3, 'x')");
        }
        TMainVelkorcontrolWindow again;
        again.ConnectDatabase(QString::fromStdString(file.Path()));
        QCOMPARE(test::QueryInteger(*again.MainDatabase, *again.MainTransaction,
                                    "SELECT COUNT(*) FROM VELKOR_PROCESS"),
                 1L);
    }
};

} // namespace velkor

QTEST_MAIN(velkor::MainWindowConnectTest)
#include "main_window_connect_test.moc"
