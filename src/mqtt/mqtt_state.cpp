#include "mqtt/mqtt_state.h"

#include "common/integer_text.h"
#include "mqtt/json_text.h"

namespace vantora {

namespace {

constexpr std::string_view kDegreeSign = "\xc2\xb0";

std::string SetpointText(const std::string& readout)
{
    const auto degrees = SetpointDegrees(readout);
    return degrees ? std::to_string(*degrees) : std::string();
}

std::string SetpointJson(const std::string& readout)
{
    const auto degrees = SetpointDegrees(readout);
    return degrees ? std::to_string(*degrees) : std::string("null");
}

std::string Rotator2Axis(const StationSnapshot& snapshot)
{
    return snapshot.rotator2IsElevation ? "elevation" : "azimuth";
}

}  // namespace

std::optional<int> SetpointDegrees(const std::string& readout)
{
    std::string_view text = readout;
    if (text.size() >= kDegreeSign.size() && text.substr(text.size() - kDegreeSign.size()) == kDegreeSign)
        text.remove_suffix(kDegreeSign.size());
    if (text.empty() || text.front() == ' ')
        return std::nullopt;
    // Decimal only: the read-out never shows "$" hexadecimal, and "$10" must not read as 16.
    if (text.find('$') != std::string_view::npos)
        return std::nullopt;
    return ParseWholeInteger(text);
}

std::string LinkText(const StationSnapshot& snapshot)
{
    if (snapshot.linkFresh)
        return "fresh";
    return "stale: " + snapshot.staleReason;
}

std::string StateJson(const StationSnapshot& snapshot)
{
    std::string json = "{\"callsign\":" + JsonString(snapshot.callsign);
    json += ",\"locator\":" + JsonString(snapshot.homeLocator);
    json += ",\"selectedAzimuthRotator\":" + std::to_string(snapshot.selectedAzimuthRotator);
    json += ",\"rotator1\":{\"azimuth\":" + std::to_string(snapshot.rotator1.position);
    json += ",\"setpoint\":" + SetpointJson(snapshot.rotator1.setpoint) + "}";
    json += ",\"rotator2\":{\"" + Rotator2Axis(snapshot) + "\":" + std::to_string(snapshot.rotator2.position);
    json += ",\"setpoint\":" + SetpointJson(snapshot.rotator2.setpoint) + "}";
    json += ",\"link\":" + JsonString(LinkText(snapshot));
    json += ",\"tracking\":" + JsonString(snapshot.trackingSource) + "}";
    return json;
}

std::vector<MqttValue> StationValues(const StationSnapshot& snapshot)
{
    const std::string axis = Rotator2Axis(snapshot);
    const std::string otherAxis = snapshot.rotator2IsElevation ? "azimuth" : "elevation";
    return {
        {"rotator1/azimuth", std::to_string(snapshot.rotator1.position)},
        {"rotator2/" + axis, std::to_string(snapshot.rotator2.position)},
        {"rotator2/" + otherAxis, {}},
        {"rotator1/setpoint", SetpointText(snapshot.rotator1.setpoint)},
        {"rotator2/setpoint", SetpointText(snapshot.rotator2.setpoint)},
        {"link", LinkText(snapshot)},
        {"tracking", snapshot.trackingSource},
        {"state", StateJson(snapshot)},
    };
}

}  // namespace vantora
