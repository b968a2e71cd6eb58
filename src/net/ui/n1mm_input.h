#pragma once
// The N1MM Logger+ rotor input: go-to and stop datagrams on UDP (default port 12040, bound
// exclusively unless the operator chooses to share it), status datagrams "NAME @ HEADING" back to the last sender's
// address on the status port.

#include "net/n1mm_datagram.h"
#include "net/udp_input_settings.h"
#include "net/ui/udp_input_socket.h"

#include <QElapsedTimer>
#include <QHostAddress>
#include <QObject>
#include <QTimer>

#include <optional>

namespace vantora {

class N1mmInput : public QObject {
    Q_OBJECT
public:
    explicit N1mmInput(RemoteStation& station, QObject* parent = nullptr);

    void apply(const N1mmInputSettings& settings);

    UdpInputSocket& socket() { return m_socket; }
    const UdpInputSocket& socket() const { return m_socket; }

signals:
    // After each datagram from an accepted sender; `acted` when it was a command for us.
    void datagramHandled(bool acted);

private:
    void onDatagram(const QByteArray& datagram, const QHostAddress& sender);
    void sendStatusIfDue();

    RemoteStation& m_station;
    N1mmHandler m_handler;
    N1mmStatusClock m_clock;
    N1mmInputSettings m_settings;
    UdpInputSocket m_socket;
    QTimer m_statusTimer;
    QElapsedTimer m_elapsed;
    std::optional<QHostAddress> m_lastSender;
};

}  // namespace vantora
