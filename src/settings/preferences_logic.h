#pragma once
// What the Preferences dialog decides, apart from showing it: the key filters of the preset
// boxes, the folder separator rule, and the values that OK stores and copies.

#include "settings/settings.h"
#include "settings/settings_io.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

namespace vantora {

inline constexpr char32_t kBackspace = 8;
inline constexpr int kMaxPresetAzimuth = 360;    // degrees
inline constexpr int kMaxPresetElevation = 180;  // degrees

inline constexpr std::string_view kBadLocatorMessage = "Bad locator format";

// Whether a preset number box takes `typed`. Only digits and backspace pass; the candidate is
// `current` with `typed` appended at its end (wherever the caret is and whatever is selected),
// and a digit is refused when the candidate's leading digits exceed `maximum`.
bool AcceptPresetKey(std::string_view current, char32_t typed, int maximum);

// The folder picker's answer with `separator` appended unless it already ends with one.
std::string AppendFolderSeparator(std::string path, char separator);

// Name shown in the name box of preset `row` (1..8): the stored name, or "Preset n" when empty.
std::string PresetNameShown(const Settings& settings, int row);

// Decimal value of the leading digits of `text`; 0 when there are none. Saturates at
// 4294967295 so that no text can overflow.
std::uint32_t ReadLeadingNumber(std::string_view text);

// The texts of the Preferences controls as the operator left them.
struct PreferencesForm {
    std::string callsign;    // at most 12 characters
    std::string locator;     // as typed, either case
    std::string moonSked;    // folder, ends with a separator
    std::string wsjt;
    int language = 0;        // selected item: 0 English, 1 Czech, -1 none
    std::array<std::string, kPresetCount> presetName;  // index 0 unused ("Parking" is never stored)
    std::array<std::string, kPresetCount> azimuth;     // boxes of rows 0..8
    std::array<std::string, kPresetCount> elevation;
};

// OK refused: the message to show; the dialog stays open and nothing changes.
struct PreferencesRefused {
    std::string_view message;
};

// The checks and conversions of OK: the locator must pass CheckLoc as typed; the number boxes
// are read as decimal numbers (empty = 0). Accepted values go to SavePreferences and then
// ApplyPreferences, which upper-case the locator and cut the names.
std::variant<PreferencesRefused, PreferenceValues> ConfirmPreferences(const PreferencesForm& form);

// OK as the dialog runs it: as above, except that every box whose text is still the one it was
// filled with (`filled`) keeps the value in `stored`. So a hand-edited value that a box cannot
// show in full (a callsign over 12 or a name over 16 characters, a preset number outside the
// boxes' range, a language with no item) is not rewritten unless the operator edited that box.
// The locator box is always taken as typed: it must pass the check.
std::variant<PreferencesRefused, PreferenceValues> ConfirmPreferences(const PreferencesForm& form,
                                                                      const PreferencesForm& filled,
                                                                      const Settings& stored);

}  // namespace vantora
