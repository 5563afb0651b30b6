// The spin edit and its diagonal button, offscreen.
#include "tests/support/error_box_recorder.h"
#include "ui/spin/rx_spin_button.h"
#include "ui/spin/rx_spin_edit.h"
#include "ui/spin/rx_up_down.h"

#include <QDialog>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

#include <memory>
#include <stdexcept>

namespace velkor {

class RxSpinEditTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<TRxSpinEdit> edit;

private slots:
    void init()
    {
        edit = std::make_unique<TRxSpinEdit>();
        edit->resize(88, 21);
        edit->show();
    }
    void cleanup() { edit.reset(); }

    void a_new_edit_shows_zero()
    {
        QCOMPARE(edit->text(), QStringLiteral("0"));
        QCOMPARE(edit->IntegerValue(), 0);
    }

    void steps_change_the_value_once_each()
    {
        edit->SetIntegerValue(7);
        QCOMPARE(edit->text(), QStringLiteral("7"));
        QSignalSpy changes(edit.get(), &QLineEdit::textChanged);
        int tops = 0;
        edit->OnTopClick = [&] { ++tops; };
        QTest::keyClick(edit.get(), Qt::Key_Up);
        QCOMPARE(edit->text(), QStringLiteral("8"));
        QCOMPARE(changes.count(), 1);
        QCOMPARE(tops, 1);
        QTest::keyClick(edit.get(), Qt::Key_Down);
        QTest::keyClick(edit.get(), Qt::Key_Down);
        QCOMPARE(edit->IntegerValue(), 6);
        QCOMPARE(changes.count(), 3);
        QTest::keyClick(edit.get(), Qt::Key_PageUp);
        QCOMPARE(edit->IntegerValue(), 6);
    }

    void the_value_signal_fires_once_per_value_change()
    {
        edit->SetIntegerValue(7);
        QSignalSpy values(edit.get(), &TRxSpinEdit::valueChanged);
        QTest::keyClick(edit.get(), Qt::Key_Up);
        QCOMPARE(values.count(), 1);
        QCOMPARE(values.takeFirst().at(0).toDouble(), 8.0);
        // Written again, or as other text for the same number: no new value.
        edit->SetIntegerValue(8);
        edit->setText(QStringLiteral("+8"));
        QCOMPARE(values.count(), 0);
        edit->SetIntegerValue(9);
        QTest::keyClick(edit.get(), Qt::Key_Backspace);
        QTest::keyClicks(edit.get(), QStringLiteral("12"));
        // Typed: 9, then the empty text that reads as the lowest value, then 1 and 12.
        QCOMPARE(values.count(), 4);
        QCOMPARE(values.at(0).at(0).toDouble(), 9.0);
        QCOMPARE(values.at(1).at(0).toDouble(), 0.0);
        QCOMPARE(values.at(3).at(0).toDouble(), 12.0);
        // A step that cannot move past the top changes nothing.
        edit->SetMaxValue(12);
        edit->SetMinValue(0);
        QTest::keyClick(edit.get(), Qt::Key_Up);
        QCOMPARE(values.count(), 4);
    }

    void the_keypads_arrows_step_as_the_others_do()
    {
        edit->SetIntegerValue(7);
        QSignalSpy changes(edit.get(), &QLineEdit::textChanged);
        QTest::keyClick(edit.get(), Qt::Key_Up, Qt::KeypadModifier);
        QCOMPARE(edit->text(), QStringLiteral("8"));
        QCOMPARE(changes.count(), 1);
        QTest::keyClick(edit.get(), Qt::Key_Down, Qt::KeypadModifier);
        QTest::keyClick(edit.get(), Qt::Key_Down, Qt::KeypadModifier);
        QCOMPARE(edit->text(), QStringLiteral("6"));
        // Other modifiers still do not step.
        QTest::keyClick(edit.get(), Qt::Key_Up, Qt::KeypadModifier | Qt::ShiftModifier);
        QTest::keyClick(edit.get(), Qt::Key_Up, Qt::ControlModifier);
        QCOMPARE(edit->text(), QStringLiteral("6"));
    }

