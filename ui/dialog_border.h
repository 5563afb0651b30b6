// Definitions for keeping a window to what a dialog border allows.
#pragma once

class QDialog;

namespace velkor {

// A dialog border is a fixed frame that cannot be minimised, maximised or made full-screen. Some
// window managers offer those on every dialog all the same, whatever the window asks for; a
// dialog taken there comes back at once, and with it the window that it was taken along with.
void KeepDialogBorder(QDialog &dialog);

} // namespace velkor
