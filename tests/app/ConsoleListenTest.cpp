// pondel /C /L in a lab: the program listens in this namespace on the side
// 198.51.100.1 of a veth pair, wake-ups come from the peer 198.51.100.20,
// and the exit code tells whether one came or nothing could be opened.
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <future>
#include <sstream>
#include <thread>

#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "ConsoleProgram.h"
#include "TemporaryDirectory.h"
#include "TestNetwork.h"
#include "WakeSender.h"

namespace pondel {
namespace {

using namespace std::chrono_literals;
using Arguments = std::vector<std::string>;

const std::string kTargetMac = "02:00:00:00:0A:01";

std::vector<std::string> Fields(const std::string& line)
{
    std::vector<std::string> fields;
    std::size_t from = 0;
    for (std::size_t tab; (tab = line.find('\t', from)) != std::string::npos; from = tab + 1)
        fields.push_back(line.substr(from, tab - from));
    fields.push_back(line.substr(from));
    return fields;
}

// Waits until a UDP port is bound in this namespace, as the program does
// first thing; false when it is not within five seconds.
bool WaitForUdpPort(std::uint16_t port)
{
    char hex[8];
    std::snprintf(hex, sizeof hex, ":%04X", port);
    for (int tries = 0; tries < 250; ++tries) {
        std::ifstream table("/proc/net/udp");
        for (std::string line; std::getline(table, line);) {
            // "   0: 00000000:9C41 00000000:0000 07 ...": the slot, then the local address.
            std::istringstream fields(line);
            std::string slot, local;
            fields >> slot >> local;
            if (local.ends_with(hex))
                return true;
        }
        std::this_thread::sleep_for(20ms);
    }
    return false;
}

class ConsoleListenTest : public testing::Test {
protected:
    void SetUp() override
    {
        peer_ = &network_.AddPeer({"198.51.100.1", 24, kTargetMac}, {"198.51.100.20", 24, ""});
        WriteTextFile(registry_.Path() / "oui.csv",
            "Registry,Assignment,Organization Name,Organization Address\n"
            "MA-L,020000,Lab Vendor,Somewhere\n");
    }

    // The settings: the wake port, the extra ports, one host with the
    // target's MAC.
    void WriteSettings(const std::string& portNo, const std::string& extraPorts)
    {
        WriteTextFile(program_.SettingsFile(),
            "[SETTING]\r\nPORT_NO=" + portNo + "\r\nWAKE_EXTRA_PORTS=" + extraPorts +
                "\r\nVENDOR_REGISTRY_FOLDER=" + registry_.Path().string() +
                "\r\n[HOST_0]\r\nHOST_NAME=pcA\r\nIP_ADDR=198.51.100.1\r\nMAC_ADDR=" + kTargetMac +
                "\r\n");
    }

    // A wake-up of the target from the peer, to the directed broadcast.
    void WakeFromPeer(std::uint16_t port, unsigned rounds)
    {
        WakeRequest request;
        request.ip = 0xC6336401u; // 198.51.100.1
        request.netMask = 0xFFFFFF00u;
        EXPECT_EQ(ParseMacAddress(kTargetMac, request.mac), 0);
        request.ports = {port};
        request.repeats = rounds;
        test::RunInNamespace(peer_->ns, [&] { return AnySent(SendWake(request)) ? 0 : 1; });
    }

