#pragma once

// The data grid's vertical scroll bar, which repaints once for what one event set on it.
#include <QScrollBar>

namespace velkor {

// A refresh closes, opens and locates the list within one timer event, and the grid sets its bar
// at each step (the thumb goes to the top on open and back on locate). Painting each of those
// would repaint the bar, and the window under it, at every tick for nothing: what the grid sets
// is taken at once, but painted only after the event, and only when it differs from what the bar
// shows.
class TRecordScrollBar : public QScrollBar
{
    Q_OBJECT

public:
    explicit TRecordScrollBar(Qt::Orientation orientation, QWidget *parent = nullptr);

    // Range, page step and value, without signals; the repaint waits for the event's end.
    void SetQuietly(int minimum, int maximum, int page, int value);

protected:
    void sliderChange(SliderChange change) override;
    void paintEvent(QPaintEvent *event) override;

private:
    struct TShown
    {
        int minimum = 0;
        int maximum = -1;
        int page = -1;
        int value = 0;
        int position = 0;
        bool operator==(const TShown &) const = default;
    };
    [[nodiscard]] TShown Now() const noexcept;
    void RepaintIfChanged();

    TShown shown_;
    bool quiet_ = false;
    bool checkPosted_ = false;

    Q_DISABLE_COPY(TRecordScrollBar)
};

} // namespace velkor
