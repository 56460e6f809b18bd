#include "StatusMonitor.h"

#include <chrono>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <sys/socket.h>

#include <gtest/gtest.h>

#include "FakeProbes.h"
#include "TestNetwork.h"

namespace pondel {
namespace {

using namespace std::chrono_literals;
using test::Events;

class Listener final : public StatusMonitorListener, public test::EventLog {
public:
    void OnPassProgress(std::int32_t done, std::int32_t total) override
    {
        Add(std::to_string(done) + "/" + std::to_string(total));
    }
    void OnPassEnded() override { Add("end", true); }
    void OnProbeFailed(const ErrorInfo& error) override { Add(error.message); }
    void OnHostsChecked(const std::vector<std::int32_t>& indexes) override
    {
        std::string text = "checked";
        for (const std::int32_t index : indexes)
            text += " " + std::to_string(index);
        Add(text, true);
    }
};

HostList Hosts(const std::vector<std::pair<std::string, std::string>>& addresses, int active = 0)
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

// A monitor over `hosts_` whose probes answer for the live addresses; the
// fake system gives 255.255.0.0 to hosts without a netmask.
class StatusMonitorTest : public testing::Test {
protected:
    StatusMonitor& Monitor(std::set<std::string> live, std::chrono::milliseconds probeTime = {})
    {
        probes_.emplace(std::move(live), probeTime);
        return monitor_.emplace(hosts_, locks_, listener_, probes_->Monitor());
    }

