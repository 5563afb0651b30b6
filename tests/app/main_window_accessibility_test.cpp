// What a screen reader gets from the real main window with a list of 40 processes: the grid as a
// table that reads as it is drawn, focus that follows the current cell, ticks that tell only what
// changed, lookups outside the list that answer nothing; and a name, value or action for every
// other control of the panel and its dialogs.
#include "app/about_window.h"
#include "app/ib_login_dialog.h"
#include "app/login_dialog.h"
#include "app/main_velkorcontrol_window.h"
#include "app/select_priority_window.h"
#include "dataset/numeric_fields.h"
#include "db/dataset/ib_custom_dataset.h"
#include "db/dataset/ib_dataset.h"
#include "tests/support/grid_text.h"
#include "tests/support/raw_sql.h"
#include "tests/support/test_database.h"
#include "ui/control_accessibility.h"
#include "ui/grid/grid_data_link.h"
#include "ui/grid/rx_db_grid.h"
#include "ui/labels/rz_label.h"
#include "ui/spin/rx_spin_button.h"
#include "ui/spin/rx_spin_edit.h"

#include <QAccessible>
#include <QDesktopServices>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QtGui/private/qguiapplication_p.h>
#include <QtTest>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>

#include <memory>
#include <vector>

namespace velkor {

namespace {

// One event as the reader's side got it.
struct THeard
{
    QAccessible::Event type;
    QObject *object;
    int kind = -1; // the model change's type
    int firstRow = -1;
    int lastRow = -1;
    int cellRow = -1; // a focus event's cell
    int cellColumn = -1;
};

std::vector<THeard> &Heard()
{
    static std::vector<THeard> heard;
    return heard;
}

void Listen(QAccessibleEvent *event)
{
    THeard heard{event->type(), event->object()};
    if (event->type() == QAccessible::TableModelChanged) {
        const auto *change = static_cast<QAccessibleTableModelChangeEvent *>(event);
        heard.kind = change->modelChangeType();
        heard.firstRow = change->firstRow();
        heard.lastRow = change->lastRow();
    }
    if (event->type() == QAccessible::Focus) {
        if (QAccessibleInterface *iface = event->accessibleInterface();
            iface && iface->tableCellInterface()) {
            heard.cellRow = iface->tableCellInterface()->rowIndex();
            heard.cellColumn = iface->tableCellInterface()->columnIndex();
        }
    }
    Heard().push_back(heard);
}

QString Describe(const std::vector<THeard> &heard)
{
    QStringList lines;
    for (const THeard &one : heard)
        lines << QStringLiteral("event 0x%1 on %2 kind %3 rows %4-%5 cell %6,%7")
                     .arg(int(one.type), 0, 16)
                     .arg(one.object ? one.object->objectName() : QStringLiteral("(cell)"))
                     .arg(one.kind)
                     .arg(one.firstRow)
                     .arg(one.lastRow)
                     .arg(one.cellRow)
                     .arg(one.cellColumn);
    return lines.join(u'\n');
}

// Runs the queued work (the grid tells the reader once a change has settled).
void Settle()
{
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

QAccessibleInterface *Iface(QObject *object)
{
    return QAccessible::queryAccessibleInterface(object);
}

const char *const kTitles[] = {"ProcID", "Procedure name", "Priority", "Age, ms", "Age, days"};

class TMailCatcher : public QObject
{
    Q_OBJECT

public:
    QList<QUrl> asked;

public slots:
    void open(const QUrl &url) { asked.append(url); }
};

} // namespace

class MainWindowAccessibilityTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<test::TTestDatabase> file_;
    std::unique_ptr<test::TScriptedLogin> login_;
    std::unique_ptr<TMainVelkorcontrolWindow> window_;

