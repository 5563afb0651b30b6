#pragma once

#include <QFont>

namespace velkor {

// The font every window of the panel is designed in.
[[nodiscard]] inline QFont FormFont()
{
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(11);
    return font;
}

} // namespace velkor
