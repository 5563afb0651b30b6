// Every window as the operator sees it on this desktop: the design faces map to faces of the
// same widths, each caption fits its label, no control covers another, every window is wholly
// on a 1280 x 1024 screen, and what is drawn by hand stays whole and sharp. Run at the normal
// scale and at 1.25, 1.5, 1.75 and 2 times it (QT_SCALE_FACTOR).
#include "app/about_window.h"
#include "app/ib_login_dialog.h"
#include "app/login_dialog.h"
#include "app/main_velkorcontrol_window.h"
#include "app/select_priority_window.h"
#include "tests/support/raw_sql.h"
#include "tests/support/temporary_registry.h"
#include "tests/support/test_database.h"
#include "ui/form_font.h"
#include "ui/grid/rx_db_grid.h"
#include "ui/labels/rz_label.h"
#include "ui/panel.h"
#include "ui/spin/rx_spin_button.h"
#include "ui/spin/rx_spin_edit.h"

#include <QFontInfo>
#include <QLabel>
#include <QScreen>
#include <QTimer>
#include <QtTest>

#include <cmath>
#include <functional>
#include <memory>
#include <set>

namespace velkor {

namespace {

// The text a label shows: accelerator marks are not drawn, a doubled one draws one "&".
QString Shown(const QString &caption, bool accelerators)
{
    if (!accelerators)
        return caption;
    QString shown;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption.at(i) == QLatin1Char('&') && i + 1 < caption.size())
            ++i;
        shown += caption.at(i);
    }
    return shown;
}

// A designed control: named by the window, not one of a widget's own parts.
bool IsControl(const QWidget *widget)
{
    const QString name = widget->objectName();
    if (name.isEmpty() || name.startsWith(QLatin1String("qt_")) || widget->isHidden())
        return false;
    // A bevel line is drawn along one edge of its box and may lie under its neighbours.
    if (const auto *frame = qobject_cast<const QFrame *>(widget);
        frame && (frame->frameShape() == QFrame::HLine || frame->frameShape() == QFrame::VLine))
        return false;
    return true;
}

// Children of a plain container are laid out by the window too; other widgets own theirs.
bool IsContainer(const QWidget *widget)
{
    return qobject_cast<const TPanel *>(widget) ||
           widget->metaObject() == &QFrame::staticMetaObject;
}