    test::TestNetwork network_;
    const test::Peer* peer_ = nullptr;
    TemporaryDirectory registry_;
    const test::ConsoleProgram program_;
};

TEST_F(ConsoleListenTest, PrintsWhatArrivedAndTellsByItsExitCode)
{
    const struct {
        const char* what;
        std::string portNo, extraPorts;
        std::vector<std::string> dropped; // capabilities the program runs without
        unsigned rounds;                  // of a wake-up to the extra port; 0 sends none
        int exitCode;
        std::vector<std::string> errors; // what standard error must name
    } rows[] = {
        {"heard on an extra port, three rounds on one line", "40000", "40001", {}, 3, 0,
            {"listening on UDP 7 (IPv4), UDP 7 (IPv6), UDP 9 (IPv4), UDP 9 (IPv6), UDP 40000 "
             "(IPv4), UDP 40000 (IPv6), UDP 40001 (IPv4), UDP 40001 (IPv6), EtherType 0x0842 "
             "frames"}},
        {"nothing heard", "40000", "40001", {}, 0, 5, {}},
        {"an ordinary user: low ports and frames named, the rest heard", "40000", "40001",
            {"net_bind_service", "net_raw"}, 1, 0,
            {"cannot receive on UDP 7 (IPv4): Permission denied; ports below 1024",
                "cannot receive on UDP 9 (IPv6): Permission denied",
                "sysctl net.ipv4.ip_unprivileged_port_start=9",
                "cannot receive on EtherType 0x0842 frames: Operation not permitted",
                "setcap cap_net_bind_service,cap_net_raw+ep ",
                "listening on UDP 40000 (IPv4), UDP 40000 (IPv6), UDP 40001 (IPv4), UDP 40001 "
                "(IPv6)"}},
        {"an ordinary user with nothing to open", "7", "", {"net_bind_service", "net_raw"}, 0, -1,
            {"Nothing could be opened to listen for wake packets.",
                "cannot receive on UDP 9 (IPv4): Permission denied"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        WriteSettings(row.portNo, row.extraPorts);
        const std::string settings = ReadTextFile(program_.SettingsFile());
        const Arguments arguments{"/C", "/L", "2"};
        auto listening = std::async(std::launch::async, [&] {
            return row.dropped.empty() ? program_.Run(arguments)
                                       : program_.RunWithout(row.dropped, arguments);
        });
        if (row.rounds != 0) {
            EXPECT_TRUE(WaitForUdpPort(40001));
            WakeFromPeer(40001, row.rounds);
        }
        const test::RunResult result = listening.get();
        EXPECT_EQ(result.exitCode, row.exitCode);
        EXPECT_EQ(ReadTextFile(program_.SettingsFile()), settings); // nothing saved
        for (const std::string& error : row.errors)
            EXPECT_NE(result.errorOutput.find(error), std::string::npos) << result.errorOutput;
        if (row.rounds == 0) {
            EXPECT_EQ(result.output, "");
            continue;
        }
        ASSERT_TRUE(result.output.ends_with('\n')) << result.output;
        ASSERT_EQ(std::ranges::count(result.output, '\n'), 1) << result.output;
        const std::vector<std::string> fields =
            Fields(result.output.substr(0, result.output.size() - 1));
        ASSERT_EQ(fields.size(), 9u) << result.output;
        EXPECT_EQ(fields[0].size(), 19u) << fields[0]; // 2026-12-11 09:10:00
        EXPECT_TRUE(fields[1].starts_with("198.51.100.20:")) << fields[1];
        EXPECT_EQ(std::vector<std::string>(fields.begin() + 2, fields.end()),
            (std::vector<std::string>{"198.51.100.255", "UDP 40001", kTargetMac, "Lab Vendor",
                "pcA", "-", std::to_string(row.rounds)}));
    }
}

TEST_F(ConsoleListenTest, ATerminationRequestEndsAListenWithoutTime)
{
    WriteSettings("40000", "");
    for (const Arguments& arguments : {Arguments{"/C", "/L"}, Arguments{"/C", "/L", "0"}}) {
        SCOPED_TRACE(arguments.size());
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        for (const int fd : {STDOUT_FILENO, STDERR_FILENO})
            posix_spawn_file_actions_addopen(&actions, fd, "/dev/null", O_WRONLY, 0);
        const pid_t pid = program_.Spawn(arguments, &actions, nullptr);
        posix_spawn_file_actions_destroy(&actions);
        EXPECT_TRUE(WaitForUdpPort(40000));
        WakeFromPeer(40000, 1);
        // Time to take the packet in before the request ends the listening.
        std::this_thread::sleep_for(500ms);
        const auto stopped = std::chrono::steady_clock::now();
        kill(pid, arguments.size() == 2 ? SIGTERM : SIGINT);
        EXPECT_EQ(test::WaitExitCode(pid), 0);
        EXPECT_LT(std::chrono::steady_clock::now() - stopped, 2s);
    }
}

} // namespace
} // namespace pondel
