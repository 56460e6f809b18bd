#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

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

// "up after 3 s" or "no answer after 180 s".
[[nodiscard]] std::string WakeWaitText(const WakeWaitResult& result);

// The seconds of /W: a number from 1 to 3600, else none.
[[nodiscard]] std::optional<std::uint32_t> ParseWaitSeconds(const std::string& text);

// /W: waits up to `seconds` for the host at `ipAddr` with the window's
// interval and probes. On a terminal one line counts the seconds and then
// gives the outcome; elsewhere only the outcome is written. Returns 1 when
// the host answered, kWakeNoAnswer when not.
[[nodiscard]] int ConsoleWaitForWakeUp(
    const std::string& ipAddr, std::uint32_t seconds, WakeWatchSettings watch, WakeResend resend);

} // namespace pondel