// Checks the captions and the places of `parent`'s controls, and of those in its containers.
void CheckControls(const QWidget &parent, const QStringList &cut = {})
{
    QList<const QWidget *> controls;
    for (const QWidget *child : parent.findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        if (IsControl(child))
            controls.append(child);

    for (const QWidget *control : controls) {
        const QString where = parent.objectName() + QLatin1Char('.') + control->objectName();
        QVERIFY2(parent.rect().contains(control->geometry()),
                 qPrintable(where + QStringLiteral(" reaches out of its window or panel")));

        QString caption;
        if (const auto *label = qobject_cast<const QLabel *>(control))
            caption = Shown(label->text(), label->buddy() != nullptr);
        else if (const auto *label = qobject_cast<const TRzLabel *>(control))
            caption = Shown(label->DrawnText(), label->ShowAccelChar());
        if (!caption.isEmpty() && !cut.contains(control->objectName())) {
            const QFontMetrics metrics = control->fontMetrics();
            const int needed = metrics.horizontalAdvance(caption);
            QVERIFY2(needed <= control->width(),
                     qPrintable(QStringLiteral("%1: \"%2\" needs %3 px, the label is %4 wide")
                                    .arg(where, caption)
                                    .arg(needed)
                                    .arg(control->width())));
            QVERIFY2(metrics.height() <= control->height(),
                     qPrintable(QStringLiteral("%1: a line needs %2 px, the label is %3 high")
                                    .arg(where)
                                    .arg(metrics.height())
                                    .arg(control->height())));
        }
        if (IsContainer(control))
            CheckControls(*control, cut);
    }

    for (qsizetype i = 0; i < controls.size(); ++i)
        for (qsizetype j = i + 1; j < controls.size(); ++j)
            QVERIFY2(!controls[i]->geometry().intersects(controls[j]->geometry()),
                     qPrintable(QStringLiteral("%1 and %2 overlap in %3")
                                    .arg(controls[i]->objectName(), controls[j]->objectName(),
                                         parent.objectName())));
}

// The scale this run was asked for, so that a run at twice the size really is one.
qreal AskedScale()
{
    bool ok = false;
    const qreal scale = qEnvironmentVariable("QT_SCALE_FACTOR").toDouble(&ok);
    return ok ? scale : 1.0;
}

// The window as the screen shows it, in device pixels.
QImage Shown(QWidget &window)
{
    return window.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// The device pixels a logical rectangle of `window` is filled on: edges round to the nearest.
QRect DeviceRect(const QRect &logical)
{
    const qreal scale = AskedScale();
    const auto edge = [scale](int at) { return static_cast<int>(std::lround(at * scale)); };
    return QRect(QPoint(edge(logical.left()), edge(logical.top())),
                 QPoint(edge(logical.left() + logical.width()) - 1,
                        edge(logical.top() + logical.height()) - 1));
}

// `widget`'s rectangle `logical` in device pixels of its window.
QRect DeviceRect(const QWidget &widget, const QRect &logical)
{
    return DeviceRect(logical.translated(widget.mapTo(widget.window(), QPoint())));
}

// Every pixel of `area` is one of `colours`: a line or edge drawn between device pixels would
// show as a blend.
void CheckOnlyColours(const QImage &image, const QRect &area, const std::set<QRgb> &colours,
                      const QString &what)
{
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            QVERIFY2(colours.count(image.pixel(x, y) | 0xff000000u) != 0,
                     qPrintable(QStringLiteral("%1: pixel %2,%3 is %4, not a colour drawn there")
                                    .arg(what)
                                    .arg(x)
                                    .arg(y)
                                    .arg(QColor(image.pixel(x, y)).name())));
}

// The runs of `ink` on each row of `area` that has any: first and last column of each row, and
// whether the row's ink is one unbroken run.
struct TInkRow
{
    int y, first, last;
    bool whole;
};
QList<TInkRow> InkRows(const QImage &image, const QRect &area, QRgb ink)
{
    QList<TInkRow> rows;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        int first = -1, last = -1, count = 0;
        for (int x = area.left(); x <= area.right(); ++x)
            if ((image.pixel(x, y) | 0xff000000u) == (ink | 0xff000000u)) {
                if (first < 0)
                    first = x;
                last = x;
                ++count;
            }
        if (first >= 0)
            rows.append({y, first, last, count == last - first + 1});
    }
    return rows;
}

} // namespace

class WindowLayoutTest : public QObject
{
    Q_OBJECT

    // Shows `window`, checks it at this run's scale, and closes it.
    static void CheckShown(QWidget &window, const QStringList &cut = {})
    {
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(window.devicePixelRatio(), AskedScale());
        CheckOnScreen(window);
        CheckControls(window, cut);
    }

    // The whole frame on the screen's available area.
    static void CheckOnScreen(const QWidget &window)
    {
        const QRect area = window.screen()->availableGeometry();
        QVERIFY2(area.contains(window.frameGeometry()),
                 qPrintable(QStringLiteral("%1 at %2,%3 %4 x %5 runs off the screen's %6 x %7")
                                .arg(window.objectName())
                                .arg(window.frameGeometry().x())
                                .arg(window.frameGeometry().y())
                                .arg(window.frameGeometry().width())
                                .arg(window.frameGeometry().height())
                                .arg(area.width())
                                .arg(area.height())));
    }

