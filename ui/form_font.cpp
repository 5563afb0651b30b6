#include "ui/form_font.h"

#include <QStringList>

namespace velkor {

namespace {

void SubstituteDesignFaces()
{
    // Arial's widths are the nearest to the old bitmap sans at 8 points, and only a pixel or two
    // wider on a whole caption.
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               {QStringLiteral("Liberation Sans"), QStringLiteral("Arimo")});
    QFont::insertSubstitutions(QStringLiteral("Times New Roman"),
                               {QStringLiteral("Liberation Serif"), QStringLiteral("Tinos")});
}

} // namespace

QFont DesignFont(const QString &family, int pixelSize)
{
    static const bool substituted = (SubstituteDesignFaces(), true);
    Q_UNUSED(substituted)
    QFont font(family);
    font.setPixelSize(pixelSize);
    return font;
}

} // namespace velkor
