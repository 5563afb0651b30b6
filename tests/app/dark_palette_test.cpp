// Every window on a dark desktop (Fusion with dark colours, as a dark GTK theme gives them):
// each text, and the grid's arrow, stands out from what is behind it by at least 4.5 to 1.
#include "app/about_window.h"
#include "app/ib_login_dialog.h"
#include "app/login_dialog.h"
#include "app/main_velkorcontrol_window.h"
#include "app/select_priority_window.h"
#include "tests/support/raw_sql.h"
#include "tests/support/temporary_registry.h"
#include "tests/support/test_database.h"
#include "ui/grid/rx_db_grid.h"
#include "ui/labels/rz_label.h"
#include "ui/spin/rx_spin_edit.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyleFactory>
#include <QTimer>
#include <QtTest>

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>

namespace velkor {

namespace {

constexpr double kLeast = 4.5;

// Dark colours as the usual dark Fusion setups have them; the link colour is the blue such
// palettes carry, which itself reads poorly on the dark window.
QPalette DarkPalette()
{
    QPalette colours;
    const QColor window(53, 53, 53);
    const QColor base(35, 35, 35);
    const QColor text(255, 255, 255);
    colours.setColor(QPalette::Window, window);
    colours.setColor(QPalette::WindowText, text);
    colours.setColor(QPalette::Base, base);
    colours.setColor(QPalette::AlternateBase, window);
    colours.setColor(QPalette::ToolTipBase, base);
    colours.setColor(QPalette::ToolTipText, text);
    colours.setColor(QPalette::PlaceholderText, QColor(160, 160, 160));
    colours.setColor(QPalette::Text, text);
    colours.setColor(QPalette::Button, window);
    colours.setColor(QPalette::ButtonText, text);
    colours.setColor(QPalette::BrightText, Qt::red);
    colours.setColor(QPalette::Light, QColor(80, 80, 80));
    colours.setColor(QPalette::Midlight, QColor(66, 66, 66));
    colours.setColor(QPalette::Mid, QColor(44, 44, 44));
    colours.setColor(QPalette::Dark, QColor(25, 25, 25));
    colours.setColor(QPalette::Shadow, QColor(10, 10, 10));
    colours.setColor(QPalette::Highlight, QColor(42, 130, 218));
    colours.setColor(QPalette::HighlightedText, Qt::black);
    colours.setColor(QPalette::Link, QColor(42, 130, 218));
    colours.setColor(QPalette::LinkVisited, QColor(120, 90, 200));
    for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        colours.setColor(QPalette::Disabled, role, QColor(127, 127, 127));
    return colours;
}

// Worked out here rather than taken from the program, so that a fault there cannot hide.
double Luminance(QRgb rgb)
{
    const auto linear = [](int channel) {
        const double c = channel / 255.0;
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(qRed(rgb)) + 0.7152 * linear(qGreen(rgb)) + 0.0722 * linear(qBlue(rgb));
}

double Contrast(QRgb a, QRgb b)
{
    const double first = Luminance(a);
    const double second = Luminance(b);
    return (std::max(first, second) + 0.05) / (std::min(first, second) + 0.05);
}

// The colour most of `area` has is the background; the ink is the colour that stands out from
// it most (smoothed letter edges only ever stand out less than their ink).
double InkContrast(const QImage &image, const QRect &area, QString &colours)
{
    std::map<QRgb, int> counts;
    const QRect shown = area & image.rect();
    for (int y = shown.top(); y <= shown.bottom(); ++y)
        for (int x = shown.left(); x <= shown.right(); ++x)
            ++counts[image.pixel(x, y) | 0xff000000u];
    if (counts.empty())
        return 0;
    const QRgb background =
        std::max_element(counts.begin(), counts.end(), [](const auto &a, const auto &b) {
            return a.second < b.second;
        })->first;
    QRgb ink = background;
    for (const auto &[colour, count] : counts)
        if (Contrast(colour, background) > Contrast(ink, background))
            ink = colour;
    colours = QStringLiteral("%1 on %2").arg(QColor(ink).name(), QColor(background).name());
    return Contrast(ink, background);
}

} // namespace

class DarkPaletteTest : public QObject
{
    Q_OBJECT

    // Checks what `widget` shows inside `area` (its own coordinates; its whole rectangle less
    // three pixels a side by default) in the picture of its window.
    static void CheckInk(const QImage &image, const QWidget &widget, const QString &what,
                         QRect area = {})
    {
        if (area.isNull())
            area = widget.rect().adjusted(3, 3, -3, -3);
        const QRect inWindow = area.translated(widget.mapTo(widget.window(), QPoint()));
        QString colours;
        const double contrast = InkContrast(image, inWindow, colours);
        QVERIFY2(contrast >= kLeast, qPrintable(QStringLiteral("%1: %2, contrast %3 to 1")
                                                    .arg(what, colours)
                                                    .arg(contrast, 0, 'f', 2)));
    }

