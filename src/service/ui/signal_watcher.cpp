#include "service/ui/signal_watcher.h"

#include <QPointer>
#include <QSocketNotifier>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace vantora {

namespace {

constexpr int kWatched[3] = {SIGTERM, SIGINT, SIGHUP};

// The pipe's write end for the handler; -1 while no watcher lives.
volatile sig_atomic_t g_writeFd = -1;

extern "C" void OnSignal(int signal)
{
    const int saved = errno;
    const unsigned char number = static_cast<unsigned char>(signal);
    // A full pipe means the loop has not caught up yet: the same request is already waiting.
    [[maybe_unused]] const ssize_t written = ::write(g_writeFd, &number, 1);
    errno = saved;
}

}  // namespace

SignalWatcher::SignalWatcher(QObject* parent) : QObject(parent)
{
    if (g_writeFd >= 0)
        return;
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    m_readFd = fds[0];
    g_writeFd = fds[1];

    struct sigaction action = {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int i = 0; i < 3; ++i) {
        if (::sigaction(kWatched[i], &action, &m_previous[i]) != 0) {
            for (int j = 0; j < i; ++j)
                ::sigaction(kWatched[j], &m_previous[j], nullptr);
            ::close(m_readFd);
            ::close(g_writeFd);
            m_readFd = -1;
            g_writeFd = -1;
            return;
        }
    }
    m_notifier = new QSocketNotifier(m_readFd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &SignalWatcher::drain);
    m_watching = true;
}

SignalWatcher::~SignalWatcher()
{
    restore();
}

void SignalWatcher::restore()
{
    if (!m_watching)
        return;
    m_watching = false;
    for (int i = 0; i < 3; ++i)
        ::sigaction(kWatched[i], &m_previous[i], nullptr);
    delete m_notifier;
    m_notifier = nullptr;
    const int writeFd = g_writeFd;
    g_writeFd = -1;
    ::close(writeFd);
    ::close(m_readFd);
    m_readFd = -1;
}

void SignalWatcher::drain()
{
    unsigned char numbers[64];
    const ssize_t got = ::read(m_readFd, numbers, sizeof numbers);
    const QPointer<SignalWatcher> alive(this);
    for (ssize_t i = 0; i < got; ++i) {
        const int signal = numbers[i];
        if (signal == SIGHUP)
            Q_EMIT reloadRequested();
        else
            Q_EMIT terminateRequested(signal);
        // A slot may have destroyed us (the program ending): nothing more to deliver then.
        if (!alive || !m_watching)
            return;
    }
}

}  // namespace vantora
