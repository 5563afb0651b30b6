// Preloaded into a program by start_bench: prints the monotonic clock when the program's first
// window is exposed and again once that expose has been painted, then, 2 s later, its resident
// memory, and ends the program. With VELKOR_SHOWN_EXIT set it ends the program at once after the
// paint, so that an instruction count covers the start alone.
#include <QApplication>
#include <QFile>
#include <QTimer>
#include <QWindow>

#include <dlfcn.h>

#include <unistd.h>

#include <cstdio>
#include <ctime>

namespace {

long ResidentKilobytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

void PrintClock(const char *what)
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    std::fprintf(stderr, "%s %lld\n", what,
                 static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
}

class TExposeWatch : public QObject
{
protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *window = qobject_cast<QWindow *>(watched);
        if (event->type() == QEvent::Expose && window && window->isVisible())
            Shown();
        return false;
    }

public:
    // Once, at the first exposed window.
    void Shown()
    {
        if (shown_)
            return;
        shown_ = true;
        PrintClock("shown");
        // The expose is painted and flushed as it is delivered, before posted calls run.
        QTimer::singleShot(0, qApp, [] {
            PrintClock("painted");
            if (qEnvironmentVariableIsSet("VELKOR_SHOWN_EXIT")) {
                std::fflush(stderr);
                ::_exit(0);
            }
        });
        QTimer::singleShot(2000, qApp, [] {
            std::fprintf(stderr, "rss %ld\n", ResidentKilobytes());
            QCoreApplication::exit(0);
        });
    }

private:
    bool shown_ = false;
};

} // namespace

int QApplication::exec()
{
    // The application owns the watch.
    auto *watch = new TExposeWatch;
    watch->setParent(qApp);
    qApp->installEventFilter(watch);
    for (QWindow *window : QGuiApplication::topLevelWindows())
        if (window->isVisible() && window->isExposed())
            watch->Shown();
    using Exec = int (*)();
    static const auto next = reinterpret_cast<Exec>(dlsym(RTLD_NEXT, "_ZN12QApplication4execEv"));
    return next();
}
