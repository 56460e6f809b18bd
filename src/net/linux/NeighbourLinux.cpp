// Finding the hardware address of a host on a local link without
// privileges: the neighbour table holds what the kernel already knows, and a
// datagram to the host makes the kernel ask the link (the same request an
// ARP tool would send). Writing to the table or building ARP frames
// ourselves would need CAP_NET_ADMIN or CAP_NET_RAW.
#include "SystemNetwork.h"

#include <cerrno>

#include <arpa/inet.h>
#include <net/if.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include "NeighbourMessage.h"
#include "NeighbourTable.h"
#include "RtNetlink.h"
#include "SocketHandle.h"

namespace pondel::system_network {
namespace {

using Clock = std::chrono::steady_clock;

// The discard service: whatever the host does with the datagram, it is the
// resolution before it that we are after.
constexpr std::uint16_t kPokePort = 9;

// connect() alone starts no resolution; a datagram waiting for the link
// address does.
bool PokeAddress(std::uint32_t address)
{
    const SocketHandle udp(socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0));
    if (!udp)
        return false;
    sockaddr_in target{};
    target.sin_family = AF_INET;
    target.sin_port = htons(kPokePort);
    target.sin_addr.s_addr = htonl(address);
    const ssize_t sent = sendto(udp.Get(), nullptr, 0, MSG_DONTWAIT,
        reinterpret_cast<const sockaddr*>(&target), sizeof target);
    return sent == 0 || errno == EAGAIN;
}

} // namespace

std::optional<MacAddress> ResolveNeighbour(
    std::uint32_t address, int interfaceIndex, std::chrono::milliseconds wait)
{
    const Clock::time_point deadline = Clock::now() + wait;
    Result<rtnetlink::Socket> tables = rtnetlink::Socket::Open();
    // Subscribed before anything is sent, so that no answer can slip by.
    Result<rtnetlink::Socket> listener = rtnetlink::Socket::Open(RTMGRP_NEIGH);
    if (!tables || !listener)
        return std::nullopt;
    if (DirectLinkInterface(tables.Value(), address) != interfaceIndex ||
        !LinkResolvesNeighbours(tables.Value(), interfaceIndex))
        return std::nullopt;

    const NeighbourAnswer known = LookInTable(tables.Value(), address, interfaceIndex);
    if (known.kind == NeighbourAnswer::Kind::kFound)
        return known.mac;
    if (wait.count() <= 0 || !PokeAddress(address))
        return std::nullopt;
    const NeighbourAnswer answer =
        AwaitNeighbour(tables.Value(), listener.Value(), address, interfaceIndex, deadline);
    if (answer.kind == NeighbourAnswer::Kind::kFound)
        return answer.mac;
    return std::nullopt;
}

} // namespace pondel::system_network
