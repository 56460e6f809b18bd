#include "net/Icmp.h"

#include <cstring>
#include <vector>

#include <unistd.h>

#include <gtest/gtest.h>

namespace pondel {
namespace {

std::array<std::uint8_t, 2> StoredChecksum(std::span<const std::uint8_t> data)
{
    const std::uint16_t checksum = IcmpChecksum(data);
    std::array<std::uint8_t, 2> bytes{};
    std::memcpy(bytes.data(), &checksum, sizeof checksum);
    return bytes;
}

TEST(IcmpChecksumTest, MatchesTheWorkedExampleOfRfc1071)
{
    const std::vector<std::uint8_t> data{0x00, 0x01, 0xF2, 0x03, 0xF4, 0xF5, 0xF6, 0xF7};
    // The sum ddf2 complemented, in the byte order of the packet.
    EXPECT_EQ(StoredChecksum(data), (std::array<std::uint8_t, 2>{0x22, 0x0D}));
}

TEST(IcmpChecksumTest, OddByteCountsAsPaddedWithZero)
{
    const std::vector<std::uint8_t> odd{0x45, 0x12, 0xAB};
    const std::vector<std::uint8_t> padded{0x45, 0x12, 0xAB, 0x00};
    EXPECT_EQ(IcmpChecksum(odd), IcmpChecksum(padded));
    EXPECT_EQ(IcmpChecksum(std::vector<std::uint8_t>{}), 0xFFFF);
}

TEST(IcmpChecksumTest, CarriesFoldBackIntoTheSum)
{
    // Many all-ones words overflow 16 bits over and over.
    const std::vector<std::uint8_t> data(1000, 0xFF);
    EXPECT_EQ(IcmpChecksum(data), 0x0000);
}

TEST(EchoRequestTest, LayoutAndChecksum)
{
    const IcmpRequest request = BuildEchoRequest(0x1234);
    EXPECT_EQ(request[0], 8);
    EXPECT_EQ(request[1], 0);
    EXPECT_EQ(request[4], 0x12);
    EXPECT_EQ(request[5], 0x34);
    EXPECT_EQ(request[6], 0);
    EXPECT_EQ(request[7], 0);
    for (std::size_t i = 8; i < request.size(); ++i)
        EXPECT_EQ(request[i], 0xCC) << "byte " << i;
    // A correct checksum makes the whole message sum to zero.
    EXPECT_EQ(IcmpChecksum(request), 0);
}

TEST(EchoRequestTest, ProcessIdentifierGoesLowByteFirst)
{
    const auto pid = static_cast<std::uint32_t>(getpid());
    const IcmpRequest request = BuildEchoRequest(ProcessEchoIdentifier());
    EXPECT_EQ(request[4], pid & 0xFFu);
    EXPECT_EQ(request[5], (pid >> 8) & 0xFFu);
}

TEST(IcmpWaitTimeTest, SplitsMillisecondsIntoSecondsAndMicroseconds)
{
    const timeval longWait = IcmpWaitTime(1500);
    EXPECT_EQ(longWait.tv_sec, 1);
    EXPECT_EQ(longWait.tv_usec, 500000);
    const timeval shortWait = IcmpWaitTime(30);
    EXPECT_EQ(shortWait.tv_sec, 0);
    EXPECT_EQ(shortWait.tv_usec, 30000);
    const timeval whole = IcmpWaitTime(2000);
    EXPECT_EQ(whole.tv_sec, 2);
    EXPECT_EQ(whole.tv_usec, 0);
}

std::vector<std::uint8_t> Packet(std::uint8_t versionAndLength, std::size_t size)
{
    std::vector<std::uint8_t> packet(size, 0);
    packet[0] = versionAndLength;
    return packet;
}

TEST(IcmpMessageOfTest, SkipsTheIpHeaderByItsLength)
{
    auto plain = Packet(0x45, 28);
    plain[20] = 0xAA;
    const auto message = IcmpMessageOf(plain);
    ASSERT_TRUE(message.has_value());
    EXPECT_EQ(message->size(), 8u);
    EXPECT_EQ((*message)[0], 0xAA);

    // Options lengthen the header to 24 bytes.
    auto withOptions = Packet(0x46, 40);
    withOptions[24] = 0xBB;
    const auto optionMessage = IcmpMessageOf(withOptions);
    ASSERT_TRUE(optionMessage.has_value());
    EXPECT_EQ(optionMessage->size(), 16u);
    EXPECT_EQ((*optionMessage)[0], 0xBB);
}

TEST(IcmpMessageOfTest, RefusesPacketsShorterThanHeaderPlusEight)
{
    // Only here: Linux hands raw sockets no ICMP message under 8 bytes.
    EXPECT_FALSE(IcmpMessageOf(Packet(0x45, 27)).has_value());
    EXPECT_FALSE(IcmpMessageOf(Packet(0x4F, 67)).has_value());
    EXPECT_TRUE(IcmpMessageOf(Packet(0x4F, 68)).has_value());
    EXPECT_FALSE(IcmpMessageOf(std::span<const std::uint8_t>{}).has_value());
}

std::vector<std::uint8_t> Message(
    std::uint8_t type, std::uint16_t identifier, std::uint16_t sequence)
{
    return {type, 0, 0, 0, static_cast<std::uint8_t>(identifier >> 8),
        static_cast<std::uint8_t>(identifier), static_cast<std::uint8_t>(sequence >> 8),
        static_cast<std::uint8_t>(sequence)};
}

TEST(JudgeIcmpMessageTest, OnlyOurEchoReplyAnswers)
{
    EXPECT_EQ(JudgeIcmpMessage(Message(0, 0x4321, 0), 0x4321), IcmpVerdict::kAnswered);
    EXPECT_EQ(JudgeIcmpMessage(Message(0, 0x4322, 0), 0x4321), IcmpVerdict::kIgnored);
    EXPECT_EQ(JudgeIcmpMessage(Message(0, 0x4321, 1), 0x4321), IcmpVerdict::kIgnored);
    EXPECT_EQ(JudgeIcmpMessage(Message(0, 0x4321, 0x0100), 0x4321), IcmpVerdict::kIgnored);
}

TEST(JudgeIcmpMessageTest, ErrorsEndTheProbeExceptTimeExceeded)
{
    EXPECT_EQ(JudgeIcmpMessage(Message(3, 0, 0), 1), IcmpVerdict::kNotAnswered);
    EXPECT_EQ(JudgeIcmpMessage(Message(5, 0, 0), 1), IcmpVerdict::kNotAnswered);
    EXPECT_EQ(JudgeIcmpMessage(Message(11, 0, 0), 1), IcmpVerdict::kIgnored);
    // Requests arriving, our own to this machine among them, are no answer
    // and no refusal either.
    EXPECT_EQ(JudgeIcmpMessage(Message(8, 1, 0), 1), IcmpVerdict::kIgnored);
    EXPECT_EQ(
        JudgeIcmpMessage(std::vector<std::uint8_t>{0, 0, 0, 0}, 0), IcmpVerdict::kNotAnswered);
}

} // namespace
} // namespace pondel
