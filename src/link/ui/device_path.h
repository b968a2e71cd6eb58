#pragma once
// Checks a device path for "Other port…": that it exists and is a terminal.

#include "link/device_path_check.h"

#include <string>

namespace vantora {

// Opens the device for a moment (without making it the controlling terminal and without
// waiting for a carrier) to ask whether it is a terminal. A device that another program holds
// passes: opening the port then says so, as for any port.
DevicePathProblem CheckDevicePath(const std::string& path);

}  // namespace vantora
