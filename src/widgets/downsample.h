#pragma once
// Box-filter reduction of a supersampled face to the control's size.

#include <cstddef>
#include <cstdint>

namespace vantora {

// Pixels are 0xAARRGGBB words. Each destination pixel becomes, per colour channel, the sum of the
// k x k source block it covers divided by k * k, remainder dropped; alpha is set opaque.
// `src` holds at least (dstHeight * k) rows of (dstWidth * k) pixels; strides are in pixels.
void DownsampleBlocks(const std::uint32_t* src, std::size_t srcStride, std::uint32_t* dst,
                      std::size_t dstStride, int dstWidth, int dstHeight, int k);

}  // namespace vantora
