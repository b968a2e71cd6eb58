#include "web/web_texts.h"

#include "settings/translate.h"
#include "web/json_text.h"

#include <array>

namespace vantora {

namespace {

// Texts the desktop already shows keep their wording, so both say the same.
constexpr std::array<std::string_view, 43> kPageTexts{{
    "Vantora web console",
    "Rotator 1 position:",
    "Rotator 2 position:",
    "Setpoint:",
    "Azimuth",
    "Elevation",
    "Presets",
    "Tracking:",
    "OFF",
    "Moon (built-in)",
    "Sun (built-in)",
    "STOP",
    "PARK",
    "Password",
    "Log in",
    "Log out",
    "Wrong password",
    "Too many attempts. Try again later.",
    "Connecting…",
    "Connection lost. Reconnecting…",
    "Operator",
    "Viewer: commands are disabled",
    "Target",
    "Go",
    "Hold to turn",
    "CW",
    "CCW",
    "Up",
    "Down",
    "Consoles connected:",
    "Last command:",
    "from",
    "Desktop",
    "TCP",
    "rotctld",
    "N1MM",
    "PST",
    "Web",
    "MQTT",
    "not allowed",
    "too many commands",
    "bad command",
    "not a target",
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
