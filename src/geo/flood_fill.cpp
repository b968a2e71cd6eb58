#include "geo/flood_fill.h"

#include <vector>

namespace vantora {

namespace {

constexpr std::uint32_t kRgbMask = 0x00FFFFFF;

struct Seed {
    int x;
    int y;
};

}  // namespace

std::size_t FloodFillSurface(std::uint32_t* pixels, int width, int height, std::size_t stride,
                             int x, int y, std::uint32_t target, std::uint32_t replacement)
{
    target &= kRgbMask;
    const std::uint32_t written = 0xFF000000u | (replacement & kRgbMask);
    if (x < 0 || y < 0 || x >= width || y >= height) return 0;
    // Filling a colour with itself would find its own pixels again without end.
    if ((replacement & kRgbMask) == target) return 0;

    auto row = [&](int rowY) { return pixels + static_cast<std::size_t>(rowY) * stride; };
    auto matches = [&](const std::uint32_t* line, int px) { return (line[px] & kRgbMask) == target; };

    std::size_t filled = 0;
    std::vector<Seed> stack;
    stack.push_back({x, y});
    while (!stack.empty()) {
        const Seed seed = stack.back();
        stack.pop_back();
        std::uint32_t* line = row(seed.y);
        if (!matches(line, seed.x)) continue;  // filled since it was pushed
        int left = seed.x;
        while (left > 0 && matches(line, left - 1)) --left;
        int right = seed.x;
        while (right + 1 < width && matches(line, right + 1)) ++right;
        for (int px = left; px <= right; ++px) line[px] = written;
        filled += static_cast<std::size_t>(right - left + 1);

        for (int neighbour : {seed.y - 1, seed.y + 1}) {
            if (neighbour < 0 || neighbour >= height) continue;
            const std::uint32_t* next = row(neighbour);
            int px = left;
            while (px <= right) {
                if (!matches(next, px)) {
                    ++px;
                    continue;
                }
                stack.push_back({px, neighbour});  // one seed per run of target pixels
                while (px <= right && matches(next, px)) ++px;
            }
        }
    }
    return filled;
}

}  // namespace vantora
