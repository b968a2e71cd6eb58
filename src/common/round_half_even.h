#pragma once
// Rounding as the pixel and angle arithmetic of the whole program does it.

namespace vantora {

// Nearest integer, halves to the even neighbour; values beyond the int range saturate, NaN is 0.
int RoundHalfEven(double value);

}  // namespace vantora
