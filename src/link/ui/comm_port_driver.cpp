#include "link/ui/comm_port_driver.h"

#include "link/port_name.h"
#include "link/ui/modem_lines.h"

#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>
#endif

namespace vantora {

namespace {

#ifdef Q_OS_UNIX
// Written through the port object, read by the receive poll straight from the descriptor that
// holds the claim: so what the unit answers waits in the terminal until the poll asks for it,
// rather than waking the program once more every tick to be copied into the port's buffer.
constexpr QIODevice::OpenMode kOpenMode = QIODevice::WriteOnly;

// A write-only open leaves the line's receiver off; the receive poll needs it on.
void EnableReceiver(int fd)
{
    termios line{};
    if (::tcgetattr(fd, &line) == 0 && !(line.c_cflag & CREAD)) {
        line.c_cflag |= CREAD;
        ::tcsetattr(fd, TCSANOW, &line);
    }
}
#else
constexpr QIODevice::OpenMode kOpenMode = QIODevice::ReadWrite;
#endif

}  // namespace

TCommPortDriver::TCommPortDriver(QObject* parent)
    : QObject(parent), m_tempInBuffer(static_cast<std::size_t>(m_inBufSize))
{
    setObjectName(QStringLiteral("CommPortDriver1"));
    m_pollTimer.setTimerType(Qt::PreciseTimer);
    m_pollTimer.setInterval(m_pollingDelay);
    connect(&m_pollTimer, &QTimer::timeout, this, &TCommPortDriver::PollReceive);
    connect(&m_port, &QSerialPort::errorOccurred, this, &TCommPortDriver::OnPortError);
}

TCommPortDriver::~TCommPortDriver()
{
    Disconnect();
}

QString TCommPortDriver::DeviceName() const
{
    return QString::fromStdString(DeviceNameOf(m_comPort + 1));
}

std::string TCommPortDriver::DeviceNameOf(int portNumber) const
{
    return m_deviceNameResolver ? m_deviceNameResolver(portNumber) : PortDeviceName(portNumber);
}

bool TCommPortDriver::Connect()
{
    if (Connected())
        return true;
    m_closeScheduled = false;
    m_port.setPortName(DeviceName());
    m_port.setBaudRate(m_baudRate);
    m_port.setDataBits(m_dataBits);
    m_port.setParity(m_parity);
    m_port.setStopBits(m_stopBits);
    m_port.setFlowControl(m_flowControl);

    // The claim comes before the open, which sets the line up: a port that another program
    // holds is left exactly as it is.
    const Claim claim = ClaimDevice();
    if (claim != Claim::Taken) {
        OpenFailed(claim == Claim::Busy);
        return false;
    }
    m_configuring = true;
    if (!m_port.open(kOpenMode)) {
        // We hold the device, so a refusal now is another program's lock file or exclusive mode.
        const bool busy = m_port.error() == QSerialPort::PermissionError;
        m_configuring = false;
        m_port.clearError();
        ReleaseClaim();
        OpenFailed(busy);
        return false;
    }
#ifdef Q_OS_UNIX
    // Further opens of the terminal fail (except for the superuser) while it is open here.
    ::ioctl(static_cast<int>(m_port.handle()), TIOCEXCL);
    EnableReceiver(m_claimFd);
#endif
    m_openFailedBusy = false;
    m_busyReported.clear();
    // The system raised DTR and RTS with the open: down again at once, both in one request. A
    // pseudo-terminal or an adapter without modem lines refuses this; the line works all the
    // same, so the refusal is not an error here.
    SetModemLines(m_port, m_enableDtrOnOpen, false);
    FlushBuffers(true, true);
    m_port.clearError();
    m_configuring = false;

    m_pollTimer.start();
    Q_EMIT portOpened();
    return true;
}

TCommPortDriver::Claim TCommPortDriver::ClaimDevice()
{
#ifdef Q_OS_UNIX
    const QString name = DeviceName();
    const QString path = name.startsWith(QLatin1Char('/')) ? name : QStringLiteral("/dev/") + name;
    const int fd = ::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return errno == EBUSY ? Claim::Busy : Claim::Failed;  // EBUSY: another's exclusive mode
    // Held for as long as the port is open; it goes with the descriptor however the process ends.
    // A device that takes no locks at all is opened without one.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
        ::close(fd);
        return Claim::Busy;
    }
    m_claimFd = fd;
#endif
    return Claim::Taken;
}

void TCommPortDriver::ReleaseClaim()
{
#ifdef Q_OS_UNIX
    if (m_claimFd >= 0)
        ::close(m_claimFd);
#endif
    m_claimFd = -1;
}

void TCommPortDriver::OpenFailed(bool busy)
{
    m_openFailedBusy = busy;
    const QString device = DeviceName();
    if (busy && m_busyReported != device) {
        // Once per device until it opens: a lost port is tried again every two seconds.
        std::fprintf(stderr, "vantora: port busy: %s is held by another program\n", qPrintable(device));
        m_busyReported = device;
    } else if (!busy) {
        m_busyReported.clear();
    }
    Q_EMIT portOpenFailed();
}

