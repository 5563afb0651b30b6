#include "desktop/desktop_identity.h"

#include <QEvent>
#include <QGuiApplication>
#include <QIcon>
#include <QTimer>
#include <QWidget>

namespace velkor {

namespace {

void SetDesktopFileName()
{
    QGuiApplication::setDesktopFileName(QStringLiteral(VELKOR_APP_ID));
}

void SetIcon()
{
    QIcon icon;
    for (const int size : {48, 256})
        icon.addFile(QStringLiteral(":/velkor/icon-%1.png").arg(size), QSize(size, size));
    QGuiApplication::setWindowIcon(icon);
}

// Sets the icon after the first paint of the window it watches, then goes.
class TIconOnceShown : public QObject
{
public:
    explicit TIconOnceShown(QWidget &window)
        : QObject(&window)
    {
        window.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint || event->type() == QEvent::Hide) {
            watched->removeEventFilter(this);
            // After the paint has reached the screen; this filter is done with then.
            QTimer::singleShot(0, qApp, SetIcon);
            deleteLater();
        }
        return false;
    }
};

} // namespace

void SetDesktopIdentity()
{
    SetIcon();
    SetDesktopFileName();
}

void SetDesktopIdentityOnceShown(QWidget &window)
{
    SetDesktopFileName();
    // Parented to the window, which frees it should it never show.
    new TIconOnceShown(window);
}

} // namespace velkor
