// The database login dialog: limits, focus, OK and Cancel.
#include "app/login_dialog.h"
#include "ui/panel.h"
#include "ui/storage/window_placement.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QtTest>

#include <functional>

namespace velkor {

class DbLoginDialogTest : public QObject
{
    Q_OBJECT

    // Runs `act` on the dialog as soon as it is up, while QueryDatabaseLogin waits in exec().
    static void WhenShown(std::function<void(TLoginDialog &)> act)
    {
        QTimer::singleShot(0, [act] {
            auto *dialog = qobject_cast<TLoginDialog *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            // Focus settles only once the window is active; a loaded machine gets there later.
            if (!QTest::qWaitForWindowActive(dialog)) {
                dialog->reject();
                QFAIL("the login dialog never became active");
            }
            act(*dialog);
        });
    }

private slots:
    void layout_and_limits()
    {
        TLoginDialog dialog;
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Database Login"));
        QCOMPARE(dialog.size(), QSize(273, 147));
        QCOMPARE(dialog.OKButton->text(), QStringLiteral("&OK"));
        QVERIFY(dialog.OKButton->isDefault());
        QCOMPARE(dialog.UserName->maxLength(), 31);
        QCOMPARE(dialog.Password->maxLength(), 31);
        QCOMPARE(dialog.Password->echoMode(), QLineEdit::Password);
        QTest::keyClicks(dialog.UserName, QString(32, QLatin1Char('u')));
        QCOMPARE(dialog.UserName->text().size(), 31);
        QTest::keyClicks(dialog.Password, QString(40, QLatin1Char('p')));
        QCOMPARE(dialog.Password->text().size(), 31);
        QCOMPARE(dialog.Label1->buddy(), dialog.UserName);
        QCOMPARE(dialog.Label2->buddy(), dialog.Password);
    }

    void the_panel_has_a_raised_inner_and_a_lowered_outer_bevel()
    {
        TLoginDialog dialog;
        QCOMPARE(dialog.Panel->BevelOuter(), TPanel::bvLowered);
        QCOMPARE(dialog.Panel->BevelInner(), TPanel::bvRaised);
        QPalette colors = dialog.Panel->palette();
        colors.setColor(QPalette::Dark, Qt::red);
        colors.setColor(QPalette::Light, Qt::green);
        colors.setColor(QPalette::Window, Qt::blue);
        dialog.Panel->setPalette(colors);
        const QImage image = dialog.Panel->grab().toImage();
        const int right = image.width() - 1;
        const int bottom = image.height() - 1;
        const auto at = [&](int x, int y) { return QColor(image.pixel(x, y)); };
        // Outer ring: shadow above and left, highlight below and right.
        QCOMPARE(at(60, 0), QColor(Qt::red));
        QCOMPARE(at(0, 60), QColor(Qt::red));
        QCOMPARE(at(60, bottom), QColor(Qt::green));
        QCOMPARE(at(right, 60), QColor(Qt::green));
        // Inner ring, one pixel in: the other way round.
        QCOMPARE(at(60, 1), QColor(Qt::green));
        QCOMPARE(at(1, 60), QColor(Qt::green));
        QCOMPARE(at(60, bottom - 1), QColor(Qt::red));
        QCOMPARE(at(right - 1, 60), QColor(Qt::red));
    }

    void the_frame_is_centred_on_the_screen_not_the_client_area()
    {
        // A title bar of 24 and borders of 4 around 273 x 147.
        QCOMPARE(
            CentredFramePosition(QRect(0, 0, 1280, 1024), QSize(273, 147), QMargins(4, 24, 4, 4)),
            QPoint((1280 - 281) / 2, (1024 - 175) / 2));
        QCOMPARE(CentredFramePosition(QRect(100, 30, 800, 600), QSize(273, 147), QMargins()),
                 QPoint(100 + (800 - 273) / 2, 30 + (600 - 147) / 2));

        TLoginDialog dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        const QRect area = dialog.screen()->availableGeometry();
        const QRect frame = dialog.frameGeometry();
        QVERIFY(qAbs(frame.center().x() - area.center().x()) <= 1);
        QVERIFY(qAbs(frame.center().y() - area.center().y()) <= 1);
    }

