#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "HostInfo.h"
#include "HostProbe.h"
#include "NeighbourProbe.h"
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
    // Instead of OnAnswer, when the run also asks the link: whether target
    // `index` answered echo, and what the link said of it. By default it
    // counts as answered when either answered.
    virtual void OnLinkAnswer(std::uint64_t index, bool echoed, const LinkAnswer& link)
    {
        OnAnswer(index, echoed || link.mac.has_value());
    }
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

// How a host stands after echo and the link were asked: up when it echoed,
// up without ping when only the link answered, another machine when a MAC
// other than the row's answered (a row without a MAC is not checked).
struct HostVerdict {
    bool active = false;
    HostLinkState linkState = HostLinkState::kEchoOnly;
};
[[nodiscard]] HostVerdict JudgeHost(bool echoed, const LinkAnswer& link, std::string_view rowMac);

// Writes a verdict into a host record: its flag, its link state and the MAC
// that answered.
void StoreVerdict(tHostInfo& host, const HostVerdict& verdict, const LinkAnswer& link);

// A run that asks the link about its targets while `echo` probes them, and
// tells each verdict through OnLinkAnswer once both are in.
[[nodiscard]] ProbeRun WithLinkProbe(ProbeRun echo, const ProbeSettings& settings);

// A run that probes one target after another with a single-host probe.
[[nodiscard]] ProbeRun SequentialProbeRun(HostProbe probe);

} // namespace pondel
