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

std::string HostSection(int index, const std::string& name, const std::string& ip,
    const std::string& mac, const std::string& group)
{
    return "[HOST_" + std::to_string(index) + "]\r\nHOST_NAME=" + name + "\r\nIP_ADDR=" + ip +
        "\r\nNET_MASK=255.255.255.0\r\nMAC_ADDR=" + mac + "\r\nGROUP=" + group + "\r\n";
}

// /G wakes the hosts of a group in list order, one datagram each and none
// for the others, and prints one line per host; a member without a MAC
// address fails the command after the others are woken.
TEST(ConsoleModeTest, AGroupWakesEachOfItsHostsInListOrder)
{
    test::TestNetwork network;
    const auto& peer = network.AddPeer({"198.51.100.1", 24, ""}, {"198.51.100.200", 24, ""});
    // pc2 is awake, so that a datagram to its own address arrives.
    test::TestNetwork::RunIn(peer.ns, {"addr", "add", "198.51.100.22/24", "dev", peer.peerIf});
    test::DatagramSink echoPort(peer.ns, 7);
    const test::ConsoleProgram program;
    const std::string hosts = HostSection(0, "pc1", "198.51.100.21", "02:00:00:00:0D:21", "Lab") +
        HostSection(1, "pc2", "198.51.100.22", "02:00:00:00:0D:22", "office") +
        HostSection(2, "pc3", "198.51.100.23", "02:00:00:00:0D:23", "lab");
    const std::string noMac = HostSection(3, "bare", "198.51.100.24", "", "lab");
    const auto sent = [](const char* name, const char* ip) {
        return std::string(name) + "\t" + ip + "\tsent\n";
    };
    const struct {
        const char* what;
        std::string settings;
        Arguments arguments;
        int exitCode;
        std::vector<std::uint8_t> macs; // the last byte of each MAC woken, in order
        std::string output;
        std::string error;
    } cases[] = {
        {"a group, in other letters", hosts, {"/C", "/G", "LAB"}, 0, {0x21, 0x23},
            sent("pc1", "198.51.100.21") + sent("pc3", "198.51.100.23"), ""},
        {"every host", hosts, {"/c", "/g", "*"}, 0, {0x21, 0x22, 0x23},
            sent("pc1", "198.51.100.21") + sent("pc2", "198.51.100.22") +
                sent("pc3", "198.51.100.23"),
            ""},
        {"without broadcast, with the wake switches' lines", hosts,
            {"/C", "/G", "office", "/B", "/P", "7"}, 0, {0x22},
            "unicast 198.51.100.22 7 - 102 sent\n1 packet on 1 path\n" +
                sent("pc2", "198.51.100.22"),
            ""},
        {"a member without a MAC address", hosts + noMac, {"/C", "/G", "lab"}, -1, {0x21, 0x23},
            sent("pc1", "198.51.100.21") + sent("pc3", "198.51.100.23"),
            "Host \"bare\" has no MAC address.\n"},
        {"a dry run sends nothing", hosts, {"/C", "/G", "office", "/D"}, 0, {},
            "directed 198.51.100.255 7 - 102\npc2\t198.51.100.22\tplanned\n", ""},
        {"no such group", hosts, {"/C", "/G", "attic"}, -1, {}, "",
            "No host of the list is in group \"attic\".\n"},
    };
    for (const auto& c : cases) {
        WriteTextFile(program.SettingsFile(), c.settings);
        const test::RunResult result = program.Run(c.arguments);
        EXPECT_EQ(result.exitCode, c.exitCode) << c.what;
        EXPECT_EQ(result.output, c.output) << c.what;
        EXPECT_EQ(result.errorOutput, c.error) << c.what;
        std::vector<std::vector<std::uint8_t>> wanted;
        for (const std::uint8_t last : c.macs)
            wanted.push_back(Payload({0x02, 0x00, 0x00, 0x00, 0x0D, last}));
        std::vector<std::vector<std::uint8_t>> received;
        for (const test::Datagram& datagram :
            echoPort.ReceiveAll(300ms, c.macs.empty() ? 300ms : 2s))
            received.push_back(datagram.payload);
        EXPECT_EQ(received, wanted) << c.what;
    }
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

// /G with /W watches every host woken at once: the one that boots is up,
// the one that never does ends the command with exit code 4.
TEST(ConsoleModeTest, WaitingForAGroupEndsWhenEachHostAnsweredOrTheTimeIsUp)
{
    const test::ConsoleProgram program;
    WriteTextFile(program.SettingsFile(),
        "[SETTING]\r\nNO_EXTERNAL_COMMAND=1\r\nICMP_TIME_OUT=200\r\n"
        "WAKE_CONFIRM_INTERVAL=300\r\n" +
            HostSection(0, "up", "198.51.100.2", "02:00:00:00:0C:02", "lab") +
            HostSection(1, "other", "198.51.100.3", "02:00:00:00:0C:03", "office") +
            HostSection(2, "down", "203.0.113.2", "02:00:00:00:0C:04", "lab"));
    test::TestNetwork network;
    const test::Peer& peer =
        network.AddPeer({"198.51.100.1", 24, ""}, {"198.51.100.200", 24, "02:00:00:00:0C:02"});
    network.AddPeer({"203.0.113.1", 24, ""}, {"203.0.113.200", 24, ""});
    test::QuickNeighbourProbes(peer);
    test::SleepingMachine machine(peer, "198.51.100.2/24", {0x02, 0, 0, 0, 0x0C, 0x02}, 500ms);

    const test::RunResult result = program.Run({"/C", "/G", "lab", "/W", "4"});
    EXPECT_EQ(result.exitCode, 4);
    EXPECT_EQ(result.errorOutput, "");
    const std::string sent = "up\t198.51.100.2\tsent\ndown\t203.0.113.2\tsent\n";
    ASSERT_TRUE(result.output.starts_with(sent + "up\t198.51.100.2\tup after ")) << result.output;
    EXPECT_TRUE(result.output.ends_with(" s\ndown\t203.0.113.2\tno answer after 4 s\n"))
        << result.output;
    EXPECT_TRUE(machine.AwokeAt().has_value());
}

} // namespace
} // namespace pondel
