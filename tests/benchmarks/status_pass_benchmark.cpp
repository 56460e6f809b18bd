// Times one status pass over a /24 of a namespace lab: 10 hosts that answer
// and 244 that stay silent, ICMP_TIME_OUT 30, with our own echo and with the
// system ping. Hosts are probed one after another, so a pass costs about
// 254 x 30 ms plus each probe's own overhead: the baseline for making passes
// faster.
//
// Run it inside scripts/in-private-network.sh; it also moves into a network
// namespace of its own before building the lab.

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include <sched.h>

#include "StatusMonitor.h"
#include "TestNetwork.h"

namespace pondel {
namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

constexpr std::uint32_t kTimeOut = 30;
constexpr int kAnswering = 10;
constexpr int kHostCount = 254;
// A pass expected to last longer than this is measured on a subset.
constexpr double kFullPassLimit = 30.0;

class PassEnd final : public StatusMonitorListener {
public:
    void OnPassProgress(std::int32_t, std::int32_t) override { }
    void OnProbeFailed(const ErrorInfo& error) override
    {
        std::fprintf(stderr, "probe failed: %s\n", error.message.c_str());
    }
    void OnPassEnded() override
    {
        const std::scoped_lock lock(mutex_);
        ++ends_;
        ended_.notify_all();
    }
    void WaitForEnd(int count)
    {
        std::unique_lock lock(mutex_);
        ended_.wait(lock, [&] { return ends_ >= count; });
    }

private:
    std::mutex mutex_;
    std::condition_variable ended_;
    int ends_ = 0;
};

std::string LabAddress(int host)
{
    return "198.51.100." + std::to_string(host);
}

// Hosts first to last of the lab's /24.
HostList LabHosts(int first, int last)
{
    HostList hosts;
    for (int host = first; host <= last; ++host)
        hosts.Append(MakeHostInfo("", "", LabAddress(host), "255.255.255.0", ""));
    return hosts;
}

struct PassTiming {
    double seconds = 0;
    int active = 0;
};

PassTiming TimePass(HostList& hosts, ProbeMethod method)
{
    ListLocks locks;
    PassEnd listener;
    StatusMonitor monitor(hosts, locks, listener);
    monitor.SetProbeSettings({kTimeOut, method});
    monitor.Start();
    const auto start = Clock::now();
    monitor.RequestStatusPass();
    listener.WaitForEnd(1);
    PassTiming timing{std::chrono::duration<double>(Clock::now() - start).count(), 0};
    monitor.Stop();
    for (const tHostInfo& host : hosts)
        timing.active += host.active;
    return timing;
}

// The lab: our side is 192.0.2.1 with the /24 routed onto the link; the peer
// holds the answering addresses, and nobody holds the rest.
void BuildLab(test::TestNetwork& network)
{
    const test::Peer& peer = network.AddPeer({"192.0.2.1", 24, ""}, {LabAddress(1), 24, ""});
    test::MustRun({"ip", "route", "add", "198.51.100.0/24", "dev", peer.localIf});
    test::TestNetwork::RunIn(peer.ns, {"route", "add", "192.0.2.0/24", "dev", peer.peerIf});
    for (int host = 2; host <= kAnswering; ++host)
        test::TestNetwork::RunIn(
            peer.ns, {"addr", "add", LabAddress(host) + "/24", "dev", peer.peerIf});
}

void Measure(const char* name, ProbeMethod method)
{
    // A trial over the answering hosts and some silent ones tells whether a
    // whole pass fits the time this benchmark may take.
    constexpr int kTrialSilent = 20;
    HostList answering = LabHosts(1, kAnswering);
    HostList silent = LabHosts(kAnswering + 1, kAnswering + kTrialSilent);
    const PassTiming answeringPass = TimePass(answering, method);
    const PassTiming silentPass = TimePass(silent, method);
    const double estimate =
        answeringPass.seconds + silentPass.seconds / kTrialSilent * (kHostCount - kAnswering);
    if (answeringPass.active != kAnswering || silentPass.active != 0)
        std::printf("%-10s  WRONG MARKS: %d of %d answering, %d of %d silent marked\n", name,
            answeringPass.active, kAnswering, silentPass.active, kTrialSilent);

    if (estimate > kFullPassLimit) {
        std::printf("%-10s  %7.2f s (extrapolated from %d answering and %d silent hosts)\n", name,
            estimate, kAnswering, kTrialSilent);
        return;
    }
    HostList all = LabHosts(1, kHostCount);
    const PassTiming full = TimePass(all, method);
    std::printf("%-10s  %7.2f s for %d hosts, %d marked active (%.1f ms a host)\n", name,
        full.seconds, kHostCount, full.active, full.seconds * 1000 / kHostCount);
}

} // namespace
} // namespace pondel

int main()
{
    if (unshare(CLONE_NEWNET) != 0) {
        std::fprintf(stderr,
            "needs a private network namespace (run as root inside "
            "scripts/in-private-network.sh): %s\n",
            std::strerror(errno));
        return 1;
    }
    pondel::test::TestNetwork network;
    pondel::BuildLab(network);
    std::printf("status pass over a /24: %d answering, %d silent, timeout %u ms\n",
        pondel::kAnswering, pondel::kHostCount - pondel::kAnswering, pondel::kTimeOut);
    pondel::Measure("own echo", pondel::ProbeMethod::kOwnEcho);
    pondel::Measure("ping", pondel::ProbeMethod::kSystemPing);
    return 0;
}
