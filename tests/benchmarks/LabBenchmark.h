#pragma once

// The lab the status pass and sweep benchmarks time: a /24 in a network
// namespace of the benchmark's own, where this computer is 198.51.100.1, a
// peer holds .2 to .10 and nobody holds the rest; 30 ms timeouts. Each way of
// probing is timed over the whole /24 beside the one-after-another baseline,
// and beside fping and nmap where they are installed.

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <sched.h>
#include <unistd.h>

#include "HostProbe.h"
#include "Ipv4Text.h"
#include "RunCommand.h"
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

// Runs over the addresses first to last of a network (host order) and
// counts what it found.
struct LabRange {
    std::uint32_t first = 0;
    std::uint32_t last = 0;
    std::uint32_t netMask = 0xFFFFFF00u;
};
using LabRunner = std::function<LabRun(const LabRange& range, const ProbeSettings& settings)>;

inline double SecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

inline std::uint32_t Lab(int host)
{
    return TextToIp(LabAddress(host));
}

inline bool IsRight(const LabRun& run, int answering)
{
    return run.found == answering && (run.withMac < 0 || run.withMac == answering);
}

inline void PrintRun(
    const char* name, const LabRun& run, int addresses, int answering, std::optional<double> target)
{
    std::printf("  %-34s %8.3f s  %5.2f ms an address  %d found", name, run.seconds,
        run.seconds * 1000 / addresses, run.found);
    if (run.withMac >= 0)
        std::printf(" (%d with MAC)", run.withMac);
    if (!IsRight(run, answering))
        std::printf("  WRONG: %d answer", answering);
    if (target)
        std::printf("  target <= %.3f s: %s", *target,
            run.seconds <= *target && IsRight(run, answering) ? "met" : "NOT MET");
    std::printf("\n");
}

// One after another: a trial over the answering hosts and 20 silent ones
// tells whether a run over the whole /24 fits 30 s; if not, its time is
// extrapolated.
inline void MeasureSequential(const char* name, ProbeMethod method, const LabRunner& run)
{
    constexpr int kTrialSilent = 20;
    const ProbeSettings settings{kTimeOut, method, 0};
    const LabRun answering = run({Lab(1), Lab(kAnswering)}, settings);
    const LabRun silent = run({Lab(kAnswering + 1), Lab(kAnswering + kTrialSilent)}, settings);
    const double estimate =
        answering.seconds + silent.seconds / kTrialSilent * (kAddressCount - kAnswering);
    if (estimate > 30.0 || !IsRight(answering, kAnswering) || !IsRight(silent, 0)) {
        std::printf("  %-34s %8.3f s  (extrapolated from %d answering and %d silent addresses"
                    "%s)\n",
            name, estimate, kAnswering, kTrialSilent,
            IsRight(answering, kAnswering) && IsRight(silent, 0) ? "" : "; WRONG finds");
        return;
    }
    PrintRun(name, run({Lab(1), Lab(kAddressCount)}, settings), kAddressCount, kAnswering, {});
}

// A peer tool over the same /24, where it is installed.
inline void MeasurePeer(const char* name, const std::vector<std::string>& argv)
{
    const std::string path = "/usr/bin/" + argv.front();
    if (access(path.c_str(), X_OK) != 0) {
        std::printf("  %-34s not installed\n", name);
        return;
    }
    const auto start = std::chrono::steady_clock::now();
    (void)RunCommand(argv);
    std::printf("  %-34s %8.3f s\n", name, SecondsSince(start));
}

// What a run over the whole /24 should take at most.
struct LabTargets {
    std::optional<double> ownEcho;
    std::optional<double> systemPing;
};

inline void BuildLab(test::TestNetwork& network)
{
    const test::Peer& peer = network.AddPeer(
        {LabAddress(1), 24, "02:00:00:00:00:01"}, {LabAddress(2), 24, "02:00:00:00:00:02"});
    for (int host = 3; host <= kAnswering; ++host)
        test::TestNetwork::RunIn(
            peer.ns, {"addr", "add", LabAddress(host) + "/24", "dev", peer.peerIf});
}

inline bool EnterPrivateNetwork()
{
    if (unshare(CLONE_NEWNET) == 0)
        return true;
    std::fprintf(stderr,
        "needs a private network namespace (run as root inside "
        "scripts/in-private-network.sh): %s\n",
        std::strerror(errno));
    return false;
}

// Measures the baselines, the paced runs and the peers.
inline void RunLab(const char* title, const LabRunner& run, const LabTargets& targets)
{
    test::TestNetwork network;
    BuildLab(network);
    std::printf("%s over a /24: %d answering, %d silent, timeout %u ms\n", title, kAnswering,
        kAddressCount - kAnswering, kTimeOut);
    MeasureSequential("own echo, one after another", ProbeMethod::kOwnEcho, run);
    MeasureSequential("ping, one after another", ProbeMethod::kSystemPing, run);
    const LabRun echo = run({Lab(1), Lab(kAddressCount)}, {kTimeOut, ProbeMethod::kOwnEcho});
    PrintRun("own echo, paced at 4000/s", echo, kAddressCount, kAnswering, targets.ownEcho);
    const LabRun ping = run({Lab(1), Lab(kAddressCount)}, {kTimeOut, ProbeMethod::kSystemPing});
    PrintRun("ping, 32 at once", ping, kAddressCount, kAnswering, targets.systemPing);
    MeasurePeer("fping -i 1", {"fping", "-a", "-q", "-i", "1", "-g", "198.51.100.0/24"});
    MeasurePeer(
        "nmap -sn --min-rate 5000", {"nmap", "-sn", "-n", "--min-rate", "5000", "198.51.100.0/24"});
}

} // namespace pondel::bench
