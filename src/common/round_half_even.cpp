#include "common/round_half_even.h"

#include <climits>
#include <cmath>

namespace vantora {

int RoundHalfEven(double value)
{
    if (std::isnan(value)) return 0;
    if (value >= static_cast<double>(INT_MAX)) return INT_MAX;
    if (value <= static_cast<double>(INT_MIN)) return INT_MIN;
    const double floor = std::floor(value);
    const double fraction = value - floor;
    double rounded = floor;
    if (fraction > 0.5) {
        rounded = floor + 1.0;
    } else if (fraction == 0.5) {
        rounded = std::fmod(floor, 2.0) == 0.0 ? floor : floor + 1.0;
    }
    return static_cast<int>(rounded);
}

}  // namespace vantora
