#pragma once
// Everything a remote console (the web console, the MQTT bridge) shows of the station, taken at
// one moment. Plain data: the station fills it, the consoles encode it.

#include <array>
#include <cstdint>
#include <string>

namespace vantora {

// Where a command came from, as the consoles show it beside the last command.
enum class CommandSource { Desktop, Tcp, Rotctld, N1mm, Pst, Web, Mqtt };

struct CommandOrigin {
    CommandSource source = CommandSource::Desktop;
    std::string address;  // the peer's address where there is one ("192.168.1.20"), else empty
    bool operator==(const CommandOrigin&) const = default;
};

// The tracking choices a remote console may make: the built-in Moon and Sun, or none.
enum class TrackingChoice { Off, Moon, Sun };

// The hand drive of the arrow keys.
enum class JogDirection { Cw, Ccw, Up, Down };

struct RotatorSnapshot {
    int position = 0;             // last reported position, degrees
    std::uint8_t status = 255;    // the unit's status byte: 1 idle (light green), 0 turning (red), 255 unknown (silver)
    std::string setpoint = "0°";  // the setpoint read-out's text
    bool operator==(const RotatorSnapshot&) const = default;
};

struct PresetSnapshot {
    std::string name;
    int azimuth = 0;    // degrees
    int elevation = 0;  // degrees
    bool operator==(const PresetSnapshot&) const = default;
};

struct StationSnapshot {
    std::string callsign;
    std::string homeLocator;
    int language = 0;                 // 0 English, 1 Czech (the Language setting)
    bool rotator2IsElevation = true;  // false: rotator 2 is a second azimuth rotator
    int selectedAzimuthRotator = 1;   // 1 or 2: the rotator an azimuth target turns
    RotatorSnapshot rotator1;
    RotatorSnapshot rotator2;
    std::string trackingSource = "off";  // "off", "wsjt", "moonsked", "moon", "sun"
    std::string trackingReadout;         // the read-out beside "Tracking:" ("OFF", "205° / 28°")
    bool linkFresh = false;              // false before the first report and while the link is down
    std::string staleReason;             // the dead link's text, translated; empty while fresh
    std::array<PresetSnapshot, 8> presets;
    CommandOrigin lastCommandOrigin;
    std::string lastCommand;  // e.g. "120", "STOP", "PARK", "Preset 3"; empty before the first
    bool operator==(const StationSnapshot&) const = default;
};

}  // namespace vantora
