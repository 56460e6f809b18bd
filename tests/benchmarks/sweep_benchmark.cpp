// Times address sweeps over the lab's /24 (see LabBenchmark.h); each
// answering address is also looked up by name and MAC. Run it inside
// scripts/in-private-network.sh.
#include "AddressSweep.h"

#include "FakeProbes.h"
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

bench::LabRun TimeSweep(const bench::LabRange& range, const ProbeSettings& settings)
{
    HostList hosts;
    ListLocks locks;
    SweepEnded listener;
    AddressSweep sweep(hosts, locks, listener);
    const auto start = std::chrono::steady_clock::now();
    if (!sweep.Start({range.first, range.last, range.netMask}, settings, 1000))
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
    using namespace pondel;
    if (!bench::EnterPrivateNetwork())
        return 1;
    bench::RunLab("sweep", TimeSweep, {0.100, {}});
    return 0;
}
