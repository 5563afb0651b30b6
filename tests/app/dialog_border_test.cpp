// The four dialogs with a dialog border under a real window manager (openbox on a private X
// display, see dialog_border_test.sh): a fixed frame that cannot be resized or maximised, and a
// dialog that the window manager minimises comes back at once, with the window it blocks.
#include "app/about_window.h"
#include "app/ib_login_dialog.h"
#include "app/login_dialog.h"
#include "app/select_priority_window.h"
#include "tests/support/temporary_registry.h"

#include <QProcess>
#include <QtTest>

#include <functional>
#include <memory>

namespace velkor {

namespace {

QString Run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(10000))
        return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

QString Property(const QWidget &window, const char *name)
{
    return Run(QStringLiteral("xprop"),
               {QStringLiteral("-id"), QString::number(window.winId()), QString::fromLatin1(name)});
}

// What the window manager lets the operator do with the window, once it manages it.
QString AllowedActions(const QWidget &window)
{
    QString actions;
    (void)QTest::qWaitFor(
        [&] {
            actions = Property(window, "_NET_WM_ALLOWED_ACTIONS");
            return actions.contains(QStringLiteral("_NET_WM_ACTION_CLOSE"));
        },
        5000);
    return actions;
}

bool Iconic(const QWidget &window)
{
    return Property(window, "WM_STATE").contains(QStringLiteral("Iconic"));
}

} // namespace

class DialogBorderTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<TemporaryConfigHome> home_;
    std::unique_ptr<QWidget> owner_;

private slots:
    void init()
    {
        home_ = std::make_unique<TemporaryConfigHome>();
        owner_ = std::make_unique<QWidget>();
        owner_->setWindowTitle(QStringLiteral("Velkor control panel"));
        owner_->setFixedSize(660, 312);
        owner_->show();
        QVERIFY(QTest::qWaitForWindowExposed(owner_.get()));
    }
    void cleanup()
    {
        owner_.reset();
        home_.reset();
    }

    void a_dialog_border_is_fixed_and_stays_up_data()
    {
        QTest::addColumn<QString>("title");
        QTest::newRow("priority") << QStringLiteral("Select priority");
        QTest::newRow("About") << QStringLiteral("About");
        QTest::newRow("connection") << QStringLiteral("Interbase Login");
        QTest::newRow("login") << QStringLiteral("Database Login");
    }
    void a_dialog_border_is_fixed_and_stays_up()
    {
        QFETCH(QString, title);
        std::unique_ptr<QDialog> dialog;
        if (title == QStringLiteral("Select priority"))
            dialog = std::make_unique<TSelectPriorityWindow>(owner_.get());
        else if (title == QStringLiteral("About"))
            dialog = std::make_unique<TAboutWindow>(owner_.get());
        else if (title == QStringLiteral("Interbase Login"))
            dialog = std::make_unique<TIBLoginDialog>(owner_.get());
        else
            dialog = std::make_unique<TLoginDialog>();
        QCOMPARE(dialog->windowTitle(), title);
        dialog->setWindowModality(Qt::ApplicationModal);
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));

        const QString actions = AllowedActions(*dialog);
        QVERIFY2(actions.contains(QStringLiteral("_NET_WM_ACTION_MOVE")), qPrintable(actions));
        QVERIFY2(!actions.contains(QStringLiteral("_NET_WM_ACTION_RESIZE")), qPrintable(actions));
        QVERIFY2(!actions.contains(QStringLiteral("_NET_WM_ACTION_MAXIMIZE")), qPrintable(actions));

        // The window manager's minimise button, or its menu, or a key.
        Run(QStringLiteral("xdotool"),
            {QStringLiteral("windowminimize"), QString::number(dialog->winId())});
        QTest::qWait(500);
        QTRY_VERIFY_WITH_TIMEOUT(!Iconic(*dialog), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(!dialog->isMinimized() && dialog->isVisible(), 5000);
        QTRY_VERIFY_WITH_TIMEOUT(!Iconic(*owner_), 5000);
        QVERIFY(!owner_->isMinimized());
        QCOMPARE(dialog->size(), dialog->minimumSize());
        QCOMPARE(dialog->minimumSize(), dialog->maximumSize());
    }
};

} // namespace velkor

QTEST_MAIN(velkor::DialogBorderTest)
#include "dialog_border_test.moc"
