#include "WakeCommands.h"

#include <cerrno>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "FakeWindowSide.h"
#include "MagicPacket.h"
#include "TestNetwork.h"

namespace pondel {
namespace {

using namespace std::chrono_literals;

using FakeWindow = test::FakeWindowSide;

// The hosts of the tests; ALPHA and GAMMA are in 203.0.113/24, which the
// fake network counts as another network.
HostList TestHosts()
{
    HostList hosts;
    hosts.Append(MakeHostInfo("ALPHA", "", "203.0.113.7", "255.255.255.0", "02:00:00:00:00:07"));
    hosts.Append(MakeHostInfo("BETA", "", "192.0.2.8", "", "02:00:00:00:00:08"));
    hosts.Append(MakeHostInfo("GAMMA", "", "203.0.113.9", "255.255.255.0", ""));
    hosts.Append(MakeHostInfo("DELTA", "", "192.0.2.10", "255.255.255.0", "02:00:00:00:00:0a"));
    return hosts;
}

class WakeCommandsTest : public testing::Test {
protected:
    WakeContext Context() { return {hosts_, settings_, locks_, current_, window_, network_}; }

    // Records what would be sent; the fake network counts 203.0.113.x as
    // another network.
    WakeNetwork MakeNetwork()
    {
        WakeNetwork network;
        network.sendMagicPacket = [this](std::string_view ip, std::string_view netMask,
                                      std::string_view mac, bool broadcast, std::uint16_t port) {
            sent_.push_back(std::string(ip) + " " + std::string(netMask) + " " + std::string(mac) +
                (broadcast ? " broadcast " : " host ") + std::to_string(port));
            return sendOutcome_;
        };
        network.netMaskOf = [](std::uint32_t) { return 0xFFFF0000u; };
        network.isOnLocalNetwork = [](std::uint32_t address, std::uint32_t) {
            return (address >> 8) != 0xCB0071u;
        };
        return network;
    }

