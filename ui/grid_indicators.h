#pragma once

#include <QImage>

namespace velkor {

// The marks of the grid's indicator column, in the order the grid numbers them.
enum class TGridIndicator { giArrow, giEdit, giInsert, giMultiDot, giMultiArrow };

// 6 x 11 pixels, black on transparent.
inline constexpr int kIndicatorWidth = 6;
inline constexpr int kIndicatorHeight = 11;

[[nodiscard]] const QImage &IndicatorImage(TGridIndicator indicator);

} // namespace velkor
