// The data grid over a result set held in memory: how keys, mouse, wheel and dragged titles move
// the set, its columns and the editor.
#include "dataset/data_source.h"
#include "dataset/field.h"
#include "tests/support/grid_window.h"
#include "tests/support/memory_grid_fixture.h"
#include "tests/support/memory_panel_list.h"
#include "ui/grid/inplace_edit.h"
#include "ui/grid/rx_db_grid.h"

#include <QPushButton>
#include <QtTest>

#include <memory>

namespace velkor {

namespace {

void Press(QWidget *target, QPoint point, Qt::KeyboardModifiers modifiers = {})
{
    QTest::mousePress(target, Qt::LeftButton, modifiers, point);
    QTest::mouseRelease(target, Qt::LeftButton, modifiers, point);
}

void Send(QWidget *target, QEvent::Type type, QPoint point, Qt::MouseButtons buttons)
{
    QMouseEvent event(type, point, target->mapToGlobal(point),
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons, {});
    QApplication::sendEvent(target, &event);
}

} // namespace

using test::ShowActive;

class RxDBGridMovesTest : public QObject
{
    Q_OBJECT

    using TFixture = test::TMemoryGridFixture;

    std::unique_ptr<TFixture> f_;

private slots:
    void init() { f_ = std::make_unique<TFixture>(40); }

    void cleanup() { f_.reset(); }

    // ---- keys ------------------------------------------------------------------------------

    void keys_move_the_list_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("expected"); // record number; 0 for "the visible row count + 1"
        QTest::newRow("Down") << 1 << int(Qt::Key_Down) << 0 << 2;
        QTest::newRow("Up") << 5 << int(Qt::Key_Up) << 0 << 4;
        QTest::newRow("Up at the first") << 1 << int(Qt::Key_Up) << 0 << 1;
        QTest::newRow("Page Down") << 1 << int(Qt::Key_PageDown) << 0 << 0;
        QTest::newRow("Ctrl+End") << 1 << int(Qt::Key_End) << int(Qt::ControlModifier) << 40;
        QTest::newRow("Ctrl+Home") << 30 << int(Qt::Key_Home) << int(Qt::ControlModifier) << 1;
        QTest::newRow("Ctrl+Down") << 1 << int(Qt::Key_Down) << int(Qt::ControlModifier) << -1;
        QTest::newRow("Ctrl+Up") << 5 << int(Qt::Key_Up) << int(Qt::ControlModifier) << 1;
    }

