#include "net/ui/pst_input.h"

namespace vantora {

PstInput::PstInput(RemoteStation& station, QObject* parent)
    : QObject(parent),
      m_handler(station),
      m_socket([this](const QByteArray& datagram, const QHostAddress& sender) { onDatagram(datagram, sender); }, this)
{
}

void PstInput::apply(const PstInputSettings& settings)
{
    m_socket.apply(settings.enabled, settings.port, settings.acceptFrom);
}

void PstInput::onDatagram(const QByteArray& datagram, const QHostAddress& sender)
{
    const auto replies = m_handler.OnDatagram(std::string_view(datagram.constData(), datagram.size()));
    // Port 65535 has no port above it: such a listener cannot be answered.
    const int replyPort = m_socket.port() + 1;
    if (replyPort <= 65535) {
        for (const std::string& reply : replies)
            m_socket.send(QByteArray::fromStdString(reply), sender, static_cast<quint16>(replyPort));
    }
    emit datagramHandled();
}

}  // namespace vantora
