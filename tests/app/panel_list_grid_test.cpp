// The grid over the panel's procedure list on a throwaway database: rows fetched only as far as
// the grid shows them, the scroll bar before and after every row is fetched, and names stored
// in the database's own character set.
#include "dataset/data_source.h"
#include "dataset/field.h"
#include "db/connection/ib_database.h"
#include "db/connection/ib_transaction.h"
#include "db/dataset/ib_dataset.h"
#include "tests/support/grid_window.h"
#include "tests/support/panel_list.h"
#include "tests/support/raw_sql.h"
#include "tests/support/test_database.h"
#include "ui/grid/inplace_edit.h"
#include "ui/grid/rx_db_grid.h"

#include <QScrollBar>
#include <QtTest>

#include <memory>

namespace velkor {

class PanelListGridTest : public QObject
{
    Q_OBJECT

    // The panel's list on the database at `path`, its grid in a window.
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
            view = std::make_unique<test::TGridWindow>(source);
            grid = view->grid;
        }

        TComponent owner{nullptr};
        TIBDatabase &database = CreateOwned<TIBDatabase>(owner);
        TIBTransaction &transaction = CreateOwned<TIBTransaction>(owner);
        test::TPanelList panel{owner, database, transaction};
        TDataSource &source = CreateOwned<TDataSource>(owner);
        std::unique_ptr<test::TGridWindow> view;
        TRxDBGrid *grid = nullptr;
    };

    void ShowActive(TFixture &f)
    {
        f.view->window.show();
        f.view->window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&f.view->window));
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
        QFont larger = test::SolidFont();
        larger.setPixelSize(22);
        f_->view->window.setFont(larger);
        grid.setFont(larger);
        const int fewer = grid.VisibleRowCount();
        QVERIFY(fewer < visible);
        QCOMPARE(grid.DataLink().BufferCount(), fewer);
        QCOMPARE(grid.RowCount(), fewer + 1);
        QCOMPARE(f_->panel.list.BufferCount(), fewer);
    }

    void rows_show_cyrillic_names_from_win1251_bytes()
    {
        TRxDBGrid &grid = *f_->grid;
        ShowActive(*f_);
        f_->panel.list.Open();
        f_->panel.list.MoveBy(2);
        QCOMPARE(grid.Row(), 3);
        grid.setFocus();
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, test::CellCentre(grid, 2, 3));
        QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, test::CellCentre(grid, 2, 3));
        QVERIFY(grid.InplaceEditor() && grid.InplaceEditor()->isVisible());
        QCOMPARE(grid.InplaceEditor()->text(), QStringLiteral("Опрос датчиков давления"));
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
};

} // namespace velkor

QTEST_MAIN(velkor::PanelListGridTest)
#include "panel_list_grid_test.moc"
