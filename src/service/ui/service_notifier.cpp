#include "service/ui/service_notifier.h"

#include <QByteArray>

#include <chrono>
#include <cstdlib>

#ifdef VANTORA_HAVE_SYSTEMD
#include <systemd/sd-daemon.h>
#endif

namespace vantora {

ServiceNotifier::ServiceNotifier(Clock clock) : m_clock(std::move(clock))
{
    if (!m_clock) {
        m_clock = [] {
            using namespace std::chrono;
            return static_cast<std::uint64_t>(
                duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count());
        };
    }
#ifdef VANTORA_HAVE_SYSTEMD
    const char* socket = std::getenv("NOTIFY_SOCKET");
    m_active = socket != nullptr && socket[0] != '\0';
    std::uint64_t usec = 0;
    // Positive only when WATCHDOG_USEC is set and WATCHDOG_PID, if set, names this process.
    if (m_active && sd_watchdog_enabled(0, &usec) > 0 && usec > 0) {
        m_watchdogUsec = usec;
        m_pace = WatchdogPace(usec);
    }
#endif
}

bool ServiceNotifier::ready()
{
    if (m_readySent)
        return false;
    m_readySent = send("READY=1");
    return m_readySent;
}

bool ServiceNotifier::watchdog()
{
    if (!m_active || !m_pace.Due(m_clock()))
        return false;
    return send("WATCHDOG=1");
}

bool ServiceNotifier::status(const QString& text)
{
    QString line = text;
    line.replace(QLatin1Char('\n'), QLatin1Char(' '));  // one message, one assignment
    return send("STATUS=" + line.toUtf8());
}

bool ServiceNotifier::stopping()
{
    return send("STOPPING=1");
}

bool ServiceNotifier::send(const QByteArray& message)
{
    if (!m_active)
        return false;
#ifdef VANTORA_HAVE_SYSTEMD
    return sd_notify(0, message.constData()) > 0;
#else
    Q_UNUSED(message);
    return false;
#endif
}

}  // namespace vantora
