// Set Priority through the real priority dialog, answered by the test, against a throwaway
// database.
#include "app/main_velkorcontrol_window.h"
#include "app/select_priority_window.h"
#include "dataset/numeric_fields.h"
#include "db/connection/ib_database.h"
#include "db/connection/ib_transaction.h"
#include "db/dataset/ib_custom_dataset.h"
#include "db/dataset/ib_dataset.h"
#include "db/dataset/ib_stored_proc.h"
#include "tests/support/raw_sql.h"
#include "tests/support/test_database.h"
#include "ui/spin/rx_spin_edit.h"

#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <functional>

namespace velkor {

class MainWindowPriorityTest : public QObject
{
    Q_OBJECT

    // Answers the priority dialog as soon as it is up.
    static void Answer(const std::function<void(TSelectPriorityWindow &)> &operatorDoes)
    {
        QTimer::singleShot(0, [operatorDoes] {
            auto *dialog = qobject_cast<TSelectPriorityWindow *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            operatorDoes(*dialog);
        });
    }
    static long Priority(TMainVelkorcontrolWindow &window, int procId)
    {
        return test::QueryInteger(*window.MainDatabase, *window.MainTransaction,
                                  "SELECT PROC_PRIORITY FROM SL_PROC_STATE WHERE PROC_ID = " +
                                      std::to_string(procId));
    }

    test::TTestDatabase *file = nullptr;
    test::TScriptedLogin *login = nullptr;
    TMainVelkorcontrolWindow *window = nullptr;

private slots:
    void init()
    {
        file = new test::TTestDatabase;
        login = new test::TScriptedLogin("SYSDBA", "");
        window = new TMainVelkorcontrolWindow;
        window->ConnectDatabase(QString::fromStdString(file->Path()));
        window->RefreshTimerTimer();
        window->ProceduresList->MoveBy(4); // PROC_ID 5, priority 3
        QCOMPARE(window->ProceduresListPROC_ID->AsInteger(), 5);
    }
    void cleanup()
    {
        delete window;
        delete login;
        delete file;
    }

    void up_twice_and_ok_sends_the_priority_plus_two_for_that_row()
    {
        QString offered;
        Answer([&](TSelectPriorityWindow &dialog) {
            offered = dialog.PriorityValue->text();
            QTest::keyClick(dialog.PriorityValue, Qt::Key_Up);
            QTest::keyClick(dialog.PriorityValue, Qt::Key_Up);
            QTest::keyClick(dialog.PriorityValue, Qt::Key_Return);
        });
        window->Button3Click();
        QCOMPARE(offered, QStringLiteral("3"));
        QCOMPARE(window->SetPriorityProcedure->ParamNamed("PROC_ID").IntegerValue(), 5);
        QCOMPARE(window->SetPriorityProcedure->ParamNamed("PRIORITY").IntegerValue(), 5);
        QCOMPARE(window->SetPriorityProcedure->ParamNamed("RESULT").IntegerValue(), 1);
        QCOMPARE(window->ProceduresListPROC_ID->AsInteger(), 1); // reopened: the first row
        QCOMPARE(Priority(*window, 5), 5L);
    }

    void esc_sends_nothing_but_still_refreshes()
    {
        Answer([](TSelectPriorityWindow &dialog) {
            QTest::keyClick(dialog.PriorityValue, Qt::Key_Up);
            QTest::keyClick(dialog.PriorityValue, Qt::Key_Escape);
        });
        window->Button3Click();
        QVERIFY(!window->SetPriorityProcedure->ParamNamed("PROC_ID").IsBound());
        QCOMPARE(window->ProceduresListPROC_ID->AsInteger(), 1);
        QCOMPARE(Priority(*window, 5), 3L);
    }

    void a_cleared_field_sends_zero()
    {
        Answer([](TSelectPriorityWindow &dialog) {
            dialog.PriorityValue->clear();
            dialog.Button2->click();
        });
        window->Button3Click();
        QCOMPARE(window->SetPriorityProcedure->ParamNamed("PRIORITY").IntegerValue(), 0);
        QCOMPARE(Priority(*window, 5), 0L);
    }

    void the_chosen_row_gets_its_priority_even_when_it_left_the_list_meanwhile()
    {
        const std::string path = file->Path();
        TMainVelkorcontrolWindow *main = window;
        Answer([path, main](TSelectPriorityWindow &dialog) {
            test::ExecuteElsewhere(path, "UPDATE VELKOR_PROCESS SET STOPPED_AT = "
                                         "CURRENT_TIMESTAMP WHERE PROC_ID = 5");
            main->RefreshTimerTimer(); // a tick while the dialog is up
            QCOMPARE(main->ProceduresListPROC_ID->AsInteger(), 1);
            dialog.PriorityValue->SetIntegerValue(9);
            dialog.Button2->click();
        });
        window->Button3Click();
        QCOMPARE(window->SetPriorityProcedure->ParamNamed("PROC_ID").IntegerValue(), 5);
        QCOMPARE(window->SetPriorityProcedure->ParamNamed("RESULT").IntegerValue(), 0);
        QCOMPARE(Priority(*window, 1), 10L); // the first row kept its priority
    }

    void a_failing_call_is_reported_after_the_dialog_is_gone_and_the_list_reopened()
    {
        test::ExecuteRaw(
            *window->MainDatabase, *window->MainTransaction,
            "ALTER TABLE VELKOR_PROCESS ADD CONSTRAINT SMALL CHECK (PROC_PRIORITY < 100)");
        window->MainTransaction->Commit();
        window->MainTransaction->StartTransaction();
        window->RefreshTimerTimer();
        window->ProceduresList->MoveBy(4);
        Answer([](TSelectPriorityWindow &dialog) {
            dialog.PriorityValue->SetIntegerValue(500);
            dialog.Button2->click();
        });
        QVERIFY_THROWS_EXCEPTION(std::exception, window->Button3Click());
        QVERIFY(QApplication::activeModalWidget() == nullptr);
        QVERIFY(window->ProceduresList->Active());
        QCOMPARE(window->ProceduresListPROC_ID->AsInteger(), 1);
    }
};

} // namespace velkor

QTEST_MAIN(velkor::MainWindowPriorityTest)
#include "main_window_priority_test.moc"
