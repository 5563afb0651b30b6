#pragma once
// The spin edit and its spin button as a screen reader sees them.

class QAccessibleInterface;

namespace velkor {

class TRxSpinButton;
class TRxSpinEdit;

// A spin box: its value and limits, its text, and the two steps as actions.
[[nodiscard]] QAccessibleInterface *NewSpinEditAccessible(TRxSpinEdit &edit);
// A button with two actions, increase and decrease.
[[nodiscard]] QAccessibleInterface *NewSpinButtonAccessible(TRxSpinButton &button);
// Tells a reader that the edit's value changed.
void SpinValueChanged(TRxSpinEdit &edit);

} // namespace velkor
