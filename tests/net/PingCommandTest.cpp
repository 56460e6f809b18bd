#include "net/Icmp.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <linux/capability.h>

#include <gtest/gtest.h>

#include "TestNetwork.h"

namespace pondel {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using test::TestNetwork;

constexpr const char* kAnsweringHost = "198.51.100.20";
constexpr const char* kSilentHost = "203.0.113.20";

class PingNetworkTest : public testing::Test {
protected:
    void SetUp() override
    {
        network_.AddPeer(
            {"198.51.100.1", 24, "02:00:00:00:04:01"}, {kAnsweringHost, 24, "02:00:00:00:04:02"});
        const auto& silent = network_.AddPeer(
            {"203.0.113.1", 24, "02:00:00:00:05:01"}, {kSilentHost, 24, "02:00:00:00:05:02"});
        test::WriteSysctl(silent.ns, "net/ipv4/icmp_echo_ignore_all", "1");
    }

    TestNetwork network_;
};

// Puts a stand-in `ping` first on PATH that records its arguments, one a
// line, and reports a reply.
class FakePing final {
public:
    FakePing()
    {
        char pattern[] = "/tmp/pondel-ping-XXXXXX";
        if (mkdtemp(pattern) == nullptr)
            throw std::runtime_error("cannot make a directory for the fake ping");
        directory_ = pattern;
        log_ = directory_ / "arguments";
        const auto script = directory_ / "ping";
        std::ofstream(script) << "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done >> '"
                              << log_.string() << "'\n";
        std::filesystem::permissions(script, std::filesystem::perms::owner_all);
        const char* path = std::getenv("PATH");
        savedPath_ = path != nullptr ? path : "";
        setenv("PATH", directory_.c_str(), 1);
    }
    ~FakePing()
    {
        setenv("PATH", savedPath_.c_str(), 1);
        std::filesystem::remove_all(directory_);
    }
    FakePing(const FakePing&) = delete;
    FakePing& operator=(const FakePing&) = delete;

    // Every argument of every run so far; the log is emptied.
    std::vector<std::string> TakeArguments()
    {
        std::vector<std::string> arguments;
        std::ifstream log(log_);
        for (std::string line; std::getline(log, line);)
            arguments.push_back(line);
        std::filesystem::remove(log_);
        return arguments;
    }

private:
    std::filesystem::path directory_;
    std::filesystem::path log_;
    std::string savedPath_;
};

TEST(PingCommandLineTest, OneEchoWithTheWaitInSecondsAndTheTargetLast)
{
    FakePing ping;
    EXPECT_EQ(PingCommand(kAnsweringHost, 1500), 0);
    EXPECT_EQ(ping.TakeArguments(),
        (std::vector<std::string>{"-c", "1", "-n", "-W", "1.500", "--", kAnsweringHost}));
    EXPECT_EQ(PingCommand("host.example", 30), 0);
    EXPECT_EQ(ping.TakeArguments(),
        (std::vector<std::string>{"-c", "1", "-n", "-W", "0.030", "--", "host.example"}));
    // No wait at all would leave ping nothing to wait for.
    EXPECT_EQ(PingCommand(kAnsweringHost, 0), 0);
    EXPECT_EQ(ping.TakeArguments().at(4), "0.001");
}

TEST(PingCommandLineTest, TargetsThatReadAsOptionsRunNothing)
{
    FakePing ping;
    for (const char* target : {"", "-c 5", "-f", "--help"})
        EXPECT_EQ(PingCommand(target, 30), -1) << '"' << target << '"';
    EXPECT_EQ(PingCommand(std::string_view("\0-x", 3), 30), -1);
    EXPECT_TRUE(ping.TakeArguments().empty());
}

TEST_F(PingNetworkTest, AnsweringHostIsSeen)
{
    EXPECT_EQ(PingCommand(kAnsweringHost, 2000), 0);
}

TEST_F(PingNetworkTest, SilentHostFailsAfterTheWait)
{
    const auto start = Clock::now();
    EXPECT_EQ(PingCommand(kSilentHost, 300), -1);
    const auto elapsed = Clock::now() - start;
    EXPECT_GE(elapsed, 250ms);
    EXPECT_LT(elapsed, 2500ms);
}

TEST_F(PingNetworkTest, ShellTextIsNeverRun)
{
    const bool existedBefore = std::filesystem::exists("/tmp/pwned");
    EXPECT_EQ(PingCommand("; touch /tmp/pwned", 300), -1);
    EXPECT_EQ(PingCommand("198.51.100.20; touch /tmp/pwned", 300), -1);
    if (!existedBefore) {
        EXPECT_FALSE(std::filesystem::exists("/tmp/pwned"));
    }
}

AppSettings Settings(bool noExternalCommand)
{
    AppSettings settings;
    settings.noExternalCommand = noExternalCommand ? 1 : 0;
    settings.icmpTimeOut = 300;
    return settings;
}

TEST_F(PingNetworkTest, ProbeHostTellsLiveFromDeadInBothModes)
{
    for (const bool ownEcho : {false, true}) {
        SCOPED_TRACE(ownEcho ? "NO_EXTERNAL_COMMAND set" : "NO_EXTERNAL_COMMAND clear");
        EXPECT_EQ(ProbeHost(kAnsweringHost, Settings(ownEcho)), 1);
        EXPECT_EQ(ProbeHost(kSilentHost, Settings(ownEcho)), 0);
        EXPECT_EQ(ProbeHost("no-such-host.invalid", Settings(ownEcho)), 0);
    }
}

TEST_F(PingNetworkTest, ProbeHostUsesItsOwnEchoOnlyWhenTheOptionIsSet)
{
    // The stand-in ping answers for every host, so its use shows.
    FakePing ping;
    EXPECT_EQ(ProbeHost(kSilentHost, Settings(false)), 1);
    EXPECT_FALSE(ping.TakeArguments().empty());
    EXPECT_EQ(ProbeHost(kSilentHost, Settings(true)), 0);
    EXPECT_TRUE(ping.TakeArguments().empty());
}

TEST_F(PingNetworkTest, ProbeHostFallsBackToPingWithoutAnIcmpSocket)
{
    test::WriteSysctl("", "net/ipv4/ping_group_range", "1 0");
    const int live = test::RunWithoutCapability(
        CAP_NET_RAW, [] { return ProbeHost(kAnsweringHost, Settings(true)); });
    EXPECT_EQ(live, 1);
    FakePing ping;
    const int silent = test::RunWithoutCapability(
        CAP_NET_RAW, [] { return ProbeHost(kSilentHost, Settings(true)); });
    EXPECT_EQ(silent, 1);
    EXPECT_FALSE(ping.TakeArguments().empty());
}

} // namespace
} // namespace pondel
