#include "net/ui/n1mm_input.h"

namespace vantora {

N1mmInput::N1mmInput(RemoteStation& station, QObject* parent)
    : QObject(parent),
      m_station(station),
      m_handler(station),
      m_socket([this](const QByteArray& datagram, const QHostAddress& sender) { onDatagram(datagram, sender); }, this)
{
    m_elapsed.start();
    m_statusTimer.setInterval(static_cast<int>(N1mmStatusClock::kMovingIntervalMs));
    connect(&m_statusTimer, &QTimer::timeout, this, &N1mmInput::sendStatusIfDue);
}

void N1mmInput::apply(const N1mmInputSettings& settings)
{
    m_settings = settings;
    m_socket.apply(settings.enabled, settings.port, settings.acceptFrom, settings.shareAddress);
    if (m_socket.isListening()) {
        m_statusTimer.start();
    } else {
        m_statusTimer.stop();
        m_lastSender.reset();
        m_clock = {};
    }
}

void N1mmInput::onDatagram(const QByteArray& datagram, const QHostAddress& sender)
{
    const bool acted = m_handler.OnDatagram(std::string_view(datagram.constData(), datagram.size()), m_settings.rotor);
    if (acted) {
        m_lastSender = sender;
        m_clock.CommandAccepted();
        sendStatusIfDue();
    }
    emit datagramHandled(acted);
}

void N1mmInput::sendStatusIfDue()
{
    if (!m_lastSender)
        return;
    const int azimuth = m_station.BeamAzimuth();
    if (!m_clock.Due(m_elapsed.elapsed(), azimuth))
        return;
    const std::string status = N1mmStatusText(N1mmStatusName(m_settings.rotor, m_handler.LastRotor()), azimuth);
    m_socket.send(QByteArray::fromStdString(status), *m_lastSender, m_settings.statusPort);
}

}  // namespace vantora
