#include "web/state_json.h"

#include "web/json_text.h"

namespace vantora {

namespace {

constexpr int kStatusTurning = 0;
constexpr int kStatusIdle = 1;

std::string EncodeRotator(const RotatorSnapshot& rotator)
{
    return "{\"position\":" + std::to_string(rotator.position) + ",\"status\":\""
           + std::string(StatusName(rotator.status)) + "\",\"colour\":\"" + std::string(StatusColour(rotator.status))
           + "\",\"setpoint\":" + JsonQuote(rotator.setpoint) + "}";
}

}  // namespace

std::string_view StatusColour(int status)
{
    if (status == kStatusIdle)
        return "#c0dcc0";
    if (status == kStatusTurning)
        return "#ff0000";
    return "#c0c0c0";
}

std::string_view StatusName(int status)
{
    if (status == kStatusIdle)
        return "idle";
    if (status == kStatusTurning)
        return "turning";
    return "unknown";
}

std::string_view RoleName(WebRole role)
{
    return role == WebRole::Operator ? "operator" : "viewer";
}

std::string_view SourceName(CommandSource source)
{
    switch (source) {
    case CommandSource::Desktop: return "desktop";
    case CommandSource::Tcp: return "tcp";
    case CommandSource::Rotctld: return "rotctld";
    case CommandSource::N1mm: return "n1mm";
    case CommandSource::Pst: return "pst";
    case CommandSource::Web: return "web";
    case CommandSource::Mqtt: return "mqtt";
    }
    return "desktop";
}

std::string EncodeState(const StationSnapshot& s, WebRole role, int consoles)
{
    std::string json = "{\"type\":\"state\"";
    json += ",\"callsign\":" + JsonQuote(s.callsign);
    json += ",\"locator\":" + JsonQuote(s.homeLocator);
    json += s.language == 1 ? ",\"language\":\"cs\"" : ",\"language\":\"en\"";
    json += s.rotator2IsElevation ? ",\"rotator2Kind\":\"elevation\"" : ",\"rotator2Kind\":\"azimuth\"";
    json += ",\"selected\":" + std::to_string(s.selectedAzimuthRotator == 2 ? 2 : 1);
    json += ",\"rotator1\":" + EncodeRotator(s.rotator1);
    json += ",\"rotator2\":" + EncodeRotator(s.rotator2);
    json += ",\"tracking\":{\"source\":" + JsonQuote(s.trackingSource) + ",\"readout\":" + JsonQuote(s.trackingReadout)
            + "}";
    json += ",\"link\":{\"fresh\":" + std::string(s.linkFresh ? "true" : "false")
            + ",\"reason\":" + JsonQuote(s.linkFresh ? std::string() : s.staleReason) + "}";
    json += ",\"presets\":[";
    for (std::size_t i = 0; i < s.presets.size(); ++i) {
        const PresetSnapshot& preset = s.presets[i];
        if (i > 0)
            json += ',';
        json += "{\"n\":" + std::to_string(i + 1) + ",\"name\":" + JsonQuote(preset.name) + ",\"azimuth\":"
                + std::to_string(preset.azimuth) + ",\"elevation\":" + std::to_string(preset.elevation) + "}";
    }
    json += "]";
    json += ",\"role\":\"" + std::string(RoleName(role)) + "\"";
    json += ",\"consoles\":" + std::to_string(consoles);
    if (s.lastCommand.empty()) {
        json += ",\"lastCommand\":null";
    } else {
        json += ",\"lastCommand\":{\"text\":" + JsonQuote(s.lastCommand) + ",\"source\":\""
                + std::string(SourceName(s.lastCommandOrigin.source))
                + "\",\"address\":" + JsonQuote(s.lastCommandOrigin.address) + "}";
    }
    json += "}";
    return json;
}

std::string EncodeOkReply()
{
    return "{\"type\":\"reply\",\"ok\":true}";
}

std::string EncodeErrorReply(std::string_view error)
{
    return "{\"type\":\"reply\",\"error\":" + JsonQuote(error) + "}";
}

}  // namespace vantora
