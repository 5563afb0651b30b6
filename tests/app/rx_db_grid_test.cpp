// The data grid over the panel's procedure list: what it paints, and how keys, mouse, wheel and
// the scroll bar move the list, against a throwaway database.
#include "dataset/data_source.h"
#include "dataset/numeric_fields.h"
#include "db/connection/ib_database.h"
#include "db/connection/ib_transaction.h"
#include "db/dataset/ib_custom_dataset.h"
#include "tests/support/panel_list.h"
#include "tests/support/raw_sql.h"
#include "tests/support/test_database.h"
#include "ui/grid/grid_indicators.h"
#include "ui/grid/inplace_edit.h"
#include "ui/grid/rx_db_grid.h"

#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QtTest>

#include <memory>

namespace velkor {

namespace {

// Without anti-aliasing every pixel is either ink or background.
QFont SolidFont()
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(11);
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

const QColor kBase(255, 255, 255);
const QColor kButton(212, 208, 200);
const QColor kHighlight(10, 36, 106);
const QColor kHighlightedText(255, 255, 255);
const QColor kText(0, 0, 0);

QPalette GridPalette()
{
    QPalette colors;
    colors.setColor(QPalette::Base, kBase);
    colors.setColor(QPalette::Button, kButton);
    colors.setColor(QPalette::Highlight, kHighlight);
    colors.setColor(QPalette::HighlightedText, kHighlightedText);
    colors.setColor(QPalette::Text, kText);
    colors.setColor(QPalette::WindowText, kText);
    colors.setColor(QPalette::Light, QColor(255, 255, 255));
    colors.setColor(QPalette::Dark, QColor(128, 128, 128));
    return colors;
}

// The five columns of the main window's grid.
void AddPanelColumns(TRxDBGrid &grid)
{
    for (const char *name :
         {"PROC_ID", "PROC_NAME", "PROC_PRIORITY", "PROC_AGE_MS", "PROC_AGE_DAYS"})
        grid.Columns().Add().SetFieldName(name);
    grid.Columns()[1].SetWidth(315);
}

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

class RxDBGridTest : public QObject
{
    Q_OBJECT

    // One window with the grid and a button to take the focus away.
    struct TFixture
    {
        explicit TFixture(const std::string &path)
        {
            test::WirePanelPair(database, transaction, path);
            database.SetLoginPrompt(false);
            database.Params().Add("user_name=SYSDBA");
            database.SetConnected(true);
            transaction.StartTransaction();
            source.SetDataSet(&panel.list);
            window.setFixedSize(660, 312);
            grid = new TRxDBGrid(&window);
            grid->setGeometry(0, 16, 660, 269);
            grid->setFont(SolidFont());
            grid->SetTitleFont(SolidFont());
            grid->setPalette(GridPalette());
            AddPanelColumns(*grid);
            grid->SetDataSource(&source);
            other = new QPushButton(QStringLiteral("Other"), &window);
            other->setGeometry(10, 287, 105, 25);
        }

        TComponent owner{nullptr};
        TIBDatabase &database = CreateOwned<TIBDatabase>(owner);
        TIBTransaction &transaction = CreateOwned<TIBTransaction>(owner);
        test::TPanelList panel{owner, database, transaction};
        TDataSource &source = CreateOwned<TDataSource>(owner);
        QWidget window;
        TRxDBGrid *grid = nullptr;
        QPushButton *other = nullptr;
    };

    // The centre of a cell, in viewport coordinates.
    static QPoint CellCentre(const TRxDBGrid &grid, int col, int row)
    {
        return grid.CellRect(col, row).center();
    }

    static QImage Viewport(TRxDBGrid &grid)
    {
        return grid.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }

    static bool HasInk(const QImage &image, const QRect &rect, const QColor &background)
    {
        const QRect shown = rect & image.rect();
        for (int y = shown.top(); y <= shown.bottom(); ++y)
            for (int x = shown.left(); x <= shown.right(); ++x)
                if (image.pixelColor(x, y) != background)
                    return true;
        return false;
    }

    void ShowActive(TFixture &f)
    {
        f.window.show();
        f.window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&f.window));
    }

    std::unique_ptr<test::TTestDatabase> samples_;
    std::unique_ptr<test::TScriptedLogin> login_;
    std::unique_ptr<TFixture> f_;

private slots:
    void initTestCase()
    {
        samples_ = std::make_unique<test::TTestDatabase>();
        login_ = std::make_unique<test::TScriptedLogin>("SYSDBA", "");
    }

    void init() { f_ = std::make_unique<TFixture>(samples_->Path()); }

    void cleanup() { f_.reset(); }

