// The application's default error handler: the text it shows, its title, and that the program
// carries on.
#include "tests/support/error_box_recorder.h"
#include "ui/error_box.h"

#include <QtTest>

#include <stdexcept>

namespace velkor {

class ErrorBoxTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { SetApplicationTitle(QStringLiteral("Velkor control panel")); }

    void a_message_ending_after_the_full_stop_gets_one_data()
    {
        QTest::addColumn<QByteArray>("message");
        QTest::addColumn<QString>("shown");
        QTest::newRow("letter") << QByteArray("Transaction is not active")
                                << QStringLiteral("Transaction is not active.");
        QTest::newRow("digit") << QByteArray("Error 5") << QStringLiteral("Error 5.");
        QTest::newRow("full stop") << QByteArray("Done.") << QStringLiteral("Done.");
        QTest::newRow("exclamation mark") << QByteArray("Stop!") << QStringLiteral("Stop!");
        QTest::newRow("closing parenthesis") << QByteArray("(none)") << QStringLiteral("(none)");
        QTest::newRow("blank") << QByteArray("Trailing ") << QStringLiteral("Trailing ");
        QTest::newRow("empty") << QByteArray() << QString();
        // WIN1251 "Ошибка": the text is the connection's, and a Cyrillic letter sorts after ".".
        QTest::newRow("cyrillic") << QByteArray("\xCE\xF8\xE8\xE1\xEA\xE0")
                                  << QStringLiteral("Ошибка.");
    }
    void a_message_ending_after_the_full_stop_gets_one()
    {
        QFETCH(QByteArray, message);
        QFETCH(QString, shown);
        QCOMPARE(ErrorBoxText(message.toStdString()), shown);
    }

    void an_exception_leaving_a_handler_is_shown_and_the_program_goes_on()
    {
        test::TErrorBoxRecorder boxes;
        bool after = false;
        RunHandler(nullptr, [] { throw std::runtime_error("Cannot perform operation"); });
        RunHandler(nullptr, [&after] { after = true; });
        QVERIFY(after);
        QCOMPARE(boxes.texts, QStringList{QStringLiteral("Cannot perform operation.")});
        QCOMPARE(boxes.titles, QStringList{QStringLiteral("Velkor control panel")});
    }

    void a_handler_that_succeeds_shows_nothing()
    {
        test::TErrorBoxRecorder boxes;
        RunHandler(nullptr, [] {});
        QVERIFY(boxes.texts.isEmpty());
    }

    void an_error_while_a_box_is_up_is_logged_not_stacked()
    {
        QStringList texts;
        test::TErrorBoxRecorder boxes;
        // The recorder stands for the box; inside it, as a refresh tick would, fail again.
        const TErrorBoxHook recorder = SetErrorBoxHook({});
        SetErrorBoxHook([&](QWidget *parent, const QString &title, const QString &text) {
            texts << text;
            recorder(parent, title, text);
            QTest::ignoreMessage(QtWarningMsg, "Second failure.");
            ShowErrorBox(nullptr, "Second failure");
        });
        QTest::ignoreMessage(QtWarningMsg, "First failure.");
        ShowErrorBox(nullptr, "First failure");
        QCOMPARE(texts, QStringList{QStringLiteral("First failure.")});
        QCOMPARE(boxes.texts, QStringList{QStringLiteral("First failure.")});
        SetErrorBoxHook(recorder);
    }

    void the_real_box_comes_back_when_the_recorder_goes()
    {
        {
            test::TErrorBoxRecorder boxes;
        }
        const TErrorBoxHook left = SetErrorBoxHook({});
        QVERIFY(!left);
    }
};

} // namespace velkor

QTEST_MAIN(velkor::ErrorBoxTest)
#include "error_box_test.moc"
