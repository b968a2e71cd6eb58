#include "mqtt/mqtt_command.h"

#include "common/integer_text.h"
#include "mqtt/utf8_text.h"
#include "net/rotctld_protocol.h"

namespace vantora {

namespace {

constexpr std::size_t kMaxCommandLabel = 64;  // bytes of an unknown command's name echoed back

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string_view Trimmed(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

std::string Lowercase(std::string_view text)
{
    std::string lower(text);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return lower;
}

MqttCommandParse Refused(std::string reason)
{
    return {std::nullopt, std::move(reason)};
}

MqttCommandParse Taken(MqttCommand command)
{
    return {std::move(command), {}};
}

MqttCommandParse ParseDegrees(MqttCommandKind kind, std::string_view payload)
{
    const auto number = ParseRotctldNumber(Trimmed(payload));
    if (!number)
        return Refused("not a number");
    const bool azimuth = kind == MqttCommandKind::Azimuth;
    const auto target = azimuth ? RotctldAzimuthTarget(*number) : RotctldElevationTarget(*number);
    if (!target)
        return Refused(azimuth ? "out of range -180..540" : "out of range 0..180");
    MqttCommand command;
    command.kind = kind;
    command.value = *target;
    return Taken(command);
}

}  // namespace

MqttCommandParse ParseMqttCommand(MqttCommandKind kind, std::string_view payload)
{
    if (payload.size() > kMqttMaxPayloadBytes)
        return Refused("payload longer than 256 bytes");
    if (!IsUtf8(payload))
        return Refused("payload is not UTF-8");
    MqttCommand command;
    command.kind = kind;
    switch (kind) {
    case MqttCommandKind::Azimuth:
    case MqttCommandKind::Elevation: return ParseDegrees(kind, payload);
    case MqttCommandKind::Target:
        if (Trimmed(payload).empty())
            return Refused("empty target");
        command.text = std::string(payload);
        return Taken(command);
    case MqttCommandKind::Stop:
    case MqttCommandKind::Park: return Taken(command);
    case MqttCommandKind::Preset: {
        const auto preset = ParseDecimalDigits(Trimmed(payload), 1, 8);
        if (!preset || *preset < 1)
            return Refused("not a preset 1..8");
        command.value = static_cast<int>(*preset);
        return Taken(command);
    }
    case MqttCommandKind::Tracking: {
        const std::string word = Lowercase(Trimmed(payload));
        if (word == "off")
            command.tracking = TrackingChoice::Off;
        else if (word == "moon")
            command.tracking = TrackingChoice::Moon;
        else if (word == "sun")
            command.tracking = TrackingChoice::Sun;
        else
            return Refused("not off, moon or sun");
        return Taken(command);
    }
    case MqttCommandKind::Unknown: break;
    }
    return Refused("unknown command");
}

std::string RunMqttCommand(const MqttCommand& command, StationControl& station)
{
    constexpr int kCodeSelectedAzimuth = 1;  // TargetSink codes
    constexpr int kCodeElevation = 2;
    switch (command.kind) {
    case MqttCommandKind::Elevation:
        // Without an elevation rotator there is nothing the number could turn.
        if (!station.Snapshot().rotator2IsElevation)
            return "rotator 2 turns in azimuth";
        break;
    case MqttCommandKind::Unknown: return "unknown command";
    default: break;
    }
    station.CommandsFrom({CommandSource::Mqtt, {}});
    switch (command.kind) {
    case MqttCommandKind::Azimuth: station.SetTarget(kCodeSelectedAzimuth, command.value, 0); break;
    case MqttCommandKind::Elevation: station.SetTarget(kCodeElevation, command.value, 0); break;
    case MqttCommandKind::Target:
        if (!station.EnterTargetText(command.text))
            return "target not understood";
        break;
    case MqttCommandKind::Stop: station.Stop(); break;
    case MqttCommandKind::Park: station.Park(); break;
    case MqttCommandKind::Preset:
        if (!station.GoPreset(command.value))
            return "not a preset 1..8";
        break;
    case MqttCommandKind::Tracking: station.SetTracking(command.tracking); break;
    case MqttCommandKind::Unknown: break;
    }
    return {};
}

std::optional<std::string> HandleMqttMessage(std::string_view prefix, std::string_view topic, std::string_view payload,
                                             bool retained, StationControl& station)
{
    const auto kind = ParseMqttCommandTopic(prefix, topic);
    if (!kind)
        return std::nullopt;
    // The name as the client wrote it ("set/azimuth", "set/turn"), for the reason.
    std::string label(topic.substr(prefix.size() + 1));
    if (label.size() > kMaxCommandLabel)
        label = std::string(MqttCommandName(*kind));
    if (retained)
        return label + ": retained command ignored";
    if (*kind == MqttCommandKind::Unknown)
        return label + ": unknown command";
    const MqttCommandParse parsed = ParseMqttCommand(*kind, payload);
    if (!parsed.command)
        return label + ": " + parsed.reason;
    const std::string reason = RunMqttCommand(*parsed.command, station);
    if (!reason.empty())
        return label + ": " + reason;
    return std::string();
}

}  // namespace vantora
