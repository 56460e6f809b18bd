#include "NeighbourMessage.h"

#include <cstring>

#include <arpa/inet.h>
#include <sys/socket.h>
#include <unistd.h>

namespace pondel::system_network {
namespace {

// States in which the entry carries a confirmed or once-confirmed address.
constexpr std::uint16_t kUsableStates =
    NUD_REACHABLE | NUD_STALE | NUD_DELAY | NUD_PROBE | NUD_PERMANENT;

} // namespace

std::optional<NeighbourAnswer> ReadNeighbour(
    const rtnetlink::Message& message, std::uint32_t address, int interfaceIndex)
{
    if (message.size() < sizeof(nlmsghdr) || rtnetlink::Header(message).nlmsg_type != RTM_NEWNEIGH)
        return std::nullopt;
    const auto* body = rtnetlink::BodyOf<ndmsg>(message);
    if (body == nullptr || body->ndm_family != AF_INET || body->ndm_ifindex != interfaceIndex)
        return std::nullopt;
    const rtnetlink::Attributes attributes(message, sizeof(ndmsg));
    const auto destination = attributes.U32(NDA_DST);
    if (!destination || ntohl(*destination) != address)
        return std::nullopt;

    NeighbourAnswer answer;
    if ((body->ndm_state & kUsableStates) != 0 &&
        attributes.PayloadSize(NDA_LLADDR) == answer.mac.size()) {
        answer.kind = NeighbourAnswer::Kind::kFound;
        std::memcpy(answer.mac.data(), rtnetlink::AttributeData(attributes.Find(NDA_LLADDR)),
            answer.mac.size());
    } else if ((body->ndm_state & NUD_FAILED) != 0) {
        answer.kind = NeighbourAnswer::Kind::kFailed;
    }
    return answer;
}

NeighbourAnswer FirstAnswer(
    const std::vector<rtnetlink::Message>& messages, std::uint32_t address, int interfaceIndex)
{
    for (const auto& message : messages) {
        const auto answer = ReadNeighbour(message, address, interfaceIndex);
        if (answer && answer->kind != NeighbourAnswer::Kind::kPending)
            return *answer;
    }
    return {};
}

} // namespace pondel::system_network

namespace pondel::system_network {

std::optional<NeighbourEntry> ReadNeighbourEntry(const rtnetlink::Message& message)
{
    if (message.size() < sizeof(nlmsghdr))
        return std::nullopt;
    const std::uint16_t type = rtnetlink::Header(message).nlmsg_type;
    if (type != RTM_NEWNEIGH && type != RTM_DELNEIGH)
        return std::nullopt;
    const auto* body = rtnetlink::BodyOf<ndmsg>(message);
    if (body == nullptr || body->ndm_family != AF_INET)
        return std::nullopt;
    const rtnetlink::Attributes attributes(message, sizeof(ndmsg));
    const auto destination = attributes.U32(NDA_DST);
    if (!destination)
        return std::nullopt;

    NeighbourEntry entry;
    entry.removed = type == RTM_DELNEIGH;
    entry.interfaceIndex = body->ndm_ifindex;
    entry.address = ntohl(*destination);
    entry.state = body->ndm_state;
    MacAddress mac{};
    if (attributes.PayloadSize(NDA_LLADDR) == mac.size()) {
        std::memcpy(mac.data(), rtnetlink::AttributeData(attributes.Find(NDA_LLADDR)), mac.size());
        entry.mac = mac;
    }
    if (attributes.PayloadSize(NDA_CACHEINFO) >= sizeof(nda_cacheinfo)) {
        nda_cacheinfo info{};
        std::memcpy(&info, rtnetlink::AttributeData(attributes.Find(NDA_CACHEINFO)), sizeof info);
        // The kernel counts in the clock ticks of times(2).
        const long ticks = sysconf(_SC_CLK_TCK);
        entry.confirmedAgo = std::chrono::milliseconds(std::uint64_t{info.ndm_confirmed} * 1000 /
            static_cast<std::uint64_t>(ticks > 0 ? ticks : 100));
    }
    return entry;
}

} // namespace pondel::system_network
