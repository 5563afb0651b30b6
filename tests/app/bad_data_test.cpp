// Odd data in SL_PROC_STATE, through the real main window ticking: nulls, extreme numbers,
// names at and past their length, a missing or too wide column, an empty list and one that
// empties and refills. Each shows correctly or gives its one error text; the panel never
// crashes and never gets stuck (Disconnect and Connect work after every fault).
#include "app/main_velkorcontrol_window.h"
#include "app/select_priority_window.h"
#include "dataset/numeric_fields.h"
#include "db/connection/ib_database.h"
#include "db/connection/ib_transaction.h"
#include "db/dataset/ib_custom_dataset.h"
#include "db/dataset/ib_dataset.h"
#include "tests/support/error_box_recorder.h"
#include "tests/support/grid_text.h"
#include "tests/support/modal_script.h"
#include "tests/support/other_session.h"
#include "tests/support/raw_sql.h"
#include "tests/support/test_database.h"
#include "ui/grid/rx_db_grid.h"
#include "ui/spin/rx_spin_edit.h"

#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

#include <cstdlib>
#include <memory>

namespace velkor {

namespace {

constexpr int kTickMs = 50;

// The demo database with SL_PROC_STATE replaced by a table made by `definition` and filled by
// `rows` (isql text), and STOP_PROC recording what it is sent.
std::unique_ptr<test::TTestDatabase> OddDatabase(const std::string &definition,
                                                 const std::string &rows)
{
    auto file = std::make_unique<test::TTestDatabase>(test::TTestDatabase::TContent::empty);
    const std::string output = test::RunIsql(
        file->Path(),
        "DROP VIEW SL_PROC_STATE; COMMIT;\n"
        "CREATE TABLE SL_PROC_STATE (" +
            definition +
            ");\n"
            "CREATE TABLE STOP_LOG (N INTEGER, PROC_ID INTEGER);\n"
            "COMMIT;\n"
            "SET TERM ^ ;\n"
            "ALTER PROCEDURE STOP_PROC (PROC_ID INTEGER) RETURNS (RESULT INTEGER) AS\n"
            "BEGIN IN AUTONOMOUS TRANSACTION DO BEGIN\n"
            "  INSERT INTO STOP_LOG SELECT COUNT(*) + 1, :PROC_ID FROM STOP_LOG;\n"
            "  RESULT = 1; END END^\n"
            "SET TERM ; ^\n" +
            rows + "\nCOMMIT;\n");
    if (output.find("Statement failed") != std::string::npos ||
        output.find("error") != std::string::npos)
        qWarning("isql: %s", output.c_str());
    return file;
}

const std::string kFiveColumns = "PROC_ID INTEGER, PROC_NAME VARCHAR(100), PROC_PRIORITY INTEGER, "
                                 "PROC_AGE_MS INTEGER, PROC_AGE_DAYS INTEGER";

QStringList RowTexts(TRxDBGrid &grid, int row)
{
    QStringList texts;
    for (int column = 0; column < 5; ++column)
        texts << test::GridText(grid, column, row);
    return texts;
}

} // namespace

class BadDataTest : public QObject
{
    Q_OBJECT

    // The window connected to `path`, ticking fast, its error boxes recorded.
    struct TPanel
    {
        explicit TPanel(const std::string &path)
        {
            window.RefreshTimer->setInterval(kTickMs);
            window.show();
            window.ConnectDatabase(QString::fromStdString(path));
        }
        bool WaitTicks(int count)
        {
            QSignalSpy ticks(window.RefreshTimer, &QTimer::timeout);
            return QTest::qWaitFor([&] { return ticks.count() >= count; }, 100 * kTickMs * count);
        }
        // The ids STOP_PROC was sent, in order, as the database recorded them.
        QStringList Stopped()
        {
            // The panel's own snapshot cannot see what the procedure logged since it began.
            test::TOtherSession server(window.MainDatabase->DatabaseName(), "SYSDBA", "");
            QStringList ids;
            const long count = server.Query("SELECT COUNT(*) FROM STOP_LOG");
            for (long n = 1; n <= count; ++n)
                ids << QString::number(server.Query(
                    "SELECT COALESCE(PROC_ID, -999) FROM STOP_LOG WHERE N = " + std::to_string(n)));
            return ids;
        }

