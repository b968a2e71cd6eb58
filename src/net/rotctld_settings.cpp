#include "net/rotctld_settings.h"

#include "common/integer_text.h"

namespace vantora {

namespace {

constexpr std::string_view kEnabledKey = "RotctldEnabled";
constexpr std::string_view kPortKey = "RotctldPort";
constexpr std::string_view kAddressKey = "RotctldAddress";

bool IsKnownAddress(std::string_view address)
{
    return address == kRotctldLoopback || address == kRotctldAllIpv4 || address == kRotctldAllAddresses;
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

}  // namespace

RotctldSettings LoadRotctldSettings(KeyValueStore& store)
{
    RotctldSettings settings;
    store.Open();
    if (const auto enabled = store.ReadInt(kEnabledKey))
        settings.enabled = *enabled != 0;
    if (const auto port = store.ReadInt(kPortKey); port && *port >= 1 && *port <= 65535)
        settings.port = *port;
    if (const auto address = store.ReadString(kAddressKey); address && IsKnownAddress(*address))
        settings.address = *address;
    store.Close();
    return settings;
}

bool SaveRotctldSettings(KeyValueStore& store, const RotctldSettings& settings)
{
    if (!store.Open()) {
        store.Close();
        return false;
    }
    store.WriteInt(kEnabledKey, settings.enabled ? 1 : 0);
    store.WriteInt(kPortKey, settings.port);
    store.WriteString(kAddressKey, settings.address);
    return store.Close();
}

std::optional<std::uint16_t> ParsePortText(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    const auto value = ParseDecimalDigits(text, 5, 65535);
    if (!value)
        return std::nullopt;
    return static_cast<std::uint16_t>(*value);
}

RotctldSettings EffectiveRotctldSettings(RotctldSettings stored, const std::optional<std::string>& environmentPort)
{
    if (environmentPort)
        if (const auto port = ParsePortText(*environmentPort))
            stored.port = *port;
    return stored;
}

}  // namespace vantora
