// The main window's grid under the operator's mouse: its two scroll bars, the wheel over the
// vertical one, and a double click on a cell, against a throwaway database.
#include "app/main_velkorcontrol_window.h"
#include "dataset/numeric_fields.h"
#include "db/dataset/ib_dataset.h"
#include "tests/support/raw_sql.h"
#include "tests/support/test_database.h"
#include "ui/grid/inplace_edit.h"
#include "ui/grid/rx_db_grid.h"

#include <QPushButton>
#include <QScrollBar>
#include <QtTest>

#include <memory>

namespace velkor {

class MainWindowGridTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<test::TTestDatabase> file_;
    std::unique_ptr<test::TScriptedLogin> login_;
    std::unique_ptr<TMainVelkorcontrolWindow> window_;

    [[nodiscard]] TRxDBGrid &Grid() const { return *window_->MainGrid; }
    [[nodiscard]] TIBDataSet &List() const { return *window_->ProceduresList; }

    // Record rows that fit under the titles when no horizontal bar takes room from them.
    [[nodiscard]] int RowsWithoutBar() const
    {
        const TRxDBGrid &grid = Grid();
        const int titles = grid.RowHeights(0) + grid.GridLineWidth();
        return (grid.contentsRect().height() - titles) / grid.RowPitch();
    }

    [[nodiscard]] bool HorzBarShown() const { return Grid().horizontalScrollBar()->isVisible(); }

    // Lets the scroll area act on what the grid told its bars, as the event loop would.
    static void Settle() { QCoreApplication::processEvents(); }

    void Connect()
    {
        window_->ConnectDatabase(QString::fromStdString(file_->Path()));
        window_->RefreshTimerTimer();
        Settle();
    }

    void Disconnect()
    {
        QTest::mouseClick(window_->Button6, Qt::LeftButton);
        Settle();
    }

    // A point of the grid's viewport in the window's own coordinates, for events sent through
    // the window as the platform sends them.
    [[nodiscard]] QPoint InWindow(QPoint viewportPoint) const
    {
        return Grid().viewport()->mapTo(window_.get(), viewportPoint);
    }

