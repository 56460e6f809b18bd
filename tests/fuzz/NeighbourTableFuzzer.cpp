// The neighbour table and its change notifications as the kernel (or
// anyone able to send on the routing socket) delivers them: reading an
// answer stays inside each message, and an entry built here reads back.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include <arpa/inet.h>

#include <fuzzer/FuzzedDataProvider.h>

#include "FuzzCheck.h"
#include "NeighbourMessage.h"

namespace pondel::fuzz {
namespace {

using system_network::NeighbourAnswer;

void CheckEntryRoundTrip(std::uint32_t address, int interfaceIndex, FuzzedDataProvider& input)
{
    rtnetlink::Request request(RTM_NEWNEIGH, 0);
    ndmsg body{};
    body.ndm_family = AF_INET;
    body.ndm_ifindex = interfaceIndex;
    body.ndm_state = NUD_REACHABLE;
    request.Append(body);
    const std::uint32_t destination = htonl(address);
    request.AddAttribute(NDA_DST, &destination, sizeof destination);
    MacAddress mac{};
    const std::vector<std::uint8_t> bytes = input.ConsumeBytes<std::uint8_t>(mac.size());
    std::copy(bytes.begin(), bytes.end(), mac.begin());
    request.AddAttribute(NDA_LLADDR, mac.data(), mac.size());

    const auto answer = system_network::ReadNeighbour(request.Bytes(), address, interfaceIndex);
    Require(answer && answer->kind == NeighbourAnswer::Kind::kFound && answer->mac == mac,
        "a reachable entry reads back with its MAC");
}

} // namespace
} // namespace pondel::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace pondel;
    using namespace pondel::fuzz;
    FuzzedDataProvider input(data, size);
    const auto address = input.ConsumeIntegral<std::uint32_t>();
    const auto interfaceIndex = input.ConsumeIntegral<int>();
    CheckEntryRoundTrip(address, interfaceIndex, input);

    const std::vector<std::uint8_t> datagram = input.ConsumeRemainingBytes<std::uint8_t>();
    const std::vector<rtnetlink::Message> messages = rtnetlink::SplitMessages(datagram);
    for (const auto& message : messages)
        (void)system_network::ReadNeighbour(message, address, interfaceIndex);
    const NeighbourAnswer first = system_network::FirstAnswer(messages, address, interfaceIndex);
    Require(first.kind != NeighbourAnswer::Kind::kPending || first.mac == MacAddress{},
        "a pending answer carries no MAC");
    return 0;
}