    TRxDBGrid &Grid() const { return *window_->MainGrid; }
    QAccessibleTableInterface *Table() const { return Iface(window_->MainGrid)->tableInterface(); }

private slots:
    void initTestCase()
    {
        InstallAccessibility();
        QAccessible::installUpdateHandler(Listen);
        // As a reader on the desktop's bus would: Qt's widgets and the grid then tell of their
        // changes, and the update handler hears them.
        QPlatformIntegration *platform = QGuiApplicationPrivate::platformIntegration();
        QVERIFY(platform && platform->accessibility());
        platform->accessibility()->setActive(true);
        QVERIFY(QAccessible::isActive());
        file_ = std::make_unique<test::TTestDatabase>();
        login_ = std::make_unique<test::TScriptedLogin>("SYSDBA", "");
        // Every process a month old: ages stop at their ceiling, so an unchanged list reads the
        // same at every tick.
        test::ExecuteElsewhere(file_->Path(),
                               "UPDATE VELKOR_PROCESS SET STARTED_AT = CURRENT_TIMESTAMP - 30.5");
    }

    void cleanupTestCase()
    {
        login_.reset();
        file_.reset();
    }

    void init()
    {
        window_ = std::make_unique<TMainVelkorcontrolWindow>();
        window_->RefreshTimer->stop(); // the ticks are run one by one here
        window_->show();
        window_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    }

    void cleanup()
    {
        window_.reset();
        Settle();
        Heard().clear();
    }

    void the_closed_list_is_a_table_of_titles_only()
    {
        QAccessibleInterface *grid = Iface(window_->MainGrid);
        QVERIFY(grid);
        QCOMPARE(grid->role(), QAccessible::Table);
        QCOMPARE(grid->text(QAccessible::Name), QStringLiteral("Active procedures"));
        QAccessibleTableInterface *table = grid->tableInterface();
        QVERIFY(table);
        QCOMPARE(table->rowCount(), 0);
        QCOMPARE(table->columnCount(), 5);
        QCOMPARE(table->cellAt(0, 0), nullptr);
        QVERIFY(table->selectedRows().isEmpty());
        QCOMPARE(table->selectedCellCount(), 0);
        QCOMPARE(grid->focusChild(), nullptr);
        QCOMPARE(grid->childCount(), 5); // the headers
        for (int column = 0; column < 5; ++column)
            QCOMPARE(grid->child(column)->text(QAccessible::Name),
                     QString::fromLatin1(kTitles[column]));
    }

    void the_table_reads_as_the_grid_draws_it()
    {
        window_->ConnectDatabase(QString::fromStdString(file_->Path()));
        window_->RefreshTimerTimer();
        QCOMPARE(window_->ProceduresList->RecordCount(), 40);
        QAccessibleInterface *grid = Iface(window_->MainGrid);
        QAccessibleTableInterface *table = grid->tableInterface();
        QVERIFY(table);
        const int rows = test::GridFilledRows(Grid());
        QVERIFY(rows > 5);
        QCOMPARE(table->rowCount(), rows);
        QCOMPARE(table->rowCount(), Grid().DataLink().RecordCount());
        QCOMPARE(table->columnCount(), 5);
        QCOMPARE(grid->childCount(), 5 * (rows + 1));
        for (int column = 0; column < 5; ++column) {
            const QString title = QString::fromLatin1(kTitles[column]);
            QCOMPARE(table->columnDescription(column), title);
            QAccessibleInterface *header = grid->child(column);
            QCOMPARE(header->role(), QAccessible::ColumnHeader);
            QCOMPARE(header->text(QAccessible::Name), title);
            QCOMPARE(grid->indexOfChild(header), column);
        }
        for (int row = 0; row < rows; ++row) {
            for (int column = 0; column < 5; ++column) {
                QAccessibleInterface *cell = table->cellAt(row, column);
                QVERIFY(cell);
                QCOMPARE(cell->role(), QAccessible::Cell);
                QCOMPARE(cell->text(QAccessible::Name), test::GridText(Grid(), column, row + 1));
                QAccessibleTableCellInterface *place = cell->tableCellInterface();
                QCOMPARE(place->rowIndex(), row);
                QCOMPARE(place->columnIndex(), column);
                QCOMPARE(place->columnHeaderCells().size(), 1);
                QCOMPARE(place->columnHeaderCells().constFirst()->text(QAccessible::Name),
                         QString::fromLatin1(kTitles[column]));
                QCOMPARE(cell->parent(), grid);
                QCOMPARE(grid->indexOfChild(cell), (row + 1) * 5 + column);
                QCOMPARE(grid->child((row + 1) * 5 + column), cell);
                // The same cell however it is reached, and where it is drawn.
                QCOMPARE(table->cellAt(row, column), cell);
                QCOMPARE(grid->childAt(cell->rect().center().x(), cell->rect().center().y()), cell);
            }
        }
        QCOMPARE(table->cellAt(0, 1)->text(QAccessible::Name), QStringLiteral("scheduler"));
        QCOMPARE(table->cellAt(2, 1)->text(QAccessible::Name),
                 QStringLiteral("Опрос датчиков давления"));
        QCOMPARE(table->cellAt(0, 3)->text(QAccessible::Name), QStringLiteral("2147483647"));
        QCOMPARE(table->selectedRows(), QList<int>{0});
        QVERIFY(table->isRowSelected(0));
        QVERIFY(table->cellAt(0, 0)->tableCellInterface()->isSelected());
    }

