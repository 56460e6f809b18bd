#include "StatusMonitor.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include <sys/socket.h>

#include <gtest/gtest.h>

#include "TestNetwork.h"

namespace pondel {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Every notification as a line of text, in the order they came.
class RecordingListener final : public StatusMonitorListener {
public:
    void OnPassProgress(std::int32_t done, std::int32_t total) override
    {
        Record(std::to_string(done) + "/" + std::to_string(total));
    }
    void OnPassEnded() override { Record("end"); }
    void OnProbeFailed(const ErrorInfo& error) override { Record(error.message); }

    // Waits until `count` passes have ended.
    bool WaitForEnds(int count)
    {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, 10s, [&] { return ends_ >= count; });
    }
    std::vector<std::string> Events()
    {
        const std::scoped_lock lock(mutex_);
        return events_;
    }

private:
    void Record(std::string event)
    {
        const std::scoped_lock lock(mutex_);
        ends_ += event == "end" ? 1 : 0;
        events_.push_back(std::move(event));
        changed_.notify_all();
    }

    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::string> events_;
    int ends_ = 0;
};

// A network without wires: the addresses in `live` answer. A probe can be
// held at one address until the test lets it go.
class FakeProbes final {
public:
    explicit FakeProbes(std::set<std::string> live, std::chrono::milliseconds probeTime = 0ms)
        : live_(std::move(live))
        , probeTime_(probeTime)
    {
    }

    MonitorServices Services()
    {
        return {[this](const ProbeSettings&) -> Result<HostProbe> {
                    return HostProbe([this](std::string_view ip) { return Probe(ip); });
                },
            [](std::uint32_t) { return 0xFFFF0000u; }};
    }

