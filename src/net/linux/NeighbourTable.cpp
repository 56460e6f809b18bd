#include "NeighbourTable.h"

#include <algorithm>
#include <cerrno>

#include <arpa/inet.h>
#include <net/if.h>
#include <poll.h>
#include <sys/socket.h>

namespace pondel::system_network {

using rtnetlink::Attributes;
using rtnetlink::BodyOf;
using rtnetlink::Message;

namespace {

// Notifications can be lost when the socket overflows; the table is read
// again this often so that a lost one costs no more than this.
constexpr std::chrono::milliseconds kRecheckInterval{250};
// How soon a requested stop is noticed.
constexpr std::chrono::milliseconds kStopCheckInterval{50};

} // namespace

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

std::optional<int> DirectLinkInterface(rtnetlink::Socket& socket, std::uint32_t address)
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
        return std::nullopt;
    const auto* body = BodyOf<rtmsg>(answer.Value());
    if (body == nullptr || body->rtm_type != RTN_UNICAST)
        return std::nullopt;
    const Attributes attributes(answer.Value(), sizeof(rtmsg));
    if (attributes.Find(RTA_GATEWAY) != nullptr || attributes.Find(RTA_VIA) != nullptr)
        return std::nullopt;
    const auto interfaceIndex = attributes.U32(RTA_OIF);
    if (!interfaceIndex)
        return std::nullopt;
    return static_cast<int>(*interfaceIndex);
}

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

NeighbourAnswer AwaitNeighbour(rtnetlink::Socket& tables, rtnetlink::Socket& listener,
    std::uint32_t address, int interfaceIndex, std::chrono::steady_clock::time_point deadline,
    std::stop_token stop)
{
    const auto slice = stop.stop_possible() ? kStopCheckInterval : kRecheckInterval;
    while (!stop.stop_requested()) {
        const auto remaining = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (remaining.count() <= 0)
            break;
        pollfd ready{listener.Descriptor(), POLLIN, 0};
        const int timeout = static_cast<int>(std::min(remaining, slice).count()) + 1;
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
        if (answer.kind != NeighbourAnswer::Kind::kPending)
            return answer;
    }
    return LookInTable(tables, address, interfaceIndex);
}

} // namespace pondel::system_network
