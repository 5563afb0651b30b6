#include "ui/rx_spin_button.h"

#include "ui/error_box.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QTimer>

namespace velkor {

namespace {

constexpr int kFirstDelayMs = 400;
constexpr int kRepeatMs = 100;

// A 6 x 6 arrow: a head three rows high over a two-pixel stem.
void DrawArrow(QPainter &painter, QPoint centre, bool up, const QColor &colour)
{
    static constexpr int kRows[6][2] = {{2, 2}, {1, 4}, {0, 6}, {2, 2}, {2, 2}, {2, 2}};
    const int left = centre.x() - 3;
    const int top = centre.y() - 3;
    for (int row = 0; row < 6; ++row) {
        const int y = up ? top + row : top + 5 - row;
        painter.fillRect(left + kRows[row][0], y, kRows[row][1], 1, colour);
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
    painter.fillRect(rect(), face);
    // Top half: lit on its top and left unless pressed; bottom half: lit along the diagonal.
    painter.setPen(topDown ? shadow : light);
    painter.drawLine(1, 1, w - 3, 1);
    painter.drawLine(1, 1, 1, h - 3);
    painter.setPen(bottomDown ? light : shadow);
    painter.drawLine(w - 2, 2, w - 2, h - 2);
    painter.drawLine(2, h - 2, w - 2, h - 2);
    painter.setPen(frame);
    painter.drawRect(0, 0, w - 1, h - 1);
    painter.drawLine(0, h - 1, w - 1, 0);

    const int shift = topDown ? 2 : 1;
    DrawArrow(painter, QPoint(w / 4 + shift, h / 4 + shift), true, glyph);
    DrawArrow(painter,
              QPoint(3 * w / 4 - 1 + (bottomDown ? 1 : 0), 3 * h / 4 - 1 + (bottomDown ? 1 : 0)),
              false, glyph);
}

} // namespace velkor
