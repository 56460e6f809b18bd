// Datagrams on the kernel's routing socket: splitting them into messages
// and reading attributes stays inside the bytes received, whatever lengths
// the headers claim, and a request built here reads back as built.
#include <cstdint>
#include <cstring>
#include <map>
#include <vector>

#include <fuzzer/FuzzedDataProvider.h>

#include "FuzzCheck.h"
#include "RtNetlink.h"

namespace pondel::fuzz {
namespace {

using rtnetlink::Attributes;
using rtnetlink::Message;

constexpr std::uint16_t kTypesToRead = 64;

// Touches every byte an attribute claims, so that the sanitizer sees any
// claim beyond the message.
unsigned ReadAllAttributes(const Attributes& attributes)
{
    unsigned sum = 0;
    for (std::uint16_t type = 0; type < kTypesToRead; ++type) {
        const rtattr* attribute = attributes.Find(type);
        if (attribute == nullptr)
            continue;
        const std::uint8_t* bytes = rtnetlink::AttributeData(attribute);
        for (std::size_t i = 0; i < attributes.PayloadSize(type); ++i)
            sum += bytes[i];
        sum += attributes.U32(type).value_or(0) + attributes.U8(type).value_or(0);
    }
    return sum;
}

template <typename Body>
unsigned ReadAs(const Message& message)
{
    if (rtnetlink::BodyOf<Body>(message) == nullptr)
        return 0;
    return ReadAllAttributes(Attributes(message, sizeof(Body)));
}

void CheckDatagram(const std::vector<std::uint8_t>& datagram)
{
    std::size_t covered = 0;
    for (const Message& message : rtnetlink::SplitMessages(datagram)) {
        Require(message.size() >= sizeof(nlmsghdr) &&
                rtnetlink::Header(message).nlmsg_len == message.size(),
            "a message is exactly as long as its header says");
        covered += message.size();
        volatile unsigned sink = ReadAs<ifinfomsg>(message) + ReadAs<ifaddrmsg>(message) +
            ReadAs<rtmsg>(message) + ReadAs<ndmsg>(message);
        (void)sink;
    }
    Require(covered <= datagram.size(), "messages come from the datagram only");
}

void CheckRequestRoundTrip(FuzzedDataProvider& input)
{
    rtnetlink::Request request(RTM_NEWADDR, 0);
    ifaddrmsg body{};
    body.ifa_index = input.ConsumeIntegral<std::uint32_t>();
    request.Append(body);
    std::map<std::uint16_t, std::vector<std::uint8_t>> added;
    const int count = input.ConsumeIntegralInRange(0, 8);
    for (int i = 0; i < count; ++i) {
        const auto type = input.ConsumeIntegralInRange<std::uint16_t>(1, kTypesToRead - 1);
        const std::vector<std::uint8_t> payload =
            input.ConsumeBytes<std::uint8_t>(input.ConsumeIntegralInRange<std::size_t>(0, 64));
        request.AddAttribute(type, payload.data(), payload.size());
        added[type] = payload;
    }
    const std::vector<Message> messages = rtnetlink::SplitMessages(request.Bytes());
    Require(
        messages.size() == 1 && messages[0] == request.Bytes(), "a request splits as one message");
    const auto* read = rtnetlink::BodyOf<ifaddrmsg>(messages[0]);
    Require(read != nullptr && read->ifa_index == body.ifa_index, "the body reads back");
    const Attributes attributes(messages[0], sizeof(ifaddrmsg));
    for (const auto& [type, payload] : added) {
        const rtattr* attribute = attributes.Find(type);
        Require(attribute != nullptr && attributes.PayloadSize(type) == payload.size() &&
                (payload.empty() ||
                    std::memcmp(
                        rtnetlink::AttributeData(attribute), payload.data(), payload.size()) == 0),
            "an attribute reads back as added, the last of a type winning");
    }
}

} // namespace
} // namespace pondel::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace pondel::fuzz;
    // A copy of exactly the received length, as the socket reader makes.
    CheckDatagram(std::vector<std::uint8_t>(data, data + size));
    FuzzedDataProvider input(data, size);
    CheckRequestRoundTrip(input);
    return 0;
}