        test::TScriptedLogin login{"SYSDBA", ""};
        test::TErrorBoxRecorder boxes;
        TMainVelkorcontrolWindow window;
        TRxDBGrid &grid = *window.MainGrid;
    };

    // After a fault the panel still disconnects and connects to a sound database.
    static void StillUsable(TPanel &panel)
    {
        test::TTestDatabase sound;
        test::Click(panel.window.Button6);
        QVERIFY(!panel.window.MainDatabase->Connected());
        QVERIFY(!panel.window.Button1->isEnabled());
        panel.window.ConnectDatabase(QString::fromStdString(sound.Path()));
        QVERIFY(panel.WaitTicks(1));
        QTRY_COMPARE(test::GridText(panel.grid, 0, 1), QStringLiteral("1"));
        test::Click(panel.window.Button6);
    }

private slots:
    void nulls_in_every_column_show_as_empty_cells()
    {
        const auto file =
            OddDatabase(kFiveColumns, "INSERT INTO SL_PROC_STATE VALUES (7, 'seven', 1, 2, 3);\n"
                                      "INSERT INTO SL_PROC_STATE VALUES (NULL, NULL, NULL, NULL, "
                                      "NULL);");
        TPanel panel(file->Path());
        QVERIFY(panel.WaitTicks(1));
        QTRY_COMPARE(test::GridFilledRows(panel.grid), 2);
        QCOMPARE(RowTexts(panel.grid, 1), QStringList({"7", "seven", "1", "2", "3"}));
        QCOMPARE(RowTexts(panel.grid, 2), QStringList({"", "", "", "", ""}));

        // The null row reads as 0: Stop sends 0 and the priority dialog offers 0.
        panel.grid.setFocus();
        QTest::keyClick(&panel.grid, Qt::Key_Down);
        QCOMPARE(panel.grid.Row(), 2);
        test::Click(panel.window.Button2);
        QCOMPARE(panel.Stopped(), QStringList({"0"}));
        test::TModalScript script;
        QString offered;
        script.Expect(QStringLiteral("Select priority"), [&](QWidget &w) {
            auto &dialog = static_cast<TSelectPriorityWindow &>(w);
            offered = dialog.PriorityValue->text();
            test::Click(dialog.Button1);
        });
        QTest::keyClick(&panel.grid, Qt::Key_Down);
        test::Click(panel.window.Button3);
        QVERIFY(script.Done());
        QCOMPARE(offered, QStringLiteral("0"));
        QVERIFY(panel.WaitTicks(3));
        QCOMPARE(panel.boxes.texts, QStringList());
        StillUsable(panel);
    }

    void extreme_integers_show_exactly_and_are_sent_exactly()
    {
        const auto file = OddDatabase(
            kFiveColumns,
            "INSERT INTO SL_PROC_STATE VALUES (-2147483648, 'min', -2147483648, -1, 0);\n"
            "INSERT INTO SL_PROC_STATE VALUES (2147483647, 'max', 2147483647, 2147483647, "
            "2147483647);\n"
            "INSERT INTO SL_PROC_STATE VALUES (0, 'zero', 0, 0, 0);");
        TPanel panel(file->Path());
        QVERIFY(panel.WaitTicks(1));
        QTRY_COMPARE(test::GridFilledRows(panel.grid), 3);
        QCOMPARE(RowTexts(panel.grid, 1),
                 QStringList({"-2147483648", "min", "-2147483648", "-1", "0"}));
        QCOMPARE(RowTexts(panel.grid, 2),
                 QStringList({"2147483647", "max", "2147483647", "2147483647", "2147483647"}));

        // The first tick keeps "row 0" of the closed list: here a real process 0.
        QCOMPARE(panel.grid.Row(), 3);
        // The extreme identifiers are found again at every tick and sent whole.
        panel.grid.setFocus();
        QTest::keyClick(&panel.grid, Qt::Key_Up);
        QCOMPARE(panel.window.ProceduresListPROC_ID->AsInteger(), 2147483647);
        QVERIFY(panel.WaitTicks(3));
        QCOMPARE(panel.grid.Row(), 2);
        test::Click(panel.window.Button2);
        QTest::keyClick(&panel.grid, Qt::Key_Up);
        QCOMPARE(panel.window.ProceduresListPROC_ID->AsInteger(), -2147483647 - 1);
        QVERIFY(panel.WaitTicks(3));
        QCOMPARE(panel.grid.Row(), 1);
        test::Click(panel.window.Button2);
        QCOMPARE(panel.Stopped(), QStringList({"2147483647", "-2147483648"}));
        QCOMPARE(panel.boxes.texts, QStringList());
    }

