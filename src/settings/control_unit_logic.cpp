#include "settings/control_unit_logic.h"

#include "settings/preferences_logic.h"

#include <algorithm>
#include <limits>

namespace vantora {

namespace {

struct RotatorFields {
    std::uint8_t& sensitivity;
    std::uint8_t& inertia;
    std::uint8_t& inertiaTime;
};

RotatorFields Fields(UnitSettings& s, int rotator)
{
    if (rotator == 2)
        return {s.sensitivity2, s.inertia2, s.inertiaTime2};
    return {s.sensitivity1, s.inertia1, s.inertiaTime1};
}

std::uint8_t ToByte(int value)
{
    return static_cast<std::uint8_t>(std::clamp(value, 0, 255));
}

// Reads a box into a field of type T. False when the number does not fit the field,
// which then keeps its value.
template <typename T>
bool ReadInto(std::string_view text, T& field)
{
    const std::uint32_t value = ReadLeadingNumber(text);
    if (value > std::numeric_limits<T>::max())
        return false;
    field = static_cast<T>(value);
    return true;
}

// First `count` characters of a UTF-8 text.
std::string CutToCharacters(std::string_view text, std::size_t count)
{
    std::size_t characters = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        // A byte that does not continue a sequence starts a new character.
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
            if (characters == count)
                return std::string(text.substr(0, i));
            ++characters;
        }
    }
    return std::string(text);
}

std::size_t CharacterCount(std::string_view text)
{
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

}  // namespace

std::string FormatInertiaTime(std::uint8_t tenths)
{
    return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10);
}

ControlUnitView ShowUnitSettings(const UnitSettings& s)
{
    ControlUnitView view;
    view.sensorId1 = std::to_string(s.sensorId1);
    view.sensorId2 = std::to_string(s.sensorId2);
    view.sensitivity1 = std::to_string(s.sensitivity1);
    view.inertia1 = std::to_string(s.inertia1);
    view.inertiaTime1 = FormatInertiaTime(s.inertiaTime1);
    view.limitSwitch1 = std::to_string(s.limitSwitch1);
    view.sensitivity2 = std::to_string(s.sensitivity2);
    view.inertia2 = std::to_string(s.inertia2);
    view.inertiaTime2 = FormatInertiaTime(s.inertiaTime2);
    view.limitSwitch2 = std::to_string(s.limitSwitch2);
    view.maxElevation2 = std::to_string(s.maxElevation2);
    view.elevationMode = s.mode2 == 2;
    view.lcdText1 = s.lcdText1;
    view.lcdText2 = s.lcdText2;
    view.display20 = s.display20 != 0;
    return view;
}

void SpinUp(UnitSettings& settings, int rotator, SpinField field)
{
    RotatorFields f = Fields(settings, rotator);
    switch (field) {
    case SpinField::Sensitivity:
        if (f.sensitivity < kMaxSensitivity)
            ++f.sensitivity;
        break;
    case SpinField::Inertia:
        if (f.inertia < kMaxInertia)
            ++f.inertia;
        if (f.sensitivity < f.inertia + 1)
            f.sensitivity = ToByte(f.inertia + 1);
        break;
    case SpinField::InertiaTime:
        if (f.inertiaTime < kMaxInertiaTime)
            ++f.inertiaTime;
        break;
    }
}

void SpinDown(UnitSettings& settings, int rotator, SpinField field)
{
    RotatorFields f = Fields(settings, rotator);
    switch (field) {
    case SpinField::Sensitivity:
        if (f.sensitivity > f.inertia + 1)
            --f.sensitivity;
        break;
    case SpinField::Inertia:
        if (f.inertia > 0)
            --f.inertia;
        if (f.sensitivity <= f.inertia)
            f.sensitivity = ToByte(f.inertia + 1);
        break;
    case SpinField::InertiaTime:
        if (f.inertiaTime > kMinInertiaTime)
            --f.inertiaTime;
        break;
    }
}

std::string_view WriteSensorIds(UnitSettings& settings, std::string_view id1Text,
                                std::string_view id2Text, CommandBuffer& buffer, FrameSink& sink)
{
    const bool fits1 = ReadInto(id1Text, settings.sensorId1);
    const bool fits2 = ReadInto(id2Text, settings.sensorId2);
    if (!fits1 || !fits2)
        return kStatusWrongValue;
    for (std::uint8_t id : {settings.sensorId1, settings.sensorId2})
        if (id == 1 || id == 255)
            return kStatusWrongValue;
    BuildWriteSensorIds(buffer, settings.sensorId1, settings.sensorId2);
    Odeslat(buffer, sink);
    return kStatusWriting;
}

std::string_view WriteRotator1(UnitSettings& settings, std::string_view limitSwitchText,
                               std::string_view lcdText, CommandBuffer& buffer, FrameSink& sink)
{
    const bool fits = ReadInto(limitSwitchText, settings.limitSwitch1);
    const std::string text = LcdTextToSend(lcdText, kDefaultLcdText1);
    if (!fits || settings.limitSwitch1 > 359)
        return kStatusWrongValue;
    BuildWriteRotator1(buffer, settings, text);
    Odeslat(buffer, sink);
    return kStatusWriting;
}

std::string_view WriteRotator2(UnitSettings& settings, std::string_view maxElevationText,
                               std::string_view limitSwitchText, std::string_view lcdText,
                               bool elevationSelected, CommandBuffer& buffer, FrameSink& sink)
{
    const bool fitsElevation = ReadInto(maxElevationText, settings.maxElevation2);
    const bool fitsLimit = ReadInto(limitSwitchText, settings.limitSwitch2);
    const std::string text = LcdTextToSend(lcdText, kDefaultLcdText2);
    // Both checks apply whatever the mode, also to the box the mode has disabled.
    if (!fitsElevation || settings.maxElevation2 < 30 || settings.maxElevation2 > 180)
        return kStatusWrongValue;
    if (!fitsLimit || settings.limitSwitch2 > 359)
        return kStatusWrongValue;
    settings.mode2 = elevationSelected ? 2 : 1;
    BuildWriteRotator2(buffer, settings, text);
    Odeslat(buffer, sink);
    return kStatusWriting;
}

std::string_view WriteDisplay(const UnitSettings& settings, CommandBuffer& buffer, FrameSink& sink)
{
    BuildWriteDisplay(buffer, settings.display20);
    Odeslat(buffer, sink);
    return kStatusWriting;
}

std::string LcdTextToSend(std::string_view text, std::string_view fallback)
{
    std::string result = CutToCharacters(text.empty() ? fallback : text, kLcdTextLength);
    result.append(kLcdTextLength - CharacterCount(result), ' ');
    return result;
}

std::string SwapLcdTextForMode(std::string_view text, bool elevation)
{
    if (elevation && text == kLcdAzimuthText)
        return std::string(kLcdElevationText);
    if (!elevation && text == kLcdElevationText)
        return std::string(kLcdAzimuthText);
    return std::string(text);
}

bool AcceptLcdKey(char32_t typed)
{
    return typed == kBackspace || (typed >= 32 && typed <= 125);
}

}  // namespace vantora
