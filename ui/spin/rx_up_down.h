#pragma once

#include <QWidget>

#include <functional>

namespace velkor {

// The standard up-down pair: the upper half steps up, the lower half down.
class TRxUpDown : public QWidget
{
    Q_OBJECT

public:
    explicit TRxUpDown(QWidget *parent = nullptr);

    std::function<void(int direction)> OnStep;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    Q_DISABLE_COPY(TRxUpDown)
};

} // namespace velkor
