#include "link/port_name.h"

#include <cstdlib>

namespace vantora {

namespace {

std::optional<std::string> NonEmpty(const ValueLookup& lookup, const std::string& name)
{
    if (!lookup)
        return std::nullopt;
    std::optional<std::string> value = lookup(name);
    if (value && value->empty())
        return std::nullopt;
    return value;
}

}  // namespace

std::string PortDeviceName(int portNumber, PortPlatform platform, const ValueLookup& environment,
                           const ValueLookup& settings)
{
    const std::string number = std::to_string(portNumber);
    if (platform == PortPlatform::Windows)
        return "COM" + number;
    if (auto path = NonEmpty(environment, "VANTORA_COM" + number))
        return *path;
    if (auto path = NonEmpty(settings, "Com" + number + "Device"))
        return *path;
    return "/dev/ttyS" + std::to_string(portNumber - 1);
}

std::string PortDeviceName(int portNumber, const ValueLookup& settings)
{
#ifdef _WIN32
    constexpr PortPlatform platform = PortPlatform::Windows;
#else
    constexpr PortPlatform platform = PortPlatform::Posix;
#endif
    const ValueLookup environment = [](const std::string& name) -> std::optional<std::string> {
        if (const char* value = std::getenv(name.c_str()))
            return std::string(value);
        return std::nullopt;
    };
    return PortDeviceName(portNumber, platform, environment, settings);
}

}  // namespace vantora
