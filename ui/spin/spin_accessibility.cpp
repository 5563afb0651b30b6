#include "ui/spin/spin_accessibility.h"

#include "ui/spin/rx_spin_button.h"
#include "ui/spin/rx_spin_edit.h"

#include <QAccessibleWidget>
#include <QFontMetrics>

#include <limits>
#include <unordered_set>

namespace velkor {

namespace {

// The edits something has asked about: only they tell of their value's changes.
std::unordered_set<const TRxSpinEdit *> &Watched()
{
    static std::unordered_set<const TRxSpinEdit *> edits;
    return edits;
}

QStringList StepActions()
{
    return {QAccessibleActionInterface::increaseAction(),
            QAccessibleActionInterface::decreaseAction()};
}

class TSpinEditAccessible : public QAccessibleWidget,
                            public QAccessibleValueInterface,
                            public QAccessibleTextInterface
{
public:
    explicit TSpinEditAccessible(TRxSpinEdit &edit)
        : QAccessibleWidget(&edit, QAccessible::SpinBox)
        , key_(&edit)
    {
        Watched().insert(key_);
    }

    ~TSpinEditAccessible() override { Watched().erase(key_); }
    TSpinEditAccessible(const TSpinEditAccessible &) = delete;
    TSpinEditAccessible &operator=(const TSpinEditAccessible &) = delete;

    [[nodiscard]] TRxSpinEdit &Edit() const { return static_cast<TRxSpinEdit &>(*widget()); }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface *>(this);
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    [[nodiscard]] QString text(QAccessible::Text kind) const override
    {
        if (kind == QAccessible::Value)
            return Edit().text();
        return QAccessibleWidget::text(kind);
    }

    [[nodiscard]] QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.editable = !Edit().isReadOnly() && Edit().EditorEnabled();
        state.readOnly = Edit().isReadOnly();
        return state;
    }

    // ---- value -----------------------------------------------------------------------------

    [[nodiscard]] QVariant currentValue() const override
    {
        if (Edit().ValueType() == TValueType::vtFloat)
            return Edit().Value();
        return Edit().IntegerValue();
    }

    void setCurrentValue(const QVariant &value) override
    {
        bool ok = false;
        const double number = value.toDouble(&ok);
        if (ok && !Edit().isReadOnly())
            Edit().SetValue(number);
    }

    // Equal limits mean none: then the bounds are those of the values the edit can hold.
    [[nodiscard]] QVariant maximumValue() const override
    {
        if (Edit().MaxValue() != Edit().MinValue())
            return Edit().MaxValue();
        if (Edit().ValueType() == TValueType::vtFloat)
            return std::numeric_limits<double>::max();
        return std::numeric_limits<int>::max();
    }

    [[nodiscard]] QVariant minimumValue() const override
    {
        if (Edit().MaxValue() != Edit().MinValue())
            return Edit().MinValue();
        if (Edit().ValueType() == TValueType::vtFloat)
            return std::numeric_limits<double>::lowest();
        return std::numeric_limits<int>::min();
    }

    [[nodiscard]] QVariant minimumStepSize() const override { return Edit().Increment(); }

    // ---- the two steps ---------------------------------------------------------------------

    [[nodiscard]] QStringList actionNames() const override
    {
        return StepActions() + QAccessibleWidget::actionNames();
    }

    void doAction(const QString &name) override
    {
        if (name == QAccessibleActionInterface::increaseAction())
            Edit().UpClick();
        else if (name == QAccessibleActionInterface::decreaseAction())
            Edit().DownClick();
        else
            QAccessibleWidget::doAction(name);
    }

    [[nodiscard]] QStringList keyBindingsForAction(const QString &name) const override
    {
        if (!Edit().ArrowKeys())
            return QAccessibleWidget::keyBindingsForAction(name);
        if (name == QAccessibleActionInterface::increaseAction())
            return {QStringLiteral("Up")};
        if (name == QAccessibleActionInterface::decreaseAction())
            return {QStringLiteral("Down")};
        return QAccessibleWidget::keyBindingsForAction(name);
    }

