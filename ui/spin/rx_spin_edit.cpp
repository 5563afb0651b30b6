#include "ui/spin/rx_spin_edit.h"

#include "ui/error_box.h"
#include "ui/spin/rx_spin_button.h"
#include "ui/spin/rx_up_down.h"
#include "ui/spin/spin_accessibility.h"

#include <QApplication>
#include <QKeyEvent>
#include <QStyle>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace velkor {

namespace {

// The button sits inside the edit's frame, whose width this is.
constexpr int kFrame = 2;

} // namespace

TRxSpinEdit::TRxSpinEdit(QWidget *parent)
    : QLineEdit(QStringLiteral("0"), parent)
    , reported_(Value())
{
    CreateButton();
    // Typed, pasted or written: any text that reads as another number is a new value.
    connect(this, &QLineEdit::textChanged, this, &TRxSpinEdit::ReportValue);
}

TRxSpinEdit::~TRxSpinEdit()
{
    // No change notification while the edit goes away.
    blockSignals(true);
}

void TRxSpinEdit::CreateButton()
{
    delete button_;
    button_ = nullptr;
    delete upDown_;
    upDown_ = nullptr;
    if (buttonKind_ == TSpinButtonKind::bkDiagonal) {
        button_ = new TRxSpinButton(this);
        button_->SetFocusControl(this);
        button_->OnTopClick = [this] { UpClick(); };
        button_->OnBottomClick = [this] { DownClick(); };
        button_->setCursor(Qt::ArrowCursor);
        button_->show();
    } else {
        upDown_ = new TRxUpDown(this);
        upDown_->OnStep = [this](int direction) {
            if (focusPolicy() & Qt::TabFocus && isEnabled())
                setFocus(Qt::MouseFocusReason);
            if (direction > 0)
                UpClick();
            else
                DownClick();
        };
        upDown_->setCursor(Qt::ArrowCursor);
        upDown_->show();
    }
    LayoutButton();
}

void TRxSpinEdit::SetButtonKind(TSpinButtonKind kind)
{
    if (kind == buttonKind_)
        return;
    buttonKind_ = kind;
    CreateButton();
}

void TRxSpinEdit::LayoutButton()
{
    const bool framed = hasFrame();
    const int h = height();
    const int w = width();
    int buttonWidth = 0;
    if (button_) {
        // In the edit's client area: left Width - Height - 1, top -1, (Height - 3) square with
        // the frame; flush Height square without it.
        const int size = framed ? h - 3 : h;
        const int left = framed ? w - h - 1 + kFrame : w - h;
        const int top = framed ? -1 + kFrame : 0;
        const bool mirrored = layoutDirection() == Qt::RightToLeft;
        button_->setGeometry(mirrored ? (framed ? kFrame - 1 : 0) : left, top, size, size);
        buttonWidth = size;
    } else if (upDown_) {
        buttonWidth = std::min(15, style()->pixelMetric(QStyle::PM_ScrollBarExtent));
        const int inset = framed ? kFrame : 0;
        const int left = layoutDirection() == Qt::RightToLeft ? inset : w - inset - buttonWidth;
        upDown_->setGeometry(left, inset, buttonWidth, h - 2 * inset);
    }
    // The text ends 2 pixels before the button.
    if (layoutDirection() == Qt::RightToLeft)
        setTextMargins(buttonWidth + 1, 0, 0, 0);
    else
        setTextMargins(0, 0, buttonWidth + 2, 0);
    // Room for the font's text and the borders.
    setMinimumHeight(fontMetrics().height() + 4 * 1 + 1);
}

void TRxSpinEdit::resizeEvent(QResizeEvent *event)
{
    QLineEdit::resizeEvent(event);
    LayoutButton();
}

void TRxSpinEdit::changeEvent(QEvent *event)
{
    QLineEdit::changeEvent(event);
    switch (event->type()) {
    case QEvent::EnabledChange:
        if (button_)
            button_->setEnabled(isEnabled());
        if (upDown_)
            upDown_->setEnabled(isEnabled());
        break;
    case QEvent::FontChange:
    case QEvent::LayoutDirectionChange:
        LayoutButton();
        break;
    default:
        break;
    }
}

double TRxSpinEdit::CheckValue(double value) const noexcept
{
    if (maxValue_ != minValue_) {
        if (value < minValue_)
            return minValue_;
        if (value > maxValue_)
            return maxValue_;
    }
    return value;
}

double TRxSpinEdit::Value() const
{
    if (const std::optional<double> read = ReadText())
        return *read;
    return valueType_ == TValueType::vtFloat ? minValue_ : std::trunc(minValue_);
}

