#include "mqtt/mqtt_status.h"

namespace vantora {

namespace {

constexpr const char* kTexts[] = {
    "Switched off",
    "Connecting to %1",
    "Connected to %1",
    "Reconnecting in %1 s: %2",
    "Not connecting: %1",
    "connection refused",
    "host not found",
    "the broker does not answer",
    "connection lost",
    "the broker refused the user name or password",
    "the broker refused access",
    "TLS failed",
    "cannot read the CA file",
    "the topic prefix is not valid",
    "the client ID is not valid",
    nullptr,
};

std::string Tr(const MqttTranslateFn& translate, const std::string& english)
{
    return translate ? translate(english) : english;
}

// `pattern` with %1 and %2 replaced, in one pass: what they are replaced by is not looked into.
std::string Fill(const std::string& pattern, const std::string& first, const std::string& second = {})
{
    std::string text;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == '%' && i + 1 < pattern.size() && (pattern[i + 1] == '1' || pattern[i + 1] == '2')) {
            text += pattern[i + 1] == '1' ? first : second;
            ++i;
        } else {
            text += pattern[i];
        }
    }
    return text;
}

}  // namespace

std::string MqttReasonText(MqttReason reason, const std::string& detail, const MqttTranslateFn& translate)
{
    std::string text;
    switch (reason) {
    case MqttReason::None: return detail;
    case MqttReason::Refused: text = Tr(translate, "connection refused"); break;
    case MqttReason::HostNotFound: text = Tr(translate, "host not found"); break;
    case MqttReason::NoAnswer: text = Tr(translate, "the broker does not answer"); break;
    case MqttReason::ConnectionLost: text = Tr(translate, "connection lost"); break;
    case MqttReason::BadLogin: text = Tr(translate, "the broker refused the user name or password"); break;
    case MqttReason::NotAuthorised: text = Tr(translate, "the broker refused access"); break;
    case MqttReason::Tls: text = Tr(translate, "TLS failed"); break;
    case MqttReason::CaFile: text = Tr(translate, "cannot read the CA file"); break;
    case MqttReason::BadPrefix: text = Tr(translate, "the topic prefix is not valid"); break;
    case MqttReason::BadClientId: text = Tr(translate, "the client ID is not valid"); break;
    case MqttReason::Other: return detail;
    }
    if (!detail.empty())
        text += " (" + detail + ")";
    return text;
}

std::string MqttStatusText(const MqttStatus& status, const MqttTranslateFn& translate)
{
    const std::string reason = MqttReasonText(status.reason, status.detail, translate);
    switch (status.state) {
    case MqttState::Off: return Tr(translate, "Switched off");
    case MqttState::Unusable: return Fill(Tr(translate, "Not connecting: %1"), reason);
    case MqttState::Connecting: return Fill(Tr(translate, "Connecting to %1"), status.where);
    case MqttState::Connected: return Fill(Tr(translate, "Connected to %1"), status.where);
    case MqttState::Reconnecting:
        return Fill(Tr(translate, "Reconnecting in %1 s: %2"), std::to_string(status.retrySeconds), reason);
    }
    return {};
}

const char* const* MqttStatusTexts()
{
    return kTexts;
}

}  // namespace vantora