    void cyrillic_names_of_exactly_a_hundred_characters_show_whole()
    {
        const QString hundred = QStringLiteral("Процесс ") + QString(92, QChar(0x0416)); // Ж
        QCOMPARE(hundred.size(), 100);
        const QString cut = QStringLiteral("ёЁ№") + QString(97, QChar(0x044F)); // я
        const auto file = OddDatabase(
            "PROC_ID INTEGER, PROC_NAME VARCHAR(100) CHARACTER SET WIN1251, PROC_PRIORITY "
            "INTEGER, PROC_AGE_MS INTEGER, PROC_AGE_DAYS INTEGER",
            "INSERT INTO SL_PROC_STATE VALUES (1, '" + hundred.toStdString() + "', 0, 0, 0);\n" +
                "INSERT INTO SL_PROC_STATE VALUES (2, '" + cut.toStdString() + "', 0, 0, 0);");
        TPanel panel(file->Path());
        QVERIFY(panel.WaitTicks(1));
        QTRY_COMPARE(test::GridFilledRows(panel.grid), 2);
        QCOMPARE(test::GridText(panel.grid, 1, 1), hundred);
        QCOMPARE(test::GridText(panel.grid, 1, 2), cut);
        QCOMPARE(panel.boxes.texts, QStringList());
    }

    void a_name_column_wider_than_the_field_shows_its_first_hundred_characters()
    {
        const QString longName = QString(60, QChar(0x0444)) + QString(90, QLatin1Char('x'));
        const QString fixedName = QStringLiteral("fixed");
        const auto file = OddDatabase(
            "PROC_ID INTEGER, PROC_NAME VARCHAR(250), PROC_PRIORITY INTEGER, PROC_AGE_MS "
            "INTEGER, PROC_AGE_DAYS INTEGER",
            "INSERT INTO SL_PROC_STATE VALUES (1, '" + longName.toStdString() + "', 0, 0, 0);\n" +
                "INSERT INTO SL_PROC_STATE VALUES (2, 'short', 5, 0, 0);\n" +
                "INSERT INTO SL_PROC_STATE VALUES (3, '" + std::string(250, 'w') + "', 6, 0, 0);");
        TPanel panel(file->Path());
        QVERIFY(panel.WaitTicks(1));
        QTRY_COMPARE(test::GridFilledRows(panel.grid), 3);
        QCOMPARE(RowTexts(panel.grid, 1), QStringList({"1", longName.left(100), "0", "0", "0"}));
        QCOMPARE(RowTexts(panel.grid, 2), QStringList({"2", "short", "5", "0", "0"}));
        QCOMPARE(RowTexts(panel.grid, 3),
                 QStringList({"3", QString(100, QLatin1Char('w')), "6", "0", "0"}));
        QCOMPARE(panel.boxes.texts, QStringList());
    }

    void a_missing_column_gives_its_one_text_and_the_panel_goes_on()
    {
        QFETCH(QString, definition);
        QFETCH(QString, message);
        const auto file = OddDatabase(definition.toStdString(), "");
        TPanel panel(file->Path());
        QVERIFY(panel.WaitTicks(3));
        QVERIFY(!panel.window.ProceduresList->Active());
        QCOMPARE(test::GridFilledRows(panel.grid), 0);
        QVERIFY(panel.boxes.texts.size() >= 3); // every tick says it, none is stuck
        panel.boxes.texts.removeDuplicates();
        QCOMPARE(panel.boxes.texts, QStringList({message}));
        StillUsable(panel);
    }
    void a_missing_column_gives_its_one_text_and_the_panel_goes_on_data()
    {
        QTest::addColumn<QString>("definition");
        QTest::addColumn<QString>("message");
        QTest::newRow("no PROC_AGE_DAYS")
            << "PROC_ID INTEGER, PROC_NAME VARCHAR(100), PROC_PRIORITY INTEGER, PROC_AGE_MS "
               "INTEGER"
            << "ProceduresList: Field 'Age, days' not found.";
        QTest::newRow("no PROC_ID")
            << "PROC_NAME VARCHAR(100), PROC_PRIORITY INTEGER, PROC_AGE_MS INTEGER, "
               "PROC_AGE_DAYS INTEGER"
            << "ProceduresList: Field 'ProcID' not found.";
        QTest::newRow("PROC_NAME a number")
            << "PROC_ID INTEGER, PROC_NAME INTEGER, PROC_PRIORITY INTEGER, PROC_AGE_MS "
               "INTEGER, PROC_AGE_DAYS INTEGER"
            << "ProceduresList: Type mismatch for field 'Procedure name', expecting: String "
               "actual: Integer.";
    }

