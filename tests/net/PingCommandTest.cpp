#include "Icmp.h"

#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

#include <linux/capability.h>

#include <gtest/gtest.h>

#include "TemporaryDirectory.h"
#include "TestNetwork.h"

namespace pondel {
namespace {

using namespace std::literals;

// A stand-in `ping` first on PATH answers for every host and logs the
// arguments of each run on a line.
class PingCommandTest : public testing::Test {
protected:
    void SetUp() override
    {
        WriteTextFile(
            fake_ / "ping", "#!/bin/sh\necho \"$*\" >> '" + (fake_ / "log").string() + "'\n");
        std::filesystem::permissions(fake_ / "ping", std::filesystem::perms::owner_all);
        const char* path = std::getenv("PATH");
        savedPath_ = path != nullptr ? path : "";
        setenv("PATH", fake_.Path().c_str(), 1);
    }
    void TearDown() override { setenv("PATH", savedPath_.c_str(), 1); }

    std::string FakeRuns() const { return ReadTextFile(fake_ / "log"); }

    TemporaryDirectory fake_;
    std::string savedPath_;
};

// Shell texts and option texts as host names are BadInputTest's
// (HostTextArgumentsTest); here the empty target and one hidden behind a NUL.
TEST_F(PingCommandTest, TargetsThatWouldReadAsOptionsRunNothing)
{
    for (const std::string_view target : {""sv, "-c 5"sv, "-f"sv, "--help"sv, "\0-x"sv})
        EXPECT_EQ(PingCommand(target, 30), -1) << target;
    EXPECT_EQ(FakeRuns(), "");
}

TEST_F(PingCommandTest, OneEchoWithTheWaitInSecondsAndProbeHostUsesItUnlessItsOwnEchoCan)
{
    EXPECT_EQ(PingCommand("198.51.100.20", 1500), 0);
    // No wait at all would leave ping nothing to wait for.
    EXPECT_EQ(PingCommand("198.51.100.20", 0), 0);
    // Nobody answers our own echo in this namespace.
    EXPECT_EQ(ProbeHost("203.0.113.20", 300, ProbeMethod::kSystemPing), 1);
    EXPECT_EQ(ProbeHost("203.0.113.20", 300, ProbeMethod::kOwnEcho), 0);
    test::WriteSysctl("", "net/ipv4/ping_group_range", "1 0");
    const int withoutIcmpSocket = test::RunWithoutCapability(
        CAP_NET_RAW, [] { return ProbeHost("203.0.113.20", 300, ProbeMethod::kOwnEcho); });
    EXPECT_EQ(withoutIcmpSocket, 1);
    EXPECT_EQ(FakeRuns(),
        "-4 -c 1 -n -W 1.500 -- 198.51.100.20\n-4 -c 1 -n -W 0.001 -- 198.51.100.20\n"
        "-4 -c 1 -n -W 0.300 -- 203.0.113.20\n-4 -c 1 -n -W 0.300 -- 203.0.113.20\n");
}

} // namespace
} // namespace pondel
