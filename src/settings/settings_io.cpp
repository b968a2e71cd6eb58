#include "settings/settings_io.h"

#include <cstddef>

namespace vantora {

namespace {

std::string PresetNameKey(int index) { return "preset_" + std::to_string(index); }
std::string PresetAzimuthKey(int index) { return "preset_a" + std::to_string(index); }
std::string PresetElevationKey(int index) { return "preset_e" + std::to_string(index); }

// Writes the whole table of defaults; RegVersion last, so that an interrupted reset is
// repeated at the next start.
void WriteDefaults(KeyValueStore& store, const Settings& defaults)
{
    store.WriteInt("Port", defaults.Port);
    store.WriteInt("Zoom", defaults.Zoom);
    store.WriteInt("Language", defaults.Language);
    store.WriteInt("View", defaults.View);
    store.WriteInt("SizeX", defaults.SizeX);
    store.WriteInt("SizeY", defaults.SizeY);
    store.WriteInt("SizeM", defaults.SizeM);
    for (int i = 1; i < kPresetCount; ++i) {
        store.WriteString(PresetNameKey(i), defaults.PresetName[i]);
    }
    for (int i = 0; i < kPresetCount; ++i) {
        store.WriteInt(PresetAzimuthKey(i), defaults.PresetAzimuth[i]);
    }
    for (int i = 0; i < kPresetCount; ++i) {
        store.WriteInt(PresetElevationKey(i), defaults.PresetElevation[i]);
    }
    store.WriteString("Lokator", defaults.Lokator);
    store.WriteString("MoonSked", defaults.MoonSked);
    store.WriteString("WSJT", defaults.WSJT);
    store.WriteString("RegVersion", kRegVersion);
}

Settings ReadValues(KeyValueStore& store, const Settings& defaults)
{
    const auto readInt = [&](const std::string& name, std::int32_t fallback) {
        return store.ReadInt(name).value_or(fallback);
    };
    const auto readString = [&](const std::string& name, const std::string& fallback) {
        return store.ReadString(name).value_or(fallback);
    };
    Settings settings;
    settings.Port = readInt("Port", defaults.Port);
    settings.Zoom = readInt("Zoom", defaults.Zoom);
    settings.Language = readInt("Language", defaults.Language);
    settings.View = readInt("View", defaults.View);
    settings.SizeX = readInt("SizeX", defaults.SizeX);
    settings.SizeY = readInt("SizeY", defaults.SizeY);
    settings.SizeM = readInt("SizeM", defaults.SizeM);
    settings.Znacka = readString("Znacka", defaults.Znacka);
    settings.Lokator = readString("Lokator", defaults.Lokator);
    settings.MoonSked = readString("MoonSked", defaults.MoonSked);
    settings.WSJT = readString("WSJT", defaults.WSJT);
    settings.PresetName[0].clear();
    for (int i = 1; i < kPresetCount; ++i) {
        settings.PresetName[i] = CutPresetName(readString(PresetNameKey(i), defaults.PresetName[i]));
    }
    for (int i = 0; i < kPresetCount; ++i) {
        settings.PresetAzimuth[i] = readInt(PresetAzimuthKey(i), defaults.PresetAzimuth[i]);
    }
    for (int i = 0; i < kPresetCount; ++i) {
        settings.PresetElevation[i] = readInt(PresetElevationKey(i), defaults.PresetElevation[i]);
    }
    return settings;
}

}  // namespace

Settings DefaultSettings(const TrackingFolders& folders)
{
    Settings settings;
    settings.Port = 1;
    settings.Zoom = 10;
    settings.Language = 0;
    settings.View = 0;
    settings.SizeX = 999;
    settings.SizeY = 624;
    settings.SizeM = 0;
    settings.Znacka.clear();
    settings.Lokator = "JN89XX";
    settings.MoonSked = folders.MoonSked;
    settings.WSJT = folders.WSJT;
    settings.PresetName[0].clear();
    for (int i = 1; i < kPresetCount; ++i) {
        settings.PresetName[i] = "Preset " + std::to_string(i);
    }
    settings.PresetAzimuth.fill(0);
    settings.PresetElevation.fill(0);
    return settings;
}

std::string CutPresetName(std::string_view name)
{
    std::size_t characters = 0;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const auto byte = static_cast<unsigned char>(name[i]);
        const bool continuation = (byte & 0xC0) == 0x80;
        if (!continuation && characters++ == kPresetNameMax) {
            return std::string(name.substr(0, i));
        }
    }
    return std::string(name);
}