    static void Wheel(QWidget *target, int delta)
    {
        const QPoint at = target->rect().center();
        QWheelEvent event(at, target->mapToGlobal(at), {}, QPoint(0, delta), Qt::NoButton, {},
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(target, &event);
    }

private slots:
    void initTestCase() { file_ = std::make_unique<test::TTestDatabase>(); }
    void cleanupTestCase() { file_.reset(); }

    void init()
    {
        login_ = std::make_unique<test::TScriptedLogin>("SYSDBA", "");
        window_ = std::make_unique<TMainVelkorcontrolWindow>();
        window_->RefreshTimer->stop(); // the ticks are run one by one here
        window_->show();
        window_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
        Settle();
    }

    void cleanup()
    {
        window_.reset();
        login_.reset();
    }

    // ---- the horizontal bar ----------------------------------------------------------------

    void the_horizontal_bar_shows_exactly_when_the_columns_do_not_fit()
    {
        TRxDBGrid &grid = Grid();
        const int rows = RowsWithoutBar();
        QVERIFY(rows > 5);

        // At start the columns fit: no bar, every row there is room for.
        QVERIFY(!HorzBarShown());
        QCOMPARE(grid.VisibleRowCount(), rows);
        Connect();
        QVERIFY(!HorzBarShown());
        QCOMPARE(grid.VisibleRowCount(), rows);
        QCOMPARE(grid.RowCount(), rows + 1);

        // The same after Disconnect and Connect.
        Disconnect();
        QVERIFY(!HorzBarShown());
        QCOMPARE(grid.VisibleRowCount(), rows);
        Connect();
        QVERIFY(!HorzBarShown());
        QCOMPARE(grid.VisibleRowCount(), rows);

        // A column widened past the viewport brings the bar, and the rows make room for it.
        grid.Columns()[1].SetWidth(grid.viewport()->width());
        Settle();
        QVERIFY(HorzBarShown());
        QVERIFY(grid.horizontalScrollBar()->maximum() > 0);
        QVERIFY(grid.VisibleRowCount() < rows);
        QCOMPARE(grid.DataLink().BufferCount(), grid.VisibleRowCount());
        // The bar reaches the last column.
        grid.horizontalScrollBar()->triggerAction(QAbstractSlider::SliderToMaximum);
        const QRect last = grid.CellRect(grid.ColCount() - 1, 0);
        QVERIFY(!last.isEmpty());
        QVERIFY(last.right() < grid.viewport()->width());
        grid.horizontalScrollBar()->triggerAction(QAbstractSlider::SliderToMinimum);
        QCOMPARE(grid.LeftCol(), grid.FixedCols());

        // Narrowed again, the bar goes and the rows come back; the next tick keeps it so.
        grid.Columns()[1].SetWidth(315);
        Settle();
        QVERIFY(!HorzBarShown());
        QCOMPARE(grid.VisibleRowCount(), rows);
        window_->RefreshTimerTimer();
        Settle();
        QVERIFY(!HorzBarShown());
        QCOMPARE(grid.RowCount(), rows + 1);
    }

    void the_horizontal_bar_is_the_same_at_every_start()
    {
        const int rows = RowsWithoutBar();
        QVERIFY(!HorzBarShown());
        QCOMPARE(Grid().VisibleRowCount(), rows);
        // A second window, built while the first one lives, starts the same way.
        TMainVelkorcontrolWindow second;
        second.RefreshTimer->stop();
        second.show();
        QVERIFY(QTest::qWaitForWindowExposed(&second));
        Settle();
        QVERIFY(!second.MainGrid->horizontalScrollBar()->isVisible());
        QCOMPARE(second.MainGrid->VisibleRowCount(), rows);
    }

    // ---- the vertical bar ------------------------------------------------------------------

    void a_wheel_notch_over_the_vertical_bar_moves_the_record()
    {
        TRxDBGrid &grid = Grid();
        Connect();
        QScrollBar *bar = grid.verticalScrollBar();
        QVERIFY(bar->isVisible());
        QCOMPARE(List().RecNo(), 1);
        QCOMPARE(bar->value(), 1);

        Wheel(bar, -120);
        QCOMPARE(List().RecNo(), 2);
        QCOMPARE(bar->value(), 2);
        Wheel(bar, -120);
        Wheel(bar, -120);
        QCOMPARE(List().RecNo(), 4);
        Wheel(bar, 120);
        QCOMPARE(List().RecNo(), 3);
        QCOMPARE(window_->ProceduresListPROC_ID->AsInteger(), 3);
        QCOMPARE(grid.Row(), 3);
        QCOMPARE(bar->value(), 3);

        // After a tick the list is read only as far as the record: the bar has five places,
        // and the record between the ends keeps the thumb in the middle.
        window_->RefreshTimerTimer();
        QCOMPARE(window_->ProceduresListPROC_ID->AsInteger(), 3);
        QCOMPARE(bar->maximum(), 4);
        QCOMPARE(bar->value(), 2);
        Wheel(bar, -120);
        QCOMPARE(window_->ProceduresListPROC_ID->AsInteger(), 4);
        QCOMPARE(bar->value(), 2);
        window_->RefreshTimerTimer();
        QCOMPARE(window_->ProceduresListPROC_ID->AsInteger(), 4);
        QCOMPARE(bar->value(), 2);
        // Read to the end, the bar counts records again and the thumb is on this one.
        QTest::keyClick(&grid, Qt::Key_End, Qt::ControlModifier);
        Wheel(bar, 120);
        QCOMPARE(List().RecNo(), List().RecordCount() - 1);
        QCOMPARE(bar->value(), List().RecNo());
    }

    void disconnect_leaves_the_vertical_bar_empty()
    {
        QScrollBar *bar = Grid().verticalScrollBar();
        const int startMin = bar->minimum();
        const int startMax = bar->maximum();
        QCOMPARE(startMin, startMax);

        Connect();
        QTest::keyClick(&Grid(), Qt::Key_PageDown);
        QVERIFY(bar->value() > 1);
        QVERIFY(bar->maximum() > bar->minimum());

        Disconnect();
        QCOMPARE(Grid().RowCount(), 2);
        QCOMPARE(bar->minimum(), startMin);
        QCOMPARE(bar->maximum(), startMax);
        QCOMPARE(bar->value(), startMin);

        // Connected again, the bar counts the records once more.
        Connect();
        QCOMPARE(bar->minimum(), 1);
        QCOMPARE(bar->maximum(), List().RecordCount());
        QCOMPARE(bar->value(), 1);
    }

    // ---- double click ----------------------------------------------------------------------

    void a_double_click_moves_to_the_cell_and_opens_no_editor()
    {
        TRxDBGrid &grid = Grid();
        Connect();
        int doubleClicks = 0;
        grid.OnDblClick = [&] { ++doubleClicks; };
        const QPoint cell = grid.CellRect(3, 5).center();
        QTest::mouseDClick(window_->windowHandle(), Qt::LeftButton, {}, InWindow(cell));
        QVERIFY(!grid.InplaceEditor() || !grid.InplaceEditor()->isVisible());
        QCOMPARE(doubleClicks, 1);
        QCOMPARE(List().RecNo(), 5);
        QCOMPARE(grid.SelectedIndex(), 2);
        QVERIFY(grid.hasFocus());

        // Another double click, on a cell of the same row: the same again.
        const QPoint next = grid.CellRect(4, 5).center();
        QTest::mouseDClick(window_->windowHandle(), Qt::LeftButton, {}, InWindow(next));
        QVERIFY(!grid.InplaceEditor() || !grid.InplaceEditor()->isVisible());
        QCOMPARE(doubleClicks, 2);
        QCOMPARE(List().RecNo(), 5);
        QCOMPARE(grid.SelectedIndex(), 3);

        // On the current cell the first press opens the editor, as a click there does; the
        // second lands on the editor, which reports the double click all the same.
        QTest::mouseDClick(window_->windowHandle(), Qt::LeftButton, {}, InWindow(next));
        QVERIFY(grid.InplaceEditor() && grid.InplaceEditor()->isVisible());
        QCOMPARE(doubleClicks, 3);
        QCOMPARE(List().RecNo(), 5);
    }

    void the_editor_keeps_the_columns_alignment_data()
    {
        QTest::addColumn<int>("col");
        QTest::addColumn<int>("alignment");
        QTest::newRow("integer") << 1 << int(Qt::AlignRight);
        QTest::newRow("name") << 2 << int(Qt::AlignLeft);
    }

    void the_editor_keeps_the_columns_alignment()
    {
        QFETCH(int, col);
        QFETCH(int, alignment);
        TRxDBGrid &grid = Grid();
        Connect();
        // Text and selection in colours of their own, so that the text reads apart from both
        // the cell and the editor's background.
        QPalette colors = grid.palette();
        const QColor ink(255, 255, 0);
        colors.setColor(QPalette::HighlightedText, ink);
        grid.setPalette(colors);

        const int row = 7;
        const QRect cell = grid.CellRect(col, row);
        QTest::mouseClick(window_->windowHandle(), Qt::LeftButton, {}, InWindow(cell.center()));
        QCOMPARE(grid.Col(), col);
        QVERIFY(!grid.InplaceEditor() || !grid.InplaceEditor()->isVisible());
        // Within the cell's focus rectangle, which the editor does not draw.
        const QRect inside = cell.adjusted(2, 2, -2, -2);
        const QImage drawn = grid.viewport()->grab(inside).toImage();

        // A click on the current cell opens the editor over it.
        QTest::mouseClick(window_->windowHandle(), Qt::LeftButton, {}, InWindow(cell.center()));
        TInplaceEdit *editor = grid.InplaceEditor();
        QVERIFY(editor && editor->isVisible());
        QCOMPARE(editor->alignment() & Qt::AlignHorizontal_Mask, Qt::Alignment(alignment));
        const QImage edited = grid.viewport()->grab(inside).toImage();

        // The text stays where the cell drew it, pixel for pixel. Its smoothed edges blend the
        // ink into the highlight; yellow stands out from both the blue highlight and the white.
        auto inkAt = [](const QImage &image) {
            QList<QPoint> points;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    if (const QColor c = image.pixelColor(x, y); c.blue() < 128 && c.red() > 128)
                        points << QPoint(x, y);
            return points;
        };
        const QList<QPoint> before = inkAt(drawn);
        QVERIFY(before.size() > 5);
        QCOMPARE(inkAt(edited), before);
    }
};

} // namespace velkor

QTEST_MAIN(velkor::MainWindowGridTest)
#include "main_window_grid_test.moc"
