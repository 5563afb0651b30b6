#include "ui/spin/rx_spin_button.h"

#include "ui/device_pixels.h"
#include "ui/error_box.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace velkor {

namespace {

constexpr int kFirstDelayMs = 400;
constexpr int kRepeatMs = 100;

// The 6 x 6 arrow of the design, laid out on device pixels: a head three rows high, each row
// two pixels wider than the one before, over a stem two pixels wide and three high. `centre`
// is the corner between its four middle pixels.
void DrawArrow(const TDevicePixels &device, QPointF centre, bool up, const QColor &colour)
{
    // Rounded down at a half, so that the head stays inside the design's box and off the bevel.
    const auto within = [&device](int logical) {
        return std::max(1, static_cast<int>(std::ceil(logical * device.Ratio() - 0.5)));
    };
    const int half = within(3);
    const int stemHalf = device.Length(1);
    const int stemRows = within(3);
    const QPoint middle = device.ToDevice(centre);
    const int rows = half + stemRows;
    const int top = middle.y() - rows / 2;
    for (int row = 0; row < rows; ++row) {
        const int reach = row < half ? row + 1 : stemHalf;
        const int y = up ? top + row : top + rows - 1 - row;
        device.Fill(QRect(middle.x() - reach, y, 2 * reach, 1), colour);
    }
}

// The line from the bottom-left corner to the top-right one, one logical pixel thick, as a
// staircase of whole device pixels.
void DrawDiagonal(const TDevicePixels &device, const QRect &box, const QColor &colour)
{
    const int thickness = device.Length(1);
    const int w = box.width();
    const int h = box.height();
    for (int i = 0; i < w; ++i) {
        const int rise =
            w > 1 ? static_cast<int>(std::lround(static_cast<double>(i) * (h - 1) / (w - 1))) : 0;
        const int y = box.bottom() - rise;
        const int first = std::max(box.top(), y - (thickness - 1) / 2);
        const int last = std::min(box.bottom(), y + thickness / 2);
        device.Fill(QRect(box.left() + i, first, 1, last - first + 1), colour);
    }
}

} // namespace

TRxSpinButton::TRxSpinButton(QWidget *parent)
    : QWidget(parent)
{
    resize(20, 20);
}

TRxSpinButton::~TRxSpinButton() = default;

TRxSpinButton::TPressed TRxSpinButton::PartAt(QPoint point) const noexcept
{
    const double w = width();
    const double h = height();
    if (w <= 0)
        return TPressed::Top;
    return point.y() > h - (h / w) * point.x() ? TPressed::Bottom : TPressed::Top;
}

void TRxSpinButton::SetPressed(TPressed part)
{
    if (part == pressed_)
        return;
    pressed_ = part;
    update();
}

void TRxSpinButton::Click(TPressed part)
{
    if (part == TPressed::Bottom) {
        if (OnBottomClick)
            OnBottomClick();
    } else if (part == TPressed::Top) {
        if (OnTopClick)
            OnTopClick();
    }
    if (!(QApplication::mouseButtons() & Qt::LeftButton) && !dragging_)
        SetPressed(TPressed::None);
}

void TRxSpinButton::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !isEnabled()) {
        QWidget::mousePressEvent(event);
        return;
    }
    if (focusControl_ && focusControl_->focusPolicy() & Qt::TabFocus &&
        focusControl_->isEnabled() && !focusControl_->hasFocus())
        focusControl_->setFocus(Qt::MouseFocusReason);
    if (pressed_ == TPressed::None) {
        const TPressed part = PartAt(event->position().toPoint());
        lastPressed_ = part;
        dragging_ = true;
        SetPressed(part);
        if (!repeatTimer_) {
            repeatTimer_ = new QTimer(this);
            connect(repeatTimer_, &QTimer::timeout, this, &TRxSpinButton::TimerExpired);
        }
        repeatTimer_->setInterval(kFirstDelayMs);
        repeatTimer_->start();
        RunClick(part);
    } else {
        dragging_ = true;
    }
}

void TRxSpinButton::TimerExpired()
{
    repeatTimer_->setInterval(kRepeatMs);
    if (pressed_ == TPressed::None || !dragging_)
        return;
    RunClick(pressed_);
}

void TRxSpinButton::RunClick(TPressed part)
{
    RunHandler(this, [this, part] {
        try {
            Click(part);
        } catch (...) {
            // The error box takes the mouse: no release will come to end the hold.
            StopDragging();
            update();
            throw;
        }
    });
}

void TRxSpinButton::mouseMoveEvent(QMouseEvent *event)
{
    if (!dragging_)
        return;
    const QPoint point = event->position().toPoint();
    const bool inside = rect().contains(point);
    SetPressed(inside && PartAt(point) == lastPressed_ ? lastPressed_ : TPressed::None);
}

void TRxSpinButton::mouseReleaseEvent(QMouseEvent *event)
{
    if (!dragging_)
        return;
    dragging_ = false;
    if (repeatTimer_)
        repeatTimer_->stop();
    if (rect().contains(event->position().toPoint())) {
        lastPressed_ = TPressed::None;
        SetPressed(TPressed::None);
    }
}

void TRxSpinButton::StopDragging() noexcept
{
    dragging_ = false;
    pressed_ = TPressed::None;
    lastPressed_ = TPressed::None;
    if (repeatTimer_)
        repeatTimer_->stop();
}

void TRxSpinButton::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::EnabledChange && !isEnabled())
        StopDragging();
    QWidget::changeEvent(event);
}

void TRxSpinButton::paintEvent(QPaintEvent *)
{
    const int w = width();
    const int h = height();
    if (w <= 1 || h <= 1)
        return;
    const QPalette &colours = palette();
    const QColor face = colours.color(QPalette::Button);
    const QColor light = colours.color(QPalette::Light);
    const QColor shadow = colours.color(QPalette::Dark);
    const QColor frame = colours.color(QPalette::WindowText);
    const QColor glyph = isEnabled() ? colours.color(QPalette::ButtonText)
                                     : colours.color(QPalette::Disabled, QPalette::ButtonText);
    const bool topDown = pressed_ == TPressed::Top;
    const bool bottomDown = pressed_ == TPressed::Bottom;

    QPainter painter(this);
    // Every edge is a filled row or column of whole pixels: a pen's line at a fractional
    // scale would fall between device pixels and be cut on one side.
    painter.fillRect(rect(), face);
    // Top half: lit on its top and left unless pressed; bottom half: lit along the diagonal.
    const QColor topLit = topDown ? shadow : light;
    painter.fillRect(1, 1, w - 3, 1, topLit);
    painter.fillRect(1, 1, 1, h - 3, topLit);
    const QColor bottomLit = bottomDown ? light : shadow;
    painter.fillRect(w - 2, 2, 1, h - 3, bottomLit);
    painter.fillRect(2, h - 2, w - 3, 1, bottomLit);
    painter.fillRect(0, 0, w, 1, frame);
    painter.fillRect(0, 0, 1, h, frame);
    painter.fillRect(0, h - 1, w, 1, frame);
    painter.fillRect(w - 1, 0, 1, h, frame);

    const TDevicePixels device(painter);
    DrawDiagonal(device, device.ToDevice(rect()), frame);
    const int shift = topDown ? 2 : 1;
    DrawArrow(device, QPointF(w / 4 + shift, h / 4 + shift), true, glyph);
    const int downShift = bottomDown ? 0 : -1;
    DrawArrow(device, QPointF(3 * w / 4 + downShift, 3 * h / 4 + downShift), false, glyph);
}

} // namespace velkor