std::optional<double> TRxSpinEdit::ReadText() const
{
    const QString input = text();
    bool ok = false;
    double value = 0;
    switch (valueType_) {
    case TValueType::vtInteger: {
        // Decimal only, signed 32 bits; a leading "+" is a sign like "-".
        const int parsed = input.toInt(&ok, 10);
        value = parsed;
        break;
    }
    case TValueType::vtHex: {
        QString digits = input;
        bool negative = false;
        if (digits.startsWith(QLatin1Char('-')) || digits.startsWith(QLatin1Char('+'))) {
            negative = digits.startsWith(QLatin1Char('-'));
            digits.remove(0, 1);
        }
        const qlonglong parsed = digits.toLongLong(&ok, 16);
        ok = ok && !digits.isEmpty() && parsed <= std::numeric_limits<std::uint32_t>::max();
        // Eight hexadecimal digits fill the 32 bits, sign included.
        value = static_cast<std::int32_t>(static_cast<std::uint32_t>(parsed));
        if (negative)
            value = -value;
        break;
    }
    case TValueType::vtFloat:
        value = input.toDouble(&ok);
        ok = ok && std::isfinite(value);
        break;
    }
    if (ok)
        return value;
    return std::nullopt;
}

void TRxSpinEdit::SetValue(double value)
{
    const double limited = CheckValue(value);
    QString text;
    switch (valueType_) {
    case TValueType::vtInteger:
        text = QString::number(std::nearbyint(limited), 'f', 0);
        break;
    case TValueType::vtHex: {
        const auto rounded = static_cast<std::int64_t>(std::nearbyint(limited));
        text = QString::number(static_cast<std::uint32_t>(rounded), 16).toUpper();
        break;
    }
    case TValueType::vtFloat:
        text = QString::number(limited, 'f', decimal_);
        break;
    }
    if (text == QStringLiteral("-0"))
        text = QStringLiteral("0");
    WriteText(text);
}

int TRxSpinEdit::IntegerValue() const
{
    const double value = std::trunc(Value());
    if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max())
        return 0;
    return static_cast<int>(value);
}

void TRxSpinEdit::WriteText(const QString &text)
{
    setText(text);
}

void TRxSpinEdit::ReportValue()
{
    const double value = Value();
    if (value == reported_)
        return;
    reported_ = value;
    emit valueChanged(value);
}

void TRxSpinEdit::SetValueType(TValueType type)
{
    if (type == valueType_)
        return;
    const double value = Value();
    valueType_ = type;
    if (type != TValueType::vtFloat) {
        increment_ = std::nearbyint(increment_);
        if (increment_ == 0)
            increment_ = 1;
    }
    SetValue(value);
}

void TRxSpinEdit::SetDecimal(int digits)
{
    if (digits == decimal_)
        return;
    const double value = Value();
    decimal_ = digits;
    SetValue(value);
}

void TRxSpinEdit::Step(double delta, const std::function<void()> &after)
{
    if (isReadOnly()) {
        QApplication::beep();
        return;
    }
    const QString before = text();
    double next = Value() + delta;
    // Integer text reads as 32 bits: a step past either end would show a number that reads back
    // as another one.
    if (valueType_ != TValueType::vtFloat)
        next = std::clamp(next, double(std::numeric_limits<std::int32_t>::min()),
                          double(std::numeric_limits<std::int32_t>::max()));
    SetValue(next);
    if (text().compare(before, Qt::CaseInsensitive) != 0) {
        setModified(true);
        SpinValueChanged(*this);
    }
    if (after)
        after();
}

void TRxSpinEdit::UpClick()
{
    Step(increment_, OnTopClick);
}

void TRxSpinEdit::DownClick()
{
    Step(-increment_, OnBottomClick);
}

bool TRxSpinEdit::IsAllowed(QChar character) const
{
    if (character == QLatin1Char('+') || character == QLatin1Char('-') ||
        (character >= QLatin1Char('0') && character <= QLatin1Char('9')))
        return true;
    const QString current = text();
    switch (valueType_) {
    case TValueType::vtFloat:
        if (character == QLocale().decimalPoint().front() && !current.contains(character))
            return true;
        return (character == QLatin1Char('E') || character == QLatin1Char('e')) &&
               !current.toUpper().contains(QLatin1Char('E'));
    case TValueType::vtHex: {
        const QChar upper = character.toUpper();
        return upper >= QLatin1Char('A') && upper <= QLatin1Char('F');
    }
    default:
        return false;
    }
}

void TRxSpinEdit::keyPressEvent(QKeyEvent *event)
{
    // The keypad's arrows come with the keypad modifier; they are the same keys.
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (arrowKeys_ && modifiers == Qt::NoModifier &&
        (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down)) {
        RunHandler(this, [this, up = event->key() == Qt::Key_Up] { up ? UpClick() : DownClick(); });
        event->accept();
        return;
    }
    if (event == QKeySequence::Paste || event == QKeySequence::Cut) {
        if (!editorEnabled_ || isReadOnly()) {
            event->accept();
            return;
        }
        QLineEdit::keyPressEvent(event);
        return;
    }
    const QString typed = event->text();
    const bool printable = !typed.isEmpty() && typed.front().unicode() >= 32 &&
                           !(event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier));
    const bool backspace = event->key() == Qt::Key_Backspace;
    if ((printable && !IsAllowed(typed.front())) || (!editorEnabled_ && (printable || backspace))) {
        QApplication::beep();
        event->accept();
        return;
    }
    // Enter and Esc go on to the dialog, for its default and cancel buttons.
    QLineEdit::keyPressEvent(event);
}

void TRxSpinEdit::focusOutEvent(QFocusEvent *event)
{
    const double value = Value();
    if (CheckValue(value) != value)
        SetValue(value);
    QLineEdit::focusOutEvent(event);
}

} // namespace velkor
