#include "ui/spin/spin_accessibility.h"

#include "ui/spin/rx_spin_button.h"
#include "ui/spin/rx_spin_edit.h"
#include "ui/spin/spin_edit_accessible.h"

namespace velkor {

namespace {

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

    [[nodiscard]] QStringList actionNames() const override { return SpinStepActions(); }

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
    if (!TSpinEditAccessible::IsWatched(edit))
        return;
    QAccessibleValueChangeEvent event(&edit, edit.ValueType() == TValueType::vtFloat
                                                 ? QVariant(edit.Value())
                                                 : QVariant(edit.IntegerValue()));
    QAccessible::updateAccessibility(&event);
}

} // namespace velkor
