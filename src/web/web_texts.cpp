#include "web/web_texts.h"

#include "settings/translate.h"
#include "web/json_text.h"

#include <array>

namespace vantora {

namespace {

// Texts the desktop already shows keep their wording, so both say the same.
constexpr std::array<std::string_view, 37> kPageTexts{{
    "Rotator 1 position:",
    "Rotator 2 position:",
    "Setpoint:",
    "Presets",
    "Azimuth",
    "Elevation",
    "Cancel",
    "Tracking:",
    "OFF",
    "Moon (built-in)",
    "Sun (built-in)",
    "STOP",
    "PARK",
    "No answer from the control unit",
    "Password",
    "Log in",
    "Log out",
    "wrong password",
    "too many attempts",
    "not logged in",
    "not allowed",
    "too many commands",
    "bad command",
    "not a target",
    "Target",
    "Consoles connected: %1",
    "Last command:",
    "desktop",
    "TCP",
    "rotctld",
    "N1MM Logger+",
    "PstRotator",
    "web operator %1",
    "MQTT",
    "Viewer: the controls are disabled",
    "Connection lost, reconnecting…",
    "Rotator 2 (azimuth)",
}};

}  // namespace

std::span<const std::string_view> PageTexts()
{
    return kPageTexts;
}

std::string EncodePageTexts(int language)
{
    std::string json = language == 1 ? "{\"language\":\"cs\",\"texts\":{" : "{\"language\":\"en\",\"texts\":{";
    bool first = true;
    for (const std::string_view english : kPageTexts) {
        if (!first)
            json += ',';
        first = false;
        json += JsonQuote(english) + ":" + JsonQuote(Translate(language, english));
    }
    json += "}}";
    return json;
}

}  // namespace vantora
