// The spin edit as a screen reader sees it: a spin box with a value, a text and two steps.
#pragma once

#include <QAccessibleWidget>

namespace velkor {

class TRxSpinEdit;

// The two step actions, increase then decrease, of the edit and of its button.
[[nodiscard]] QStringList SpinStepActions();

// What a reader asks of the spin edit: its value and limits, its text and the two steps.
class TSpinEditAccessible : public QAccessibleWidget,
                            public QAccessibleValueInterface,
                            public QAccessibleTextInterface
{
public:
    explicit TSpinEditAccessible(TRxSpinEdit &edit);

    ~TSpinEditAccessible() override;
    TSpinEditAccessible(const TSpinEditAccessible &) = delete;
    TSpinEditAccessible &operator=(const TSpinEditAccessible &) = delete;

    // Whether something has asked about the edit: only those edits tell of their value's changes.
    [[nodiscard]] static bool IsWatched(const TRxSpinEdit &edit);

    [[nodiscard]] TRxSpinEdit &Edit() const;

    void *interface_cast(QAccessible::InterfaceType type) override;

    [[nodiscard]] QString text(QAccessible::Text kind) const override;
    [[nodiscard]] QAccessible::State state() const override;

    // ---- value -----------------------------------------------------------------------------

    [[nodiscard]] QVariant currentValue() const override;

    void setCurrentValue(const QVariant &value) override;

    // Equal limits mean none: then the bounds are those of the values the edit can hold.
    [[nodiscard]] QVariant maximumValue() const override;

    [[nodiscard]] QVariant minimumValue() const override;

    [[nodiscard]] QVariant minimumStepSize() const override;

    // ---- the two steps ---------------------------------------------------------------------

    [[nodiscard]] QStringList actionNames() const override;

    void doAction(const QString &name) override;

    [[nodiscard]] QStringList keyBindingsForAction(const QString &name) const override;

    // ---- text ------------------------------------------------------------------------------

    void selection(int index, int *start, int *end) const override;

    [[nodiscard]] int selectionCount() const override;
    void addSelection(int start, int end) override;
    void removeSelection(int) override;
    void setSelection(int, int start, int end) override;
    [[nodiscard]] int cursorPosition() const override;
    void setCursorPosition(int position) override;

    [[nodiscard]] QString text(int start, int end) const override;

    [[nodiscard]] int characterCount() const override;

    [[nodiscard]] QRect characterRect(int offset) const override;

    [[nodiscard]] int offsetAtPoint(const QPoint &point) const override;

    void scrollToSubstring(int, int end) override;

    [[nodiscard]] QString attributes(int, int *start, int *end) const override;

private:
    // The edit may be half gone when the cache lets go of this.
    const TRxSpinEdit *key_;
};

} // namespace velkor
