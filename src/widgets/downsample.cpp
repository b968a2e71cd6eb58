#include "widgets/downsample.h"

namespace vantora {

void DownsampleBlocks(const std::uint32_t* src, std::size_t srcStride, std::uint32_t* dst,
                      std::size_t dstStride, int dstWidth, int dstHeight, int k)
{
    if (k < 1) return;
    const std::uint32_t area = static_cast<std::uint32_t>(k * k);
    for (int y = 0; y < dstHeight; ++y) {
        const std::uint32_t* block = src + static_cast<std::size_t>(y) * k * srcStride;
        std::uint32_t* out = dst + static_cast<std::size_t>(y) * dstStride;
        for (int x = 0; x < dstWidth; ++x) {
            std::uint32_t red = 0, green = 0, blue = 0;
            for (int row = 0; row < k; ++row) {
                const std::uint32_t* pixel = block + row * srcStride + static_cast<std::size_t>(x) * k;
                for (int col = 0; col < k; ++col) {
                    red += (pixel[col] >> 16) & 0xFF;
                    green += (pixel[col] >> 8) & 0xFF;
                    blue += pixel[col] & 0xFF;
                }
            }
            out[x] = 0xFF000000u | ((red / area) << 16) | ((green / area) << 8) | (blue / area);
        }
    }
}

}  // namespace vantora