    HostList hosts_ = TestHosts();
    AppSettings settings_;
    ListLocks locks_;
    HostTexts current_{"old", "kept comment", "", "", ""};
    FakeWindow window_;
    std::vector<std::string> sent_;
    WakeSendOutcome sendOutcome_;
    WakeNetwork network_ = MakeNetwork();
};

TEST_F(WakeCommandsTest, NothingSelectedAsksForAHostAndDuringASweepNothingHappens)
{
    WakeContext context = Context();
    WakeSelectedHosts({}, true, context);
    EXPECT_EQ(window_.calls, std::vector<std::string>{"message 108"});

    window_.calls.clear();
    locks_.SetCollectRunning(true);
    WakeSelectedHosts({3}, true, context);
    EXPECT_TRUE(window_.calls.empty());
    EXPECT_TRUE(sent_.empty());
}

TEST_F(WakeCommandsTest, RowsGoInListOrderAndSeveralAreRecheckedByAPass)
{
    settings_.portNo = 65545; // taken as a 16-bit port, as the socket address holds it
    WakeContext context = Context();
    WakeSelectedHosts({3, 1}, false, context);
    EXPECT_EQ(sent_,
        (std::vector<std::string>{"192.0.2.8 255.255.0.0 02:00:00:00:00:08 host 9",
            "192.0.2.10 255.255.255.0 02:00:00:00:00:0a host 9"}));
    EXPECT_EQ(window_.calls, (std::vector<std::string>{"default 1", "pass", "update"}));
    EXPECT_EQ(window_.watched, (std::vector<std::int32_t>{1, 3}));
    EXPECT_EQ(current_.hostName, "DELTA");
}

TEST_F(WakeCommandsTest, AnAssumedNetmaskStaysInCurrentHostAndNotInTheRecord)
{
    WakeContext context = Context();
    WakeSelectedHosts({1}, true, context);
    EXPECT_EQ(window_.calls, (std::vector<std::string>{"default 1", "recheck 1", "update"}));
    EXPECT_EQ(current_.netMask, "255.255.0.0");
    EXPECT_EQ(current_.ipAddr, "192.0.2.8");
    EXPECT_EQ(current_.comment, "kept comment");
    EXPECT_STREQ(hosts_[1].netMask, "");
}

// Every row that can be woken is woken; what could not be is told once at
// the end, a single row by its own message, several in one list.
TEST_F(WakeCommandsTest, EveryWakeableRowIsWokenAndFailuresAreToldOnce)
{
    const std::string unreachable = "sendto(): Network is unreachable";
    struct Case {
        const char* what;
        std::vector<std::int32_t> rows;
        bool askOtherNetwork;
        bool answer;
        WakeSendOutcome outcome;
        std::size_t sent;
        std::vector<std::string> calls;
    };
    const std::vector<Case> cases{
        {"a row without MAC in the middle", {1, 2, 3}, false, true, {}, 2,
            {"failures GAMMA:111", "default 1", "pass", "update"}},
        {"a lone row without MAC is refused before anything is remembered", {2}, false, true, {}, 0,
            {"message 111"}},
        {"No to the other-network question skips that host only", {0, 1}, true, false, {}, 1,
            {"ask ALPHA(203.0.113.7) 109", "default 0", "pass", "update"}},
        {"Yes sends", {0, 1}, true, true, {}, 2,
            {"ask ALPHA(203.0.113.7) 109", "default 0", "pass", "update"}},
        {"nobody is asked without the option", {0}, false, false, {}, 1,
            {"default 0", "recheck 0", "update"}},
        {"a failed send goes on to the next row", {1, 3}, false, true,
            {kMagicPacketSendFailed, ENETUNREACH}, 2,
            {"failures BETA:" + unreachable + " DELTA:" + unreachable, "default 1", "pass",
                "update"}},
        {"a lone failed send shows the system's reason", {1}, false, true,
            {kMagicPacketSendFailed, ENETUNREACH}, 1,
            {"text " + unreachable, "default 1", "recheck 1", "update"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        settings_.checkNetworkSegment = c.askOtherNetwork ? 1 : 0;
        window_.answer = c.answer;
        sendOutcome_ = c.outcome;
        window_.calls.clear();
        sent_.clear();
        WakeContext context = Context();
        WakeSelectedHosts(c.rows, true, context);
        EXPECT_EQ(sent_.size(), c.sent);
        EXPECT_EQ(window_.calls, c.calls);
        // Only rows whose packet went out are watched.
        if (c.outcome.status != kMagicPacketSent) {
            EXPECT_TRUE(window_.watched.empty());
        }
        window_.watched.clear();
    }
}

// On a real link: one datagram of 102 bytes on PORT_NO, to the directed
// broadcast address, or without broadcast to the host itself whatever
// NON_BROADCAST_DFLT says.
TEST(WakeCommandsWireTest, BroadcastGoesToTheNetworkAndNonBroadcastToTheHost)
{
    test::TestNetwork network;
    const auto& peer = network.AddPeer({"198.51.100.1", 24, ""}, {"198.51.100.20", 24, ""});
    test::DatagramSink sink(peer.ns, 40009);
    HostList hosts;
    hosts.Append(MakeHostInfo("PEER", "", "198.51.100.20", "255.255.255.0", "02:00:00:00:00:20"));
    AppSettings settings;
    settings.portNo = 40009;
    settings.nonBroadcastDflt = 1;
    ListLocks locks;
    HostTexts current;
    FakeWindow window;
    WakeContext context{hosts, settings, locks, current, window};
    const auto destination = [&](bool broadcast) {
        WakeSelectedHosts({0}, broadcast, context);
        const auto received = sink.ReceiveAll(300ms);
        return received.size() == 1 && received[0].payload.size() == 102 ? received[0].destinationIp
                                                                         : "none or more";
    };
    EXPECT_EQ(destination(true), "198.51.100.255");
    settings.nonBroadcastDflt = 0;
    EXPECT_EQ(destination(false), "198.51.100.20");
    // Rejected text reads as 255.255.255.255, which needs SO_BROADCAST; the
    // default route would take it to the peer.
    test::MustRun({"ip", "route", "add", "default", "via", "198.51.100.20"});
    const MagicPacketOutcome limited =
        SendMagicPacket("not an address", "", "001122334455", false, 40009);
    EXPECT_EQ(limited.status, -5);
    EXPECT_EQ(limited.systemError, EACCES);
    EXPECT_TRUE(sink.ReceiveAll(200ms, 200ms).empty());
}

} // namespace
} // namespace pondel
