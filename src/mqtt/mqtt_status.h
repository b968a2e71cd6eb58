#pragma once
// The bridge's connection as the Network window's status line and standard error tell it.

#include <functional>
#include <string>

namespace vantora {

enum class MqttState {
    Off,           // switched off
    Unusable,      // the settings cannot work (the reason says which); nothing is tried
    Connecting,    // a try is under way
    Connected,     // the broker accepted us
    Reconnecting,  // waiting retrySeconds before the next try, for the reason given
};

enum class MqttReason {
    None,
    Refused,         // nothing listens at the address
    HostNotFound,    // the host name does not resolve
    NoAnswer,        // connected, but the broker did not accept in time
    ConnectionLost,  // the connection broke
    BadLogin,        // the broker refused the user name or password
    NotAuthorised,   // the broker refused us otherwise
    Tls,             // the TLS handshake or the certificate failed
    CaFile,          // the CA file cannot be read
    BadPrefix,       // the topic prefix cannot be published under
    BadClientId,     // the client ID is not valid UTF-8
    Other,           // the library's or the system's words are in `detail`
};

struct MqttStatus {
    MqttState state = MqttState::Off;
    std::string where;  // "localhost:1883"
    MqttReason reason = MqttReason::None;
    std::string detail;  // the system's or the library's words, untranslated
    int retrySeconds = 0;
    bool operator==(const MqttStatus&) const = default;
};

using MqttTranslateFn = std::function<std::string(const std::string&)>;

// "Connected to localhost:1883", "Reconnecting in 4 s: connection refused", "Switched off";
// the fixed words through `translate` when one is given.
std::string MqttStatusText(const MqttStatus& status, const MqttTranslateFn& translate = {});

// The reason alone ("connection refused"), translated the same way.
std::string MqttReasonText(MqttReason reason, const std::string& detail, const MqttTranslateFn& translate = {});

// Every English text the two above may show, for the translation table's test.
const char* const* MqttStatusTexts();

}  // namespace vantora
