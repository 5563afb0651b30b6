// Keys as an operator presses them in the real windows, with the real dialogs up: Enter on a
// focused button presses that button, Enter in an edit the window's default button, the keypad's
// arrows step the priority, and the priority sent is the one shown. What the keys did is asked of
// the database, through another session.
#include "app/about_window.h"
#include "app/ib_login_dialog.h"
#include "app/login_dialog.h"
#include "app/main_velkorcontrol_window.h"
#include "app/platform_bindings.h"
#include "app/select_priority_window.h"
#include "dataset/numeric_fields.h"
#include "db/connection/ib_database.h"
#include "db/dataset/ib_stored_proc.h"
#include "tests/support/modal_script.h"
#include "tests/support/other_session.h"
#include "tests/support/temporary_registry.h"
#include "tests/support/test_database.h"
#include "ui/grid/rx_db_grid.h"
#include "ui/spin/rx_spin_edit.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <memory>

namespace velkor {

namespace {

// The widget that keys go to in `window`.
QWidget *KeyTarget(QWidget &window)
{
    QWidget *focus = window.focusWidget();
    return focus ? focus : &window;
}

// Presses `key` where the focus is, as the keyboard would.
void Press(QWidget &window, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QTest::keyClick(KeyTarget(window), key, modifiers);
}

} // namespace

class OperatorKeysTest : public QObject
{
    Q_OBJECT

    long PriorityOf(int procId)
    {
        return other_->Query("SELECT PROC_PRIORITY FROM VELKOR_PROCESS WHERE PROC_ID = " +
                             std::to_string(procId));
    }
    long Stopped(int procId)
    {
        return other_->Query("SELECT COUNT(*) FROM VELKOR_PROCESS WHERE STOPPED_AT IS NOT NULL "
                             "AND PROC_ID = " +
                             std::to_string(procId));
    }

    // Connect through both dialogs. With `enter`, Connect and both dialogs' default buttons are
    // pressed with Enter (in the path and in the password), else clicked.
    void Connect(bool enter)
    {
        script_->Expect(QStringLiteral("Interbase Login"), [this, enter](QWidget &w) {
            auto &dialog = static_cast<TIBLoginDialog &>(w);
            test::TypeInto(dialog.DatabasePathEdit, QString::fromStdString(file_->Path()));
            if (enter)
                Press(dialog, Qt::Key_Return);
            else
                test::Click(dialog.Button1);
        });
        script_->Expect(QStringLiteral("Database Login"), [enter](QWidget &w) {
            auto &dialog = static_cast<TLoginDialog &>(w);
            test::TypeInto(dialog.UserName, QStringLiteral("SYSDBA"));
            test::TypeInto(dialog.Password, QStringLiteral("any"));
            if (enter)
                Press(dialog, Qt::Key_Return);
            else
                test::Click(dialog.OKButton);
        });
        if (enter) {
            window_->Button5->setFocus(Qt::TabFocusReason);
            Press(*window_, Qt::Key_Return);
        } else {
            test::Click(window_->Button5);
        }
        QVERIFY(script_->Done());
        QVERIFY(window_->MainDatabase->Connected());
    }

    // Connected, the list open on PROC_ID 5 (priority 3).
    void ConnectOnRowFive()
    {
        Connect(false);
        test::Click(window_->Button1);
        for (int i = 0; i < 4; ++i)
            QTest::keyClick(window_->MainGrid, Qt::Key_Down);
        QCOMPARE(window_->ProceduresListPROC_ID->AsInteger(), 5);
        QCOMPARE(PriorityOf(5), 3L);
    }

    std::unique_ptr<TemporaryConfigHome> home_;
    std::unique_ptr<test::TTestDatabase> file_;
    std::unique_ptr<test::TOtherSession> other_;
    std::unique_ptr<test::TModalScript> script_;
    std::unique_ptr<TMainVelkorcontrolWindow> window_;

private slots:
    void initTestCase() { InstallPlatformHooks(); }

