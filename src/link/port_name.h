#pragma once
// Which device "COM n" of the Port menu opens.
//   Windows: COMn.
//   Elsewhere: the path in the environment variable VANTORA_COM<n> when set and not empty,
//   else the settings value Com<n>Device when present and not empty, else /dev/ttyS<n-1>.

#include <functional>
#include <optional>
#include <string>

namespace vantora {

// Looks a named value up; nothing when it is absent.
using ValueLookup = std::function<std::optional<std::string>(const std::string& name)>;

enum class PortPlatform { Windows, Posix };

// n is the 1-based port number (COM 1 .. COM 16).
std::string PortDeviceName(int portNumber, PortPlatform platform, const ValueLookup& environment,
                           const ValueLookup& settings);

// The same for the platform we run on, reading the process environment.
std::string PortDeviceName(int portNumber, const ValueLookup& settings = {});

}  // namespace vantora
