#pragma once

class QWidget;

namespace velkor {

// Gives the application its icon, which every window shows, and the name of its desktop entry,
// by which a Wayland compositor finds that entry. Call after the QApplication is made.
void SetDesktopIdentity();

// The same for a program whose first window is about to show: the entry's name at once, since
// a compositor reads it when the window is made, and the icon, decoded from its PNGs, only once
// `window` is on screen, so that its first paint does not wait for it.
void SetDesktopIdentityOnceShown(QWidget &window);

} // namespace velkor
