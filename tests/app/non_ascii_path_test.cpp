// A database whose path has Cyrillic letters, a local file and the same file on the private
// server, through the real main window and its dialogs: it opens, the path is remembered and
// offered again as typed, and an error box naming such a path shows it as typed.
#include "app/ib_login_dialog.h"
#include "app/login_dialog.h"
#include "app/main_velkorcontrol_window.h"
#include "app/platform_bindings.h"
#include "dataset/numeric_fields.h"
#include "db/connection/ib_database.h"
#include "tests/support/modal_script.h"
#include "tests/support/other_session.h"
#include "tests/support/temporary_registry.h"
#include "tests/support/test_database.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include <filesystem>
#include <memory>

namespace velkor {

namespace {

constexpr char kSection[] = "\\/SOFTWARE/Trelvan\\ControlPanel";

// Replaces what `edit` holds by typing `text`, letters beyond ASCII as a Russian keyboard
// layout gives them (key events that carry the letter, as test::TypeInto's cannot).
void TypeText(QLineEdit *edit, const QString &text)
{
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    for (const QChar letter : text) {
        QTest::sendKeyEvent(QTest::Press, edit, Qt::Key_unknown, QString(letter), Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, edit, Qt::Key_unknown, QString(letter), Qt::NoModifier);
    }
}

} // namespace

class NonAsciiPathTest : public QObject
{
    Q_OBJECT

    // Connect through both dialogs with `path` typed; returns what the connection dialog
    // offered and what the login dialog named.
    static void Connect(TMainVelkorcontrolWindow &window, test::TModalScript &script,
                        const QString &path, const QString &password, QString &offered,
                        QString &named)
    {
        script.Expect(QStringLiteral("Interbase Login"), [&](QWidget &w) {
            auto &dialog = static_cast<TIBLoginDialog &>(w);
            offered = dialog.DatabasePathEdit->text();
            TypeText(dialog.DatabasePathEdit, path);
            test::Click(dialog.Button1);
        });
        script.Expect(QStringLiteral("Database Login"), [&](QWidget &w) {
            auto &dialog = static_cast<TLoginDialog &>(w);
            named = dialog.DatabaseName->text();
            test::TypeInto(dialog.UserName, QStringLiteral("SYSDBA"));
            test::TypeInto(dialog.Password, password);
            test::Click(dialog.OKButton);
        });
        test::Click(window.Button5);
    }

private slots:
    void initTestCase() { InstallPlatformHooks(); }

    void a_path_with_cyrillic_letters_data()
    {
        QTest::addColumn<bool>("server");
        QTest::newRow("local file") << false;
        QTest::newRow("private server") << true;
    }

    void a_path_with_cyrillic_letters()
    {
        QFETCH(bool, server);
        const QByteArray port = qgetenv("VELKOR_TEST_SERVER_PORT");
        if (server && port.isEmpty())
            QSKIP("no test server: run ./test.sh");
        TemporaryConfigHome home;
        test::TTestDatabase made;
        test::TTempFolder folder;
        const std::filesystem::path bases =
            std::filesystem::path(folder.Path()) / std::filesystem::path(u8"базы");
        std::filesystem::create_directory(bases);
        const std::string file = (bases / std::filesystem::path(u8"демо.fdb")).string();
        std::filesystem::copy_file(made.Path(), file);
        const QString prefix =
            server ? QStringLiteral("localhost/%1:").arg(QString::fromUtf8(port)) : QString();
        const QString typed = prefix + QString::fromStdString(file);
        const QString password =
            server ? QString::fromUtf8(qgetenv("VELKOR_TEST_SERVER_PASSWORD")) : QString();
        test::TOtherSession other(typed.toStdString(), "SYSDBA", password.toStdString());

        test::TModalScript script;
        auto window = std::make_unique<TMainVelkorcontrolWindow>();
        window->RefreshTimer->stop();
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));

        // It opens, and the login dialog names it as typed.
        QString offered, named;
        Connect(*window, script, typed, password, offered, named);
        QVERIFY(script.Done());
        QCOMPARE(named, typed);
        QVERIFY(window->MainDatabase->Connected());
        QCOMPARE(other.OtherAttachments(), 1L);
        test::Click(window->Button1);
        QCOMPARE(window->ProceduresListPROC_ID->AsInteger(), 1);
        test::Click(window->Button6);
        QCOMPARE(other.OtherAttachments(), 0L);

        // It is remembered, and offered again unchanged, also by a new run of the window.
        QCOMPARE(QString::fromStdString(StoredString(kSection, "DatabasePathEdit_Text")), typed);
        window = std::make_unique<TMainVelkorcontrolWindow>();
        window->RefreshTimer->stop();
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        Connect(*window, script, typed, password, offered, named);
        QVERIFY(script.Done());
        QCOMPARE(offered, typed);
        QVERIFY(window->MainDatabase->Connected());
        test::Click(window->Button6);

        // A file that is not there: the box names the path as it was typed.
        const QString missing =
            prefix + QString::fromStdString(folder.Path()) + QStringLiteral("/базы/нет.fdb");
        Connect(*window, script, missing, password, offered, named);
        QVERIFY(script.Done());
        QCOMPARE(offered, typed);
        QVERIFY(!window->MainDatabase->Connected());
        QCOMPARE(script.boxes.size(), 1);
        QVERIFY2(script.boxes.front().contains(QStringLiteral("\"") + missing.mid(prefix.size()) +
                                               QStringLiteral("\"")),
                 qPrintable(script.boxes.front()));
        QCOMPARE(QString::fromStdString(StoredString(kSection, "DatabasePathEdit_Text")), missing);
        QCOMPARE(script.unexpected, QStringList());
    }
};

} // namespace velkor

QTEST_MAIN(velkor::NonAsciiPathTest)
#include "non_ascii_path_test.moc"
