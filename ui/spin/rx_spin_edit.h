#pragma once

#include <QLineEdit>

#include <functional>
#include <optional>

namespace velkor {

class TRxSpinButton;
class TRxUpDown;

enum class TValueType { vtInteger, vtFloat, vtHex };
enum class TSpinButtonKind { bkStandard, bkDiagonal };

// A numeric single-line edit with a spin button at its right edge: typing is filtered to what
// can form a number, Up/Down and the button step the value by Increment.
class TRxSpinEdit : public QLineEdit
{
    Q_OBJECT
    Q_PROPERTY(bool ArrowKeys READ ArrowKeys WRITE SetArrowKeys)
    Q_PROPERTY(velkor::TSpinButtonKind ButtonKind READ ButtonKind WRITE SetButtonKind)
    Q_PROPERTY(int Decimal READ Decimal WRITE SetDecimal)
    Q_PROPERTY(bool EditorEnabled READ EditorEnabled WRITE SetEditorEnabled)
    Q_PROPERTY(double Increment READ Increment WRITE SetIncrement)
    Q_PROPERTY(double MinValue READ MinValue WRITE SetMinValue)
    Q_PROPERTY(double MaxValue READ MaxValue WRITE SetMaxValue)
    Q_PROPERTY(velkor::TValueType ValueType READ ValueType WRITE SetValueType)
    Q_PROPERTY(double Value READ Value WRITE SetValue NOTIFY valueChanged USER true)

public:
    explicit TRxSpinEdit(QWidget *parent = nullptr);
    ~TRxSpinEdit() override;

    [[nodiscard]] bool ArrowKeys() const noexcept { return arrowKeys_; }
    void SetArrowKeys(bool value) noexcept { arrowKeys_ = value; }
    [[nodiscard]] TSpinButtonKind ButtonKind() const noexcept { return buttonKind_; }
    void SetButtonKind(TSpinButtonKind kind);
    [[nodiscard]] int Decimal() const noexcept { return decimal_; }
    void SetDecimal(int digits);
    [[nodiscard]] bool EditorEnabled() const noexcept { return editorEnabled_; }
    void SetEditorEnabled(bool value) noexcept { editorEnabled_ = value; }
    [[nodiscard]] double Increment() const noexcept { return increment_; }
    void SetIncrement(double value) noexcept { increment_ = value; }
    [[nodiscard]] double MinValue() const noexcept { return minValue_; }
    void SetMinValue(double value) noexcept { minValue_ = value; }
    [[nodiscard]] double MaxValue() const noexcept { return maxValue_; }
    void SetMaxValue(double value) noexcept { maxValue_ = value; }
    [[nodiscard]] TValueType ValueType() const noexcept { return valueType_; }
    void SetValueType(TValueType type);

    // The text read by the value type; what does not convert reads as MinValue.
    [[nodiscard]] double Value() const;
    // Whether the text converts by the value type, so that Value is the number shown.
    [[nodiscard]] bool TextIsNumber() const { return ReadText().has_value(); }
    // Limited, then written as text.
    void SetValue(double value);
    [[nodiscard]] int IntegerValue() const;
    void SetIntegerValue(int value) { SetValue(value); }

    void UpClick();
    void DownClick();

    [[nodiscard]] TRxSpinButton *Button() const noexcept { return button_; }
    [[nodiscard]] TRxUpDown *UpDown() const noexcept { return upDown_; }

    std::function<void()> OnTopClick;
    std::function<void()> OnBottomClick;

signals:
    // Once for each change of the number the text reads as, however the text changed.
    void valueChanged(double value);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    [[nodiscard]] double CheckValue(double value) const noexcept;
    // The text converted by the value type; nothing when it does not convert.
    [[nodiscard]] std::optional<double> ReadText() const;
    [[nodiscard]] bool IsAllowed(QChar character) const;
    void Step(double delta, const std::function<void()> &after);
    void CreateButton();
    void LayoutButton();
    // Every text the control computes goes through here. The line edit reports it through
    // textChanged as any other text, and valueChanged follows when the number is another one.
    void WriteText(const QString &text);
    void ReportValue();

    bool arrowKeys_ = true;
    TSpinButtonKind buttonKind_ = TSpinButtonKind::bkDiagonal;
    int decimal_ = 2;
    bool editorEnabled_ = true;
    double increment_ = 1.0;
    double minValue_ = 0.0;
    double maxValue_ = 0.0;
    TValueType valueType_ = TValueType::vtInteger;
    TRxSpinButton *button_ = nullptr;
    TRxUpDown *upDown_ = nullptr;
    // The value last reported through valueChanged.
    double reported_ = 0.0;

    Q_DISABLE_COPY(TRxSpinEdit)
};

} // namespace velkor
