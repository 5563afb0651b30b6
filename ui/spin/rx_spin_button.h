#pragma once

#include <QWidget>

#include <functional>

class QTimer;

namespace velkor {

// The two-part spin button: the face is split by the diagonal from bottom-left to top-right,
// the upper-left half steps up, the lower-right half down. Holding it steps at once, again
// after 400 ms, then every 100 ms.
class TRxSpinButton : public QWidget
{
    Q_OBJECT

public:
    enum class TPressed { None, Top, Bottom };

    explicit TRxSpinButton(QWidget *parent = nullptr);
    ~TRxSpinButton() override;

    // The control that takes the focus when the button is pressed.
    [[nodiscard]] QWidget *FocusControl() const noexcept { return focusControl_; }
    void SetFocusControl(QWidget *control) noexcept { focusControl_ = control; }
    [[nodiscard]] TPressed Pressed() const noexcept { return pressed_; }
    // Which half a point of the face belongs to.
    [[nodiscard]] TPressed PartAt(QPoint point) const noexcept;
    // Created at the first press; null before.
    [[nodiscard]] QTimer *RepeatTimer() const noexcept { return repeatTimer_; }

    std::function<void()> OnTopClick;
    std::function<void()> OnBottomClick;

    [[nodiscard]] QSize sizeHint() const override { return {20, 20}; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void Click(TPressed part);
    // A click from an event: its error goes to the error box and ends the hold.
    void RunClick(TPressed part);
    void TimerExpired();
    void SetPressed(TPressed part);
    void StopDragging() noexcept;

    QWidget *focusControl_ = nullptr;
    TPressed pressed_ = TPressed::None;
    TPressed lastPressed_ = TPressed::None;
    bool dragging_ = false;
    QTimer *repeatTimer_ = nullptr;

    Q_DISABLE_COPY(TRxSpinButton)
};

} // namespace velkor
