#include "web/web_command.h"

#include "web/json_text.h"

namespace vantora {

std::optional<WebCommand> ParseWebCommand(std::string_view message)
{
    const auto object = ParseJsonFlatObject(message);
    if (!object)
        return std::nullopt;
    const std::string* cmd = JsonString(*object, "cmd");
    if (!cmd)
        return std::nullopt;
    WebCommand command;
    if (*cmd == "target") {
        const std::string* text = JsonString(*object, "text");
        if (!text)
            return std::nullopt;
        command.kind = WebCommandKind::Target;
        command.text = *text;
    } else if (*cmd == "stop") {
        command.kind = WebCommandKind::Stop;
    } else if (*cmd == "park") {
        command.kind = WebCommandKind::Park;
    } else if (*cmd == "preset") {
        const auto n = JsonWhole(*object, "n");
        if (!n || *n < 1 || *n > 8)
            return std::nullopt;
        command.kind = WebCommandKind::Preset;
        command.preset = static_cast<int>(*n);
    } else if (*cmd == "tracking") {
        const std::string* source = JsonString(*object, "source");
        if (!source)
            return std::nullopt;
        command.kind = WebCommandKind::Tracking;
        if (*source == "off")
            command.tracking = TrackingChoice::Off;
        else if (*source == "moon")
            command.tracking = TrackingChoice::Moon;
        else if (*source == "sun")
            command.tracking = TrackingChoice::Sun;
        else
            return std::nullopt;
    } else if (*cmd == "jog") {
        const std::string* dir = JsonString(*object, "dir");
        if (!dir)
            return std::nullopt;
        command.kind = WebCommandKind::Jog;
        if (*dir == "cw")
            command.direction = JogDirection::Cw;
        else if (*dir == "ccw")
            command.direction = JogDirection::Ccw;
        else if (*dir == "up")
            command.direction = JogDirection::Up;
        else if (*dir == "down")
            command.direction = JogDirection::Down;
        else
            return std::nullopt;
    } else if (*cmd == "release") {
        command.kind = WebCommandKind::Release;
    } else {
        return std::nullopt;
    }
    return command;
}

std::optional<std::string> ParseLoginBody(std::string_view body)
{
    const auto object = ParseJsonFlatObject(body);
    if (!object)
        return std::nullopt;
    const std::string* password = JsonString(*object, "password");
    if (!password)
        return std::nullopt;
    return *password;
}

}  // namespace vantora
