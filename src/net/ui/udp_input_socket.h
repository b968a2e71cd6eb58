#pragma once
// One UDP input: a socket on every IPv4 address of this computer that hands each datagram from
// an accepted sender to a handler, and says whether it listens and why not.

#include "common/address_filter.h"
#include "track/ui/listen_status.h"

#include <QByteArray>
#include <QHostAddress>
#include <QObject>
#include <QUdpSocket>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace vantora {

class UdpInputSocket : public QObject {
    Q_OBJECT
public:
    // Commands are a few hundred bytes; a larger datagram is dropped unread, so that no sender
    // can make one datagram cost more than a few microseconds.
    static constexpr qint64 kDatagramMax = 4096;        // bytes
    static constexpr int kDatagramsPerWakeup = 16;      // handled per wake-up; the rest wait

    using Handler = std::function<void(const QByteArray& datagram, const QHostAddress& sender)>;

    explicit UdpInputSocket(Handler handler, QObject* parent = nullptr);

    // Closes, then listens on `port` when `enabled`, taking datagrams only from senders that
    // `acceptFrom` admits (see address_filter.h). The port is bound exclusively unless
    // `shareAddress`: then other programs on this computer, of any user, may bind it too, and a
    // datagram sent straight to this computer may reach one of them instead of us.
    void apply(bool enabled, quint16 port, const std::string& acceptFrom, bool shareAddress = false);

    bool isListening() const { return m_socket.state() == QAbstractSocket::BoundState; }
    quint16 port() const { return m_port; }  // the port listened on (or asked for)
    // "Listening on 0.0.0.0:12040", "Cannot listen on 0.0.0.0:12040: <reason>" or "Switched off".
    QString statusText(const StatusTranslateFn& translate = {}) const;

    // A reply from the listening socket; false when it could not be sent.
    bool send(const QByteArray& datagram, const QHostAddress& address, quint16 port);

    // The sender's IPv4 address (IPv4-mapped IPv6 included), if it has one.
    static std::optional<std::uint32_t> SenderIpv4(const QHostAddress& sender);

signals:
    void stateChanged();
    // After each datagram taken from the socket; `accepted` when its sender passed the filter
    // and its size the limit.
    void datagramRead(bool accepted);

private:
    void readPending();

    Handler m_handler;
    QUdpSocket m_socket;
    AddressFilter m_filter;
    bool m_enabled = false;
    quint16 m_port = 0;
    QString m_error;            // why it does not listen (system text), when enabled
    bool m_badFilter = false;   // not listening because "Accept from" could not be read
    std::string m_filterError;  // why, in English (address_filter.h)
};

}  // namespace vantora
