#include "ui/grid/record_scroll_bar.h"

#include <QSignalBlocker>

namespace velkor {

TRecordScrollBar::TRecordScrollBar(Qt::Orientation orientation, QWidget *parent)
    : QScrollBar(orientation, parent)
{
}

void TRecordScrollBar::SetQuietly(int minimum, int maximum, int page, int value)
{
    const QSignalBlocker quiet(this);
    quiet_ = true;
    setRange(minimum, maximum);
    setPageStep(page);
    setValue(value);
    quiet_ = false;
}

void TRecordScrollBar::sliderChange(SliderChange change)
{
    if (!quiet_) {
        QScrollBar::sliderChange(change);
        return;
    }
    // Queued at normal priority: it runs before the low-priority request that paints the window,
    // so a bar that did change still paints with the grid.
    if (!checkPosted_) {
        checkPosted_ = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                checkPosted_ = false;
                RepaintIfChanged();
            },
            Qt::QueuedConnection);
    }
}

void TRecordScrollBar::paintEvent(QPaintEvent *event)
{
    shown_ = Now();
    QScrollBar::paintEvent(event);
}

TRecordScrollBar::TShown TRecordScrollBar::Now() const noexcept
{
    return {minimum(), maximum(), pageStep(), value(), sliderPosition()};
}

void TRecordScrollBar::RepaintIfChanged()
{
    if (Now() != shown_)
        update();
}

} // namespace velkor
