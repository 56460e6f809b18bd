// Finding the hardware address of a host on a local link without
// privileges: the neighbour table holds what the kernel already knows, and a
// datagram to the host makes the kernel ask the link (the same request an
// ARP tool would send). Writing to the table or building ARP frames
// ourselves would need CAP_NET_ADMIN or CAP_NET_RAW.
#include "SystemNetwork.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <arpa/inet.h>
#include <net/if.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

#include "NeighbourMessage.h"
#include "RtNetlink.h"
#include "SocketHandle.h"

namespace pondel::system_network {
namespace {

using Clock = std::chrono::steady_clock;
using rtnetlink::Attributes;
using rtnetlink::BodyOf;
using rtnetlink::Message;

// Notifications can be lost when the socket overflows; the table is read
// again this often so that a lost one costs no more than this.
constexpr std::chrono::milliseconds kRecheckInterval{250};

// The discard service: whatever the host does with the datagram, it is the
// resolution before it that we are after.
constexpr std::uint16_t kPokePort = 9;

NeighbourAnswer LookInTable(rtnetlink::Socket& socket, std::uint32_t address, int interfaceIndex)
{
    rtnetlink::Request request(RTM_GETNEIGH, NLM_F_DUMP);
    ndmsg filter{};
    filter.ndm_family = AF_INET;
    request.Append(filter);
    const Result<std::vector<Message>> messages = socket.Dump(request);
    if (!messages)
        return {};
    return FirstAnswer(messages.Value(), address, interfaceIndex);
}

// True when the kernel would deliver to the address straight over the given
// interface: a unicast route with no gateway. Anything else (a gateway, a
// broadcast, multicast or local address) would not be answered by the host
// itself, so nothing is sent for it.
bool IsDirectlyOnLink(rtnetlink::Socket& socket, std::uint32_t address, int interfaceIndex)
{
    rtnetlink::Request request(RTM_GETROUTE, 0);
    rtmsg route{};
    route.rtm_family = AF_INET;
    route.rtm_dst_len = 32;
    request.Append(route);
    const std::uint32_t destination = htonl(address);
    request.AddAttribute(RTA_DST, &destination, sizeof destination);
    const Result<Message> answer = socket.Ask(request);
    if (!answer || rtnetlink::Header(answer.Value()).nlmsg_type != RTM_NEWROUTE)
        return false;
    const auto* body = BodyOf<rtmsg>(answer.Value());
    if (body == nullptr || body->rtm_type != RTN_UNICAST)
        return false;
    const Attributes attributes(answer.Value(), sizeof(rtmsg));
    if (attributes.Find(RTA_GATEWAY) != nullptr || attributes.Find(RTA_VIA) != nullptr)
        return false;
    return attributes.U32(RTA_OIF) == static_cast<std::uint32_t>(interfaceIndex);
}

// An interface without ARP keeps entries that only echo its own address.
bool LinkResolvesNeighbours(rtnetlink::Socket& socket, int interfaceIndex)
{
    rtnetlink::Request request(RTM_GETLINK, 0);
    ifinfomsg link{};
    link.ifi_family = AF_UNSPEC;
    link.ifi_index = interfaceIndex;
    request.Append(link);
    const Result<Message> answer = socket.Ask(request);
    if (!answer || rtnetlink::Header(answer.Value()).nlmsg_type != RTM_NEWLINK)
        return false;
    const auto* body = BodyOf<ifinfomsg>(answer.Value());
    return body != nullptr && (body->ifi_flags & IFF_NOARP) == 0;
}

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

std::optional<MacAddress> AwaitAnswer(rtnetlink::Socket& tables, rtnetlink::Socket& listener,
    std::uint32_t address, int interfaceIndex, Clock::time_point deadline)
{
    for (;;) {
        const auto remaining =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (remaining.count() <= 0)
            break;
        pollfd ready{listener.Descriptor(), POLLIN, 0};
        const int timeout = static_cast<int>(std::min(remaining, kRecheckInterval).count()) + 1;
        const int polled = poll(&ready, 1, timeout);
        if (polled < 0 && errno != EINTR)
            break;

        // Notifications that could not be read, lost ones included, send
        // us to the table.
        NeighbourAnswer answer;
        Result<std::vector<Message>> notifications =
            polled > 0 ? listener.ReadMessages() : Result<std::vector<Message>>(ErrorInfo{});
        if (notifications)
            answer = FirstAnswer(notifications.Value(), address, interfaceIndex);
        else
            answer = LookInTable(tables, address, interfaceIndex);

        if (answer.kind == NeighbourAnswer::Kind::kFound)
            return answer.mac;
        if (answer.kind == NeighbourAnswer::Kind::kFailed)
            return std::nullopt;
    }
    const NeighbourAnswer last = LookInTable(tables, address, interfaceIndex);
    if (last.kind == NeighbourAnswer::Kind::kFound)
        return last.mac;
    return std::nullopt;
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
    if (!IsDirectlyOnLink(tables.Value(), address, interfaceIndex) ||
        !LinkResolvesNeighbours(tables.Value(), interfaceIndex))
        return std::nullopt;

    const NeighbourAnswer known = LookInTable(tables.Value(), address, interfaceIndex);
    if (known.kind == NeighbourAnswer::Kind::kFound)
        return known.mac;
    if (wait.count() <= 0 || !PokeAddress(address))
        return std::nullopt;
    return AwaitAnswer(tables.Value(), listener.Value(), address, interfaceIndex, deadline);
}

} // namespace pondel::system_network