void TCommPortDriver::Disconnect()
{
    if (!m_port.isOpen())
        return;
    m_pollTimer.stop();
#ifdef Q_OS_UNIX
    ::ioctl(static_cast<int>(m_port.handle()), TIOCNXCL);
#endif
    m_port.close();
    m_port.clearError();
    ReleaseClaim();
}

bool TCommPortDriver::Connected() const
{
    return m_port.isOpen();
}

int TCommPortDriver::SendData(const std::uint8_t* data, int size)
{
    return SendDataEx(data, size, m_outputTimeout);
}

int TCommPortDriver::SendDataEx(const std::uint8_t* data, int size, int timeoutMs)
{
    if (!Connected() || data == nullptr || size <= 0)
        return 0;
    const qint64 queued = m_port.write(reinterpret_cast<const char*>(data), size);
    if (queued <= 0)
        return 0;

    // Most frames fit the line's buffer at once: written here, with no wait for the line first.
    m_port.flush();
    QElapsedTimer clock;
    clock.start();
    while (Connected() && m_port.bytesToWrite() > 0) {
        const qint64 left = timeoutMs - clock.elapsed();
        if (left <= 0 || !m_port.waitForBytesWritten(static_cast<int>(left)))
            break;
    }
    if (!Connected())
        return 0;
    const qint64 unsent = std::min<qint64>(m_port.bytesToWrite(), queued);
    if (m_port.bytesToWrite() > 0) {
        // A stalled line: drop the rest so frames do not pile up behind it.
        m_port.clear(QSerialPort::Output);
    }
    if (m_port.error() == QSerialPort::TimeoutError)
        m_port.clearError();
    return static_cast<int>(queued - unsent);
}

void TCommPortDriver::FlushBuffers(bool inBuf, bool outBuf)
{
    if (!Connected())
        return;
    QSerialPort::Directions directions;
    if (inBuf)
        directions |= QSerialPort::Input;
    if (outBuf)
        directions |= QSerialPort::Output;
    if (directions)
        m_port.clear(directions);
}

void TCommPortDriver::SetComPort(int index)
{
    if (Connected() || index < 0 || index >= kComPortCount)
        return;
    m_comPort = index;
}

void TCommPortDriver::RestartReceivePoll()
{
    if (m_pollTimer.isActive())
        m_pollTimer.start();
}

void TCommPortDriver::PollReceive()
{
    DeliverReceived();
    Q_EMIT receivePolled();
}

void TCommPortDriver::DeliverReceived()
{
    if (!Connected() || m_rxPollingPauses > 0)
        return;
#ifdef Q_OS_UNIX
    pollfd line{m_claimFd, POLLIN, 0};
    if (::poll(&line, 1, 0) <= 0)
        return;  // nothing came
    qint64 got = 0;
    if (line.revents & POLLIN) {
        got = ::read(m_claimFd, m_tempInBuffer.data(), static_cast<std::size_t>(m_inBufSize));
        if (got < 0 && (errno == EAGAIN || errno == EINTR))
            return;
    }
    if (got <= 0) {
        // Readable with nothing to read, a failed read, or the line hung up: the device is gone.
        ScheduleClose();
        return;
    }
#else
    const qint64 available = m_port.bytesAvailable();
    if (available <= 0)
        return;
    const qint64 wanted = std::min<qint64>(available, m_inBufSize);
    const qint64 got = m_port.read(reinterpret_cast<char*>(m_tempInBuffer.data()), wanted);
    if (got <= 0)
        return;
#endif
    if (m_onReceiveData)
        m_onReceiveData(m_tempInBuffer.data(), static_cast<int>(got));
}

void TCommPortDriver::OnPortError(QSerialPort::SerialPortError error)
{
    if (m_configuring)
        return;
    switch (error) {
    case QSerialPort::ResourceError:
    case QSerialPort::ReadError:
    case QSerialPort::WriteError:
    case QSerialPort::DeviceNotFoundError:
        ScheduleClose();
        break;
    default:
        break;
    }
}

void TCommPortDriver::ScheduleClose()
{
    // The device is gone. Closing from inside the port's own notification, or the receive poll,
    // is unsafe, so it happens once control is back in the event loop.
    if (!m_closeScheduled && Connected()) {
        m_closeScheduled = true;
        QMetaObject::invokeMethod(this, &TCommPortDriver::CloseLostPort, Qt::QueuedConnection);
    }
}

void TCommPortDriver::CloseLostPort()
{
    if (!m_closeScheduled)
        return;
    m_closeScheduled = false;
    if (!Connected())
        return;
    Disconnect();
    Q_EMIT portLost();
}

}  // namespace vantora
