#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "MacAddress.h"
#include "Result.h"

// What the address lookups need from the operating system, one version per
// system (see the linux/ folder). The lookups themselves decide which
// interfaces and addresses count; this layer only reports the facts.
namespace pondel::system_network {

struct InterfaceAddress {
    std::uint32_t address = 0; // host order
    std::uint32_t netMask = 0; // host order
    // The system would not use it as a source: not yet, or no longer, a
    // settled address of this computer.
    bool transient = false;
};

struct NetworkInterface {
    int index = 0;
    std::string name;
    bool operational = false; // up and able to carry traffic
    bool loopback = false;    // a software loopback, not a real link
    bool broadcast = false;   // the link has a broadcast address
    std::vector<std::uint8_t> hardwareAddress;
    std::vector<InterfaceAddress> addresses; // IPv4 only, in the system's order
};

// Every interface in the system's order; the system's reason when the list
// cannot be read.
[[nodiscard]] Result<std::vector<NetworkInterface>> ReadNetworkInterfaces();

struct AddressTableRow {
    std::uint32_t address = 0; // host order
    std::uint32_t netMask = 0; // host order
    int interfaceIndex = 0;
};

// Every IPv4 address of every interface, loopback, down and transient ones
// included, in the system's order; the system's reason when the table
// cannot be read.
[[nodiscard]] Result<std::vector<AddressTableRow>> ReadAddressTable();

// The interface of the IPv4 default route of the main routing table (the
// one of lowest metric when there are several); none when there is no such
// route, when it spreads over several paths or when the table cannot be read.
[[nodiscard]] std::optional<int> DefaultRouteInterface();

// The IPv4 addresses the resolver gives for a host name, host order, in the
// resolver's order; empty when the look-up fails.
[[nodiscard]] std::vector<std::uint32_t> ResolveIpv4(std::string_view hostName);

// ResolveIpv4 of this computer's own host name.
[[nodiscard]] std::vector<std::uint32_t> ResolveOwnHostName();

// The hardware address that answers for `address` on the link of interface
// `interfaceIndex`, asking the link when the system does not know it yet.
// Waits at most `wait`, and with no wait asks nothing, only looks in the
// table; none when no answer comes or when the address is not directly on
// that link (nothing is then sent).
[[nodiscard]] std::optional<MacAddress> ResolveNeighbour(
    std::uint32_t address, int interfaceIndex, std::chrono::milliseconds wait);

} // namespace pondel::system_network