    void HoldAt(std::string ip)
    {
        const std::scoped_lock lock(mutex_);
        holdAt_ = std::move(ip);
    }
    // Waits until the held probe has begun.
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

HostList Hosts(const std::vector<std::pair<std::string, std::string>>& addresses, int active)
{
    HostList hosts;
    for (const auto& [ip, mask] : addresses) {
        tHostInfo host = MakeHostInfo("host", "", ip, mask, "02:00:00:00:00:01");
        host.active = active;
        hosts.Append(host);
    }
    return hosts;
}

std::vector<int> Flags(const HostList& hosts)
{
    std::vector<int> flags;
    for (const tHostInfo& host : hosts)
        flags.push_back(host.active);
    return flags;
}

TEST(StatusMonitorTest, APassMarksTheLiveHostsAndReportsEachHostThenItsEnd)
{
    // The row without an address and the broadcast row keep their flags.
    HostList hosts = Hosts({{"192.0.2.10", "255.255.255.0"}, {"192.0.2.11", "255.255.255.0"},
                               {"", ""}, {"192.0.2.12", ""}, {"192.0.2.255", "255.255.255.0"}},
        1);
    ListLocks locks;
    RecordingListener listener;
    FakeProbes probes({"192.0.2.10", "192.0.2.12"});
    StatusMonitor monitor(hosts, locks, listener, probes.Services());
    monitor.Start();
    monitor.RequestStatusPass();
    ASSERT_TRUE(listener.WaitForEnds(1));
    EXPECT_EQ(
        probes.Probed(), (std::vector<std::string>{"192.0.2.10", "192.0.2.11", "192.0.2.12"}));
    EXPECT_EQ(Flags(hosts), (std::vector<int>{1, 0, 1, 1, 1}));
    EXPECT_EQ(listener.Events(),
        (std::vector<std::string>{"0/5", "1/5", "2/5", "3/5", "4/5", "5/5", "end"}));
}

TEST(StatusMonitorTest, ABroadcastAddressOfItsOwnNetmaskIsNeverProbed)
{
    // The fake system gives 255.255.0.0 to hosts without a netmask.
    HostList hosts = Hosts({{"198.51.100.255", "255.255.255.0"}, {"198.51.100.255", "255.255.0.0"},
                               {"198.51.255.255", ""}, {"198.51.100.255", ""}},
        0);
    ListLocks locks;
    RecordingListener listener;
    FakeProbes probes({"198.51.100.255", "198.51.255.255"});
    StatusMonitor monitor(hosts, locks, listener, probes.Services());
    for (std::int32_t row = 0; row < hosts.Count(); ++row)
        EXPECT_TRUE(monitor.CheckHosts(row));
    EXPECT_EQ(probes.Probed(), (std::vector<std::string>{"198.51.100.255", "198.51.100.255"}));
    EXPECT_EQ(Flags(hosts), (std::vector<int>{0, 1, 0, 1}));
}

TEST(StatusMonitorTest, CheckHostsProbesExactlyTheGivenRowAndNothingBeyondTheList)
{
    HostList hosts = Hosts({{"192.0.2.1", ""}, {"192.0.2.2", ""}, {"192.0.2.3", ""}}, 0);
    ListLocks locks;
    RecordingListener listener;
    FakeProbes probes({"192.0.2.1", "192.0.2.2", "192.0.2.3"});
    StatusMonitor monitor(hosts, locks, listener, probes.Services());
    EXPECT_TRUE(monitor.CheckHosts(1));
    EXPECT_TRUE(monitor.CheckHostNow(3));
    // A pass belongs to the running monitor only.
    EXPECT_TRUE(monitor.CheckHosts(-1));
    EXPECT_EQ(probes.Probed(), std::vector<std::string>{"192.0.2.2"});
    EXPECT_EQ(Flags(hosts), (std::vector<int>{0, 1, 0}));
    EXPECT_TRUE(listener.Events().empty());
}

TEST(StatusMonitorTest, ARequestDuringAPassStopsItAtTheNextHostAndStartsNoOther)
{
    HostList hosts =
        Hosts({{"192.0.2.1", ""}, {"192.0.2.2", ""}, {"192.0.2.3", ""}, {"192.0.2.4", ""}}, 0);
    ListLocks locks;
    RecordingListener listener;
    FakeProbes probes({"192.0.2.1", "192.0.2.2", "192.0.2.3", "192.0.2.4"});
    probes.HoldAt("192.0.2.2");
    StatusMonitor monitor(hosts, locks, listener, probes.Services());
    monitor.Start();
    monitor.RequestStatusPass();
    ASSERT_TRUE(probes.WaitUntilHeld());
    monitor.RequestStatusPass();
    probes.Release();
    ASSERT_TRUE(listener.WaitForEnds(1));
    std::this_thread::sleep_for(200ms);
    EXPECT_EQ(probes.Probed(), (std::vector<std::string>{"192.0.2.1", "192.0.2.2"}));
    EXPECT_EQ(Flags(hosts), (std::vector<int>{1, 1, 0, 0}));
    EXPECT_EQ(listener.Events(), (std::vector<std::string>{"0/4", "1/4", "0/4", "2/4", "end"}));
    EXPECT_FALSE(locks.AbortPass);
}

TEST(StatusMonitorTest, DuringASweepARequestOnlyShowsTheProgress)
{
    HostList hosts = Hosts({{"192.0.2.1", ""}}, 0);
    ListLocks locks;
    RecordingListener listener;
    FakeProbes probes({"192.0.2.1"});
    StatusMonitor monitor(hosts, locks, listener, probes.Services());
    monitor.Start();
    locks.SetCollectRunning(true);
    monitor.RequestStatusPass();
    std::this_thread::sleep_for(200ms);
    EXPECT_EQ(listener.Events(), std::vector<std::string>{"0/1"});
    EXPECT_TRUE(probes.Probed().empty());
}

TEST(StatusMonitorTest, StopDuringALongPassWaitsOnlyForTheProbeInProgress)
{
    std::vector<std::pair<std::string, std::string>> addresses;
    for (int i = 1; i <= 20; ++i)
        addresses.emplace_back("192.0.2." + std::to_string(i), "");
    HostList hosts = Hosts(addresses, 0);
    ListLocks locks;
    RecordingListener listener;
    FakeProbes probes({}, 300ms);
    probes.HoldAt("192.0.2.2");
    StatusMonitor monitor(hosts, locks, listener, probes.Services());
    monitor.Start();
    monitor.RequestStatusPass();
    ASSERT_TRUE(probes.WaitUntilHeld());
    probes.Release();
    const auto start = Clock::now();
    monitor.Stop();
    EXPECT_LT(Clock::now() - start, 1500ms);
    EXPECT_EQ(probes.Probed().size(), 2u);
}

TEST(StatusMonitorTest, WithoutAnIcmpSocketEachPassReportsItOnceAndChangesNoFlag)
{
    HostList hosts = Hosts({{"192.0.2.1", ""}, {"192.0.2.2", ""}}, 1);
    ListLocks locks;
    RecordingListener listener;
    const std::string report = "ICMP_Init(): error:(13)Permission denied";
    test::RunWithSocketFamilyDenied(AF_INET, [&] {
        // The monitor thread inherits the calling thread's socket filter.
        StatusMonitor monitor(hosts, locks, listener);
        monitor.SetProbeSettings({30, ProbeMethod::kOwnEcho});
        monitor.Start();
        monitor.RequestStatusPass();
        EXPECT_TRUE(listener.WaitForEnds(1));
        monitor.RequestStatusPass();
        EXPECT_TRUE(listener.WaitForEnds(2));
        const auto single = monitor.CheckHostNow(0);
        EXPECT_FALSE(single);
        EXPECT_EQ(single ? "" : single.Error().message, report);
        return 0;
    });
    EXPECT_EQ(
        listener.Events(), (std::vector<std::string>{"0/2", report, "end", "0/2", report, "end"}));
    EXPECT_EQ(Flags(hosts), (std::vector<int>{1, 1}));
}

// A live peer and a silent one on two veth links, probed for real.
class StatusMonitorLabTest : public testing::TestWithParam<ProbeMethod> { };

TEST_P(StatusMonitorLabTest, APassMarksExactlyTheAnsweringHosts)
{
    test::TestNetwork network;
    network.AddPeer({"198.51.100.1", 24, ""}, {"198.51.100.20", 24, ""});
    const auto& silent = network.AddPeer({"203.0.113.1", 24, ""}, {"203.0.113.20", 24, ""});
    test::WriteSysctl(silent.ns, "net/ipv4/icmp_echo_ignore_all", "1");

    HostList hosts = Hosts({{"203.0.113.20", "255.255.255.0"}, {"198.51.100.20", "255.255.255.0"},
                               {"198.51.100.21", "255.255.255.0"}, {"198.51.100.1", ""}},
        1);
    ListLocks locks;
    RecordingListener listener;
    StatusMonitor monitor(hosts, locks, listener);
    monitor.SetProbeSettings({300, GetParam()});
    monitor.Start();
    monitor.RequestStatusPass();
    ASSERT_TRUE(listener.WaitForEnds(1));
    EXPECT_EQ(Flags(hosts), (std::vector<int>{0, 1, 0, 1}));
}

INSTANTIATE_TEST_SUITE_P(BothMethods, StatusMonitorLabTest,
    testing::Values(ProbeMethod::kOwnEcho, ProbeMethod::kSystemPing),
    [](const auto& param) { return param.param == ProbeMethod::kOwnEcho ? "OwnEcho" : "Ping"; });

} // namespace
} // namespace pondel
