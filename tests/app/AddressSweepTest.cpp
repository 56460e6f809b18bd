#include "AddressSweep.h"

#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include <sys/socket.h>

#include <gtest/gtest.h>

#include "Ipv4Text.h"
#include "TestNetwork.h"

namespace pondel {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Events = std::vector<std::string>;

constexpr std::uint32_t kMask24 = 0xFFFFFF00u;

// What the window would see once the sweep's last notification arrives.
struct StateAtEnd {
    bool running = true;
    bool collectRunning = true;
    bool abortPass = true;
    bool locksFree = false;
};

// Every notification as "code:parameter", in the order they came; the
// codes are the window's.
class RecordingListener final : public AddressSweepListener {
public:
    explicit RecordingListener(ListLocks& locks)
        : locks_(locks)
    {
    }
    void Watch(const AddressSweep& sweep) { sweep_ = &sweep; }

    void OnSweepProgress(std::uint32_t address) override { Record("3:" + IpToText(address)); }
    void OnSweepDetected(std::int32_t count) override { Record("4:" + std::to_string(count)); }
    void OnSweepFinished(SweepEnd end) override
    {
        const auto code = static_cast<std::int32_t>(end);
        if (code >= 0)
            NoteStateAtEnd();
        Record("5:" + std::to_string(code));
    }

    // Waits for the last notification of `count` sweeps.
    bool WaitForEnds(int count)
    {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, 10s, [&] { return ends_ >= count; });
    }
    Events TakeEvents()
    {
        const std::scoped_lock lock(mutex_);
        return std::exchange(events_, {});
    }
    StateAtEnd LastEnd()
    {
        const std::scoped_lock lock(mutex_);
        return stateAtEnd_;
    }

private:
    void NoteStateAtEnd()
    {
        StateAtEnd state;
        state.running = sweep_ != nullptr && sweep_->IsRunning();
        state.collectRunning = locks_.IsCollectRunning();
        state.abortPass = locks_.AbortPass;
        state.locksFree = locks_.ProbeLock.try_lock();
        if (state.locksFree)
            locks_.ProbeLock.unlock();
        const std::scoped_lock lock(mutex_);
        stateAtEnd_ = state;
        ++ends_;
    }
    void Record(std::string event)
    {
        const std::scoped_lock lock(mutex_);
        events_.push_back(std::move(event));
        changed_.notify_all();
    }

    ListLocks& locks_;
    const AddressSweep* sweep_ = nullptr;
    std::mutex mutex_;
    std::condition_variable changed_;
    Events events_;
    StateAtEnd stateAtEnd_;
    int ends_ = 0;
};

// A network without wires: the addresses in `live` answer, with the names
// and MACs given. A probe can be held at one address until the test lets it
// go.
class FakeNetwork final {
public:
    explicit FakeNetwork(std::set<std::string> live, std::chrono::milliseconds probeTime = 0ms)
        : live_(std::move(live))
        , probeTime_(probeTime)
    {
    }

    std::map<std::string, std::string> names;
    std::map<std::string, std::string> macs;

    SweepServices Services()
    {
        return {[this](const ProbeSettings&) -> Result<HostProbe> {
                    return HostProbe([this](std::string_view ip) { return Probe(ip); });
                },
            [this](std::uint32_t address) { return Find(names, IpToText(address)); },
            [this](std::string_view ip) { return Find(macs, std::string(ip)); }};
    }

    void HoldAt(std::string ip)
    {
        const std::scoped_lock lock(mutex_);
        holdAt_ = std::move(ip);
    }
    bool WaitUntilHeld()
    {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, 10s, [&] { return held_; });
    }
    void Release()
    {
        const std::scoped_lock lock(mutex_);
        holdAt_.clear();
        changed_.notify_all();
    }
    std::vector<std::string> Probed()
    {
        const std::scoped_lock lock(mutex_);
        return probed_;
    }

private:
    static std::optional<std::string> Find(
        const std::map<std::string, std::string>& table, const std::string& ip)
    {
        const auto found = table.find(ip);
        return found == table.end() ? std::nullopt : std::optional(found->second);
    }
    bool Probe(std::string_view ip)
    {
        std::unique_lock lock(mutex_);
        probed_.emplace_back(ip);
        if (ip == holdAt_) {
            held_ = true;
            changed_.notify_all();
            changed_.wait(lock, [&] { return holdAt_.empty(); });
        }
        lock.unlock();
        std::this_thread::sleep_for(probeTime_);
        return live_.count(std::string(ip)) != 0;
    }

    std::set<std::string> live_;
    std::chrono::milliseconds probeTime_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::string> probed_;
    std::string holdAt_;
    bool held_ = false;
};

CollectRange Range(const char* start, const char* end, std::uint32_t mask = kMask24)
{
    return {TextToIp(start), TextToIp(end), mask};
}

