#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "WakeWatcher.h"

namespace pondel {

// What ProcessCommandLine returns, and so the exit code, when the host woken
// with /W did not answer in time.
inline constexpr int kWakeNoAnswer = 4;

struct WakeWaitResult {
    WakeWatchEnd end = WakeWatchEnd::kNoAnswer;
    std::uint32_t seconds = 0;
};

// Watches one woken host as the window does, on a thread of its own, until
// it answers or settings.timeout passes; onTick hears each new second of
// waiting on that thread. Returns how it ended.
[[nodiscard]] WakeWaitResult WaitForWakeUp(std::string ipAddr, const WakeWatchSettings& settings,
    WakeResend resend, std::function<void(std::uint32_t)> onTick,
    ProbeRunOpener openProbe = OpenProbeRun);

// One host of WaitForWakeUps: the key it is watched by, its address, and
// how its wake-up is sent again.
struct WakeWaitHost {
    WakeWatchKey key;
    std::string ipAddr;
    WakeResend resend;
};

// WaitForWakeUp for several hosts at once, each with its own time from the
// moment it is added; returns once every one has ended, with its outcome in
// the order given. onTick hears each new second of the longest wait.
[[nodiscard]] std::vector<WakeWaitResult> WaitForWakeUps(std::vector<WakeWaitHost> hosts,
    const WakeWatchSettings& settings, std::function<void(std::uint32_t)> onTick,
    ProbeRunOpener openProbe = OpenProbeRun);

// "up after 3 s" or "no answer after 180 s".
[[nodiscard]] std::string WakeWaitText(const WakeWaitResult& result);

// The seconds of /W: a number from 1 to 3600, else none.
[[nodiscard]] std::optional<std::uint32_t> ParseWaitSeconds(const std::string& text);

// /W: waits up to `seconds` for the host at `ipAddr` with the window's
// interval and probes. On a terminal one line counts the seconds and then
// gives the outcome; elsewhere only the outcome is written. Returns 1 when
// the host answered, kWakeNoAnswer when not.
// ConsoleWaitForWakeUp for several hosts: counts the seconds on a terminal
// as it does, then writes the line lineOf makes of each host's outcome, in
// the order given, and returns the outcomes.
std::vector<WakeWaitResult> ConsoleWaitForWakeUps(std::vector<WakeWaitHost> hosts,
    std::uint32_t seconds, WakeWatchSettings watch,
    const std::function<std::string(std::size_t, const WakeWaitResult&)>& lineOf);

[[nodiscard]] int ConsoleWaitForWakeUp(
    const std::string& ipAddr, std::uint32_t seconds, WakeWatchSettings watch, WakeResend resend);

} // namespace pondel
