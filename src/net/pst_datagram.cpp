#include "net/pst_datagram.h"

#include "geo/locator.h"
#include "net/datagram_text.h"
#include "track/tracking_line.h"

namespace vantora {

namespace {

// Nastav codes.
constexpr int kSetSelectedAzimuth = 1;
constexpr int kSetElevation = 2;

std::optional<double> TagNumber(std::string_view datagram, std::string_view tag)
{
    const auto text = TagText(datagram, tag);
    return text ? DatagramNumber(*text, false) : std::nullopt;
}

bool TagIs(std::string_view datagram, std::string_view tag, double value)
{
    const auto number = TagNumber(datagram, tag);
    return number && *number == value;
}

// The text after <PST> up to </PST> (or the end when it is not closed).
std::string_view PstBody(std::string_view datagram)
{
    if (const auto closed = TagText(datagram, "PST"))
        return *closed;
    // Unclosed: everything after the opening tag. HasTag has found it, so this search succeeds.
    for (std::size_t i = 0; i + 5 <= datagram.size(); ++i) {
        if (EqualsIgnoringCase(datagram.substr(i, 5), "<PST>"))
            return datagram.substr(i + 5);
    }
    return {};
}

bool Contains(std::string_view text, std::string_view needle)
{
    for (std::size_t i = 0; i + needle.size() <= text.size(); ++i) {
        if (EqualsIgnoringCase(text.substr(i, needle.size()), needle))
            return true;
    }
    return false;
}

}  // namespace

PstCommand ParsePstDatagram(std::string_view datagram)
{
    PstCommand command;
    if (!HasTag(datagram, "PST"))
        return command;
    command.azimuth = TagNumber(datagram, "AZIMUTH");
    command.elevation = TagNumber(datagram, "ELEVATION");
    command.stop = TagIs(datagram, "STOP", 1.0);
    command.park = TagIs(datagram, "PARK", 1.0);
    command.trackingOff = TagIs(datagram, "TRACK", 0.0);
    if (const auto qra = TagText(datagram, "QRA")) {
        command.qra = std::string(*qra);
        // A square (four characters) stands for its centre, which is the south-west corner of
        // its subsquare "MM": 12 of 24 subsquares east and north.
        if (qra->size() == 4 && CheckLoc(*command.qra + "MM"))
            *command.qra += "MM";
    }
    const std::string_view body = PstBody(datagram);
    command.queryAzimuth = Contains(body, "AZ?");
    command.queryElevation = Contains(body, "EL?");
    return command;
}

std::string PstAzimuthReply(int beamAzimuth)
{
    return "AZ:" + std::to_string(beamAzimuth) + "\r";
}

std::string PstElevationReply(int elevation)
{
    return "EL:" + std::to_string(elevation) + "\r";
}

std::vector<std::string> PstHandler::OnDatagram(std::string_view datagram)
{
    const PstCommand command = ParsePstDatagram(datagram);
    if (command.trackingOff)
        m_station.TrackingOff();
    if (command.stop)
        m_station.Stop();
    if (command.park)
        m_station.Park();
    if (command.qra)
        m_station.GoToLocator(*command.qra);

    // Nastav's codes 1 (azimuth), 2 (elevation) and 3 (both) are these two bits.
    int code = 0;
    int azimuth = 0;
    int elevation = 0;
    if (const auto value = command.azimuth ? WholeAzimuth(*command.azimuth) : std::nullopt) {
        azimuth = *value;
        code |= kSetSelectedAzimuth;
    }
    if (const auto value = command.elevation ? RoundTrackingDegrees(*command.elevation) : std::nullopt;
        value && *value >= 0 && *value <= kPstElevationMax) {
        elevation = *value;
        code |= kSetElevation;
    }
    if (code != 0)
        m_station.SetTarget(code, azimuth, elevation);

    std::vector<std::string> replies;
    if (command.queryAzimuth)
        replies.push_back(PstAzimuthReply(m_station.BeamAzimuth()));
    if (command.queryElevation)
        replies.push_back(PstElevationReply(m_station.Elevation()));
    return replies;
}

}  // namespace vantora
