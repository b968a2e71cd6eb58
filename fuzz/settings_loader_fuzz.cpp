// Any stored settings: every value missing, of the wrong type, huge or in broken UTF-8, under
// any settings version, in a store that may refuse writes. Loading keeps to its rules (the
// reset rewrites the table and keeps the callsign, a current store is only read, a value that
// cannot be read takes its default), and what Preferences then saves reads back the same.
#include "settings/settings_io.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace {

using vantora::Settings;

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

using Value = std::variant<std::string, std::int32_t>;
using Values = std::map<std::string, Value, std::less<>>;

class MemoryStore : public vantora::KeyValueStore, public vantora::MessageSink {
public:
    bool Open() override
    {
        Check(!open);
        open = true;
        return writable;
    }
    bool Close() override
    {
        Check(open);
        open = false;
        return writable;
    }
    std::optional<std::string> ReadString(std::string_view name) override
    {
        Check(open);
        const auto it = values.find(name);
        if (it == values.end() || !std::holds_alternative<std::string>(it->second))
            return std::nullopt;
        return std::get<std::string>(it->second);
    }
    std::optional<std::int32_t> ReadInt(std::string_view name) override
    {
        Check(open);
        const auto it = values.find(name);
        if (it == values.end() || !std::holds_alternative<std::int32_t>(it->second))
            return std::nullopt;
        return std::get<std::int32_t>(it->second);
    }
    void WriteString(std::string_view name, std::string_view value) override
    {
        Check(open && writable);
        values.insert_or_assign(std::string(name), Value(std::string(value)));
        writes.emplace_back(name);
    }
    void WriteInt(std::string_view name, std::int32_t value) override
    {
        Check(open && writable);
        values.insert_or_assign(std::string(name), Value(value));
        writes.emplace_back(name);
    }
    void ShowMessage(std::string_view text) override { messages.emplace_back(text); }

    Values values;
    bool writable = true;
    bool open = false;
    std::vector<std::string> writes;
    std::vector<std::string> messages;
};

std::string Name(const char* prefix, int index)
{
    return prefix + std::to_string(index);
}

// Every value the table knows, and the Settings field each one fills.
struct IntField {
    std::string name;
    std::function<std::int32_t(const Settings&)> get;
};
struct TextField {
    std::string name;
    std::function<std::string(const Settings&)> get;
};

std::vector<IntField> IntFields()
{
    std::vector<IntField> fields = {
        {"Port", [](const Settings& s) { return s.Port; }},
        {"Zoom", [](const Settings& s) { return s.Zoom; }},
        {"Language", [](const Settings& s) { return s.Language; }},
        {"View", [](const Settings& s) { return s.View; }},
        {"SizeX", [](const Settings& s) { return s.SizeX; }},
        {"SizeY", [](const Settings& s) { return s.SizeY; }},
        {"SizeM", [](const Settings& s) { return s.SizeM; }},
    };
    for (int i = 0; i < vantora::kPresetCount; ++i) {
        fields.push_back({Name("preset_a", i), [i](const Settings& s) { return s.PresetAzimuth[i]; }});
        fields.push_back({Name("preset_e", i), [i](const Settings& s) { return s.PresetElevation[i]; }});
    }
    return fields;
}

std::vector<TextField> TextFields()
{
    std::vector<TextField> fields = {
        {"Lokator", [](const Settings& s) { return s.Lokator; }},
        {"MoonSked", [](const Settings& s) { return s.MoonSked; }},
        {"WSJT", [](const Settings& s) { return s.WSJT; }},
        {"Znacka", [](const Settings& s) { return s.Znacka; }},
    };
    for (int i = 1; i < vantora::kPresetCount; ++i)
        fields.push_back({Name("preset_", i), [i](const Settings& s) { return s.PresetName[i]; }});
    return fields;
}

std::string AnyText(FuzzedDataProvider& provider)
{
    switch (provider.ConsumeIntegralInRange(0, 31)) {
    case 0: {
        // Huge: one byte or one multi-byte character many times over.
        static const char* const kPieces[] = {"x", "\xC3\xA9", "\xE2\x82\xAC", "\xF0\x9F\x98\x80", "\xFF", "\x80"};
        const char* piece = kPieces[provider.ConsumeIntegralInRange<std::size_t>(0, 5)];
        const std::size_t count = provider.ConsumeIntegralInRange<std::size_t>(0, 20000);
        std::string text;
        text.reserve(count * std::strlen(piece));
        for (std::size_t i = 0; i < count; ++i)
            text += piece;
        return text;
    }
    default:
        return provider.ConsumeRandomLengthString(200);
    }
}

void FillStore(FuzzedDataProvider& provider, MemoryStore& store)
{
    std::vector<std::string> names = {"RegVersion", "Com1Device", "Unknown", "section/Port"};
    for (const IntField& f : IntFields())
        names.push_back(f.name);
    for (const TextField& f : TextFields())
        names.push_back(f.name);
    for (const std::string& name : names) {
        switch (provider.ConsumeIntegralInRange(0, 3)) {
        case 0:
            break;  // missing
        case 1:
            store.values[name] = provider.ConsumeIntegral<std::int32_t>();
            break;
        default:
            store.values[name] = AnyText(provider);
            break;
        }
    }
    // Most inputs get the current version, so that the reading of each value is explored.
    if (provider.ConsumeIntegralInRange(0, 3) != 0)
        store.values["RegVersion"] = std::string(vantora::kRegVersion);
    store.writable = provider.ConsumeIntegralInRange(0, 7) != 0;
}

