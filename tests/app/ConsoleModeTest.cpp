// The console command end to end: the real executable, a settings file
// beside it, and a namespace network to receive what it sends.
#include <memory>

#include <gtest/gtest.h>

#include "ConsoleProgram.h"
#include "TestNetwork.h"

namespace pondel {
namespace {

using namespace std::chrono_literals;

constexpr std::uint16_t kEchoPort = 7;

class ConsoleModeTest : public testing::Test {
protected:
    void SetUp() override
    {
        const auto& peer = network_.AddPeer(
            {"198.51.100.1", 24, "02:00:00:00:02:01"}, {"198.51.100.20", 24, "02:00:00:00:02:02"});
        sink_ = std::make_unique<test::DatagramSink>(peer.ns, kEchoPort);
        otherPortSink_ = std::make_unique<test::DatagramSink>(peer.ns, 9);
        WriteSettings("[SETTING]\r\nPORT_NO=9\r\n"
                      "[HOST_0]\r\nHOST_NAME=PC1\r\nIP_ADDR=198.51.100.20\r\n"
                      "NET_MASK=255.255.255.0\r\nMAC_ADDR=02:00:00:00:02:02\r\n");
    }

    void TearDown() override
    {
        // The console mode reads the settings file and never writes it.
        EXPECT_EQ(program_.ReadSettings(), settings_);
    }

    void WriteSettings(const std::string& text)
    {
        settings_ = text;
        program_.WriteSettings(text);
    }

    test::RunResult Run(const std::vector<std::string>& arguments) { return program_.Run(arguments); }

    std::vector<test::Datagram> Received() { return sink_->ReceiveAll(300ms); }

    static std::vector<std::uint8_t> Payload(std::initializer_list<std::uint8_t> mac)
    {
        std::vector<std::uint8_t> payload(6, 0xFF);
        for (int i = 0; i < 16; ++i)
            payload.insert(payload.end(), mac);
        return payload;
    }

    test::ConsoleProgram program_;
    std::string settings_;
    test::TestNetwork network_;
    std::unique_ptr<test::DatagramSink> sink_;
    std::unique_ptr<test::DatagramSink> otherPortSink_;
};

TEST_F(ConsoleModeTest, HostNameWakesTheRowOnTheEchoPortWhateverThePortOption)
{
    const test::RunResult result = Run({"/c", "/h", "pc1"});
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.output, "");
    const auto received = Received();
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].destinationIp, "198.51.100.255");
    EXPECT_EQ(received[0].payload, Payload({0x02, 0x00, 0x00, 0x00, 0x02, 0x02}));
    EXPECT_FALSE(otherPortSink_->Receive(100ms).has_value());
}

TEST_F(ConsoleModeTest, GivenMacReplacesTheRowsMac)
{
    EXPECT_EQ(Run({"/C", "/H", "pc1", "/M", "00-11-22-33-44-55"}).exitCode, 0);
    const auto received = Received();
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].destinationIp, "198.51.100.255");
    EXPECT_EQ(received[0].payload, Payload({0x00, 0x11, 0x22, 0x33, 0x44, 0x55}));
}

TEST_F(ConsoleModeTest, MacAloneWakesTheLocalNetwork)
{
    EXPECT_EQ(Run({"/C", "/M", "001122334455"}).exitCode, 0);
    const auto received = Received();
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].destinationIp, "198.51.100.255");
}

TEST_F(ConsoleModeTest, DirectSendWithoutBroadcast)
{
    EXPECT_EQ(Run({"/C", "/I", "198.51.100.20", "/M", "001122334455", "/B"}).exitCode, 0);
    const auto received = Received();
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].destinationIp, "198.51.100.20");
}

TEST_F(ConsoleModeTest, FailuresAreSilentWithExitCodeMinusOne)
{
    for (const std::vector<std::string>& arguments :
        {std::vector<std::string>{"/C", "/M", "001122334455", "/B"}, {"/C", "/H", "nobody"},
            {"/C", "/I", "198.51.100.20", "/M", "00:11:22"}}) {
        const test::RunResult result = Run(arguments);
        EXPECT_EQ(result.exitCode, -1) << arguments.back();
        EXPECT_EQ(result.output, "");
    }
    EXPECT_TRUE(Received().empty());
}

} // namespace
} // namespace pondel
