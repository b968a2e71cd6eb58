#include "common/address_filter.h"

#include "common/integer_text.h"

namespace vantora {

namespace {

std::string_view TrimmedText(std::string_view text)
{
    const std::string_view blanks = " \t\r\n";
    const std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

}  // namespace

std::uint32_t PrefixMask(std::uint32_t prefix)
{
    return prefix == 0 ? 0u : ~std::uint32_t{0} << (32 - prefix);
}

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
    if (!AddressFilterError(text).empty())
        return std::nullopt;
    text = TrimmedText(text);
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
    return AddressFilter{false, *address, PrefixMask(prefix)};
}

std::string_view AddressFilterError(std::string_view text)
{
    text = TrimmedText(text);
    if (text.empty())
        return {};
    std::uint32_t prefix = 32;
    if (const std::size_t slash = text.find('/'); slash != std::string_view::npos) {
        const auto length = ParseDecimalDigits(text.substr(slash + 1), 3, 32);
        if (!length)
            return kAddressFilterUnreadable;
        prefix = *length;
        text = text.substr(0, slash);
    }
    const auto address = ParseIpv4(text);
    if (!address)
        return kAddressFilterUnreadable;
    // "127.0.0.1/8" most likely means one address with a slip of the prefix; widening it to the
    // whole subnet would admit far more senders than the operator wrote.
    if ((*address & ~PrefixMask(prefix)) != 0)
        return kAddressFilterHostBits;
    return {};
}

}  // namespace vantora