    void focus_follows_the_current_cell()
    {
        window_->ConnectDatabase(QString::fromStdString(file_->Path()));
        window_->RefreshTimerTimer();
        Grid().setFocus();
        QVERIFY(Grid().hasFocus());
        Settle();
        QAccessibleTableInterface *table = Table();
        QVERIFY(table);
        QVERIFY(table->cellAt(0, 0)->state().focused);

        const std::pair<int, int> keys[] = {{Qt::Key_Down, 1}, {Qt::Key_Down, 2}, {Qt::Key_Up, 1},
                                            {Qt::Key_Down, 2}, {Qt::Key_Down, 3}, {Qt::Key_Up, 2}};
        for (const auto &[key, row] : keys) {
            Heard().clear();
            QTest::keyClick(&Grid(), Qt::Key(key));
            Settle();
            std::vector<THeard> focus;
            for (const THeard &heard : Heard())
                if (heard.type == QAccessible::Focus)
                    focus.push_back(heard);
            QVERIFY2(focus.size() == 1, qPrintable(Describe(Heard())));
            QCOMPARE(focus.front().cellRow, row);
            QCOMPARE(focus.front().cellColumn, 0);
            QCOMPARE(table->selectedRows(), QList<int>{row});
            QVERIFY(table->cellAt(row, 0)->state().focused);
            QVERIFY(!table->cellAt(row - 1, 0)->state().focused);
        }
        // Right moves the column, and the focus with it.
        Heard().clear();
        QTest::keyClick(&Grid(), Qt::Key_Right);
        Settle();
        QVERIFY2(Heard().size() == 1 && Heard().front().cellColumn == 1,
                 qPrintable(Describe(Heard())));
        QCOMPARE(Heard().front().cellRow, 2);
    }

