// ICMP packets as the raw socket (IP header first) and the ping socket
// (the message alone) hand them over: reading stays inside the packet, the
// verdict agrees with the reply's fields, a batch takes each reply at most
// once, and a request turned into its reply reads back as the same fields.
#include <chrono>
#include <cstdint>
#include <cstring>
#include <span>

#include "EchoBook.h"
#include "FuzzCheck.h"
#include "Icmp.h"

namespace {

using namespace pondel;
using namespace pondel::fuzz;

std::uint16_t Read16(std::span<const std::uint8_t> bytes, std::size_t at)
{
    return static_cast<std::uint16_t>((bytes[at] << 8) | bytes[at + 1]);
}

void CheckMessage(std::span<const std::uint8_t> message, std::uint16_t identifier)
{
    const std::optional<EchoReplyFields> reply = ReadEchoReply(message);
    Require(!reply || (message.size() >= kIcmpHeaderSize && message[0] == kIcmpEchoReply),
        "only an echo reply of 8 bytes or more has reply fields");
    if (message.size() < kIcmpHeaderSize)
        return;
    const IcmpVerdict verdict = JudgeIcmpMessage(message, identifier);
    Require(verdict != IcmpVerdict::kAnswered ||
            (reply && reply->identifier == identifier && reply->sequence == 0),
        "only our own reply with sequence 0 answers a single probe");

    // A batch waiting for this identifier's sequence takes the reply once.
    if (reply) {
        const auto now = EchoClock::now();
        EchoBook book(std::chrono::milliseconds(30));
        book.Sent(7, 0x0A000001u, reply->sequence, now);
        const auto first = book.Answer(0x0A000001u, reply->sequence, now);
        Require(first == std::optional<std::uint64_t>(7), "the waiting request is answered");
        Require(!book.Answer(0x0A000001u, reply->sequence, now), "a duplicate answers nothing");
    }
}

void CheckRoundTrip(std::uint16_t identifier, std::uint16_t sequence)
{
    IcmpRequest request = BuildEchoRequest(identifier, sequence);
    Require(IcmpChecksum(request) == 0, "a request's checksum covers it");
    request[0] = kIcmpEchoReply;
    const std::optional<EchoReplyFields> reply = ReadEchoReply(request);
    Require(reply && reply->identifier == identifier && reply->sequence == sequence,
        "a request turned into its reply reads back as the same fields");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 3)
        return 0;
    const std::span<const std::uint8_t> bytes(data, size);
    const std::uint16_t identifier = Read16(bytes, 0);
    const std::span<const std::uint8_t> packet = bytes.subspan(2);

    // As the ping socket delivers it.
    CheckMessage(packet, identifier);

    // As the raw socket delivers it.
    if (const auto message = IcmpMessageOf(packet)) {
        const std::size_t header = (packet[0] & 0x0Fu) * 4u;
        Require(
            message->data() == packet.data() + header && message->size() == packet.size() - header,
            "the message is what follows the IP header");
        Require(message->size() >= kIcmpHeaderSize, "the message has its 8-byte header");
        CheckMessage(*message, identifier);
    }

    if (size >= 4)
        CheckRoundTrip(identifier, Read16(bytes, 2));
    return 0;
}