    void cleanupTestCase()
    {
        login_.reset();
        samples_.reset();
    }

    // ---- layout ----------------------------------------------------------------------------

    void columns_take_their_defaults_from_the_fields()
    {
        TRxDBGrid &grid = *f_->grid;
        QCOMPARE(grid.Options(), TRxDBGrid::kDefaultOptions);
        const char *titles[] = {"ProcID", "Procedure name", "Priority", "Age, ms", "Age, days"};
        for (int i = 0; i < 5; ++i)
            QCOMPARE(grid.Columns()[i].Title().Caption(), QString::fromLatin1(titles[i]));
        QCOMPARE(grid.Columns()[0].Alignment(), TAlignment::taRightJustify);
        QCOMPARE(grid.Columns()[1].Alignment(), TAlignment::taLeftJustify);
        QVERIFY(grid.Columns()[0].ReadOnly());
        const QFontMetrics metrics(SolidFont());
        const int integerWidth = 12 * metrics.horizontalAdvance(QLatin1Char('0')) + 4;
        QCOMPARE(grid.ColWidths(0), 11);
        QCOMPARE(grid.ColWidths(1), integerWidth);
        QCOMPARE(grid.ColWidths(2), 315);
        QCOMPARE(grid.ColWidths(3), integerWidth);
        QCOMPARE(grid.DefaultRowHeight(), metrics.height() + 3 + 1);
        QCOMPARE(grid.RowHeights(0), metrics.height() + 4);
    }

    void a_column_without_its_field_stays_empty_at_the_default_width()
    {
        TRxDBGrid &grid = *f_->grid;
        grid.Columns()[4].SetFieldName("NO_SUCH_COLUMN");
        f_->panel.list.Open();
        QCOMPARE(grid.ColWidths(5), 64);
        QCOMPARE(grid.Columns()[4].Title().Caption(), QStringLiteral("NO_SUCH_COLUMN"));
        QVERIFY(!grid.DataLink().Fields(4));
        QVERIFY(grid.DataLink().Fields(0) == &f_->panel.procId);
    }

    void the_grid_holds_exactly_the_rows_it_shows()
    {
        TRxDBGrid &grid = *f_->grid;
        ShowActive(*f_);
        f_->panel.list.Open();
        const int visible = grid.VisibleRowCount();
        QVERIFY(visible > 5);
        QCOMPARE(grid.DataLink().BufferCount(), visible);
        QCOMPARE(grid.RowCount(), visible + 1);
        QCOMPARE(f_->panel.list.RecordCount(), visible);

        // A larger font leaves room for fewer rows: the link's window shrinks with them.
        QFont larger = SolidFont();
        larger.setPixelSize(22);
        f_->window.setFont(larger);
        grid.setFont(larger);
        const int fewer = grid.VisibleRowCount();
        QVERIFY(fewer < visible);
        QCOMPARE(grid.DataLink().BufferCount(), fewer);
        QCOMPARE(grid.RowCount(), fewer + 1);
        QCOMPARE(f_->panel.list.BufferCount(), fewer);
    }

    void rows_height_sets_the_rows_and_a_title_two_pixels_taller()
    {
        TRxDBGrid &grid = *f_->grid;
        ShowActive(*f_);
        f_->panel.list.Open();
        const int before = grid.VisibleRowCount();
        grid.SetRowsHeight(30);
        QCOMPARE(grid.RowsHeight(), 30);
        QCOMPARE(grid.RowHeights(1), 30);
        QCOMPARE(grid.RowHeights(0), 32);
        QVERIFY(grid.VisibleRowCount() < before);
        QCOMPARE(grid.DataLink().BufferCount(), grid.VisibleRowCount());
    }

    // ---- painting --------------------------------------------------------------------------

    void the_closed_grid_shows_the_titles_and_one_empty_row()
    {
        TRxDBGrid &grid = *f_->grid;
        ShowActive(*f_);
        QCOMPARE(grid.RowCount(), 2);
        const QImage image = Viewport(grid);
        for (int col = 1; col <= 5; ++col) {
            const QRect title = grid.CellRect(col, 0).adjusted(2, 2, -2, -2);
            QVERIFY2(HasInk(image, title, kButton), qPrintable(QString::number(col)));
            QVERIFY(!HasInk(image, grid.CellRect(col, 1), kBase));
        }
        const QRect indicator = grid.CellRect(0, 1).adjusted(1, 1, -1, -1);
        QVERIFY(!HasInk(image, indicator, kButton));
        // Below the empty row the grid's own colour.
        QCOMPARE(image.pixelColor(100, grid.CellRect(1, 1).bottom() + 5), kBase);
    }

