#include "ui/labels/label_sizing.h"

#include <QLabel>

namespace velkor {

void SizeToCaption(QLabel &label)
{
    label.resize(label.size().expandedTo(label.sizeHint()));
}

} // namespace velkor