constexpr ProbeSettings kFakeProbe{30, ProbeMethod::kOwnEcho};

HostList Listed(const std::vector<std::string>& addresses)
{
    HostList hosts;
    for (const std::string& ip : addresses)
        hosts.Append(MakeHostInfo("listed", "kept", ip, "255.255.255.0", "02:00:00:00:00:99"));
    return hosts;
}

std::vector<std::string> Addresses(const HostList& hosts)
{
    std::vector<std::string> addresses;
    for (const tHostInfo& host : hosts)
        addresses.emplace_back(host.ipAddr);
    return addresses;
}

// One sweep run to its end with fakes, as most cases need it.
struct SweepRun {
    explicit SweepRun(HostList initial, FakeNetwork& network)
        : hosts(std::move(initial))
        , listener(locks)
        , sweep(hosts, locks, listener, network.Services())
    {
        listener.Watch(sweep);
    }
    HostList hosts;
    ListLocks locks;
    RecordingListener listener;
    AddressSweep sweep;
};

TEST(AddressSweepTest, AddsTheAnsweringAddressesInOrderAndReportsEachStep)
{
    FakeNetwork network({"192.0.2.2", "192.0.2.5"});
    const std::string longName(200, 'n');
    network.names["192.0.2.2"] = longName;
    network.macs["192.0.2.2"] = "02:00:00:00:00:02";
    SweepRun run(HostList{}, network);
    ASSERT_TRUE(run.sweep.Start(Range("192.0.2.1", "192.0.2.6", 0xFFFFFF80u), kFakeProbe, 100));
    ASSERT_TRUE(run.listener.WaitForEnds(1));

    EXPECT_EQ(run.listener.TakeEvents(),
        (Events{"3:192.0.2.1", "3:192.0.2.2", "4:1", "3:192.0.2.3", "3:192.0.2.4", "3:192.0.2.5",
            "4:2", "3:192.0.2.6", "5:1"}));
    ASSERT_EQ(run.hosts.Count(), 2);
    const tHostInfo& named = run.hosts[0];
    EXPECT_EQ(named.active, 1);
    EXPECT_EQ(std::string(named.hostName), longName.substr(0, 127));
    EXPECT_EQ(std::string(named.comment), "");
    EXPECT_EQ(std::string(named.ipAddr), "192.0.2.2");
    EXPECT_EQ(std::string(named.netMask), "255.255.255.128");
    EXPECT_EQ(std::string(named.macAddr), "02:00:00:00:00:02");
    // Neither name nor MAC found: the host is still added.
    const tHostInfo& bare = run.hosts[1];
    EXPECT_EQ(bare.active, 1);
    EXPECT_EQ(std::string(bare.ipAddr), "192.0.2.5");
    EXPECT_EQ(std::string(bare.hostName) + bare.macAddr, "");

    const StateAtEnd end = run.listener.LastEnd();
    EXPECT_FALSE(end.running);
    EXPECT_FALSE(end.collectRunning);
    EXPECT_FALSE(end.abortPass);
    EXPECT_TRUE(end.locksFree);
}

TEST(AddressSweepTest, AListedAddressCountsButOnlyTheSameTextCountsAsListed)
{
    FakeNetwork network({"192.0.2.5", "192.0.2.6"});
    SweepRun run(Listed({"192.0.2.5", "192.000.002.006"}), network);
    ASSERT_TRUE(run.sweep.Start(Range("192.0.2.5", "192.0.2.6"), kFakeProbe, 100));
    ASSERT_TRUE(run.listener.WaitForEnds(1));
    EXPECT_EQ(
        run.listener.TakeEvents(), (Events{"3:192.0.2.5", "4:1", "3:192.0.2.6", "4:2", "5:1"}));
    EXPECT_EQ(Addresses(run.hosts),
        (std::vector<std::string>{"192.0.2.5", "192.000.002.006", "192.0.2.6"}));
    EXPECT_EQ(std::string(run.hosts[0].hostName), "listed");

    // Only listed hosts answer: nothing added.
    ASSERT_TRUE(run.sweep.Start(Range("192.0.2.5", "192.0.2.5"), kFakeProbe, 100));
    ASSERT_TRUE(run.listener.WaitForEnds(2));
    EXPECT_EQ(run.listener.TakeEvents(), (Events{"3:192.0.2.5", "4:1", "5:0"}));
    EXPECT_EQ(run.hosts.Count(), 3);
}

