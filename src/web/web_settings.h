#pragma once
// The stored values of the web console and the port the environment may impose.

#include "settings/key_value_store.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vantora {

inline constexpr std::int32_t kWebDefaultPort = 8733;
inline constexpr std::string_view kWebLoopback = "127.0.0.1";
inline constexpr std::string_view kWebAllIpv4 = "0.0.0.0";
inline constexpr std::string_view kWebAllAddresses = "::";

struct WebSettings {
    bool enabled = false;                             // WebEnabled, 0/1
    std::string address = std::string(kWebLoopback);  // WebAddress: one of the three above
    std::int32_t port = kWebDefaultPort;              // WebPort, 1..65535
    std::string tlsCertificate;                       // WebTlsCertificate: PEM file path, or empty
    std::string tlsKey;                               // WebTlsKey: PEM file path, or empty

    bool tls() const { return !tlsCertificate.empty() && !tlsKey.empty(); }
    bool loopbackOnly() const { return address == kWebLoopback; }
    bool operator==(const WebSettings&) const = default;
};

// The two password hashes (libsodium's crypto_pwhash_str text); empty when not set.
struct WebPasswordHashes {
    std::string operatorHash;  // WebPasswordHash
    std::string viewerHash;    // WebViewerPasswordHash
    bool operator==(const WebPasswordHashes&) const = default;
};

enum class WebRole { Operator, Viewer };

// Missing or unusable values read as their defaults: an unknown address falls back to loopback
// (never wider than asked), a port outside 1..65535 to 8733; any enabled value but 0 switches it
// on, as for the other listeners.
WebSettings LoadWebSettings(KeyValueStore& store);
// Writes the five values (not the hashes); false when the store could not be written.
bool SaveWebSettings(KeyValueStore& store, const WebSettings& settings);

WebPasswordHashes LoadWebPasswordHashes(KeyValueStore& store);
// Stores the hash of one role; an empty hash removes that role's password.
bool SaveWebPasswordHash(KeyValueStore& store, WebRole role, std::string_view hash);

// The settings in force: the stored ones with the port taken from `environmentPort` (the text of
// VANTORA_WEB_PORT, when set) if it holds a port number.
WebSettings EffectiveWebSettings(WebSettings stored, const std::optional<std::string>& environmentPort);

}  // namespace vantora
