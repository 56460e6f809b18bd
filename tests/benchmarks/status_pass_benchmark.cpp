// Times status passes over the lab's /24 (see LabBenchmark.h), and a paced
// pass over a /20 to show how the time grows with the host count. Run it
// inside scripts/in-private-network.sh.
#include "StatusMonitor.h"

#include "FakeProbes.h"
#include "LabBenchmark.h"

namespace pondel {
namespace {

class PassEnd final : public StatusMonitorListener, public test::EventLog {
public:
    void OnPassProgress(std::int32_t, std::int32_t) override { }
    void OnProbeFailed(const ErrorInfo& error) override
    {
        std::fprintf(stderr, "probe failed: %s\n", error.message.c_str());
    }
    void OnPassEnded() override { Add("end", true); }
    void OnHostsChecked(const std::vector<std::int32_t>&) override { }
};

bench::LabRun TimePass(const bench::LabRange& range, const ProbeSettings& settings)
{
    HostList hosts;
    const std::string netMask = IpToText(range.netMask);
    for (std::uint32_t address = range.first; address <= range.last; ++address)
        hosts.Append(MakeHostInfo("", "", IpToText(address), netMask, ""));
    ListLocks locks;
    PassEnd listener;
    StatusMonitor monitor(hosts, locks, listener);
    monitor.SetProbeSettings(settings);
    monitor.Start();
    const auto start = std::chrono::steady_clock::now();
    monitor.RequestStatusPass();
    listener.WaitForEnds(1, std::chrono::hours(1));
    bench::LabRun run{bench::SecondsSince(start)};
    monitor.Stop();
    for (const tHostInfo& host : hosts)
        run.found += host.active;
    return run;
}

// The lab /24 with ARP as well as echo, beside echo alone: one more host,
// .11, drops echo requests. It sits on a link of its own with a route to
// it, as a firewalled machine on the same network would answer only ARP.
void TimeArpPass()
{
    test::TestNetwork network;
    bench::BuildLab(network);
    const test::Peer& deaf =
        network.AddPeer({bench::LabAddress(1), 32, ""}, {bench::LabAddress(11), 24, ""});
    test::MustRun({"ip", "route", "add", bench::LabAddress(11) + "/32", "dev", deaf.localIf});
    test::WriteSysctl(deaf.ns, "net/ipv4/icmp_echo_ignore_all", "1");
    std::printf("status pass over a /24 with one host that drops echo: %d answering echo, "
                "1 answering only ARP, timeout %u ms\n",
        bench::kAnswering, bench::kTimeOut);
    const bench::LabRange lab{bench::Lab(1), bench::Lab(bench::kAddressCount)};
    const bench::LabRun echo =
        TimePass(lab, {bench::kTimeOut, ProbeMethod::kOwnEcho, kDefaultEchoRate, false});
    bench::PrintRun("own echo alone", echo, bench::kAddressCount, bench::kAnswering, {});
    const bench::LabRun arp =
        TimePass(lab, {bench::kTimeOut, ProbeMethod::kOwnEcho, kDefaultEchoRate, true});
    bench::PrintRun("own echo and ARP", arp, bench::kAddressCount, bench::kAnswering + 1, 0.100);
    bench::MeasurePeer(
        "nmap -sn --min-rate 5000", {"nmap", "-sn", "-n", "--min-rate", "5000", "198.51.100.0/24"});
}

// A /20 of the benchmarking range (198.18.0.0/15): this computer and nine
// peer addresses answer, 4,084 addresses stay silent.
void TimeLargePass()
{
    test::TestNetwork network;
    const test::Peer& peer = network.AddPeer(
        {"198.18.0.1", 20, "02:00:00:00:01:01"}, {"198.18.0.2", 20, "02:00:00:00:01:02"});
    for (int host = 3; host <= bench::kAnswering; ++host)
        test::TestNetwork::RunIn(peer.ns,
            {"addr", "add", "198.18.0." + std::to_string(host) + "/20", "dev", peer.peerIf});
    constexpr int kHosts = 4094;
    std::printf("status pass over a /20: %d answering, %d silent, timeout %u ms\n",
        bench::kAnswering, kHosts - bench::kAnswering, bench::kTimeOut);
    const bench::LabRun run =
        TimePass({TextToIp("198.18.0.1"), TextToIp("198.18.15.254"), 0xFFFFF000u},
            {bench::kTimeOut, ProbeMethod::kOwnEcho});
    bench::PrintRun("own echo, paced at 4000/s", run, kHosts, bench::kAnswering, {});
}

} // namespace
} // namespace pondel

int main()
{
    using namespace pondel;
    if (!bench::EnterPrivateNetwork())
        return 1;
    bench::RunLab("status pass", TimePass, {0.100, 1.0});
    TimeArpPass();
    TimeLargePass();
    return 0;
}
