#include "station/target_entry.h"

#include "common/integer_text.h"
#include "station/home_locator.h"
#include "station/motion_commands.h"

#include <string>

namespace vantora {

namespace {

constexpr std::int32_t kMaxAzimuth = 360;
constexpr std::int32_t kMaxElevation = 180;

std::string AsciiUpper(std::string_view text)
{
    std::string upper(text);
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return upper;
}

}  // namespace

EntryResult EnterTarget(std::string_view text, const EntryContext& context)
{
    EntryResult result;
    if (context.trackingOn) {
        result.switchTrackingOff = true;
        ClearSetpointTexts(context.target.setpoints);
    }
    if (text.empty())
        return result;

    const std::string upper = AsciiUpper(text);
    if (upper == "STOP") {
        Stop(false, context.target.setpoints, context.buffer, context.sink);
        result.stopSent = true;
        return result;
    }

    auto call = [&](int code, std::int32_t value1, std::int32_t value2) {
        result.nastav = NastavCall{code, value1, value2};
        Nastav(code, value1, value2, context.target);
    };

    std::optional<std::int32_t> number = ParseWholeInteger(text);
    if (number) {
        if (*number >= 0 && *number <= kMaxAzimuth)
            call(static_cast<int>(TargetCode::SelectedAzimuth), *number, 0);
        return result;
    }

    // A prefixed target reads at most four characters after its letter.
    const char prefix = text.front();
    const std::string_view prefixed = text.substr(1, 4);
    switch (prefix) {
    case 'a':
    case 'A':
        number = ParseWholeInteger(prefixed);
        if (number && *number >= 0 && *number <= kMaxAzimuth)
            call(static_cast<int>(TargetCode::Rotator1Azimuth), *number, 0);
        break;
    case 'b':
    case 'B':
        number = ParseWholeInteger(prefixed);
        if (number && *number >= 0 && *number <= kMaxAzimuth)
            call(static_cast<int>(TargetCode::Rotator2Azimuth), *number, 0);
        break;
    case 'e':
    case 'E':
        number = ParseWholeInteger(prefixed);
        if (number && *number >= 0 && *number <= kMaxElevation)
            call(static_cast<int>(TargetCode::Elevation), 0, *number);
        break;
    default: break;
    }
    // A number that parsed but lay outside its range is dropped; only a text that is no number
    // at all may be a locator.
    if (number)
        return result;

    // The home locator names no direction: the bearing is taken from there. It is compared in
    // the form the home position was computed from, so an empty or hand-edited setting does not
    // turn the antenna north when the operator types the station's own square.
    if (const auto azimuth = LocatorTargetAzimuth(text, context.homeLocator, context.homePosition)) {
        call(static_cast<int>(TargetCode::SelectedAzimuth), *azimuth, 0);
        result.locator = upper;
    }
    return result;
}

std::optional<int> LocatorTargetAzimuth(std::string_view text, std::string_view homeLocator,
                                        const GeoPosition& homePosition)
{
    if (AsciiUpper(text) == AsciiUpper(EffectiveHomeLocator(homeLocator)) || !CheckLoc(text))
        return std::nullopt;
    return VypLocAzm(homePosition, VypLoc(text));
}

KeyOutcome TargetKeyPress(char32_t key, const RotatorState& state, SelectRequest& select)
{
    switch (key) {
    case kKeyEscape: return KeyOutcome::ClearBox;
    case kKeyEnter: return KeyOutcome::RunEnter;
    case kKeySpace:
        select.value = state.activeRotator == 0 ? 1 : 0;
        select.pending = true;
        return KeyOutcome::Swallowed;
    default: return KeyOutcome::PassOn;
    }
}

}  // namespace vantora
