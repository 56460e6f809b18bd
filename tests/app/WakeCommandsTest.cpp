#include "WakeCommands.h"

#include <algorithm>
#include <cerrno>
#include <mutex>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "FakeWindowSide.h"
#include "Ipv4Text.h"
#include "MagicPacket.h"
#include "TestNetwork.h"

namespace pondel {
namespace {

using namespace std::chrono_literals;

using FakeWindow = test::FakeWindowSide;

// The hosts of the tests; ALPHA and GAMMA are in 203.0.113/24, which the
// fake network counts as another network. EPSILON's SecureOn password does
// not read, and ZETA's interface name is none.
HostList TestHosts()
{
    HostList hosts;
    hosts.Append(MakeHostInfo("ALPHA", "", "203.0.113.7", "255.255.255.0", "02:00:00:00:00:07"));
    hosts.Append(MakeHostInfo("BETA", "", "192.0.2.8", "", "02:00:00:00:00:08"));
    hosts.Append(MakeHostInfo("GAMMA", "", "203.0.113.9", "255.255.255.0", ""));
    hosts.Append(MakeHostInfo("DELTA", "", "192.0.2.10", "255.255.255.0", "02:00:00:00:00:0a"));
    tHostInfo epsilon =
        MakeHostInfo("EPSILON", "", "192.0.2.11", "255.255.255.0", "02:00:00:00:00:0b");
    SetField(epsilon.secureOn, "not a password");
    hosts.Append(epsilon);
    tHostInfo zeta = MakeHostInfo("ZETA", "", "192.0.2.12", "255.255.255.0", "02:00:00:00:00:0c");
    SetField(zeta.interfaceName, "../eth0");
    hosts.Append(zeta);
    return hosts;
}

// A line of a report.
WakeSendLine Line(WakePath path, WakeSendState state, int error = 0, std::string reason = {})
{
    WakeSendLine line;
    line.path = path;
    line.state = state;
    line.systemError = error;
    line.reason = std::move(reason);
    return line;
}

class WakeCommandsTest : public testing::Test {
protected:
    WakeContext Context() { return {hosts_, settings_, locks_, current_, window_, network_}; }

    // The three steps of the window's wake-up, one after the other.
    WakeBatch Wake(const std::vector<std::int32_t>& rows, bool broadcast)
    {
        WakeContext context = Context();
        WakeBatch batch = PrepareWake(rows, broadcast, context);
        SendWakeBatch(batch, network_);
        FinishWake(batch, context);
        return batch;
    }

