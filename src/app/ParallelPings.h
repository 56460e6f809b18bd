#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

#include "ProbeRun.h"

namespace pondel {

// How many ping commands run at once by default: enough to cover a /24 in a
// few timeouts without flooding the machine with processes.
inline constexpr unsigned kParallelPings = 32;

// Probes with `ping`: one command for each target, up to `width` of them
// running at once, each on a thread of its own. The events are all called
// on the caller's thread. A stop waits for the commands already running.
void RunParallelPings(
    std::uint64_t count, ProbeRunEvents& events, const HostProbe& ping, unsigned width);

} // namespace pondel
