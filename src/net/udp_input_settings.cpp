#include "net/udp_input_settings.h"

#include <optional>

namespace vantora {

namespace {

std::uint16_t ReadPort(KeyValueStore& store, std::string_view name, std::uint16_t fallback)
{
    const std::optional<std::int32_t> value = store.ReadInt(name);
    if (!value || *value < 1 || *value > 65535)
        return fallback;
    return static_cast<std::uint16_t>(*value);
}

bool ReadFlag(KeyValueStore& store, std::string_view name, bool fallback)
{
    const std::optional<std::int32_t> value = store.ReadInt(name);
    if (!value || (*value != 0 && *value != 1))
        return fallback;
    return *value == 1;
}

}  // namespace

UdpInputSettings LoadUdpInputSettings(KeyValueStore& store)
{
    const UdpInputSettings defaults;
    UdpInputSettings settings;
    store.Open();
    settings.n1mm.enabled = ReadFlag(store, "N1mmEnabled", defaults.n1mm.enabled);
    settings.n1mm.port = ReadPort(store, "N1mmPort", defaults.n1mm.port);
    settings.n1mm.rotor = store.ReadString("N1mmRotor").value_or(defaults.n1mm.rotor);
    settings.n1mm.statusPort = ReadPort(store, "N1mmStatusPort", defaults.n1mm.statusPort);
    settings.n1mm.acceptFrom = store.ReadString("N1mmAcceptFrom").value_or(defaults.n1mm.acceptFrom);
    settings.n1mm.shareAddress = ReadFlag(store, "N1mmShareAddress", defaults.n1mm.shareAddress);
    settings.pst.enabled = ReadFlag(store, "PstEnabled", defaults.pst.enabled);
    settings.pst.port = ReadPort(store, "PstPort", defaults.pst.port);
    settings.pst.acceptFrom = store.ReadString("PstAcceptFrom").value_or(defaults.pst.acceptFrom);
    store.Close();
    return settings;
}

bool SaveUdpInputSettings(KeyValueStore& store, const UdpInputSettings& settings)
{
    if (!store.Open()) {
        store.Close();
        return false;
    }
    store.WriteInt("N1mmEnabled", settings.n1mm.enabled ? 1 : 0);
    store.WriteInt("N1mmPort", settings.n1mm.port);
    store.WriteString("N1mmRotor", settings.n1mm.rotor);
    store.WriteInt("N1mmStatusPort", settings.n1mm.statusPort);
    store.WriteString("N1mmAcceptFrom", settings.n1mm.acceptFrom);
    store.WriteInt("N1mmShareAddress", settings.n1mm.shareAddress ? 1 : 0);
    store.WriteInt("PstEnabled", settings.pst.enabled ? 1 : 0);
    store.WriteInt("PstPort", settings.pst.port);
    store.WriteString("PstAcceptFrom", settings.pst.acceptFrom);
    return store.Close();
}

}  // namespace vantora
