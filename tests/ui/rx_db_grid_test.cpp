// The data grid over a result set held in memory: its columns, row heights and what it paints.
#include "dataset/data_source.h"
#include "dataset/field.h"
#include "tests/support/grid_window.h"
#include "tests/support/memory_grid_fixture.h"
#include "tests/support/memory_panel_list.h"
#include "ui/grid/grid_indicators.h"
#include "ui/grid/rx_db_grid.h"

#include <QPainter>
#include <QPushButton>
#include <QtTest>

#include <memory>
#include <optional>

namespace velkor {

using test::ShowActive;

class RxDBGridTest : public QObject
{
    Q_OBJECT

    using TFixture = test::TMemoryGridFixture;

    std::unique_ptr<TFixture> f_;

private slots:
    void init() { f_ = std::make_unique<TFixture>(40); }

    void cleanup() { f_.reset(); }

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
        const QFontMetrics metrics(test::SolidFont());
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
        const QImage image = test::Viewport(grid);
        for (int col = 1; col <= 5; ++col) {
            const QRect title = grid.CellRect(col, 0).adjusted(2, 2, -2, -2);
            QVERIFY2(test::HasInk(image, title, test::kGridButton),
                     qPrintable(QString::number(col)));
            QVERIFY(!test::HasInk(image, grid.CellRect(col, 1), test::kGridBase));
        }
        const QRect indicator = grid.CellRect(0, 1).adjusted(1, 1, -1, -1);
        QVERIFY(!test::HasInk(image, indicator, test::kGridButton));
        // Below the empty row the grid's own colour.
        QCOMPARE(image.pixelColor(100, grid.CellRect(1, 1).bottom() + 5), test::kGridBase);
    }

    void one_record_shows_the_arrow_right_aligned_in_the_indicator()
    {
        f_ = std::make_unique<TFixture>(0);
        f_->panel.list.AddRow({"7", "only one", "3", std::nullopt, std::nullopt});
        TRxDBGrid &grid = *f_->grid;
        ShowActive(*f_);
        f_->panel.list.Open();
        QCOMPARE(grid.RowCount(), 2);
        const QImage image = test::Viewport(grid);
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
        QCOMPARE(test::Viewport(grid).pixelColor(inside), test::kGridHighlight);
        QCOMPARE(test::Viewport(grid).pixelColor(grid.CellRect(2, 1).topLeft() + QPoint(1, 1)),
                 test::kGridBase);

        f_->other->setFocus();
        QVERIFY(!grid.hasFocus());
        QCOMPARE(test::Viewport(grid).pixelColor(inside), test::kGridBase);
        // The arrow stays.
        const QRect indicator = grid.CellRect(0, 1).adjusted(1, 1, -1, -1);
        QVERIFY(test::HasInk(test::Viewport(grid), indicator, test::kGridButton));
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
        const QImage image = test::Viewport(grid);
        const QRect cell = grid.CellRect(1, row);
        const int edge = cell.left() + cell.width();
        const QString text = QString::number(row);
        auto lastInk = [](const QImage &picture, const QRect &area) {
            int last = -1;
            for (int x = area.left(); x <= area.right(); ++x)
                for (int y = area.top(); y <= area.bottom(); ++y)
                    if (picture.pixelColor(x, y) == test::kGridText)
                        last = x;
            return last;
        };
        // The same text drawn alone with its box ending 3 pixels before the edge.
        QImage alone(image.size(), QImage::Format_RGB32);
        alone.fill(test::kGridBase);
        {
            QPainter painter(&alone);
            painter.setFont(test::SolidFont());
            painter.setPen(test::kGridText);
            const QFontMetrics metrics(test::SolidFont());
            painter.drawText(edge - 3 - metrics.horizontalAdvance(text),
                             cell.top() + 2 + metrics.ascent(), text);
        }
        QVERIFY(lastInk(image, cell) > cell.left());
        QCOMPARE(lastInk(image, cell), lastInk(alone, cell));
        QVERIFY(lastInk(image, cell) < edge - 3);
        QCOMPARE(image.copy(cell), alone.copy(cell));
    }
};

} // namespace velkor

QTEST_MAIN(velkor::RxDBGridTest)
#include "rx_db_grid_test.moc"