    HostList hosts_;
    ListLocks locks_;
    Listener listener_;
    std::optional<test::FakeProbes> probes_;
    std::optional<StatusMonitor> monitor_;
};

TEST_F(StatusMonitorTest, APassMarksTheLiveHostsAndReportsEachHostThenItsEnd)
{
    // The row without an address and the broadcast row keep their flags.
    hosts_ = Hosts({{"192.0.2.10", "255.255.255.0"}, {"192.0.2.11", "255.255.255.0"}, {"", ""},
                       {"192.0.2.12", ""}, {"192.0.2.255", "255.255.255.0"}},
        1);
    StatusMonitor& monitor = Monitor({"192.0.2.10", "192.0.2.12"});
    monitor.Start();
    monitor.RequestStatusPass();
    ASSERT_TRUE(listener_.WaitForEnds(1));
    EXPECT_EQ(probes_->Probed(), (Events{"192.0.2.10", "192.0.2.11", "192.0.2.12"}));
    EXPECT_EQ(Flags(hosts_), (std::vector<int>{1, 0, 1, 1, 1}));
    EXPECT_EQ(listener_.Take(), (Events{"0/5", "1/5", "2/5", "3/5", "4/5", "5/5", "end"}));
}

TEST_F(StatusMonitorTest, CheckHostsProbesOnlyItsRowAndNeverABroadcastAddressOfItsOwnNetmask)
{
    hosts_ = Hosts({{"198.51.100.255", "255.255.255.0"}, {"198.51.100.255", "255.255.0.0"},
        {"198.51.255.255", ""}, {"198.51.100.255", ""}});
    StatusMonitor& monitor = Monitor({"198.51.100.255", "198.51.255.255"});
    for (std::int32_t row = 0; row < hosts_.Count(); ++row)
        EXPECT_TRUE(monitor.CheckHosts({row}));
    // Past the list nothing is probed, and a pass belongs to the running monitor only.
    EXPECT_TRUE(monitor.CheckHosts({4, -1}));
    EXPECT_TRUE(monitor.CheckHosts({}, true));
    EXPECT_EQ(probes_->Probed(), (Events{"198.51.100.255", "198.51.100.255"}));
    EXPECT_EQ(Flags(hosts_), (std::vector<int>{0, 1, 0, 1}));
    EXPECT_TRUE(listener_.Take().empty());
}

TEST_F(StatusMonitorTest, ARequestDuringAPassStopsItAtTheNextHostAndStartsNoOther)
{
    hosts_ = Hosts({{"192.0.2.1", ""}, {"192.0.2.2", ""}, {"192.0.2.3", ""}, {"192.0.2.4", ""}});
    StatusMonitor& monitor = Monitor({"192.0.2.1", "192.0.2.2", "192.0.2.3", "192.0.2.4"});
    probes_->HoldAt("192.0.2.2");
    monitor.Start();
    monitor.RequestStatusPass();
    ASSERT_TRUE(probes_->WaitUntilHeld());
    monitor.RequestStatusPass();
    probes_->Release();
    ASSERT_TRUE(listener_.WaitForEnds(1));
    std::this_thread::sleep_for(200ms);
    EXPECT_EQ(probes_->Probed(), (Events{"192.0.2.1", "192.0.2.2"}));
    EXPECT_EQ(Flags(hosts_), (std::vector<int>{1, 1, 0, 0}));
    EXPECT_EQ(listener_.Take(), (Events{"0/4", "1/4", "0/4", "2/4", "end"}));
    EXPECT_FALSE(locks_.AbortPass);
}

TEST_F(StatusMonitorTest, ACheckAskedForDuringAPassStopsItAndIsAnsweredInOneRunAfterIt)
{
    hosts_ = Hosts({{"192.0.2.1", ""}, {"192.0.2.2", ""}, {"192.0.2.3", ""}, {"192.0.2.4", ""}});
    StatusMonitor& monitor = Monitor({"192.0.2.1", "192.0.2.2", "192.0.2.4"});
    probes_->HoldAt("192.0.2.2");
    monitor.Start();
    monitor.RequestStatusPass();
    ASSERT_TRUE(probes_->WaitUntilHeld());
    monitor.RequestHostChecks({3, 0, 9});
    probes_->Release();
    ASSERT_TRUE(listener_.WaitForEnds(2));
    EXPECT_EQ(probes_->Probed(), (Events{"192.0.2.1", "192.0.2.2", "192.0.2.4", "192.0.2.1"}));
    EXPECT_EQ(Flags(hosts_), (std::vector<int>{1, 1, 0, 1}));
    EXPECT_EQ(listener_.Take(), (Events{"0/4", "1/4", "2/4", "end", "checked 3 0 9"}));
    EXPECT_FALSE(locks_.AbortPass);
}

TEST_F(StatusMonitorTest, APassReadsTheNetworksOnceAndHearsAStopBetweenTheHostsNetmasks)
{
    hosts_ = Hosts({{"192.0.2.1", ""}, {"192.0.2.2", ""}, {"192.0.2.3", ""}});
    probes_.emplace(std::set<std::string>{"192.0.2.1"});
    int reads = 0;
    int asked = 0;
    bool stopAtSecond = false;
    StatusMonitor& monitor = monitor_.emplace(
        hosts_, locks_, listener_, MonitorServices{probes_->Opener(), nullptr, [&] {
                                                       ++reads;
                                                       return [&](std::uint32_t) {
                                                           // A request coming while the masks are
                                                           // worked out.
                                                           if (++asked == 2 && stopAtSecond)
                                                               locks_.AbortPass = true;
                                                           return 0xFFFF0000u;
                                                       };
                                                   }});
    monitor.Start();
    monitor.RequestStatusPass();
    ASSERT_TRUE(listener_.WaitForEnds(1));
    EXPECT_EQ(std::make_pair(reads, asked), std::make_pair(1, 3));
    EXPECT_EQ(probes_->Probed().size(), 3u);

    stopAtSecond = true;
    asked = 0;
    monitor.RequestStatusPass();
    ASSERT_TRUE(listener_.WaitForEnds(2));
    EXPECT_EQ(std::make_pair(reads, asked), std::make_pair(2, 2));
    EXPECT_EQ(probes_->Probed().size(), 3u);
}

TEST_F(StatusMonitorTest, AListChangeDuringAProbeWaitsForNoneAndItsVerdictIsDropped)
{
    hosts_ = Hosts({{"192.0.2.1", ""}, {"192.0.2.2", ""}, {"192.0.2.3", ""}});
    StatusMonitor& monitor = Monitor({"192.0.2.1", "192.0.2.2", "192.0.2.3"});
    probes_->HoldAt("192.0.2.2");
    monitor.Start();
    monitor.RequestStatusPass();
    ASSERT_TRUE(probes_->WaitUntilHeld());
    const auto start = std::chrono::steady_clock::now();
    {
        const ListChangeLock change(locks_);
        hosts_.RemoveAt(0);
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, 100ms);
    probes_->Release();
    ASSERT_TRUE(listener_.WaitForEnds(1));
    // 192.0.2.2's answer would have landed on 192.0.2.3, now in its row.
    EXPECT_EQ(Flags(hosts_), (std::vector<int>{0, 0}));
}

TEST_F(StatusMonitorTest, DuringASweepARequestOnlyShowsTheProgress)
{
    hosts_ = Hosts({{"192.0.2.1", ""}});
    StatusMonitor& monitor = Monitor({"192.0.2.1"});
    monitor.Start();
    locks_.SetCollectRunning(true);
    monitor.RequestStatusPass();
    std::this_thread::sleep_for(200ms);
    EXPECT_EQ(listener_.Take(), Events{"0/1"});
    EXPECT_TRUE(probes_->Probed().empty());
}

TEST_F(StatusMonitorTest, StopDuringALongPassWaitsOnlyForTheProbeInProgress)
{
    for (int i = 1; i <= 20; ++i)
        hosts_.Append(MakeHostInfo("", "", "192.0.2." + std::to_string(i), "", ""));
    StatusMonitor& monitor = Monitor({}, 300ms);
    probes_->HoldAt("192.0.2.2");
    monitor.Start();
    monitor.RequestStatusPass();
    ASSERT_TRUE(probes_->WaitUntilHeld());
    probes_->Release();
    const auto start = std::chrono::steady_clock::now();
    monitor.Stop();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1500ms);
    EXPECT_EQ(probes_->Probed().size(), 2u);
}

TEST_F(StatusMonitorTest, WithoutAnIcmpSocketEachPassReportsItOnceAndChangesNoFlag)
{
    hosts_ = Hosts({{"192.0.2.1", ""}, {"192.0.2.2", ""}}, 1);
    const std::string report = "ICMP_Init(): error:(13)Permission denied";
    test::RunWithSocketsDenied(
        [&] {
            // The monitor thread inherits the calling thread's socket filter.
            StatusMonitor monitor(hosts_, locks_, listener_);
            monitor.SetProbeSettings({30, ProbeMethod::kOwnEcho});
            monitor.Start();
            monitor.RequestStatusPass();
            EXPECT_TRUE(listener_.WaitForEnds(1));
            monitor.RequestStatusPass();
            EXPECT_TRUE(listener_.WaitForEnds(2));
            monitor.RequestHostChecks({0});
            EXPECT_TRUE(listener_.WaitForEnds(3));
            return 0;
        },
        AF_INET);
    EXPECT_EQ(listener_.Take(),
        (Events{"0/2", report, "end", "0/2", report, "end", report, "checked 0"}));
    EXPECT_EQ(Flags(hosts_), (std::vector<int>{1, 1}));
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
    Listener listener;
    StatusMonitor monitor(hosts, locks, listener);
    monitor.SetProbeSettings({300, GetParam()});
    monitor.Start();
    monitor.RequestStatusPass();
    ASSERT_TRUE(listener.WaitForEnds(1));
    EXPECT_EQ(Flags(hosts), (std::vector<int>{0, 1, 0, 1}));
}

// With ARP: a host that drops echo is up without ping, an address answered
// by another MAC is another machine, a row without a MAC is not checked and
// a silent address is down. The states and MACs land in the records.
TEST(StatusMonitorArpLabTest, APassStoresWhatTheLinkSaid)
{
    test::TestNetwork network;
    const auto& deaf =
        network.AddPeer({"198.51.100.1", 24, ""}, {"198.51.100.20", 24, "02:00:00:00:00:20"});
    test::WriteSysctl(deaf.ns, "net/ipv4/icmp_echo_ignore_all", "1");
    network.AddPeer({"203.0.113.1", 24, ""}, {"203.0.113.20", 24, "02:00:00:00:00:30"});

    HostList hosts;
    for (const auto& [ip, mac] : std::vector<std::pair<std::string, std::string>>{
             {"198.51.100.20", "02:00:00:00:00:20"}, {"203.0.113.20", "02:00:00:00:00:99"},
             {"203.0.113.20", ""}, {"198.51.100.77", "02:00:00:00:00:77"}})
        hosts.Append(MakeHostInfo("host", "", ip, "255.255.255.0", mac));
    ListLocks locks;
    Listener listener;
    StatusMonitor monitor(hosts, locks, listener);
    monitor.SetProbeSettings({300, ProbeMethod::kOwnEcho, kDefaultEchoRate, true});
    monitor.Start();
    monitor.RequestStatusPass();
    ASSERT_TRUE(listener.WaitForEnds(1));
    std::vector<std::string> states;
    for (const tHostInfo& host : hosts)
        states.push_back(std::to_string(host.active) + " " + std::to_string(host.linkState) + " " +
            host.answeredMac);
    EXPECT_EQ(states,
        (std::vector<std::string>{
            "1 1 02:00:00:00:00:20", "0 2 02:00:00:00:00:30", "1 0 02:00:00:00:00:30", "0 0 "}));
}

// Echo requests lost, as to a full neighbour table: a run larger than the
// table may hold asks the hosts that answered only ARP by echo once more; a
// small run takes the first echo's word.
TEST(LinkProbeRunLabTest, ALargeRunAsksTheHostsThatAnsweredOnlyArpByEchoAgain)
{
    test::TestNetwork network;
    network.AddPeer({"198.51.100.1", 24, ""}, {"198.51.100.2", 24, "02:00:00:00:00:02"});

    class Verdicts final : public ProbeRunEvents {
    public:
        std::vector<std::string> targets;
        std::vector<std::string> echoed;
        std::string TargetOf(std::uint64_t index) override { return targets[index]; }
        bool ShouldStop() override { return false; }
        void OnProbed(std::uint64_t) override { }
        void OnAnswer(std::uint64_t, bool) override { }
        void OnLinkAnswer(std::uint64_t index, bool answered, const LinkAnswer&) override
        {
            if (answered)
                echoed.push_back(targets[index]);
        }
    };
    const struct {
        int offLink;
        std::size_t echoRuns;
        std::vector<std::string> echoed;
    } cases[] = {
        {46, 2, {"198.51.100.1", "198.51.100.2"}}, // 300 targets
        {0, 1, {}},                                // 254
    };
    for (const auto& c : cases) {
        Verdicts verdicts;
        for (int host = 1; host <= 254; ++host)
            verdicts.targets.push_back("198.51.100." + std::to_string(host));
        for (int host = 1; host <= c.offLink; ++host)
            verdicts.targets.push_back("192.0.2." + std::to_string(host));
        // The first run's requests are all lost; a second run is answered.
        std::vector<std::vector<std::string>> runs;
        const ProbeRun lossyEcho = [&runs](std::uint64_t count, ProbeRunEvents& events) {
            runs.emplace_back();
            for (std::uint64_t index = 0; index < count; ++index) {
                runs.back().push_back(events.TargetOf(index));
                events.OnAnswer(index, runs.size() > 1);
            }
        };
        const ProbeSettings settings{300, ProbeMethod::kOwnEcho, kDefaultEchoRate, true};
        WithLinkProbe(lossyEcho, settings)(verdicts.targets.size(), verdicts);
        EXPECT_EQ(runs.size(), c.echoRuns) << c.offLink;
        EXPECT_EQ(verdicts.echoed, c.echoed) << c.offLink;
    }
}

INSTANTIATE_TEST_SUITE_P(BothMethods, StatusMonitorLabTest,
    testing::Values(ProbeMethod::kOwnEcho, ProbeMethod::kSystemPing),
    [](const auto& param) { return param.param == ProbeMethod::kOwnEcho ? "OwnEcho" : "Ping"; });

} // namespace
} // namespace pondel
