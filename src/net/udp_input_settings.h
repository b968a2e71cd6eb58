#pragma once
// The stored values of the two UDP inputs, kept in the program's settings store beside the
// others. A missing or unusable value reads as its default; both inputs are off by default,
// since anyone on the network can send a datagram.

#include "settings/key_value_store.h"

#include <cstdint>
#include <string>

namespace vantora {

struct N1mmInputSettings {
    bool enabled = false;            // N1mmEnabled, 0/1
    std::uint16_t port = 12040;      // N1mmPort, 1..65535
    std::string rotor;               // N1mmRotor; empty accepts every rotor name
    std::uint16_t statusPort = 13010;// N1mmStatusPort, 1..65535
    std::string acceptFrom;          // N1mmAcceptFrom: "", an IPv4 address or subnet
    bool shareAddress = false;       // N1mmShareAddress, 0/1: let other programs bind the port too
    bool operator==(const N1mmInputSettings&) const = default;
};

struct PstInputSettings {
    bool enabled = false;            // PstEnabled, 0/1
    std::uint16_t port = 12000;      // PstPort, 1..65535; replies go to port + 1
    std::string acceptFrom;          // PstAcceptFrom
    bool operator==(const PstInputSettings&) const = default;
};

struct UdpInputSettings {
    N1mmInputSettings n1mm;
    PstInputSettings pst;
    bool operator==(const UdpInputSettings&) const = default;
};

// Reads the values (opening and closing the store).
UdpInputSettings LoadUdpInputSettings(KeyValueStore& store);
// Writes every value; false when the store cannot be written.
bool SaveUdpInputSettings(KeyValueStore& store, const UdpInputSettings& settings);

}  // namespace vantora
