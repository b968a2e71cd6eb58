#include "web/web_settings.h"

#include "net/rotctld_settings.h"

namespace vantora {

namespace {

constexpr std::string_view kEnabledKey = "WebEnabled";
constexpr std::string_view kAddressKey = "WebAddress";
constexpr std::string_view kPortKey = "WebPort";
constexpr std::string_view kCertificateKey = "WebTlsCertificate";
constexpr std::string_view kKeyKey = "WebTlsKey";
constexpr std::string_view kOperatorHashKey = "WebPasswordHash";
constexpr std::string_view kViewerHashKey = "WebViewerPasswordHash";

bool IsKnownAddress(std::string_view address)
{
    return address == kWebLoopback || address == kWebAllIpv4 || address == kWebAllAddresses;
}

}  // namespace

WebSettings LoadWebSettings(KeyValueStore& store)
{
    WebSettings settings;
    store.Open();
    if (const auto enabled = store.ReadInt(kEnabledKey))
        settings.enabled = *enabled != 0;
    if (const auto address = store.ReadString(kAddressKey); address && IsKnownAddress(*address))
        settings.address = *address;
    if (const auto port = store.ReadInt(kPortKey); port && *port >= 1 && *port <= 65535)
        settings.port = *port;
    if (const auto certificate = store.ReadString(kCertificateKey))
        settings.tlsCertificate = *certificate;
    if (const auto key = store.ReadString(kKeyKey))
        settings.tlsKey = *key;
    store.Close();
    return settings;
}

bool SaveWebSettings(KeyValueStore& store, const WebSettings& settings)
{
    if (!store.Open()) {
        store.Close();
        return false;
    }
    store.WriteInt(kEnabledKey, settings.enabled ? 1 : 0);
    store.WriteString(kAddressKey, settings.address);
    store.WriteInt(kPortKey, settings.port);
    store.WriteString(kCertificateKey, settings.tlsCertificate);
    store.WriteString(kKeyKey, settings.tlsKey);
    return store.Close();
}

WebPasswordHashes LoadWebPasswordHashes(KeyValueStore& store)
{
    WebPasswordHashes hashes;
    store.Open();
    if (const auto hash = store.ReadString(kOperatorHashKey))
        hashes.operatorHash = *hash;
    if (const auto hash = store.ReadString(kViewerHashKey))
        hashes.viewerHash = *hash;
    store.Close();
    return hashes;
}

bool SaveWebPasswordHash(KeyValueStore& store, WebRole role, std::string_view hash)
{
    if (!store.Open()) {
        store.Close();
        return false;
    }
    store.WriteString(role == WebRole::Operator ? kOperatorHashKey : kViewerHashKey, hash);
    return store.Close();
}

WebSettings EffectiveWebSettings(WebSettings stored, const std::optional<std::string>& environmentPort)
{
    if (environmentPort)
        if (const auto port = ParsePortText(*environmentPort))
            stored.port = *port;
    return stored;
}

}  // namespace vantora
