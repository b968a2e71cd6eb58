#include "net/ui/udp_input_socket.h"

#include "track/ui/peer_address.h"

#include <QNetworkDatagram>

#include <utility>

namespace vantora {

UdpInputSocket::UdpInputSocket(Handler handler, QObject* parent) : QObject(parent), m_handler(std::move(handler))
{
    connect(&m_socket, &QUdpSocket::readyRead, this, &UdpInputSocket::readPending);
}

void UdpInputSocket::apply(bool enabled, quint16 port, const std::string& acceptFrom, bool shareAddress)
{
    m_socket.close();
    m_enabled = enabled;
    m_port = port;
    m_error.clear();
    const auto filter = ParseAddressFilter(acceptFrom);
    // An unreadable filter admits nobody: better deaf than open to everyone by a typing error.
    m_badFilter = enabled && !filter;
    m_filterError = std::string(AddressFilterError(acceptFrom));
    if (enabled && filter) {
        m_filter = *filter;
        // DefaultForPlatform would set SO_REUSEADDR, which lets any later socket that sets it
        // too bind the same port and take the datagrams: exclusive means neither flag.
        const QAbstractSocket::BindMode mode = shareAddress
                                                   ? QAbstractSocket::ShareAddress | QAbstractSocket::ReuseAddressHint
                                                   : QAbstractSocket::DontShareAddress;
        if (m_socket.bind(QHostAddress::AnyIPv4, port, mode))
            m_port = m_socket.localPort();  // port 0 (tests) picks a free one
        else
            m_error = m_socket.errorString();
    }
    emit stateChanged();
}

QString UdpInputSocket::statusText(const StatusTranslateFn& translate) const
{
    const QString where = ListenAddressText(QHostAddress(QHostAddress::AnyIPv4).toString(), m_port);
    if (!m_enabled)
        return SwitchedOffText(translate);
    if (isListening())
        return ListeningText(translate, where);
    if (m_badFilter) {
        const std::string reason = m_filterError.empty() ? std::string(kAddressFilterUnreadable) : m_filterError;
        return CannotListenText(translate, where, QString::fromStdString(translate ? translate(reason) : reason));
    }
    return CannotListenText(translate, where, m_error);
}

bool UdpInputSocket::send(const QByteArray& datagram, const QHostAddress& address, quint16 port)
{
    if (!isListening() || port == 0)
        return false;
    return m_socket.writeDatagram(datagram, address, port) == datagram.size();
}

std::optional<std::uint32_t> UdpInputSocket::SenderIpv4(const QHostAddress& sender)
{
    return PeerIpv4(sender);
}

void UdpInputSocket::readPending()
{
    // At most this many per wake-up, so a flood cannot hold up the poll cycle: reading a
    // datagram re-arms the socket's notifier, so the rest are taken at the next turn of the
    // event loop.
    for (int handled = 0; handled < kDatagramsPerWakeup && m_socket.hasPendingDatagrams(); ++handled) {
        // One byte more than the limit is enough to tell an oversized datagram.
        const QNetworkDatagram datagram = m_socket.receiveDatagram(kDatagramMax + 1);
        if (!datagram.isValid())
            continue;
        const QHostAddress sender = datagram.senderAddress();
        const bool accepted = datagram.data().size() <= kDatagramMax && m_filter.Accepts(SenderIpv4(sender));
        if (accepted && m_handler)
            m_handler(datagram.data(), sender);
        emit datagramRead(accepted);
    }
}

}  // namespace vantora
