// Every window as the operator sees it on this desktop: the design faces map to faces of the
// same widths, each caption fits its label, and no control covers another. Run once at the
// normal scale and once at twice it (QT_SCALE_FACTOR=2).
#include "app/about_window.h"
#include "app/db_login_dialog.h"
#include "app/ib_login_dialog.h"
#include "app/main_control_window.h"
#include "app/set_priority_window.h"
#include "tests/support/temporary_registry.h"
#include "ui/form_font.h"
#include "ui/panel.h"
#include "ui/rz_label.h"

#include <QFontInfo>
#include <QLabel>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <memory>

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
        CheckControls(window, cut);
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
