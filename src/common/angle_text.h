#pragma once
// Whole degrees as every read-out, setpoint and preset line shows them.

#include <cstdint>
#include <string>

namespace vantora {

// The decimal value, minus sign kept, followed by "°" (UTF-8).
std::string AngleText(std::int32_t degrees);

}  // namespace vantora
