// Any text as the "Accept from" field, and any sender: a filter that reads is either "anyone"
// or a network with no bits outside its mask, a contiguous mask, and accepts its own network;
// a dotted address that reads prints back to the same value.
#include "common/address_filter.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

std::string Dotted(std::uint32_t address)
{
    return std::to_string(address >> 24) + "." + std::to_string((address >> 16) & 255) + "." +
           std::to_string((address >> 8) & 255) + "." + std::to_string(address & 255);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::uint32_t sender = 0;
    std::string_view text(reinterpret_cast<const char*>(data), size);
    if (text.size() >= sizeof sender) {
        std::memcpy(&sender, text.data(), sizeof sender);
        text.remove_prefix(sizeof sender);
    }
    const auto filter = vantora::ParseAddressFilter(text);
    // Refused exactly when a reason is given.
    Check(filter.has_value() == vantora::AddressFilterError(text).empty());
    if (filter) {
        Check(filter->Accepts(std::nullopt) == filter->anyone);
        if (filter->anyone) {
            Check(filter->Accepts(sender));
        } else {
            Check((filter->network & ~filter->mask) == 0);
            Check((~filter->mask & (~filter->mask + 1)) == 0);  // ones, then zeros
            Check(filter->Accepts(filter->network));
            Check(filter->Accepts(sender) == ((sender & filter->mask) == filter->network));
        }
    }
    if (const auto address = vantora::ParseIpv4(text))
        Check(vantora::ParseIpv4(Dotted(*address)) == address);
    return 0;
}