    void init()
    {
        home_ = std::make_unique<TemporaryConfigHome>();
        file_ = std::make_unique<test::TTestDatabase>();
        other_ = std::make_unique<test::TOtherSession>(file_->Path(), "SYSDBA", "");
        script_ = std::make_unique<test::TModalScript>();
        window_ = std::make_unique<TMainVelkorcontrolWindow>();
        // Ticks would move the selection back to the top row under the keys.
        window_->RefreshTimer->stop();
        window_->show();
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    }
    void cleanup()
    {
        window_.reset();
        QCOMPARE(script_->unexpected, QStringList());
        script_.reset();
        other_.reset();
        file_.reset();
        home_.reset();
    }

    void enter_on_the_focused_cancel_of_the_priority_dialog_sends_nothing()
    {
        ConnectOnRowFive();
        QString focusedThen;
        script_->Expect(QStringLiteral("Select priority"), [&](QWidget &w) {
            auto &dialog = static_cast<TSelectPriorityWindow &>(w);
            Press(dialog, Qt::Key_Up);
            Press(dialog, Qt::Key_Tab);
            focusedThen = dialog.focusWidget() ? dialog.focusWidget()->objectName() : QString();
            if (dialog.focusWidget() != dialog.Button1)
                dialog.reject();
            else
                Press(dialog, Qt::Key_Return);
        });
        window_->Button3->setFocus(Qt::TabFocusReason);
        Press(*window_, Qt::Key_Return);
        QVERIFY(script_->Done());
        QCOMPARE(focusedThen, QStringLiteral("Button1"));
        QVERIFY(!window_->SetPriorityProcedure->ParamNamed("PROC_ID").IsBound());
        QCOMPARE(PriorityOf(5), 3L);
        QCOMPARE(script_->boxes, QStringList());
    }

    void enter_in_the_priority_edit_presses_ok()
    {
        ConnectOnRowFive();
        script_->Expect(QStringLiteral("Select priority"), [](QWidget &w) {
            auto &dialog = static_cast<TSelectPriorityWindow &>(w);
            Press(dialog, Qt::Key_Up);
            Press(dialog, Qt::Key_Return);
        });
        test::Click(window_->Button3);
        QVERIFY(script_->Done());
        QCOMPARE(PriorityOf(5), 4L);
    }

    void enter_on_the_focused_cancel_of_the_login_dialog_does_not_log_in()
    {
        bool cancelFocused = false;
        script_->Expect(QStringLiteral("Interbase Login"), [this](QWidget &w) {
            auto &dialog = static_cast<TIBLoginDialog &>(w);
            test::TypeInto(dialog.DatabasePathEdit, QString::fromStdString(file_->Path()));
            Press(dialog, Qt::Key_Return);
        });
        script_->Expect(QStringLiteral("Database Login"), [&](QWidget &w) {
            auto &dialog = static_cast<TLoginDialog &>(w);
            test::TypeInto(dialog.UserName, QStringLiteral("SYSDBA"));
            // Back from the user name: Cancel comes before it.
            Press(dialog, Qt::Key_Backtab);
            cancelFocused = dialog.focusWidget() == dialog.CancelButton;
            if (!cancelFocused)
                dialog.reject();
            else
                Press(dialog, Qt::Key_Return);
        });
        test::Click(window_->Button5);
        QVERIFY(script_->Done());
        QVERIFY(cancelFocused);
        QVERIFY(!window_->MainDatabase->Connected());
        QVERIFY(!window_->Button6->isEnabled());
        QCOMPARE(other_->OtherAttachments(), 0L);
        QCOMPARE(script_->boxes,
                 QStringList{QStringLiteral("Operation cancelled at user's request.")});
    }