    void a_64_bit_identifier_is_refused_with_the_type_mismatch()
    {
        // A 64-bit column needs a dialect 3 database; the panel's dialect 1 connection sees it.
        test::TTempFolder folder;
        const std::string path = folder.Path() + "/wide.fdb";
        const std::string output = test::RunIsql(
            "", "SET SQL DIALECT 3;\nCREATE DATABASE '" + path +
                    "' USER 'SYSDBA' DEFAULT CHARACTER SET WIN1251;\n"
                    "CREATE TABLE SL_PROC_STATE (PROC_ID BIGINT, PROC_NAME VARCHAR(100), "
                    "PROC_PRIORITY INTEGER, PROC_AGE_MS INTEGER, PROC_AGE_DAYS INTEGER);\n"
                    "INSERT INTO SL_PROC_STATE VALUES (5000000000, 'wide', 0, 0, 0);\nCOMMIT;");
        TPanel panel(path);
        QVERIFY2(panel.WaitTicks(2), output.c_str());
        QVERIFY(!panel.window.ProceduresList->Active());
        QVERIFY(!panel.boxes.texts.isEmpty());
        panel.boxes.texts.removeDuplicates();
        QCOMPARE(panel.boxes.texts,
                 QStringList({"ProceduresList: Type mismatch for field 'ProcID', expecting: "
                              "Integer actual: LargeInt."}));
        StillUsable(panel);
    }

    void an_empty_list_shows_no_rows_and_stop_sends_zero()
    {
        const auto file = OddDatabase(kFiveColumns, "");
        TPanel panel(file->Path());
        QVERIFY(panel.WaitTicks(3));
        QVERIFY(panel.window.ProceduresList->Active());
        QCOMPARE(test::GridFilledRows(panel.grid), 0);
        test::Click(panel.window.Button2);
        test::Click(panel.window.Button1);
        QCOMPARE(panel.boxes.texts, QStringList());
        QCOMPARE(panel.Stopped(), QStringList({"0"}));
        QCOMPARE(panel.boxes.texts, QStringList());
    }

    void a_list_that_empties_and_refills_between_ticks_follows_it()
    {
        test::TTestDatabase file;
        TPanel panel(file.Path());
        QVERIFY(panel.WaitTicks(1));
        QTRY_COMPARE(test::GridText(panel.grid, 0, 1), QStringLiteral("1"));
        panel.grid.setFocus();
        QTest::keyClick(&panel.grid, Qt::Key_PageDown);
        const QString chosen = test::GridText(panel.grid, 0, panel.grid.Row());
        QVERIFY(chosen.toInt() > 1);

        test::ExecuteElsewhere(file.Path(),
                               "UPDATE VELKOR_PROCESS SET STOPPED_AT = CURRENT_TIMESTAMP");
        QVERIFY(panel.WaitTicks(2));
        QCOMPARE(test::GridFilledRows(panel.grid), 0);
        QCOMPARE(panel.window.ProceduresListPROC_ID->AsInteger(), 0);

        test::ExecuteElsewhere(file.Path(), "UPDATE VELKOR_PROCESS SET STOPPED_AT = NULL");
        QVERIFY(panel.WaitTicks(2));
        QCOMPARE(test::GridFilledRows(panel.grid), panel.grid.VisibleRowCount());
        QCOMPARE(test::GridText(panel.grid, 0, 1), QStringLiteral("1"));
        QCOMPARE(panel.grid.Row(), 1); // the chosen row went with the empty list
        QCOMPARE(panel.boxes.texts, QStringList());
    }
};

} // namespace velkor

QTEST_MAIN(velkor::BadDataTest)
#include "bad_data_test.moc"
