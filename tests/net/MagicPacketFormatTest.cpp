// The magic packet's bytes, its destination and its result codes, without a
// network.
#include "MagicPacket.h"

#include <gtest/gtest.h>

#include "TestNetwork.h"

namespace pondel {
namespace {

TEST(MagicPacketTest, PayloadIsSyncStreamThenSixteenCopies)
{
    MacAddress mac{};
    ASSERT_EQ(ParseMacAddress("00:11:22:33:44:55", mac), 0);
    std::vector<std::uint8_t> expected(6, 0xFF);
    for (int i = 0; i < 16; ++i)
        expected.insert(expected.end(), {0x00, 0x11, 0x22, 0x33, 0x44, 0x55});
    const MagicPacket packet = BuildMagicPacket(mac);
    EXPECT_EQ(std::vector<std::uint8_t>(packet.begin(), packet.end()), expected);
}

TEST(MagicPacketTest, DestinationIsDirectedBroadcastOrTheHost)
{
    EXPECT_EQ(MagicPacketDestination(0x0A010203, 0xFFFF0000, true), 0x0A01FFFFu);
    EXPECT_EQ(MagicPacketDestination(0xC0A80114, 0xFFFFFF00, false), 0xC0A80114u);
    // An address that already is the broadcast address stays as it is.
    EXPECT_EQ(MagicPacketDestination(0xC0A801FF, 0xFFFFFF00, true), 0xC0A801FFu);
    // An empty or rejected netmask reads as all ones: the host itself.
    EXPECT_EQ(MagicPacketDestination(0xC0A80114, 0xFFFFFFFF, true), 0xC0A80114u);
}

TEST(MagicPacketResultTest, CodesComeInTheirOrder)
{
    EXPECT_EQ(SendMagicPacket("", "", "bad", true, 9).status, -1);
    EXPECT_EQ(SendMagicPacket("", "", "001122334455", true, 9).status, -1);
    // A bad MAC is refused before any socket exists: with sockets denied the
    // result stays -2, while a good MAC then fails on the socket with -3.
    const int before = test::CountOpenDescriptors();
    const auto deniedSend = [](const char* mac) {
        return test::RunWithSocketsDenied([mac] {
            return SendMagicPacket("198.51.100.20", "255.255.255.0", mac, true, 9).status;
        });
    };
    EXPECT_EQ(deniedSend("00:11:22:33:44"), -2);
    EXPECT_EQ(deniedSend("00:11:22:33:44:55"), -3);
    EXPECT_EQ(test::CountOpenDescriptors(), before);
}

} // namespace
} // namespace pondel