    void one_record_shows_the_arrow_right_aligned_in_the_indicator()
    {
        test::TTestDatabase single(test::TTestDatabase::TContent::empty);
        {
            TComponent owner{nullptr};
            auto &database = CreateOwned<TIBDatabase>(owner);
            auto &transaction = CreateOwned<TIBTransaction>(owner);
            test::WirePanelPair(database, transaction, single.Path());
            database.SetLoginPrompt(false);
            database.Params().Add("user_name=SYSDBA");
            database.SetConnected(true);
            transaction.StartTransaction();
            test::ExecuteRaw(database, transaction,
                             "INSERT INTO VELKOR_PROCESS (PROC_ID, PROC_NAME, PROC_PRIORITY) "
                             "VALUES (7, 'only one', 3)");
            transaction.Commit();
        }
        f_ = std::make_unique<TFixture>(single.Path());
        TRxDBGrid &grid = *f_->grid;
        ShowActive(*f_);
        f_->panel.list.Open();
        QCOMPARE(grid.RowCount(), 2);
        const QImage image = Viewport(grid);
        const QRect cell = grid.CellRect(0, 1);
        const QImage &arrow = IndicatorImage(TGridIndicator::giArrow);
        const QPoint origin(cell.left() + cell.width() - 2 - kIndicatorWidth,
                            cell.top() + (cell.height() - kIndicatorHeight) / 2);
        for (int y = 0; y < kIndicatorHeight; ++y)
            for (int x = 0; x < kIndicatorWidth; ++x) {
                const bool ink = arrow.pixelColor(x, y).alpha() > 0;
                QCOMPARE(image.pixelColor(origin + QPoint(x, y)) == QColor(Qt::black), ink);
            }
        // Only the arrow: nothing black elsewhere inside the raised edge.
        int black = 0;
        for (int y = cell.top() + 1; y < cell.bottom(); ++y)
            for (int x = cell.left() + 1; x < cell.right(); ++x)
                black += image.pixelColor(x, y) == QColor(Qt::black);
        QCOMPARE(black, 16);

        // Down at the only record appends nothing.
        grid.setFocus();
        QTest::keyClick(&grid, Qt::Key_Down);
        QCOMPARE(f_->panel.list.RecordCount(), 1);
        QCOMPARE(f_->panel.list.State(), TDataSetState::dsBrowse);
        QCOMPARE(grid.RowCount(), 2);
        f_.reset();
    }

    void the_current_cell_is_highlighted_only_while_the_grid_has_the_focus()
    {
        TRxDBGrid &grid = *f_->grid;
        ShowActive(*f_);
        f_->panel.list.Open();
        grid.setFocus();
        QVERIFY(grid.hasFocus());
        QCOMPARE(grid.Col(), 1);
        QCOMPARE(grid.Row(), 1);
        const QPoint inside = grid.CellRect(1, 1).topLeft() + QPoint(1, 1);
        QCOMPARE(Viewport(grid).pixelColor(inside), kHighlight);
        QCOMPARE(Viewport(grid).pixelColor(grid.CellRect(2, 1).topLeft() + QPoint(1, 1)), kBase);

        f_->other->setFocus();
        QVERIFY(!grid.hasFocus());
        QCOMPARE(Viewport(grid).pixelColor(inside), kBase);
        // The arrow stays.
        const QRect indicator = grid.CellRect(0, 1).adjusted(1, 1, -1, -1);
        QVERIFY(HasInk(Viewport(grid), indicator, kButton));
    }

    void right_aligned_integers_end_three_pixels_before_the_cell_edge_data()
    {
        QTest::addColumn<int>("row");
        QTest::newRow("one digit") << 2;
        QTest::newRow("two digits") << 10;
        QTest::newRow("ends in one") << 11;
    }

    void right_aligned_integers_end_three_pixels_before_the_cell_edge()
    {
        QFETCH(int, row);
        TRxDBGrid &grid = *f_->grid;
        ShowActive(*f_);
        f_->panel.list.Open();
        f_->other->setFocus();
        const QImage image = Viewport(grid);
        const QRect cell = grid.CellRect(1, row);
        const int edge = cell.left() + cell.width();
        const QString text = QString::number(row);
        auto lastInk = [](const QImage &picture, const QRect &area) {
            int last = -1;
            for (int x = area.left(); x <= area.right(); ++x)
                for (int y = area.top(); y <= area.bottom(); ++y)
                    if (picture.pixelColor(x, y) == kText)
                        last = x;
            return last;
        };
        // The same text drawn alone with its box ending 3 pixels before the edge.
        QImage alone(image.size(), QImage::Format_RGB32);
        alone.fill(kBase);
        {
            QPainter painter(&alone);
            painter.setFont(SolidFont());
            painter.setPen(kText);
            const QFontMetrics metrics(SolidFont());
            painter.drawText(edge - 3 - metrics.horizontalAdvance(text),
                             cell.top() + 2 + metrics.ascent(), text);
        }
        QVERIFY(lastInk(image, cell) > cell.left());
        QCOMPARE(lastInk(image, cell), lastInk(alone, cell));
        QVERIFY(lastInk(image, cell) < edge - 3);
        QCOMPARE(image.copy(cell), alone.copy(cell));
    }

