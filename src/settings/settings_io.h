#pragma once
// Loading and saving `Settings` through a KeyValueStore: the settings-version check with its
// reset to defaults, the window state written at close, and the Preferences values written
// when they changed.

#include "settings/default_folders.h"
#include "settings/key_value_store.h"
#include "settings/message_sink.h"
#include "settings/settings.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vantora {

// Layout version of the stored values; any other stored text (case-sensitive) resets them.
inline constexpr std::string_view kRegVersion = "1.09";
inline constexpr std::string_view kUpdateMessage =
    "Vantora update detected ! Settings must be rewritten. Sorry.";
inline constexpr std::string_view kLanguageChangedMessage =
    "Language changed. Please restart application.";

// The main window's size when it closes.
struct WindowGeometry {
    std::int32_t clientWidth = 0;   // pixels
    std::int32_t clientHeight = 0;  // pixels
    bool maximized = false;
};

// What the Preferences dialog hands over on OK. PresetName index 0 is not used.
struct PreferenceValues {
    std::string Znacka;
    std::string Lokator;  // as typed; compared and stored upper-cased
    std::string MoonSked;
    std::string WSJT;
    std::int32_t Language = 0;  // index of the language list; -1 when nothing is selected
    std::array<std::string, kPresetCount> PresetName;
    std::array<std::int32_t, kPresetCount> PresetAzimuth{};
    std::array<std::int32_t, kPresetCount> PresetElevation{};
};

// Every value as the reset writes it, Znacka empty.
Settings DefaultSettings(const TrackingFolders& folders);

// The first kPresetNameMax characters (not bytes) of a UTF-8 text.
std::string CutPresetName(std::string_view name);

// Reads every value into a Settings record. A stored version other than kRegVersion shows
// kUpdateMessage and rewrites every value with its default (Znacka and unknown values are
// kept). A missing or mistyped value reads as its default. When the store cannot be written,
// nothing is shown or written and the defaults stand in for an outdated store.
Settings LoadSettings(KeyValueStore& store, MessageSink& messages, const TrackingFolders& folders);
Settings LoadSettings(KeyValueStore& store, MessageSink& messages);  // folders of this system

// Start-up reading of the loaded values: Port 0 means COM 1 (and is so stored at the next close).
void ApplyStartupRules(Settings& settings);

// Port, Zoom and View from `settings`, the size from `window`. Nothing when the store cannot
// be written.
void SaveWindowState(KeyValueStore& store, const Settings& settings, const WindowGeometry& window);

// Writes each value of `values` that differs from `current`, and shows
// kLanguageChangedMessage when Language changed. Nothing, and no message, when the store
// cannot be written. `current` is not changed: see ApplyPreferences.
void SavePreferences(KeyValueStore& store, MessageSink& messages, const Settings& current,
                     const PreferenceValues& values);

// Copies the dialog's values into the record: locator upper-cased, names cut to 20 characters.
void ApplyPreferences(Settings& settings, const PreferenceValues& values);

// Device path of serial port `port` (value Com<port>Device), when one is stored.
std::optional<std::string> ReadComDevice(KeyValueStore& store, int port);

// ASCII letters upper-cased, every other byte kept.
std::string UpperAscii(std::string_view text);

}  // namespace vantora