    void enter_on_the_focused_cancel_of_the_connection_dialog_connects_nothing()
    {
        bool cancelFocused = false;
        script_->Expect(QStringLiteral("Interbase Login"), [&](QWidget &w) {
            auto &dialog = static_cast<TIBLoginDialog &>(w);
            test::TypeInto(dialog.DatabasePathEdit, QString::fromStdString(file_->Path()));
            Press(dialog, Qt::Key_Tab); // OK
            Press(dialog, Qt::Key_Tab); // Cancel
            cancelFocused = dialog.focusWidget() == dialog.Button2;
            if (!cancelFocused)
                dialog.reject();
            else
                Press(dialog, Qt::Key_Return);
        });
        window_->Button5->setFocus(Qt::TabFocusReason);
        Press(*window_, Qt::Key_Return);
        QVERIFY(script_->Done());
        QVERIFY(cancelFocused);
        QVERIFY(!window_->MainDatabase->Connected());
        QCOMPARE(other_->OtherAttachments(), 0L);
        QCOMPARE(script_->boxes, QStringList());
    }

    void enter_on_a_focused_main_window_button_presses_it()
    {
        Connect(true);
        test::Click(window_->Button1);
        for (int i = 0; i < 4; ++i)
            QTest::keyClick(window_->MainGrid, Qt::Key_Down);
        QCOMPARE(window_->ProceduresListPROC_ID->AsInteger(), 5);
        QCOMPARE(other_->OtherAttachments(), 1L);

        // Stop Procedure, reached with Tab from Refresh List.
        window_->Button1->setFocus(Qt::TabFocusReason);
        Press(*window_, Qt::Key_Tab);
        QCOMPARE(KeyTarget(*window_), window_->Button2);
        Press(*window_, Qt::Key_Return);
        QCOMPARE(Stopped(5), 1L);
        QCOMPARE(Stopped(4), 0L);

        // Refresh List with the keypad's Enter: the list is read again from its first row.
        window_->Button1->setFocus(Qt::TabFocusReason);
        Press(*window_, Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(window_->ProceduresListPROC_ID->AsInteger(), 1);

        // About opens on Enter and closes on Enter.
        bool aboutShown = false;
        script_->Expect(QStringLiteral("About"), [&](QWidget &w) {
            aboutShown = true;
            Press(w, Qt::Key_Return);
        });
        window_->Button4->setFocus(Qt::TabFocusReason);
        Press(*window_, Qt::Key_Return);
        QVERIFY(script_->Done());
        QVERIFY(aboutShown);

        // Disconnect.
        window_->Button6->setFocus(Qt::TabFocusReason);
        Press(*window_, Qt::Key_Return);
        QVERIFY(!window_->MainDatabase->Connected());
        QCOMPARE(other_->OtherAttachments(), 0L);
        QCOMPARE(script_->boxes, QStringList());
    }

    void the_keypads_arrows_step_the_priority()
    {
        ConnectOnRowFive();
        script_->Expect(QStringLiteral("Select priority"), [](QWidget &w) {
            auto &dialog = static_cast<TSelectPriorityWindow &>(w);
            Press(dialog, Qt::Key_Up, Qt::KeypadModifier);
            Press(dialog, Qt::Key_Up, Qt::KeypadModifier);
            Press(dialog, Qt::Key_Up, Qt::KeypadModifier);
            Press(dialog, Qt::Key_Down, Qt::KeypadModifier);
            Press(dialog, Qt::Key_Enter, Qt::KeypadModifier);
        });
        test::Click(window_->Button3);
        QVERIFY(script_->Done());
        QCOMPARE(PriorityOf(5), 5L);
    }

    void the_priority_sent_is_the_priority_shown_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("step");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<long>("sent");
        QTest::newRow("top of the range, then Up")
            << QStringLiteral("2147483647") << 1 << QStringLiteral("2147483647") << 2147483647L;
        QTest::newRow("bottom of the range, then Down")
            << QStringLiteral("-2147483648") << -1 << QStringLiteral("-2147483648") << -2147483648L;
        QTest::newRow("cleared") << QString() << 0 << QString() << 0L;
        QTest::newRow("plus sign") << QStringLiteral("+12") << 0 << QStringLiteral("+12") << 12L;
    }
    void the_priority_sent_is_the_priority_shown()
    {
        QFETCH(QString, typed);
        QFETCH(int, step);
        QFETCH(QString, shown);
        QFETCH(long, sent);
        ConnectOnRowFive();
        QString shownAtOk;
        script_->Expect(QStringLiteral("Select priority"), [&](QWidget &w) {
            auto &dialog = static_cast<TSelectPriorityWindow &>(w);
            test::TypeInto(dialog.PriorityValue, typed);
            if (step != 0)
                Press(dialog, step > 0 ? Qt::Key_Up : Qt::Key_Down);
            shownAtOk = dialog.PriorityValue->text();
            test::Click(dialog.Button2);
        });
        test::Click(window_->Button3);
        QVERIFY(script_->Done());
        QCOMPARE(shownAtOk, shown);
        QCOMPARE(PriorityOf(5), sent);
        QCOMPARE(script_->boxes, QStringList());
    }

