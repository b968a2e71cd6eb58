#include "link/device_path_check.h"

namespace vantora {

std::string_view DevicePathProblemText(DevicePathProblem problem)
{
    switch (problem) {
    case DevicePathProblem::Empty: return "Type a device path, or choose a port from the list";
    case DevicePathProblem::Missing: return "%1 does not exist";
    case DevicePathProblem::NotTerminal: return "%1 is not a serial port or terminal";
    case DevicePathProblem::NoAccess: return "%1 cannot be opened: no permission";
    case DevicePathProblem::CannotOpen: return "%1 cannot be opened";
    case DevicePathProblem::None: break;
    }
    return "";
}

}  // namespace vantora
