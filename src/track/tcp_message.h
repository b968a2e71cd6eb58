#pragma once
// The TCP command protocol: "$00" asks for the beam azimuth, "$01" + one byte + three digits
// sets a new azimuth. The server cuts a client's bytes into messages (tcp_framer.h); a message is
// looked at up to kTcpMessageMax bytes.

#include "track/target_sink.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace vantora {

inline constexpr std::size_t kTcpMessageMax = 10;  // bytes of a message looked at
inline constexpr int kTcpAzimuthMax = 360;         // degrees; larger set values are refused

struct TcpAction {
    enum class Kind { Ignore, Query, SetAzimuth };
    Kind kind = Kind::Ignore;
    int azimuth = 0;  // SetAzimuth only: degrees, 0..kTcpAzimuthMax
};

// Decides what one message asks for. A set message needs bytes 4..6 to be digits (bytes 3 and
// beyond 6 are not looked at); a shorter one, a non-digit or a value above 360 is ignored.
TcpAction ParseTcpMessage(std::string_view message);

// "$00#" + a/100, (a%100)/10, (a%100)%10 each in decimal (division truncating toward zero) + "@".
// 7 -> "$00#007@", 1234 -> "$00#1234@", -13 -> "$00#0-1-3@".
std::string AzimuthReply(int beamAzimuth);

// Applies messages: sets go to Nastav code 1, queries are answered with the current beam
// azimuth. Nothing is kept per client.
class TcpCommandHandler {
public:
    TcpCommandHandler(TargetSink& sink, std::function<int()> beamAzimuth);

    // The reply to send back, if any.
    std::optional<std::string> OnMessage(std::string_view message);

private:
    TargetSink& m_sink;
    std::function<int()> m_beamAzimuth;
};

}  // namespace vantora