bool IsCurrent(const Values& values)
{
    const auto it = values.find("RegVersion");
    return it != values.end() && std::holds_alternative<std::string>(it->second)
        && std::get<std::string>(it->second) == vantora::kRegVersion;
}

template <typename T>
T Stored(const Values& values, const std::string& name, const T& fallback)
{
    const auto it = values.find(name);
    if (it == values.end() || !std::holds_alternative<T>(it->second))
        return fallback;
    return std::get<T>(it->second);
}

void CheckCut(const std::string& stored, const std::string& cut)
{
    Check(stored.compare(0, cut.size(), cut) == 0);
    std::size_t characters = 0;
    for (unsigned char byte : cut)
        characters += (byte & 0xC0) != 0x80;
    Check(characters <= vantora::kPresetNameMax);
    if (cut.size() < stored.size())
        Check(characters == vantora::kPresetNameMax);
}

// Every field holds what the store holds, or its default when the store has no readable value.
void CheckReadFrom(const Values& values, const Settings& settings, const Settings& defaults)
{
    for (const IntField& f : IntFields())
        Check(f.get(settings) == Stored(values, f.name, f.get(defaults)));
    for (const TextField& f : TextFields()) {
        const std::string stored = Stored(values, f.name, f.get(defaults));
        if (f.name.rfind("preset_", 0) == 0)
            CheckCut(stored, f.get(settings));
        else
            Check(f.get(settings) == stored);
    }
    Check(settings.PresetName[0].empty());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider provider(data, size);
    MemoryStore store;
    FillStore(provider, store);
    const vantora::TrackingFolders folders{"/folders/MoonSked/", "/folders/WSJT-X/"};
    const Settings defaults = vantora::DefaultSettings(folders);
    const Values before = store.values;
    const bool current = IsCurrent(before);

    const Settings loaded = vantora::LoadSettings(store, store, folders);
    Check(!store.open);
    if (current) {
        Check(store.messages.empty() && store.writes.empty());
        CheckReadFrom(before, loaded, defaults);
    } else if (store.writable) {
        Check(store.messages == std::vector<std::string>{std::string(vantora::kUpdateMessage)});
        Check(!store.writes.empty() && store.writes.back() == "RegVersion");
        Check(IsCurrent(store.values));
        // The table is rewritten; the callsign and values the table does not name are kept.
        for (const auto& [name, value] : before) {
            if (name == "Znacka" || name == "Com1Device" || name == "Unknown" || name == "section/Port")
                Check(store.values.at(name) == value);
        }
        Settings expected = defaults;
        expected.Znacka = Stored(before, "Znacka", std::string());
        CheckReadFrom(store.values, loaded, expected);
        for (const IntField& f : IntFields())
            Check(f.get(loaded) == f.get(defaults));
    } else {
        Check(store.messages.empty() && store.writes.empty() && store.values == before);
        Check(loaded.Znacka == Stored(before, "Znacka", std::string()));
        Check(loaded.Port == defaults.Port && loaded.Lokator == defaults.Lokator);
        Check(loaded.PresetName == defaults.PresetName);
    }

    if (!store.writable)
        return 0;

    // Preferences confirmed with some values changed: a fresh start reads them back as applied.
    vantora::PreferenceValues values;
    values.Znacka = provider.ConsumeBool() ? AnyText(provider) : loaded.Znacka;
    values.Lokator = provider.ConsumeBool() ? provider.ConsumeRandomLengthString(12) : loaded.Lokator;
    values.MoonSked = loaded.MoonSked;
    values.WSJT = provider.ConsumeBool() ? AnyText(provider) : loaded.WSJT;
    values.Language = provider.ConsumeBool() ? provider.ConsumeIntegral<std::int32_t>() : loaded.Language;
    values.PresetName = loaded.PresetName;
    values.PresetAzimuth = loaded.PresetAzimuth;
    values.PresetElevation = loaded.PresetElevation;
    const int preset = provider.ConsumeIntegralInRange(0, vantora::kPresetCount - 1);
    if (preset > 0)
        values.PresetName[preset] = AnyText(provider);
    values.PresetAzimuth[preset] = provider.ConsumeIntegral<std::int32_t>();

    store.messages.clear();
    vantora::SavePreferences(store, store, loaded, values);
    Check(store.messages.size() == (values.Language != loaded.Language ? 1u : 0u));
    Settings applied = loaded;
    vantora::ApplyPreferences(applied, values);

    const vantora::WindowGeometry window{provider.ConsumeIntegral<std::int32_t>(),
                                         provider.ConsumeIntegral<std::int32_t>(), provider.ConsumeBool()};
    vantora::SaveWindowState(store, applied, window);
    applied.SizeX = window.clientWidth;
    applied.SizeY = window.clientHeight;
    applied.SizeM = window.maximized ? 1 : 0;

    store.messages.clear();
    store.writes.clear();
    const Settings reloaded = vantora::LoadSettings(store, store, folders);
    Check(store.messages.empty() && store.writes.empty());
    for (const IntField& f : IntFields())
        Check(f.get(reloaded) == f.get(applied));
    for (const TextField& f : TextFields())
        Check(f.get(reloaded) == f.get(applied));
    return 0;
}
