#pragma once
// The target box Edit1 and its OK button: typed azimuths, elevations, locators and STOP.

#include "geo/locator.h"
#include "link/commands.h"
#include "link/rotator_state.h"
#include "link/setpoints.h"
#include "station/nastav.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vantora {

// One call handed to Nastav.
struct NastavCall {
    int code = 0;
    std::int32_t value1 = 0;
    std::int32_t value2 = 0;
    bool operator==(const NastavCall&) const = default;
};

// What a typed entry acts on.
struct EntryContext {
    NastavTarget target;    // where an accepted target is written
    CommandBuffer& buffer;  // for a typed STOP
    FrameSink& sink;
    std::string_view homeLocator;  // Settings::Lokator as stored
    GeoPosition homePosition;      // HomePosition(homeLocator), geo/locator.h
    bool trackingOn = false;
};

// What the OK button did beyond the records in the context. Whatever happened, the caller then
// clears Edit1 and gives it the keyboard focus.
struct EntryResult {
    bool switchTrackingOff = false;    // tracking was on: the caller switches it off as "OFF" does
    bool stopSent = false;             // the text was STOP; the stop command was handed to Odeslat
    std::optional<NastavCall> nastav;  // the call made to Nastav (it may still have found no route)
    std::string locator;               // the locator the bearing was taken from, upper case; else empty
};

// The OK button (Button1), also run by Enter in Edit1, on the box's text (UTF-8):
//  - tracking on: it goes off and both setpoint read-outs show "0°" first;
//  - empty text: nothing more;
//  - "STOP" in any case: as the STOP button;
//  - a whole integer 0..360: azimuth for the selected azimuth rotator (code 1);
//  - "A"/"B" and characters 2..5 an integer 0..360: rotator 1 (code 4) / rotator 2 (code 5);
//  - "E" and characters 2..5 an integer 0..180: elevation (code 2);
//  - a text that did not parse as a number there, is a valid locator, and differs in upper case
//    from the home locator: the great-circle azimuth from home (code 1);
//  - anything else is dropped without a message.
EntryResult EnterTarget(std::string_view text, const EntryContext& context);

// The bearing a typed locator turns to: `text` must be a valid six-character locator that
// differs (case ignored) from the home locator in force; else empty.
std::optional<int> LocatorTargetAzimuth(std::string_view text, std::string_view homeLocator,
                                        const GeoPosition& homePosition);

enum class KeyOutcome {
    PassOn,     // the character reaches the box unchanged
    Swallowed,  // Space: the other azimuth rotator was requested instead of typing a blank
    ClearBox,   // Esc: swallowed; the caller clears the box
    RunEnter,   // Enter: swallowed; the caller runs EnterTarget on the box's text
};

inline constexpr char32_t kKeyEnter = 13;
inline constexpr char32_t kKeyEscape = 27;
inline constexpr char32_t kKeySpace = 32;

// Edit1KeyPress: a character typed into the target box. Space raises a rotator selection for the
// azimuth rotator that is not active now (value 1 when rotator 1 is active, else 0).
KeyOutcome TargetKeyPress(char32_t key, const RotatorState& state, SelectRequest& select);

}  // namespace vantora
