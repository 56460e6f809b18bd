#include "AddressSweep.h"

#include <algorithm>
#include <chrono>
#include <functional>
#include <map>
#include <set>
#include <optional>
#include <string>
#include <vector>

#include <sched.h>
#include <sys/socket.h>

#include <gtest/gtest.h>

#include "FakeProbes.h"
#include "Ipv4Text.h"
#include "TestNetwork.h"

namespace pondel {
namespace {

using namespace std::chrono_literals;
using test::Events;

// Notifications as "code:parameter" with the window's codes. When a sweep
// ends, what the window would then see: sweep running, sweep flag, pass
// abort flag, list locked, as "0000" when all is free.
class Listener final : public AddressSweepListener, public test::EventLog {
public:
    explicit Listener(ListLocks& locks)
        : locks_(locks)
    {
    }
    void OnSweepProgress(std::uint32_t address) override
    {
        Add("3:" + IpToText(address));
        if (onProgress)
            onProgress(address);
    }
    void OnSweepDetected(std::int32_t count) override { Add("4:" + std::to_string(count)); }
    void OnSweepFinished(SweepEnd end) override
    {
        const auto code = static_cast<std::int32_t>(end);
        if (code >= 0) {
            const bool free = locks_.ProbeLock.try_lock();
            if (free)
                locks_.ProbeLock.unlock();
            stateAtEnd = {Bit(sweep != nullptr && sweep->IsRunning()),
                Bit(locks_.IsCollectRunning()), Bit(locks_.AbortPass), Bit(!free)};
        }
        Add("5:" + std::to_string(code), code >= 0);
    }

    const AddressSweep* sweep = nullptr;
    std::string stateAtEnd;
    // Called on the sweep thread as each probe starts.
    std::function<void(std::uint32_t)> onProgress;

private:
    static char Bit(bool on) { return on ? '1' : '0'; }
    ListLocks& locks_;
};

CollectRange Range(const char* start, const char* end, std::uint32_t mask = 0xFFFFFF00u)
{
    return {TextToIp(start), TextToIp(end), mask};
}

constexpr ProbeSettings kProbe{30, ProbeMethod::kOwnEcho};

HostList Listed(const std::vector<std::string>& addresses)
{
    HostList hosts;
    for (const std::string& ip : addresses)
        hosts.Append(MakeHostInfo("listed", "kept", ip, "255.255.255.0", "02:00:00:00:00:99"));
    return hosts;
}

Events Addresses(const HostList& hosts)
{
    Events addresses;
    for (const tHostInfo& host : hosts)
        addresses.emplace_back(host.ipAddr);
    return addresses;
}

Events OfKind(const Events& events, char code)
{
    Events kind;
    for (const std::string& event : events) {
        if (event.front() == code)
            kind.push_back(event);
    }
    return kind;
}

std::string Row(const tHostInfo& host)
{
    return std::to_string(host.active) + " " + host.hostName + "|" + host.comment + "|" +
        host.ipAddr + "|" + host.netMask + "|" + host.macAddr;
}

// A sweep over `hosts_` with fake probes; names and MACs come from the maps.
class AddressSweepTest : public testing::Test {
protected:
    AddressSweep& Sweep(std::set<std::string> live, std::chrono::milliseconds probeTime = {})
    {
        probes_.emplace(std::move(live), probeTime);
        const auto find = [](const std::map<std::string, std::string>& table,
                              const std::string& ip) {
            const auto found = table.find(ip);
            return found == table.end() ? std::nullopt : std::optional(found->second);
        };
        sweep_.emplace(hosts_, locks_, listener_,
            SweepServices{probes_->Opener(),
                [this, find](std::uint32_t address) { return find(names_, IpToText(address)); },
                [this, find](std::string_view ip) { return find(macs_, std::string(ip)); }});
        listener_.sweep = &*sweep_;
        return *sweep_;
    }
    // Runs one sweep to its end and gives its notifications.
    Events Run(const CollectRange& range, std::uint32_t maxHostNum = 100)
    {
        EXPECT_TRUE(sweep_->Start(range, kProbe, maxHostNum));
        EXPECT_TRUE(listener_.WaitForEnds(++runs_));
        return listener_.Take();
    }

