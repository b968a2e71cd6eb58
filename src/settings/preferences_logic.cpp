#include "settings/preferences_logic.h"

#include "geo/locator.h"

#include <algorithm>
#include <limits>

namespace vantora {

namespace {

bool IsDigit(char32_t c)
{
    return c >= U'0' && c <= U'9';
}

}  // namespace

std::uint32_t ReadLeadingNumber(std::string_view text)
{
    constexpr std::uint64_t kCap = std::numeric_limits<std::uint32_t>::max();
    std::uint64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            break;
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
        if (value > kCap)
            value = kCap;
    }
    return static_cast<std::uint32_t>(value);
}

bool AcceptPresetKey(std::string_view current, char32_t typed, int maximum)
{
    if (typed != kBackspace && !IsDigit(typed))
        return false;
    if (typed == kBackspace)
        return true;
    std::string candidate(current);
    candidate.push_back(static_cast<char>(typed));
    return ReadLeadingNumber(candidate) <= static_cast<std::uint32_t>(maximum);
}

std::string AppendFolderSeparator(std::string path, char separator)
{
    if (path.empty() || path.back() != separator)
        path.push_back(separator);
    return path;
}

std::string PresetNameShown(const Settings& settings, int row)
{
    if (row < 1 || row >= kPresetCount)
        return {};
    const std::string& name = settings.PresetName[static_cast<std::size_t>(row)];
    return name.empty() ? "Preset " + std::to_string(row) : name;
}

std::variant<PreferencesRefused, PreferenceValues> ConfirmPreferences(const PreferencesForm& form)
{
    if (!CheckLoc(form.locator))
        return PreferencesRefused{kBadLocatorMessage};

    PreferenceValues values;
    values.Znacka = form.callsign;
    values.Lokator = form.locator;
    values.MoonSked = form.moonSked;
    values.WSJT = form.wsjt;
    values.Language = form.language;
    for (std::size_t i = 1; i < kPresetCount; ++i)
        values.PresetName[i] = form.presetName[i];
    // The key filters keep the boxes at three digits; the cap only guards the conversion.
    constexpr std::uint32_t kIntMax = std::numeric_limits<std::int32_t>::max();
    for (std::size_t i = 0; i < kPresetCount; ++i) {
        values.PresetAzimuth[i] =
            static_cast<std::int32_t>(std::min(ReadLeadingNumber(form.azimuth[i]), kIntMax));
        values.PresetElevation[i] =
            static_cast<std::int32_t>(std::min(ReadLeadingNumber(form.elevation[i]), kIntMax));
    }
    return values;
}

std::variant<PreferencesRefused, PreferenceValues> ConfirmPreferences(const PreferencesForm& form,
                                                                      const PreferencesForm& filled,
                                                                      const Settings& stored)
{
    auto outcome = ConfirmPreferences(form);
    auto* values = std::get_if<PreferenceValues>(&outcome);
    if (!values)
        return outcome;
    if (form.callsign == filled.callsign)
        values->Znacka = stored.Znacka;
    if (form.language == filled.language)
        values->Language = stored.Language;
    for (std::size_t i = 0; i < kPresetCount; ++i) {
        if (i > 0 && form.presetName[i] == filled.presetName[i])
            values->PresetName[i] = stored.PresetName[i];
        if (form.azimuth[i] == filled.azimuth[i])
            values->PresetAzimuth[i] = stored.PresetAzimuth[i];
        if (form.elevation[i] == filled.elevation[i])
            values->PresetElevation[i] = stored.PresetElevation[i];
    }
    return outcome;
}

}  // namespace vantora
