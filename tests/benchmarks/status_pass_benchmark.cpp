// Times one status pass over the lab's /24 (see LabBenchmark.h). Run it
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
};

bench::LabRun TimePass(int first, int last, ProbeMethod method)
{
    HostList hosts;
    for (int host = first; host <= last; ++host)
        hosts.Append(MakeHostInfo("", "", bench::LabAddress(host), "255.255.255.0", ""));
    ListLocks locks;
    PassEnd listener;
    StatusMonitor monitor(hosts, locks, listener);
    monitor.SetProbeSettings({bench::kTimeOut, method});
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

} // namespace
} // namespace pondel

int main()
{
    return pondel::bench::RunLab("status pass", pondel::TimePass);
}
