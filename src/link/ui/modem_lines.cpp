#include "link/ui/modem_lines.h"

#include <QSerialPort>

#if defined(Q_OS_UNIX)
#include <sys/ioctl.h>
#include <termios.h>
#endif

namespace vantora {

bool SetModemLines(QSerialPort& port, bool dtr, bool rts)
{
#if defined(Q_OS_UNIX) && defined(TIOCMBIC) && defined(TIOCMBIS)
    const int descriptor = static_cast<int>(port.handle());
    if (descriptor >= 0) {
        const int lower = (dtr ? 0 : TIOCM_DTR) | (rts ? 0 : TIOCM_RTS);
        const int raise = (dtr ? TIOCM_DTR : 0) | (rts ? TIOCM_RTS : 0);
        bool ok = true;
        if (lower != 0)
            ok = ::ioctl(descriptor, TIOCMBIC, &lower) == 0 && ok;
        if (raise != 0)
            ok = ::ioctl(descriptor, TIOCMBIS, &raise) == 0 && ok;
        return ok;
    }
#endif
    const bool dtrSet = port.setDataTerminalReady(dtr);
    const bool rtsSet = port.setRequestToSend(rts);
    return dtrSet && rtsSet;
}

}  // namespace vantora