    HostList hosts_;
    ListLocks locks_;
    Listener listener_{locks_};
    std::map<std::string, std::string> names_;
    std::map<std::string, std::string> macs_;
    std::optional<test::FakeProbes> probes_;
    std::optional<AddressSweep> sweep_;
    int runs_ = 0;
};

TEST_F(AddressSweepTest, AddsTheAnsweringAddressesInOrderAndReportsEachStep)
{
    const std::string longName(200, 'n');
    names_["192.0.2.2"] = longName;
    macs_["192.0.2.2"] = "02:00:00:00:00:02";
    Sweep({"192.0.2.2", "192.0.2.5"});
    EXPECT_EQ(Run(Range("192.0.2.1", "192.0.2.6", 0xFFFFFF80u)),
        (Events{"3:192.0.2.1", "3:192.0.2.2", "4:1", "3:192.0.2.3", "3:192.0.2.4", "3:192.0.2.5",
            "4:2", "3:192.0.2.6", "5:1"}));
    ASSERT_EQ(hosts_.Count(), 2);
    EXPECT_EQ(Row(hosts_[0]),
        "1 " + longName.substr(0, 127) + "||192.0.2.2|255.255.255.128|02:00:00:00:00:02");
    // Neither name nor MAC found: the host is still added.
    EXPECT_EQ(Row(hosts_[1]), "1 ||192.0.2.5|255.255.255.128|");
    EXPECT_EQ(listener_.stateAtEnd, "0000");
}

TEST_F(AddressSweepTest, AListedAddressCountsButOnlyTheSameTextCountsAsListed)
{
    hosts_ = Listed({"192.0.2.5", "192.000.002.006"});
    Sweep({"192.0.2.5", "192.0.2.6"});
    EXPECT_EQ(Run(Range("192.0.2.5", "192.0.2.6")),
        (Events{"3:192.0.2.5", "4:1", "3:192.0.2.6", "4:2", "5:1"}));
    EXPECT_EQ(Addresses(hosts_), (Events{"192.0.2.5", "192.000.002.006", "192.0.2.6"}));
    EXPECT_EQ(std::string(hosts_[0].hostName), "listed");
    // Only listed hosts answer: nothing added.
    EXPECT_EQ(Run(Range("192.0.2.5", "192.0.2.5")), (Events{"3:192.0.2.5", "4:1", "5:0"}));
    EXPECT_EQ(hosts_.Count(), 3);
}

TEST_F(AddressSweepTest, OneAddressIsProbedOnceAndTheTopOfTheSpaceDoesNotWrap)
{
    Sweep({"192.0.2.9"});
    EXPECT_EQ(Run(Range("192.0.2.9", "192.0.2.9")), (Events{"3:192.0.2.9", "4:1", "5:1"}));
    EXPECT_EQ(Run(Range("255.255.255.254", "255.255.255.255")),
        (Events{"3:255.255.255.254", "3:255.255.255.255", "5:0"}));
    // A reversed range reaching the sweep probes nothing.
    EXPECT_EQ(Run(Range("192.0.2.9", "192.0.2.8")), (Events{"5:0"}));
    EXPECT_EQ(probes_->Probed(), (Events{"192.0.2.9", "255.255.255.254", "255.255.255.255"}));
}

TEST_F(AddressSweepTest, StopDuringTheFirstProbeEndsBeforeTheSecondAndKeepsTheFind)
{
    AddressSweep& sweep = Sweep({"192.0.2.1", "192.0.2.2"});
    probes_->HoldAt("192.0.2.1");
    EXPECT_FALSE(sweep.IsRunning());
    ASSERT_TRUE(sweep.Start(Range("192.0.2.1", "192.0.2.9"), kProbe, 100));
    ASSERT_TRUE(probes_->WaitUntilHeld());
    // While it runs, the sweep holds the list and a second one is refused.
    EXPECT_TRUE(sweep.IsRunning());
    EXPECT_TRUE(locks_.IsCollectRunning());
    EXPECT_FALSE(locks_.ProbeLock.try_lock());
    EXPECT_FALSE(locks_.ViewLock.try_lock());
    EXPECT_FALSE(sweep.Start(Range("203.0.113.1", "203.0.113.1"), kProbe, 100));

    sweep.Stop();
    probes_->Release();
    ASSERT_TRUE(listener_.WaitForEnds(1));
    EXPECT_EQ(listener_.Take(), (Events{"3:192.0.2.1", "4:1", "5:-2", "5:1"}));
    EXPECT_EQ(probes_->Probed(), Events{"192.0.2.1"});
    EXPECT_EQ(Addresses(hosts_), Events{"192.0.2.1"});
    EXPECT_EQ(listener_.stateAtEnd, "0000");
}

TEST_F(AddressSweepTest, AStopBeforeTheThreadBeginsIsNotLost)
{
    AddressSweep& sweep = Sweep({"192.0.2.1"});
    {
        // The sweep waits for the list before its first address.
        const std::scoped_lock busy(locks_.ProbeLock);
        ASSERT_TRUE(sweep.Start(Range("192.0.2.1", "192.0.2.9"), kProbe, 100));
        sweep.Stop();
    }
    ASSERT_TRUE(listener_.WaitForEnds(1));
    EXPECT_EQ(listener_.Take(), (Events{"5:-2", "5:0"}));
    EXPECT_TRUE(probes_->Probed().empty());
}

TEST_F(AddressSweepTest, TheRowLimitEndsTheSweepQuietlyBeforeTheNextAddress)
{
    hosts_ = Listed({"198.51.100.1"});
    Sweep({"192.0.2.1", "192.0.2.2", "192.0.2.3", "192.0.2.4"});
    EXPECT_EQ(Run(Range("192.0.2.1", "192.0.2.4"), 3),
        (Events{"3:192.0.2.1", "4:1", "3:192.0.2.2", "4:2", "5:1"}));
    EXPECT_EQ(hosts_.Count(), 3);
    // Already full: nothing is probed.
    EXPECT_EQ(Run(Range("192.0.2.3", "192.0.2.4"), 3), (Events{"5:0"}));
    EXPECT_EQ(probes_->Probed().size(), 2u);
}

TEST_F(AddressSweepTest, DestroyingASweepMidRunWaitsOnlyForTheStepInProgress)
{
    AddressSweep& sweep = Sweep({"192.0.2.1", "192.0.2.2", "192.0.2.3", "192.0.2.4"}, 300ms);
    probes_->HoldAt("192.0.2.3");
    ASSERT_TRUE(sweep.Start(Range("192.0.2.1", "192.0.2.200"), kProbe, 100));
    ASSERT_TRUE(probes_->WaitUntilHeld());
    probes_->Release();
    const auto start = std::chrono::steady_clock::now();
    listener_.sweep = nullptr;
    sweep_.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1500ms);
    EXPECT_EQ(Addresses(hosts_), (Events{"192.0.2.1", "192.0.2.2", "192.0.2.3"}));
    const Events events = listener_.Take();
    ASSERT_GE(events.size(), 2u);
    EXPECT_EQ(Events(events.end() - 2, events.end()), (Events{"5:-2", "5:1"}));
    EXPECT_FALSE(locks_.IsCollectRunning());
}

TEST_F(AddressSweepTest, WithoutAnIcmpSocketOwnEchoEndsAtOnceAndTouchesNothing)
{
    hosts_ = Listed({"192.0.2.1"});
    // Held throughout: the sweep must not need it.
    const std::scoped_lock busy(locks_.ProbeLock);
    test::RunWithSocketsDenied(
        [&] {
            // The sweep thread inherits the calling thread's socket filter.
            AddressSweep sweep(hosts_, locks_, listener_);
            EXPECT_TRUE(sweep.Start(Range("192.0.2.1", "192.0.2.3"), kProbe, 100));
            EXPECT_TRUE(listener_.WaitForEnds(1));
            return 0;
        },
        AF_INET);
    EXPECT_EQ(listener_.Take(), (Events{"5:-1", "5:0"}));
    EXPECT_EQ(Addresses(hosts_), Events{"192.0.2.1"});
    EXPECT_FALSE(locks_.AbortPass);
    EXPECT_FALSE(locks_.IsCollectRunning());
}

// Probes overlap in windows of `width`, the answers of each window coming
// highest address first, as overlapping probes may; the neighbour table
// knows only the host that answered last, as when a long sweep pushes the
// older entries out. Everything runs on the sweep thread; the test reads
// the counts once that thread has ended.
class OverlappingProbes final {
public:
    OverlappingProbes(std::set<std::string> live, std::uint64_t width)
        : live_(std::move(live))
        , width_(width)
    {
    }