    // The grid's lines run unbroken through the rows and are sharp; the fixed cells keep their
    // raised edge on all four sides; the arrow is a whole triangle.
    static void CheckGridPixels(TRxDBGrid &grid)
    {
        const QImage image = Shown(*grid.window());
        const QPalette &colours = grid.palette();
        const QRgb line = qRgb(192, 192, 192);
        const QRgb fixedLine = qRgb(0, 0, 0);
        const QRgb light = colours.color(QPalette::Light).rgb();
        const QRgb dark = colours.color(QPalette::Dark).rgb();
        const QRgb face = colours.color(QPalette::Button).rgb();
        QWidget *viewport = grid.viewport();

        // Lines between the data cells of the rows shown: each column's line from the first
        // record's top to the last one's bottom, nothing but the line colour.
        const int lastRow = grid.RowCount() - 1;
        for (int col = 1; col + 1 < grid.ColCount(); ++col) {
            const QRect top = grid.CellRect(col, 1);
            const QRect bottom = grid.CellRect(col, lastRow);
            if (top.isEmpty() || bottom.isEmpty())
                continue;
            const QRect logical(top.right() + 1, top.top(), 1, bottom.bottom() - top.top() + 1);
            const QRect device = DeviceRect(*viewport, logical);
            CheckOnlyColours(image, device, {line},
                             QStringLiteral("the line after column %1").arg(col));
            if (QTest::currentTestFailed())
                return;
        }

        // Each title cell: its edges light above and on the left, dark below and on the right,
        // the face between; black lines around it; no blends.
        for (int col = 1; col < grid.ColCount(); ++col) {
            const QRect cell = grid.CellRect(col, 0);
            if (cell.isEmpty() || cell.right() >= viewport->width())
                continue;
            const QRect device = DeviceRect(*viewport, cell);
            const QRect topEdge =
                DeviceRect(*viewport, QRect(cell.left() + 1, cell.top(), cell.width() - 2, 1));
            CheckOnlyColours(image, topEdge, {light},
                             QStringLiteral("top edge of title %1").arg(col));
            const QRect leftEdge =
                DeviceRect(*viewport, QRect(cell.left(), cell.top() + 1, 1, cell.height() - 2));
            CheckOnlyColours(image, leftEdge, {light},
                             QStringLiteral("left edge of title %1").arg(col));
            const QRect bottomEdge =
                DeviceRect(*viewport, QRect(cell.left() + 1, cell.bottom(), cell.width() - 2, 1));
            CheckOnlyColours(image, bottomEdge, {dark},
                             QStringLiteral("bottom edge of title %1").arg(col));
            const QRect rightEdge =
                DeviceRect(*viewport, QRect(cell.right(), cell.top() + 1, 1, cell.height() - 2));
            CheckOnlyColours(image, rightEdge, {dark},
                             QStringLiteral("right edge of title %1").arg(col));
            CheckOnlyColours(image, QRect(device.right() + 1, device.top(), 1, device.height()),
                             {fixedLine}, QStringLiteral("line after title %1").arg(col));
            if (QTest::currentTestFailed())
                return;
        }

        // The indicator column: nothing but its face, edges, lines and the arrow, and the
        // arrow's rows widen by one pixel to the tip and narrow again by one.
        const QRect indicator = grid.CellRect(0, grid.Row());
        const QRect device = DeviceRect(*viewport, indicator);
        CheckOnlyColours(image, device, {face, light, dark, fixedLine},
                         QStringLiteral("indicator cell"));
        const QRect inside = DeviceRect(*viewport, indicator.adjusted(1, 1, -1, -1));
        const QList<TInkRow> rows = InkRows(image, inside.adjusted(1, 1, -1, -1), fixedLine);
        QVERIFY2(rows.size() >= 7 && rows.size() % 2 == 1,
                 qPrintable(QStringLiteral("the arrow has %1 rows").arg(rows.size())));
        const int middle = static_cast<int>(rows.size() / 2);
        for (int i = 0; i < rows.size(); ++i) {
            const TInkRow &row = rows[i];
            const QString where = QStringLiteral("arrow row %1 of %2").arg(i).arg(rows.size());
            QVERIFY2(row.whole, qPrintable(where + QStringLiteral(" is broken")));
            QCOMPARE(row.y, rows[0].y + i);
            QCOMPARE(row.first, rows[0].first);
            QCOMPARE(row.last - row.first + 1, middle + 1 - std::abs(i - middle));
        }
        QVERIFY2(std::abs((middle + 1) - 4 * AskedScale()) <= 1,
                 qPrintable(QStringLiteral("the arrow is %1 pixels wide").arg(middle + 1)));
    }

