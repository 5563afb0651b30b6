#pragma once

#include <QObject>

class QSocketNotifier;
class QWidget;

namespace velkor {

// The session ending under the panel (logout's SIGHUP or SIGTERM, kill -TERM, Ctrl+C's SIGINT)
// closes it as its close box does: the window goes, its transaction ends with the default
// action, the connection detaches, and the program exits with 0.

// Blocks those signals in the calling thread and in every thread made after it; call it first
// in main, before any thread exists. The client library would otherwise take them in a handler
// of its own and shut its connections down under the window.
void BlockSessionEndSignals();

// Reads the blocked signals from a descriptor in the event loop and closes `window`.
class TSessionEndWatcher : public QObject
{
    Q_OBJECT

public:
    explicit TSessionEndWatcher(QWidget *window);
    ~TSessionEndWatcher() override;

private:
    void End();

    QWidget *window_;
    int descriptor_ = -1;
    QSocketNotifier *notifier_ = nullptr;

    Q_DISABLE_COPY(TSessionEndWatcher)
};

} // namespace velkor
