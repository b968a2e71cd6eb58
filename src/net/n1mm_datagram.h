#pragma once
// Rotor datagrams of the contest logger N1MM Logger+, and the status datagram it expects back.
//   go-to: <N1MMRotor><rotor>NAME</rotor><goazi>123.4</goazi><offset>10.0</offset>
//          <bidirectional>0</bidirectional><freqband>14.0</freqband></N1MMRotor>
//   stop:  <N1MMRotor><stop><rotor>NAME</rotor><freqband>21.0</freqband></stop></N1MMRotor>
//   status back: "NAME @ HEADING", HEADING the beam azimuth in tenths of a degree (30° -> "300").

#include "net/remote_station.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vantora {

inline constexpr std::uint16_t kN1mmDefaultPort = 12040;
inline constexpr std::uint16_t kN1mmDefaultStatusPort = 13010;
inline constexpr std::string_view kN1mmDefaultStatusName = "Vantora";

struct N1mmCommand {
    enum class Kind { Ignore, GoTo, Stop };
    Kind kind = Kind::Ignore;
    std::string rotor;          // the <rotor> text, trimmed; empty when the datagram has none
    double azimuth = 0.0;       // GoTo: goazi + offset, degrees, not yet wrapped or rounded
    bool bidirectional = false; // GoTo: the antenna radiates both ways
};

// Reads one datagram. It must hold <N1MMRotor> (attributes allowed on every tag); one holding
// <stop> is a stop, else <goazi> must hold a number (DatagramNumber, a decimal comma accepted, as
// in <offset>). A missing or empty <offset> is 0; an offset that is not a number makes the
// datagram be ignored rather than aim elsewhere. The target is goazi + offset.
N1mmCommand ParseN1mmDatagram(std::string_view datagram);

// True when the datagram's rotor name is meant for us: `wanted` empty, or both equal after
// trimming, case ignored.
bool N1mmRotorMatches(std::string_view wanted, std::string_view rotor);

// The azimuth to turn to: `azimuth` modulo 360, rounded to whole degrees (halves to even). For a
// bidirectional antenna, that or the opposite direction (+180, modulo 360), whichever lies
// nearer to `present`, measured as the turn the rotator would make (it does not pass its end
// stop, so the plain difference of the two readings); on a tie the azimuth itself. Empty for
// values that are not finite.
std::optional<int> N1mmTargetAzimuth(double azimuth, bool bidirectional, int present);

// The name the status datagram carries: the configured rotor name, or when none is configured
// the <rotor> name of the last accepted command, so that the logger shows the heading on the
// antenna that asked (both trimmed; empty when neither has one).
std::string_view N1mmStatusName(std::string_view configured, std::string_view lastRotor);

// "NAME @ HEADING"; NAME is kN1mmDefaultStatusName when `rotorName` is empty (after trimming).
std::string N1mmStatusText(std::string_view rotorName, int beamAzimuth);

// When status datagrams are due: at once after an accepted command, then at each 1 s check
// while the beam azimuth changes, and every 15 s while it does not.
class N1mmStatusClock {
public:
    static constexpr std::int64_t kMovingIntervalMs = 1000;
    static constexpr std::int64_t kIdleIntervalMs = 15000;

    // An accepted command: a status is due now.
    void CommandAccepted() { m_commandPending = true; }
    // Called every kMovingIntervalMs (and after a command); true when a status should be sent
    // now, in which case it counts as sent.
    bool Due(std::int64_t nowMs, int beamAzimuth);

private:
    bool m_commandPending = false;
    bool m_sentOnce = false;
    std::int64_t m_lastSentMs = 0;
    int m_lastAzimuth = 0;
};

// Applies N1MM datagrams to the station.
class N1mmHandler {
public:
    explicit N1mmHandler(RemoteStation& station) : m_station(station) {}

    // `rotorFilter`: the stored rotor name (empty: every name). True when the datagram was a
    // command for us and was acted on.
    bool OnDatagram(std::string_view datagram, std::string_view rotorFilter);

    // The <rotor> text of the last command acted on; empty before the first.
    const std::string& LastRotor() const { return m_lastRotor; }

private:
    RemoteStation& m_station;
    std::string m_lastRotor;
};

}  // namespace vantora
