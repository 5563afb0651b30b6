#include "ui/grid/grid_indicators.h"

#include "ui/device_pixels.h"

#include <QPainter>

#include <array>
#include <cmath>

namespace velkor {

namespace {

// One string per row, "x" for a black pixel; drawn here rather than shipped, they stay crisp
// at any device pixel ratio the grid is painted at.
using TPattern = std::array<const char *, kIndicatorHeight>;

constexpr TPattern kArrow = {"......", "......", ".x....", ".xx...", ".xxx..", ".xxxx.",
                             ".xxx..", ".xx...", ".x....", "......", "......"};
constexpr TPattern kEdit = {"......", ".xx.xx", "...x..", "...x..", "...x..", "...x..",
                            "...x..", "...x..", "...x..", ".xx.xx", "......"};
constexpr TPattern kInsert = {"......", "......", "......", "..x...", "x.x.x.", ".xxx..",
                              "x.x.x.", "..x...", "......", "......", "......"};
constexpr TPattern kMultiDot = {"......", "......", "......", "......", "..xx..", ".xxxx.",
                                "..xx..", "......", "......", "......", "......"};
constexpr TPattern kMultiArrow = {"......", "......", ".x....", ".xx...", ".x.x..", ".x..x.",
                                  ".x.x..", ".xx...", ".x....", "......", "......"};

QImage Build(const TPattern &pattern)
{
    QImage image(kIndicatorWidth, kIndicatorHeight, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    for (int y = 0; y < kIndicatorHeight; ++y)
        for (int x = 0; x < kIndicatorWidth; ++x)
            if (pattern[static_cast<size_t>(y)][x] == 'x')
                image.setPixelColor(x, y, Qt::black);
    return image;
}

const TPattern &PatternOf(TGridIndicator indicator)
{
    static constexpr std::array<const TPattern *, 5> patterns = {&kArrow, &kEdit, &kInsert,
                                                                 &kMultiDot, &kMultiArrow};
    return *patterns[static_cast<size_t>(indicator)];
}

int Scaled(int pixels, qreal ratio)
{
    return static_cast<int>(std::lround(pixels * ratio));
}

// The arrow's pixels: columns 1 to 4 and rows 2 to 8, one more column on each row down to the
// tip on row 5. Scaled, it keeps that shape: as many columns as four pixels make, and its tip
// on the device row where the middle of row 5 falls.
void DrawArrow(const TDevicePixels &device, QPoint origin, const QColor &colour)
{
    const qreal ratio = device.Ratio();
    const int columns = std::max(1, Scaled(4, ratio));
    const int tip = origin.y() + static_cast<int>(std::floor(5.5 * ratio));
    const int left = origin.x() + Scaled(1, ratio);
    for (int step = 0; step < columns; ++step) {
        device.Fill(QRect(left, tip - step, columns - step, 1), colour);
        if (step > 0)
            device.Fill(QRect(left, tip + step, columns - step, 1), colour);
    }
}

} // namespace

void DrawIndicator(QPainter &painter, TGridIndicator indicator, QPoint topLeft,
                   const QColor &colour)
{
    const TDevicePixels device(painter);
    const QPoint origin = device.ToDevice(QPointF(topLeft));
    if (indicator == TGridIndicator::giArrow) {
        DrawArrow(device, origin, colour);
        return;
    }
    const qreal ratio = device.Ratio();
    const TPattern &pattern = PatternOf(indicator);
    for (int y = 0; y < kIndicatorHeight; ++y) {
        const int top = origin.y() + Scaled(y, ratio);
        const int height = Scaled(y + 1, ratio) - Scaled(y, ratio);
        for (int x = 0; x < kIndicatorWidth; ++x)
            if (pattern[static_cast<size_t>(y)][x] == 'x')
                device.Fill(QRect(origin.x() + Scaled(x, ratio), top,
                                  Scaled(x + 1, ratio) - Scaled(x, ratio), height),
                            colour);
    }
}

const QImage &IndicatorImage(TGridIndicator indicator)
{
    static const std::array<QImage, 5> images = {
        Build(PatternOf(TGridIndicator::giArrow)), Build(PatternOf(TGridIndicator::giEdit)),
        Build(PatternOf(TGridIndicator::giInsert)), Build(PatternOf(TGridIndicator::giMultiDot)),
        Build(PatternOf(TGridIndicator::giMultiArrow))};
    return images[static_cast<size_t>(indicator)];
}

} // namespace velkor