    void a_step_stays_inside_32_bits_data()
    {
        QTest::addColumn<TValueType>("type");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("up");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("value");
        QTest::newRow("integer top") << TValueType::vtInteger << QStringLiteral("2147483647")
                                     << true << QStringLiteral("2147483647") << 2147483647;
        QTest::newRow("integer bottom")
            << TValueType::vtInteger << QStringLiteral("-2147483648") << false
            << QStringLiteral("-2147483648") << -2147483647 - 1;
        QTest::newRow("integer below the top")
            << TValueType::vtInteger << QStringLiteral("2147483646") << true
            << QStringLiteral("2147483647") << 2147483647;
        QTest::newRow("hex top") << TValueType::vtHex << QStringLiteral("7FFFFFFF") << true
                                 << QStringLiteral("7FFFFFFF") << 2147483647;
    }
    void a_step_stays_inside_32_bits()
    {
        QFETCH(TValueType, type);
        QFETCH(QString, text);
        QFETCH(bool, up);
        QFETCH(QString, shown);
        QFETCH(int, value);
        edit->SetValueType(type);
        edit->setText(text);
        QVERIFY(edit->TextIsNumber());
        QTest::keyClick(edit.get(), up ? Qt::Key_Up : Qt::Key_Down);
        QCOMPARE(edit->text(), shown);
        QVERIFY(edit->TextIsNumber());
        QCOMPARE(edit->IntegerValue(), value);
    }

