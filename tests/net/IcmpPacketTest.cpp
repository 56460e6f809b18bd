#include "Icmp.h"

#include <vector>

#include <arpa/inet.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace pondel {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(IcmpChecksumTest, FollowsRfc1071)
{
    // The worked example: the sum ddf2 complemented, stored in the packet's byte order.
    EXPECT_EQ(IcmpChecksum(Bytes{0x00, 0x01, 0xF2, 0x03, 0xF4, 0xF5, 0xF6, 0xF7}), htons(0x220D));
    // An odd byte counts as padded with zero; carries fold back into the sum.
    EXPECT_EQ(IcmpChecksum(Bytes{0x45, 0x12, 0xAB}), IcmpChecksum(Bytes{0x45, 0x12, 0xAB, 0x00}));
    EXPECT_EQ(IcmpChecksum(Bytes{}), 0xFFFF);
    EXPECT_EQ(IcmpChecksum(Bytes(1000, 0xFF)), 0x0000);
}

TEST(EchoRequestTest, LayoutChecksumAndProcessIdentifier)
{
    const IcmpRequest request = BuildEchoRequest(0x1234);
    EXPECT_EQ(Bytes(request.begin(), request.begin() + 8),
        (Bytes{8, 0, request[2], request[3], 0x12, 0x34, 0, 0}));
    EXPECT_EQ(Bytes(request.begin() + 8, request.end()), Bytes(24, 0xCC));
    // A correct checksum makes the whole message sum to zero.
    EXPECT_EQ(IcmpChecksum(request), 0);

    // The process id goes into the identifier low byte first.
    const auto pid = static_cast<std::uint32_t>(getpid());
    const IcmpRequest own = BuildEchoRequest(ProcessEchoIdentifier());
    EXPECT_EQ(own[4], pid & 0xFFu);
    EXPECT_EQ(own[5], (pid >> 8) & 0xFFu);
}

TEST(IcmpMessageOfTest, SkipsTheIpHeaderByItsLengthAndNeedsEightBytesAfterIt)
{
    // First byte, packet size, where the message starts (-1: refused).
    const struct {
        std::uint8_t versionAndLength;
        std::size_t size;
        int offset;
    } cases[] = {{0x45, 28, 20}, {0x46, 40, 24}, {0x4F, 68, 60}, {0x45, 27, -1}, {0x4F, 67, -1}};
    for (const auto& c : cases) {
        Bytes packet(c.size, 0);
        packet[0] = c.versionAndLength;
        const auto message = IcmpMessageOf(packet);
        EXPECT_EQ(message ? message->data() - packet.data() : -1, c.offset) << "size " << c.size;
    }
    EXPECT_FALSE(IcmpMessageOf(std::span<const std::uint8_t>{}).has_value());
}

// Only our echo reply answers; every error ends the probe, whatever its last
// four header bytes hold. The wire tests cover the identifier's high byte,
// the sequence's low byte, time exceeded and the unreachable answers.
TEST(JudgeIcmpMessageTest, OnlyOurEchoReplyAnswersAndErrorsEndTheProbe)
{
    const std::pair<Bytes, IcmpVerdict> cases[] = {
        {{kIcmpEchoReply, 0, 0, 0, 0x43, 0x21, 0, 0}, IcmpVerdict::kAnswered},
        {{kIcmpEchoReply, 0, 0, 0, 0x43, 0x22, 0, 0}, IcmpVerdict::kIgnored},
        {{kIcmpEchoReply, 0, 0, 0, 0x43, 0x21, 1, 0}, IcmpVerdict::kIgnored},
        {{kIcmpEchoRequest, 0, 0, 0, 0x43, 0x21, 0, 0}, IcmpVerdict::kIgnored},
        // Fragmentation needed, with the next hop's MTU (1400) in bytes 6 and 7.
        {{kIcmpDestinationUnreachable, 4, 0, 0, 0, 0, 0x05, 0x78}, IcmpVerdict::kNotAnswered},
        // A redirect names its gateway (192.0.2.1) in bytes 4 to 7.
        {{5, 1, 0, 0, 192, 0, 2, 1}, IcmpVerdict::kNotAnswered},
        // A parameter problem points at the bad byte in byte 4.
        {{12, 0, 0, 0, 20, 0, 0, 0}, IcmpVerdict::kNotAnswered},
    };
    for (const auto& [message, verdict] : cases)
        EXPECT_EQ(JudgeIcmpMessage(message, 0x4321), verdict) << int{message[0]};
    EXPECT_EQ(JudgeIcmpMessage(Bytes{0, 0, 0, 0}, 0), IcmpVerdict::kNotAnswered);
}

} // namespace
} // namespace pondel
