// The grid's and the spin edit's published properties, read and written by name through the
// meta-object, as form storage and the accessibility bridge reach them.
#include "ui/grid/rx_db_grid.h"
#include "ui/spin/rx_spin_edit.h"
#include "ui/spin/rx_up_down.h"

#include <QFont>
#include <QtTest>

namespace velkor {

class PublishedPropertiesTest : public QObject
{
    Q_OBJECT

private slots:
    void the_spin_edits_properties_go_through_qobject_property()
    {
        TRxSpinEdit edit;
        QVERIFY(edit.setProperty("MaxValue", 50.0));
        QCOMPARE(edit.MaxValue(), 50.0);
        QVERIFY(edit.setProperty("Increment", 5.0));
        QCOMPARE(edit.Increment(), 5.0);
        QVERIFY(edit.setProperty("Value", 70.0));
        QCOMPARE(edit.text(), QStringLiteral("50"));
        QCOMPARE(edit.property("Value").toDouble(), 50.0);
        QVERIFY(edit.setProperty("ArrowKeys", false));
        QVERIFY(!edit.ArrowKeys());
        QVERIFY(edit.setProperty("ValueType", QVariant::fromValue(TValueType::vtFloat)));
        QCOMPARE(edit.ValueType(), TValueType::vtFloat);
        QCOMPARE(edit.property("Decimal").toInt(), 2);
        QCOMPARE(edit.text(), QStringLiteral("50.00"));
        QVERIFY(edit.setProperty("ButtonKind", QVariant::fromValue(TSpinButtonKind::bkStandard)));
        QVERIFY(edit.UpDown() != nullptr);
        QCOMPARE(edit.property("ButtonKind").value<TSpinButtonKind>(), TSpinButtonKind::bkStandard);
        // The value is what a user property editor and a reader take as the control's value.
        QCOMPARE(QString::fromLatin1(edit.metaObject()->userProperty().name()),
                 QStringLiteral("Value"));
    }

    void the_grids_properties_go_through_qobject_property()
    {
        TRxDBGrid grid;
        QVERIFY(grid.setProperty("ReadOnly", true));
        QVERIFY(grid.ReadOnly());
        QVERIFY(grid.setProperty("RowsHeight", 20));
        QCOMPARE(grid.RowsHeight(), 20);
        QCOMPARE(grid.property("RowsHeight").toInt(), 20);
        QVERIFY(grid.setProperty("ShowGlyphs", false));
        QVERIFY(!grid.ShowGlyphs());
        QVERIFY(grid.setProperty("FixedDataColumns", 1));
        QCOMPARE(grid.FixedDataColumns(), 1);
        QFont title = grid.TitleFont();
        title.setBold(true);
        QVERIFY(grid.setProperty("TitleFont", title));
        QVERIFY(grid.TitleFont().bold());
        const auto options = grid.property("Options").value<TDBGridOptions>();
        QVERIFY(options.Contains(TDBGridOption::dgTitles));
        QVERIFY(!options.Contains(TDBGridOption::dgTabs));
        for (const char *name :
             {"MultiSelect", "TitleButtons", "ClearSelection", "DefaultDrawing", "SelectedIndex"})
            QVERIFY2(grid.property(name).isValid(), name);
    }
};

} // namespace velkor

QTEST_MAIN(velkor::PublishedPropertiesTest)
#include "published_properties_test.moc"
