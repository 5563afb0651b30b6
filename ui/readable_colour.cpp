#include "ui/readable_colour.h"

#include <algorithm>
#include <cmath>

namespace velkor {

namespace {

// base^2.4 as base² times the fifth root of base², by Newton's method from above. std::pow would
// map some 200 kB of the maths library's code and tables for a handful of calls at start.
double PowerTwoPointFour(double base) noexcept
{
    const double square = base * base;
    double root = 1.0; // base lies in (0, 1], and so does the root
    for (int step = 0; step < 64; ++step) {
        const double fourth = root * root * root * root;
        const double next = root - (fourth * root - square) / (5.0 * fourth);
        if (next >= root)
            break;
        root = next;
    }
    return square * root;
}

double Linear(double channel) noexcept
{
    return channel <= 0.04045 ? channel / 12.92 : PowerTwoPointFour((channel + 0.055) / 1.055);
}

bool Reads(const QColor &ink, const QColor &background) noexcept
{
    return ContrastRatio(ink, background) >= kReadableContrast;
}

QColor Mixed(const QColor &from, const QColor &to, double share)
{
    const auto channel = [share](int a, int b) {
        return static_cast<int>(std::lround(a + (b - a) * share));
    };
    return {channel(from.red(), to.red()), channel(from.green(), to.green()),
            channel(from.blue(), to.blue())};
}

} // namespace

double RelativeLuminance(const QColor &colour) noexcept
{
    const QColor rgb = colour.toRgb();
    return 0.2126 * Linear(rgb.redF()) + 0.7152 * Linear(rgb.greenF()) +
           0.0722 * Linear(rgb.blueF());
}

double ContrastRatio(const QColor &a, const QColor &b) noexcept
{
    const double first = RelativeLuminance(a);
    const double second = RelativeLuminance(b);
    return (std::max(first, second) + 0.05) / (std::min(first, second) + 0.05);
}

QColor ReadableOn(const QColor &background, const QColor &wanted,
                  std::initializer_list<QColor> others)
{
    if (Reads(wanted, background))
        return wanted;
    for (const QColor &other : others)
        if (other.isValid() && Reads(other, background))
            return other;
    // Below this lightness white contrasts more than black does, and either reaches the mark.
    constexpr double kMiddle = 0.179;
    const QColor end =
        RelativeLuminance(background) < kMiddle ? QColor(Qt::white) : QColor(Qt::black);
    constexpr int kSteps = 64;
    for (int step = 1; step <= kSteps; ++step) {
        const QColor mixed = Mixed(wanted, end, static_cast<double>(step) / kSteps);
        if (Reads(mixed, background))
            return mixed;
    }
    return end;
}

} // namespace velkor
