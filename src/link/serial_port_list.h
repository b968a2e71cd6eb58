#pragma once
// The list of serial ports the port chooser offers: the system's ports under their stable names
// where the system has one (Linux: the links in /dev/serial/by-id/ survive replugging and
// renumbering; /dev/ttyUSB0 does not), plus devices the COM n mapping names explicitly that the
// system does not list (a pseudo-terminal, a link made by hand), once each.

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace vantora {

struct SerialPortEntry {
    std::string device;        // what is stored as Com<n>Device and opened
    std::string systemName;    // the name the system gives it (/dev/ttyUSB0, COM14)
    std::string description;
    std::string manufacturer;
    std::string serialNumber;
    bool operator==(const SerialPortEntry&) const = default;
};

// The device each link in `folder` resolves to (resolved path -> link path); empty when the
// folder is missing. Several links to one device: the first by name.
std::map<std::string, std::string> StableDeviceNames(const std::filesystem::path& folder = "/dev/serial/by-id");

// The chooser's rows: `system` with stable names put in, then each of `explicitDevices` that
// exists and is not one of the ports already listed; sorted by device, no device twice.
std::vector<SerialPortEntry> ChooserList(std::vector<SerialPortEntry> system,
                                         const std::vector<std::string>& explicitDevices,
                                         const std::map<std::string, std::string>& stableNames);

}  // namespace vantora
