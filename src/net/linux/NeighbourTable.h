#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <stop_token>

#include "NeighbourMessage.h"
#include "RtNetlink.h"

// Questions to the kernel's routing and neighbour tables about one IPv4
// address, asked over a routing socket the caller keeps.
namespace pondel::system_network {

// What the neighbour table holds for an address (host order) on an
// interface: found, failed, or pending when it holds nothing settled.
[[nodiscard]] NeighbourAnswer LookInTable(
    rtnetlink::Socket& socket, std::uint32_t address, int interfaceIndex);

// The interface the kernel would deliver a datagram to the address over
// directly: a unicast route with no gateway. None for anything else (a
// gateway, a broadcast, multicast or local address), which the host itself
// would not answer, and when the table cannot be asked.
[[nodiscard]] std::optional<int> DirectLinkInterface(
    rtnetlink::Socket& socket, std::uint32_t address);

// Whether the link resolves neighbours: an interface without ARP keeps
// entries that only echo its own address.
[[nodiscard]] bool LinkResolvesNeighbours(rtnetlink::Socket& socket, int interfaceIndex);

// Waits on a socket subscribed to neighbour changes (RTMGRP_NEIGH) for the
// entry of the address to settle: found or failed. Pending when the deadline
// passes or a stop is requested first.
[[nodiscard]] NeighbourAnswer AwaitNeighbour(rtnetlink::Socket& tables, rtnetlink::Socket& listener,
    std::uint32_t address, int interfaceIndex, std::chrono::steady_clock::time_point deadline,
    std::stop_token stop = {});

} // namespace pondel::system_network
