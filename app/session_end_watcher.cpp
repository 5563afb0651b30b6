#include "app/session_end_watcher.h"

#include <QCoreApplication>
#include <QLoggingCategory>
#include <QSocketNotifier>
#include <QWidget>

#include <pthread.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace velkor {

namespace {

Q_LOGGING_CATEGORY(lcSession, "velkor.session")

sigset_t SessionEndSignals() noexcept
{
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGHUP);
    return set;
}

// A program the panel starts (the mail client of the About window) gets the default mask.
void UnblockInChild() noexcept
{
    const sigset_t set = SessionEndSignals();
    pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
}

} // namespace

void BlockSessionEndSignals()
{
    const sigset_t set = SessionEndSignals();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
    static const int registered = pthread_atfork(nullptr, nullptr, UnblockInChild);
    (void)registered;
}

TSessionEndWatcher::TSessionEndWatcher(QWidget *window)
    : window_(window)
{
    const sigset_t set = SessionEndSignals();
    descriptor_ = signalfd(-1, &set, SFD_NONBLOCK | SFD_CLOEXEC);
    if (descriptor_ < 0) {
        qCWarning(lcSession) << "cannot watch for the session's end:" << std::strerror(errno);
        return;
    }
    notifier_ = new QSocketNotifier(descriptor_, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &TSessionEndWatcher::End);
}

TSessionEndWatcher::~TSessionEndWatcher()
{
    if (descriptor_ >= 0)
        ::close(descriptor_);
}

void TSessionEndWatcher::End()
{
    signalfd_siginfo info{};
    bool received = false;
    while (::read(descriptor_, &info, sizeof info) == static_cast<ssize_t>(sizeof info))
        received = true;
    if (!received)
        return;
    qCInfo(lcSession) << "closing on signal" << info.ssi_signo;
    window_->close();
    // A modal dialog or error box may be up: its loop ends too, and the program with it.
    QCoreApplication::exit(0);
}

} // namespace velkor
