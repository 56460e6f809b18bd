#include "Icmp.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>

#include <linux/capability.h>

#include <gtest/gtest.h>

#include "TemporaryDirectory.h"
#include "TestNetwork.h"

namespace pondel {
namespace {

using namespace std::literals;

constexpr const char* kAnsweringHost = "198.51.100.20";
constexpr const char* kSilentHost = "203.0.113.20";

int Probe(const char* target, ProbeMethod method)
{
    return ProbeHost(target, 300, method);
}

// A peer that answers echoes and one whose kernel does not. UseFakePing puts
// a stand-in `ping` first on PATH that answers for every host and logs the
// arguments of each run on a line.
class PingCommandTest : public testing::Test {
protected:
    void SetUp() override
    {
        network_.AddPeer(
            {"198.51.100.1", 24, "02:00:00:00:04:01"}, {kAnsweringHost, 24, "02:00:00:00:04:02"});
        const auto& silent = network_.AddPeer(
            {"203.0.113.1", 24, "02:00:00:00:05:01"}, {kSilentHost, 24, "02:00:00:00:05:02"});
        test::WriteSysctl(silent.ns, "net/ipv4/icmp_echo_ignore_all", "1");
    }
    void TearDown() override
    {
        if (fake_.empty())
            return;
        setenv("PATH", savedPath_.c_str(), 1);
        std::filesystem::remove_all(fake_);
    }

    void UseFakePing()
    {
        char pattern[] = "/tmp/pondel-ping-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        fake_ = pattern;
        std::ofstream(fake_ / "ping")
            << "#!/bin/sh\necho \"$*\" >> '" << (fake_ / "log").string() << "'\n";
        std::filesystem::permissions(fake_ / "ping", std::filesystem::perms::owner_all);
        const char* path = std::getenv("PATH");
        savedPath_ = path != nullptr ? path : "";
        setenv("PATH", fake_.c_str(), 1);
    }

    std::string FakeRuns() const
    {
        std::ostringstream runs;
        runs << std::ifstream(fake_ / "log").rdbuf();
        return runs.str();
    }

    test::TestNetwork network_;
    std::filesystem::path fake_;
    std::string savedPath_;
};

TEST_F(PingCommandTest, HostileTargetsRunNothing)
{
    // No shell ever sees the target, and ping cannot resolve shell text.
    const TemporaryDirectory folder;
    const std::string marker = (folder / "pwned").string();
    EXPECT_EQ(PingCommand("; touch " + marker, 300), -1);
    EXPECT_EQ(PingCommand("198.51.100.20; touch " + marker, 300), -1);
    EXPECT_EQ(PingCommand("$(touch " + marker + ")", 300), -1);
    EXPECT_FALSE(std::filesystem::exists(marker));
    // Targets that would read as options never reach ping.
    UseFakePing();
    for (const std::string_view target : {""sv, "-c 5"sv, "-f"sv, "--help"sv, "\0-x"sv})
        EXPECT_EQ(PingCommand(target, 30), -1) << target;
    EXPECT_EQ(FakeRuns(), "");
}

// With NO_EXTERNAL_COMMAND set, IcmpEchoTest shows this on both kinds of socket.
TEST_F(PingCommandTest, ProbeHostThroughPingTellsLiveFromDead)
{
    EXPECT_EQ(Probe(kAnsweringHost, ProbeMethod::kSystemPing), 1);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Probe(kSilentHost, ProbeMethod::kSystemPing), 0);
    EXPECT_GE(std::chrono::steady_clock::now() - start, 250ms);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 2500ms);
}

TEST_F(PingCommandTest, OneEchoWithTheWaitInSecondsAndProbeHostUsesItUnlessItsOwnEchoCan)
{
    // The stand-in answers for every host, so its use shows.
    UseFakePing();
    EXPECT_EQ(PingCommand(kAnsweringHost, 1500), 0);
    // No wait at all would leave ping nothing to wait for.
    EXPECT_EQ(PingCommand(kAnsweringHost, 0), 0);
    EXPECT_EQ(Probe(kSilentHost, ProbeMethod::kSystemPing), 1);
    EXPECT_EQ(Probe(kSilentHost, ProbeMethod::kOwnEcho), 0);
    test::WriteSysctl("", "net/ipv4/ping_group_range", "1 0");
    const int withoutIcmpSocket = test::RunWithoutCapability(
        CAP_NET_RAW, [] { return Probe(kSilentHost, ProbeMethod::kOwnEcho); });
    EXPECT_EQ(withoutIcmpSocket, 1);
    EXPECT_EQ(FakeRuns(),
        "-4 -c 1 -n -W 1.500 -- 198.51.100.20\n-4 -c 1 -n -W 0.001 -- 198.51.100.20\n"
        "-4 -c 1 -n -W 0.300 -- 203.0.113.20\n-4 -c 1 -n -W 0.300 -- 203.0.113.20\n");
}

} // namespace
} // namespace pondel
