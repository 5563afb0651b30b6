// The main window as it opens: captions, places, enabled flags, tab order and the timer.
#include "app/main_velkorcontrol_window.h"
#include "ui/grid/rx_db_grid.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

namespace velkor {

class MainWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { window_ = std::make_unique<TMainVelkorcontrolWindow>(); }
    void cleanup() { window_.reset(); }

    void window_is_fixed_at_its_place()
    {
        QCOMPARE(window_->windowTitle(), QStringLiteral("Velkor control panel"));
        QCOMPARE(window_->size(), QSize(660, 312));
        QCOMPARE(window_->minimumSize(), window_->maximumSize());
        QCOMPARE(window_->pos(), QPoint(225, 216));
        const Qt::WindowFlags flags = window_->windowFlags();
        QVERIFY(flags.testFlag(Qt::WindowMinimizeButtonHint));
        QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
        QCOMPARE(window_->font().pixelSize(), 11);
    }

    void buttons_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QRect>("geometry");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("Connect") << "Button5"
                                 << "Connect" << QRect(10, 287, 105, 25) << true;
        QTest::newRow("Disconnect") << "Button6"
                                    << "Disconnect" << QRect(118, 287, 105, 25) << false;
        QTest::newRow("Refresh") << "Button1"
                                 << "Refresh List" << QRect(225, 287, 105, 25) << false;
        QTest::newRow("Stop") << "Button2"
                              << "Stop Procedure" << QRect(333, 287, 105, 25) << false;
        QTest::newRow("Priority") << "Button3"
                                  << "Set Priority" << QRect(440, 287, 105, 25) << false;
        QTest::newRow("About") << "Button4"
                               << "About" << QRect(548, 287, 105, 25) << true;
    }

    void buttons()
    {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(QRect, geometry);
        QFETCH(bool, enabled);
        auto *button = window_->findChild<QPushButton *>(name);
        QVERIFY(button);
        QCOMPARE(button->text(), caption);
        QCOMPARE(button->geometry(), geometry);
        QCOMPARE(button->isEnabled(), enabled);
    }

    void label_and_grid_area()
    {
        auto *label = window_->findChild<QLabel *>(QStringLiteral("Label1"));
        QVERIFY(label);
        QCOMPARE(label->text(), QStringLiteral("Active procedures:"));
        QCOMPARE(label->pos(), QPoint(1, 2));
        QCOMPARE(label->height(), 13);
        QVERIFY(label->width() >= 89);
        QVERIFY(label->width() >= label->fontMetrics().horizontalAdvance(label->text()));
        auto *grid = window_->findChild<QWidget *>(QStringLiteral("MainGrid"));
        QVERIFY(grid);
        QCOMPARE(grid->geometry(), QRect(0, 16, 660, 269));
    }

    void tab_order_runs_grid_then_button1_to_button6()
    {
        QWidget *expected[] = {window_->MainGrid, window_->Button1, window_->Button2,
                               window_->Button3,  window_->Button4, window_->Button5,
                               window_->Button6};
        // The grid's viewport and scroll bars are in the chain too, but never take Tab focus.
        auto nextTabStop = [](QWidget *widget) {
            do
                widget = widget->nextInFocusChain();
            while (!(widget->focusPolicy() & Qt::TabFocus));
            return widget;
        };
        for (std::size_t i = 0; i + 1 < std::size(expected); ++i)
            QCOMPARE(nextTabStop(expected[i]), expected[i + 1]);
    }

    void refresh_timer_ticks_every_two_seconds_from_creation()
    {
        auto *timer = window_->findChild<QTimer *>(QStringLiteral("RefreshTimer"));
        QVERIFY(timer);
        QCOMPARE(timer->interval(), 2000);
        QVERIFY(timer->isActive());
        QVERIFY(!timer->isSingleShot());
    }

    void a_tick_while_disconnected_changes_nothing()
    {
        window_->RefreshTimerTimer();
        QVERIFY(!window_->Button1->isEnabled());
        QVERIFY(window_->Button5->isEnabled());
    }

private:
    std::unique_ptr<TMainVelkorcontrolWindow> window_;
};

} // namespace velkor

QTEST_MAIN(velkor::MainWindowTest)
#include "main_window_test.moc"
