#pragma once
// The stored values of the port 1023 server: where it listens and whom it serves. Both read as
// the behaviour the server always had when missing: every local address, anyone.

#include "settings/key_value_store.h"

#include <string>
#include <string_view>

namespace vantora {

inline constexpr std::string_view kTcpLoopback = "127.0.0.1";
inline constexpr std::string_view kTcpAllAddresses = "::";  // every address, IPv4 and IPv6

struct TcpServerSettings {
    std::string address = std::string(kTcpAllAddresses);  // TcpAddress: one of the two above
    std::string acceptFrom;  // TcpAcceptFrom: "", an IPv4 address or subnet (address_filter.h)

    bool operator==(const TcpServerSettings&) const = default;
};

// Missing values read as their defaults; an address stored but unknown reads as loopback (never
// wider than asked).
TcpServerSettings LoadTcpServerSettings(KeyValueStore& store);

// Writes both values; false when the store could not be written.
bool SaveTcpServerSettings(KeyValueStore& store, const TcpServerSettings& settings);

}  // namespace vantora
