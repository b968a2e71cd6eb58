#pragma once
// Runs the Qt event loop until a condition holds, for tests that talk to sockets, timers and
// files. The limit only guards against a hang; tests assert the condition, never the time taken.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <functional>

namespace vantora::test {

inline bool WaitFor(const std::function<bool()>& done, int limitMs = 20000)
{
    QElapsedTimer elapsed;
    elapsed.start();
    QTimer wake;  // so that a wait for events never outlasts the limit
    wake.start(10);
    while (!done()) {
        if (elapsed.hasExpired(limitMs))
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

}  // namespace vantora::test
