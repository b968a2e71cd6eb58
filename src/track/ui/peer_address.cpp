#include "track/ui/peer_address.h"

namespace vantora {

std::optional<std::uint32_t> PeerIpv4(const QHostAddress& peer)
{
    bool ok = false;
    const quint32 address = peer.toIPv4Address(&ok);
    if (!ok)
        return std::nullopt;
    return address;
}

std::string PeerAddressKey(const QHostAddress& peer)
{
    if (const auto ipv4 = PeerIpv4(peer))
        return QHostAddress(*ipv4).toString().toStdString();
    QHostAddress withoutScope = peer;
    withoutScope.setScopeId(QString());
    return withoutScope.toString().toStdString();
}

}  // namespace vantora
