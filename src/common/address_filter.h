#pragma once
// The "Accept from" field of an input: which senders may command the station.
//   ""               anyone
//   "192.168.1.20"   that address only
//   "192.168.1.0/24" that subnet (prefix length 0..32; the address must have no bits set
//                    beyond the prefix: "192.168.1.20/24" is refused, not widened)
// IPv4 only; a sender reaching us over IPv6 is accepted only when the field is empty (an
// IPv4-mapped IPv6 address counts as its IPv4 address).

#include <cstdint>
#include <optional>
#include <string_view>

namespace vantora {

struct AddressFilter {
    bool anyone = true;
    std::uint32_t network = 0;  // host byte order, bits outside the mask cleared
    std::uint32_t mask = 0;     // host byte order

    // `ipv4`: the sender's IPv4 address in host byte order, empty when it has none.
    bool Accepts(std::optional<std::uint32_t> ipv4) const;
};

// Empty for a text that is neither empty (after trimming) nor an address or subnet as above;
// the caller then accepts nobody rather than everybody.
std::optional<AddressFilter> ParseAddressFilter(std::string_view text);

// Why ParseAddressFilter refuses `text`, as one of the two texts below (English; the caller
// translates); empty when it does not.
inline constexpr std::string_view kAddressFilterUnreadable = "\"Accept from\" is not an IPv4 address or subnet";
inline constexpr std::string_view kAddressFilterHostBits =
    "\"Accept from\" has address bits set beyond its prefix length (write the subnet's first address)";
std::string_view AddressFilterError(std::string_view text);

// The mask of a prefix length 0..32, host byte order.
std::uint32_t PrefixMask(std::uint32_t prefix);

// A dotted IPv4 address "a.b.c.d", each part 0..255 in decimal without a sign.
std::optional<std::uint32_t> ParseIpv4(std::string_view text);

}  // namespace vantora
