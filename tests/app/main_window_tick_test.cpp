// What one refresh tick paints: the grid once, and the scroll bar, and the window under it, only
// when the bar has something new to show.
#include "app/main_velkorcontrol_window.h"
#include "dataset/numeric_fields.h"
#include "db/dataset/ib_custom_dataset.h"
#include "tests/support/raw_sql.h"
#include "tests/support/test_database.h"
#include "ui/grid/db_grid_columns.h"
#include "ui/grid/rx_db_grid.h"

#include <QScrollBar>
#include <QTimer>
#include <QtTest>

#include <map>

namespace velkor {

namespace {

// Counts the paint events of the widgets it watches.
class TPaintCounter : public QObject
{
public:
    void Watch(QWidget *widget) { widget->installEventFilter(this); }
    std::map<QObject *, int> paints;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints[watched];
        return false;
    }
};

// Runs everything the event loop has queued, the paints too.
void Settle()
{
    for (int i = 0; i < 5; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
}

} // namespace

class MainWindowTickTest : public QObject
{
    Q_OBJECT

private slots:
    void a_tick_paints_the_grid_once_and_the_bar_only_when_it_moves()
    {
        test::TTestDatabase file;
        test::TScriptedLogin login("SYSDBA", "");
        TMainVelkorcontrolWindow window;
        window.RefreshTimer->stop();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.ConnectDatabase(QString::fromStdString(file.Path()));
        TRxDBGrid &grid = *window.MainGrid;
        window.RefreshTimerTimer();
        // The third row, so that the bar's thumb stands between its ends.
        grid.setFocus();
        QTest::keyClick(&grid, Qt::Key_Down);
        QTest::keyClick(&grid, Qt::Key_Down);
        QCOMPARE(window.ProceduresListPROC_ID->AsInteger(), 3);
        window.RefreshTimerTimer();
        Settle();
        QScrollBar *bar = grid.verticalScrollBar();
        const int value = bar->value();

        TPaintCounter counter;
        counter.Watch(grid.viewport());
        counter.Watch(bar);
        counter.Watch(&window);
        for (int tick = 0; tick < 3; ++tick) {
            window.RefreshTimerTimer();
            Settle();
        }
        QCOMPARE(window.ProceduresListPROC_ID->AsInteger(), 3);
        QCOMPARE(bar->value(), value);
        QCOMPARE(counter.paints[grid.viewport()], 3);
        // The thumb went to the top on open and back on locate, and never showed there.
        QCOMPARE(counter.paints[bar], 0);
        QCOMPARE(counter.paints[&window], 0);

        // A bar that does move paints, in the same pass as the grid.
        QTest::keyClick(&grid, Qt::Key_Home, Qt::ControlModifier);
        QCOMPARE(window.ProceduresListPROC_ID->AsInteger(), 1);
        QVERIFY(bar->value() != value);
        Settle();
        QCOMPARE(counter.paints[bar], 1);
    }

    void a_column_measures_its_default_width_again_when_the_font_changes()
    {
        test::TTestDatabase file;
        test::TScriptedLogin login("SYSDBA", "");
        TMainVelkorcontrolWindow window;
        window.RefreshTimer->stop();
        window.ConnectDatabase(QString::fromStdString(file.Path()));
        window.RefreshTimerTimer();
        TRxDBGrid &grid = *window.MainGrid;
        const int before = grid.Columns()[0].Width();
        QCOMPARE(grid.ColWidths(1), before);
        QFont larger = grid.font();
        larger.setPixelSize(2 * QFontMetrics(larger).height());
        grid.setFont(larger);
        const int after = grid.Columns()[0].Width();
        QVERIFY2(after > before, qPrintable(QStringLiteral("%1 -> %2").arg(before).arg(after)));
        QCOMPARE(grid.ColWidths(1), after);
        window.RefreshTimerTimer();
        QCOMPARE(grid.ColWidths(1), after);
    }
};

} // namespace velkor

QTEST_MAIN(velkor::MainWindowTickTest)
#include "main_window_tick_test.moc"
