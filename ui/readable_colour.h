#pragma once

// Contrast between two colours as a reader sees it, and text colours chosen to keep it.

#include <QColor>

#include <initializer_list>

namespace velkor {

// The least contrast at which ordinary text reads comfortably.
inline constexpr double kReadableContrast = 4.5;

// Lightness as the eye weighs red, green and blue: 0 for black, 1 for white.
[[nodiscard]] double RelativeLuminance(const QColor &colour) noexcept;
// From 1 (the same lightness) to 21 (black on white); the order of the two does not matter.
[[nodiscard]] double ContrastRatio(const QColor &a, const QColor &b) noexcept;

// `wanted` where it reads on `background`; else the first of `others` that does; else `wanted`
// mixed with white (or black) by as little as makes it read, keeping its hue.
[[nodiscard]] QColor ReadableOn(const QColor &background, const QColor &wanted,
                                std::initializer_list<QColor> others = {});

} // namespace velkor
