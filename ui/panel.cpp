#include "ui/panel.h"

#include <QPainter>

namespace velkor {

namespace {

// One ring of a bevel along the rectangle's edges: top and left in one colour, bottom and
// right in the other, which also takes the bottom-left and top-right corners. Filled rather
// than stroked, so that at any scale each ring covers whole device pixels and meets the next.
void DrawRing(QPainter &painter, const QRect &ring, const QColor &topLeft,
              const QColor &bottomRight)
{
    painter.fillRect(ring.left(), ring.top(), ring.width(), 1, topLeft);
    painter.fillRect(ring.left(), ring.top(), 1, ring.height(), topLeft);
    painter.fillRect(ring.left(), ring.bottom(), ring.width(), 1, bottomRight);
    painter.fillRect(ring.right(), ring.top(), 1, ring.height(), bottomRight);
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
