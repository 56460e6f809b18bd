// Times one address sweep over the lab's /24 (see LabBenchmark.h); each
// answering address is also looked up by name and MAC. Run it inside
// scripts/in-private-network.sh.
#include "AddressSweep.h"

#include "FakeProbes.h"
#include "Ipv4Text.h"
#include "LabBenchmark.h"

namespace pondel {
namespace {

class SweepEnded final : public AddressSweepListener, public test::EventLog {
public:
    void OnSweepProgress(std::uint32_t) override { }
    void OnSweepDetected(std::int32_t) override { }
    void OnSweepFinished(SweepEnd end) override
    {
        if (end == SweepEnd::kIcmpUnavailable)
            std::fprintf(stderr, "no ICMP socket could be opened\n");
        Add("end", end == SweepEnd::kNothingAdded || end == SweepEnd::kHostsAdded);
    }
};

bench::LabRun TimeSweep(int first, int last, ProbeMethod method)
{
    HostList hosts;
    ListLocks locks;
    SweepEnded listener;
    AddressSweep sweep(hosts, locks, listener);
    const CollectRange range{
        TextToIp(bench::LabAddress(first)), TextToIp(bench::LabAddress(last)), 0xFFFFFF00u};
    const auto start = std::chrono::steady_clock::now();
    if (!sweep.Start(range, {bench::kTimeOut, method}, 1000))
        return {};
    listener.WaitForEnds(1, std::chrono::hours(1));
    bench::LabRun run{bench::SecondsSince(start), 0, 0};
    for (const tHostInfo& host : hosts) {
        ++run.found;
        run.withMac += host.macAddr[0] != '\0' ? 1 : 0;
    }
    return run;
}

} // namespace
} // namespace pondel

int main()
{
    return pondel::bench::RunLab("sweep", pondel::TimeSweep);
}
