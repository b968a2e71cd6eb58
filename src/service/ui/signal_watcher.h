#pragma once
// Turns the signals a service manager or a terminal sends into Qt signals on the event loop:
// SIGTERM and SIGINT ask the program to stop, SIGHUP to read its settings again. The signal
// handler only writes the signal's number into a pipe (all it may safely do); the pipe's read
// end wakes the event loop, which emits. While it lives, these three signals no longer end the
// process by themselves; the previous handling comes back when it is destroyed.
//
// One watcher at a time: a second one made while the first lives watches nothing.

#include <QObject>

#include <csignal>
#include <memory>

class QSocketNotifier;

namespace vantora {

class SignalWatcher : public QObject {
    Q_OBJECT
public:
    explicit SignalWatcher(QObject* parent = nullptr);
    ~SignalWatcher() override;

    // False when the pipe or the handlers could not be set up, or another watcher lives.
    bool isWatching() const { return m_watching; }

Q_SIGNALS:
    // SIGTERM or SIGINT arrived (`signal` says which).
    void terminateRequested(int signal);
    // SIGHUP arrived.
    void reloadRequested();

private:
    void drain();
    void restore();

    bool m_watching = false;
    int m_readFd = -1;
    QSocketNotifier* m_notifier = nullptr;
    struct sigaction m_previous[3] = {};
};

}  // namespace vantora