TEST(AddressSweepTest, OneAddressIsProbedOnceAndTheTopOfTheSpaceDoesNotWrap)
{
    FakeNetwork network({"192.0.2.9"});
    SweepRun run(HostList{}, network);
    ASSERT_TRUE(run.sweep.Start(Range("192.0.2.9", "192.0.2.9"), kFakeProbe, 100));
    ASSERT_TRUE(run.listener.WaitForEnds(1));
    EXPECT_EQ(run.listener.TakeEvents(), (Events{"3:192.0.2.9", "4:1", "5:1"}));

    ASSERT_TRUE(run.sweep.Start(Range("255.255.255.254", "255.255.255.255"), kFakeProbe, 100));
    ASSERT_TRUE(run.listener.WaitForEnds(2));
    EXPECT_EQ(run.listener.TakeEvents(), (Events{"3:255.255.255.254", "3:255.255.255.255", "5:0"}));

    // A reversed range reaching the sweep probes nothing.
    ASSERT_TRUE(run.sweep.Start(Range("192.0.2.9", "192.0.2.8"), kFakeProbe, 100));
    ASSERT_TRUE(run.listener.WaitForEnds(3));
    EXPECT_EQ(run.listener.TakeEvents(), (Events{"5:0"}));
    EXPECT_EQ(network.Probed(),
        (std::vector<std::string>{"192.0.2.9", "255.255.255.254", "255.255.255.255"}));
}

TEST(AddressSweepTest, StopDuringTheFirstProbeEndsBeforeTheSecondAndKeepsTheFind)
{
    FakeNetwork network({"192.0.2.1", "192.0.2.2"});
    network.HoldAt("192.0.2.1");
    SweepRun run(HostList{}, network);
    EXPECT_FALSE(run.sweep.IsRunning());
    ASSERT_TRUE(run.sweep.Start(Range("192.0.2.1", "192.0.2.9"), kFakeProbe, 100));
    ASSERT_TRUE(network.WaitUntilHeld());
    // While it runs, the sweep holds the list and a second one is refused.
    EXPECT_TRUE(run.sweep.IsRunning());
    EXPECT_TRUE(run.locks.IsCollectRunning());
    EXPECT_FALSE(run.locks.ProbeLock.try_lock());
    EXPECT_FALSE(run.locks.ViewLock.try_lock());
    EXPECT_FALSE(run.sweep.Start(Range("203.0.113.1", "203.0.113.1"), kFakeProbe, 100));

    run.sweep.Stop();
    network.Release();
    ASSERT_TRUE(run.listener.WaitForEnds(1));
    EXPECT_EQ(run.listener.TakeEvents(), (Events{"3:192.0.2.1", "4:1", "5:-2", "5:1"}));
    EXPECT_EQ(network.Probed(), std::vector<std::string>{"192.0.2.1"});
    EXPECT_EQ(Addresses(run.hosts), std::vector<std::string>{"192.0.2.1"});
}

TEST(AddressSweepTest, AStopBeforeTheThreadBeginsIsNotLost)
{
    FakeNetwork network({"192.0.2.1"});
    SweepRun run(HostList{}, network);
    {
        // The sweep waits for the list before its first address.
        const std::scoped_lock busy(run.locks.ProbeLock);
        ASSERT_TRUE(run.sweep.Start(Range("192.0.2.1", "192.0.2.9"), kFakeProbe, 100));
        run.sweep.Stop();
    }
    ASSERT_TRUE(run.listener.WaitForEnds(1));
    EXPECT_EQ(run.listener.TakeEvents(), (Events{"5:-2", "5:0"}));
    EXPECT_TRUE(network.Probed().empty());
}

TEST(AddressSweepTest, TheRowLimitEndsTheSweepQuietlyBeforeTheNextAddress)
{
    FakeNetwork network({"192.0.2.1", "192.0.2.2", "192.0.2.3", "192.0.2.4"});
    SweepRun run(Listed({"198.51.100.1"}), network);
    ASSERT_TRUE(run.sweep.Start(Range("192.0.2.1", "192.0.2.4"), kFakeProbe, 3));
    ASSERT_TRUE(run.listener.WaitForEnds(1));
    EXPECT_EQ(
        run.listener.TakeEvents(), (Events{"3:192.0.2.1", "4:1", "3:192.0.2.2", "4:2", "5:1"}));
    EXPECT_EQ(run.hosts.Count(), 3);

    // Already full: nothing is probed.
    ASSERT_TRUE(run.sweep.Start(Range("192.0.2.3", "192.0.2.4"), kFakeProbe, 3));
    ASSERT_TRUE(run.listener.WaitForEnds(2));
    EXPECT_EQ(run.listener.TakeEvents(), (Events{"5:0"}));
    EXPECT_EQ(network.Probed().size(), 2u);
}

