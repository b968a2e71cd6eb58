#include "station/station_command_text.h"

namespace vantora {

std::string TargetCommandText(int code, int value1, int value2)
{
    switch (static_cast<TargetCode>(code)) {
    case TargetCode::SelectedAzimuth: return std::to_string(value1);
    case TargetCode::Elevation: return "E" + std::to_string(value2);
    case TargetCode::AzimuthElevation: return std::to_string(value1) + "/" + std::to_string(value2);
    case TargetCode::Rotator1Azimuth: return "A" + std::to_string(value1);
    case TargetCode::Rotator2Azimuth: return "B" + std::to_string(value1);
    }
    return "?" + std::to_string(code);
}

std::string UpperCaseText(std::string_view text)
{
    std::string upper(text);
    for (char& c : upper)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return upper;
}

std::optional<std::string> EntryCommandText(std::string_view text, const EntryResult& result)
{
    if (!result.stopSent && !result.nastav)
        return std::nullopt;
    if (result.stopSent)
        return std::string("STOP");
    if (!result.locator.empty())
        return result.locator;
    const auto first = text.find_first_not_of(" \t");
    const auto last = text.find_last_not_of(" \t");
    if (first == std::string_view::npos)
        return std::nullopt;
    return UpperCaseText(text.substr(first, last - first + 1));
}

std::string TrackingCommandText(TrackingChoice choice)
{
    switch (choice) {
    case TrackingChoice::Off: return "Tracking OFF";
    case TrackingChoice::Moon: return "Tracking Moon";
    case TrackingChoice::Sun: return "Tracking Sun";
    }
    return "Tracking";
}

std::string JogCommandText(JogDirection direction)
{
    switch (direction) {
    case JogDirection::Cw: return "Jog CW";
    case JogDirection::Ccw: return "Jog CCW";
    case JogDirection::Up: return "Jog UP";
    case JogDirection::Down: return "Jog DOWN";
    }
    return "Jog";
}

}  // namespace vantora
