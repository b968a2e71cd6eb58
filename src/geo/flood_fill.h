#pragma once
// Surface flood fill on a pixel buffer.

#include <cstddef>
#include <cstdint>

namespace vantora {

// Replaces every pixel of colour `target` that is 4-connected to (x, y) with `replacement`.
// Pixels are 32-bit words compared on their low 24 bits (0xRRGGBB); the high byte written is
// 0xFF. Iterative, span by span, so the work stack grows with the number of spans, not pixels.
// Returns the number of pixels changed; nothing happens when (x, y) is outside or not `target`.
std::size_t FloodFillSurface(std::uint32_t* pixels, int width, int height, std::size_t stride,
                             int x, int y, std::uint32_t target, std::uint32_t replacement);

}  // namespace vantora
