#pragma once

// Painting on whole device pixels. At a fractional scale the logical pixel grid falls between
// the device's pixels: marks and slanted lines laid out on it come out ragged or cut, so they
// are laid out on the device's own pixels instead.

#include <QPoint>
#include <QRect>
#include <QTransform>

class QColor;
class QPainter;

namespace velkor {

class TDevicePixels
{
public:
    // Takes the painter's present transform, which must only scale and move.
    explicit TDevicePixels(QPainter &painter);

    // Device pixels per logical pixel.
    [[nodiscard]] qreal Ratio() const noexcept { return ratio_; }
    // `logical` pixels as a whole number of device pixels, never less than one.
    [[nodiscard]] int Length(qreal logical) const noexcept;
    // The device pixel corner nearest to a logical point.
    [[nodiscard]] QPoint ToDevice(QPointF logical) const;
    // The device pixels that filling a logical rectangle covers.
    [[nodiscard]] QRect ToDevice(const QRect &logical) const;
    // Fills whole device pixels.
    void Fill(const QRect &device, const QColor &colour) const;

private:
    QPainter &painter_;
    QTransform toDevice_;
    QTransform toLogical_;
    qreal ratio_ = 1;
};

} // namespace velkor