    ProbeRunOpener Opener()
    {
        return [this](const ProbeSettings&) -> Result<ProbeRun> {
            return ProbeRun(
                [this](std::uint64_t count, ProbeRunEvents& events) { Run(count, events); });
        };
    }
    std::optional<std::string> MacOf(std::string_view ip) const
    {
        if (ip != lastAnswer_)
            return std::nullopt;
        const std::string octet(ip.substr(ip.rfind('.') + 1));
        return "02:00:00:00:00:" + std::string(2 - octet.size(), '0') + octet;
    }

    std::uint64_t probed = 0;
    int policy = -1; // the scheduling policy of the probing thread

private:
    void Run(std::uint64_t count, ProbeRunEvents& events)
    {
        policy = sched_getscheduler(0);
        for (std::uint64_t first = 0; first < count && !events.ShouldStop(); first += width_) {
            const std::uint64_t end = std::min(count, first + width_);
            for (std::uint64_t index = first; index < end; ++index)
                events.OnProbed(index);
            for (std::uint64_t index = end; index-- > first;) {
                const std::string ip = events.TargetOf(index);
                const bool live = live_.count(ip) != 0;
                lastAnswer_ = live ? ip : lastAnswer_;
                ++probed;
                events.OnAnswer(index, live);
            }
        }
    }

