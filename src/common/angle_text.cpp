#include "common/angle_text.h"

namespace vantora {

std::string AngleText(std::int32_t degrees)
{
    return std::to_string(degrees) + "°";
}

}  // namespace vantora
