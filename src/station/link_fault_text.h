#pragma once
// The short text that says why the read-outs are greyed: "No answer from the control unit",
// "Port COM 1 (/dev/ttyUSB0) lost", "Unable to open port"; in the language in force.

#include "link/link_status.h"

#include <string>

namespace vantora {

inline constexpr char kNoAnswerText[] = "No answer from the control unit";
inline constexpr char kPortLostText[] = "Port %1 lost";  // %1: "COM 1 (/dev/ttyUSB0)"
inline constexpr char kUnableToOpenText[] = "Unable to open port";

// "COM n", followed by the device in brackets when it is not simply COMn.
std::string PortCaption(int portNumber, const std::string& device);

// Empty for LinkFault::None. `language` as Settings::Language.
std::string LinkFaultText(LinkFault fault, int portNumber, const std::string& device, int language);

}  // namespace vantora
