#pragma once
// The stored values of the rotctld-protocol server and the port the environment may impose.

#include "settings/key_value_store.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vantora {

inline constexpr std::int32_t kRotctldDefaultPort = 4533;  // Hamlib's own default
inline constexpr std::string_view kRotctldLoopback = "127.0.0.1";
inline constexpr std::string_view kRotctldAllIpv4 = "0.0.0.0";
inline constexpr std::string_view kRotctldAllAddresses = "::";

struct RotctldSettings {
    bool enabled = true;                              // RotctldEnabled, 0/1
    std::int32_t port = kRotctldDefaultPort;          // RotctldPort, 1..65535
    std::string address = std::string(kRotctldLoopback);  // RotctldAddress: one of the three above

    bool operator==(const RotctldSettings&) const = default;
};

// Missing or unusable values read as their defaults: an unknown address falls back to
// loopback (never wider than asked), a port outside 1..65535 to 4533, any enabled value but 0
// to enabled.
RotctldSettings LoadRotctldSettings(KeyValueStore& store);

// Writes the three values; false when the store could not be written.
bool SaveRotctldSettings(KeyValueStore& store, const RotctldSettings& settings);

// A port number given as text (the environment): decimal 0..65535 with optional blanks around
// it; 0 lets the system pick a free port. Anything else is no port.
std::optional<std::uint16_t> ParsePortText(std::string_view text);

// The settings in force: the stored ones, with the port taken from `environmentPort` (the text
// of VANTORA_ROTCTLD_PORT, when set) if it holds a port number.
RotctldSettings EffectiveRotctldSettings(RotctldSettings stored, const std::optional<std::string>& environmentPort);

}  // namespace vantora
