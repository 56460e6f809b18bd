// The console command end to end: the real executable, a settings file
// beside it, and a namespace network to receive what it sends.
#include <gtest/gtest.h>

#include "ConsoleProgram.h"
#include "SleepingMachine.h"
#include "TestNetwork.h"

namespace pondel {
namespace {

using namespace std::chrono_literals;
using Arguments = std::vector<std::string>;

std::vector<std::uint8_t> Payload(std::initializer_list<std::uint8_t> mac)
{
    std::vector<std::uint8_t> payload(6, 0xFF);
    for (int i = 0; i < 16; ++i)
        payload.insert(payload.end(), mac);
    return payload;
}

// The row's MAC goes out on the echo port, whatever PORT_NO says.
TEST(ConsoleModeTest, EachTargetIsWokenOnTheEchoPortAndFailuresAreSilent)
{
    test::TestNetwork network;
    const auto& peer = network.AddPeer(
        {"198.51.100.1", 24, "02:00:00:00:02:01"}, {"198.51.100.20", 24, "02:00:00:00:02:02"});
    test::DatagramSink echoPort(peer.ns, 7);
    test::DatagramSink portOption(peer.ns, 9);
    const test::ConsoleProgram program;
    const std::string settings = "[SETTING]\r\nPORT_NO=9\r\n"
                                 "[HOST_0]\r\nHOST_NAME=PC1\r\nIP_ADDR=198.51.100.20\r\n"
                                 "NET_MASK=255.255.255.0\r\nMAC_ADDR=02:00:00:00:02:02\r\n";
    WriteTextFile(program.SettingsFile(), settings);

    const auto rowMac = Payload({0x02, 0x00, 0x00, 0x00, 0x02, 0x02});
    const auto givenMac = Payload({0x00, 0x11, 0x22, 0x33, 0x44, 0x55});
    const struct {
        Arguments arguments;
        std::string destination;
        std::vector<std::uint8_t> payload;
    } sends[] = {
        {{"/c", "/h", "pc1"}, "198.51.100.255", rowMac},
        {{"/C", "/H", "pc1", "/M", "00-11-22-33-44-55"}, "198.51.100.255", givenMac},
        {{"/C", "/M", "001122334455"}, "198.51.100.255", givenMac}, // the local network
        {{"/C", "/I", "198.51.100.20", "/M", "001122334455", "/B"}, "198.51.100.20", givenMac},
    };
    for (const auto& send : sends) {
        const test::RunResult result = program.Run(send.arguments);
        EXPECT_EQ(result.exitCode, 0) << send.arguments.back();
        EXPECT_EQ(result.output, "");
        EXPECT_EQ(result.errorOutput, "");
        const auto received = echoPort.ReceiveAll(300ms);
        ASSERT_EQ(received.size(), 1u) << send.arguments.back();
        EXPECT_EQ(received[0].destinationIp, send.destination);
        EXPECT_EQ(received[0].payload, send.payload);
    }
    EXPECT_FALSE(portOption.Receive(100ms).has_value());

    for (const Arguments& arguments : {Arguments{"/C", "/M", "001122334455", "/B"},
             {"/C", "/H", "nobody"}, {"/C", "/I", "198.51.100.20", "/M", "00:11:22"}}) {
        const test::RunResult result = program.Run(arguments);
        EXPECT_EQ(result.exitCode, -1) << arguments.back();
        EXPECT_EQ(result.output, "");
    }
    EXPECT_TRUE(echoPort.ReceiveAll(300ms).empty());
    // The console mode reads the settings file and never writes it.
    EXPECT_EQ(ReadTextFile(program.SettingsFile()), settings);
}

// /W after the wake-up waits for a sleeping machine: exit code 0 and "up"
// once it has booted, 4 when the packet carried another MAC.
TEST(ConsoleModeTest, WaitingForTheWokenHostEndsInItsAnswerOrExitCode4)
{
    const test::ConsoleProgram program;
    WriteTextFile(program.SettingsFile(),
        "[SETTING]\r\nNO_EXTERNAL_COMMAND=1\r\nICMP_TIME_OUT=200\r\n"
        "WAKE_CONFIRM_INTERVAL=300\r\n"
        "[HOST_0]\r\nHOST_NAME=PC2\r\nIP_ADDR=198.51.100.2\r\nMAC_ADDR=02:00:00:00:0C:02\r\n");
    const struct {
        Arguments arguments;
        int exitCode;
        std::string output;
    } cases[] = {
        {{"/C", "/H", "pc2", "/W", "10"}, 0, "up after "},
        {{"/C", "/I", "198.51.100.2", "/M", "02:00:00:00:0C:99", "/W", "2"}, 4,
            "no answer after 2 s\n"},
    };
    for (const auto& c : cases) {
        test::TestNetwork network;
        const test::Peer& peer =
            network.AddPeer({"198.51.100.1", 24, ""}, {"198.51.100.200", 24, ""});
        test::QuickNeighbourProbes(peer);
        test::SleepingMachine machine(peer, "198.51.100.2/24", {0x02, 0, 0, 0, 0x0C, 0x02}, 1200ms);
        const test::RunResult result = program.Run(c.arguments);
        EXPECT_EQ(result.exitCode, c.exitCode) << c.arguments.back();
        // Off a terminal only the outcome is written; the boot takes 1.2 s.
        EXPECT_TRUE(result.output.starts_with(c.output)) << result.output;
        EXPECT_TRUE(result.output.ends_with(" s\n")) << result.output;
    }
}

} // namespace
} // namespace pondel
