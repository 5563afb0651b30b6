#include "ui/spin/rx_up_down.h"

#include "ui/error_box.h"

#include <QMouseEvent>
#include <QStyleOptionSpinBox>
#include <QStylePainter>

namespace velkor {

TRxUpDown::TRxUpDown(QWidget *parent)
    : QWidget(parent)
{
}

void TRxUpDown::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !OnStep)
        return;
    const int direction = event->position().y() < height() / 2.0 ? 1 : -1;
    RunHandler(this, [this, direction] { OnStep(direction); });
}

void TRxUpDown::paintEvent(QPaintEvent *)
{
    QStylePainter painter(this);
    QStyleOptionSpinBox option;
    option.initFrom(this);
    option.subControls = QStyle::SC_SpinBoxUp | QStyle::SC_SpinBoxDown;
    option.stepEnabled = QAbstractSpinBox::StepUpEnabled | QAbstractSpinBox::StepDownEnabled;
    option.frame = false;
    painter.drawComplexControl(QStyle::CC_SpinBox, option);
}

} // namespace velkor
