#include "track/tcp_server_settings.h"

namespace vantora {

namespace {

constexpr std::string_view kAddressKey = "TcpAddress";
constexpr std::string_view kAcceptFromKey = "TcpAcceptFrom";

}  // namespace

TcpServerSettings LoadTcpServerSettings(KeyValueStore& store)
{
    TcpServerSettings settings;
    store.Open();
    if (const auto address = store.ReadString(kAddressKey))
        settings.address = *address == kTcpAllAddresses ? std::string(kTcpAllAddresses) : std::string(kTcpLoopback);
    settings.acceptFrom = store.ReadString(kAcceptFromKey).value_or(std::string());
    store.Close();
    return settings;
}

bool SaveTcpServerSettings(KeyValueStore& store, const TcpServerSettings& settings)
{
    if (!store.Open()) {
        store.Close();
        return false;
    }
    store.WriteString(kAddressKey, settings.address);
    store.WriteString(kAcceptFromKey, settings.acceptFrom);
    return store.Close();
}

}  // namespace vantora