    void first_login_focuses_the_user_name_later_ones_the_password()
    {
        QString user;
        QString password;
        QString focused; // the name: the dialog is gone when the call returns
        WhenShown([&](TLoginDialog &dialog) {
            focused = dialog.focusWidget() ? dialog.focusWidget()->objectName() : QString();
            dialog.reject();
        });
        QVERIFY(!QueryDatabaseLogin(QStringLiteral("db.fdb"), user, password, false));
        QCOMPARE(focused, QStringLiteral("UserName"));

        user = QStringLiteral("SYSDBA");
        QString shownPassword = QStringLiteral("unseen");
        WhenShown([&](TLoginDialog &dialog) {
            focused = dialog.focusWidget() ? dialog.focusWidget()->objectName() : QString();
            shownPassword = dialog.Password->text();
            QCOMPARE(dialog.UserName->text(), QStringLiteral("SYSDBA"));
            dialog.reject();
        });
        QVERIFY(!QueryDatabaseLogin(QStringLiteral("db.fdb"), user, password, false));
        QCOMPARE(focused, QStringLiteral("Password"));
        QCOMPARE(shownPassword, QString());
    }

    void ok_with_empty_fields_returns_two_empty_strings()
    {
        QString user = QStringLiteral("before");
        QString password = QStringLiteral("before");
        WhenShown([](TLoginDialog &dialog) {
            dialog.UserName->clear();
            QTest::keyClick(&dialog, Qt::Key_Return);
        });
        QVERIFY(QueryDatabaseLogin(QStringLiteral("db.fdb"), user, password, false));
        QCOMPARE(user, QString());
        QCOMPARE(password, QString());
    }

    void cancel_after_typing_leaves_the_caller_values()
    {
        QString user = QStringLiteral("OPERATOR");
        QString password = QStringLiteral("kept");
        WhenShown([](TLoginDialog &dialog) {
            QTest::keyClicks(dialog.UserName, QStringLiteral("X"));
            QTest::keyClicks(dialog.Password, QStringLiteral("typed"));
            QTest::keyClick(&dialog, Qt::Key_Escape);
        });
        QVERIFY(!QueryDatabaseLogin(QStringLiteral("db.fdb"), user, password, false));
        QCOMPARE(user, QStringLiteral("OPERATOR"));
        QCOMPARE(password, QStringLiteral("kept"));
    }

    void ok_copies_what_was_typed()
    {
        QString user;
        QString password;
        WhenShown([](TLoginDialog &dialog) {
            QTest::keyClicks(dialog.UserName, QStringLiteral("SYSDBA"));
            QTest::keyClicks(dialog.Password, QStringLiteral("masterkey"));
            dialog.OKButton->click();
        });
        QVERIFY(QueryDatabaseLogin(QStringLiteral("db.fdb"), user, password, false));
        QCOMPARE(user, QStringLiteral("SYSDBA"));
        QCOMPARE(password, QStringLiteral("masterkey"));
    }

    void a_long_database_name_is_cut_inside_the_panel()
    {
        int shortWidth = 0;
        int longWidth = 0;
        int panelWidth = 0;
        QString user;
        QString password;
        WhenShown([&](TLoginDialog &dialog) {
            shortWidth = dialog.DatabaseName->width();
            dialog.reject();
        });
        QueryDatabaseLogin(QStringLiteral("a.fdb"), user, password, false);
        WhenShown([&](TLoginDialog &dialog) {
            longWidth = dialog.DatabaseName->width();
            panelWidth = dialog.Panel->width();
            QCOMPARE(dialog.DatabaseName->x(), 91);
            dialog.reject();
        });
        QueryDatabaseLogin(QStringLiteral("server:/") + QString(200, QLatin1Char('x')) +
                               QStringLiteral(".fdb"),
                           user, password, false);
        QVERIFY(shortWidth > 3 && shortWidth < 100);
        QCOMPARE(longWidth, panelWidth - 91 - 5);
    }

    void a_read_only_name_cannot_be_edited()
    {
        QString user = QStringLiteral("FIXED");
        QString password;
        bool enabled = true;
        WhenShown([&](TLoginDialog &dialog) {
            enabled = dialog.UserName->isEnabled();
            dialog.reject();
        });
        QueryDatabaseLogin(QStringLiteral("db.fdb"), user, password, true);
        QVERIFY(!enabled);
    }
};

} // namespace velkor

QTEST_MAIN(velkor::DbLoginDialogTest)
#include "login_dialog_test.moc"
