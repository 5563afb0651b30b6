// The About window: its look, how it closes, and the mail link.
#include "app/about_window.h"
#include "app/main_velkorcontrol_window.h"
#include "ui/labels/rz_label.h"
#include "ui/readable_colour.h"

#include <QDesktopServices>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QUrl>
#include <QtTest>

#include <memory>

namespace velkor {

// Stands in for the desktop's mail program: notes what it was asked and opens nothing.
class MailCatcher : public QObject
{
    Q_OBJECT

public:
    QList<QUrl> asked;

public slots:
    void open(const QUrl &url) { asked.append(url); }
};

class AboutWindowTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QDesktopServices::setUrlHandler(QStringLiteral("mailto"), &catcher_, "open");
        catcher_.asked.clear();
        window_ = std::make_unique<TAboutWindow>();
    }
    void cleanup()
    {
        window_.reset();
        QDesktopServices::unsetUrlHandler(QStringLiteral("mailto"));
    }

    void window_is_a_fixed_dialog_at_its_place()
    {
        QCOMPARE(window_->windowTitle(), QStringLiteral("About"));
        QCOMPARE(window_->size(), QSize(374, 99));
        QCOMPARE(window_->minimumSize(), window_->maximumSize());
        QCOMPARE(window_->pos(), QPoint(237, 200));
        QCOMPARE(window_->font().pixelSize(), 11);
    }

    void title_is_recessed_in_large_bold_italic()
    {
        auto *title = window_->findChild<TRzLabel *>(QStringLiteral("RzLabel1"));
        QVERIFY(title);
        QCOMPARE(title->Caption(), QStringLiteral("Trelvan"));
        QCOMPARE(title->geometry(), QRect(5, 7, 279, 24));
        QCOMPARE(title->TextStyle(), TRzLabel::tsRecessed);
        QCOMPARE(title->ShadowDepth(), 2);
        QCOMPARE(title->font().family(), QStringLiteral("Times New Roman"));
        QCOMPARE(title->font().pixelSize(), 21);
        QVERIFY(title->font().bold());
        QVERIFY(title->font().italic());
    }

    void mail_link_is_blue_where_blue_reads_and_else_a_link_colour_that_does()
    {
        auto *link = window_->findChild<QLabel *>(QStringLiteral("Label2"));
        QVERIFY(link);
        QPalette colours = window_->palette();
        colours.setColor(QPalette::Window, QColor(240, 240, 240));
        window_->setPalette(colours);
        QCOMPARE(link->palette().color(QPalette::WindowText), QColor(Qt::blue));

        // A dark window whose palette carries a light link colour: that one.
        colours.setColor(QPalette::Window, QColor(53, 53, 53));
        colours.setColor(QPalette::Link, QColor(140, 190, 255));
        window_->setPalette(colours);
        QCOMPARE(link->palette().color(QPalette::WindowText), QColor(140, 190, 255));

        // A dark window whose link colour is dark too: blue made just light enough.
        colours.setColor(QPalette::Link, QColor(0, 0, 200));
        window_->setPalette(colours);
        const QColor lighter = link->palette().color(QPalette::WindowText);
        QVERIFY2(lighter.blue() > lighter.red() && lighter.blue() > lighter.green(),
                 qPrintable(lighter.name()));
        QVERIFY2(ContrastRatio(lighter, QColor(53, 53, 53)) >= 4.5, qPrintable(lighter.name()));
        QVERIFY2(ContrastRatio(lighter, QColor(53, 53, 53)) < 5.0, qPrintable(lighter.name()));
    }

    void maker_line_and_mail_link()
    {
        auto *maker = window_->findChild<QLabel *>(QStringLiteral("Label1"));
        QVERIFY(maker);
        QVERIFY(!maker->text().isEmpty());
        // Both grow from their designed place to their whole caption.
        QCOMPARE(maker->pos(), QPoint(4, 32));
        QCOMPARE(maker->height(), 13);
        QVERIFY(maker->width() >= 130);
        QVERIFY(maker->width() >= maker->fontMetrics().horizontalAdvance(maker->text()));

        auto *link = window_->findChild<QLabel *>(QStringLiteral("Label2"));
        QVERIFY(link);
        QCOMPARE(link->text(), QStringLiteral("e-mail: ") + TAboutWindow::kContactAddress);
        QCOMPARE(link->pos(), QPoint(4, 50));
        QCOMPARE(link->height(), 13);
        QVERIFY(link->width() >= 165);
        QVERIFY(link->width() >= link->fontMetrics().horizontalAdvance(link->text()));
        QVERIFY(link->font().bold());
        QVERIFY(link->font().underline());
        QCOMPARE(link->font().pixelSize(), 11);
        QCOMPARE(link->palette().color(QPalette::WindowText), QColor(Qt::blue));
        QCOMPARE(link->cursor().shape(), Qt::PointingHandCursor);

        auto *close = window_->findChild<QPushButton *>(QStringLiteral("Button1"));
        QVERIFY(close);
        QCOMPARE(close->text(), QStringLiteral("Close"));
        QCOMPARE(close->geometry(), QRect(153, 70, 75, 25));
        QVERIFY(close->isDefault());
    }

    void enter_and_esc_both_close_with_ok_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("Enter") << int(Qt::Key_Return);
        QTest::newRow("Keypad Enter") << int(Qt::Key_Enter);
        QTest::newRow("Esc") << int(Qt::Key_Escape);
    }

    void enter_and_esc_both_close_with_ok()
    {
        QFETCH(int, key);
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
        QTest::keyClick(window_->Button1, static_cast<Qt::Key>(key));
        QVERIFY(!window_->isVisible());
        QCOMPARE(window_->result(), int(QDialog::Accepted));
    }

    void clicking_the_link_asks_for_mail_and_keeps_the_window_open()
    {
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
        QTest::mouseClick(window_->Label2, Qt::LeftButton);
        QCOMPARE(catcher_.asked.size(), 1);
        QCOMPARE(catcher_.asked.front(),
                 QUrl(QStringLiteral("mailto:") + TAboutWindow::kContactAddress));
        QVERIFY(window_->isVisible());
    }

    void a_right_click_or_a_release_outside_opens_nothing()
    {
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
        QTest::mouseClick(window_->Label2, Qt::RightButton);
        QTest::mousePress(window_->Label2, Qt::LeftButton);
        QTest::mouseRelease(window_->Label2, Qt::LeftButton, {}, QPoint(-5, -5));
        QVERIFY(catcher_.asked.isEmpty());
    }

    void a_link_no_mail_program_can_open_raises_nothing()
    {
        // With no handler and nothing on the path to hand the link to, the desktop refuses it.
        QDesktopServices::unsetUrlHandler(QStringLiteral("mailto"));
        const QByteArray path = qgetenv("PATH");
        const QTemporaryDir empty;
        qputenv("PATH", empty.path().toLocal8Bit());
        window_->show();
        QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
        window_->Label2Click();
        QTest::mouseClick(window_->Label2, Qt::LeftButton);
        qputenv("PATH", path);
        QVERIFY(window_->isVisible());
    }

    void about_button_shows_the_window_modally_and_frees_it()
    {
        TMainVelkorcontrolWindow main;
        bool wasModal = false;
        QTimer::singleShot(0, [&wasModal] {
            auto *about = qobject_cast<TAboutWindow *>(QApplication::activeModalWidget());
            wasModal = about != nullptr;
            if (about)
                about->Button1->click();
        });
        main.Button4->click();
        QVERIFY(wasModal);
        QVERIFY(main.findChildren<TAboutWindow *>().isEmpty());
    }

private:
    MailCatcher catcher_;
    std::unique_ptr<TAboutWindow> window_;
};

} // namespace velkor

QTEST_MAIN(velkor::AboutWindowTest)
#include "about_window_test.moc"
