#pragma once

#include <QFont>
#include <QString>

namespace velkor {

// A font the windows were designed in. Those design faces are not shipped on Linux, and a
// fallback chosen by name alone is wider, which cuts captions off; the first call maps them to
// faces with the same widths (Liberation, or Croscore's Arimo and Tinos).
[[nodiscard]] QFont DesignFont(const QString &family, int pixelSize);

// The font every window of the panel is designed in.
[[nodiscard]] inline QFont FormFont()
{
    return DesignFont(QStringLiteral("MS Sans Serif"), 11);
}

} // namespace velkor