    static void CheckLabel(const QImage &image, const QWidget &label)
    {
        CheckInk(image, label, label.objectName(), label.rect());
    }

    static void CheckButton(const QImage &image, const QPushButton &button)
    {
        CheckInk(image, button, button.objectName(), button.rect().adjusted(6, 5, -6, -5));
    }

    static QImage Picture(QWidget &window)
    {
        return window.grab().toImage().convertToFormat(QImage::Format_RGB32);
    }

private slots:
    void initTestCase()
    {
        QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
        QApplication::setPalette(DarkPalette());
    }

    void init()
    {
        home_ = std::make_unique<TemporaryConfigHome>();
        QVERIFY(home_->isValid());
    }
    void cleanup() { home_.reset(); }

    void main_window_with_its_list()
    {
        test::TTestDatabase file;
        test::TScriptedLogin login("SYSDBA", "");
        TMainVelkorcontrolWindow window;
        window.ConnectDatabase(QString::fromStdString(file.Path()));
        window.RefreshTimerTimer();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.activateWindow();
        window.MainGrid->setFocus();
        QTRY_VERIFY(window.MainGrid->hasFocus());
        const QImage image = Picture(window);

        CheckLabel(image, *window.Label1);
        for (const QPushButton *button : {window.Button5, window.Button6, window.Button1,
                                          window.Button2, window.Button3, window.Button4}) {
            QVERIFY(button->isEnabled());
            CheckButton(image, *button);
        }
        TRxDBGrid &grid = *window.MainGrid;
        const QWidget &viewport = *grid.viewport();
        for (int col = 1; col < grid.ColCount(); ++col) {
            CheckInk(image, viewport, QStringLiteral("title %1").arg(col),
                     grid.CellRect(col, 0).adjusted(2, 2, -2, -1));
            CheckInk(image, viewport, QStringLiteral("cell %1 of the second row").arg(col),
                     grid.CellRect(col, 2));
        }
        QCOMPARE(grid.Row(), 1);
        CheckInk(image, viewport, QStringLiteral("the selected cell"),
                 grid.CellRect(grid.Col(), grid.Row()).adjusted(1, 1, -1, -1));
        CheckInk(image, viewport, QStringLiteral("the arrow of the current row"),
                 grid.CellRect(0, grid.Row()).adjusted(1, 1, -1, -1));
    }

    void about_window()
    {
        TAboutWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QImage image = Picture(window);
        CheckLabel(image, *window.RzLabel1);
        CheckLabel(image, *window.Label1);
        CheckLabel(image, *window.Label2);
        CheckButton(image, *window.Button1);
    }

    void priority_dialog()
    {
        TSelectPriorityWindow dialog;
        dialog.PriorityValue->SetIntegerValue(1234);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        dialog.PriorityValue->deselect();
        const QImage image = Picture(dialog);
        CheckLabel(image, *dialog.Label1);
        const QWidget &edit = *dialog.PriorityValue;
        CheckInk(image, edit, QStringLiteral("the priority"),
                 edit.rect().adjusted(3, 3, -(edit.height() + 2), -3));
        CheckButton(image, *dialog.Button2);
        CheckButton(image, *dialog.Button1);
    }

    void connection_dialog()
    {
        TIBLoginDialog dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        dialog.DatabasePathEdit->deselect();
        const QImage image = Picture(dialog);
        CheckLabel(image, *dialog.Label1);
        CheckInk(image, *dialog.DatabasePathEdit, QStringLiteral("the path"));
        CheckButton(image, *dialog.Button1);
        CheckButton(image, *dialog.Button2);
    }

    void login_dialog()
    {
        bool checked = false;
        QTimer::singleShot(0, [&] {
            auto *dialog = qobject_cast<TLoginDialog *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            QVERIFY(QTest::qWaitForWindowExposed(dialog));
            dialog->UserName->setText(QStringLiteral("SYSDBA"));
            dialog->Password->setText(QStringLiteral("secret"));
            dialog->Password->deselect();
            const QImage image = Picture(*dialog);
            for (const QLabel *label :
                 {dialog->Label3, dialog->DatabaseName, dialog->Label1, dialog->Label2})
                CheckLabel(image, *label);
            CheckInk(image, *dialog->UserName, QStringLiteral("the user name"));
            CheckInk(image, *dialog->Password, QStringLiteral("the password's stars"));
            CheckButton(image, *dialog->OKButton);
            CheckButton(image, *dialog->CancelButton);
            checked = !QTest::currentTestFailed();
            dialog->reject();
        });
        QString user;
        QString password;
        QueryDatabaseLogin(QStringLiteral("localhost:/var/lib/velkor/panel.fdb"), user, password,
                           false);
        QVERIFY(checked);
    }

private:
    std::unique_ptr<TemporaryConfigHome> home_;
};

} // namespace velkor

QTEST_MAIN(velkor::DarkPaletteTest)
#include "dark_palette_test.moc"
