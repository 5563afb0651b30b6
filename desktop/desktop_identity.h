#pragma once

namespace velkor {

// Gives the application its icon, which every window shows, and the name of its desktop entry,
// by which a Wayland compositor finds that entry. Call after the QApplication is made.
void SetDesktopIdentity();

} // namespace velkor
