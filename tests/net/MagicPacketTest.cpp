#include "MagicPacket.h"

#include <gtest/gtest.h>

#include "TestNetwork.h"

namespace pondel {
namespace {

using namespace std::chrono_literals;
using test::DatagramSink;
using test::LinkEnd;
using test::TestNetwork;

constexpr std::uint16_t kPort = 40009;

std::vector<std::uint8_t> ExpectedPayload()
{
    std::vector<std::uint8_t> payload(6, 0xFF);
    for (int i = 0; i < 16; ++i)
        payload.insert(payload.end(), {0x00, 0x11, 0x22, 0x33, 0x44, 0x55});
    return payload;
}

class MagicPacketWireTest : public testing::Test {
protected:
    void SetUp() override
    {
        network_.AddPeer(
            {"198.51.100.1", 24, "02:00:00:00:01:01"}, {"198.51.100.20", 24, "02:00:00:00:01:02"});
        sink_ = std::make_unique<DatagramSink>(network_.Peers()[0].ns, kPort);
    }

    TestNetwork network_;
    std::unique_ptr<DatagramSink> sink_;
};

TEST_F(MagicPacketWireTest, BroadcastSendsOneDatagramToTheDirectedBroadcastAddress)
{
    ASSERT_EQ(
        SendMagicPacket("198.51.100.20", "255.255.255.0", "00-11-22-33-44-55", true, kPort).status, 0);
    const auto received = sink_->ReceiveAll(300ms);
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].destinationIp, "198.51.100.255");
    EXPECT_EQ(received[0].sourceIp, "198.51.100.1");
    EXPECT_EQ(received[0].payload, ExpectedPayload());
}

TEST_F(MagicPacketWireTest, WithoutBroadcastTheHostItselfReceivesIt)
{
    ASSERT_EQ(SendMagicPacket("198.51.100.20", "255.255.255.0", "001122334455", false, kPort).status, 0);
    const auto received = sink_->ReceiveAll(300ms);
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].destinationIp, "198.51.100.20");
    EXPECT_EQ(received[0].payload, ExpectedPayload());
}

TEST_F(MagicPacketWireTest, LimitedBroadcastWithoutTheFlagFails)
{
    // Rejected text reads as 255.255.255.255, which needs SO_BROADCAST.
    EXPECT_EQ(SendMagicPacket("not an address", "", "001122334455", false, kPort).status, -5);
    EXPECT_FALSE(sink_->Receive(200ms).has_value());
}

} // namespace
} // namespace pondel
