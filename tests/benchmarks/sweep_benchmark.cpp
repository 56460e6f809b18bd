// Times one address sweep over a /24 of a namespace lab: 10 addresses that
// answer (this computer's own and nine on a peer) and 244 that stay silent,
// COLLECT_HOST_ICMP_TIME_OUT 30, with our own echo and with the system ping.
// Addresses are probed one after another and each answering one is looked up
// by name and MAC, so a sweep costs about 254 x 30 ms plus each step's own
// overhead: the baseline for making sweeps faster.
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

#include <sched.h>

#include "AddressSweep.h"
#include "Ipv4Text.h"
#include "TestNetwork.h"

namespace pondel {
namespace {

using Clock = std::chrono::steady_clock;

constexpr std::uint32_t kTimeOut = 30;
constexpr int kAnswering = 10;
constexpr int kAddressCount = 254;
// A sweep expected to last longer than this is measured on a subset.
constexpr double kFullSweepLimit = 30.0;

class SweepEndWaiter final : public AddressSweepListener {
public:
    void OnSweepProgress(std::uint32_t) override { }
    void OnSweepDetected(std::int32_t) override { }
    void OnSweepFinished(SweepEnd end) override
    {
        if (end == SweepEnd::kIcmpUnavailable)
            std::fprintf(stderr, "no ICMP socket could be opened\n");
        if (end != SweepEnd::kNothingAdded && end != SweepEnd::kHostsAdded)
            return;
        const std::scoped_lock lock(mutex_);
        ended_ = true;
        changed_.notify_all();
    }
    void WaitForEnd()
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return ended_; });
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool ended_ = false;
};

std::string LabAddress(int host)
{
    return "198.51.100." + std::to_string(host);
}

struct SweepTiming {
    double seconds = 0;
    int found = 0;
    int withMac = 0;
};

SweepTiming TimeSweep(int first, int last, ProbeMethod method)
{
    HostList hosts;
    ListLocks locks;
    SweepEndWaiter listener;
    AddressSweep sweep(hosts, locks, listener);
    const CollectRange range{TextToIp(LabAddress(first)), TextToIp(LabAddress(last)), 0xFFFFFF00u};
    const auto start = Clock::now();
    if (!sweep.Start(range, {kTimeOut, method}, 1000))
        return {};
    listener.WaitForEnd();
    SweepTiming timing{std::chrono::duration<double>(Clock::now() - start).count(), 0, 0};
    for (const tHostInfo& host : hosts) {
        ++timing.found;
        timing.withMac += host.macAddr[0] != '\0' ? 1 : 0;
    }
    return timing;
}

// The lab: our side is 198.51.100.1/24, the peer holds .2 to .10, and nobody
// holds the rest of the /24.
void BuildLab(test::TestNetwork& network)
{
    const test::Peer& peer = network.AddPeer(
        {LabAddress(1), 24, "02:00:00:00:00:01"}, {LabAddress(2), 24, "02:00:00:00:00:02"});
    for (int host = 3; host <= kAnswering; ++host)
        test::TestNetwork::RunIn(
            peer.ns, {"addr", "add", LabAddress(host) + "/24", "dev", peer.peerIf});
}

void Measure(const char* name, ProbeMethod method)
{
    // A trial over the answering addresses and some silent ones tells whether
    // a whole sweep fits the time this benchmark may take.
    constexpr int kTrialSilent = 20;
    const SweepTiming answering = TimeSweep(1, kAnswering, method);
    const SweepTiming silent = TimeSweep(kAnswering + 1, kAnswering + kTrialSilent, method);
    const double estimate =
        answering.seconds + silent.seconds / kTrialSilent * (kAddressCount - kAnswering);
    if (answering.found != kAnswering || answering.withMac != kAnswering || silent.found != 0)
        std::printf("%-10s  WRONG FINDS: %d of %d answering found (%d with MAC), %d of %d silent\n",
            name, answering.found, kAnswering, answering.withMac, silent.found, kTrialSilent);

    if (estimate > kFullSweepLimit) {
        std::printf("%-10s  %7.2f s (extrapolated from %d answering and %d silent addresses)\n",
            name, estimate, kAnswering, kTrialSilent);
        return;
    }
    const SweepTiming full = TimeSweep(1, kAddressCount, method);
    std::printf("%-10s  %7.2f s for %d addresses, %d hosts found, %d with MAC (%.1f ms an "
                "address)\n",
        name, full.seconds, kAddressCount, full.found, full.withMac,
        full.seconds * 1000 / kAddressCount);
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
    std::printf("sweep over a /24: %d answering, %d silent, timeout %u ms\n", pondel::kAnswering,
        pondel::kAddressCount - pondel::kAnswering, pondel::kTimeOut);
    pondel::Measure("own echo", pondel::ProbeMethod::kOwnEcho);
    pondel::Measure("ping", pondel::ProbeMethod::kSystemPing);
    return 0;
}
