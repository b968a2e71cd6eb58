#pragma once
// The rotctld protocol of Hamlib's network rotator, as a server speaks it: line framing per
// client, the commands (short "p", long "\get_pos", long without the backslash "get_pos"),
// the plain and the extended reply forms, and what each command does. Replies are byte for byte
// those of rotctld 4.5 where rotctld answers at all; see the README for where we differ.

#include "link/commands.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vantora {

inline constexpr std::size_t kRotctldLineMax = 256;   // bytes; a longer line is refused whole
inline constexpr int kRotctldIdleRunMs = 300;         // a query without a line end runs after this silence
inline constexpr int kRotctldMoveMaxMs = 30000;       // "M" turns for at most this long
inline constexpr int kRotctldMaxElevation = 180;      // degrees, as typed "E" targets allow
inline constexpr double kRotctldMinAzimuth = -180.0;  // degrees accepted by "P", taken modulo 360
inline constexpr double kRotctldMaxAzimuth = 540.0;

// Hamlib's return codes as sent in "RPRT n".
inline constexpr int kRprtOk = 0;
inline constexpr int kRprtInvalid = -1;     // bad or out-of-range arguments, overlong line
inline constexpr int kRprtTimeout = -5;     // the unit does not answer: no current position
inline constexpr int kRprtUnavailable = -4; // unknown command

// What the server knows when a command runs, as plain values.
struct RotctldState {
    bool positionFresh = false;       // a valid position report within the last second
    std::uint8_t rotator2Mode = 0;    // as last reported: 1 second azimuth rotator, 2 elevation, else none yet
    std::int32_t beamAzimuth = 0;     // degrees: the selected azimuth rotator's last position
    std::int32_t rotator2Position = 0;  // degrees
    std::string info;                 // "_" answers this, e.g. "Vantora 1.09"
    bool azimuthTurning = false;      // the selected azimuth rotator reports that it turns
    bool elevationTurning = false;    // rotator 2, as the elevation rotator, reports that it turns
    ArrowKeys handDrive;              // the remote hand drive's held keys ("M")
};

// What the commands do to the station. Each is called at most once per command.
class RotctldActions {
public:
    virtual ~RotctldActions() = default;
    // A new target taken over from the client: Nastav with `code` (3 azimuth and elevation,
    // 1 the selected azimuth rotator), whole degrees; tracking goes off.
    virtual void SetPosition(int code, int azimuth, int elevation) = 0;
    virtual void Stop() = 0;  // the STOP button
    virtual void Park() = 0;  // the PARK button
    // The hand drive: turns as these arrow keys held down do, until called again; no key held
    // releases it.
    virtual void Move(ArrowKeys keys) = 0;
};

enum class RotctldCommandKind {
    GetPos,
    SetPos,
    Stop,
    Park,
    Move,
    Reset,
    GetInfo,
    GetStatus,
    DumpState,
    DumpCaps,
    LocatorToLonLat,
    LonLatToLocator,
    Qrb,
    Quit,
    Unknown
};

// Commands that only read, and so may run from a line that has not been ended (see RunPending).
bool IsRotctldQuery(RotctldCommandKind kind);

struct RotctldCommand {
    RotctldCommandKind kind = RotctldCommandKind::Unknown;
    char separator = 0;        // extended reply form: '\n' for "+", else ';', '|' or ','; 0 plain
    std::string arguments;     // what followed the command word, blanks around it removed
    int argumentCount = 0;
};

// Splits one line (without its line end) into the command and its arguments.
RotctldCommand ParseRotctldCommand(std::string_view line);

// A number of "P": decimal point or decimal comma, optional sign and exponent; the whole text.
// Not-a-number and infinity are no numbers.
std::optional<double> ParseRotctldNumber(std::string_view text);

// The target an azimuth of "P" turns to: kRotctldMinAzimuth..kRotctldMaxAzimuth degrees, rounded
// to the nearest whole degree (halves to even) and taken modulo 360, so 0..359; else none.
std::optional<int> RotctldAzimuthTarget(double degrees);
// The target an elevation of "P" turns to: 0..kRotctldMaxElevation degrees, rounded; else none.
std::optional<int> RotctldElevationTarget(double degrees);

// A checked "P az el": whole degrees, azimuth 0..359, and the Nastav code for the unit's mode.
struct RotctldTarget {
    int code = 3;
    int azimuth = 0;
    int elevation = 0;
};

// The reply code of "P" with these arguments (0 when they are good) and, when good, the target.
// No target before the unit has reported which kind of rotator 2 is: nothing could be routed.
int CheckSetPosition(std::string_view arguments, const RotctldState& state, RotctldTarget& target);

// "%.2f" of whole degrees, in the C locale: 123 -> "123.00".
std::string RotctldDegrees(std::int32_t degrees);

// Runs one command and returns its reply (empty for "q").
std::string RunRotctldCommand(const RotctldCommand& command, const RotctldState& state, RotctldActions& actions);

// One client's connection: collects bytes into lines, runs each complete one, and keeps what
// is left for the next segment.
class RotctldSession {
public:
    // Runs every complete command in `bytes` in order; returns their replies in one piece.
    // After "q" nothing more is run and closeRequested() is true.
    std::string Feed(std::string_view bytes, const RotctldState& state, RotctldActions& actions);

    // The client has been silent for kRotctldIdleRunMs: runs a query ("p", "_", "\dump_state",
    // "s") left without a line end. Anything else may still be on its way and keeps waiting for
    // its line end: run early, a "P 123 4" whose "5" comes late would turn to the wrong place.
    std::string RunPending(const RotctldState& state, RotctldActions& actions);
    // No more bytes can come (the client closed its sending side): runs what was left unended.
    std::string RunAtEnd(const RotctldState& state, RotctldActions& actions);

    bool hasPending() const { return !m_line.empty(); }
    bool closeRequested() const { return m_closed; }

private:
    std::string RunLine(const RotctldState& state, RotctldActions& actions);

    std::string m_line;         // the line being collected, at most kRotctldLineMax bytes
    bool m_discarding = false;  // the line grew past the limit: dropped up to its end
    bool m_closed = false;
};

}  // namespace vantora
