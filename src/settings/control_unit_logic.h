#pragma once
// What the Control unit settings dialog decides: how UnitSettings is shown, the spin-button
// rules, the checks and frames of the four Writes, and the LCD text rules.

#include "link/commands.h"
#include "link/rotator_state.h"

#include <string>
#include <string_view>

namespace vantora {

// Status texts (English; the dialog shows them translated).
inline constexpr std::string_view kStatusReady = "Ready";
inline constexpr std::string_view kStatusReading = "Status reading...";
inline constexpr std::string_view kStatusWriting = "Writing...";
inline constexpr std::string_view kStatusWrongValue = "Wrong value";
inline constexpr std::string_view kStatusError = "Error";

inline constexpr std::string_view kDefaultLcdText1 = "Azimut";   // sent blank-padded: "Azimut "
inline constexpr std::string_view kDefaultLcdText2 = "Elevace";
inline constexpr std::string_view kLcdAzimuthText = "Azimut ";   // the mode buttons swap these
inline constexpr std::string_view kLcdElevationText = "Elevace";
inline constexpr std::size_t kLcdTextLength = 7;                 // characters on the unit's LCD

inline constexpr int kMaxSensitivity = 30;    // degrees, highest the sensitivity Up reaches
inline constexpr int kMaxInertia = 30;        // degrees
inline constexpr int kMinInertiaTime = 10;    // tenths of a second
inline constexpr int kMaxInertiaTime = 100;

// Every box and choice of the dialog as Zobrazit fills it.
struct ControlUnitView {
    std::string sensorId1;
    std::string sensorId2;
    std::string sensitivity1, inertia1, inertiaTime1, limitSwitch1;
    std::string sensitivity2, inertia2, inertiaTime2, limitSwitch2, maxElevation2;
    bool elevationMode = false;  // "Elevation" selected, else "Azimuth"
    std::string lcdText1;
    std::string lcdText2;
    bool display20 = false;      // "20 chars" selected, else "16 chars"
};

// Tenths of a second as "2.5": integer part, a point, one decimal.
std::string FormatInertiaTime(std::uint8_t tenths);

ControlUnitView ShowUnitSettings(const UnitSettings& settings);

enum class SpinField { Sensitivity, Inertia, InertiaTime };

// One click of a spin button of rotator 1 or 2. The sensitivity stays above the inertia.
void SpinUp(UnitSettings& settings, int rotator, SpinField field);
void SpinDown(UnitSettings& settings, int rotator, SpinField field);

// The Writes. Each reads its number boxes (leading digits, empty or non-numeric = 0) into
// `settings`, checks, and when the checks pass builds its frame and sends it with Odeslat.
// Returns the status text to show: kStatusWriting when sent, kStatusWrongValue when refused.
// A number too large for its field (one byte; two for limit switches) is refused and that
// field keeps its value; a number that fits is stored even when the Write is refused.
std::string_view WriteSensorIds(UnitSettings& settings, std::string_view id1Text,
                                std::string_view id2Text, CommandBuffer& buffer, FrameSink& sink);
std::string_view WriteRotator1(UnitSettings& settings, std::string_view limitSwitchText,
                               std::string_view lcdText, CommandBuffer& buffer, FrameSink& sink);
std::string_view WriteRotator2(UnitSettings& settings, std::string_view maxElevationText,
                               std::string_view limitSwitchText, std::string_view lcdText,
                               bool elevationSelected, CommandBuffer& buffer, FrameSink& sink);
std::string_view WriteDisplay(const UnitSettings& settings, CommandBuffer& buffer, FrameSink& sink);

// The LCD text that a Write sends: `text`, or `fallback` when empty, blank-padded to 7.
std::string LcdTextToSend(std::string_view text, std::string_view fallback);

// Rotator 2's LCD box after a mode button: "Elevace" <-> "Azimut " exactly, anything else kept.
std::string SwapLcdTextForMode(std::string_view text, bool elevation);

// Whether an LCD box takes `typed`: backspace or codes 32 (blank) .. 125 ('}').
bool AcceptLcdKey(char32_t typed);

}  // namespace vantora