    void a_click_handler_that_throws_reaches_the_error_box()
    {
        // Qt cannot carry an exception out of an event handler: a press, a repeat tick, a key
        // and the standard up-down's press each show it in the box and carry on.
        test::TErrorBoxRecorder boxes;
        TRxSpinButton &button = *edit->Button();
        edit->SetIntegerValue(0);
        edit->OnTopClick = [] { throw std::runtime_error("Top refused"); };
        QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(3, 3));
        QCOMPARE(boxes.texts, QStringList{QStringLiteral("Top refused.")});
        QCOMPARE(edit->IntegerValue(), 1);
        QVERIFY(!button.RepeatTimer()->isActive());
        QCOMPARE(button.Pressed(), TRxSpinButton::TPressed::None);
        QTest::qWait(600);
        QCOMPARE(boxes.texts.size(), 1);
        QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(3, 3));

        // The first step goes through; the repeat timer's first one throws.
        int bottoms = 0;
        edit->OnBottomClick = [&bottoms] {
            if (++bottoms > 1)
                throw std::runtime_error("Bottom refused");
        };
        QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(15, 15));
        QCOMPARE(edit->IntegerValue(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(boxes.texts.size(), 2, 5000);
        QCOMPARE(boxes.texts.back(), QStringLiteral("Bottom refused."));
        QVERIFY(!button.RepeatTimer()->isActive());
        QCOMPARE(button.Pressed(), TRxSpinButton::TPressed::None);
        QTest::qWait(300);
        QCOMPARE(bottoms, 2);
        QCOMPARE(edit->IntegerValue(), -1);
        QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(15, 15));

        QTest::keyClick(edit.get(), Qt::Key_Up);
        QCOMPARE(boxes.texts.size(), 3);
        QCOMPARE(edit->IntegerValue(), 0);

        edit->SetButtonKind(TSpinButtonKind::bkStandard);
        TRxUpDown &upDown = *edit->UpDown();
        QTest::mouseClick(&upDown, Qt::LeftButton, {}, QPoint(2, 1));
        QCOMPARE(boxes.texts.size(), 4);
        QCOMPARE(boxes.texts.back(), QStringLiteral("Top refused."));
        QCOMPARE(edit->IntegerValue(), 1);
    }

    void values_pass_unchanged_without_limits_and_are_held_within_them()
    {
        edit->SetIntegerValue(-5);
        QCOMPARE(edit->text(), QStringLiteral("-5"));
        edit->SetIntegerValue(1000000);
        QCOMPARE(edit->text(), QStringLiteral("1000000"));
        edit->SetMinValue(1);
        edit->SetMaxValue(10);
        edit->SetIntegerValue(15);
        QCOMPARE(edit->text(), QStringLiteral("10"));
        edit->setText(QStringLiteral("15"));
        QCOMPARE(edit->IntegerValue(), 15);
        QFocusEvent leaving(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(edit.get(), &leaving);
        QCOMPARE(edit->text(), QStringLiteral("10"));
    }

    void text_that_is_not_a_number_reads_as_zero_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("value");
        QTest::newRow("empty") << QString() << 0;
        QTest::newRow("lone minus") << QStringLiteral("-") << 0;
        QTest::newRow("signs inside") << QStringLiteral("1-2") << 0;
        QTest::newRow("past 32 bits") << QStringLiteral("2147483648") << 0;
        QTest::newRow("32-bit low end") << QStringLiteral("-2147483648") << -2147483647 - 1;
        QTest::newRow("plus sign") << QStringLiteral("+12") << 12;
        QTest::newRow("pasted letters") << QStringLiteral("abc") << 0;
    }
    void text_that_is_not_a_number_reads_as_zero()
    {
        QFETCH(QString, text);
        QFETCH(int, value);
        edit->setText(text);
        QCOMPARE(edit->IntegerValue(), value);
        QCOMPARE(edit->text(), text);
    }

    void a_step_from_empty_text_starts_at_zero()
    {
        edit->clear();
        edit->UpClick();
        QCOMPARE(edit->text(), QStringLiteral("1"));
    }

    void typing_is_filtered_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::newRow("digits") << QStringLiteral("42") << QStringLiteral("042");
        QTest::newRow("letters") << QStringLiteral("a4b") << QStringLiteral("04");
        QTest::newRow("point") << QStringLiteral("1.5") << QStringLiteral("015");
        QTest::newRow("signs anywhere") << QStringLiteral("-+1-") << QStringLiteral("0-+1-");
        QTest::newRow("blank") << QStringLiteral(" 7") << QStringLiteral("07");
    }
    void typing_is_filtered()
    {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        edit->setCursorPosition(1);
        QTest::keyClicks(edit.get(), typed);
        QCOMPARE(edit->text(), shown);
    }

    void a_read_only_edit_keeps_its_text()
    {
        edit->SetIntegerValue(3);
        edit->setReadOnly(true);
        QTest::keyClick(edit.get(), Qt::Key_Up);
        edit->DownClick();
        QCOMPARE(edit->text(), QStringLiteral("3"));
    }

    void the_diagonal_decides_the_half_data()
    {
        QTest::addColumn<QPoint>("point");
        QTest::addColumn<bool>("bottom");
        QTest::newRow("top left") << QPoint(2, 2) << false;
        QTest::newRow("bottom right") << QPoint(16, 16) << true;
        QTest::newRow("on the diagonal") << QPoint(9, 9) << false;
        QTest::newRow("just below it") << QPoint(9, 10) << true;
        QTest::newRow("top right corner") << QPoint(17, 0) << false;
        QTest::newRow("bottom left corner") << QPoint(0, 17) << false;
    }
    void the_diagonal_decides_the_half()
    {
        QFETCH(QPoint, point);
        QFETCH(bool, bottom);
        TRxSpinButton button;
        button.resize(18, 18);
        QCOMPARE(button.PartAt(point) == TRxSpinButton::TPressed::Bottom, bottom);
    }

    void holding_the_button_repeats_after_400_then_every_100_ms()
    {
        TRxSpinButton &button = *edit->Button();
        QVERIFY(button.geometry().right() < edit->width());
        edit->SetIntegerValue(0);
        QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(3, 3));
        QCOMPARE(edit->IntegerValue(), 1);
        QCOMPARE(button.RepeatTimer()->interval(), 400);
        QTRY_COMPARE_WITH_TIMEOUT(edit->IntegerValue(), 2, 5000);
        QCOMPARE(button.RepeatTimer()->interval(), 100);
        QTRY_VERIFY_WITH_TIMEOUT(edit->IntegerValue() >= 3, 5000);
        QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(3, 3));
        const int held = edit->IntegerValue();
        QTest::qWait(250);
        QCOMPARE(edit->IntegerValue(), held);
        QCOMPARE(button.Pressed(), TRxSpinButton::TPressed::None);

        QTest::mouseClick(&button, Qt::LeftButton, {}, QPoint(15, 15));
        QCOMPARE(edit->IntegerValue(), held - 1);
    }

    void enter_and_esc_reach_the_dialogs_buttons()
    {
        for (const bool enter : {true, false}) {
            QDialog dialog;
            auto *spin = new TRxSpinEdit(&dialog);
            auto *ok = new QPushButton(QStringLiteral("OK"), &dialog);
            ok->setDefault(true);
            QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
            QTimer::singleShot(0, &dialog, [&] {
                spin->setFocus();
                QTest::keyClick(spin, enter ? Qt::Key_Return : Qt::Key_Escape);
            });
            QCOMPARE(dialog.exec(), enter ? int(QDialog::Accepted) : int(QDialog::Rejected));
            QCOMPARE(spin->text(), QStringLiteral("0"));
        }
    }

    void the_edit_is_never_lower_than_its_text()
    {
        edit->resize(88, 5);
        QVERIFY(edit->minimumHeight() >= edit->fontMetrics().height() + 5);
        edit->SetButtonKind(TSpinButtonKind::bkStandard);
        QVERIFY(edit->Button() == nullptr);
        QVERIFY(edit->UpDown() != nullptr);
    }
};

} // namespace velkor

QTEST_MAIN(velkor::RxSpinEditTest)
#include "rx_spin_edit_test.moc"
