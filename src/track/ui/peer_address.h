#pragma once
// A connection's or datagram's sender as the servers' admission rules see it.

#include <QHostAddress>

#include <cstdint>
#include <optional>
#include <string>

namespace vantora {

// The sender's IPv4 address (IPv4-mapped IPv6 included) in host byte order, if it has one.
std::optional<std::uint32_t> PeerIpv4(const QHostAddress& peer);

// One text per sender: its IPv4 address when it has one (so that 127.0.0.1 and ::ffff:127.0.0.1
// are one sender), else its IPv6 address.
std::string PeerAddressKey(const QHostAddress& peer);

}  // namespace vantora
