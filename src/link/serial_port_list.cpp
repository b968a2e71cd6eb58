#include "link/serial_port_list.h"

#include <algorithm>
#include <set>
#include <system_error>

namespace vantora {

namespace {

// The path a device name finally stands for; the name itself when it cannot be resolved.
std::string Resolved(const std::string& device)
{
    std::error_code error;
    const std::filesystem::path path = std::filesystem::canonical(device, error);
    return error ? device : path.string();
}

}  // namespace

std::map<std::string, std::string> StableDeviceNames(const std::filesystem::path& folder)
{
    std::map<std::string, std::string> names;
    std::error_code error;
    std::vector<std::string> links;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error))
        links.push_back(entry.path().string());
    std::sort(links.begin(), links.end());
    for (const std::string& link : links) {
        std::error_code unresolved;
        const std::filesystem::path target = std::filesystem::canonical(link, unresolved);
        if (!unresolved)
            names.emplace(target.string(), link);
    }
    return names;
}

std::vector<SerialPortEntry> ChooserList(std::vector<SerialPortEntry> system,
                                         const std::vector<std::string>& explicitDevices,
                                         const std::map<std::string, std::string>& stableNames)
{
    std::vector<SerialPortEntry> rows;
    std::set<std::string> seen;  // resolved paths already listed
    for (SerialPortEntry& port : system) {
        if (port.systemName.empty())
            port.systemName = port.device;
        const std::string resolved = Resolved(port.systemName);
        if (const auto stable = stableNames.find(resolved); stable != stableNames.end())
            port.device = stable->second;
        if (port.device.empty() || !seen.insert(resolved).second)
            continue;
        rows.push_back(std::move(port));
    }
    for (const std::string& device : explicitDevices) {
        std::error_code error;
        if (device.empty() || !std::filesystem::exists(device, error))
            continue;
        const std::string resolved = Resolved(device);
        if (!seen.insert(resolved).second)
            continue;
        rows.push_back(SerialPortEntry{device, resolved, {}, {}, {}});
    }
    std::sort(rows.begin(), rows.end(),
              [](const SerialPortEntry& a, const SerialPortEntry& b) { return a.device < b.device; });
    return rows;
}

}  // namespace vantora
