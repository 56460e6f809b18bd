#pragma once

#include <cstdint>
#include <functional>
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

} // namespace pondel