    // The spin button's frame is whole on all four sides, its diagonal one unbroken line from
    // corner to corner, its arrows even on both sides, and nothing is a blend.
    static void CheckSpinButtonPixels(TRxSpinButton &button)
    {
        const QImage image = Shown(*button.window());
        const QPalette &colours = button.palette();
        const QRgb frame = colours.color(QPalette::WindowText).rgb();
        const QRgb glyph = colours.color(QPalette::ButtonText).rgb();
        const QRect box = DeviceRect(button, button.rect());
        CheckOnlyColours(image, box,
                         {frame, glyph, colours.color(QPalette::Button).rgb(),
                          colours.color(QPalette::Light).rgb(),
                          colours.color(QPalette::Dark).rgb()},
                         QStringLiteral("spin button"));
        if (QTest::currentTestFailed())
            return;
        CheckOnlyColours(image, QRect(box.left(), box.top(), box.width(), 1), {frame},
                         QStringLiteral("its top"));
        CheckOnlyColours(image, QRect(box.left(), box.bottom(), box.width(), 1), {frame},
                         QStringLiteral("its bottom"));
        CheckOnlyColours(image, QRect(box.left(), box.top(), 1, box.height()), {frame},
                         QStringLiteral("its left"));
        CheckOnlyColours(image, QRect(box.right(), box.top(), 1, box.height()), {frame},
                         QStringLiteral("its right"));
        if (QTest::currentTestFailed())
            return;

        // The diagonal: in every column inside the frame, frame-coloured pixels that touch the
        // previous column's.
        int previousTop = box.bottom(), previousBottom = box.bottom();
        for (int x = box.left() + 1; x < box.right(); ++x) {
            int top = -1, bottom = -1;
            for (int y = box.top() + 1; y < box.bottom(); ++y)
                if ((image.pixel(x, y) | 0xff000000u) == (frame | 0xff000000u)) {
                    if (top < 0)
                        top = y;
                    bottom = y;
                }
            QVERIFY2(top >= 0, qPrintable(QStringLiteral("the diagonal misses column %1").arg(x)));
            QVERIFY2(bottom >= previousTop - 1 && top <= previousBottom + 1,
                     qPrintable(QStringLiteral("the diagonal breaks at column %1").arg(x)));
            previousTop = top;
            previousBottom = bottom;
        }

        // The up arrow in the top-left half: rows centred on one axis, the head two pixels
        // wider each row; the down arrow its mirror in the bottom-right half.
        const QRect upper(box.left() + 1, box.top() + 1, box.width() / 2, box.height() / 2);
        const QRect lower(box.left() + box.width() / 2, box.top() + box.height() / 2,
                          box.width() / 2 - 1, box.height() / 2 - 1);
        for (const auto &[area, up] : {std::pair{upper, true}, std::pair{lower, false}}) {
            QList<TInkRow> rows = InkRows(image, area, glyph);
            QVERIFY2(rows.size() >= 6,
                     qPrintable(QStringLiteral("an arrow of %1 rows").arg(rows.size())));
            if (!up)
                std::reverse(rows.begin(), rows.end());
            const int axis = rows[0].first + rows[0].last;
            int width = 0;
            bool head = true;
            for (const TInkRow &row : rows) {
                QVERIFY2(row.whole, "an arrow's row is broken");
                QCOMPARE(row.first + row.last, axis);
                const int rowWidth = row.last - row.first + 1;
                if (head && rowWidth < width)
                    head = false;
                if (head)
                    QCOMPARE(rowWidth, width + 2);
                else
                    QVERIFY(rowWidth < width ||
                            rowWidth == rows.back().last - rows.back().first + 1);
                width = rowWidth;
            }
        }
    }

