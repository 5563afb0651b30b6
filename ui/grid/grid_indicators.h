#pragma once

#include <QImage>

class QColor;
class QPainter;
class QPoint;

namespace velkor {

// The marks of the grid's indicator column, in the order the grid numbers them.
enum class TGridIndicator { giArrow, giEdit, giInsert, giMultiDot, giMultiArrow };

// 6 x 11 pixels, black on transparent.
inline constexpr int kIndicatorWidth = 6;
inline constexpr int kIndicatorHeight = 11;

[[nodiscard]] const QImage &IndicatorImage(TGridIndicator indicator);

// Draws the mark in `colour` with the image's top-left corner at `topLeft`, on whole device
// pixels at the painter's scale: the arrow stays a whole triangle, one pixel at its tip, as
// large as the scale makes it; the other marks grow pixel by pixel.
void DrawIndicator(QPainter &painter, TGridIndicator indicator, QPoint topLeft,
                   const QColor &colour);

} // namespace velkor
