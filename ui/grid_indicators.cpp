#include "ui/grid_indicators.h"

#include <array>

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

} // namespace

const QImage &IndicatorImage(TGridIndicator indicator)
{
    static const std::array<QImage, 5> images = {Build(kArrow), Build(kEdit), Build(kInsert),
                                                 Build(kMultiDot), Build(kMultiArrow)};
    return images[static_cast<size_t>(indicator)];
}

} // namespace velkor