    // Runs `check` on the login dialog while QueryDatabaseLogin shows it for `databaseName`.
    static void CheckLogin(const QString &databaseName, const QStringList &cut)
    {
        bool checked = false;
        QTimer::singleShot(0, [&] {
            auto *dialog = qobject_cast<TLoginDialog *>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            QVERIFY(QTest::qWaitForWindowExposed(dialog));
            CheckControls(*dialog, cut);
            checked = !QTest::currentTestFailed();
            dialog->reject();
        });
        QString user;
        QString password;
        QueryDatabaseLogin(databaseName, user, password, false);
        QVERIFY(checked);
    }

private slots:
    void init()
    {
        home_ = std::make_unique<TemporaryConfigHome>();
        QVERIFY(home_->isValid());
    }
    void cleanup() { home_.reset(); }

    void design_faces_are_drawn_with_faces_of_the_same_widths()
    {
        const QString sans = QFontInfo(FormFont()).family();
        QVERIFY2(sans == QLatin1String("Liberation Sans") || sans == QLatin1String("Arimo"),
                 qPrintable(sans));
        const QString serif = QFontInfo(DesignFont(QStringLiteral("Times New Roman"), 21)).family();
        QVERIFY2(serif == QLatin1String("Liberation Serif") || serif == QLatin1String("Tinos"),
                 qPrintable(serif));
    }

    void main_window()
    {
        TMainVelkorcontrolWindow window;
        CheckShown(window);
    }

    void main_window_with_no_stored_place_is_wholly_on_its_screen()
    {
        // Its designed place, scaled, runs off a 1280-pixel screen from 1.5 on, and from 2 on
        // the window is wider than the screen.
        const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
        QVERIFY(std::abs(screen.width() * AskedScale() - 1280) < AskedScale());
        QVERIFY(std::abs(screen.height() * AskedScale() - 1024) < AskedScale());
        TMainVelkorcontrolWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        CheckOnScreen(window);
        CheckControls(window);
    }

    void main_grid_is_drawn_whole_and_sharp()
    {
        test::TTestDatabase file;
        test::TScriptedLogin login("SYSDBA", "");
        TMainVelkorcontrolWindow window;
        window.ConnectDatabase(QString::fromStdString(file.Path()));
        window.RefreshTimerTimer();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        CheckGridPixels(*window.MainGrid);
    }

    void spin_button_is_drawn_whole_and_sharp()
    {
        TSelectPriorityWindow dialog;
        // Arrows in a colour of their own, told apart from the frame and diagonal.
        QPalette colours = dialog.palette();
        colours.setColor(QPalette::ButtonText, QColor(0, 0, 160));
        dialog.setPalette(colours);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QVERIFY(dialog.PriorityValue->Button());
        CheckSpinButtonPixels(*dialog.PriorityValue->Button());
    }

    void connection_dialog()
    {
        TIBLoginDialog dialog;
        CheckShown(dialog);
    }

    void priority_dialog()
    {
        TSelectPriorityWindow dialog;
        CheckShown(dialog);
    }

    void about_window()
    {
        TAboutWindow window;
        CheckShown(window);
    }

    void login_dialog_with_a_short_database_name()
    {
        CheckLogin(QStringLiteral("localhost:/var/lib/velkor/panel.fdb"), {});
    }

    void login_dialog_with_a_name_longer_than_its_panel()
    {
        // Such a name is cut off inside the panel on purpose; everything else still fits.
        CheckLogin(QStringLiteral("server:/") + QString(200, QLatin1Char('x')),
                   {QStringLiteral("DatabaseName")});
    }

private:
    std::unique_ptr<TemporaryConfigHome> home_;
};

} // namespace velkor

QTEST_MAIN(velkor::WindowLayoutTest)
#include "window_layout_test.moc"
