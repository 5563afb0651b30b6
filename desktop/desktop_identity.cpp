#include "desktop/desktop_identity.h"

#include "desktop/png_icon_engine.h"

#include <QEvent>
#include <QGuiApplication>
#include <QIcon>
#include <QTimer>
#include <QWidget>

#include <map>
#include <utility>

namespace velkor {

namespace {

void SetDesktopFileName()
{
    QGuiApplication::setDesktopFileName(QStringLiteral(VELKOR_APP_ID));
}

void SetIcon()
{
    std::map<int, QString> files;
    for (const int size : {48, 256})
        files.emplace(size, QStringLiteral(":/velkor/icon-%1.png").arg(size));
    // The icon owns its engine.
    QGuiApplication::setWindowIcon(QIcon(new TPngIconEngine(std::move(files))));
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
