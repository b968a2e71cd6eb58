#include "net/address_filter.h"

#include "net/datagram_text.h"

namespace vantora {

namespace {

// A decimal number of 1 to 3 digits, at most `max`.
std::optional<std::uint32_t> SmallNumber(std::string_view text, std::uint32_t max)
{
    if (text.empty() || text.size() > 3)
        return std::nullopt;
    std::uint32_t value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + static_cast<std::uint32_t>(c - '0');
    }
    if (value > max)
        return std::nullopt;
    return value;
}

}  // namespace

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
        const auto value = SmallNumber(last ? text : text.substr(0, dot), 255);
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
        const auto length = SmallNumber(text.substr(slash + 1), 32);
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