    void a_tick_tells_only_what_changed()
    {
        window_->ConnectDatabase(QString::fromStdString(file_->Path()));
        window_->RefreshTimerTimer();
        Grid().setFocus();
        QTest::keyClick(&Grid(), Qt::Key_Down);
        QTest::keyClick(&Grid(), Qt::Key_Down);
        QTest::keyClick(&Grid(), Qt::Key_Down);
        Settle();
        QAccessibleTableInterface *table = Table();
        QVERIFY(table);
        QAccessibleInterface *kept = table->cellAt(3, 1);
        const QAccessible::Id keptId = QAccessible::uniqueId(kept);
        const QString keptName = kept->text(QAccessible::Name);

        // Nothing changed: the reader hears nothing of the list, and its cell is the one it had.
        // (The vertical scroll bar is Qt's own: it still tells of its thumb passing through the
        // first record while the list is reopened, and back.)
        const auto ofTheList = [this] {
            std::vector<THeard> heard;
            for (const THeard &one : Heard())
                if (one.object != Grid().verticalScrollBar())
                    heard.push_back(one);
            return heard;
        };
        for (int tick = 0; tick < 3; ++tick) {
            Heard().clear();
            window_->RefreshTimerTimer();
            Settle();
            QVERIFY2(ofTheList().empty(), qPrintable(Describe(Heard())));
            QCOMPARE(table->cellAt(3, 1), kept);
            QCOMPARE(QAccessible::accessibleInterface(keptId), kept);
            QCOMPARE(kept->text(QAccessible::Name), keptName);
            QCOMPARE(table->selectedRows(), QList<int>{3});
        }

        // Another session changes one process's priority: that row is told, nothing else.
        test::ExecuteElsewhere(file_->Path(),
                               "UPDATE VELKOR_PROCESS SET PROC_PRIORITY = 77 WHERE PROC_ID = 6");
        Heard().clear();
        window_->RefreshTimerTimer();
        Settle();
        QVERIFY2(ofTheList().size() == 1, qPrintable(Describe(Heard())));
        const THeard change = ofTheList().front();
        QCOMPARE(change.type, QAccessible::TableModelChanged);
        QCOMPARE(change.object, window_->MainGrid);
        QCOMPARE(change.kind, int(QAccessibleTableModelChangeEvent::DataChanged));
        QCOMPARE(change.firstRow, 5);
        QCOMPARE(change.lastRow, 5);
        QCOMPARE(table->cellAt(5, 2)->text(QAccessible::Name), QStringLiteral("77"));
        QCOMPARE(QAccessible::accessibleInterface(keptId), kept);
        QCOMPARE(table->selectedRows(), QList<int>{3});
    }

    void lookups_outside_the_list_answer_nothing()
    {
        QAccessibleInterface *grid = Iface(window_->MainGrid);
        QAccessibleTableInterface *table = grid->tableInterface();
        QVERIFY(table);
        window_->ConnectDatabase(QString::fromStdString(file_->Path()));
        window_->RefreshTimerTimer();
        Settle();
        const int rows = table->rowCount();
        QVERIFY(rows > 0);
        QCOMPARE(table->cellAt(-1, 0), nullptr);
        QCOMPARE(table->cellAt(rows, 0), nullptr);
        QCOMPARE(table->cellAt(0, -1), nullptr);
        QCOMPARE(table->cellAt(0, 5), nullptr);
        QCOMPARE(table->cellAt(INT_MAX, INT_MAX), nullptr);
        QCOMPARE(table->cellAt(INT_MIN, 0), nullptr);
        QCOMPARE(grid->child(-1), nullptr);
        QCOMPARE(grid->child(grid->childCount()), nullptr);
        QCOMPARE(grid->child(INT_MAX), nullptr);
        QCOMPARE(grid->indexOfChild(nullptr), -1);
        QCOMPARE(grid->indexOfChild(Iface(window_->Button1)), -1);
        QVERIFY(table->columnDescription(-1).isEmpty());
        QVERIFY(table->columnDescription(5).isEmpty());
        QVERIFY(!table->selectRow(-1));
        QVERIFY(!table->selectRow(rows));
        QVERIFY(!table->selectColumn(5));
        QCOMPARE(table->selectedRows(), QList<int>{0});

        // A reader may choose the row, as Down would.
        QVERIFY(table->selectRow(4));
        QCOMPARE(window_->ProceduresListPROC_ID->AsInteger(), 5);

        // The list closes: the cells the reader held go, and nothing answers for them.
        QAccessibleInterface *last = table->cellAt(rows - 1, 4);
        const QAccessible::Id lastId = QAccessible::uniqueId(last);
        window_->Button6Click();
        QCOMPARE(table->rowCount(), 0);
        QCOMPARE(table->cellAt(0, 0), nullptr);
        QCOMPARE(table->cellAt(rows - 1, 4), nullptr);
        QVERIFY(table->selectedRows().isEmpty());
        QVERIFY(!table->selectRow(0));
        Settle();
        QCOMPARE(QAccessible::accessibleInterface(lastId), nullptr);
        QCOMPARE(grid->childCount(), 5);
        QCOMPARE(grid->child(5), nullptr);

        // Open again with fewer rows than before: new cells, only within the list.
        test::ExecuteElsewhere(file_->Path(), "UPDATE VELKOR_PROCESS SET STOPPED_AT = "
                                              "CURRENT_TIMESTAMP WHERE PROC_ID > 3");
        window_->ConnectDatabase(QString::fromStdString(file_->Path()));
        window_->RefreshTimerTimer();
        Settle();
        test::ExecuteElsewhere(file_->Path(), "UPDATE VELKOR_PROCESS SET STOPPED_AT = NULL");
        QCOMPARE(table->rowCount(), 3);
        QCOMPARE(table->cellAt(3, 0), nullptr);
        QCOMPARE(table->cellAt(2, 1)->text(QAccessible::Name),
                 QStringLiteral("Опрос датчиков давления"));
    }

