#include "net/address_filter.h"

#include "common/integer_text.h"
#include "net/datagram_text.h"

namespace vantora {

bool AddressFilter::Accepts(std::optional<std::uint32_t> ipv4) const
{
    if (anyone)
        return true;
    return ipv4 && (*ipv4 & mask) == network;
}

std::optional<std::uint32_t> ParseIpv4(std::string_view text)
{
    std::uint32_t address = 0;
    for (int part = 0; part < 4; ++part) {
        const std::size_t dot = text.find('.');
        const bool last = part == 3;
        if (last != (dot == std::string_view::npos))
            return std::nullopt;
        const auto value = ParseDecimalDigits(last ? text : text.substr(0, dot), 3, 255);
        if (!value)
            return std::nullopt;
        address = (address << 8) | *value;
        if (!last)
            text.remove_prefix(dot + 1);
    }
    return address;
}

std::optional<AddressFilter> ParseAddressFilter(std::string_view text)
{
    text = TrimBlanks(text);
    if (text.empty())
        return AddressFilter{};
    std::uint32_t prefix = 32;
    if (const std::size_t slash = text.find('/'); slash != std::string_view::npos) {
        const auto length = ParseDecimalDigits(text.substr(slash + 1), 3, 32);
        if (!length)
            return std::nullopt;
        prefix = *length;
        text = text.substr(0, slash);
    }
    const auto address = ParseIpv4(text);
    if (!address)
        return std::nullopt;
    const std::uint32_t mask = prefix == 0 ? 0u : ~std::uint32_t{0} << (32 - prefix);
    return AddressFilter{false, *address & mask, mask};
}

}  // namespace vantora
