#include "net/n1mm_datagram.h"

#include "net/datagram_text.h"

#include <cstdlib>

namespace vantora {

namespace {

constexpr int kSetSelectedAzimuth = 1;  // Nastav code: azimuth for the selected azimuth rotator

}  // namespace

N1mmCommand ParseN1mmDatagram(std::string_view datagram)
{
    N1mmCommand command;
    if (!HasTag(datagram, "N1MMRotor"))
        return command;
    // In a stop the rotor name sits inside <stop>; the first <rotor> found is the one either way.
    if (const auto rotor = TagText(datagram, "rotor"))
        command.rotor = std::string(*rotor);
    if (HasTag(datagram, "stop")) {
        command.kind = N1mmCommand::Kind::Stop;
        return command;
    }
    const auto goazi = TagText(datagram, "goazi");
    if (!goazi)
        return command;
    const auto azimuth = DatagramNumber(*goazi, true);
    if (!azimuth)
        return command;
    double offset = 0.0;
    if (const auto offsetText = TagText(datagram, "offset"); offsetText && !offsetText->empty()) {
        const auto value = DatagramNumber(*offsetText, true);
        if (!value)
            return command;
        offset = *value;
    }
    const auto bidirectional = TagText(datagram, "bidirectional");
    command.kind = N1mmCommand::Kind::GoTo;
    command.azimuth = *azimuth + offset;
    command.bidirectional = bidirectional && *bidirectional == "1";
    return command;
}

bool N1mmRotorMatches(std::string_view wanted, std::string_view rotor)
{
    wanted = TrimBlanks(wanted);
    return wanted.empty() || EqualsIgnoringCase(wanted, TrimBlanks(rotor));
}

std::optional<int> N1mmTargetAzimuth(double azimuth, bool bidirectional, int present)
{
    const auto direct = WholeAzimuth(azimuth);
    if (!direct || !bidirectional)
        return direct;
    const int opposite = (*direct + 180) % 360;
    const long long toDirect = std::llabs(static_cast<long long>(*direct) - present);
    const long long toOpposite = std::llabs(static_cast<long long>(opposite) - present);
    return toOpposite < toDirect ? opposite : *direct;
}

std::string_view N1mmStatusName(std::string_view configured, std::string_view lastRotor)
{
    configured = TrimBlanks(configured);
    return configured.empty() ? TrimBlanks(lastRotor) : configured;
}

std::string N1mmStatusText(std::string_view rotorName, int beamAzimuth)
{
    const std::string_view name = TrimBlanks(rotorName);
    const long long tenths = static_cast<long long>(beamAzimuth) * 10;
    return std::string(name.empty() ? kN1mmDefaultStatusName : name) + " @ " + std::to_string(tenths);
}

bool N1mmStatusClock::Due(std::int64_t nowMs, int beamAzimuth)
{
    const bool moved = m_sentOnce && beamAzimuth != m_lastAzimuth;
    m_lastAzimuth = beamAzimuth;
    const bool idleDue = m_sentOnce && nowMs - m_lastSentMs >= kIdleIntervalMs;
    if (!m_commandPending && !moved && !idleDue)
        return false;
    m_commandPending = false;
    m_sentOnce = true;
    m_lastSentMs = nowMs;
    return true;
}

bool N1mmHandler::OnDatagram(std::string_view datagram, std::string_view rotorFilter)
{
    const N1mmCommand command = ParseN1mmDatagram(datagram);
    if (command.kind == N1mmCommand::Kind::Ignore || !N1mmRotorMatches(rotorFilter, command.rotor))
        return false;
    if (command.kind == N1mmCommand::Kind::Stop) {
        m_station.Stop();
        m_lastRotor = command.rotor;
        return true;
    }
    const auto azimuth = N1mmTargetAzimuth(command.azimuth, command.bidirectional, m_station.BeamAzimuth());
    if (!azimuth)
        return false;
    m_station.SetTarget(kSetSelectedAzimuth, *azimuth, 0);
    m_lastRotor = command.rotor;
    return true;
}

}  // namespace vantora