TEST(AddressSweepTest, DestroyingASweepMidRunWaitsOnlyForTheStepInProgress)
{
    FakeNetwork network({"192.0.2.1", "192.0.2.2", "192.0.2.3", "192.0.2.4"}, 300ms);
    network.HoldAt("192.0.2.3");
    HostList hosts;
    ListLocks locks;
    RecordingListener listener(locks);
    std::optional<AddressSweep> sweep(std::in_place, hosts, locks, listener, network.Services());
    ASSERT_TRUE(sweep->Start(Range("192.0.2.1", "192.0.2.200"), kFakeProbe, 100));
    ASSERT_TRUE(network.WaitUntilHeld());
    network.Release();
    const auto start = Clock::now();
    sweep.reset();
    EXPECT_LT(Clock::now() - start, 1500ms);
    EXPECT_EQ(Addresses(hosts), (std::vector<std::string>{"192.0.2.1", "192.0.2.2", "192.0.2.3"}));
    const Events events = listener.TakeEvents();
    ASSERT_GE(events.size(), 2u);
    EXPECT_EQ(Events(events.end() - 2, events.end()), (Events{"5:-2", "5:1"}));
    EXPECT_FALSE(locks.IsCollectRunning());
}

TEST(AddressSweepTest, WithoutAnIcmpSocketOwnEchoEndsAtOnceAndTouchesNothing)
{
    HostList hosts = Listed({"192.0.2.1"});
    ListLocks locks;
    RecordingListener listener(locks);
    FakeNetwork names({});
    SweepServices services = names.Services();
    services.openProbe = OpenHostProbe;
    // Held throughout: the sweep must not need it.
    const std::scoped_lock busy(locks.ProbeLock);
    test::RunWithSocketFamilyDenied(AF_INET, [&] {
        // The sweep thread inherits the calling thread's socket filter.
        AddressSweep sweep(hosts, locks, listener, services);
        listener.Watch(sweep);
        EXPECT_TRUE(sweep.Start(Range("192.0.2.1", "192.0.2.3"), {30, ProbeMethod::kOwnEcho}, 100));
        EXPECT_TRUE(listener.WaitForEnds(1));
        return 0;
    });
    EXPECT_EQ(listener.TakeEvents(), (Events{"5:-1", "5:0"}));
    EXPECT_EQ(Addresses(hosts), std::vector<std::string>{"192.0.2.1"});
    EXPECT_FALSE(locks.AbortPass);
    EXPECT_FALSE(locks.IsCollectRunning());
}

// Our own address, a peer with two addresses and silent addresses between
// them, swept for real; the hosts file names one of the peer's addresses.
class AddressSweepLabTest : public testing::TestWithParam<ProbeMethod> { };

TEST_P(AddressSweepLabTest, FindsExactlyTheLiveHostsWithTheirNamesAndMacs)
{
    test::TestNetwork network;
    const auto& peer = network.AddPeer(
        {"198.51.100.1", 24, "02:00:00:00:00:01"}, {"198.51.100.3", 24, "02:00:00:00:00:03"});
    test::TestNetwork::RunIn(peer.ns, {"addr", "add", "198.51.100.4/24", "dev", peer.peerIf});

    HostList hosts = Listed({"198.51.100.4"});
    ListLocks locks;
    RecordingListener listener(locks);
    const int ended =
        test::RunWithHostName("pondel-test", "198.51.100.3 peer-three.example peer3\n", [&] {
            AddressSweep sweep(hosts, locks, listener);
            listener.Watch(sweep);
            if (!sweep.Start(
                    Range("198.51.100.1", "198.51.100.6", 0xFFFFFFF0u), {300, GetParam()}, 100))
                return 0;
            return listener.WaitForEnds(1) ? 1 : 0;
        });
    ASSERT_EQ(ended, 1);
    EXPECT_EQ(listener.TakeEvents(),
        (Events{"3:198.51.100.1", "4:1", "3:198.51.100.2", "3:198.51.100.3", "4:2",
            "3:198.51.100.4", "4:3", "3:198.51.100.5", "3:198.51.100.6", "5:1"}));
    ASSERT_EQ(Addresses(hosts),
        (std::vector<std::string>{"198.51.100.4", "198.51.100.1", "198.51.100.3"}));
    const auto row = [&](int i) {
        const tHostInfo& host = hosts[i];
        return std::to_string(host.active) + " " + host.hostName + "|" + host.netMask + "|" +
            host.macAddr;
    };
    EXPECT_EQ(row(1), "1 |255.255.255.240|02:00:00:00:00:01");
    EXPECT_EQ(row(2), "1 peer-three.example|255.255.255.240|02:00:00:00:00:03");
}

INSTANTIATE_TEST_SUITE_P(BothMethods, AddressSweepLabTest,
    testing::Values(ProbeMethod::kOwnEcho, ProbeMethod::kSystemPing),
    [](const auto& param) { return param.param == ProbeMethod::kOwnEcho ? "OwnEcho" : "Ping"; });

} // namespace
} // namespace pondel