    // ---- text ------------------------------------------------------------------------------

    void selection(int index, int *start, int *end) const override
    {
        *start = *end = 0;
        if (index == 0 && Edit().hasSelectedText()) {
            *start = static_cast<int>(Edit().selectionStart());
            *end = *start + static_cast<int>(Edit().selectionLength());
        }
    }

    [[nodiscard]] int selectionCount() const override { return Edit().hasSelectedText() ? 1 : 0; }
    void addSelection(int start, int end) override { setSelection(0, start, end); }
    void removeSelection(int) override { Edit().deselect(); }
    void setSelection(int, int start, int end) override { Edit().setSelection(start, end - start); }
    [[nodiscard]] int cursorPosition() const override { return Edit().cursorPosition(); }
    void setCursorPosition(int position) override { Edit().setCursorPosition(position); }

    [[nodiscard]] QString text(int start, int end) const override
    {
        return Edit().text().mid(start, end - start);
    }

    [[nodiscard]] int characterCount() const override
    {
        return static_cast<int>(Edit().text().size());
    }

    [[nodiscard]] QRect characterRect(int offset) const override
    {
        const QString text = Edit().text();
        if (offset < 0 || offset >= text.size())
            return {};
        const QFontMetrics metrics(Edit().font());
        const QRect area = Edit().contentsRect();
        const int x = area.left() + 2 + metrics.horizontalAdvance(text.left(offset));
        const QRect local(x, area.top() + (area.height() - metrics.height()) / 2,
                          metrics.horizontalAdvance(text.at(offset)), metrics.height());
        return {Edit().mapToGlobal(local.topLeft()), local.size()};
    }

    [[nodiscard]] int offsetAtPoint(const QPoint &point) const override
    {
        return Edit().cursorPositionAt(Edit().mapFromGlobal(point));
    }

    void scrollToSubstring(int, int end) override { Edit().setCursorPosition(end); }

    [[nodiscard]] QString attributes(int, int *start, int *end) const override
    {
        *start = 0;
        *end = characterCount();
        return {};
    }

private:
    // The edit may be half gone when the cache lets go of this.
    const TRxSpinEdit *key_;
};

class TSpinButtonAccessible : public QAccessibleWidget
{
public:
    explicit TSpinButtonAccessible(TRxSpinButton &button)
        : QAccessibleWidget(&button, QAccessible::Button)
    {
    }

    [[nodiscard]] TRxSpinButton &Button() const { return static_cast<TRxSpinButton &>(*widget()); }

    [[nodiscard]] QString text(QAccessible::Text kind) const override
    {
        if (kind == QAccessible::Name && widget()->accessibleName().isEmpty())
            return QStringLiteral("Step up or down");
        return QAccessibleWidget::text(kind);
    }

    [[nodiscard]] QStringList actionNames() const override { return StepActions(); }

    void doAction(const QString &name) override
    {
        if (!Button().isEnabled())
            return;
        if (name == QAccessibleActionInterface::increaseAction() && Button().OnTopClick)
            Button().OnTopClick();
        else if (name == QAccessibleActionInterface::decreaseAction() && Button().OnBottomClick)
            Button().OnBottomClick();
    }

    [[nodiscard]] QStringList keyBindingsForAction(const QString &) const override { return {}; }
};

} // namespace

QAccessibleInterface *NewSpinEditAccessible(TRxSpinEdit &edit)
{
    return new TSpinEditAccessible(edit);
}

QAccessibleInterface *NewSpinButtonAccessible(TRxSpinButton &button)
{
    return new TSpinButtonAccessible(button);
}

void SpinValueChanged(TRxSpinEdit &edit)
{
    if (!Watched().contains(&edit))
        return;
    QAccessibleValueChangeEvent event(&edit, edit.ValueType() == TValueType::vtFloat
                                                 ? QVariant(edit.Value())
                                                 : QVariant(edit.IntegerValue()));
    QAccessible::updateAccessibility(&event);
}

} // namespace velkor