    void rows_show_cyrillic_names_from_win1251_bytes()
    {
        TRxDBGrid &grid = *f_->grid;
        ShowActive(*f_);
        f_->panel.list.Open();
        f_->panel.list.MoveBy(2);
        QCOMPARE(grid.Row(), 3);
        grid.setFocus();
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, CellCentre(grid, 2, 3));
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, CellCentre(grid, 2, 3));
        QVERIFY(grid.InplaceEditor() && grid.InplaceEditor()->isVisible());
        QCOMPARE(grid.InplaceEditor()->text(), QStringLiteral("Опрос датчиков давления"));
    }

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
        TIBDataSet &list = f_->panel.list;
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
        TIBDataSet &list = f_->panel.list;
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
        TIBDataSet &list = f_->panel.list;
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
        QCOMPARE(shown.copy(area), Viewport(grid));
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

    // ---- mouse, wheel, scroll bar ----------------------------------------------------------

    void a_click_on_another_row_makes_it_current()
    {
        TRxDBGrid &grid = *f_->grid;
        ShowActive(*f_);
        f_->panel.list.Open();
        Press(grid.viewport(), CellCentre(grid, 3, 5));
        QVERIFY(grid.hasFocus());
        QCOMPARE(f_->panel.list.RecNo(), 5);
        QCOMPARE(grid.Row(), 5);
        QCOMPARE(grid.SelectedIndex(), 2);
        // The indicator column selects the record and keeps the column.
        Press(grid.viewport(), CellCentre(grid, 0, 2));
        QCOMPARE(f_->panel.list.RecNo(), 2);
        QCOMPARE(grid.SelectedIndex(), 2);
    }

    void the_editor_over_the_read_only_list_refuses_every_typed_character()
    {
        TRxDBGrid &grid = *f_->grid;
        ShowActive(*f_);
        f_->panel.list.Open();
        Press(grid.viewport(), CellCentre(grid, 2, 1));
        QVERIFY(!grid.InplaceEditor() || !grid.InplaceEditor()->isVisible());
        Press(grid.viewport(), CellCentre(grid, 2, 1));
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
        const QPoint at = CellCentre(grid, 2, 3);
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

    void the_scroll_bar_follows_the_set_in_both_modes()
    {
        TRxDBGrid &grid = *f_->grid;
        TIBDataSet &list = f_->panel.list;
        ShowActive(*f_);
        list.Open();
        QScrollBar *bar = grid.verticalScrollBar();
        // Not all rows fetched: five positions, the first at the start.
        QCOMPARE(bar->minimum(), 0);
        QCOMPARE(bar->maximum(), 4);
        QCOMPARE(bar->value(), 0);
        list.MoveBy(3);
        QCOMPARE(bar->value(), 2);
        bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
        QCOMPARE(list.RecNo(), 4 + grid.VisibleRowCount());
        bar->triggerAction(QAbstractSlider::SliderToMaximum);
        // Every row fetched: the bar counts records.
        QCOMPARE(list.RecNo(), 40);
        QCOMPARE(bar->minimum(), 1);
        QCOMPARE(bar->maximum(), 40);
        QCOMPARE(bar->pageStep(), grid.VisibleRowCount());
        QCOMPARE(bar->value(), 40);
        bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
        QCOMPARE(list.RecNo(), 40 - grid.VisibleRowCount());
        QCOMPARE(bar->value(), list.RecNo());
        bar->triggerAction(QAbstractSlider::SliderToMinimum);
        QCOMPARE(list.RecNo(), 1);
        QCOMPARE(bar->value(), 1);
    }

    void a_dragged_column_width_and_place_stay_across_reopening()
    {
        TRxDBGrid &grid = *f_->grid;
        TIBDataSet &list = f_->panel.list;
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
        const QPoint from = CellCentre(grid, 1, 0);
        const QPoint to = CellCentre(grid, 3, 0);
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

QTEST_MAIN(velkor::RxDBGridTest)
#include "rx_db_grid_test.moc"
