#pragma once
// The PstRotator-style input: commands on UDP (default port 12000); AZ? and EL? are answered to
// the sender's address on the listen port + 1, where such clients listen.

#include "net/pst_datagram.h"
#include "net/udp_input_settings.h"
#include "net/ui/udp_input_socket.h"

#include <QObject>

namespace vantora {

class PstInput : public QObject {
    Q_OBJECT
public:
    explicit PstInput(RemoteStation& station, QObject* parent = nullptr);

    void apply(const PstInputSettings& settings);

    UdpInputSocket& socket() { return m_socket; }
    const UdpInputSocket& socket() const { return m_socket; }

signals:
    // After each datagram from an accepted sender, once it was acted on and replies were sent.
    void datagramHandled();

private:
    void onDatagram(const QByteArray& datagram, const QHostAddress& sender);

    PstHandler m_handler;
    UdpInputSocket m_socket;
};

}  // namespace vantora
