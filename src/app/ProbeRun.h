#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "HostProbe.h"
#include "Result.h"

namespace pondel {

// What a run of probes asks of its caller and tells it. The calls come one
// at a time, on the thread that runs the probes.
class ProbeRunEvents {
public:
    virtual ~ProbeRunEvents() = default;

    // The address text (or name) of target `index`.
    virtual std::string TargetOf(std::uint64_t index) = 0;
    // True ends the run: no further probe starts, and the probes under way
    // come to their end within one timeout.
    virtual bool ShouldStop() = 0;
    // The probe of target `index` has started; they start in index order.
    virtual void OnProbed(std::uint64_t index) = 0;
    // The verdict on target `index`, once, in any order.
    virtual void OnAnswer(std::uint64_t index, bool answered) = 0;
};

// Probes targets 0 to count - 1 and returns once each has its verdict or the
// run was stopped. Serves one run at a time.
using ProbeRun = std::function<void(std::uint64_t count, ProbeRunEvents& events)>;

// Readies the probing of one pass or sweep, or says why it cannot be had.
using ProbeRunOpener = std::function<Result<ProbeRun>(const ProbeSettings&)>;

// Our own echo sends the whole run's requests over one ICMP socket, paced at
// the settings' rate; when no socket can be opened the error's message is
// "ICMP_Init(): error:(%u)%s" with the system's code and text. The system
// ping runs several ping commands at once (one after another at rate 0).
[[nodiscard]] Result<ProbeRun> OpenProbeRun(const ProbeSettings& settings);

// A run that probes one target after another with a single-host probe.
[[nodiscard]] ProbeRun SequentialProbeRun(HostProbe probe);

} // namespace pondel
