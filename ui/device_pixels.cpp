#include "ui/device_pixels.h"

#include <QColor>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace velkor {

TDevicePixels::TDevicePixels(QPainter &painter)
    : painter_(painter)
    , toDevice_(painter.deviceTransform())
    , toLogical_(toDevice_.inverted())
    , ratio_(std::abs(toDevice_.m11()) > 0 ? std::abs(toDevice_.m11()) : 1.0)
{
}

int TDevicePixels::Length(qreal logical) const noexcept
{
    return std::max(1, static_cast<int>(std::lround(logical * ratio_)));
}

QPoint TDevicePixels::ToDevice(QPointF logical) const
{
    return toDevice_.map(logical).toPoint();
}

QRect TDevicePixels::ToDevice(const QRect &logical) const
{
    // The edges round as a filled rectangle's do, so neighbours share them.
    const QPoint topLeft = ToDevice(QPointF(logical.topLeft()));
    const QPoint end =
        ToDevice(QPointF(logical.x() + logical.width(), logical.y() + logical.height()));
    return {topLeft, end - QPoint(1, 1)};
}

void TDevicePixels::Fill(const QRect &device, const QColor &colour) const
{
    if (device.isEmpty())
        return;
    // Mapped back, each edge lands a hair from a whole device pixel and rounds onto it.
    painter_.fillRect(toLogical_.mapRect(QRectF(device)), colour);
}

} // namespace velkor