Settings LoadSettings(KeyValueStore& store, MessageSink& messages, const TrackingFolders& folders)
{
    const Settings defaults = DefaultSettings(folders);
    const bool writable = store.Open();
    const std::optional<std::string> version = store.ReadString("RegVersion");
    const bool current = version.has_value() && *version == kRegVersion;

    Settings settings;
    if (current) {
        settings = ReadValues(store, defaults);
    } else if (writable) {
        messages.ShowMessage(kUpdateMessage);
        WriteDefaults(store, defaults);
        settings = ReadValues(store, defaults);
    } else {
        // A reset that cannot be stored would be announced at every start; run on what it
        // would have written instead.
        settings = defaults;
        settings.Znacka = store.ReadString("Znacka").value_or(std::string());
    }
    store.Close();
    return settings;
}

Settings LoadSettings(KeyValueStore& store, MessageSink& messages)
{
    return LoadSettings(store, messages, DefaultTrackingFolders(SystemFolderEnvironment()));
}

void ApplyStartupRules(Settings& settings)
{
    if (settings.Port == 0) {
        settings.Port = 1;
    }
}

void SaveWindowState(KeyValueStore& store, const Settings& settings, const WindowGeometry& window)
{
    if (store.Open()) {
        store.WriteInt("Port", settings.Port);
        store.WriteInt("Zoom", settings.Zoom);
        store.WriteInt("View", settings.View);
        store.WriteInt("SizeX", window.clientWidth);
        store.WriteInt("SizeY", window.clientHeight);
        store.WriteInt("SizeM", window.maximized ? 1 : 0);
    }
    store.Close();
}

void SavePreferences(KeyValueStore& store, MessageSink& messages, const Settings& current,
                     const PreferenceValues& values)
{
    if (!store.Open()) {
        store.Close();
        return;
    }
    const auto writeString = [&](const std::string& name, const std::string& stored,
                                 const std::string& value) {
        if (value != stored) {
            store.WriteString(name, value);
        }
    };
    const auto writeInt = [&](const std::string& name, std::int32_t stored, std::int32_t value) {
        if (value != stored) {
            store.WriteInt(name, value);
        }
    };
    writeString("Znacka", current.Znacka, values.Znacka);
    writeString("Lokator", current.Lokator, UpperAscii(values.Lokator));
    writeString("MoonSked", current.MoonSked, values.MoonSked);
    writeString("WSJT", current.WSJT, values.WSJT);
    if (values.Language != current.Language) {
        store.WriteInt("Language", values.Language);
        messages.ShowMessage(kLanguageChangedMessage);
    }
    for (int i = 1; i < kPresetCount; ++i) {
        writeString(PresetNameKey(i), current.PresetName[i], values.PresetName[i]);
    }
    for (int i = 0; i < kPresetCount; ++i) {
        writeInt(PresetAzimuthKey(i), current.PresetAzimuth[i], values.PresetAzimuth[i]);
    }
    for (int i = 0; i < kPresetCount; ++i) {
        writeInt(PresetElevationKey(i), current.PresetElevation[i], values.PresetElevation[i]);
    }
    store.Close();
}

void ApplyPreferences(Settings& settings, const PreferenceValues& values)
{
    settings.Znacka = values.Znacka;
    settings.Lokator = UpperAscii(values.Lokator);
    settings.MoonSked = values.MoonSked;
    settings.WSJT = values.WSJT;
    settings.Language = values.Language;
    for (int i = 1; i < kPresetCount; ++i) {
        settings.PresetName[i] = CutPresetName(values.PresetName[i]);
    }
    settings.PresetAzimuth = values.PresetAzimuth;
    settings.PresetElevation = values.PresetElevation;
}

std::optional<std::string> ReadComDevice(KeyValueStore& store, int port)
{
    store.Open();
    std::optional<std::string> device = store.ReadString("Com" + std::to_string(port) + "Device");
    store.Close();
    if (device.has_value() && device->empty()) {
        return std::nullopt;
    }
    return device;
}

std::string UpperAscii(std::string_view text)
{
    std::string upper(text);
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return upper;
}

}  // namespace vantora
