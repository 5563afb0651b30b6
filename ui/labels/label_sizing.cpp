#include "ui/labels/label_sizing.h"

#include <QLabel>

#include <algorithm>

namespace velkor {

void SizeToCaption(QLabel &label, TKeptEdge kept)
{
    const int right = label.x() + label.width();
    label.resize(label.size().expandedTo(label.sizeHint()));
    if (kept == TKeptEdge::Right)
        label.move(std::max(0, right - label.width()), label.y());
}

} // namespace velkor
