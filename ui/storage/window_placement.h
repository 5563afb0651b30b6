#pragma once

#include "settings/custom_ini_file.h"

#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>

#include <string>

class QWidget;

namespace velkor {

// Show commands as the stored values number them.
enum TShowCommand : int {
    swHide = 0,
    swShowNormal = 1,
    swShowMinimized = 2,
    swShowMaximized = 3,
};

// A top-level window's placement in the stored values' terms. The windowing system here has no
// placement flags and no minimised or maximised positions, so those are kept with the window
// and written back as they came: the values stay what other programs reading them expect.
struct TWindowPlacement
{
    int flags = 0;
    int showCmd = swShowNormal;
    int minX = -1, minY = -1;
    int maxX = -1, maxY = -1;
    // The frame's rectangle in the normal state, right and bottom exclusive.
    int left = 0, top = 0, right = 0, bottom = 0;
};

[[nodiscard]] TWindowPlacement GetWindowPlacement(const QWidget &window);
// Moves and sizes the window to the normal rectangle and keeps the other positions; the show
// command is not applied here. A rectangle that is not wholly on an available screen is moved
// onto the one it overlaps most (or the window's own), keeping its size.
void SetWindowPlacement(QWidget &window, const TWindowPlacement &placement);
// `frame` moved by as little as needs be to lie inside `area`; its top-left corner stays inside
// when it is the larger of the two.
[[nodiscard]] QRect KeptInside(const QRect &frame, const QRect &area) noexcept;
// The available area of the screen that shows most of `frame`, else of the window's screen.
[[nodiscard]] QRect AvailableAreaFor(const QWidget &window, const QRect &frame);

// Where the frame's top-left corner goes for the whole frame, title bar and borders included,
// to sit in the middle of `area`.
[[nodiscard]] QPoint CentredFramePosition(const QRect &area, const QSize &client,
                                          const QMargins &frame) noexcept;
// Centres a top-level window's frame on its screen's available area. Before the window manager
// has framed it, its frame is taken to be the one the panel's other windows have.
void CentreFrameOnScreen(QWidget &window);
// The frame the window has, or, before the window manager has framed it, the one the panel's
// other windows have; none when nothing is known yet.
[[nodiscard]] QMargins ExpectedFrameMargins(const QWidget &window);
// The client size of a window whose frame must fit `area`: never larger than asked.
[[nodiscard]] QSize FittedClientSize(const QSize &client, const QMargins &frame,
                                     const QSize &area) noexcept;
// Keeps a window that has no stored place wholly on the available area of its screen: moved by
// as little as needs be and, when it is larger than the area, made as large as the area.
void KeepOnScreen(QWidget &window);
// Where the frame of the maximised window goes, just outside the screen's edges.
void SetMaximizedPosition(QWidget &window, int x, int y);

[[nodiscard]] bool IsSizeable(const QWidget &window);
// The frame's width and height beyond the client area on one side, 0 for a borderless window.
[[nodiscard]] int FrameWidth(const QWidget &window);
[[nodiscard]] int FrameHeight(const QWidget &window);

// "(WxH)": appended to position names so that each screen size keeps its own position.
[[nodiscard]] std::string ScreenSuffix(const QWidget &window);
[[nodiscard]] int PixelsPerInch(const QWidget &window);

// Writes Flags, ShowCmd, PixelsPerInch, MinMaxPos and NormPos (each of the two positions first
// with the screen suffix, then without).
void WriteFormPlacement(const QWidget &window, TCustomIniFile &ini, const std::string &section);
// Restores the stored position and state as far as `position` and `state` ask.
void ReadFormPlacement(QWidget &window, TCustomIniFile &ini, const std::string &section,
                       bool position, bool state);

} // namespace velkor
