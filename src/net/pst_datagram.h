#pragma once
// The small UDP commands of the PstRotator protocol, as loggers and tracking programs send them:
//   <PST><AZIMUTH>123.4</AZIMUTH></PST>      <PST><ELEVATION>30</ELEVATION></PST>
//   <PST><STOP>1</STOP></PST>  <PST><PARK>1</PARK></PST>  <PST><TRACK>0</TRACK></PST>
//   <PST><QRA>IO91WM</QRA></PST>  <PST>AZ?</PST>  <PST>EL?</PST>
// Queries are answered "AZ:123\r" / "EL:45\r" to the sender's address on the listen port + 1.

#include "net/remote_station.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vantora {

inline constexpr std::uint16_t kPstDefaultPort = 12000;
inline constexpr int kPstElevationMax = 180;  // degrees; the typed-entry range 0..180

struct PstCommand {
    std::optional<double> azimuth;    // <AZIMUTH>: its leading number, degrees
    std::optional<double> elevation;  // <ELEVATION>: its leading number, degrees
    bool stop = false;                // <STOP>1
    bool park = false;                // <PARK>1
    bool trackingOff = false;         // <TRACK>0
    std::optional<std::string> qra;   // <QRA>: the locator text, trimmed; a square "JN79" reads
                                      // as its centre "JN79MM"
    bool queryAzimuth = false;        // AZ?
    bool queryElevation = false;      // EL?
};

// Reads one datagram; without <PST> (any case) it asks for nothing. A number is the text of its
// tag as DatagramNumber reads it ("123.400000.2" is 123.4, "1e3" no number); a tag holding no
// number is not there.
PstCommand ParsePstDatagram(std::string_view datagram);

// "AZ:123\r" and "EL:45\r".
std::string PstAzimuthReply(int beamAzimuth);
std::string PstElevationReply(int elevation);

// Applies PST datagrams to the station.
class PstHandler {
public:
    explicit PstHandler(RemoteStation& station) : m_station(station) {}

    // Acts on the datagram (in this order: tracking off, STOP, PARK, the locator, the azimuth
    // and elevation) and returns the replies to send back, in order.
    std::vector<std::string> OnDatagram(std::string_view datagram);

private:
    RemoteStation& m_station;
};

}  // namespace vantora