    void text_that_is_no_32_bit_integer_is_refused_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::newRow("sign inside") << QStringLiteral("1-2");
        QTest::newRow("lone plus") << QStringLiteral("+");
        QTest::newRow("sign after") << QStringLiteral("5-");
        QTest::newRow("past the top") << QStringLiteral("2147483648");
        QTest::newRow("past the bottom") << QStringLiteral("-2147483649");
    }
    void text_that_is_no_32_bit_integer_is_refused()
    {
        QFETCH(QString, typed);
        ConnectOnRowFive();
        bool stayedOpen = false;
        QString selected;
        QString focused;
        script_->Expect(QStringLiteral("Select priority"), [&](QWidget &w) {
            auto &dialog = static_cast<TSelectPriorityWindow &>(w);
            test::TypeInto(dialog.PriorityValue, typed);
            test::Click(dialog.Button2);
            stayedOpen = dialog.isVisible() && dialog.result() != QDialog::Accepted;
            selected = dialog.PriorityValue->selectedText();
            focused = dialog.focusWidget() ? dialog.focusWidget()->objectName() : QString();
            // Enter in the edit is refused the same way.
            Press(dialog, Qt::Key_Return);
            stayedOpen = stayedOpen && dialog.isVisible();
            Press(dialog, Qt::Key_Escape);
        });
        test::Click(window_->Button3);
        QVERIFY(script_->Done());
        QVERIFY(stayedOpen);
        QCOMPARE(selected, typed);
        QCOMPARE(focused, QStringLiteral("PriorityValue"));
        QVERIFY(!window_->SetPriorityProcedure->ParamNamed("PROC_ID").IsBound());
        QCOMPARE(PriorityOf(5), 3L);
        QCOMPARE(script_->boxes, QStringList());
    }

    void set_priority_on_a_closed_list_sends_zero()
    {
        Connect(false);
        QCOMPARE(window_->ProceduresListPROC_ID->AsInteger(), 0);
        QString offered;
        script_->Expect(QStringLiteral("Select priority"), [&](QWidget &w) {
            auto &dialog = static_cast<TSelectPriorityWindow &>(w);
            offered = dialog.PriorityValue->text();
            Press(dialog, Qt::Key_Return);
        });
        test::Click(window_->Button3);
        QVERIFY(script_->Done());
        QCOMPARE(offered, QStringLiteral("0"));
        QCOMPARE(window_->SetPriorityProcedure->ParamNamed("PROC_ID").IntegerValue(), 0);
        QCOMPARE(window_->SetPriorityProcedure->ParamNamed("PRIORITY").IntegerValue(), 0);
        QCOMPARE(script_->boxes, QStringList());
    }
};

} // namespace velkor

QTEST_MAIN(velkor::OperatorKeysTest)
#include "operator_keys_test.moc"
