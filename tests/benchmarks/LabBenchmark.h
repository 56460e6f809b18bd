#pragma once

// The lab the status pass and sweep benchmarks time: a /24 in a network
// namespace of the benchmark's own, where this computer is 198.51.100.1, a
// peer holds .2 to .10 and nobody holds the rest. Addresses are probed one
// after another with a 30 ms timeout, so a run costs about 254 x 30 ms plus
// each step's own overhead: the baseline for making them faster.

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>

#include <sched.h>

#include "HostProbe.h"
#include "TestNetwork.h"

namespace pondel::bench {

constexpr std::uint32_t kTimeOut = 30;
constexpr int kAnswering = 10;
constexpr int kAddressCount = 254;

inline std::string LabAddress(int host)
{
    return "198.51.100." + std::to_string(host);
}

struct LabRun {
    double seconds = 0;
    int found = 0;    // hosts marked or added
    int withMac = -1; // of them, those with a MAC address (-1: not looked up)
};

// Runs over the lab's hosts first to last and counts what it found.
using LabRunner = std::function<LabRun(int first, int last, ProbeMethod method)>;

inline double SecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// A trial over the answering hosts and 20 silent ones tells whether a run
// over the whole /24 fits 30 s; if not, its time is extrapolated.
inline void Measure(const char* name, ProbeMethod method, const LabRunner& run)
{
    constexpr int kTrialSilent = 20;
    const LabRun answering = run(1, kAnswering, method);
    const LabRun silent = run(kAnswering + 1, kAnswering + kTrialSilent, method);
    if (answering.found != kAnswering || (answering.withMac >= 0 && answering.withMac != kAnswering) || silent.found != 0)
        std::printf("%-10s  WRONG: %d of %d answering found (%d with MAC), %d of %d silent\n", name,
            answering.found, kAnswering, answering.withMac, silent.found, kTrialSilent);
    const double estimate =
        answering.seconds + silent.seconds / kTrialSilent * (kAddressCount - kAnswering);
    if (estimate > 30.0) {
        std::printf("%-10s  %7.2f s (extrapolated from %d answering and %d silent addresses)\n",
            name, estimate, kAnswering, kTrialSilent);
        return;
    }
    const LabRun full = run(1, kAddressCount, method);
    std::printf("%-10s  %7.2f s for %d addresses, %d hosts found", name, full.seconds,
        kAddressCount, full.found);
    if (full.withMac >= 0)
        std::printf(", %d with MAC", full.withMac);
    std::printf(" (%.1f ms an address)\n", full.seconds * 1000 / kAddressCount);
}

// Builds the lab, then measures with our own echo and with the system ping.
inline int RunLab(const char* title, const LabRunner& run)
{
    if (unshare(CLONE_NEWNET) != 0) {
        std::fprintf(stderr,
            "needs a private network namespace (run as root inside "
            "scripts/in-private-network.sh): %s\n",
            std::strerror(errno));
        return 1;
    }
    test::TestNetwork network;
    const test::Peer& peer = network.AddPeer(
        {LabAddress(1), 24, "02:00:00:00:00:01"}, {LabAddress(2), 24, "02:00:00:00:00:02"});
    for (int host = 3; host <= kAnswering; ++host)
        test::TestNetwork::RunIn(
            peer.ns, {"addr", "add", LabAddress(host) + "/24", "dev", peer.peerIf});
    std::printf("%s over a /24: %d answering, %d silent, timeout %u ms\n", title, kAnswering,
        kAddressCount - kAnswering, kTimeOut);
    Measure("own echo", ProbeMethod::kOwnEcho, run);
    Measure("ping", ProbeMethod::kSystemPing, run);
    return 0;
}

} // namespace pondel::bench
