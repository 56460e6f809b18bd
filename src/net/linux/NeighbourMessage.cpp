#include "NeighbourMessage.h"

#include <cstring>

#include <arpa/inet.h>
#include <sys/socket.h>

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
