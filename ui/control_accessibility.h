#pragma once
// What a screen reader gets from the panel's own controls: the data grid as a table, the spin
// edit's value and steps, the spin button's two actions, the shadow label's text and the link
// label.

namespace velkor {

// Registers the accessible interfaces of the controls above with Qt; once, after the
// application object exists (later factories are asked first, so ours come before Qt's own).
void InstallAccessibility();

} // namespace velkor