    void every_control_has_a_name()
    {
        const std::pair<QPushButton *, const char *> buttons[] = {
            {window_->Button5, "Connect"},      {window_->Button6, "Disconnect"},
            {window_->Button1, "Refresh List"}, {window_->Button2, "Stop Procedure"},
            {window_->Button3, "Set Priority"}, {window_->Button4, "About"}};
        for (const auto &[button, name] : buttons) {
            QCOMPARE(Iface(button)->role(), QAccessible::Button);
            QCOMPARE(Iface(button)->text(QAccessible::Name), QString::fromLatin1(name));
        }
        QCOMPARE(window_->Label1->buddy(), window_->MainGrid);

        TIBLoginDialog path(window_.get());
        QCOMPARE(path.Label1->buddy(), path.DatabasePathEdit);
        QCOMPARE(Iface(path.DatabasePathEdit)->text(QAccessible::Name),
                 QStringLiteral("Database:"));

        TLoginDialog login;
        QCOMPARE(Iface(login.UserName)->text(QAccessible::Name), QStringLiteral("User Name:"));
        QCOMPARE(Iface(login.Password)->text(QAccessible::Name), QStringLiteral("Password:"));

        TAboutWindow about(window_.get());
        QAccessibleInterface *title = Iface(about.RzLabel1);
        QCOMPARE(title->role(), QAccessible::StaticText);
        QCOMPARE(title->text(QAccessible::Name), QStringLiteral("Trelvan"));
        about.RzLabel1->SetCaption(QStringLiteral("Tr&&el&van"));
        QCOMPARE(title->text(QAccessible::Name), QStringLiteral("Tr&elvan"));

        TMailCatcher catcher;
        QDesktopServices::setUrlHandler(QStringLiteral("mailto"), &catcher, "open");
        QAccessibleInterface *link = Iface(about.Label2);
        QCOMPARE(link->role(), QAccessible::Link);
        QVERIFY(link->actionInterface());
        QCOMPARE(link->text(QAccessible::Name), about.Label2->text());
        QVERIFY(link->text(QAccessible::Name).startsWith(QStringLiteral("e-mail: ")));
        QVERIFY(link->state().linked);
        QCOMPARE(link->actionInterface()->actionNames(),
                 QStringList{QAccessibleActionInterface::pressAction()});
        link->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QDesktopServices::unsetUrlHandler(QStringLiteral("mailto"));
        QCOMPARE(catcher.asked,
                 QList<QUrl>{QUrl(QStringLiteral("mailto:") + TAboutWindow::kContactAddress)});
        QCOMPARE(about.result(), 0); // the link leaves the window as it was
    }

