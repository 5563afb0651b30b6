#include "desktop/desktop_identity.h"

#include <QGuiApplication>
#include <QIcon>

namespace velkor {

void SetDesktopIdentity()
{
    QIcon icon;
    for (const int size : {48, 256})
        icon.addFile(QStringLiteral(":/velkor/icon-%1.png").arg(size), QSize(size, size));
    QGuiApplication::setWindowIcon(icon);
    QGuiApplication::setDesktopFileName(QStringLiteral(VELKOR_APP_ID));
}

} // namespace velkor