    const std::set<std::string> live_;
    const std::uint64_t width_;
    std::string lastAnswer_;
};

TEST(AddressSweepResultTest, KeepsEachMacAndTheLowestAddressesWhateverTheAnswerOrder)
{
    struct Case {
        const char* what;
        std::set<std::string> live;
        std::uint64_t width;
        std::uint32_t maxHostNum;
        Events found; // "IP MAC" in list order
        std::uint64_t probed;
    };
    const Case cases[] = {
        {"one at a time, room for all", {"192.0.2.2", "192.0.2.5", "192.0.2.7"}, 1, 100,
            {"192.0.2.2 02:00:00:00:00:02", "192.0.2.5 02:00:00:00:00:05",
                "192.0.2.7 02:00:00:00:00:07"},
            8},
        {"reversed answers, room for two", {"192.0.2.1", "192.0.2.2", "192.0.2.3", "192.0.2.4"}, 4,
            3, {"192.0.2.1 02:00:00:00:00:01", "192.0.2.2 02:00:00:00:00:02"}, 4},
        {"a late lower answer displaces a kept one", {"192.0.2.3", "192.0.2.5", "192.0.2.6"}, 4, 3,
            {"192.0.2.3 02:00:00:00:00:03", "192.0.2.5 02:00:00:00:00:05"}, 8},
        {"full after the first window: no further probe", {"192.0.2.2", "192.0.2.3", "192.0.2.6"},
            4, 3, {"192.0.2.2 02:00:00:00:00:02", "192.0.2.3 02:00:00:00:00:03"}, 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        // One host listed already, outside the range.
        HostList hosts = Listed({"198.51.100.1"});
        ListLocks locks;
        Listener listener(locks);
        OverlappingProbes probes(c.live, c.width);
        {
            AddressSweep sweep(hosts, locks, listener,
                SweepServices{probes.Opener(), [](std::uint32_t) { return std::nullopt; },
                    [&](std::string_view ip) { return probes.MacOf(ip); }});
            ASSERT_TRUE(sweep.Start(Range("192.0.2.1", "192.0.2.8"), kProbe, c.maxHostNum));
            ASSERT_TRUE(listener.WaitForEnds(1));
        }
        Events found;
        for (int i = 1; i < hosts.Count(); ++i)
            found.push_back(std::string(hosts[i].ipAddr) + " " + hosts[i].macAddr);
        EXPECT_EQ(found, c.found);
        EXPECT_EQ(probes.probed, c.probed);
        // The sweep keeps out of the way of everything else.
        EXPECT_EQ(probes.policy, SCHED_IDLE);
    }
}

// Our own address, a peer with two addresses and silent addresses between
// them, swept for real; the hosts file names one of the peer's addresses
// with a long official name and an alias.
class AddressSweepLabTest : public testing::TestWithParam<ProbeMethod> { };

TEST_P(AddressSweepLabTest, FindsExactlyTheLiveHostsWithTheirNamesAndMacs)
{
    test::TestNetwork network;
    const auto& peer = network.AddPeer(
        {"198.51.100.1", 24, "02:00:00:00:00:01"}, {"198.51.100.3", 24, "02:00:00:00:00:03"});
    test::TestNetwork::RunIn(peer.ns, {"addr", "add", "198.51.100.4/24", "dev", peer.peerIf});

    HostList hosts = Listed({"198.51.100.4"});
    ListLocks locks;
    Listener listener(locks);
    const std::string name(200, 'n');
    const int ended =
        test::RunWithHostName("pondel-test", "198.51.100.3 " + name + " peer3\n", [&] {
            AddressSweep sweep(hosts, locks, listener);
            const auto range = Range("198.51.100.1", "198.51.100.6", 0xFFFFFFF0u);
            return sweep.Start(range, {300, GetParam()}, 100) && listener.WaitForEnds(1) ? 1 : 0;
        });
    ASSERT_EQ(ended, 1);
    // The probes overlap, so answers come between the progress steps in no
    // fixed place; each kind keeps its own order.
    const Events events = listener.Take();
    EXPECT_EQ(OfKind(events, '3'),
        (Events{"3:198.51.100.1", "3:198.51.100.2", "3:198.51.100.3", "3:198.51.100.4",
            "3:198.51.100.5", "3:198.51.100.6"}));
    EXPECT_EQ(OfKind(events, '4'), (Events{"4:1", "4:2", "4:3"}));
    EXPECT_EQ(events.back(), "5:1");
    ASSERT_EQ(Addresses(hosts), (Events{"198.51.100.4", "198.51.100.1", "198.51.100.3"}));
    EXPECT_EQ(Row(hosts[1]), "1 ||198.51.100.1|255.255.255.240|02:00:00:00:00:01");
    EXPECT_EQ(Row(hosts[2]),
        "1 " + name.substr(0, 127) + "||198.51.100.3|255.255.255.240|02:00:00:00:00:03");
}

// A slow sweep, one address after another: the kernel forgets the peer
// that answered first before the range is done. Its MAC was read in time.
TEST(AddressSweepSlowLabTest, AHostForgottenBeforeTheEndKeepsItsMac)
{
    test::TestNetwork network;
    const auto& peer = network.AddPeer(
        {"198.51.100.1", 24, "02:00:00:00:00:01"}, {"198.51.100.2", 24, "02:00:00:00:00:02"});
    HostList hosts;
    ListLocks locks;
    Listener listener(locks);
    listener.onProgress = [&](std::uint32_t address) {
        if (address == TextToIp("198.51.100.5"))
            test::MustRun({"ip", "neigh", "flush", "dev", peer.localIf});
    };
    {
        AddressSweep sweep(hosts, locks, listener,
            SweepServices{OpenProbeRun, [](std::uint32_t) { return std::nullopt; }, {}});
        const ProbeSettings oneByOne{100, ProbeMethod::kOwnEcho, 0};
        ASSERT_TRUE(sweep.Start(Range("198.51.100.2", "198.51.100.5"), oneByOne, 100));
        ASSERT_TRUE(listener.WaitForEnds(1));
    }
    ASSERT_EQ(hosts.Count(), 1);
    EXPECT_EQ(Row(hosts[0]), "1 ||198.51.100.2|255.255.255.0|02:00:00:00:00:02");
}

// A host that drops echo is found by ARP, with the MAC that answered.
TEST(AddressSweepArpLabTest, AHostThatDropsEchoIsFoundWithItsMac)
{
    test::TestNetwork network;
    const auto& deaf =
        network.AddPeer({"198.51.100.1", 24, ""}, {"198.51.100.20", 24, "02:00:00:00:00:20"});
    test::WriteSysctl(deaf.ns, "net/ipv4/icmp_echo_ignore_all", "1");
    HostList hosts;
    ListLocks locks;
    Listener listener(locks);
    {
        AddressSweep sweep(hosts, locks, listener,
            SweepServices{OpenProbeRun, [](std::uint32_t) { return std::nullopt; }, {}});
        const ProbeSettings withArp{300, ProbeMethod::kOwnEcho, kDefaultEchoRate, true};
        ASSERT_TRUE(sweep.Start(Range("198.51.100.16", "198.51.100.23"), withArp, 100));
        ASSERT_TRUE(listener.WaitForEnds(1));
    }
    ASSERT_EQ(hosts.Count(), 1);
    EXPECT_EQ(Row(hosts[0]), "1 ||198.51.100.20|255.255.255.0|02:00:00:00:00:20");
}

INSTANTIATE_TEST_SUITE_P(BothMethods, AddressSweepLabTest,
    testing::Values(ProbeMethod::kOwnEcho, ProbeMethod::kSystemPing),
    [](const auto& param) { return param.param == ProbeMethod::kOwnEcho ? "OwnEcho" : "Ping"; });

} // namespace
} // namespace pondel