    // Records what would be sent and answers with `lines_`; the fake
    // network counts 203.0.113.x as another network.
    WakeNetwork MakeNetwork()
    {
        WakeNetwork network;
        network.sendWake = [this](const WakeRequest& request, std::stop_token) {
            const bool broadcast = (request.paths & PathBit(WakePath::kDirectedBroadcast)) != 0;
            std::string sent = IpToText(request.ip) + " " + IpToText(request.netMask) + " " +
                FormatMacAddress(request.mac) + (broadcast ? " broadcast" : " host");
            for (const std::uint16_t port : request.ports)
                sent += " " + std::to_string(port);
            const std::scoped_lock lock(sentLock_);
            sent_.push_back(sent);
            return WakeReport{lines_};
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
    std::mutex sentLock_;
    std::vector<std::string> sent_;
    std::vector<WakeSendLine> lines_{Line(WakePath::kDirectedBroadcast, WakeSendState::kSent)};
    WakeNetwork network_ = MakeNetwork();
};

TEST_F(WakeCommandsTest, NothingSelectedAsksForAHostAndDuringASweepNothingHappens)
{
    (void)Wake({}, true);
    EXPECT_EQ(window_.calls, std::vector<std::string>{"message 108"});

    window_.calls.clear();
    locks_.SetCollectRunning(true);
    (void)Wake({3}, true);
    EXPECT_TRUE(window_.calls.empty());
    EXPECT_TRUE(sent_.empty());
}

TEST_F(WakeCommandsTest, RowsGoInListOrderAndSeveralAreRecheckedByAPass)
{
    settings_.portNo = 65545; // taken as a 16-bit port, as the socket address holds it
    (void)Wake({3, 1}, false);
    std::ranges::sort(sent_); // the hosts go out side by side
    EXPECT_EQ(sent_,
        (std::vector<std::string>{"192.0.2.10 255.255.255.0 02:00:00:00:00:0A host 9",
            "192.0.2.8 255.255.0.0 02:00:00:00:00:08 host 9"}));
    EXPECT_EQ(window_.calls, (std::vector<std::string>{"default 1", "pass", "update"}));
    EXPECT_EQ(window_.watched, (std::vector<std::int32_t>{1, 3}));
    EXPECT_EQ(current_.hostName, "DELTA");
}

TEST_F(WakeCommandsTest, AnAssumedNetmaskStaysInCurrentHostAndNotInTheRecord)
{
    (void)Wake({1}, true);
    EXPECT_EQ(window_.calls, (std::vector<std::string>{"default 1", "recheck 1", "update"}));
    EXPECT_EQ(current_.netMask, "255.255.0.0");
    EXPECT_EQ(current_.ipAddr, "192.0.2.8");
    EXPECT_EQ(current_.comment, "kept comment");
    EXPECT_STREQ(hosts_[1].netMask, "");
}

// Every row that can be woken is woken; what could not be is told once at
// the end, a single row by its own message, several in one list. A host
// fails only when nothing at all went out for it.
TEST_F(WakeCommandsTest, EveryWakeableRowIsWokenAndFailuresAreToldOnce)
{
    const std::string unreachable = "sendto(): Network is unreachable";
    const WakeSendLine sent = Line(WakePath::kDirectedBroadcast, WakeSendState::kSent);
    const WakeSendLine failed =
        Line(WakePath::kDirectedBroadcast, WakeSendState::kFailed, ENETUNREACH, "any text");
    const WakeSendLine skipped =
        Line(WakePath::kRawFrame, WakeSendState::kSkipped, 0, "no packet socket");
    struct Case {
        const char* what;
        std::vector<std::int32_t> rows;
        bool askOtherNetwork;
        bool answer;
        std::vector<WakeSendLine> lines;
        std::size_t sent;
        std::vector<std::string> calls;
    };
    const std::vector<Case> cases{
        {"a row without MAC in the middle", {1, 2, 3}, false, true, {sent}, 2,
            {"failures GAMMA:111", "default 1", "pass", "update"}},
        {"a lone row without MAC is refused before anything is remembered", {2}, false, true,
            {sent}, 0, {"message 111"}},
        {"an unreadable SecureOn password is refused but counts as tried", {4}, false, true, {sent},
            0, {"message 140", "default 4", "recheck 4", "update"}},
        {"No to the other-network question skips that host only", {0, 1}, true, false, {sent}, 1,
            {"ask ALPHA(203.0.113.7) 109", "default 0", "pass", "update"}},
        {"Yes sends", {0, 1}, true, true, {sent}, 2,
            {"ask ALPHA(203.0.113.7) 109", "default 0", "pass", "update"}},
        {"nobody is asked without the option", {0}, false, false, {sent}, 1,
            {"default 0", "recheck 0", "update"}},
        {"a failed send goes on to the next row", {1, 3}, false, true, {failed}, 2,
            {"failures BETA:" + unreachable + " DELTA:" + unreachable, "default 1", "pass",
                "update"}},
        {"a lone failed send shows the system's reason", {1}, false, true, {failed}, 1,
            {"text " + unreachable, "default 1", "recheck 1", "update"}},
        {"one path that went out is a wake-up", {1}, false, true, {failed, skipped, sent}, 1,
            {"default 1", "recheck 1", "update"}},
        {"only skipped paths tell the reason", {1}, false, true, {skipped}, 1,
            {"text no packet socket", "default 1", "recheck 1", "update"}},
        {"refusals and failed sends are told in list order", {2, 3, 4}, false, true, {failed}, 1,
            {"failures GAMMA:111 DELTA:" + unreachable + " EPSILON:140", "default 2", "pass",
                "update"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        settings_.checkNetworkSegment = c.askOtherNetwork ? 1 : 0;
        window_.answer = c.answer;
        lines_ = c.lines;
        window_.calls.clear();
        sent_.clear();
        (void)Wake(c.rows, true);
        EXPECT_EQ(sent_.size(), c.sent);
        EXPECT_EQ(window_.calls, c.calls);
        // Only rows whose packet went out are watched.
        const bool anySent = std::ranges::any_of(
            c.lines, [](const WakeSendLine& line) { return line.state == WakeSendState::kSent; });
        if (!anySent) {
            EXPECT_TRUE(window_.watched.empty());
        }
        window_.watched.clear();
    }
}

// The request of a host from its record and the settings.
TEST_F(WakeCommandsTest, RequestsFollowTheSettingsAndTheHost)
{
    SetField(hosts_[3].interfaceName, "eth1");
    SetField(hosts_[3].secureOn, "01-02-03-04-05-06");
    struct Case {
        const char* what;
        bool broadcast;
        std::uint32_t wakePaths;
        std::string extraPorts;
        std::uint32_t repeats;
        WakePathSet paths;
        std::vector<std::uint16_t> ports;
        unsigned rounds;
    };
    const WakePathSet directed = PathBit(WakePath::kDirectedBroadcast);
    const WakePathSet unicast = PathBit(WakePath::kUnicast);
    const std::vector<Case> cases{
        {"the defaults: one datagram on PORT_NO", true, 0, "", 1, directed, {7}, 1},
        {"without broadcast, to the host", false, 0, "", 1, unicast, {7}, 1},
        {"every path, extra ports once each", true, kExtraWakePaths, "9, 7,4000", 3,
            directed | kExtraWakePaths, {7, 9, 4000}, 3},
        {"unknown path bits and bad ports are left out", false, 0xFF00 | unicast, "9,x,70000,12", 1,
            unicast, {7, 9, 12}, 1},
        {"a repeat count out of range is brought into it", true, 0, "", 99, directed, {7}, 10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        settings_.wakePaths = c.wakePaths;
        settings_.wakeExtraPorts = c.extraPorts;
        settings_.wakeRepeatCount = c.repeats;
        settings_.wakeRepeatInterval = 250;
        WakeContext context = Context();
        const WakeBatch batch = PrepareWake({3}, c.broadcast, context);
        ASSERT_EQ(batch.hosts.size(), 1u);
        const WakeRequest& request = batch.hosts[0].request;
        EXPECT_EQ(request.paths, c.paths);
        EXPECT_EQ(request.ports, c.ports);
        EXPECT_EQ(request.repeats, c.rounds);
        EXPECT_EQ(request.interval, 250ms);
        EXPECT_EQ(request.interfaceName, "eth1");
        EXPECT_EQ(request.secureOn, (SecureOnPassword{1, 2, 3, 4, 5, 6}));
        EXPECT_EQ(
            IpToText(request.ip) + "/" + IpToText(request.netMask), "192.0.2.10/255.255.255.0");
    }
}

// The end of a wake-up finds its hosts in a list that changed meanwhile.
TEST_F(WakeCommandsTest, TheEndFollowsAHostThatMovedAndDropsOneThatWent)
{
    WakeContext context = Context();
    WakeBatch batch = PrepareWake({3}, true, context);
    {
        const ListChangeLock lock(locks_);
        hosts_.RemoveAt(0); // DELTA is row 2 now
    }
    SendWakeBatch(batch, network_);
    FinishWake(batch, context);
    EXPECT_EQ(window_.calls, (std::vector<std::string>{"default 2", "recheck 2", "update"}));

    window_.calls.clear();
    batch = PrepareWake({2}, true, context);
    {
        const ListChangeLock lock(locks_);
        hosts_.RemoveAt(2);
    }
    SendWakeBatch(batch, network_);
    FinishWake(batch, context);
    EXPECT_EQ(window_.calls, (std::vector<std::string>{"update"}));

    // A collection that began meanwhile holds the list: nothing is looked up.
    window_.calls.clear();
    batch = PrepareWake({0, 2}, true, context); // BETA and EPSILON
    locks_.SetCollectRunning(true);
    SendWakeBatch(batch, network_);
    FinishWake(batch, context);
    EXPECT_EQ(window_.calls, (std::vector<std::string>{"failures EPSILON:140", "pass", "update"}));
}

TEST(WakeSummaryTest, CountsPacketsPathsAndWhatDidNotGo)
{
    WakeBatch batch;
    batch.hosts.resize(1);
    batch.hosts[0].key.hostName = "pc1";
    batch.hosts[0].report.lines = {Line(WakePath::kDirectedBroadcast, WakeSendState::kSent),
        Line(WakePath::kDirectedBroadcast, WakeSendState::kSent),
        Line(WakePath::kIpv6AllNodes, WakeSendState::kSent),
        Line(WakePath::kRawFrame, WakeSendState::kSkipped),
        Line(WakePath::kUnicast, WakeSendState::kNotDelivered)};
    WakeSummary summary = SummarizeWake(batch);
    EXPECT_EQ(summary.hostName, "pc1");
    EXPECT_EQ((std::vector<std::size_t>{
                  summary.hosts, summary.sent, summary.paths, summary.skipped, summary.failed}),
        (std::vector<std::size_t>{1, 3, 2, 1, 1}));
    batch.hosts.push_back(batch.hosts[0]);
    summary = SummarizeWake(batch);
    EXPECT_EQ(summary.hostName, "");
    EXPECT_EQ((std::vector<std::size_t>{summary.hosts, summary.sent, summary.paths}),
        (std::vector<std::size_t>{2, 6, 2}));
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
        WakeBatch batch = PrepareWake({0}, broadcast, context);
        SendWakeBatch(batch, context.network);
        FinishWake(batch, context);
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