    void keys_move_the_list()
    {
        QFETCH(int, start);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(int, expected);
        TRxDBGrid &grid = *f_->grid;
        TDataSet &list = f_->panel.list;
        ShowActive(*f_);
        list.Open();
        list.MoveBy(start - 1);
        QCOMPARE(list.RecNo(), start);
        grid.setFocus();
        QTest::keyClick(&grid, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        const int visible = grid.VisibleRowCount();
        if (expected == 0)
            expected = start + visible;
        if (expected == -1)
            expected = visible;
        QCOMPARE(list.RecNo(), expected);
        QCOMPARE(grid.Row(), 1 + grid.DataLink().ActiveRecord());
        QVERIFY(grid.RowCount() - 1 <= visible);
    }

    void down_at_the_last_record_appends_nothing()
    {
        TRxDBGrid &grid = *f_->grid;
        TDataSet &list = f_->panel.list;
        ShowActive(*f_);
        list.Open();
        grid.setFocus();
        QTest::keyClick(&grid, Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(list.RecordCount(), 40);
        QTest::keyClick(&grid, Qt::Key_Down);
        QCOMPARE(list.RecordCount(), 40);
        QCOMPARE(list.RecNo(), 40);
        QCOMPARE(list.State(), TDataSetState::dsBrowse);
        // Insert and Ctrl+Delete do nothing on the read-only list.
        QTest::keyClick(&grid, Qt::Key_Insert);
        QTest::keyClick(&grid, Qt::Key_Delete, Qt::ControlModifier);
        QCOMPARE(list.RecordCount(), 40);
        QCOMPARE(list.State(), TDataSetState::dsBrowse);
        QCOMPARE(f_->panel.procId.AsInteger(), 40);
    }

    void page_down_shifts_the_rows_by_a_screenful()
    {
        TRxDBGrid &grid = *f_->grid;
        TDataSet &list = f_->panel.list;
        ShowActive(*f_);
        list.Open();
        grid.setFocus();
        const int visible = grid.VisibleRowCount();
        QTest::keyClick(&grid, Qt::Key_PageDown);
        QCOMPARE(list.RecNo(), 1 + visible);
        // The window slid: the last row shown is the current one.
        QCOMPARE(grid.Row(), visible);
        QCOMPARE(grid.DataLink().ActiveRecord(), visible - 1);
        QTest::keyClick(&grid, Qt::Key_PageUp);
        QCOMPARE(list.RecNo(), 1);
        QCOMPARE(grid.Row(), 1);
    }

    void rows_shifted_on_screen_match_a_full_repaint_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("presses");
        QTest::newRow("Down past the bottom row") << int(Qt::Key_Down) << 20;
        QTest::newRow("Page Down") << int(Qt::Key_PageDown) << 2;
        QTest::newRow("Ctrl+End") << int(Qt::Key_End) << 1;
    }

    void rows_shifted_on_screen_match_a_full_repaint()
    {
        QFETCH(int, key);
        QFETCH(int, presses);
        TRxDBGrid &grid = *f_->grid;
        ShowActive(*f_);
        f_->panel.list.Open();
        grid.setFocus();
        const Qt::KeyboardModifiers modifiers =
            key == Qt::Key_End ? Qt::ControlModifier : Qt::NoModifier;
        for (int i = 0; i < presses; ++i) {
            QTest::keyClick(&grid, Qt::Key(key), modifiers);
            QCoreApplication::processEvents();
        }
        QTest::keyClick(&grid, Qt::Key_Up);
        QCoreApplication::processEvents();
        // What the window shows, shifted pixels and all, against the grid painted afresh.
        const QRect area(grid.viewport()->mapTo(&f_->window, QPoint(0, 0)),
                         grid.viewport()->size());
        const QImage shown = f_->window.screen()
                                 ->grabWindow(f_->window.winId())
                                 .toImage()
                                 .convertToFormat(QImage::Format_RGB32);
        QVERIFY(!shown.isNull());
        QCOMPARE(shown.copy(area), test::Viewport(grid));
    }

    void left_and_right_move_between_columns()
    {
        TRxDBGrid &grid = *f_->grid;
        ShowActive(*f_);
        f_->panel.list.Open();
        grid.setFocus();
        QTest::keyClick(&grid, Qt::Key_Left);
        QCOMPARE(grid.SelectedIndex(), 0);
        QTest::keyClick(&grid, Qt::Key_Right);
        QTest::keyClick(&grid, Qt::Key_Right);
        QCOMPARE(grid.SelectedIndex(), 2);
        QTest::keyClick(&grid, Qt::Key_End);
        QCOMPARE(grid.SelectedIndex(), 4);
        QTest::keyClick(&grid, Qt::Key_Home);
        QCOMPARE(grid.SelectedIndex(), 0);
        QCOMPARE(f_->panel.list.RecNo(), 1);
    }

    // ---- mouse, wheel, dragged titles ------------------------------------------------------

    void a_click_on_another_row_makes_it_current()
    {
        TRxDBGrid &grid = *f_->grid;
        ShowActive(*f_);
        f_->panel.list.Open();
        Press(grid.viewport(), test::CellCentre(grid, 3, 5));
        QVERIFY(grid.hasFocus());
        QCOMPARE(f_->panel.list.RecNo(), 5);
        QCOMPARE(grid.Row(), 5);
        QCOMPARE(grid.SelectedIndex(), 2);
        // The indicator column selects the record and keeps the column.
        Press(grid.viewport(), test::CellCentre(grid, 0, 2));
        QCOMPARE(f_->panel.list.RecNo(), 2);
        QCOMPARE(grid.SelectedIndex(), 2);
    }

    void the_editor_over_the_read_only_list_refuses_every_typed_character()
    {
        TRxDBGrid &grid = *f_->grid;
        ShowActive(*f_);
        f_->panel.list.Open();
        Press(grid.viewport(), test::CellCentre(grid, 2, 1));
        QVERIFY(!grid.InplaceEditor() || !grid.InplaceEditor()->isVisible());
        Press(grid.viewport(), test::CellCentre(grid, 2, 1));
        TInplaceEdit *editor = grid.InplaceEditor();
        QVERIFY(editor && editor->isVisible());
        QVERIFY(editor->hasFocus());
        QCOMPARE(editor->text(), QStringLiteral("scheduler"));
        QTest::keyClicks(editor, QStringLiteral("xyz 1"));
        QTest::keyClick(editor, Qt::Key_Backspace);
        QTest::keyClick(editor, Qt::Key_Delete);
        QTest::keyClick(editor, Qt::Key_V, Qt::ControlModifier);
        QTest::keyClick(editor, Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(editor->text(), QStringLiteral("scheduler"));
        // Navigation keys still reach the grid.
        QTest::keyClick(editor, Qt::Key_Down);
        QCOMPARE(f_->panel.list.RecNo(), 2);
        QTest::keyClick(&grid, Qt::Key_Escape);
        QVERIFY(!editor->isVisible());
    }

    void a_wheel_step_moves_by_exactly_one_record()
    {
        TRxDBGrid &grid = *f_->grid;
        ShowActive(*f_);
        f_->panel.list.Open();
        const QPoint at = test::CellCentre(grid, 2, 3);
        auto wheel = [&](int delta) {
            QWheelEvent event(at, grid.viewport()->mapToGlobal(at), {}, QPoint(0, delta),
                              Qt::NoButton, {}, Qt::NoScrollPhase, false);
            QApplication::sendEvent(grid.viewport(), &event);
        };
        wheel(-120);
        QCOMPARE(f_->panel.list.RecNo(), 2);
        wheel(-120);
        wheel(-120);
        QCOMPARE(f_->panel.list.RecNo(), 4);
        wheel(120);
        QCOMPARE(f_->panel.list.RecNo(), 3);
        // Half steps add up to one.
        wheel(-60);
        QCOMPARE(f_->panel.list.RecNo(), 3);
        wheel(-60);
        QCOMPARE(f_->panel.list.RecNo(), 4);
    }

    void a_dragged_column_width_and_place_stay_across_reopening()
    {
        TRxDBGrid &grid = *f_->grid;
        TDataSet &list = f_->panel.list;
        ShowActive(*f_);
        list.Open();
        const QRect name = grid.CellRect(2, 0);
        const int border = name.left() + name.width();
        QWidget *port = grid.viewport();
        Send(port, QEvent::MouseButtonPress, {border - 2, 5}, Qt::LeftButton);
        Send(port, QEvent::MouseMove, {border + 38, 5}, Qt::LeftButton);
        Send(port, QEvent::MouseButtonRelease, {border + 38, 5}, Qt::NoButton);
        QCOMPARE(grid.Columns()[1].Width(), 355);
        list.Close();
        list.Open();
        QCOMPARE(grid.ColWidths(2), 355);

        // A title dragged onto another moves the column object.
        const QPoint from = test::CellCentre(grid, 1, 0);
        const QPoint to = test::CellCentre(grid, 3, 0);
        Send(port, QEvent::MouseButtonPress, from, Qt::LeftButton);
        Send(port, QEvent::MouseMove, from + QPoint(20, 0), Qt::LeftButton);
        Send(port, QEvent::MouseButtonRelease, to, Qt::NoButton);
        QCOMPARE(QString::fromStdString(grid.Columns()[2].FieldName()), QStringLiteral("PROC_ID"));
        QCOMPARE(QString::fromStdString(grid.Columns()[0].FieldName()),
                 QStringLiteral("PROC_NAME"));
        QVERIFY(grid.DataLink().Fields(2) == &f_->panel.procId);
    }
};

} // namespace velkor

QTEST_MAIN(velkor::RxDBGridMovesTest)
#include "rx_db_grid_moves_test.moc"
