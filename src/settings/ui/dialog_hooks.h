#pragma once
// What the main window lends the settings dialogs: translation and a few hooks into itself.
// Every hook may be left empty; an empty hook is skipped.

#include "common/ui/form_helpers.h"
#include "settings/message_sink.h"
#include "settings/settings_io.h"

#include <functional>
#include <string>

namespace vantora {

struct DialogHooks {
    // The dialog is hidden again: give the operator the main window back.
    std::function<void()> enableMainWindow;
    // Control unit settings closed and the firmware is not too old: poll again.
    std::function<void()> restartPoll;
    // Preferences confirmed, Settings already updated: recompute the home position and pixel
    // from Settings.Lokator and repaint the map (which draws Settings.Znacka).
    std::function<void()> applyNewHome;
    // Preferences confirmed: SavePreferences against the settings still in force (it shows the
    // language message when the language changed and the store could be written).
    std::function<void(const PreferenceValues& values)> savePreferences;
    // Modal message boxes ("Bad locator format"). Not owned; may be null.
    MessageSink* messages = nullptr;
};

}  // namespace vantora
