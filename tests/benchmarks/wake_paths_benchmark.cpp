// Times the console wake-up on every path, /A /R 3, to a host beside a
// second interface, from process start to exit, beside the single datagram
// a plain wake-up sends. The rounds' intervals (2 x 100 ms) are printed
// apart: what the program itself takes is the rest. Each run's packets are
// counted where they arrive.
//
// It builds its lab in a network namespace of its own: run it as root
// inside scripts/in-private-network.sh.
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sched.h>
#include <spawn.h>
#include <unistd.h>

#include "ChildProcess.h"
#include "TemporaryDirectory.h"
#include "TestNetwork.h"

namespace pondel {
namespace {

using namespace std::chrono_literals;

constexpr int kRuns = 7;
constexpr double kIntervalMs = 100;
constexpr std::uint16_t kWakeEtherType = 0x0842;

struct Runs {
    std::vector<double> milliseconds; // sorted
    int failures = 0;
};

// Runs the program kRuns times after one untimed run that brings it into the
// page cache; its listing goes to /dev/null.
Runs TimeProgram(const std::vector<std::string>& argv)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    Runs runs;
    for (int run = 0; run <= kRuns; ++run) {
        const auto start = std::chrono::steady_clock::now();
        const pid_t pid = test::SpawnProgram(argv, &actions);
        const bool ok = pid > 0 && test::WaitExitCode(pid) == 0;
        const std::chrono::duration<double, std::milli> took =
            std::chrono::steady_clock::now() - start;
        runs.failures += ok ? 0 : 1;
        if (run > 0)
            runs.milliseconds.push_back(took.count());
    }
    posix_spawn_file_actions_destroy(&actions);
    std::ranges::sort(runs.milliseconds);
    return runs;
}

struct Arrivals {
    std::size_t ipv4 = 0;
    std::size_t ipv6 = 0;
    std::size_t frames = 0;
};

void Print(
    const char* name, const Runs& runs, int rounds, const Arrivals& arrived, const Arrivals& perRun)
{
    const double median = runs.milliseconds[runs.milliseconds.size() / 2];
    const double intervals = (rounds - 1) * kIntervalMs;
    std::printf("  %-40s median %7.2f ms (%6.2f to %6.2f)", name, median, runs.milliseconds.front(),
        runs.milliseconds.back());
    if (intervals > 0)
        std::printf("  = %.0f ms of intervals + %.2f ms of work", intervals, median - intervals);
    std::printf("\n");
    const auto expected = [&](std::size_t one) { return one * (kRuns + 1); };
    if (runs.failures != 0 || arrived.ipv4 != expected(perRun.ipv4) ||
        arrived.ipv6 != expected(perRun.ipv6) || arrived.frames != expected(perRun.frames))
        std::printf("  WRONG: %d runs failed; arrived %zu IPv4, %zu IPv6, %zu frames\n",
            runs.failures, arrived.ipv4, arrived.ipv6, arrived.frames);
}

void MeasureWakes()
{
    test::TestNetwork network;
    network.SkipIpv6Dad();
    const test::Peer& host = network.AddPeer(
        {"198.51.100.1", 24, "02:00:00:00:0A:01"}, {"198.51.100.20", 24, "02:00:00:00:0A:02"});
    network.AddPeer({"203.0.113.1", 24, "02:00:00:00:0B:01"}, {"203.0.113.20", 24, ""});
    test::DatagramSink ipv4(host.ns, 7);
    test::DatagramSink ipv6(host.ns, 7, AF_INET6);
    test::DatagramSink frames(host.ns, host.peerIf, kWakeEtherType);
    const auto collect = [&] {
        return Arrivals{ipv4.ReceiveAll(50ms, 200ms).size(), ipv6.ReceiveAll(50ms, 200ms).size(),
            frames.ReceiveAll(50ms, 200ms).size()};
    };

    const TemporaryDirectory folder;
    std::filesystem::copy_file(PONDEL_EXECUTABLE, folder / "pondel");
    WriteTextFile(folder / "pondel.ini",
        "[HOST_0]\r\nHOST_NAME=pc1\r\nIP_ADDR=198.51.100.20\r\nNET_MASK=255.255.255.0\r\n"
        "MAC_ADDR=02:00:00:00:0A:02\r\n");
    const std::string program = (folder / "pondel").string();

    std::printf(
        "console wake to a host beside a second interface: %d runs each, wall clock\n", kRuns);
    const Runs single = TimeProgram({program, "/C", "/H", "pc1"});
    Print("one datagram (no wake options)", single, 1, collect(), {1, 0, 0});
    const Runs once = TimeProgram({program, "/C", "/H", "pc1", "/A"});
    Print("every path once (/A)", once, 1, collect(), {3, 1, 1});
    const Runs thrice = TimeProgram({program, "/C", "/H", "pc1", "/A", "/R", "3"});
    Print("every path three times (/A /R 3)", thrice, 3, collect(), {9, 3, 3});
    const Runs empty = TimeProgram({"/bin/true"});
    Print("an empty program (/bin/true)", empty, 1, {}, {});
}

} // namespace
} // namespace pondel

int main()
{
    if (unshare(CLONE_NEWNET) != 0) {
        std::printf("wake paths: skipped, needs a private network namespace (run as root inside "
                    "scripts/in-private-network.sh): %s\n",
            std::strerror(errno));
        return 0;
    }
    pondel::MeasureWakes();
    return 0;
}
