// The console's status query end to end: the real executable over a lab
// network in which one host drops echo requests and one address is answered
// by a machine other than its row's.
#include <gtest/gtest.h>

#include <fstream>

#include "ConsoleProgram.h"
#include "TestNetwork.h"

namespace pondel {
namespace {

using Arguments = std::vector<std::string>;

constexpr const char* kDeafMac = "02:00:00:00:00:20";
constexpr const char* kPeerMac = "02:00:00:00:00:30";

std::string HostSection(int index, const std::string& name, const std::string& ip,
    const std::string& mac, const std::string& group = "")
{
    return "[HOST_" + std::to_string(index) + "]\r\nHOST_NAME=" + name + "\r\nIP_ADDR=" + ip +
        "\r\nNET_MASK=255.255.255.0\r\nMAC_ADDR=" + mac + "\r\nGROUP=" + group + "\r\n";
}

TEST(StatusQueryTest, EachHostGetsItsStateTheMacThatAnsweredAndItsVendor)
{
    test::TestNetwork network;
    const auto& deaf = network.AddPeer({"198.51.100.1", 24, ""}, {"198.51.100.20", 24, kDeafMac});
    test::WriteSysctl(deaf.ns, "net/ipv4/icmp_echo_ignore_all", "1");
    const auto& peer = network.AddPeer({"203.0.113.1", 24, ""}, {"203.0.113.30", 24, kPeerMac});
    test::TestNetwork::RunIn(peer.ns, {"addr", "add", "203.0.113.31/24", "dev", peer.peerIf});

    const test::ConsoleProgram program;
    const TemporaryDirectory registry;
    std::ofstream(registry / "oui.csv") << "Registry,Assignment,Organization Name,Address\n"
                                           "MA-L,020000,Lab Boards,Somewhere\n";
    const std::string hosts = HostSection(0, "deaf", "198.51.100.20", kDeafMac, "lab") +
        HostSection(1, "moved", "203.0.113.30", "02:00:00:00:00:99") +
        HostSection(2, "peer", "203.0.113.30", kPeerMac, "Lab") +
        HostSection(3, "nomac", "203.0.113.31", "") +
        HostSection(4, "silent", "198.51.100.77", "02:00:00:00:00:77");
    const std::string arpOn = "[SETTING]\r\nNO_EXTERNAL_COMMAND=1\r\nICMP_TIME_OUT=300\r\n"
                              "VENDOR_REGISTRY_FOLDER=" +
        registry.Path().string() + "\r\n";
    const std::string arpOff = arpOn + "ARP_PROBE=0\r\n";

    const std::string every =
        "deaf\t198.51.100.20\tup-no-ping\t02:00:00:00:00:20\tLab Boards\n"
        "moved\t203.0.113.30\tanother-machine\t02:00:00:00:00:30\tLab Boards\n"
        "peer\t203.0.113.30\tup\t02:00:00:00:00:30\tLab Boards\n"
        "nomac\t203.0.113.31\tup\t02:00:00:00:00:30\tLab Boards\n"
        "silent\t198.51.100.77\tdown\t-\t-\n";
    const struct {
        const char* what;
        std::string settings;
        Arguments arguments;
        std::string output;
        int exitCode = 0;
        std::string error{};
    } cases[] = {
        {"every host", arpOn + hosts, {"/C", "/Q"}, every},
        {"every host by the group of all", arpOn + hosts, {"/C", "/Q", "/G", "*"}, every},
        {"one group", arpOn + hosts, {"/C", "/Q", "/G", "LAB"},
            "deaf\t198.51.100.20\tup-no-ping\t02:00:00:00:00:20\tLab Boards\n"
            "peer\t203.0.113.30\tup\t02:00:00:00:00:30\tLab Boards\n"},
        {"no such group", arpOn + hosts, {"/C", "/Q", "/G", "attic"}, "", -1,
            "No host of the list is in group \"attic\".\n"},
        {"one host", arpOn + hosts, {"/c", "/q", "/h", "MOVED"},
            "moved\t203.0.113.30\tanother-machine\t02:00:00:00:00:30\tLab Boards\n"},
        {"echo alone", arpOff + hosts, {"/C", "/Q", "/H", "deaf"},
            "deaf\t198.51.100.20\tdown\t-\t-\n"},
        {"no registry",
            "[SETTING]\r\nNO_EXTERNAL_COMMAND=1\r\nVENDOR_REGISTRY_FOLDER=/nonexistent\r\n" + hosts,
            {"/C", "/Q", "/H", "peer"}, "peer\t203.0.113.30\tup\t02:00:00:00:00:30\t-\n"},
    };
    for (const auto& c : cases) {
        WriteTextFile(program.SettingsFile(), c.settings);
        const test::RunResult result = program.Run(c.arguments);
        EXPECT_EQ(result.exitCode, c.exitCode) << c.what;
        EXPECT_EQ(result.output, c.output) << c.what;
        EXPECT_EQ(result.errorOutput, c.error) << c.what;
        // The query reads the settings file and never writes it.
        EXPECT_EQ(ReadTextFile(program.SettingsFile()), c.settings) << c.what;
    }
}

} // namespace
} // namespace pondel
