#include "ui/panel.h"

#include <QPainter>

namespace velkor {

namespace {

// One ring of a bevel along the rectangle's edges: top and left in one colour, bottom and
// right in the other.
void DrawRing(QPainter &painter, const QRect &ring, const QColor &topLeft,
              const QColor &bottomRight)
{
    painter.setPen(topLeft);
    painter.drawLine(ring.topLeft(), ring.topRight());
    painter.drawLine(ring.topLeft(), ring.bottomLeft());
    painter.setPen(bottomRight);
    painter.drawLine(ring.bottomLeft(), ring.bottomRight());
    painter.drawLine(ring.topRight(), ring.bottomRight());
}

} // namespace

TPanel::TPanel(QWidget *parent)
    : QFrame(parent)
{
}

void TPanel::SetBevelOuter(TPanelBevel bevel)
{
    if (bevelOuter_ == bevel)
        return;
    bevelOuter_ = bevel;
    update();
}

void TPanel::SetBevelInner(TPanelBevel bevel)
{
    if (bevelInner_ == bevel)
        return;
    bevelInner_ = bevel;
    update();
}

void TPanel::paintEvent(QPaintEvent * /*event*/)
{
    const QColor shadow = palette().color(QPalette::Dark);
    const QColor highlight = palette().color(QPalette::Light);
    QRect ring = rect();
    QPainter painter(this);
    for (const TPanelBevel bevel : {bevelOuter_, bevelInner_}) {
        if (bevel == bvNone || ring.width() < 2 || ring.height() < 2)
            continue;
        if (bevel == bvRaised)
            DrawRing(painter, ring, highlight, shadow);
        else
            DrawRing(painter, ring, shadow, highlight);
        ring.adjust(1, 1, -1, -1);
    }
}

} // namespace velkor
