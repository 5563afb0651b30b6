// Preloaded into the real program: once a window of it is up on screen, prints its title, size
// and the icon sizes it carries, and closes every window as an operator would, so the program
// ends by its own road with its own exit code.
#include <QApplication>
#include <QIcon>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <dlfcn.h>

#include <cstdio>

namespace {

QWidget *ShownWindow()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible() && widget->windowHandle() && widget->windowHandle()->isExposed())
            return widget;
    }
    return nullptr;
}

QString IconSizes(const QIcon &icon)
{
    QStringList sizes;
    for (const QSize size : icon.availableSizes()) {
        if (!icon.pixmap(size).isNull())
            sizes << QStringLiteral("%1x%2").arg(size.width()).arg(size.height());
    }
    return sizes.isEmpty() ? QStringLiteral("none") : sizes.join(u' ');
}

} // namespace

int QApplication::exec()
{
    // Parented to the application, which frees it.
    auto *poll = new QTimer(qApp);
    poll->setInterval(20);
    QObject::connect(poll, &QTimer::timeout, qApp, [poll] {
        QWidget *window = ShownWindow();
        if (!window)
            return;
        poll->stop();
        std::fprintf(stderr, "window shown [%s] %dx%d icon %s\n",
                     window->windowTitle().toUtf8().constData(), window->width(), window->height(),
                     IconSizes(window->windowIcon()).toUtf8().constData());
        QApplication::closeAllWindows();
    });
    poll->start();

    using Exec = int (*)();
    static const auto next = reinterpret_cast<Exec>(dlsym(RTLD_NEXT, "_ZN12QApplication4execEv"));
    return next();
}
