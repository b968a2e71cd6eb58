#pragma once
// What "Open as COM n" says about a device path typed or chosen in "Other port…", before the
// port is switched to it.

#include <string_view>

namespace vantora {

enum class DevicePathProblem {
    None,         // a terminal that can be opened (or one some program holds: the port says so)
    Empty,        // nothing typed and nothing chosen
    Missing,      // no such file
    NotTerminal,  // a file, a folder or a device that is no terminal
    NoAccess,     // a terminal this user may not open
    CannotOpen,   // a terminal that will not open (no hardware behind it)
};

// The English text for a problem, "%1" standing for the path; empty for None.
std::string_view DevicePathProblemText(DevicePathProblem problem);

}  // namespace vantora