    void the_spin_edit_tells_its_value_and_steps()
    {
        TSelectPriorityWindow dialog(window_.get());
        TRxSpinEdit &edit = *dialog.PriorityValue;
        QCOMPARE(dialog.Label1->buddy(), &edit);
        edit.SetIntegerValue(7);
        QAccessibleInterface *spin = Iface(&edit);
        QCOMPARE(spin->role(), QAccessible::SpinBox);
        QCOMPARE(spin->text(QAccessible::Name), QStringLiteral("Priority:"));
        QCOMPARE(spin->text(QAccessible::Value), QStringLiteral("7"));
        QAccessibleValueInterface *value = spin->valueInterface();
        QVERIFY(value);
        QVERIFY(spin->actionInterface());
        QCOMPARE(value->currentValue().toInt(), 7);
        // No limits set: the bounds are the integer's own.
        QCOMPARE(value->minimumValue().toLongLong(), qint64(INT_MIN));
        QCOMPARE(value->maximumValue().toLongLong(), qint64(INT_MAX));
        QCOMPARE(value->minimumStepSize().toDouble(), 1.0);
        value->setCurrentValue(12);
        QCOMPARE(edit.text(), QStringLiteral("12"));
        value->setCurrentValue(QStringLiteral("not a number"));
        QCOMPARE(edit.text(), QStringLiteral("12"));
        QCOMPARE(spin->textInterface()->text(0, 2), QStringLiteral("12"));
        QCOMPARE(spin->textInterface()->characterCount(), 2);

        edit.SetMinValue(1);
        edit.SetMaxValue(10);
        QCOMPARE(value->minimumValue().toDouble(), 1.0);
        QCOMPARE(value->maximumValue().toDouble(), 10.0);
        edit.SetMinValue(0);
        edit.SetMaxValue(0);

        // The edit's two steps, and the button's, tell the reader the new value.
        QAccessibleActionInterface *steps = spin->actionInterface();
        QVERIFY(steps->actionNames().contains(QAccessibleActionInterface::increaseAction()));
        QVERIFY(steps->actionNames().contains(QAccessibleActionInterface::decreaseAction()));
        Heard().clear();
        steps->doAction(QAccessibleActionInterface::increaseAction());
        QCOMPARE(edit.IntegerValue(), 13);
        bool told = false;
        for (const THeard &heard : Heard())
            told = told || (heard.type == QAccessible::ValueChanged && heard.object == &edit);
        QVERIFY2(told, qPrintable(Describe(Heard())));

        QAccessibleInterface *button = Iface(edit.Button());
        QCOMPARE(button->role(), QAccessible::Button);
        QVERIFY(button->actionInterface());
        QVERIFY(!button->text(QAccessible::Name).isEmpty());
        QCOMPARE(button->actionInterface()->actionNames(),
                 (QStringList{QAccessibleActionInterface::increaseAction(),
                              QAccessibleActionInterface::decreaseAction()}));
        button->actionInterface()->doAction(QAccessibleActionInterface::decreaseAction());
        button->actionInterface()->doAction(QAccessibleActionInterface::decreaseAction());
        QCOMPARE(edit.IntegerValue(), 11);
        button->actionInterface()->doAction(QAccessibleActionInterface::increaseAction());
        QCOMPARE(edit.IntegerValue(), 12);
        edit.setReadOnly(true);
        steps->doAction(QAccessibleActionInterface::increaseAction());
        QCOMPARE(edit.IntegerValue(), 12);
    }
};

} // namespace velkor

QTEST_MAIN(velkor::MainWindowAccessibilityTest)
#include "main_window_accessibility_test.moc"
